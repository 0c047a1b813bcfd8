#include "vcl/headless/HeadlessWidgetset.h"

#include <list>
#include <stdexcept>

#include "vcl/ComCtrls.h"
#include "vcl/Dialogs.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"

namespace vcl::headless {

using Lock = std::unique_lock<std::mutex>;

TFrameSize HeadlessWidgetset::FormFrame(const TForm& form) {
  return form.BorderStyle == TFormBorderStyle::bsNone ? TFrameSize{} : Frame;
}

TSheetArea HeadlessWidgetset::PageArea(const TPageControl& pages) {
  const int top = PageBorder + (pages.ShowsTabs() ? TabRowHeight : 0);
  return TSheetArea{PageBorder, top, pages.Width() - 2 * PageBorder, pages.Height() - top - PageBorder};
}

bool HeadlessWidgetset::RunOneQueued() {
  Lock g(clock_.Lock());
  if (queue_.empty()) return false;
  Call call = std::move(queue_.front());
  queue_.pop_front();
  g.unlock();
  call.Fn();
  g.lock();
  if (call.Caller) clock_.Wake(*call.Caller);
  return true;
}

void HeadlessWidgetset::ProcessMessages() {
  while (RunOneQueued()) {
  }
}

void HeadlessWidgetset::Pump() {
  for (;;) {
    ProcessMessages();
    Lock g(clock_.Lock());
    if (!queue_.empty()) continue;
    if (clock_.BusyWorkers() == 0) return;
    clock_.Changed().wait(g, [&] { return !queue_.empty() || clock_.BusyWorkers() == 0; });
  }
}

void HeadlessWidgetset::RunLoop(const std::function<bool()>& done) {
  while (!done()) {
    if (RunOneQueued()) continue;
    Lock g(clock_.Lock());
    if (!queue_.empty()) continue;
    if (clock_.BusyWorkers() > 0) {
      clock_.Changed().wait(g, [&] { return !queue_.empty() || clock_.BusyWorkers() == 0; });
      continue;
    }
    g.unlock();
    if (done()) break;
    if (idle_.empty())
      throw std::logic_error("message loop has nothing left to do and the test gave it nothing more");
    auto action = std::move(idle_.front());
    idle_.pop_front();
    action();
  }
}

void HeadlessWidgetset::Synchronize(const std::function<void()>& fn) {
  if (clock_.OnMainThread()) {
    fn();
    return;
  }
  platform::headless::VirtualClock::Parked caller;
  Lock g(clock_.Lock());
  queue_.push_back(Call{fn, &caller});
  clock_.Park(g, caller);
}

void HeadlessWidgetset::Post(std::function<void()> fn) {
  Lock g(clock_.Lock());
  queue_.push_back(Call{std::move(fn), nullptr});
  clock_.Notify();
}

void HeadlessWidgetset::TimerChanged(TTimer& timer) {
  if (timer.Enabled() && timer.Interval() > 0) {
    Lock g(clock_.Lock());
    timers_[&timer] = clock_.NowMs() + timer.Interval();
  } else {
    timers_.erase(&timer);
  }
}

int HeadlessWidgetset::RunningTimers() const { return static_cast<int>(timers_.size()); }

void HeadlessWidgetset::Advance(unsigned ms) {
  std::uint64_t target;
  {
    Lock g(clock_.Lock());
    target = clock_.NowMs() + ms;
  }
  for (;;) {
    Pump();
    TTimer* next = nullptr;
    std::uint64_t due = target + 1;
    for (auto& [timer, at] : timers_)
      if (at < due) {
        due = at;
        next = timer;
      }
    // Sleeping workers wake in time order with the timers.
    {
      Lock g(clock_.Lock());
      const std::uint64_t wake = clock_.NextWake();
      if (wake <= target && wake <= due) {
        clock_.AdvanceTo(wake);
        continue;
      }
    }
    if (!next) break;
    {
      Lock g(clock_.Lock());
      clock_.AdvanceTo(due);
    }
    timers_[next] = due + next->Interval();
    next->Fire();
  }
  Lock g(clock_.Lock());
  clock_.AdvanceTo(target);
  g.unlock();
  Pump();
}

namespace {

class Event final : public TEventPeer {
 public:
  using Clock = platform::headless::VirtualClock;
  Event(Clock& clock, HeadlessWidgetset& ws, bool manual, bool initial)
      : clock_(clock), ws_(ws), manual_(manual), set_(initial) {}
  void Set() override {
    Lock g(clock_.Lock());
    set_ = true;
    for (Clock::Parked* w : waiters_) clock_.Wake(*w);
    waiters_.clear();
    clock_.Notify();
  }
  void Reset() override {
    Lock g(clock_.Lock());
    set_ = false;
  }
  bool Wait(unsigned timeoutMs) override {
    Lock g(clock_.Lock());
    const std::uint64_t deadline = clock_.NowMs() + timeoutMs;
    const bool onMain = clock_.OnMainThread();
    for (;;) {
      if (set_) {
        if (!manual_) set_ = false;
        return true;
      }
      if (clock_.NowMs() >= deadline) return false;
      if (!onMain) {
        Clock::Parked me;
        me.Until = deadline;
        waiters_.push_back(&me);
        clock_.Park(g, me);
        waiters_.remove(&me);
        continue;
      }
      // The main thread keeps serving synchronised calls while it waits; when every
      // worker is parked, virtual time runs on to the next wake-up or the deadline.
      g.unlock();
      ws_.ProcessMessages();
      g.lock();
      if (set_) continue;
      if (clock_.BusyWorkers() == 0) {
        std::uint64_t next = clock_.NextWake();
        clock_.AdvanceTo(next < deadline ? next : deadline);
        continue;
      }
      clock_.Changed().wait(g);
    }
  }

 private:
  Clock& clock_;
  HeadlessWidgetset& ws_;
  bool manual_;
  bool set_;
  std::list<Clock::Parked*> waiters_;
};

}  // namespace

std::unique_ptr<TEventPeer> HeadlessWidgetset::NewEvent(bool manualReset, bool initialState) {
  return std::make_unique<Event>(clock_, *this, manualReset, initialState);
}

void HeadlessWidgetset::ShowMessageBox(TForm*, const std::string& text, const std::string& caption, TMsgDlgType type) {
  Messages.push_back(ShownMessage{text, caption, type});
  if (OnMessage) OnMessage(Messages.back());
}

bool HeadlessWidgetset::ExecuteOpenDialog(TOpenDialog& dialog) {
  if (OpenDialogAnswers.empty()) throw std::logic_error("file dialog shown but the test scripted no answer");
  auto answer = OpenDialogAnswers.front();
  OpenDialogAnswers.pop_front();
  if (!answer) return false;
  dialog.FileName = *answer;
  return true;
}

bool HeadlessWidgetset::SelectDirectory(const std::string& caption, std::string& directory) {
  FolderCaptions.push_back(caption);
  if (FolderAnswers.empty()) throw std::logic_error("folder picker shown but the test scripted no answer");
  auto answer = FolderAnswers.front();
  FolderAnswers.pop_front();
  if (!answer) return false;
  directory = *answer;
  return true;
}

}  // namespace vcl::headless
