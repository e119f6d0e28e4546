#include "editor_fixture.h"

#include <cstring>

namespace uitest {

LABELDATA Label(const std::u16string& name)
{
    LABELDATA l = DefaultLabel;
    std::memset(l.szLabelName, 0, sizeof(l.szLabelName));
    std::copy_n(name.data(), std::min<size_t>(name.size(), CCHLABELNAME - 1), l.szLabelName);
    return l;
}

void EditorTest::SetUp()
{
    UiTest::SetUp();
    user::ClearRecords();
}

void EditorTest::TearDown()
{
    CloseUi();
    UiTest::TearDown();
}

void EditorTest::CloseUi()
{
    if (!ui_) return;
    PPDDATA* pPpd = ui_->pPpdData;
    HANDLE hHeap = ui_->hHeap;
    DelUiData(ui_);
    UnloadPpdFile(pPpd);
    HeapDestroy(hHeap);
    ui_ = nullptr;
    item_ = OPTITEM{};
}

void EditorTest::OpenPrinter(const std::string& ppdPath, const std::vector<LABELDATA>& labels)
{
    HANDLE h = Open(AddInstalledPrinter(ppdPath));
    if (!labels.empty()) {
        std::vector<BYTE> block(sizeof(DWORD) + labels.size() * sizeof(LABELDATA));
        const DWORD n = static_cast<DWORD>(labels.size());
        std::memcpy(block.data(), &n, sizeof(n));
        std::memcpy(block.data() + sizeof(DWORD), labels.data(), labels.size() * sizeof(LABELDATA));
        SetValue(h, u"LabelData", block.data(), static_cast<DWORD>(block.size()));
    }
    ui_ = FillUiData(h, nullptr);
    ASSERT_NE(ui_, nullptr);
    OPTITEMPACK pack{0, 0, &item_, nullptr, ui_};
    ASSERT_TRUE(PackItemLabelList(&pack));
    cb_.cbSize = sizeof(cb_);
    cb_.Reason = CPSUICB_REASON_EXTPUSH;
    cb_.pOptItem = &item_;
    cb_.cOptItem = 1;
    cb_.pCurItem = &item_;
    cb_.UserData = reinterpret_cast<ULONG_PTR>(ui_);
}

void EditorTest::OpenModel(int model, const std::vector<LABELDATA>& labels) { OpenPrinter(ModelPpd(model), labels); }

void EditorTest::RunEditor(LONG selected)
{
    item_.Sel = selected;
    user::ClearRecords();
    EXPECT_TRUE(LabelProperty(UiModule(), nullptr, &cb_));
}

std::vector<std::u16string> EditorTest::Names() const
{
    std::vector<std::u16string> names;
    for (DWORD i = 0; i < Count(); ++i) names.emplace_back(ui_->pLabelDb[i].szLabelName);
    return names;
}

}  // namespace uitest
