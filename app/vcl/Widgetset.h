// The backend behind the component layer: native peers for controls, the message loop,
// timers, calls onto the main thread, waits, message boxes and the common dialogs.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace vcl {

class TControl;
class TForm;
class TTimer;
class TOpenDialog;
class TPageControl;
enum class TProp;

// Mirrors one control's state to a native widget.
class TControlPeer {
 public:
  virtual ~TControlPeer() = default;
  virtual void Changed(TProp what) = 0;
};

// A kernel-style event: manual or automatic reset.
class TEventPeer {
 public:
  virtual ~TEventPeer() = default;
  virtual void Set() = 0;
  virtual void Reset() = 0;
  // Waits on the main thread with COM calls and synchronised calls still served.
  virtual bool Wait(unsigned timeoutMs) = 0;
};

// How much a form's outer window is larger than its client area.
struct TFrameSize {
  int Width = 0, Height = 0;
};

// Where a page control's sheets sit, in the page control's coordinates.
struct TSheetArea {
  int Left = 0, Top = 0, Width = 0, Height = 0;
};

// Show commands for shell operations.
constexpr int SW_Show = 5, SW_ShowMaximized = 3;

enum class TMsgDlgType { mtError, mtInformation, mtWarning, mtConfirmation };

class TWidgetset {
 public:
  virtual ~TWidgetset() = default;
  // nullptr when the backend keeps no native widget for the control.
  virtual std::unique_ptr<TControlPeer> CreatePeer(TControl& control) = 0;
  // The system's handle of a windowed control, as an HWND-sized integer (0: none yet).
  virtual std::uintptr_t WindowHandle(const TControl& control) = 0;
  // The frame the system draws around the form's client area, for its border style.
  virtual TFrameSize FormFrame(const TForm& form) = 0;
  // The part of a page control its sheets fill: inside its border, below its tab row
  // when it shows tabs.
  virtual TSheetArea PageArea(const TPageControl& pages) = 0;
  // Runs the message loop until done() holds (checked after every message).
  virtual void RunLoop(const std::function<bool()>& done) = 0;
  virtual void ProcessMessages() = 0;
  virtual void WakeUp() = 0;  // makes a waiting RunLoop look at done() again
  // Runs fn on the main thread and returns when it has run (from a worker thread).
  virtual void Synchronize(const std::function<void()>& fn) = 0;
  virtual void TimerChanged(TTimer& timer) = 0;  // Enabled, Interval or OnTimer changed
  virtual void TimerDestroyed(TTimer& timer) = 0;
  virtual void ThreadStarted() = 0;
  virtual void ThreadEnded() = 0;
  virtual std::unique_ptr<TEventPeer> NewEvent(bool manualReset, bool initialState) = 0;
  virtual void ShowMessageBox(TForm* owner, const std::string& text, const std::string& caption,
                          TMsgDlgType type) = 0;
  virtual bool ExecuteOpenDialog(TOpenDialog& dialog) = 0;
  virtual bool SelectDirectory(const std::string& caption, std::string& directory) = 0;
  // Asks the shell to perform an operation ("open") on a file or folder; owner may be none.
  virtual void ShellOpen(TForm* owner, const std::string& operation, const std::string& file,
                         const std::string& folder, int showCommand) = 0;
};

void InstallWidgetset(std::unique_ptr<TWidgetset> widgetset);
TWidgetset& Widgetset();
bool HasWidgetset();

}  // namespace vcl
