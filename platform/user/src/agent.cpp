// The installed agent, the Desk it acts through, scripts, and the records of
// what the model showed.
#include <mutex>

#include "user/frame.h"

namespace user {
namespace {

struct State {
    std::mutex lock;
    Agent agent;
    std::vector<MessageBoxRecord> boxes;
    std::vector<HelpRecord> help;
};

State& TheState()
{
    static auto* state = new State;
    return *state;
}

}  // namespace

Agent SetAgent(Agent agent)
{
    State& s = TheState();
    std::lock_guard guard(s.lock);
    std::swap(s.agent, agent);
    return agent;
}

bool WaitForPerson(Frame& frame)
{
    Agent agent;
    {
        State& s = TheState();
        std::lock_guard guard(s.lock);
        agent = s.agent;
    }
    if (!agent) return false;
    Desk desk(frame);
    agent(desk);
    return true;
}

void RecordMessageBox(const MessageBoxRecord& box)
{
    State& s = TheState();
    std::lock_guard guard(s.lock);
    s.boxes.push_back(box);
}

void RecordHelp(const HelpRecord& help)
{
    State& s = TheState();
    std::lock_guard guard(s.lock);
    s.help.push_back(help);
}

std::vector<MessageBoxRecord> MessageBoxes()
{
    State& s = TheState();
    std::lock_guard guard(s.lock);
    return s.boxes;
}

std::vector<HelpRecord> HelpRequests()
{
    State& s = TheState();
    std::lock_guard guard(s.lock);
    return s.help;
}

void ClearRecords()
{
    State& s = TheState();
    std::lock_guard guard(s.lock);
    s.boxes.clear();
    s.help.clear();
}

Script::Script()
{
    previous_ = SetAgent([this](Desk& desk) {
        if (steps_.empty()) return;
        auto step = std::move(steps_.front());
        steps_.pop_front();
        step(desk);
    });
}

Script::~Script() { SetAgent(std::move(previous_)); }

Script& Script::Then(std::function<void(Desk&)> step)
{
    steps_.push_back(std::move(step));
    return *this;
}

// ---- Desk: forwards to the frame and counts what was done -----------------------------

namespace {
bool Done(Frame& f, bool ok)
{
    if (ok) ++f.actions;
    return ok;
}
const MessageBoxRecord kNoBox{};
}  // namespace

Waiting Desk::What() const { return frame_.What(); }
const MessageBoxRecord& Desk::Box() const { return frame_.Box() ? *frame_.Box() : kNoBox; }
bool Desk::Answer(int button) { return Done(frame_, frame_.Answer(button)); }
COLORREF Desk::InitialColor() const { return frame_.InitialColor(); }
bool Desk::PickColor(COLORREF rgb) { return Done(frame_, frame_.PickColor(rgb)); }
bool Desk::CancelColor() { return Done(frame_, frame_.CancelColor()); }
SheetState Desk::Sheet() const { return frame_.Sheet(); }
ControlState Desk::Control(WORD id) const { return frame_.Control(id); }
bool Desk::SwitchPage(int index) { return Done(frame_, frame_.SwitchPage(index)); }
bool Desk::Type(WORD id, std::u16string_view text) { return Done(frame_, frame_.Type(id, text)); }
bool Desk::Pick(WORD id, int index) { return Done(frame_, frame_.Pick(id, index)); }
bool Desk::Check(WORD id, bool checked) { return Done(frame_, frame_.Check(id, checked)); }
bool Desk::Slide(WORD id, int pos) { return Done(frame_, frame_.Slide(id, pos)); }
bool Desk::Step(WORD id, int delta) { return Done(frame_, frame_.Step(id, delta)); }
bool Desk::Press(WORD id) { return Done(frame_, frame_.Press(id)); }
bool Desk::Help(WORD id) { return Done(frame_, frame_.Help(id)); }
CommonSheetState Desk::Items() const { return frame_.Items(); }
bool Desk::Select(int item, LONG selection) { return Done(frame_, frame_.Select(item, selection)); }
bool Desk::TypeItem(int item, std::u16string_view text) { return Done(frame_, frame_.TypeItem(item, text)); }
bool Desk::PushItem(int item) { return Done(frame_, frame_.PushItem(item)); }
bool Desk::PushExt(int item) { return Done(frame_, frame_.PushExt(item)); }
bool Desk::CheckExt(int item, bool checked) { return Done(frame_, frame_.CheckExt(item, checked)); }
bool Desk::Apply() { return Done(frame_, frame_.Apply()); }
bool Desk::Ok() { return Done(frame_, frame_.Ok()); }
bool Desk::Cancel() { return Done(frame_, frame_.Cancel()); }

}  // namespace user
