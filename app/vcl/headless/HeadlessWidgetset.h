// The headless component-layer backend: no native widgets (the controls' own state is
// what tests read and drive), a main-thread queue the test pumps, timers on the virtual
// clock, recorded message boxes and scripted answers for the common dialogs.
#pragma once
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/headless/VirtualClock.h"
#include "vcl/Widgetset.h"

namespace vcl::headless {

struct ShownMessage {
  std::string Text, Caption;
  TMsgDlgType Type;
};

struct ShellRequest {
  TForm* Owner;
  std::string Operation, File, Folder;
  int ShowCommand;
};

class HeadlessWidgetset final : public TWidgetset {
 public:
  explicit HeadlessWidgetset(platform::headless::VirtualClock& clock) : clock_(clock) {}

  // --- what tests use ---
  // Moves the clock forward by ms, firing every timer and waking every sleeping worker
  // that falls due on the way in time order, each with the main-thread queue pumped after it.
  void Advance(unsigned ms);
  // Runs queued main-thread work until the queue is empty and no worker is running.
  void Pump();
  // Work a message loop runs when it would otherwise have nothing left to do, in order:
  // this is how a test acts inside a modal loop.
  void WhenIdle(std::function<void()> action) { idle_.push_back(std::move(action)); }
  std::vector<ShownMessage> Messages;
  std::function<void(const ShownMessage&)> OnMessage;  // called as each box is shown
  std::deque<std::optional<std::string>> OpenDialogAnswers;  // nullopt: cancelled
  std::deque<std::optional<std::string>> FolderAnswers;
  std::vector<std::string> FolderCaptions;  // of the folder pickers shown, in order
  int RunningTimers() const;
  // The frame of every bordered form, and a page control's border and tab row.
  TFrameSize Frame{6, 25};
  int PageBorder = 4, TabRowHeight = 20;
  // Queues work for the main thread without waiting for it (as a posted message would).
  void Post(std::function<void()> fn);
  // Shell operations asked for, in order.
  std::vector<ShellRequest> ShellRequests;

  // --- the backend ---
  std::unique_ptr<TControlPeer> CreatePeer(TControl&) override { return nullptr; }
  // Each control stands for its own window.
  std::uintptr_t WindowHandle(const TControl& control) override { return reinterpret_cast<std::uintptr_t>(&control); }
  TFrameSize FormFrame(const TForm& form) override;
  TSheetArea PageArea(const TPageControl& pages) override;
  void RunLoop(const std::function<bool()>& done) override;
  void ProcessMessages() override;
  void WakeUp() override { clock_.Notify(); }
  void Synchronize(const std::function<void()>& fn) override;
  void TimerChanged(TTimer& timer) override;
  void TimerDestroyed(TTimer& timer) override { timers_.erase(&timer); }
  void ThreadStarted() override { clock_.WorkerBusy(true); }
  void ThreadEnded() override { clock_.WorkerBusy(false); }
  std::unique_ptr<TEventPeer> NewEvent(bool manualReset, bool initialState) override;
  void ShowMessageBox(TForm* owner, const std::string& text, const std::string& caption, TMsgDlgType type) override;
  bool ExecuteOpenDialog(TOpenDialog& dialog) override;
  bool SelectDirectory(const std::string& caption, std::string& directory) override;
  void ShellOpen(TForm* owner, const std::string& operation, const std::string& file, const std::string& folder,
                 int showCommand) override {
    ShellRequests.push_back(ShellRequest{owner, operation, file, folder, showCommand});
  }

 private:
  struct Call {
    std::function<void()> Fn;
    platform::headless::VirtualClock::Parked* Caller;  // the worker waiting for it; none when posted
  };
  bool RunOneQueued();  // false when the queue was empty
  platform::headless::VirtualClock& clock_;
  std::deque<Call> queue_;  // under clock_.Lock()
  std::map<TTimer*, std::uint64_t> timers_;  // running timers and when they fall due
  std::deque<std::function<void()>> idle_;
};

}  // namespace vcl::headless
