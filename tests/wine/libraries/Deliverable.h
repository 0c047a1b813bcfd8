// The two libraries as the tests load them: from the folder above the tests, where the
// program's own files lie, and read through their loaded image headers.
#pragma once
#include <windows.h>

#include <cstring>
#include <string>

#include "../WineSupport.h"

namespace winetest {

inline std::string ProgramFolder() {
  std::string tests = BinFolder();
  return tests.substr(0, tests.find_last_of('\\'));
}

inline HMODULE LoadDeliverable(const char* file) { return LoadLibraryA((ProgramFolder() + "\\" + file).c_str()); }

inline const IMAGE_NT_HEADERS* ImageHeaders(HMODULE module) {
  auto* base = reinterpret_cast<const BYTE*>(module);
  auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  return reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
}

inline const IMAGE_EXPORT_DIRECTORY* ExportDirectory(HMODULE module) {
  const auto& entry = ImageHeaders(module)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  return reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(reinterpret_cast<const BYTE*>(module) + entry.VirtualAddress);
}

// Null when the image has no section of that (up to 8 characters long) name.
inline const IMAGE_SECTION_HEADER* ImageSection(HMODULE module, const char* name) {
  const IMAGE_NT_HEADERS* nt = ImageHeaders(module);
  const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
  for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section)
    if (std::strncmp(reinterpret_cast<const char*>(section->Name), name, IMAGE_SIZEOF_SHORT_NAME) == 0)
      return section;
  return nullptr;
}

}  // namespace winetest
