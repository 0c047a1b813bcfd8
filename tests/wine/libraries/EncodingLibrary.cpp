// A stand-in encoding library for the tests of the bridge: each entry point hands what it
// received to the test program that loaded it (its export "EncodingLibraryCalled") and
// returns what that answers. Built once per library file name with its entry point names.
#include <windows.h>

#define NAME_OF(entry) NAME_TEXT(entry)
#define NAME_TEXT(entry) #entry

typedef int(__cdecl* CallReport)(const char* library, const char* entry, int argc, char** argv);

static int Report(const char* entry, int argc, char** argv) {
  auto report = reinterpret_cast<CallReport>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(nullptr), "EncodingLibraryCalled")));
  return report ? report(LIBRARY_FILE, entry, argc, argv) : -1;
}

extern "C" __declspec(dllexport) int __cdecl COMMAND_ENTRY(int argc, char** argv) {
  return Report(NAME_OF(COMMAND_ENTRY), argc, argv);
}
extern "C" __declspec(dllexport) int __cdecl FRAME_ENTRY() { return Report(NAME_OF(FRAME_ENTRY), 0, nullptr); }
extern "C" __declspec(dllexport) void __cdecl stop() { Report("stop", 0, nullptr); }
