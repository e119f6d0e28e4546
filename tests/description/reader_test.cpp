// The description file reader: classes, checksum, entries, escapes, keyword
// hash and dispatch, the block pool.
#include <cstring>
#include <vector>

#include "description/ppdtest.h"

using namespace ppdtest;

namespace {

struct Entry {
    int status;
    std::string keyword, option, xlation, value;
    DWORD kind;
};

// Every entry of the text, up to and including the one that ends the file.
std::vector<Entry> ReadEntries(const ScratchDir& dir, const std::string& text)
{
    std::vector<Entry> out;
    std::string file = dir.Write("e.ppd", text);
    WORD crc = 0;
    FILEOBJ* f = FILEOBJ_Create(Wide(file).c_str(), &crc);
    EXPECT_NE(f, nullptr);
    if (!f) return out;
    PARSEROBJ* p = PARSEROBJ_Create();
    for (;;) {
        int st = PARSEROBJ_ParseEntry(p, f);
        out.push_back({st, p->keyword.pText, p->option.pText, p->xlation.pText, p->value.pText, p->dwValueType});
        if (st != PPDERR_NONE && st != PPDERR_SYNTAX) break;
    }
    PARSEROBJ_Delete(p);
    FILEOBJ_Delete(f);
    return out;
}

}  // namespace

TEST(CharTable, ClassesOfEachGroup)
{
    EXPECT_EQ(charTable[BYTE{' '}], 0x19);
    EXPECT_EQ(charTable[BYTE{'\t'}], 0x19);
    EXPECT_EQ(charTable[BYTE{'\r'}], 0x21);
    EXPECT_EQ(charTable[BYTE{':'}], 0x01);
    EXPECT_EQ(charTable[BYTE{'/'}], 0x0B);
    EXPECT_EQ(charTable[BYTE{'7'}], 0x8F);
    EXPECT_EQ(charTable[BYTE{'c'}], 0x4F);
    EXPECT_EQ(charTable[BYTE{'*'}], 0x0F);
    EXPECT_EQ(charTable[0x00], 0x00);
    EXPECT_EQ(charTable[0x7F], 0x00);
    EXPECT_EQ(charTable[0xFF], 0x00);
}

TEST(Checksum, NineDigitsGiveTheXmodemCheckValue)
{
    const char* s = "123456789";
    EXPECT_EQ(Crc16(reinterpret_cast<const BYTE*>(s), 9), 0x31C3);
    ScratchDir dir;
    Obj obj = ParseText(dir, s);
    ASSERT_TRUE(obj);
    EXPECT_EQ(obj->wChecksum, 0x31C3);
}

TEST(Checksum, CoversBytesAfterTheLastEntry)
{
    ScratchDir dir;
    std::string text = "*NickName: \"N\"\n*% trailing comment\xFF\n";
    Obj obj = ParseText(dir, text);
    ASSERT_TRUE(obj);
    EXPECT_EQ(obj->wChecksum, Crc16(reinterpret_cast<const BYTE*>(text.data()), text.size()));
}

TEST(FileObj, EmptyOrMissingFileCannotBeOpened)
{
    ScratchDir dir;
    WORD crc = 0;
    EXPECT_EQ(FILEOBJ_Create(Wide(dir.Write("empty.ppd", "")).c_str(), &crc), nullptr);
    EXPECT_EQ(FILEOBJ_Create(Wide(dir.Path("missing.ppd")).c_str(), &crc), nullptr);
    EXPECT_EQ(PPDOBJ_Create(Wide(dir.Path("missing.ppd")).c_str()), nullptr);
}

TEST(FileObj, GetCharAtEndLeavesTheByte)
{
    ScratchDir dir;
    WORD crc = 0;
    FILEOBJ* f = FILEOBJ_Create(Wide(dir.Write("a", "A")).c_str(), &crc);
    ASSERT_NE(f, nullptr);
    int c = 0;
    EXPECT_EQ(FILEOBJ_GetChar(f, &c), PPDERR_NONE);
    EXPECT_EQ(c, 'A');
    EXPECT_EQ(FILEOBJ_GetChar(f, &c), PPDERR_EOF);
    EXPECT_EQ(c, 'A');
    FILEOBJ_Delete(f);
}

TEST(ParseEntry, CommentsBlankLinesAndTextLinesYieldNoEntries)
{
    ScratchDir dir;
    auto e = ReadEntries(dir, "*% comment\n\nplain text line\r\n  *NotAtStart: x\n*%%\n");
    ASSERT_EQ(e.size(), 1u);
    EXPECT_EQ(e[0].status, PPDERR_EOF);
    Obj obj = ParseText(dir, "*% only a comment\n\n");
    ASSERT_TRUE(obj);
    EXPECT_EQ(obj->pUiGroups, nullptr);
}

TEST(ParseEntry, PartsOfAnEntry)
{
    ScratchDir dir;
    auto e = ReadEntries(dir,
                         "*End\n"
                         "*InputSlot Upper/Upper Tray  : \"code\"  trailing\n"
                         "*DefaultResolution: 300dpi/300 dpi\n"
                         "*ColorDevice: True  \n"
                         "*Sym: ^UpperCode\n"
                         "*Multi: \"a\nb\r\nc\" x\n"
                         "*Empty:\n");
    ASSERT_EQ(e.size(), 8u);
    EXPECT_EQ(e[0].keyword, "End");
    EXPECT_EQ(e[0].kind, VALUE_NONE);
    EXPECT_EQ(e[1].option, "Upper");
    EXPECT_EQ(e[1].xlation, "Upper Tray  ");
    EXPECT_EQ(e[1].value, "code");
    EXPECT_EQ(e[1].kind, VALUE_QUOTED);
    EXPECT_EQ(e[2].value, "300dpi");
    EXPECT_EQ(e[2].kind, VALUE_PLAIN);
    EXPECT_EQ(e[3].value, "True  ");
    EXPECT_EQ(e[4].kind, VALUE_SYMBOL);
    EXPECT_EQ(e[5].value, "a\nb\r\nc");
    EXPECT_EQ(e[6].value, "");
    EXPECT_EQ(e[6].kind, VALUE_PLAIN);
    EXPECT_EQ(e[7].status, PPDERR_EOF);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(e[i].status, PPDERR_NONE) << i;
}

TEST(ParseEntry, MalformedEntriesAreSkippedAndReadingGoesOn)
{
    ScratchDir dir;
    auto e = ReadEntries(dir,
                         "* Blank after star\n"
                         "*Key opt more: x\n"
                         "*Key opt/Tr\xE9s: x\n"
                         "*After: ok\n");
    ASSERT_EQ(e.size(), 5u);
    EXPECT_EQ(e[0].status, PPDERR_SYNTAX);
    EXPECT_EQ(e[1].status, PPDERR_SYNTAX);
    EXPECT_EQ(e[2].status, PPDERR_SYNTAX);
    EXPECT_EQ(e[3].status, PPDERR_NONE);
    EXPECT_EQ(e[3].keyword, "After");
    EXPECT_EQ(e[3].value, "ok");
}

TEST(ParseEntry, LastEntryWithoutLineEndIsNotHandled)
{
    ScratchDir dir;
    auto e = ReadEntries(dir, "*A: 1\n*B: 2");
    ASSERT_EQ(e.size(), 2u);
    EXPECT_EQ(e[1].status, PPDERR_EOF);
    Obj obj = ParseText(dir, "*LanguageLevel: 5\n*NickName: \"cut\"");
    ASSERT_TRUE(obj);
    EXPECT_EQ(obj->dwLanguageLevel, 5u);
    EXPECT_EQ(obj->pstrNickName, nullptr);
    obj = ParseText(dir, "*NickName: \"open quote\n");
    ASSERT_TRUE(obj);
    EXPECT_EQ(obj->pstrNickName, nullptr);
}

TEST(ParseEntry, NamesOfFortyCharactersPassAndFortyOneFailTheBuild)
{
    ScratchDir dir;
    const std::string n40(40, 'a'), n41(41, 'a');
    EXPECT_TRUE(ParseText(dir, "*InputSlot " + n40 + ": \"x\"\n"));
    EXPECT_TRUE(ParseText(dir, "*InputSlot a/" + n40 + ": \"x\"\n"));
    EXPECT_TRUE(ParseText(dir, "*" + n40 + ": x\n"));
    EXPECT_FALSE(ParseText(dir, "*InputSlot " + n41 + ": \"x\"\n"));
    EXPECT_FALSE(ParseText(dir, "*InputSlot a/" + n41 + ": \"x\"\n"));
    EXPECT_FALSE(ParseText(dir, "*" + n41 + ": x\n"));
}

TEST(ParseEntry, LongValueIsReadWhole)
{
    ScratchDir dir;
    std::string v;
    for (int i = 0; i < 5000; ++i) v += static_cast<char>('a' + i % 26);
    auto e = ReadEntries(dir, "*V: \"" + v + "\"\n");
    ASSERT_GE(e.size(), 1u);
    EXPECT_EQ(e[0].value, v);
    Obj obj = ParseText(dir, "*NickName: \"" + v + "\"\n");
    ASSERT_TRUE(obj);
    EXPECT_EQ(Str(obj->pstrNickName), v);
}

TEST(CopyStringHex, EscapesAndTheirFaults)
{
    auto decode = [](const std::string& s, std::string* out) {
        std::string storage = s;
        BUFOBJ buf{static_cast<DWORD>(s.size()), static_cast<DWORD>(s.size()), storage.data()};
        std::vector<char> dest(s.size() + 1, 'X');
        int st = BUFOBJ_CopyStringHex(&buf, dest.data());
        *out = dest.data();
        return st;
    };
    std::string out;
    EXPECT_EQ(decode("A<41>B", &out), PPDERR_NONE);
    EXPECT_EQ(out, "AAB");
    EXPECT_EQ(decode("<4a4B>z<>", &out), PPDERR_NONE);
    EXPECT_EQ(out, "JKz");
    EXPECT_EQ(decode("x<41", &out), PPDERR_NONE);  // ends in hex mode after whole pairs
    EXPECT_EQ(out, "xA");
    EXPECT_EQ(decode("A<4>B", &out), PPDERR_SYNTAX);
    EXPECT_EQ(decode("<4 1>", &out), PPDERR_SYNTAX);
    EXPECT_EQ(decode("<414", &out), PPDERR_SYNTAX);
    EXPECT_EQ(decode("<4G>", &out), PPDERR_SYNTAX);
}

TEST(KeywordHash, SlotsOfEndAndInputSlot)
{
    EXPECT_EQ(HashKeyword(""), 0u);
    EXPECT_EQ(HashKeyword("End"), 0x1ACu);
    EXPECT_EQ(HashKeyword("End") % HASH_TABLE_SIZE, 47u);
    EXPECT_EQ(HashKeyword("InputSlot"), 0x6862u);
    EXPECT_EQ(HashKeyword("InputSlot") % HASH_TABLE_SIZE, 52u);
    const HASHSLOT* slots = GetHashTable();
    EXPECT_EQ(slots[47].wIndex, 5);  // MaxMediaHeight, inserted before End
    EXPECT_EQ(slots[48].wIndex, 19);
    EXPECT_EQ(slots[52].wIndex, 6);
    int used = 0;
    for (DWORD i = 0; i < HASH_TABLE_SIZE; ++i) used += slots[i].wIndex < NUM_KEYWORDS;
    EXPECT_EQ(used, 20);
    for (const auto& k : keywordTable) EXPECT_EQ(SearchKeyword(k.pstrKeyword), &k) << k.pstrKeyword;
    EXPECT_EQ(SearchKeyword("end"), nullptr);
    EXPECT_EQ(SearchKeyword("Endx"), nullptr);
}

TEST(Dispatch, ValueAndOptionRules)
{
    ScratchDir dir;
    Obj obj = ParseText(dir,
                        "*?ColorDevice: \"query\"\n"
                        "*Unknown: x\n"
                        "*ColorDevice: \"True\"\n"     // plain value required
                        "*InputSlot Upper: ^UpperCode\n"  // quoted value required
                        "*InputSlot: \"no option\"\n"     // option keyword required
                        "*LanguageLevel x: 3\n"           // option keyword not allowed
                        "*ColorDevice:\n"                 // plain value must not be empty
                        "*End\n*End: anything\n*End\n");
    ASSERT_TRUE(obj);
    EXPECT_EQ(obj->bColorDevice, 0u);
    EXPECT_EQ(obj->dwLanguageLevel, 1u);
    EXPECT_EQ(obj->pUiGroups, nullptr);
}

TEST(Dispatch, FirstSingleValuedEntryWinsButSyntaxErrorsDoNotCount)
{
    ScratchDir dir;
    Obj obj = ParseText(dir,
                        "*ColorDevice: True\n*ColorDevice: False\n"
                        "*LanguageLevel: x\n*LanguageLevel: 4\n*LanguageLevel: 6\n"
                        "*InputSlot A: \"a\"\n*InputSlot B: \"b\"\n");
    ASSERT_TRUE(obj);
    EXPECT_EQ(obj->bColorDevice, 1u);
    EXPECT_EQ(obj->dwLanguageLevel, 4u);
    EXPECT_EQ(LISTOBJ_Count(ListOf(Group(obj.get(), "InputSlot")->pOptions)), 2u);
    // Seen marks are per build.
    obj = ParseText(dir, "*ColorDevice: False\n");
    ASSERT_TRUE(obj);
    obj = ParseText(dir, "*ColorDevice: True\n");
    EXPECT_EQ(obj->bColorDevice, 1u);
}

TEST(BlockPool, FirstFitRoundingAndLargeBlocks)
{
    const long before = LiveDriverBlocks();
    HEAPOBJ pool = HEAPOBJ_Create();
    ASSERT_NE(pool, nullptr);
    BLOCKOBJ* first = *pool;
    EXPECT_EQ(first->dwSize, DEFAULT_BLOCK_SIZE);
    auto* a = static_cast<BYTE*>(HEAPOBJ_Alloc(pool, 1));
    auto* b = static_cast<BYTE*>(HEAPOBJ_Alloc(pool, 5));
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(a) % POOL_ALIGN, 0u);
    EXPECT_EQ(b - a, static_cast<std::ptrdiff_t>(POOL_ALIGN));
    void* big = HEAPOBJ_Alloc(pool, 10000);  // a block of its own, put in front
    ASSERT_NE(big, nullptr);
    EXPECT_EQ((*pool)->dwSize, 10000u);
    EXPECT_EQ((*pool)->dwFree, 0u);
    void* small = HEAPOBJ_Alloc(pool, 16);  // still fits the first block
    EXPECT_GT(static_cast<BYTE*>(small), b);
    EXPECT_LT(static_cast<BYTE*>(small), reinterpret_cast<BYTE*>(first + 1) + DEFAULT_BLOCK_SIZE);
    // Fill the first block exactly: an odd remainder is taken whole.
    DWORD left = first->dwFree;
    EXPECT_NE(HEAPOBJ_Alloc(pool, left - 3), nullptr);
    EXPECT_EQ(first->dwFree, 0u);
    EXPECT_EQ(LiveDriverBlocks(), before + 2);
    HEAPOBJ_Delete(pool);
    EXPECT_EQ(LiveDriverBlocks(), before);
}
