#include "platform/headless/HeadlessPlatform.h"

#include <iconv.h>

#include <fstream>
#include <stdexcept>
#include <sstream>

#include "platform/headless/HeadlessIni.h"
#include "vcl/SysUtils.h"

namespace fs = std::filesystem;
using vcl::UpperCase;

namespace platform::headless {

World::World(fs::path root) : Root(std::move(root)) {
  SpecialFolders[CsidlPersonal] = "C:\\Users\\user\\Documents";
  SpecialFolders[CsidlLocalAppData] = "C:\\Users\\user\\AppData\\Local";
  Locale.ShortMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  Locale.TimeAMString = "AM";
  Locale.TimePMString = "PM";
}

void World::SetRegistryValue(const std::string& key, const std::string& value, const std::string& text) {
  RegistryKeys[UpperCase(key)][UpperCase(value)] = text;
}

std::string World::AnsiToUtf8(const std::string& text) const {
  iconv_t cd = iconv_open("UTF-8", CodePage == 932 ? "CP932" : "CP1252");
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("no converter for the code page");
  std::string in = text, out(text.size() * 4 + 4, '\0');
  char* src = in.data();
  char* dst = out.data();
  size_t left = in.size(), room = out.size();
  const size_t done = iconv(cd, &src, &left, &dst, &room);
  iconv_close(cd);
  if (done == static_cast<size_t>(-1)) throw std::runtime_error("text not in the code page");
  out.resize(out.size() - room);
  return out;
}

bool World::IsLeadByte(unsigned char byte) const {
  return CodePage == 932 && ((byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC));
}

std::string World::AbsolutePath(const std::string& p) const {
  if (p.size() >= 2 && p[1] == ':') return p;
  if (p.rfind("\\\\", 0) == 0) return p;
  if (!p.empty() && p[0] == '\\') return CurrentDir.substr(0, 2) + p;  // root of the current drive
  return CurrentDir + (vcl::EndsWithPathDelimiter(CurrentDir) ? "" : "\\") + p;
}

fs::path World::HostPath(const std::string& windowsPath) const {
  std::string p = AbsolutePath(windowsPath);
  fs::path host = Root;
  std::string rest;
  if (p.rfind("\\\\", 0) == 0) {
    host /= "UNC";
    rest = p.substr(2);
  } else {
    host /= std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(p[0]))));
    rest = p.substr(2);
  }
  // Windows names are the same in any case: an existing entry is found however the path
  // spells it, and a new one is made as spelt.
  // Split at delimiters character by character, as the system does on its code page.
  std::vector<std::string> parts(1);
  for (size_t i = 0; i < rest.size(); ++i) {
    if (rest[i] == '\\') {
      parts.emplace_back();
    } else {
      parts.back() += rest[i];
      if (IsLeadByte(static_cast<unsigned char>(rest[i])) && i + 1 < rest.size()) parts.back() += rest[++i];
    }
  }
  for (const std::string& part : parts) {
    if (part.empty()) continue;
    std::error_code ec;
    std::string name = part;
    if (!fs::exists(host / part, ec))
      for (fs::directory_iterator it(host, ec), end; !ec && it != end; it.increment(ec))
        if (vcl::SameText(it->path().filename().string(), part)) {
          name = it->path().filename().string();
          break;
        }
    host /= name;
  }
  return host;
}

namespace {

class System final : public ISystem {
 public:
  explicit System(World& w) : w_(w) {}
  std::string ModulePath() override { return w_.ModulePath; }
  bool SetCurrentDir(const std::string& path) override {
    std::error_code ec;
    if (!fs::is_directory(w_.HostPath(path), ec)) return false;
    w_.CurrentDir = w_.AbsolutePath(path);
    return true;
  }
  bool ModuleExports(const std::string& module, const std::string& function) override {
    return !w_.MissingExports.count(vcl::UpperCase(module) + "!" + function);
  }
  std::string SpecialFolderPath(int csidl) override {
    auto it = w_.SpecialFolders.find(csidl & ~CsidlFlagCreate);
    if (it == w_.SpecialFolders.end()) return "";
    if (csidl & CsidlFlagCreate) fs::create_directories(w_.HostPath(it->second));
    return it->second;
  }
  bool ScreenSaverActive() override { return w_.ScreenSaverActive; }
  void SetScreenSaverActive(bool active) override { w_.ScreenSaverActive = active; }
  MutexResult CreateNamedMutex(const std::string& name) override {
    if (w_.MutexCreationFails) return {};
    const bool existed = w_.Mutexes.count(name) > 0;
    w_.Mutexes.insert(name);
    mutexNames_[next_] = name;
    return {next_++, existed};
  }
  // A named mutex lives while any handle to it is open.
  void CloseHandle(Handle h) override {
    auto it = mutexNames_.find(h);
    if (it == mutexNames_.end()) return;
    auto held = w_.Mutexes.find(it->second);
    if (held != w_.Mutexes.end()) w_.Mutexes.erase(held);
    mutexNames_.erase(it);
  }
  LocalTime Now() override {
    std::lock_guard<std::mutex> g(w_.Clock.Lock());
    return w_.Clock.LocalNow();
  }
  LocaleNames Locale() override { return w_.Locale; }
  bool IsLeadByte(unsigned char byte) override { return w_.IsLeadByte(byte); }
  // "dddd, MMMM dd, yyyy", the English long date.
  std::string LongDate(const LocalTime& d) override {
    const int m = d.Month <= 2 ? d.Month + 12 : d.Month, y = d.Month <= 2 ? d.Year - 1 : d.Year;
    const int weekday = (d.Day + 13 * (m + 1) / 5 + y + y / 4 - y / 100 + y / 400 + 6) % 7;  // 0 Sunday
    return w_.LongDayNames.at(static_cast<size_t>(weekday)) + ", " + w_.LongMonthNames.at(static_cast<size_t>(d.Month - 1)) +
           vcl::Format(" %.2d, %d", d.Day, d.Year);
  }
  std::string AnsiToUtf8(const std::string& text) override { return w_.AnsiToUtf8(text); }
  void Sleep(unsigned ms) override { w_.Clock.Sleep(ms); }
  std::vector<MonitorInfo> Monitors() override { return w_.Monitors; }
  bool ComInitialize() override {
    ++w_.ComApartments;
    return true;
  }
  void ComUninitialize() override { --w_.ComApartments; }

 private:
  World& w_;
  Handle next_ = 0x100;
  std::map<Handle, std::string> mutexNames_;
};

class FileSystem final : public IFileSystem {
 public:
  explicit FileSystem(World& w) : w_(w) {}
  bool FileExists(const std::string& path) override {
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(w_.HostPath(path), ec);
  }
  std::optional<std::uint64_t> FileSize(const std::string& path) override {
    std::error_code ec;
    if (!FileExists(path)) return std::nullopt;
    return static_cast<std::uint64_t>(fs::file_size(w_.HostPath(path), ec));
  }
  bool DirectoryExists(const std::string& path) override {
    std::error_code ec;
    return !path.empty() && fs::is_directory(w_.HostPath(path), ec);
  }
  bool CreateDir(const std::string& path) override {
    std::error_code ec;
    fs::path host = w_.HostPath(path);
    if (path.empty() || fs::exists(host, ec) || !fs::is_directory(host.parent_path(), ec)) return false;
    return fs::create_directory(host, ec);
  }
  bool RemoveFile(const std::string& path) override {
    if (Attrs(path).ReadOnly || !FileExists(path)) return false;
    std::error_code ec;
    return fs::remove(w_.HostPath(path), ec);
  }
  bool WriteWholeFile(const std::string& path, const std::string& bytes) override {
    if (Attrs(path).ReadOnly || ReadOnlyFolder(path)) return false;
    std::ofstream out(w_.HostPath(path), std::ios::binary | std::ios::trunc);
    out << bytes;
    out.close();
    return static_cast<bool>(out);
  }
  bool RemoveDir(const std::string& path) override {
    std::error_code ec;
    fs::path host = w_.HostPath(path);
    if (!fs::is_directory(host, ec) || !fs::is_empty(host, ec)) return false;
    return fs::remove(host, ec);
  }
  std::vector<FileEntry> ListFolder(const std::string& path) override {
    std::vector<FileEntry> entries;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(w_.HostPath(path), ec)) {
      FileEntry f;
      f.Name = e.path().filename().string();
      f.Directory = e.is_directory(ec);
      Attributes a = Attrs(path + "\\" + f.Name);
      f.Hidden = a.Hidden;
      f.System = a.System;
      f.ReadOnly = a.ReadOnly;
      entries.push_back(f);
    }
    return entries;
  }
  std::optional<std::uint64_t> DiskFree(const std::string& path) override {
    auto it = w_.DiskFreeBytes.find(UpperCase(w_.AbsolutePath(path).substr(0, 2)));
    if (it == w_.DiskFreeBytes.end()) return std::nullopt;
    return it->second;
  }
  std::string IniRead(const std::string& file, const std::string& section, const std::string& key,
                      const std::string& fallback) override {
    return IniText(ReadAll(file)).Read(section, key, fallback);
  }
  bool IniWrite(const std::string& file, const std::string& section, const std::string& key,
                const std::string& value) override {
    if (w_.ReadOnlyIniFiles.count(UpperCase(w_.AbsolutePath(file)))) return false;
    IniText ini(ReadAll(file));
    ini.Write(section, key, value);
    std::ofstream out(w_.HostPath(file), std::ios::binary | std::ios::trunc);
    out << ini.Text();
    return static_cast<bool>(out);
  }

 private:
  bool ReadOnlyFolder(const std::string& path) const {
    return w_.ReadOnlyFolders.count(UpperCase(w_.AbsolutePath(vcl::ExtractFileDir(path)))) != 0;
  }
  Attributes Attrs(const std::string& path) const {
    auto it = w_.FileAttributes.find(UpperCase(w_.AbsolutePath(path)));
    return it == w_.FileAttributes.end() ? Attributes{} : it->second;
  }
  std::string ReadAll(const std::string& file) const {
    std::ifstream in(w_.HostPath(file), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  World& w_;
};

class Registry final : public IRegistry {
 public:
  explicit Registry(World& w) : w_(w) {}
  bool KeyExists(const std::string& key) override { return w_.RegistryKeys.count(UpperCase(key)) != 0; }
  RegStatus ReadString(const std::string& key, const std::string& value, std::string& text) override {
    auto k = w_.RegistryKeys.find(UpperCase(key));
    if (k == w_.RegistryKeys.end()) return RegStatus::KeyMissing;
    auto v = k->second.find(UpperCase(value));
    if (v == k->second.end()) return RegStatus::ValueMissing;
    if (w_.WrongTypeValues.count(UpperCase(key + "\\" + value))) return RegStatus::WrongType;
    text = v->second;
    return RegStatus::Ok;
  }

 private:
  World& w_;
};

class Processes final : public IProcesses {
 public:
  explicit Processes(World& w) : w_(w) {}
  std::optional<std::vector<ProcessEntry>> Snapshot() override {
    std::lock_guard<std::mutex> g(w_.Clock.Lock());
    if (w_.SnapshotFails) return std::nullopt;
    return w_.Processes;
  }
  bool Terminate(std::uint32_t pid, unsigned) override {
    std::lock_guard<std::mutex> g(w_.Clock.Lock());
    for (auto it = w_.Processes.begin(); it != w_.Processes.end(); ++it)
      if (it->ProcessId == pid) {
        w_.Processes.erase(it);
        w_.Terminated.push_back(pid);
        return true;
      }
    return false;
  }
  std::vector<WindowEntry> TopLevelWindows() override {
    std::lock_guard<std::mutex> g(w_.Clock.Lock());
    return w_.Windows;
  }
  std::unique_ptr<IPipe> CreateInheritablePipe() override { return MakePipe(w_); }
  std::unique_ptr<IChildProcess> StartRedirected(const std::string& commandLine, IPipe* input,
                                                 IPipe* output) override {
    return StartChild(w_, commandLine, input, output);
  }
  void ShellStartHidden(const std::string& file, const std::string& parameters) override {
    ShellStart(w_, file, parameters);
  }

 private:
  World& w_;
};

}  // namespace

Services MakeServices(World& world) {
  Services s;
  s.System = std::make_unique<System>(world);
  s.Files = std::make_unique<FileSystem>(world);
  s.Registry = std::make_unique<Registry>(world);
  s.Processes = std::make_unique<Processes>(world);
  s.Audio = MakeAudioDevices(world.Audio);
  s.Windows = MakeWindows(world);
  s.Libraries = MakeLibraries(world);
  s.Automation = MakeAutomation(world);
  s.Bridge = MakeBridge(world);
  return s;
}

}  // namespace platform::headless
