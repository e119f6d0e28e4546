#include "session.h"

#include <mutex>

#include "user/msgbox.h"

namespace lblweb {

namespace {

thread_local Session* tCurrent = nullptr;  // the session whose worker this thread is

// The model's agent is process-wide: waits on a session's worker go to that
// session, every other thread's to the agent installed before ours.
void InstallDispatcher()
{
    static std::once_flag once;
    std::call_once(once, [] {
        auto* previous = new user::Agent;
        *previous = user::SetAgent([previous](user::Desk& desk) {
            if (tCurrent) WaitInSession(*tCurrent, desk);
            else if (*previous) (*previous)(desk);
        });
    });
}

}  // namespace

void WaitInSession(Session& s, user::Desk& desk) { s.Wait(desk); }

Frame Snapshot(const user::Desk& desk)
{
    Frame f;
    f.what = desk.What();
    switch (f.what) {
    case user::Waiting::MessageBox:
        f.box = desk.Box();
        f.buttons = user::MessageBoxButtons(f.box.type);
        break;
    case user::Waiting::ColorDialog: f.color = desk.InitialColor(); break;
    case user::Waiting::PropertySheet: f.sheet = desk.Sheet(); break;
    case user::Waiting::CommonSheet: f.items = desk.Items(); break;
    case user::Waiting::Nothing: break;
    }
    return f;
}

Session::Session(std::function<std::string()> call, std::chrono::milliseconds idleLimit, std::mutex* modelLock)
    : idleLimit_(idleLimit), lastUse_(std::chrono::steady_clock::now()), modelLock_(modelLock)
{
    InstallDispatcher();
    worker_ = std::thread([this, call = std::move(call)] {
        tCurrent = this;
        std::string outcome;
        if (modelLock_) modelLock_->lock();
        try {
            outcome = call();
        } catch (const std::exception& e) {
            outcome = e.what();
        }
        if (modelLock_) modelLock_->unlock();
        tCurrent = nullptr;
        std::lock_guard guard(lock_);
        view_.frames.clear();
        view_.ended = true;
        view_.outcome = closing_ && !view_.outcome.empty() ? view_.outcome : outcome;
        ++view_.serial;
        waiting_ = false;
        changed_.notify_all();
    });
}

Session::~Session()
{
    Close();
    if (worker_.joinable()) worker_.join();
}

View Session::Current() const
{
    std::lock_guard guard(lock_);
    return view_;
}

bool Session::Ended() const
{
    std::lock_guard guard(lock_);
    return view_.ended;
}

std::chrono::steady_clock::time_point Session::LastUse() const
{
    std::lock_guard guard(lock_);
    return lastUse_;
}

View Session::Settle(std::chrono::milliseconds patience)
{
    std::unique_lock lock(lock_);
    changed_.wait_for(lock, patience, [&] { return view_.ended || (waiting_ && queue_.empty()); });
    return view_;
}

View Session::Act(std::uint64_t serial, std::vector<Action> actions, std::chrono::milliseconds patience)
{
    std::unique_lock lock(lock_);
    lastUse_ = std::chrono::steady_clock::now();
    if (view_.ended || serial != view_.serial || !waiting_) {
        View stale = view_;
        if (!view_.ended) stale.note = "The sheet changed since this page was shown; nothing was changed. Here it is now.";
        return stale;
    }
    if (actions.empty()) return view_;
    view_.note.clear();
    for (Action& a : actions) queue_.push_back(std::move(a));
    changed_.notify_all();
    changed_.wait_for(lock, patience, [&] { return view_.ended || (view_.serial != serial && waiting_ && queue_.empty()); });
    return view_;
}

void Session::Close()
{
    {
        std::lock_guard guard(lock_);
        if (view_.ended) return;
        if (!closing_) view_.outcome = "Closed without changes.";
        closing_ = true;
        changed_.notify_all();
    }
    if (worker_.joinable() && std::this_thread::get_id() != worker_.get_id()) worker_.join();
}

void Session::Publish(std::unique_lock<std::mutex>& lock)
{
    // Only the innermost wait is read: an outer one may hold pointers into data the
    // inner one has replaced (a label list while the editor adds a label), so it
    // shows as it was when it last waited itself. The model is read outside the
    // lock; only the worker touches it.
    lock.unlock();
    Frame top = Snapshot(*desks_.back());
    lock.lock();
    view_.frames.resize(desks_.size());
    view_.frames.back() = std::move(top);
    ++view_.serial;
}

bool Session::Perform(user::Desk& d, const Action& a)
{
    using K = Action::Kind;
    const auto id = static_cast<WORD>(a.target);
    switch (a.kind) {
    case K::Type: return d.Type(id, a.text);
    case K::Pick: return d.Pick(id, static_cast<int>(a.value));
    case K::Check: return d.Check(id, a.value != 0);
    case K::Slide: return d.Slide(id, static_cast<int>(a.value));
    case K::Step: return d.Step(id, static_cast<int>(a.value));
    case K::Press: return d.Press(id);
    case K::SwitchPage: return d.SwitchPage(a.target);
    case K::Select: return d.Select(a.target, static_cast<LONG>(a.value));
    case K::TypeItem: return d.TypeItem(a.target, a.text);
    case K::PushItem: return d.PushItem(a.target);
    case K::PushExt: return d.PushExt(a.target);
    case K::CheckExt: return d.CheckExt(a.target, a.value != 0);
    case K::Apply: return d.Apply();
    case K::Ok: return d.Ok();
    case K::Cancel: return d.Cancel();
    case K::Answer: return d.Answer(a.target);
    case K::PickColor: return d.PickColor(static_cast<COLORREF>(a.value));
    case K::CancelColor: return d.CancelColor();
    }
    return false;
}

void Session::Wait(user::Desk& desk)
{
    desks_.push_back(&desk);
    const size_t depth = desks_.size();
    std::unique_lock lock(lock_);
    for (;;) {
        if (closing_) break;  // doing nothing cancels a sheet and dismisses a box
        if (queue_.empty()) {
            Publish(lock);
            waiting_ = true;
            changed_.notify_all();
            // Others may use the driver while the person thinks.
            if (modelLock_) modelLock_->unlock();
            const bool woken = changed_.wait_for(lock, idleLimit_, [&] { return closing_ || !queue_.empty(); });
            waiting_ = false;
            if (!woken) {
                closing_ = true;
                view_.outcome = "Closed after " + std::to_string(idleLimit_.count() / 1000) +
                                " s without use; nothing more was changed.";
            }
            if (modelLock_) {
                lock.unlock();
                modelLock_->lock();
                lock.lock();
            }
            continue;
        }
        if (queue_.front().depth != depth) {
            // Made for another wait: one closed, or a box opened on top of it.
            queue_.clear();
            continue;
        }
        Action a = std::move(queue_.front());
        queue_.pop_front();
        lock.unlock();
        const bool done = Perform(desk, a);
        lock.lock();
        if (done) break;  // the model calls again while this wait stays open
        queue_.clear();
        view_.note = a.what.empty() ? "The sheet did not accept that." : "The sheet did not accept " + a.what + ".";
    }
    lock.unlock();
    desks_.pop_back();
}

}  // namespace lblweb
