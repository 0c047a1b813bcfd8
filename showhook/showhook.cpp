// The slide show window hook: while installed, every window of class "screenClass" that is
// activated anywhere on the desktop turns fully transparent, so the slide show never shows
// on the screen before the capture window has taken it into its panel.
#include <windows.h>

// HookHandle sits alone in a section of its own. The section is ordinary read/write data,
// not shared: in every process the system injects this library into, it stays 0.
#if defined(_MSC_VER)
#pragma section(".SHARDAT", read, write)
#define SHOWHOOK_SHARDAT __declspec(allocate(".SHARDAT"))
#else
#define SHOWHOOK_SHARDAT __attribute__((section(".SHARDAT")))
#endif

static SHOWHOOK_SHARDAT HHOOK HookHandle = nullptr;
static HINSTANCE ModuleHandle = nullptr;

// Unit by unit up to and including the terminating zero: only the whole name, in its exact
// case, matches.
static bool IsSlideShowClass(const WCHAR* name) {
  static const WCHAR SlideShowClass[] = L"screenClass";
  for (int i = 0;; ++i) {
    if (name[i] != SlideShowClass[i]) return false;
    if (SlideShowClass[i] == 0) return true;
  }
}

static LRESULT CALLBACK ActivationHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) {
    HWND window = reinterpret_cast<HWND>(wParam);
    WCHAR className[100] = {};
    GetClassNameW(window, className, 99);
    if (IsSlideShowClass(className)) {
      LONG exStyle = GetWindowLongW(window, GWL_EXSTYLE);
      // The call returns the previous style, which is 0 for a window that had none: only
      // the cleared error code tells that success from a failure.
      SetLastError(0);
      if (SetWindowLongW(window, GWL_EXSTYLE, exStyle | WS_EX_LAYERED) != 0 || GetLastError() == 0)
        SetLayeredWindowAttributes(window, 0, 0, LWA_ALPHA);
    }
  }
  return CallNextHookEx(HookHandle, code, wParam, lParam);
}

// The window that will host the slide show changes nothing here.
extern "C" int WINAPI install(HWND /*window*/) {
  HookHandle = SetWindowsHookExW(WH_CBT, ActivationHook, ModuleHandle, 0);
  if (HookHandle == nullptr) return 0;
  return 1;
}

// HookHandle is kept: a second call fails as the system no longer knows the hook.
extern "C" int WINAPI uninstall() { return UnhookWindowsHookEx(HookHandle) ? 1 : 0; }

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) ModuleHandle = instance;
  return TRUE;
}
