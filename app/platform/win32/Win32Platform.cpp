#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include "platform/win32/Win32Platform.h"

#include "platform/win32/Win32Audio.h"
#include "platform/win32/Win32ChildProcess.h"
#include "platform/win32/WideText.h"

namespace platform::win32 {

namespace {

class System final : public ISystem {
 public:
  std::string ModulePath() override {
    char path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, n);
  }
  bool SetCurrentDir(const std::string& path) override { return SetCurrentDirectoryA(path.c_str()) != 0; }
  bool ModuleExports(const std::string& module, const std::string& function) override {
    HMODULE m = GetModuleHandleA(module.c_str());
    if (!m) m = LoadLibraryA(module.c_str());
    return m && GetProcAddress(m, function.c_str()) != nullptr;
  }
  std::string SpecialFolderPath(int csidl) override {
    char path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return "";
    return path;  // ends at the first NUL
  }
  bool ScreenSaverActive() override {
    BOOL active = FALSE;
    SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &active, 0);
    return active != FALSE;
  }
  void SetScreenSaverActive(bool active) override {
    SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, active ? TRUE : FALSE, nullptr, 0);
  }
  MutexResult CreateNamedMutex(const std::string& name) override {
    HANDLE h = CreateMutexA(nullptr, FALSE, name.c_str());
    MutexResult r;
    r.Mutex = reinterpret_cast<Handle>(h);
    r.AlreadyExisted = h && GetLastError() == ERROR_ALREADY_EXISTS;
    return r;
  }
  void CloseHandle(Handle h) override { ::CloseHandle(reinterpret_cast<HANDLE>(h)); }
  LocalTime Now() override {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return LocalTime{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
  }
  std::string LongDate(const LocalTime& date) override {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(date.Year);
    st.wMonth = static_cast<WORD>(date.Month);
    st.wDay = static_cast<WORD>(date.Day);
    // The day of the week comes from the date itself.
    FILETIME ft;
    if (SystemTimeToFileTime(&st, &ft)) FileTimeToSystemTime(&ft, &st);
    const int n = GetDateFormatA(LOCALE_USER_DEFAULT, DATE_LONGDATE, &st, nullptr, nullptr, 0);
    if (n <= 0) return std::string();
    std::string text(static_cast<size_t>(n), '\0');
    if (GetDateFormatA(LOCALE_USER_DEFAULT, DATE_LONGDATE, &st, nullptr, &text[0], n) <= 0) return std::string();
    return text.c_str();
  }
  LocaleNames Locale() override {
    LocaleNames names;
    for (int i = 0; i < 12; ++i) names.ShortMonthNames[static_cast<size_t>(i)] = Info(LOCALE_SABBREVMONTHNAME1 + i);
    names.TimeAMString = Info(LOCALE_S1159);
    names.TimePMString = Info(LOCALE_S2359);
    return names;
  }
  std::string AnsiToUtf8(const std::string& text) override {
    const std::wstring wide = Wide(text);
    if (wide.empty()) return std::string();
    const int wideSize = static_cast<int>(wide.size());
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideSize, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideSize, &utf8[0], static_cast<int>(utf8.size()), nullptr, nullptr);
    return utf8;
  }
  bool IsLeadByte(unsigned char byte) override { return IsDBCSLeadByte(byte) != FALSE; }
  void Sleep(unsigned ms) override { ::Sleep(ms); }
  std::vector<MonitorInfo> Monitors() override {
    std::vector<MonitorInfo> monitors;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
  }
  bool ComInitialize() override { return SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)); }
  void ComUninitialize() override { CoUninitialize(); }

 private:
  static BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(monitor, &info)) return TRUE;
    const RECT& w = info.rcWork;
    reinterpret_cast<std::vector<MonitorInfo>*>(list)->push_back(
        MonitorInfo{w.left, w.top, w.right - w.left, w.bottom - w.top, (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
    return TRUE;
  }
  static std::string Info(LCTYPE type) {
    char text[80] = {};
    int n = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, text, sizeof text);
    return n > 0 ? std::string(text) : std::string();
  }
};

class FileSystem final : public IFileSystem {
 public:
  bool FileExists(const std::string& path) override {
    DWORD a = GetFileAttributesA(path.c_str());
    return !path.empty() && a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
  }
  std::optional<std::uint64_t> FileSize(const std::string& path) override {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (path.empty() || !GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      return std::nullopt;
    return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  }
  bool DirectoryExists(const std::string& path) override {
    DWORD a = GetFileAttributesA(path.c_str());
    return !path.empty() && a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
  }
  bool CreateDir(const std::string& path) override { return CreateDirectoryA(path.c_str(), nullptr) != 0; }
  bool RemoveFile(const std::string& path) override { return DeleteFileA(path.c_str()) != 0; }
  bool RemoveDir(const std::string& path) override { return RemoveDirectoryA(path.c_str()) != 0; }
  bool WriteWholeFile(const std::string& path, const std::string& bytes) override {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    return ::CloseHandle(h) && ok;
  }
  std::vector<FileEntry> ListFolder(const std::string& path) override {
    std::vector<FileEntry> entries;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((path + "\\*.*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return entries;
    do {
      std::string name = fd.cFileName;
      if (name == "." || name == "..") continue;
      FileEntry e;
      e.Name = name;
      e.Directory = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
      e.Hidden = (fd.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0;
      e.System = (fd.dwFileAttributes & FILE_ATTRIBUTE_SYSTEM) != 0;
      e.ReadOnly = (fd.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
      entries.push_back(e);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return entries;
  }
  std::optional<std::uint64_t> DiskFree(const std::string& path) override {
    ULARGE_INTEGER available;
    if (!GetDiskFreeSpaceExA(path.c_str(), &available, nullptr, nullptr)) return std::nullopt;
    return available.QuadPart;
  }
  std::string IniRead(const std::string& file, const std::string& section, const std::string& key,
                      const std::string& fallback) override {
    char value[2048] = {};
    DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), fallback.c_str(), value, sizeof value,
                                       file.c_str());
    return std::string(value, n);
  }
  bool IniWrite(const std::string& file, const std::string& section, const std::string& key,
                const std::string& value) override {
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()) != 0;
  }
};

class Registry final : public IRegistry {
 public:
  bool KeyExists(const std::string& key) override {
    HKEY h;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
    RegCloseKey(h);
    return true;
  }
  RegStatus ReadString(const std::string& key, const std::string& value, std::string& text) override {
    HKEY h;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return RegStatus::KeyMissing;
    DWORD type = 0, size = 0;
    LONG r = RegQueryValueExA(h, value.c_str(), nullptr, &type, nullptr, &size);
    RegStatus status = RegStatus::Ok;
    if (r != ERROR_SUCCESS) {
      status = RegStatus::ValueMissing;
    } else if (type != REG_SZ && type != REG_EXPAND_SZ) {
      status = RegStatus::WrongType;
    } else {
      std::string buffer(size + 1, '\0');
      r = RegQueryValueExA(h, value.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&buffer[0]), &size);
      if (r == ERROR_SUCCESS) text = buffer.c_str();
      else status = RegStatus::ValueMissing;
    }
    RegCloseKey(h);
    return status;
  }
};

class Processes final : public IProcesses {
 public:
  std::optional<std::vector<ProcessEntry>> Snapshot() override {
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) return std::nullopt;
    std::vector<ProcessEntry> list;
    PROCESSENTRY32 pe;
    pe.dwSize = sizeof pe;
    for (BOOL more = Process32First(snap, &pe); more; more = Process32Next(snap, &pe))
      list.push_back(ProcessEntry{pe.th32ProcessID, pe.szExeFile});
    ::CloseHandle(snap);
    return list;
  }
  bool Terminate(std::uint32_t processId, unsigned exitCode) override {
    HANDLE p = OpenProcess(PROCESS_TERMINATE, FALSE, processId);
    if (!p) return false;
    BOOL ok = TerminateProcess(p, exitCode);
    ::CloseHandle(p);
    return ok != FALSE;
  }
  std::vector<WindowEntry> TopLevelWindows() override {
    std::vector<WindowEntry> list;
    EnumWindows(AddWindow, reinterpret_cast<LPARAM>(&list));
    return list;
  }
  std::unique_ptr<IPipe> CreateInheritablePipe() override { return win32::CreateInheritablePipe(); }
  std::unique_ptr<IChildProcess> StartRedirected(const std::string& commandLine, IPipe* input,
                                                 IPipe* output) override {
    return win32::StartRedirected(commandLine, input, output);
  }
  void ShellStartHidden(const std::string& file, const std::string& parameters) override {
    ShellExecuteA(nullptr, nullptr, file.c_str(), parameters.c_str(), nullptr, SW_HIDE);
  }

 private:
  static BOOL CALLBACK AddWindow(HWND w, LPARAM out) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    reinterpret_cast<std::vector<WindowEntry>*>(out)->push_back(WindowEntry{reinterpret_cast<Handle>(w), pid});
    return TRUE;
  }
};

}  // namespace

Services MakeServices() {
  Services s;
  s.System = std::make_unique<System>();
  s.Files = std::make_unique<FileSystem>();
  s.Registry = std::make_unique<Registry>();
  s.Processes = std::make_unique<Processes>();
  s.Audio = MakeAudioDevices();
  s.Windows = MakeWindows();
  s.Libraries = MakeLibraries();
  s.Automation = MakeAutomation();
  s.Bridge = MakeEncoderBridge();
  return s;
}

}  // namespace platform::win32
