// One person's visit of a driver sheet: a worker thread runs the driver's call
// (which opens the sheet and returns when it closes); whenever the model waits
// for a person, the worker publishes what is open and takes the next action
// posted from an HTTP request. An idle session is closed: every open sheet is
// left as a person doing nothing would leave it (cancelled, boxes dismissed).
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "user/driving.h"

namespace lblweb {

// One wait of the model as the person sees it.
struct Frame {
    user::Waiting what = user::Waiting::Nothing;
    user::SheetState sheet;          // PropertySheet
    user::CommonSheetState items;    // CommonSheet
    user::MessageBoxRecord box;      // MessageBox
    std::vector<int> buttons;        // MessageBox: its buttons in order
    COLORREF color = 0;              // ColorDialog: the colour it opened with
};

// Everything open, outermost first, with the session's standing.
struct View {
    std::uint64_t serial = 0;  // changes whenever the model shows something new
    std::vector<Frame> frames;
    bool ended = false;
    std::string outcome;       // once ended: how the driver's call ended
    std::string note;          // why the last action was refused or stopped, "" when none
};

// What a person can do at the innermost wait.
struct Action {
    enum class Kind {
        Type, Pick, Check, Slide, Step, Press, SwitchPage,           // property sheet
        Select, TypeItem, PushItem, PushExt, CheckExt,                // common sheet
        Apply, Ok, Cancel,                                            // both sheets
        Answer, PickColor, CancelColor,                               // message box, colour dialog
    };
    Kind kind = Kind::Cancel;
    int target = 0;        // control id, item index, page index or button
    long value = 0;        // selection, position, delta, check state, colour
    std::u16string text;   // Type, TypeItem
    std::string what;      // what the person sees of the target, for a refusal
    size_t depth = 0;      // the number of open waits of the view it was made on
};

class Session {
public:
    // Runs `call` on the worker thread; it returns how the driver's call ended.
    // `modelLock`, when given, is held whenever the worker runs driver code, and
    // released while it waits for the person.
    Session(std::function<std::string()> call, std::chrono::milliseconds idleLimit, std::mutex* modelLock = nullptr);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    View Current() const;
    // Posts the actions a person made on the view `serial` and waits up to
    // `patience` for the model to show its next state. Actions for another view
    // than the current one are refused whole (the page was stale).
    View Act(std::uint64_t serial, std::vector<Action> actions, std::chrono::milliseconds patience);
    // Waits up to `patience` for the first state (or the end).
    View Settle(std::chrono::milliseconds patience);
    // Closes every open sheet and waits for the driver's call to return.
    void Close();
    bool Ended() const;
    std::chrono::steady_clock::time_point LastUse() const;

private:
    friend void WaitInSession(Session& s, user::Desk& desk);
    void Wait(user::Desk& desk);
    void Publish(std::unique_lock<std::mutex>& lock);
    static bool Perform(user::Desk& desk, const Action& a);

    mutable std::mutex lock_;
    std::condition_variable changed_;  // the view or the queue changed
    std::deque<Action> queue_;
    std::vector<user::Desk*> desks_;   // worker only: the waits in progress, outermost first
    View view_;
    bool waiting_ = false;             // the worker waits for an action
    bool closing_ = false;
    std::chrono::milliseconds idleLimit_;
    std::chrono::steady_clock::time_point lastUse_;
    std::mutex* modelLock_;
    std::thread worker_;
};

// The snapshot of one wait (for tests of the pages without a worker).
Frame Snapshot(const user::Desk& desk);

}  // namespace lblweb
