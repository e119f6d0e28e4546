// The machine-wide form list: the built-in forms first (fixed, in the standard
// order), then the added forms in the order they were added. Added forms keep
// their flags (FORM_USER or FORM_PRINTER); built-in forms cannot be changed or
// deleted. Names compare exactly and hold 1 to 63 characters.
#include <algorithm>

#include "builtinforms.h"
#include "spool_internal.h"
#include "spooler/spooler.h"

namespace {

using namespace platform::spool;

constexpr size_t kMaxFormName = 63;

struct Form {
    std::u16string name;
    DWORD flags;
    SIZEL size;
    RECTL area;
};

// The name of at most kMaxFormName characters, read without passing its limit; false when invalid.
bool FormName(LPCWSTR p, std::u16string& name)
{
    if (!p) return false;
    size_t n = 0;
    while (n <= kMaxFormName && p[n]) ++n;
    if (n == 0 || n > kMaxFormName) return false;
    name.assign(p, n);
    return true;
}

std::vector<BYTE> NameKey(const std::u16string& name)
{
    std::vector<BYTE> key(name.size() * 2);
    for (size_t i = 0; i < name.size(); ++i) {
        key[2 * i] = static_cast<BYTE>(name[i] & 0xFF);
        key[2 * i + 1] = static_cast<BYTE>(name[i] >> 8);
    }
    return key;
}

std::u16string NameFromKey(const std::vector<BYTE>& key)
{
    std::u16string name(key.size() / 2, u'\0');
    for (size_t i = 0; i < name.size(); ++i) name[i] = static_cast<char16_t>(key[2 * i] | (key[2 * i + 1] << 8));
    return name;
}

bool IsBuiltin(const std::u16string& name)
{
    auto forms = BuiltinForms();
    return std::any_of(forms.begin(), forms.end(), [&](const BuiltinForm& f) { return name == f.name; });
}

// Everything of a form except its name.
DWORD CheckShape(const FORM_INFO_1W& f)
{
    if (f.Flags != FORM_USER && f.Flags != FORM_PRINTER) return ERROR_INVALID_PARAMETER;
    const RECTL& a = f.ImageableArea;
    if (f.Size.cx <= 0 || f.Size.cy <= 0 || a.left < 0 || a.top < 0 || a.left > a.right || a.top > a.bottom ||
        a.right > f.Size.cx || a.bottom > f.Size.cy)
        return ERROR_INVALID_FORM_SIZE;
    return ERROR_SUCCESS;
}

bool ReadForms(sqlite3* db, std::vector<Form>& forms)
{
    for (const BuiltinForm& b : BuiltinForms())
        forms.push_back(Form{b.name, FORM_BUILTIN, SIZEL{b.cx, b.cy}, RECTL{0, 0, b.cx, b.cy}});
    Statement q(db, "SELECT name, flags, cx, cy, left, top, right, bottom FROM forms ORDER BY id");
    int rc;
    while ((rc = q.Step()) == SQLITE_ROW) {
        auto v = [&](int c) { return static_cast<LONG>(q.Int(c)); };
        forms.push_back(Form{NameFromKey(q.Blob(0)), static_cast<DWORD>(q.Int(1)), SIZEL{v(2), v(3)},
                             RECTL{v(4), v(5), v(6), v(7)}});
    }
    return rc == SQLITE_DONE;
}

BOOL Fail(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

BOOL Enum(HANDLE hPrinter, DWORD Level, LPBYTE pForm, DWORD cbBuf, LPDWORD pcbNeeded, LPDWORD pcReturned)
{
    std::string printer;
    if (DWORD error = ResolveHandle(hPrinter, printer, true)) return Fail(error);
    if (Level != 1) return Fail(ERROR_INVALID_LEVEL);
    if (!pcbNeeded || !pcReturned) return Fail(ERROR_INVALID_PARAMETER);
    *pcReturned = 0;
    std::vector<Form> forms;
    {
        Session session;
        if (!session.db() || !ReadForms(session.db(), forms)) return Fail(ERROR_READ_FAULT);
    }
    // The records first, then the names they point to.
    size_t fixed = forms.size() * sizeof(FORM_INFO_1W);
    Packer measure(nullptr, fixed);
    for (const Form& f : forms) measure.Add(f.name);
    if (measure.size() > 0xFFFFFFFFu) return Fail(ERROR_NOT_ENOUGH_MEMORY);
    *pcbNeeded = static_cast<DWORD>(measure.size());
    if (!pForm || cbBuf < measure.size()) return Fail(ERROR_INSUFFICIENT_BUFFER);
    Packer pack(pForm, fixed);
    for (size_t i = 0; i < forms.size(); ++i) {
        FORM_INFO_1W info{forms[i].flags, pack.Add(forms[i].name), forms[i].size, forms[i].area};
        std::memcpy(pForm + i * sizeof(FORM_INFO_1W), &info, sizeof info);
    }
    *pcReturned = static_cast<DWORD>(forms.size());
    return TRUE;
}

// Binds a form row: ?1 name key, ?2 flags, ?3..?4 size, ?5..?8 imageable area.
void BindFormRow(Statement& statement, const std::vector<BYTE>& key, const FORM_INFO_1W& form)
{
    statement.BindBlob(1, key.data(), key.size()).Bind(2, static_cast<long long>(form.Flags));
    statement.Bind(3, form.Size.cx).Bind(4, form.Size.cy);
    statement.Bind(5, form.ImageableArea.left).Bind(6, form.ImageableArea.top);
    statement.Bind(7, form.ImageableArea.right).Bind(8, form.ImageableArea.bottom);
}

}  // namespace

extern "C" {

BOOL EnumFormsW(HANDLE hPrinter, DWORD Level, LPBYTE pForm, DWORD cbBuf, LPDWORD pcbNeeded, LPDWORD pcReturned)
{
    return Enum(hPrinter, Level, pForm, cbBuf, pcbNeeded, pcReturned);
}

BOOL EngEnumForms(HANDLE hPrinter, DWORD Level, LPBYTE pForm, DWORD cbBuf, LPDWORD pcbNeeded, LPDWORD pcReturned)
{
    return Enum(hPrinter, Level, pForm, cbBuf, pcbNeeded, pcReturned);
}

BOOL AddFormW(HANDLE hPrinter, DWORD Level, LPBYTE pForm)
{
    std::string printer;
    if (DWORD error = ResolveHandle(hPrinter, printer, true)) return Fail(error);
    if (Level != 1) return Fail(ERROR_INVALID_LEVEL);
    if (!pForm) return Fail(ERROR_INVALID_PARAMETER);
    FORM_INFO_1W form;
    std::memcpy(&form, pForm, sizeof form);
    std::u16string name;
    if (!FormName(form.pName, name)) return Fail(ERROR_INVALID_FORM_NAME);
    if (DWORD error = CheckShape(form)) return Fail(error);
    if (IsBuiltin(name)) return Fail(ERROR_FILE_EXISTS);
    Session session;
    Transaction tx(session.db());
    if (!tx.ok()) return Fail(ERROR_WRITE_FAULT);
    std::vector<BYTE> key = NameKey(name);
    Statement exists(session.db(), "SELECT 1 FROM forms WHERE name=?1");
    if (exists.BindBlob(1, key.data(), key.size()).Step() == SQLITE_ROW) return Fail(ERROR_FILE_EXISTS);
    Statement insert(session.db(),
                     "INSERT INTO forms(name, flags, cx, cy, left, top, right, bottom) "
                     "VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)");
    BindFormRow(insert, key, form);
    if (insert.Step() != SQLITE_DONE || !tx.Commit()) return Fail(ERROR_WRITE_FAULT);
    return TRUE;
}

// Replaces the size, imageable area and flags of an added form; its name and
// place in the list stay.
BOOL SetFormW(HANDLE hPrinter, LPWSTR pFormName, DWORD Level, LPBYTE pForm)
{
    std::string printer;
    if (DWORD error = ResolveHandle(hPrinter, printer, true)) return Fail(error);
    if (Level != 1) return Fail(ERROR_INVALID_LEVEL);
    if (!pForm) return Fail(ERROR_INVALID_PARAMETER);
    FORM_INFO_1W form;
    std::memcpy(&form, pForm, sizeof form);
    std::u16string name;
    if (!FormName(pFormName, name)) return Fail(ERROR_INVALID_FORM_NAME);
    if (IsBuiltin(name)) return Fail(ERROR_ACCESS_DENIED);
    if (DWORD error = CheckShape(form)) return Fail(error);
    Session session;
    Transaction tx(session.db());
    if (!tx.ok()) return Fail(ERROR_WRITE_FAULT);
    std::vector<BYTE> key = NameKey(name);
    Statement update(session.db(),
                     "UPDATE forms SET flags=?2, cx=?3, cy=?4, left=?5, top=?6, right=?7, bottom=?8 WHERE name=?1");
    BindFormRow(update, key, form);
    if (update.Step() != SQLITE_DONE) return Fail(ERROR_WRITE_FAULT);
    if (sqlite3_changes(session.db()) == 0) return Fail(ERROR_INVALID_FORM_NAME);
    if (!tx.Commit()) return Fail(ERROR_WRITE_FAULT);
    return TRUE;
}

BOOL DeleteFormW(HANDLE hPrinter, LPWSTR pFormName)
{
    std::string printer;
    if (DWORD error = ResolveHandle(hPrinter, printer, true)) return Fail(error);
    std::u16string name;
    if (!FormName(pFormName, name)) return Fail(ERROR_INVALID_FORM_NAME);
    if (IsBuiltin(name)) return Fail(ERROR_ACCESS_DENIED);
    Session session;
    Transaction tx(session.db());
    if (!tx.ok()) return Fail(ERROR_WRITE_FAULT);
    std::vector<BYTE> key = NameKey(name);
    Statement remove(session.db(), "DELETE FROM forms WHERE name=?1");
    if (remove.BindBlob(1, key.data(), key.size()).Step() != SQLITE_DONE) return Fail(ERROR_WRITE_FAULT);
    if (sqlite3_changes(session.db()) == 0) return Fail(ERROR_INVALID_FORM_NAME);
    if (!tx.Commit()) return Fail(ERROR_WRITE_FAULT);
    return TRUE;
}

}  // extern "C"
