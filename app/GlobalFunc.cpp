#include "GlobalFunc.h"

#include "vcl/SysUtils.h"

using vcl::UpperCase;

const char* const EncoderExe = "rode.exe";
const char* const PowerPointExeName = "POWERPNT.EXE";

// A snapshot entry names the process either by its file name or by a full path.
static bool SameExe(const platform::ProcessEntry& entry, const std::string& upperName) {
  return UpperCase(vcl::ExtractFileName(entry.ExeFile)) == upperName || UpperCase(entry.ExeFile) == upperName;
}

bool FindProcess(const std::string& exeName, std::uint32_t& processId) {
  auto snapshot = platform::Processes().Snapshot();
  if (!snapshot) return false;
  const std::string name = UpperCase(exeName);
  bool found = false;
  for (const auto& entry : *snapshot)
    if (SameExe(entry, name)) {
      processId = entry.ProcessId;  // the last match wins
      found = true;
    }
  return found;
}

void KillProcess(const std::string& exeName) {
  auto snapshot = platform::Processes().Snapshot();
  if (!snapshot) return;
  const std::string name = UpperCase(exeName);
  for (const auto& entry : *snapshot)
    if (SameExe(entry, name)) platform::Processes().Terminate(entry.ProcessId, 0);
}

platform::Handle FindEncoderWindow() {
  std::uint32_t encoder = 0;
  if (!FindProcess(EncoderExe, encoder)) return 0;
  for (const auto& window : platform::Processes().TopLevelWindows())
    if (window.ProcessId == encoder) return window.Window;
  return 0;
}

void DisableScreenSaver() {
  if (platform::System().ScreenSaverActive()) platform::System().SetScreenSaverActive(false);
}

void EnableScreenSaver() { platform::System().SetScreenSaverActive(true); }

std::string GetSpecialFolder(int csidl, bool create) {
  return platform::System().SpecialFolderPath(create ? csidl | platform::CsidlFlagCreate : csidl);
}

bool DeleteFolder(const std::string& path) {
  auto& files = platform::Files();
  if (!files.DirectoryExists(path)) return true;
  for (const auto& entry : files.ListFolder(path))
    if (!entry.Directory) files.RemoveFile(path + "\\" + entry.Name);  // failures are skipped
  files.RemoveDir(path);  // stays while it still holds a sub-folder
  return true;
}
