// The bridge between the program and the outside encoding libraries: a command text is split
// into an argument vector, converted to the ANSI code page and handed to the library's entry
// point; the library is loaded for the call and unloaded again. Failures show a message box
// captioned with this library's name, and the export answers 0.
#include <windows.h>
#include <vfw.h>

#include <cstdlib>

#include "EncoderBridge.h"
#include "SplitCommand.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

// The one command-taking call in progress; empty between calls. Only one such call may run
// at a time.
static std::int32_t ArgCount = 0;
static ArgVector<wchar_t> WideArgs;
static ArgVector<char> NarrowArgs;

static void ShowError(const char* text) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(reinterpret_cast<HMODULE>(&__ImageBase), path, MAX_PATH);
  const char* name = path;
  for (const char* p = path; *p; ++p)
    if (*p == '\\' || *p == '/') name = p + 1;
  char caption[MAX_PATH] = {};
  lstrcpynA(caption, name, MAX_PATH);
  for (char* p = caption + lstrlenA(caption); p > caption; --p)
    if (*p == '.') {
      *p = 0;
      break;
    }
  MessageBoxA(nullptr, text, caption, MB_OK | MB_ICONERROR);
}

// Both conversions ask for the size first, terminating zero included, and count a
// conversion that gives less than that as failed.
static wchar_t* ToWide(const char* text) {
  int size = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (size <= 0) return nullptr;
  auto* wide = static_cast<wchar_t*>(std::malloc(size * sizeof(wchar_t)));
  if (wide == nullptr) return nullptr;
  if (MultiByteToWideChar(CP_ACP, 0, text, -1, wide, size) < size) {
    std::free(wide);
    return nullptr;
  }
  return wide;
}

static char* ToNarrow(const wchar_t* text) {
  int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return nullptr;
  auto* narrow = static_cast<char*>(std::malloc(size));
  if (narrow == nullptr) return nullptr;
  if (WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, size, nullptr, nullptr) < size) {
    std::free(narrow);
    return nullptr;
  }
  return narrow;
}

struct EntrySlot {
  const char* Name;
  FARPROC* Slot;
};

// The library stays loaded whatever the answer; unloading it is the caller's step.
static bool LoadEntry(const char* library, HMODULE& module, const EntrySlot* entries, int count) {
  module = LoadLibraryA(library);
  if (module == nullptr) return false;
  for (int i = 0; i < count; ++i) {
    *entries[i].Slot = GetProcAddress(module, entries[i].Name);
    if (*entries[i].Slot == nullptr) return false;
  }
  return true;
}

static void FreeArguments() {
  WideArgs.Free();
  NarrowArgs.Free();
  ArgCount = 0;
}

static bool ArgumentsFailed(wchar_t* wide, const char* text) {
  std::free(wide);
  FreeArguments();
  ShowError(text);
  return false;
}

// Counted, split, converted, passed, freed. True when the entry point was called.
static bool RunCommand(const char* command, const char* library, const char* entryName, int& result) {
  wchar_t* wide = ToWide(command);
  if (wide == nullptr) return ArgumentsFailed(nullptr, "Error: Unicode conversion failed");
  if (!SplitCommand(wide, SplitPass::Count, ArgCount, WideArgs)) return ArgumentsFailed(wide, "Error: Op parse failed");
  if (!WideArgs.Allocate(ArgCount) || !SplitCommand(wide, SplitPass::Split, ArgCount, WideArgs))
    return ArgumentsFailed(wide, "Error: Op parse failed");
  std::free(wide);
  if (!NarrowArgs.Allocate(ArgCount)) return ArgumentsFailed(nullptr, "Error: Op parse failed");
  for (std::int32_t i = 0; i < ArgCount; ++i) {
    char* narrow = ToNarrow(WideArgs.Slots[i]);
    if (narrow == nullptr || !NarrowArgs.Put(narrow)) return ArgumentsFailed(nullptr, "Error: Op parse failed");
  }
  WideArgs.Free();

  typedef int(__cdecl * CommandEntry)(int argc, char** argv);
  FARPROC entry = nullptr;
  const EntrySlot slots[] = {{entryName, &entry}};
  HMODULE module = nullptr;
  bool called = false;
  if (LoadEntry(library, module, slots, 1)) {
    result = reinterpret_cast<CommandEntry>(reinterpret_cast<void*>(entry))(ArgCount, NarrowArgs.Slots);
    called = true;
  } else {
    ShowError("Error: Can not load dll");
  }
  if (module != nullptr) FreeLibrary(module);
  FreeArguments();
  return called;
}

// The exports without arguments: a progress query (with an integer result, 0 when the entry
// point was not called) or a stop request.
static int Forward(const char* library, const char* entryName, bool hasResult) {
  FARPROC entry = nullptr;
  const EntrySlot slots[] = {{entryName, &entry}};
  HMODULE module = nullptr;
  int result = 0;
  if (LoadEntry(library, module, slots, 1)) {
    if (hasResult) result = reinterpret_cast<int(__cdecl*)()>(reinterpret_cast<void*>(entry))();
    else reinterpret_cast<void(__cdecl*)()>(reinterpret_cast<void*>(entry))();
  } else {
    ShowError("Error: Can not load dll");
  }
  if (module != nullptr) FreeLibrary(module);
  return result;
}

int WINAPI video2(const char* command) {
  int result = 0;
  RunCommand(command, "video2.dll", "mplex", result);
  return 0;
}

int WINAPI video3(const char* command) {
  int result = 0;
  RunCommand(command, "video3.dll", "dvd", result);
  return 0;
}

int WINAPI video_start(const char* command) {
  int result = 0;
  return RunCommand(command, "video.dll", "convertvideo", result) ? result : 0;
}

int WINAPI video2_framenum() { return Forward("video2.dll", "framenum_mplex", true); }
int WINAPI video3_framenum() { return Forward("video3.dll", "write_num", true); }
int WINAPI video_framenum() { return Forward("video.dll", "currrent_frame", true); }
void WINAPI video2_stop() { Forward("video2.dll", "stop", false); }
void WINAPI video3_stop() { Forward("video3.dll", "stop", false); }
void WINAPI video_stop() { Forward("video.dll", "stop", false); }

// The file name exactly, letters in either case. A linguistic comparison would also let
// through names with characters it ignores, such as a soft hyphen.
static bool IsXvidDriverName(const char* name) {
  const char* expected = "xvidvfw.dll";
  for (; *name && *expected; ++name, ++expected) {
    char c = *name;
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != *expected) return false;
  }
  return *name == 0 && *expected == 0;
}

// 0 when a video compressor's driver is "xvidvfw.dll" in any case, 1 when none is. A driver
// named with a folder in front does not count.
int WINAPI DetectXVIDDriver() {
  static_assert(sizeof(ICINFO) == 568, "the compressor record the system fills");
  ICINFO info;
  ZeroMemory(&info, sizeof info);
  info.dwSize = sizeof info;
  for (DWORD position = 0; ICInfo(ICTYPE_VIDEO, position, &info); ++position) {
    // The driver name need not end in a zero when it fills all its 128 units.
    int length = 0;
    while (length < 128 && info.szDriver[length] != 0) ++length;
    char driver[256] = {};
    if (WideCharToMultiByte(CP_ACP, 0, info.szDriver, length, driver, sizeof driver - 1, nullptr, nullptr) > 0 &&
        IsXvidDriverName(driver))
      return 0;
  }
  return 1;
}
