// Stands in for the encoder "rode.exe" in tests. It takes the program's command line,
// prints a progress entry every 250 ms while it is not paused, reads the sound pipe when
// the command names one, and owns a window, never shown, that takes the characters "p"
// (pause or resume) and "q" (write every output file, then end). Its log, rode.log beside
// it or the file named by RODE_LOG, receives the command line, each character, each file
// written and the number of sound bytes read.
#include <windows.h>
#include <shellapi.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

namespace {

CRITICAL_SECTION logLock;
std::wstring logPath;
std::vector<std::wstring> outputs;
std::wstring soundPipe;
HWND grabbed = nullptr;
double rate = 25;

DWORD start = 0, pausedSince = 0, pausedTotal = 0;
bool paused = false;
std::atomic<unsigned long> soundBytes{0};

void Log(const std::string& line) {
  EnterCriticalSection(&logLock);
  HANDLE f = CreateFileW(logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f != INVALID_HANDLE_VALUE) {
    std::string text = line + "\r\n";
    DWORD written = 0;
    WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(f);
  }
  LeaveCriticalSection(&logLock);
}

std::string Narrow(const std::wstring& text) {
  int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string narrow(n > 0 ? n - 1 : 0, '\0');
  if (n > 1) WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, &narrow[0], n, nullptr, nullptr);
  return narrow;
}

double Seconds() {
  DWORD now = paused ? pausedSince : GetTickCount();
  return (now - start - pausedTotal) / 1000.0;
}

// Options come in pairs; what is left are the output files. An input is the sound pipe
// or the grabbed window, by the format named before it.
void ReadCommandLine() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::wstring format;
  for (int i = 1; i < argc; ++i) {
    std::wstring arg = argv[i];
    if (arg.size() > 1 && arg[0] == L'-' && i + 1 < argc) {
      std::wstring value = argv[++i];
      if (arg == L"-f") format = value;
      else if (arg == L"-r") rate = _wtof(value.c_str());
      else if (arg == L"-i" && format == L"s16le") soundPipe = value;
      else if (arg == L"-i" && format == L"win32grab")
        grabbed = reinterpret_cast<HWND>(static_cast<UINT_PTR>(wcstoul(value.c_str() + value.rfind(L',') + 1, nullptr, 10)));
    } else {
      outputs.push_back(arg);
    }
  }
  LocalFree(argv);
  if (rate <= 0) rate = 25;
}

DWORD WINAPI ReadSound(void*) {
  HANDLE pipe;
  // The pipe's server may come up after the encoder has started.
  while ((pipe = CreateFileW(soundPipe.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)) ==
         INVALID_HANDLE_VALUE) {
    if (GetLastError() == ERROR_PIPE_BUSY) WaitNamedPipeW(soundPipe.c_str(), 1000);
    else Sleep(100);
  }
  Log("pipe opened: " + Narrow(soundPipe));
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0) soundBytes += got;
  CloseHandle(pipe);
  return 0;
}

void PrintProgress() {
  if (paused) return;
  double t = Seconds();
  int frames = static_cast<int>(t * rate);
  std::printf("frame=%5d fps=%3.0f q=2.0 size=%6dkB time=%.2f bitrate= 100.0kbits/s\n", frames, rate,
              10 + frames / 4, t);
  std::fflush(stdout);
}

void Finish() {
  for (const std::wstring& path : outputs) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) {
      Log("cannot write: " + Narrow(path));
      continue;
    }
    char text[128];
    int n = std::snprintf(text, sizeof text, "test encoder output\r\nseconds=%.2f\r\nsound bytes=%lu\r\n", Seconds(),
                          soundBytes.load());
    DWORD written = 0;
    WriteFile(f, text, static_cast<DWORD>(n), &written, nullptr);
    CloseHandle(f);
    Log("wrote: " + Narrow(path));
  }
  if (!soundPipe.empty()) Log("pipe bytes: " + std::to_string(soundBytes.load()));
}

LRESULT CALLBACK WindowProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      PrintProgress();
      return 0;
    case WM_CHAR:
      Log("key: " + std::string(1, static_cast<char>(wParam)));
      if (wParam == 'p') {
        if (paused) pausedTotal += GetTickCount() - pausedSince;
        else pausedSince = GetTickCount();
        paused = !paused;
      } else if (wParam == 'q') {
        // The caller goes on as soon as this message returns: the files are complete first.
        Finish();
        DestroyWindow(w);
      }
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(w, message, wParam, lParam);
}

}  // namespace

int main() {
  InitializeCriticalSection(&logLock);
  wchar_t path[MAX_PATH];
  DWORD n = GetEnvironmentVariableW(L"RODE_LOG", path, MAX_PATH);
  if (n > 0 && n < MAX_PATH) {
    logPath = path;
  } else {
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    logPath = path;
    logPath = logPath.substr(0, logPath.find_last_of(L'\\') + 1) + L"rode.log";
  }
  Log("command line: " + std::string(GetCommandLineA()));
  ReadCommandLine();
  start = GetTickCount();

  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.lpszClassName = L"RodeTestEncoder";
  RegisterClassW(&wc);
  // Never shown: the program starts the encoder hidden and only sends it characters.
  HWND window = CreateWindowExW(0, wc.lpszClassName, L"rode", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                instance, nullptr);
  if (!window) return 4;
  std::printf("test encoder: window %lu to %u file(s)\n", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(grabbed)),
              static_cast<unsigned>(outputs.size()));
  std::fflush(stdout);
  if (!soundPipe.empty()) CloseHandle(CreateThread(nullptr, 0, ReadSound, nullptr, 0, nullptr));
  SetTimer(window, 1, 250, nullptr);

  MSG m;
  while (GetMessageW(&m, nullptr, 0, 0) > 0) DispatchMessageW(&m);
  return 0;
}
