// The headless platform: Windows paths mapped onto a folder of the test, and processes,
// windows, registry values, shell folders, locale and time as the test scripts them.
#pragma once
#include <array>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/headless/HeadlessAudio.h"
#include "platform/headless/HeadlessSession.h"
#include "platform/headless/VirtualClock.h"

namespace platform::headless {

struct Attributes {
  bool Hidden = false, System = false, ReadOnly = false;
};

// Everything the headless services answer from; tests read and change it directly.
struct World {
  explicit World(std::filesystem::path root);

  std::filesystem::path Root;  // "C:\x" lives at Root/C/x, "\\srv\share\x" at Root/UNC/srv/share/x
  VirtualClock Clock;

  std::string ModulePath = "C:\\Program Files\\Slidecaster\\Slidecaster.exe";
  std::string CurrentDir = "C:\\";
  std::set<std::string> MissingExports;           // "user32.dll!PrintWindow"
  std::map<int, std::string> SpecialFolders;      // by CSIDL
  bool ScreenSaverActive = true;
  int ComApartments = 0;  // initialisations not yet undone
  std::multiset<std::string> Mutexes;             // one name per open handle, any process
  bool MutexCreationFails = false;
  LocaleNames Locale;
  std::array<std::string, 12> LongMonthNames{"January", "February", "March", "April", "May", "June", "July",
                                             "August", "September", "October", "November", "December"};
  std::array<std::string, 7> LongDayNames{"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
  int CodePage = 1252;  // the ANSI code page; 932 has double-byte characters
  bool IsLeadByte(unsigned char byte) const;
  std::string AnsiToUtf8(const std::string& text) const;
  // One 1280 x 1024 monitor with a 30 pixel task bar at the bottom.
  std::vector<MonitorInfo> Monitors{MonitorInfo{0, 0, 1280, 994, true}};
  std::map<std::string, std::uint64_t> DiskFreeBytes;  // by drive part ("C:")
  std::map<std::string, Attributes> FileAttributes;     // by upper-cased Windows path
  std::set<std::string> ReadOnlyIniFiles;                // upper-cased paths that refuse writes
  std::set<std::string> ReadOnlyFolders;                 // upper-cased folders where no file can be written

  // registry: key (upper-cased) -> value name (upper-cased) -> text; a value held in
  // WrongTypeValues is stored with a non-text type
  std::map<std::string, std::map<std::string, std::string>> RegistryKeys;
  std::set<std::string> WrongTypeValues;  // "KEY\VALUE", upper-cased
  void SetRegistryValue(const std::string& key, const std::string& value, const std::string& text);

  std::vector<ProcessEntry> Processes;
  bool SnapshotFails = false;
  std::vector<std::uint32_t> Terminated;  // process ids, in the order they were ended
  std::vector<WindowEntry> Windows;
  ScriptedAudio Audio;  // no audio input device unless a test adds some
  // The outside programs of a recording and the windows the session works on.
  ScriptedPresentationProgram PowerPoint;
  ScriptedServer Server;
  ScriptedEncoder Encoder;
  ScriptedHookLibrary HookLibrary;
  // The encoder bridge: the commands it was given, in order, and what its libraries make.
  struct {
    std::vector<std::string> Commands;
    bool MultiplexerWrites = true, AuthoringWrites = true;
    std::function<void(const std::string&)> OnCall;  // runs inside each call
  } Bridge;
  std::map<Handle, ScriptedWindow> WindowStates;
  Handle NextHandle = 0x10000;
  std::uint32_t NextProcessId = 5000;

  // The host path for a Windows path (relative ones against CurrentDir).
  std::filesystem::path HostPath(const std::string& windowsPath) const;
  std::string AbsolutePath(const std::string& windowsPath) const;
};

// Installs services answering from world (which must outlive them).
Services MakeServices(World& world);

}  // namespace platform::headless
