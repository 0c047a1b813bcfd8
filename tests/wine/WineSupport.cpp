#include "WineSupport.h"

namespace winetest {

static const char* const Key = "Software\\Roravad Arezaded\\Norvane Slidereel";

std::string BinFolder() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string p(path, n);
  return p.substr(0, p.find_last_of('\\'));
}

bool Process::Running() const { return WaitForSingleObject(Handle, 0) == WAIT_TIMEOUT; }
bool Process::WaitExit(DWORD ms) const { return WaitForSingleObject(Handle, ms) == WAIT_OBJECT_0; }
void Process::Kill() const {
  if (Running()) TerminateProcess(Handle, 1);
}
void Process::Close() {
  if (!Handle) return;
  Kill();
  CloseHandle(Handle);
  Handle = nullptr;
}
Process::~Process() { Close(); }
Process& Process::operator=(Process&& other) noexcept {
  if (this != &other) {
    Close();
    Handle = other.Handle;
    Id = other.Id;
    other.Handle = nullptr;
  }
  return *this;
}

Process Launch(const std::string& exe, const std::string& arguments) {
  std::string cmd = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  Process p;
  if (!CreateProcessA(exe.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, BinFolder().c_str(), &si, &pi))
    return p;
  CloseHandle(pi.hThread);
  p.Handle = pi.hProcess;
  p.Id = pi.dwProcessId;
  return p;
}

bool WaitUntil(const std::function<bool()>& pred, DWORD ms) {
  DWORD start = GetTickCount();
  for (;;) {
    if (pred()) return true;
    if (GetTickCount() - start >= ms) return false;
    Sleep(50);
  }
}

namespace {
struct Search {
  DWORD ProcessId;
  const char* ClassName;
  const std::function<bool(HWND)>& Accept;
  HWND Found;
};
BOOL CALLBACK Match(HWND w, LPARAM l) {
  auto* s = reinterpret_cast<Search*>(l);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  char cls[64] = {};
  GetClassNameA(w, cls, sizeof cls);
  if (pid == s->ProcessId && lstrcmpA(cls, s->ClassName) == 0 && (!s->Accept || s->Accept(w))) {
    s->Found = w;
    return FALSE;
  }
  return TRUE;
}
}  // namespace

HWND FindTopLevel(DWORD processId, const char* className, const std::function<bool(HWND)>& accept) {
  Search s{processId, className, accept, nullptr};
  EnumWindows(Match, reinterpret_cast<LPARAM>(&s));
  return s.Found;
}

std::string WindowText(HWND w) {
  char text[1024] = {};
  GetWindowTextA(w, text, sizeof text);
  return text;
}

MessageBoxSeen WaitForMessageBox(DWORD processId, DWORD ms) {
  MessageBoxSeen seen;
  WaitUntil(
      [&] {
        seen.Window = FindTopLevel(processId, "#32770");
        return seen.Window && IsWindowVisible(seen.Window);
      },
      ms);
  if (!seen.Window) return seen;
  seen.Caption = WindowText(seen.Window);
  char text[1024] = {};
  GetDlgItemTextA(seen.Window, 0xFFFF, text, sizeof text);
  seen.Text = text;
  return seen;
}

void PressOk(HWND box) { PostMessageA(box, WM_COMMAND, IDOK, 0); }

InstallValue::InstallValue(const char* name, const char* text, bool remove) : name_(name) {
  HKEY h;
  RegCreateKeyExA(HKEY_CURRENT_USER, Key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr);
  char old[512] = {};
  DWORD size = sizeof old, type = 0;
  existed_ = RegQueryValueExA(h, name, nullptr, &type, reinterpret_cast<BYTE*>(old), &size) == ERROR_SUCCESS;
  old_ = old;
  if (remove) RegDeleteValueA(h, name);
  else RegSetValueExA(h, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), lstrlenA(text) + 1);
  RegCloseKey(h);
}

InstallValue::~InstallValue() {
  HKEY h;
  RegOpenKeyExA(HKEY_CURRENT_USER, Key, 0, KEY_ALL_ACCESS, &h);
  if (existed_) RegSetValueExA(h, name_.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(old_.c_str()),
                               static_cast<DWORD>(old_.size() + 1));
  else RegDeleteValueA(h, name_.c_str());
  RegCloseKey(h);
}

}  // namespace winetest
