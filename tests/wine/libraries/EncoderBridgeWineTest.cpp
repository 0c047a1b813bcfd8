// The bridge library against stand-in encoding libraries that report every call back to
// this program, with its message boxes read and dismissed here.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "Deliverable.h"
#include "EncoderBridge.h"

namespace {

using namespace winetest;

struct EntryCall {
  std::string Library, Entry;
  std::vector<std::string> Args;
  bool VectorEndsWithNull = false;
  DWORD Thread = 0;
  bool LibraryLoaded = false;
};

std::vector<EntryCall> Calls;
int EntryResult = 0;

}  // namespace

extern "C" __declspec(dllexport) int __cdecl EncodingLibraryCalled(const char* library, const char* entry, int argc,
                                                                   char** argv) {
  EntryCall call{library, entry, {}, argv != nullptr && argv[argc] == nullptr, GetCurrentThreadId(),
                 GetModuleHandleA(library) != nullptr};
  for (int i = 0; argv != nullptr && i < argc; ++i) call.Args.emplace_back(argv[i]);
  Calls.push_back(call);
  return EntryResult;
}

namespace {

typedef int(WINAPI* CommandExport)(const char*);
typedef int(WINAPI* QueryExport)();
typedef void(WINAPI* StopExport)();

struct Box {
  std::string Caption, Text, Look;
  bool operator==(const Box& o) const { return Caption == o.Caption && Text == o.Text && Look == o.Look; }
};
std::ostream& operator<<(std::ostream& os, const Box& b) {
  return os << "[" << b.Caption << "] " << b.Text << " (" << b.Look << ")";
}
std::vector<Box> OneBox(const char* text) { return {Box{"encbridge", text, "error icon, OK"}}; }

BOOL CALLBACK FindIcon(HWND child, LPARAM found) {
  char cls[16] = {};
  GetClassNameA(child, cls, sizeof cls);
  if (lstrcmpiA(cls, "Static") != 0 || (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) return TRUE;
  *reinterpret_cast<HICON*>(found) = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
  return FALSE;
}

// How a box looks: its icon and its buttons.
std::string LookOf(HWND box) {
  HICON icon = nullptr;
  EnumChildWindows(box, FindIcon, reinterpret_cast<LPARAM>(&icon));
  std::string look = icon == LoadIconA(nullptr, IDI_ERROR) ? "error icon" : icon ? "other icon" : "no icon";
  for (auto [id, name] : {std::pair{IDOK, "OK"}, {IDCANCEL, "Cancel"}, {IDYES, "Yes"}, {IDNO, "No"}})
    if (GetDlgItem(box, id)) look += std::string(", ") + name;
  return look;
}

class EncoderBridge : public ::testing::Test {
 protected:
  void SetUp() override {
    Calls.clear();
    EntryResult = 0;
    library_ = GetModuleHandleA("encbridge.dll");
    ASSERT_NE(library_, nullptr);
    GetCurrentDirectoryA(MAX_PATH, savedFolder_);
    UseLibraries("encoding");
  }
  void TearDown() override {
    SetCurrentDirectoryA(savedFolder_);
  }

  // The encoding libraries are found in the current folder: "encoding" holds the
  // reporting stand-ins, "bare" libraries without entry points, "." none at all.
  void UseLibraries(const char* folder) {
    ASSERT_TRUE(SetCurrentDirectoryA((BinFolder() + "\\" + folder).c_str()));
  }

  template <class F>
  F Export(const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(library_, name)));
  }

  // Runs call while a watcher reads and closes every message box this process shows.
  int Watched(const std::function<int()>& call) {
    boxes.clear();
    std::atomic<bool> done{false};
    std::thread watcher([&] {
      HWND handled = nullptr;
      while (!done) {
        MessageBoxSeen seen = WaitForMessageBox(GetCurrentProcessId(), 0);
        if (seen.Window && seen.Window != handled && IsWindowVisible(seen.Window)) {
          boxes.push_back({seen.Caption, seen.Text, LookOf(seen.Window)});
          PressOk(seen.Window);
          handled = seen.Window;
        }
        Sleep(20);
      }
    });
    int result = call();
    done = true;
    watcher.join();
    return result;
  }

  int Command(const char* exportName, const char* command) {
    auto run = Export<CommandExport>(exportName);
    EXPECT_NE(run, nullptr) << exportName;
    return run ? Watched([&] { return run(command); }) : -1;
  }

  HMODULE library_ = nullptr;
  char savedFolder_[MAX_PATH] = {};
  std::vector<Box> boxes;
};

struct CommandExportCase {
  const char* Export;
  const char* Library;
  const char* Entry;
  bool GivesEntryResult;
};
const CommandExportCase CommandExports[] = {
    {"video2", "video2.dll", "mplex", false},
    {"video3", "video3.dll", "dvd", false},
    {"_start@4", "video.dll", "convertvideo", true},
};

TEST_F(EncoderBridge, ExportsCarryTheirNamesOrdinalsAndNoOthers) {
  const std::pair<const char*, WORD> exports[] = {
      {"video2", 2},          {"video3", 3},           {"video2_framenum", 4}, {"video3_framenum", 5},
      {"video2_stop", 6},     {"video3_stop", 7},      {"DetectXVIDDriver", 8}, {"_framenum@0", 9},
      {"_start@4", 10},       {"_stop@0", 11},
  };
  for (const auto& [name, ordinal] : exports) {
    FARPROC byName = GetProcAddress(library_, name);
    EXPECT_NE(byName, nullptr) << name;
    EXPECT_EQ(byName, GetProcAddress(library_, MAKEINTRESOURCEA(ordinal))) << name;
  }
  const IMAGE_EXPORT_DIRECTORY* table = ExportDirectory(library_);
  EXPECT_EQ(table->Base, 2u);
  EXPECT_EQ(table->NumberOfFunctions, 10u);
  EXPECT_EQ(table->NumberOfNames, 10u);
  for (const char* other : {"video2@4", "_video2@4", "start", "start@4", "framenum", "stop", "_stop", "DllMain"})
    EXPECT_EQ(GetProcAddress(library_, other), nullptr) << other;
}

// What each command becomes at the entry point: argument 0 is the first word.
TEST_F(EncoderBridge, CommandsReachTheEntryPointAsArgumentVectors) {
  struct Case {
    const char* Command;
    std::vector<std::string> Args;
  };
  const Case cases[] = {
      {"", {}},
      {"   ", {}},
      {"video2 -f 8 -r 8000 -o \"C:\\My Jobs\\J\\tmp1.vob\" vtemp.m2v atemp.mp2",
       {"video2", "-f", "8", "-r", "8000", "-o", "C:\\My Jobs\\J\\tmp1.vob", "vtemp.m2v", "atemp.mp2"}},
      {"video3  -x   \"C:\\T\\dvd.xml\"", {"video3", "-x", "C:\\T\\dvd.xml"}},
      {"a \"\" b", {"a", "", "b"}},
      {"\"C:\\Out\\\"next x\ty", {"C:\\Out\\", "next", "x\ty"}},
      {"caf\xe9 \"\xe0 \xe9\"", {"caf\xe9", "\xe0 \xe9"}},
  };
  for (const auto& e : CommandExports) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(e.Export) + " [" + c.Command + "]");
      Calls.clear();
      EXPECT_EQ(Command(e.Export, c.Command), 0);
      EXPECT_TRUE(boxes.empty()) << boxes.front();
      ASSERT_EQ(Calls.size(), 1u);
      EXPECT_EQ(Calls[0].Library, e.Library);
      EXPECT_EQ(Calls[0].Entry, e.Entry);
      EXPECT_EQ(Calls[0].Args, c.Args);
      EXPECT_TRUE(Calls[0].VectorEndsWithNull);
      EXPECT_EQ(Calls[0].Thread, GetCurrentThreadId());
      EXPECT_TRUE(Calls[0].LibraryLoaded);
      EXPECT_EQ(GetModuleHandleA(e.Library), nullptr) << "left loaded after the call";
    }
  }
}

TEST_F(EncoderBridge, OnlyStartGivesTheEntryPointsResult) {
  for (const auto& e : CommandExports) {
    for (int result : {7, -1, 0}) {
      SCOPED_TRACE(std::string(e.Export) + " with " + std::to_string(result));
      EntryResult = result;
      EXPECT_EQ(Command(e.Export, "x -y"), e.GivesEntryResult ? result : 0);
      EXPECT_EQ(Calls.size(), 1u);
      Calls.clear();
    }
  }
}

TEST_F(EncoderBridge, CommandsThatCannotBeSplitCallNothing) {
  EntryResult = 7;
  const std::pair<const char*, const char*> cases[] = {
      {"video2 ab\"c\"", "Error: Op parse failed"},
      {"video2 -o \"C:\\Out", "Error: Op parse failed"},
      {"\"", "Error: Op parse failed"},
      {nullptr, "Error: Unicode conversion failed"},
  };
  for (const auto& e : CommandExports) {
    for (const auto& [command, message] : cases) {
      SCOPED_TRACE(std::string(e.Export) + " [" + (command ? command : "null") + "]");
      EXPECT_EQ(Command(e.Export, command), 0);
      EXPECT_EQ(boxes, OneBox(message));
      EXPECT_TRUE(Calls.empty());
    }
  }
  // The argument state is empty again: the next command goes through whole.
  EXPECT_EQ(Command("video2", "video2 next"), 0);
  ASSERT_EQ(Calls.size(), 1u);
  EXPECT_EQ(Calls[0].Args, (std::vector<std::string>{"video2", "next"}));
}

// The names a caller's compiler gives the exports reach them through the import library.
TEST_F(EncoderBridge, CallersReachTheExportsByImport) {
  EntryResult = 5;
  EXPECT_EQ(Watched([] { return video2("video2 -o a"); }), 0);
  EXPECT_EQ(Watched([] { return video3("video3 -x b"); }), 0);
  EXPECT_EQ(Watched([] { return video_start("c d"); }), 5);
  EXPECT_EQ(Watched([] { return video2_framenum() + video3_framenum() + video_framenum(); }), 15);
  Watched([] { return video2_stop(), video3_stop(), video_stop(), 0; });
  EXPECT_EQ(DetectXVIDDriver(), 1);
  EXPECT_TRUE(boxes.empty());
  std::vector<std::string> entries;
  for (const auto& c : Calls) entries.push_back(c.Library + " " + c.Entry);
  EXPECT_EQ(entries, (std::vector<std::string>{"video2.dll mplex", "video3.dll dvd", "video.dll convertvideo",
                                               "video2.dll framenum_mplex", "video3.dll write_num",
                                               "video.dll currrent_frame", "video2.dll stop", "video3.dll stop",
                                               "video.dll stop"}));
  ASSERT_EQ(Calls.size(), 9u);
  EXPECT_EQ(Calls[2].Args, (std::vector<std::string>{"c", "d"}));
}

struct ForwardCase {
  const char* Export;
  const char* Library;
  const char* Entry;
  bool HasResult;
};
const ForwardCase Forwards[] = {
    {"video2_framenum", "video2.dll", "framenum_mplex", true},
    {"video3_framenum", "video3.dll", "write_num", true},
    {"_framenum@0", "video.dll", "currrent_frame", true},
    {"video2_stop", "video2.dll", "stop", false},
    {"video3_stop", "video3.dll", "stop", false},
    {"_stop@0", "video.dll", "stop", false},
};

TEST_F(EncoderBridge, ExportsWithoutArgumentsForwardToTheirEntryPoint) {
  EntryResult = 41;
  for (const auto& f : Forwards) {
    SCOPED_TRACE(f.Export);
    Calls.clear();
    if (f.HasResult) {
      auto query = Export<QueryExport>(f.Export);
      ASSERT_NE(query, nullptr);
      EXPECT_EQ(Watched([&] { return query(); }), 41);
    } else {
      auto stop = Export<StopExport>(f.Export);
      ASSERT_NE(stop, nullptr);
      Watched([&] { return stop(), 0; });
    }
    EXPECT_TRUE(boxes.empty());
    ASSERT_EQ(Calls.size(), 1u);
    EXPECT_EQ(Calls[0].Library, f.Library);
    EXPECT_EQ(Calls[0].Entry, f.Entry);
    EXPECT_EQ(GetModuleHandleA(f.Library), nullptr) << "left loaded after the call";
  }
}

// Without the library, or with a library that lacks the entry point, every export shows
// its message and answers 0; a library that was loaded is unloaded again.
TEST_F(EncoderBridge, MissingLibraryOrEntryPointIsReported) {
  EntryResult = 41;
  for (const char* folder : {"bare", "."}) {
    UseLibraries(folder);
    for (const auto& e : CommandExports) {
      SCOPED_TRACE(std::string(folder) + " " + e.Export);
      EXPECT_EQ(Command(e.Export, "video2 -o x"), 0);
      EXPECT_EQ(boxes, OneBox("Error: Can not load dll"));
      EXPECT_EQ(GetModuleHandleA(e.Library), nullptr);
    }
    for (const auto& f : Forwards) {
      SCOPED_TRACE(std::string(folder) + " " + f.Export);
      int result = f.HasResult ? Watched([&] { return Export<QueryExport>(f.Export)(); })
                               : Watched([&] { return Export<StopExport>(f.Export)(), 0; });
      EXPECT_EQ(result, 0);
      EXPECT_EQ(boxes, OneBox("Error: Can not load dll"));
      EXPECT_EQ(GetModuleHandleA(f.Library), nullptr);
    }
  }
  EXPECT_TRUE(Calls.empty());
}

// Registers one video compressor for the test's duration.
class VideoCompressor {
 public:
  explicit VideoCompressor(const char* driver) {
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, Key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
    RegSetValueExA(key_, Name, 0, REG_SZ, reinterpret_cast<const BYTE*>(driver), lstrlenA(driver) + 1);
  }
  ~VideoCompressor() {
    RegDeleteValueA(key_, Name);
    RegCloseKey(key_);
  }

 private:
  static constexpr const char* Key = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32";
  static constexpr const char* Name = "vidc.xvid";
  HKEY key_ = nullptr;
};

TEST_F(EncoderBridge, DetectXVIDDriverFindsTheDriverByItsBareName) {
  auto detect = Export<QueryExport>("DetectXVIDDriver");
  ASSERT_NE(detect, nullptr);
  EXPECT_EQ(detect(), 1) << "found on a clean system";
  const std::pair<const char*, int> drivers[] = {
      {"xvidvfw.dll", 0}, {"XVIDVFW.DLL", 0}, {"XvidVfw.Dll", 0}, {"C:\\x\\xvidvfw.dll", 1}, {"xvidvfw.dll2", 1},
      {"xvid\xADvfw.dll", 1},  // a soft hyphen inside is not the same name
  };
  for (const auto& [driver, expected] : drivers) {
    VideoCompressor compressor(driver);
    EXPECT_EQ(detect(), expected) << driver;
  }
  EXPECT_EQ(detect(), 1) << "still found once unregistered";
}

}  // namespace
