#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <objbase.h>
#include <shlobj.h>

#include <deque>
#include <map>
#include <mutex>
#include <vector>

#include "vcl/Dialogs.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/win32/Win32Peers.h"
#include "vcl/win32/Win32Widgetset.h"

namespace vcl::win32 {

namespace {

std::function<bool(MSG&)>& KeyFilter() {
  static std::function<bool(MSG&)> filter;
  return filter;
}

bool Filtered(MSG& msg) {
  return msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST && KeyFilter() && KeyFilter()(msg);
}

constexpr UINT WM_SYNCHRONIZE = WM_APP + 1;

class Win32Widgetset;
Win32Widgetset* Instance = nullptr;

class Event final : public TEventPeer {
 public:
  Event(Win32Widgetset& ws, bool manual, bool initial);
  ~Event() override { CloseHandle(handle_); }
  void Set() override { SetEvent(handle_); }
  void Reset() override { ResetEvent(handle_); }
  bool Wait(unsigned timeoutMs) override;

 private:
  Win32Widgetset& ws_;
  HANDLE handle_;
};

class Win32Widgetset final : public TWidgetset {
 public:
  Win32Widgetset() : mainThread_(GetCurrentThreadId()) {
    Instance = this;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    RegisterWindowClasses();
    WNDCLASSA wc{};
    wc.lpfnWndProc = UtilityProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "SlidecasterUtility";
    RegisterClassA(&wc);
    utility_ = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    syncPending_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  }
  ~Win32Widgetset() override {
    DestroyWindow(utility_);
    CloseHandle(syncPending_);
    Instance = nullptr;
  }

  std::unique_ptr<TControlPeer> CreatePeer(TControl& control) override { return CreateNativePeer(control); }
  TFrameSize FormFrame(const TForm& form) override { return win32::FormFrame(form); }
  TSheetArea PageArea(const TPageControl& pages) override { return win32::PageArea(pages); }

  void RunLoop(const std::function<bool()>& done) override {
    MSG msg;
    while (!done()) {
      BOOL r = GetMessageA(&msg, nullptr, 0, 0);
      if (r == 0 || r == -1) {
        // WM_QUIT ends every loop, the outer ones too.
        Application.Terminate();
        if (r == 0) PostQuitMessage(static_cast<int>(msg.wParam));
        break;
      }
      if (Filtered(msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }

  void ProcessMessages() override {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        Application.Terminate();
        PostQuitMessage(static_cast<int>(msg.wParam));
        return;
      }
      if (Filtered(msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }

  void WakeUp() override { PostMessageA(utility_, WM_NULL, 0, 0); }

  void Synchronize(const std::function<void()>& fn) override {
    if (GetCurrentThreadId() == mainThread_) {
      fn();
      return;
    }
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    {
      std::lock_guard<std::mutex> g(lock_);
      queue_.push_back(Call{&fn, done});
    }
    SetEvent(syncPending_);
    PostMessageA(utility_, WM_SYNCHRONIZE, 0, 0);
    WaitForSingleObject(done, INFINITE);
    CloseHandle(done);
  }

  // Runs the synchronised calls that wait; on the main thread only.
  void RunSynchronized() {
    for (;;) {
      Call call;
      {
        std::lock_guard<std::mutex> g(lock_);
        if (queue_.empty()) return;
        call = queue_.front();
        queue_.pop_front();
      }
      try {
        (*call.Fn)();
      } catch (const std::exception& e) {
        Application.HandleException(e);
      }
      SetEvent(call.Done);
    }
  }

  void TimerChanged(TTimer& timer) override {
    UINT_PTR id = IdOf(timer);
    if (timer.Enabled() && timer.Interval() > 0) SetTimer(utility_, id, timer.Interval(), nullptr);
    else KillTimer(utility_, id);
  }
  void TimerDestroyed(TTimer& timer) override {
    auto it = ids_.find(&timer);
    if (it == ids_.end()) return;
    KillTimer(utility_, it->second);
    timers_.erase(it->second);
    ids_.erase(it);
  }
  void ThreadStarted() override {}
  void ThreadEnded() override {}

  std::unique_ptr<TEventPeer> NewEvent(bool manualReset, bool initialState) override {
    return std::make_unique<Event>(*this, manualReset, initialState);
  }

  void ShowMessageBox(TForm* owner, const std::string& text, const std::string& caption,
                      TMsgDlgType type) override {
    UINT icon = type == TMsgDlgType::mtError         ? MB_ICONERROR
                : type == TMsgDlgType::mtInformation ? MB_ICONINFORMATION
                : type == TMsgDlgType::mtWarning     ? MB_ICONWARNING
                                                     : MB_ICONQUESTION;
    HWND parent = owner ? WindowOf(owner) : nullptr;
    if (!parent && Application.MainForm()) parent = GetActiveWindow();
    MessageBoxA(parent, text.c_str(), caption.c_str(), MB_OK | icon);
  }

  std::uintptr_t WindowHandle(const TControl& control) override {
    return reinterpret_cast<std::uintptr_t>(WindowOf(&control));
  }

  bool ExecuteOpenDialog(TOpenDialog& dialog) override {
    std::string filter = dialog.Filter;
    for (char& c : filter)
      if (c == '|') c = '\0';
    filter.append(2, '\0');
    char file[MAX_PATH] = {};
    lstrcpynA(file, dialog.FileName.c_str(), MAX_PATH);
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = GetActiveWindow();
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(dialog.FilterIndex);
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrInitialDir = dialog.InitialDir.empty() ? nullptr : dialog.InitialDir.c_str();
    ofn.lpstrTitle = dialog.Title.empty() ? nullptr : dialog.Title.c_str();
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameA(&ofn)) return false;
    dialog.FileName = file;
    dialog.FilterIndex = static_cast<int>(ofn.nFilterIndex);
    return true;
  }

  bool SelectDirectory(const std::string& caption, std::string& directory) override {
    BROWSEINFOA bi{};
    bi.hwndOwner = GetActiveWindow();
    bi.lpszTitle = caption.c_str();
    bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_NONEWFOLDERBUTTON;
    LPITEMIDLIST item = SHBrowseForFolderA(&bi);
    if (!item) return false;
    char path[MAX_PATH] = {};
    bool ok = SHGetPathFromIDListA(item, path) != FALSE;
    CoTaskMemFree(item);
    if (ok) directory = path;
    return ok;
  }

  void ShellOpen(TForm* owner, const std::string& operation, const std::string& file, const std::string& folder,
                 int showCommand) override {
    ShellExecuteA(owner ? WindowOf(owner) : nullptr, operation.c_str(), file.empty() ? nullptr : file.c_str(),
                  nullptr, folder.empty() ? nullptr : folder.c_str(), showCommand);
  }

  bool OnMainThread() const { return GetCurrentThreadId() == mainThread_; }
  HANDLE SyncPending() const { return syncPending_; }

 private:
  struct Call {
    const std::function<void()>* Fn = nullptr;
    HANDLE Done = nullptr;
  };

  UINT_PTR IdOf(TTimer& timer) {
    auto it = ids_.find(&timer);
    if (it != ids_.end()) return it->second;
    UINT_PTR id = nextTimer_++;
    ids_[&timer] = id;
    timers_[id] = &timer;
    return id;
  }

  static LRESULT CALLBACK UtilityProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
    try {
      if (msg == WM_SYNCHRONIZE && Instance) {
        Instance->RunSynchronized();
        return 0;
      }
      if (msg == WM_TIMER && Instance) {
        auto it = Instance->timers_.find(w);
        if (it != Instance->timers_.end()) it->second->Fire();
        return 0;
      }
    } catch (const std::exception& e) {
      Application.HandleException(e);
      return 0;
    }
    return DefWindowProcA(h, msg, w, l);
  }

  DWORD mainThread_;
  HWND utility_ = nullptr;
  HANDLE syncPending_ = nullptr;
  std::mutex lock_;
  std::deque<Call> queue_;
  std::map<TTimer*, UINT_PTR> ids_;
  std::map<UINT_PTR, TTimer*> timers_;
  UINT_PTR nextTimer_ = 1;
};

Event::Event(Win32Widgetset& ws, bool manual, bool initial)
    : ws_(ws), handle_(CreateEventA(nullptr, manual, initial, nullptr)) {}

bool Event::Wait(unsigned timeoutMs) {
  if (!ws_.OnMainThread()) return WaitForSingleObject(handle_, timeoutMs) == WAIT_OBJECT_0;
  // On the main thread COM calls keep being dispatched, and workers blocked in a
  // synchronised call are served, so neither side can deadlock the other.
  const DWORD start = GetTickCount();
  for (;;) {
    DWORD elapsed = GetTickCount() - start;
    if (elapsed >= timeoutMs) return WaitForSingleObject(handle_, 0) == WAIT_OBJECT_0;
    HANDLE handles[2] = {handle_, ws_.SyncPending()};
    DWORD index = 0;
    HRESULT hr = CoWaitForMultipleHandles(0, timeoutMs - elapsed, 2, handles, &index);
    if (hr == RPC_S_CALLPENDING) return false;
    if (FAILED(hr)) return WaitForSingleObject(handle_, 0) == WAIT_OBJECT_0;
    if (index == 0) return true;
    ws_.RunSynchronized();
  }
}

}  // namespace

std::unique_ptr<TWidgetset> MakeWidgetset() { return std::make_unique<Win32Widgetset>(); }

void SetKeyFilter(std::function<bool(MSG&)> filter) { KeyFilter() = std::move(filter); }

}  // namespace vcl::win32
