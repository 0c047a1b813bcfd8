// Platform services: everything the program units ask of the operating system, behind
// small interfaces. The win32 backend is the product; the headless backend serves the
// native tests. A backend installs its services once at start (InstallPlatform).
#pragma once
#include <array>
#include <functional>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/AudioDevices.h"
#include "platform/Automation.h"

namespace platform {

// Window, process and kernel-object handles travel as opaque HWND-sized integers.
using Handle = std::uintptr_t;

// Shell folder ids used by the program, and the flag that asks the shell to create one.
constexpr int CsidlPersonal = 5;
constexpr int CsidlLocalAppData = 28;
constexpr int CsidlFlagCreate = 0x8000;

struct LocalTime {
  int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
};

// The user's regional names that date patterns use.
struct LocaleNames {
  std::array<std::string, 12> ShortMonthNames;
  std::string TimeAMString, TimePMString;
};

// One display monitor: its work area (the desktop without task bars) and whether the
// system calls it the primary one.
struct MonitorInfo {
  int WorkLeft = 0, WorkTop = 0, WorkWidth = 0, WorkHeight = 0;
  bool Primary = false;
};

struct MutexResult {
  Handle Mutex = 0;            // 0: the mutex could not be created
  bool AlreadyExisted = false;  // another holder has it already
};

// Process-wide services: the program's own module, current folder, system exports,
// shell folders, screen saver, mutexes, clock and locale.
class ISystem {
 public:
  virtual ~ISystem() = default;
  virtual std::string ModulePath() = 0;  // full path of the program's executable
  virtual bool SetCurrentDir(const std::string& path) = 0;
  virtual bool ModuleExports(const std::string& module, const std::string& function) = 0;
  virtual std::string SpecialFolderPath(int csidl) = 0;  // empty when the shell has none
  virtual bool ScreenSaverActive() = 0;
  virtual void SetScreenSaverActive(bool active) = 0;  // for this session, not the profile
  virtual MutexResult CreateNamedMutex(const std::string& name) = 0;
  virtual void CloseHandle(Handle h) = 0;
  virtual LocalTime Now() = 0;
  virtual LocaleNames Locale() = 0;
  // A date in the user's long date format.
  virtual std::string LongDate(const LocalTime& date) = 0;
  // Whether a byte opens a double-byte character in the system's ANSI code page.
  virtual bool IsLeadByte(unsigned char byte) = 0;
  // ANSI text of the system's code page as UTF-8, for files that declare UTF-8.
  virtual std::string AnsiToUtf8(const std::string& text) = 0;
  virtual void Sleep(unsigned milliseconds) = 0;
  // The display monitors, in the system's order.
  virtual std::vector<MonitorInfo> Monitors() = 0;
  // The calling thread's COM apartment (single-threaded).
  virtual bool ComInitialize() = 0;
  virtual void ComUninitialize() = 0;
};

struct FileEntry {
  std::string Name;
  bool Directory = false, Hidden = false, System = false, ReadOnly = false;
};

// Files, folders and private-profile (INI) files, all named by Windows paths.
class IFileSystem {
 public:
  virtual ~IFileSystem() = default;
  virtual bool FileExists(const std::string& path) = 0;
  virtual std::optional<std::uint64_t> FileSize(const std::string& path) = 0;  // nullopt: no such file
  virtual bool DirectoryExists(const std::string& path) = 0;
  virtual bool CreateDir(const std::string& path) = 0;  // one level
  virtual bool RemoveFile(const std::string& path) = 0;
  virtual bool RemoveDir(const std::string& path) = 0;  // only an empty folder
  // Creates or replaces a file with exactly these bytes; false when it cannot be written.
  virtual bool WriteWholeFile(const std::string& path, const std::string& bytes) = 0;
  // Every entry of a folder, hidden, system and read-only ones included, without "." and "..".
  virtual std::vector<FileEntry> ListFolder(const std::string& path) = 0;
  // Free bytes available to the user on the drive of a path; nullopt when it cannot be read.
  virtual std::optional<std::uint64_t> DiskFree(const std::string& path) = 0;
  virtual std::string IniRead(const std::string& file, const std::string& section, const std::string& key,
                              const std::string& fallback) = 0;
  virtual bool IniWrite(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& value) = 0;
};

enum class RegStatus { Ok, KeyMissing, ValueMissing, WrongType };

// Read-only access to the current user's registry.
class IRegistry {
 public:
  virtual ~IRegistry() = default;
  virtual bool KeyExists(const std::string& key) = 0;
  virtual RegStatus ReadString(const std::string& key, const std::string& value, std::string& text) = 0;
};

struct ProcessEntry {
  std::uint32_t ProcessId = 0;
  std::string ExeFile;  // as the process snapshot reports it
};

struct WindowEntry {
  Handle Window = 0;
  std::uint32_t ProcessId = 0;
};

// An anonymous pipe whose two ends a child process may inherit.
class IPipe {
 public:
  virtual ~IPipe() = default;  // closes what is still open
  // Blocks until bytes come; false when the pipe is closed or broken.
  virtual bool Read(char* buffer, unsigned size, unsigned& got) = 0;
  virtual void CloseReadEnd() = 0;
  virtual void CloseWriteEnd() = 0;
};

// A started child process; the program keeps only its handles, which it closes.
class IChildProcess {
 public:
  virtual ~IChildProcess() = default;  // closes the process and thread handles
};

// Running processes and the top-level windows, in the system's order.
class IProcesses {
 public:
  virtual ~IProcesses() = default;
  virtual std::optional<std::vector<ProcessEntry>> Snapshot() = 0;  // nullopt: no snapshot
  virtual bool Terminate(std::uint32_t processId, unsigned exitCode) = 0;
  virtual std::vector<WindowEntry> TopLevelWindows() = 0;
  // nullptr when the pipe cannot be made.
  virtual std::unique_ptr<IPipe> CreateInheritablePipe() = 0;
  // Starts a command line with a hidden window, standard input from input's read end and
  // standard output and error into output's write end (a missing pipe gives no handle);
  // nullptr when the process cannot be started.
  virtual std::unique_ptr<IChildProcess> StartRedirected(const std::string& commandLine, IPipe* input,
                                                         IPipe* output) = 0;
  // Has the shell start a program with a hidden window, no verb and no working folder; its
  // answer is not looked at.
  virtual void ShellStartHidden(const std::string& file, const std::string& parameters) = 0;
};

// Other programs' windows, as the capture session takes the slide show window over.
class IWindows {
 public:
  virtual ~IWindows() = default;
  virtual Handle FindTopLevel(const std::string& className) = 0;  // any title; 0 when none
  virtual Handle SetParent(Handle child, Handle parent) = 0;      // the former parent; 0 on failure
  virtual bool SetLayeredAttributes(Handle window, std::uint32_t colorKey, std::uint8_t alpha,
                                    std::uint32_t flags) = 0;
  virtual std::uint32_t ExStyle(Handle window) = 0;
  virtual void SetExStyle(Handle window, std::uint32_t style) = 0;
  virtual bool Redraw(Handle window, std::uint32_t flags) = 0;  // the whole window
  // Sends a typed character (lParam 0) and returns once the window has handled it.
  virtual void SendChar(Handle window, std::uint32_t code) = 0;
};

// The encoder bridge's two entry points for DVD authoring; each returns when its outside
// library has finished.
class IEncoderBridge {
 public:
  virtual ~IEncoderBridge() = default;
  virtual void video2(const std::string& command) = 0;
  virtual void video3(const std::string& command) = 0;
};

// Libraries the program loads by name for the rest of the run.
class ILibraries {
 public:
  virtual ~ILibraries() = default;
  // The module if it is loaded already, else loaded now; false when neither.
  virtual bool Load(const std::string& file) = 0;
  // An export taking a window handle and answering a number; empty when missing.
  virtual std::function<std::uint32_t(Handle)> WindowEntry(const std::string& file, const std::string& name) = 0;
  // An export without arguments; empty when missing.
  virtual std::function<void()> PlainEntry(const std::string& file, const std::string& name) = 0;
};

struct Services {
  std::unique_ptr<ISystem> System;
  std::unique_ptr<IFileSystem> Files;
  std::unique_ptr<IRegistry> Registry;
  std::unique_ptr<IProcesses> Processes;
  std::unique_ptr<IAudioDevices> Audio;
  std::unique_ptr<IWindows> Windows;
  std::unique_ptr<ILibraries> Libraries;
  std::unique_ptr<IAutomation> Automation;
  std::unique_ptr<IEncoderBridge> Bridge;
};

void InstallPlatform(Services services);
ISystem& System();
IFileSystem& Files();
IRegistry& Registry();
IProcesses& Processes();
IAudioDevices& Audio();
IWindows& Windows();
ILibraries& Libraries();
IAutomation& Automation();
IEncoderBridge& Bridge();

}  // namespace platform
