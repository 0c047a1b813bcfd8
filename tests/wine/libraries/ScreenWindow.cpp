// Owns one top-level window of the class named on its command line and activates it, as
// the presentation program does with its slide show window: framed, or with "popup" after
// the class a borderless window without extended styles, as a full-screen show has. The
// title turns to "shown" once the window has been shown and activated; a close message
// ends the program.
#include <windows.h>

static LRESULT CALLBACK WindowProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(w, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc < 2) return 2;
  WNDCLASSW wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.lpszClassName = argv[1];
  if (!RegisterClassW(&wc)) return 3;
  const bool popup = argc > 2 && lstrcmpW(argv[2], L"popup") == 0;
  HWND w = CreateWindowExW(0, argv[1], L"", popup ? WS_POPUP : WS_OVERLAPPEDWINDOW, 0, 0, 320, 240, nullptr, nullptr,
                           instance, nullptr);
  if (!w) return 4;
  ShowWindow(w, SW_SHOWNORMAL);
  SetForegroundWindow(w);
  SetActiveWindow(w);
  SetWindowTextW(w, L"shown");
  MSG m;
  while (GetMessageW(&m, nullptr, 0, 0) > 0) DispatchMessageW(&m);
  return 0;
}
