// The pages of each printer as PAPPL resources: GET shows what the printer's
// session shows (opening the sheet when none is open), POST acts in it.
#include <cups/cups.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "assets.h"
#include "form.h"
#include "lblweb/web.h"
#include "render.h"
#include "session.h"
#include "sheets.h"
#include "spooler/spooler.h"

namespace lblweb {

namespace {

using namespace std::chrono_literals;

constexpr size_t kMaxPostBytes = 64 * 1024;
constexpr size_t kMaxDrainBytes = 16 * 1024 * 1024;
constexpr int kMaxFields = 1000;
constexpr auto kIdleLimit = 300s;
constexpr auto kPatience = 10s;

enum class Kind { Printer, Defaults };

struct Slot {
    std::unique_ptr<Session> session;
    bool outcomeShown = true;
};

struct PrinterPages {
    pappl_system_t* system = nullptr;
    int printerId = 0;
    std::string spoolName;
    std::mutex lock;  // one request at a time acts on the printer's sessions
    Slot slots[2];
};

struct Route {
    PrinterPages* pages;
    Kind kind;
};

struct Changed {
    lblweb_changed_cb_t cb = nullptr;
    void* data = nullptr;
};
std::mutex gChangedLock;
Changed gChanged;
std::mutex* gDriverLock = nullptr;  // set before any page is served

// Whether the spooler still has the printer, asked under the application's lock.
bool SpoolerHas(const std::string& name)
{
    if (!gDriverLock) return platform::FindPrinter(name).has_value();
    std::lock_guard guard(*gDriverLock);
    return platform::FindPrinter(name).has_value();
}

// Whether the actions store something: Apply or OK on the outermost sheet.
bool Stores(const std::vector<Action>& actions)
{
    for (const Action& a : actions)
        if (a.depth == 1 && (a.kind == Action::Kind::Apply || a.kind == Action::Kind::Ok)) return true;
    return false;
}

// Entries live as long as the process: PAPPL keeps pointers to them.
std::mutex gRegistryLock;
std::map<std::string, std::unique_ptr<PrinterPages>>& Registry()
{
    static auto* registry = new std::map<std::string, std::unique_ptr<PrinterPages>>;
    return *registry;
}

const char* Title(Kind kind) { return kind == Kind::Printer ? "Label Printer Settings" : "Driver Printing Defaults"; }
const char* Subpath(Kind kind) { return kind == Kind::Printer ? "lbl-settings" : "lbl-defaults"; }

std::string Path(pappl_printer_t* printer, Kind kind)
{
    char path[1024];
    papplPrinterGetPath(printer, Subpath(kind), path, sizeof path);
    return path;
}

// PAPPL's header answers 200 itself: a page with another status carries its own
// plain head, with PAPPL's style sheet and a way back.
void PlainHead(pappl_client_t* client, http_status_t status, const char* title)
{
    papplClientRespond(client, status, nullptr, "text/html", 0, 0);
    papplClientHTMLPrintf(client,
                          "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>%s</title>"
                          "<link rel=\"stylesheet\" href=\"/style.css\"><meta name=\"viewport\" "
                          "content=\"width=device-width\"></head><body><div class=\"content\"><div class=\"row\">"
                          "<div class=\"col-12\"><h1 class=\"title\">%s</h1>",
                          title, title);
}

void PlainFoot(pappl_client_t* client)
{
    papplClientHTMLPuts(client, "</div></div></div></body></html>\n");
    httpWrite2(papplClientGetHTTP(client), "", 0);  // ends the chunked body
}

void Page(pappl_client_t* client, pappl_printer_t* printer, http_status_t status, Kind kind, const std::string& body)
{
    if (status == HTTP_STATUS_OK) papplClientHTMLPrinterHeader(client, printer, Title(kind), 0, nullptr, nullptr);
    else PlainHead(client, status, Title(kind));
    papplClientHTMLPuts(client, "<link rel=\"stylesheet\" href=\"" kAssetCssPath "\">"
                                "<script src=\"" kAssetJsPath "\" defer></script>");
    papplClientHTMLPuts(client, body.c_str());
    if (status == HTTP_STATUS_OK) papplClientHTMLPrinterFooter(client);
    else PlainFoot(client);
}

// A page for a request that changes nothing, without a printer to head it.
void Refuse(pappl_client_t* client, http_status_t status, const std::string& why)
{
    PlainHead(client, status, "Label Printer Settings");
    papplClientHTMLPuts(client, "<link rel=\"stylesheet\" href=\"" kAssetCssPath "\"><div class=\"lbl\">"
                                "<p class=\"lbl-error\" role=\"alert\">");
    papplClientHTMLEscape(client, why.c_str(), 0);
    papplClientHTMLPuts(client, "</p><p><a href=\"/\">All printers</a></p></div>");
    PlainFoot(client);
}

std::unique_ptr<Session> Open(const PrinterPages& pages, Kind kind)
{
    const std::string name = pages.spoolName;
    auto call = [name, kind] { return kind == Kind::Printer ? RunPrinterSheet(name) : RunDefaultsSheet(name); };
    auto session = std::make_unique<Session>(call, kIdleLimit, gDriverLock);
    session->Settle(kPatience);
    return session;
}

PageContext Context(pappl_client_t* client, pappl_printer_t* printer, Kind kind)
{
    PageContext c;
    c.action = Path(printer, kind);
    char token[256] = "";
    papplClientGetCSRFToken(client, token, sizeof token);
    c.csrf = token;
    c.reopen = kind == Kind::Printer ? "Open the printer settings again" : "Open the printing defaults again";
    return c;
}

// Reads a posted form whole, refusing what no page of ours sends.
bool ReadForm(pappl_client_t* client, FormFields& fields, std::string& why, http_status_t& status)
{
    http_t* http = papplClientGetHTTP(client);
    const std::string type = httpGetField(http, HTTP_FIELD_CONTENT_TYPE);
    const off_t length = httpGetLength2(http);
    if (type.rfind("application/x-www-form-urlencoded", 0) != 0) {
        why = "The settings take a form (application/x-www-form-urlencoded); nothing was changed.";
        status = HTTP_STATUS_BAD_REQUEST;
        return false;
    }
    if (length < 0 || static_cast<unsigned long long>(length) > kMaxPostBytes) {
        // The body is read and dropped (up to a bound) so that the answer can be sent;
        // the connection ends with it.
        httpSetKeepAlive(http, HTTP_KEEPALIVE_OFF);
        char sink[16384];
        size_t dropped = 0;
        for (ssize_t got; dropped < kMaxDrainBytes && (got = httpRead2(http, sink, sizeof sink)) > 0;)
            dropped += static_cast<size_t>(got);
        why = "The form is larger than " + std::to_string(kMaxPostBytes / 1024) + " KiB; nothing was changed.";
        status = HTTP_STATUS_REQUEST_TOO_LARGE;
        return false;
    }
    cups_option_t* form = nullptr;
    const int n = papplClientGetForm(client, &form);
    const bool valid = n > 0 && n <= kMaxFields && papplClientIsValidForm(client, n, form);
    for (int i = 0; valid && i < n; ++i) fields.emplace(form[i].name, form[i].value ? form[i].value : "");
    cupsFreeOptions(n, form);
    if (!valid) {
        why = "The form is not one of this page's (its session token is missing or stale, or it is malformed); "
              "nothing was changed. Reload the page and try again.";
        status = HTTP_STATUS_BAD_REQUEST;
        return false;
    }
    return true;
}

bool Serve(pappl_client_t* client, void* data)
{
    const Route& route = *static_cast<const Route*>(data);
    PrinterPages& pages = *route.pages;
    if (!papplClientHTMLAuthorize(client)) return true;  // PAPPL has asked for credentials
    pappl_printer_t* printer = papplSystemFindPrinter(pages.system, nullptr, pages.printerId, nullptr);
    if (!printer || !SpoolerHas(pages.spoolName)) {
        Refuse(client, HTTP_STATUS_NOT_FOUND, "There is no printer \"" + pages.spoolName + "\" here (any more).");
        return true;
    }
    std::lock_guard guard(pages.lock);
    Slot& slot = pages.slots[route.kind == Kind::Printer ? 0 : 1];
    PageContext context = Context(client, printer, route.kind);

    if (papplClientGetMethod(client) == HTTP_STATE_POST) {
        FormFields form;
        std::string why;
        http_status_t status = HTTP_STATUS_BAD_REQUEST;
        if (!ReadForm(client, form, why, status)) {
            context.error = why;
            const View view = slot.session ? slot.session->Current() : View{};
            Page(client, printer, status, route.kind, RenderView(view, context));
            return true;
        }
        const std::string button = form.count("do") ? form["do"] : "";
        if (button == "open") {
            if (!slot.session || slot.session->Ended()) {
                slot.session.reset();
                slot.session = Open(pages, route.kind);
                slot.outcomeShown = false;
            }
            papplClientRespondRedirect(client, HTTP_STATUS_SEE_OTHER, context.action.c_str());
            return true;
        }
        if (!slot.session || slot.session->Ended()) {
            context.error = "The sheet is no longer open; nothing was changed.";
            const View view = slot.session ? slot.session->Current() : View{};
            Page(client, printer, HTTP_STATUS_CONFLICT, route.kind, RenderView(view, context));
            return true;
        }
        const View shown = slot.session->Current();
        const std::string serial = form.count("serial") ? form["serial"] : "";
        if (serial != std::to_string(shown.serial)) {
            context.error = "The sheet changed since this page was shown; nothing was changed. Here it is now.";
            Page(client, printer, HTTP_STATUS_CONFLICT, route.kind, RenderView(shown, context));
            return true;
        }
        Post post = ReadPost(shown, form);
        if (!post.error.empty()) {
            context.error = post.error;
            Page(client, printer, HTTP_STATUS_BAD_REQUEST, route.kind, RenderView(shown, context));
            return true;
        }
        const bool stores = Stores(post.actions);
        const View after = slot.session->Act(shown.serial, std::move(post.actions), kPatience);
        slot.outcomeShown = !after.ended;
        if (stores) {
            Changed changed;
            {
                std::lock_guard changedGuard(gChangedLock);
                changed = gChanged;
            }
            if (changed.cb) changed.cb(printer, changed.data);
        }
        papplClientRespondRedirect(client, HTTP_STATUS_SEE_OTHER, context.action.c_str());
        return true;
    }

    // GET: the open sheet; a new one once the end of the last was shown.
    if (slot.session && slot.session->Ended() && slot.outcomeShown) slot.session.reset();
    if (!slot.session) {
        slot.session = Open(pages, route.kind);
        slot.outcomeShown = false;
    }
    const View view = slot.session->Settle(kPatience);
    if (view.ended) slot.outcomeShown = true;
    Page(client, printer, HTTP_STATUS_OK, route.kind, RenderView(view, context));
    return true;
}

// At exit every open sheet is closed (cancelled) while the spooler is still there.
void CloseAll()
{
    std::lock_guard guard(gRegistryLock);
    for (auto& [key, pages] : Registry()) {
        std::lock_guard pagesGuard(pages->lock);
        for (Slot& slot : pages->slots) slot.session.reset();
    }
}

}  // namespace

}  // namespace lblweb

void LblWebAddSystem(pappl_system_t* system)
{
    static std::once_flag once;
    std::call_once(once, [] { std::atexit(lblweb::CloseAll); });
    lblweb::AddAssets(system);
}

void LblWebSetDriverLock(pappl_system_t*, std::mutex* lock) { lblweb::gDriverLock = lock; }

void LblWebSetChangedCallback(pappl_system_t*, lblweb_changed_cb_t cb, void* data)
{
    std::lock_guard guard(lblweb::gChangedLock);
    lblweb::gChanged = {cb, data};
}

void LblWebAddPrinter(pappl_system_t* system, pappl_printer_t* printer, const char* spoolPrinterName)
{
    using namespace lblweb;
    if (!system || !printer || !spoolPrinterName) return;
    std::lock_guard guard(gRegistryLock);
    const std::string key = std::to_string(papplPrinterGetID(printer));
    auto& entry = Registry()[key];
    if (entry) {
        std::lock_guard pagesGuard(entry->lock);
        entry->spoolName = spoolPrinterName;
    } else {
        entry = std::make_unique<PrinterPages>();
        entry->system = system;
        entry->printerId = papplPrinterGetID(printer);
        entry->spoolName = spoolPrinterName;
    }
    // Registered on every new PAPPL printer: one made again under the same number
    // lost its resources and links with the old one.
    static auto* routes = new std::vector<std::unique_ptr<Route>>;
    for (Kind kind : {Kind::Printer, Kind::Defaults}) {
        routes->push_back(std::make_unique<Route>(Route{entry.get(), kind}));
        const std::string path = Path(printer, kind);
        papplSystemAddResourceCallback(system, path.c_str(), "text/html", Serve, routes->back().get());
        papplPrinterAddLink(printer, Title(kind), path.c_str(),
                            static_cast<pappl_loptions_t>(PAPPL_LOPTIONS_NAVIGATION | PAPPL_LOPTIONS_STATUS));
    }
}
