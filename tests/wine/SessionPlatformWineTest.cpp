// The platform services a recording uses on Win32: the encoder started with its output
// on a pipe and stopped through its window, the shell start of the presentation program's
// command line, other programs' windows, libraries loaded for the run, and the dates and
// file sizes of the build report.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <functional>
#include <future>
#include <iostream>
#include <optional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "WineSupport.h"
#include "platform/win32/Win32Platform.h"

namespace {

using namespace winetest;

std::string Encoder() { return BinFolder() + "\\testhelpers\\rode.exe"; }

std::string ReadAll(const std::string& path) {
  HANDLE f =
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return "";
  std::string text;
  char buffer[4096];
  DWORD n = 0;
  while (ReadFile(f, buffer, sizeof buffer, &n, nullptr) && n > 0) text.append(buffer, n);
  CloseHandle(f);
  return text;
}

void WriteAll(const std::string& path, const std::string& bytes) {
  HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD n = 0;
  WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
  CloseHandle(f);
}

class SessionPlatform : public ::testing::Test {
 protected:
  void SetUp() override {
    services_ = platform::win32::MakeServices();
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    folder_ = std::string(temp) + "session-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder_.c_str(), nullptr);
    log_ = folder_ + "\\rode.log";
    SetEnvironmentVariableA("RODE_LOG", log_.c_str());
  }
  void TearDown() override {
    SetEnvironmentVariableA("RODE_LOG", nullptr);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder_ + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
          DeleteFileA((folder_ + "\\" + found.cFileName).c_str());
      while (FindNextFileA(search, &found));
      FindClose(search);
    }
    RemoveDirectoryA((folder_ + "\\sub").c_str());
    RemoveDirectoryA(folder_.c_str());
  }
  // The encoder's window, once it has one.
  platform::Handle EncoderWindow() {
    platform::Handle window = 0;
    WaitUntil([&] { return (window = services_.Windows->FindTopLevel("RodeTestEncoder")) != 0; }, 10000);
    return window;
  }

  platform::Services services_;
  std::string folder_, log_;
};

TEST_F(SessionPlatform, EncoderPrintsIntoThePipeStopsOnQuitAndItsEndEndsTheReading) {
  platform::IProcesses& processes = *services_.Processes;
  std::unique_ptr<platform::IPipe> input = processes.CreateInheritablePipe();
  std::unique_ptr<platform::IPipe> output = processes.CreateInheritablePipe();
  ASSERT_TRUE(input && output);
  const std::string video = folder_ + "\\talk.ppt.avi";
  const std::string command = "\"" + Encoder() + "\" -f win32grab -i :0+0,0,656 -r 25.000 \"" + video + "\"";
  std::unique_ptr<platform::IChildProcess> encoder = processes.StartRedirected(command, input.get(), output.get());
  ASSERT_NE(encoder, nullptr);
  input->CloseReadEnd();
  output->CloseWriteEnd();

  // Read as the encoder thread reads: blocking, chunk by chunk, until the read fails.
  std::promise<std::vector<std::string>> chunksRead;
  std::future<std::vector<std::string>> chunks = chunksRead.get_future();
  std::atomic<int> progressSeen{0};
  std::thread reader([&] {
    std::vector<std::string> all;
    char buffer[1024];
    unsigned got = 0;
    while (output->Read(buffer, 1023, got)) {
      all.emplace_back(buffer, got);
      if (all.back().find("time=") != std::string::npos) ++progressSeen;
    }
    chunksRead.set_value(all);
  });
  const bool progressed = WaitUntil([&] { return progressSeen >= 3; }, 10000);
  const platform::Handle window = EncoderWindow();
  if (window) services_.Windows->SendChar(window, 'q');
  const bool ended = chunks.wait_for(std::chrono::seconds(15)) == std::future_status::ready;
  if (!ended) {
    // Let the reader go, so the test can report instead of hanging.
    output.reset();
  }
  reader.join();

  EXPECT_TRUE(progressed) << "fewer than three progress entries came through the pipe";
  ASSERT_NE(window, 0u) << "no encoder window";
  EXPECT_TRUE(ended) << "reading did not end with the encoder";
  const std::vector<std::string> all = chunks.get();
  ASSERT_FALSE(all.empty());
  EXPECT_EQ(all.front().rfind("test encoder: window 656 to 1 file(s)", 0), 0u) << all.front();
  // The quit was handled, and the output written, before the character's send returned.
  const std::string log = ReadAll(log_);
  EXPECT_NE(log.find("command line: " + command), std::string::npos) << log;
  EXPECT_NE(log.find("key: q\r\nwrote: " + video), std::string::npos) << log;
}

TEST_F(SessionPlatform, StandardErrorGoesIntoTheSamePipeAsStandardOutput) {
  platform::IProcesses& processes = *services_.Processes;
  std::unique_ptr<platform::IPipe> output = processes.CreateInheritablePipe();
  ASSERT_NE(output, nullptr);
  std::unique_ptr<platform::IChildProcess> shell =
      processes.StartRedirected("cmd.exe /c \"echo to-output& echo to-error 1>&2\"", nullptr, output.get());
  ASSERT_NE(shell, nullptr);
  output->CloseWriteEnd();
  std::string all;
  char buffer[256];
  unsigned got = 0;
  while (output->Read(buffer, sizeof buffer, got)) all.append(buffer, got);
  EXPECT_NE(all.find("to-output"), std::string::npos) << all;
  EXPECT_NE(all.find("to-error"), std::string::npos) << all;
}

TEST_F(SessionPlatform, ProcessesThatCannotStartOrHaveNoPipesAreAnsweredAsSuch) {
  platform::IProcesses& processes = *services_.Processes;
  EXPECT_EQ(processes.StartRedirected("\"" + folder_ + "\\missing.exe\" -x", nullptr, nullptr), nullptr);

  // Without pipes the encoder starts all the same, its output going nowhere.
  std::unique_ptr<platform::IChildProcess> encoder =
      processes.StartRedirected("\"" + Encoder() + "\" \"" + folder_ + "\\out.mpg\"", nullptr, nullptr);
  ASSERT_NE(encoder, nullptr);
  const platform::Handle window = EncoderWindow();
  ASSERT_NE(window, 0u);
  services_.Windows->SendChar(window, 'q');
  EXPECT_NE(ReadAll(log_).find("wrote: " + folder_ + "\\out.mpg"), std::string::npos);

  // A pipe whose read end is closed reads nothing.
  std::unique_ptr<platform::IPipe> pipe = processes.CreateInheritablePipe();
  ASSERT_NE(pipe, nullptr);
  pipe->CloseReadEnd();
  char buffer[8];
  unsigned got = 1;
  EXPECT_FALSE(pipe->Read(buffer, sizeof buffer, got));
  EXPECT_EQ(got, 0u);
}

TEST_F(SessionPlatform, ShellStartsTheCommandLineFallbackWithItsQuotes) {
  // The capture session's fallback has the shell start cmd.exe /c ""<program>" /s "<file>"",
  // hidden; the encoder stands in for the program here, with a switch it takes.
  const std::string deck = folder_ + "\\my talk.ppt";
  services_.Processes->ShellStartHidden("cmd.exe", "/c \"\"" + Encoder() + "\" -s \"" + deck + "\"\"");
  const platform::Handle window = EncoderWindow();
  ASSERT_NE(window, 0u) << "the program was not started";
  services_.Windows->SendChar(window, 'q');
  const std::string log = ReadAll(log_);
  EXPECT_NE(log.find("rode.exe\" -s \"" + deck + "\"\r\n"), std::string::npos) << log;
}

// A window of the test standing for the capture panel, and one for the slide show.
struct TestWindows {
  TestWindows() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "SessionTestShow";
    RegisterClassA(&wc);
    wc.lpszClassName = "SessionTestPanel";
    RegisterClassA(&wc);
    panel = CreateWindowExA(0, "SessionTestPanel", "", WS_POPUP | WS_VISIBLE, 0, 0, 320, 240, nullptr, nullptr,
                            wc.hInstance, nullptr);
    show = CreateWindowExA(WS_EX_LAYERED, "SessionTestShow", "", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr,
                           nullptr, wc.hInstance, nullptr);
  }
  ~TestWindows() {
    DestroyWindow(show);
    DestroyWindow(panel);
  }
  static LRESULT CALLBACK Proc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CHAR) chars.push_back({wParam, lParam});
    return DefWindowProcA(w, message, wParam, lParam);
  }
  HWND panel, show;
  static std::vector<std::pair<WPARAM, LPARAM>> chars;
};
std::vector<std::pair<WPARAM, LPARAM>> TestWindows::chars;

TEST_F(SessionPlatform, SlideShowWindowIsFoundTakenInMadeOpaqueAndSentCharacters) {
  TestWindows w;
  ASSERT_TRUE(w.panel && w.show);
  platform::IWindows& windows = *services_.Windows;
  auto handle = [](HWND h) { return reinterpret_cast<platform::Handle>(h); };

  EXPECT_EQ(windows.FindTopLevel("SessionTestShow"), handle(w.show));
  EXPECT_EQ(windows.FindTopLevel("SessionTestNoSuchClass"), 0u);

  EXPECT_EQ(windows.SetParent(handle(w.show), handle(w.panel)), handle(GetDesktopWindow()));
  EXPECT_EQ(GetAncestor(w.show, GA_PARENT), w.panel);
  EXPECT_EQ(windows.FindTopLevel("SessionTestShow"), 0u) << "a child is no top-level window";
  EXPECT_EQ(windows.SetParent(handle(w.show), handle(w.panel)), handle(w.panel)) << "the former parent";
  EXPECT_EQ(windows.SetParent(0x1234, handle(w.panel)), 0u);

  EXPECT_TRUE(windows.SetLayeredAttributes(handle(w.show), 0, 255, LWA_ALPHA));
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(w.show, nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 255);
  EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));
  EXPECT_FALSE(windows.SetLayeredAttributes(0x1234, 0, 255, LWA_ALPHA));

  const std::uint32_t style = windows.ExStyle(handle(w.show));
  EXPECT_TRUE(style & WS_EX_LAYERED);
  windows.SetExStyle(handle(w.show), style & ~static_cast<std::uint32_t>(WS_EX_LAYERED));
  EXPECT_EQ(static_cast<std::uint32_t>(GetWindowLongA(w.show, GWL_EXSTYLE)),
            style & ~static_cast<std::uint32_t>(WS_EX_LAYERED));

  EXPECT_TRUE(windows.Redraw(handle(w.show), RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME));
  EXPECT_FALSE(windows.Redraw(0x1234, RDW_INVALIDATE));

  TestWindows::chars.clear();
  windows.SendChar(handle(w.show), 'p');
  windows.SendChar(handle(w.show), 'q');
  EXPECT_EQ(TestWindows::chars, (std::vector<std::pair<WPARAM, LPARAM>>{{'p', 0}, {'q', 0}}));
}

TEST_F(SessionPlatform, LibrariesAreLoadedOnceAndTheirEntriesCalledWithTheirOwnSignatures) {
  platform::ILibraries& libraries = *services_.Libraries;
  EXPECT_FALSE(libraries.Load("no-such-library.dll"));
  EXPECT_FALSE(libraries.WindowEntry("showhook.dll", "install")) << "found before it was loaded";
  ASSERT_TRUE(libraries.Load("showhook.dll"));
  HMODULE loaded = GetModuleHandleA("showhook.dll");
  ASSERT_NE(loaded, nullptr);
  ASSERT_TRUE(libraries.Load("showhook.dll"));
  // Loaded a second time, it would need a second free.
  EXPECT_TRUE(FreeLibrary(loaded));
  EXPECT_EQ(GetModuleHandleA("showhook.dll"), nullptr) << "loaded twice";
  ASSERT_TRUE(libraries.Load("showhook.dll"));
  EXPECT_FALSE(libraries.WindowEntry("showhook.dll", "no_such_entry"));
  EXPECT_FALSE(libraries.PlainEntry("showhook.dll", "no_such_entry"));

  // The system's own BOOL __stdcall (HWND) answers 1 or 0 through the entry.
  ASSERT_TRUE(libraries.Load("user32.dll"));
  std::function<std::uint32_t(platform::Handle)> isWindow = libraries.WindowEntry("user32.dll", "IsWindow");
  ASSERT_TRUE(isWindow);
  TestWindows w;
  EXPECT_EQ(isWindow(reinterpret_cast<platform::Handle>(w.panel)), 1u);
  EXPECT_EQ(isWindow(0x1234), 0u);

  std::function<std::uint32_t(platform::Handle)> install = libraries.WindowEntry("showhook.dll", "install");
  std::function<void()> uninstall = libraries.PlainEntry("showhook.dll", "uninstall");
  ASSERT_TRUE(install);
  ASSERT_TRUE(uninstall);
  EXPECT_EQ(install(reinterpret_cast<platform::Handle>(w.panel)) & 0xFF, 1u);
  uninstall();
}

TEST_F(SessionPlatform, LongDateIsTheUsersLongDateOfThatDay) {
  char format[80] = {};
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SLONGDATE, format, sizeof format);
  std::cout << "long date format: " << format << "\n";
  struct Case {
    platform::LocalTime Date;
    const char* Year;
    LCTYPE DayName;
  } cases[] = {{{2024, 5, 1}, "2024", LOCALE_SDAYNAME3},    // a Wednesday
               {{2031, 12, 28}, "2031", LOCALE_SDAYNAME7},  // a Sunday
               {{2008, 2, 29}, "2008", LOCALE_SDAYNAME5}};  // a Friday
  for (const Case& c : cases) {
    const std::string text = services_.System->LongDate(c.Date);
    std::cout << "  " << text << "\n";
    EXPECT_NE(text.find(c.Year), std::string::npos) << text;
    char day[40] = {};
    GetLocaleInfoA(LOCALE_USER_DEFAULT, c.DayName, day, sizeof day);
    if (std::string(format).find("dddd") != std::string::npos) {
      EXPECT_NE(text.find(day), std::string::npos) << text;
    }
  }
  EXPECT_NE(services_.System->LongDate({2024, 5, 1}), services_.System->LongDate({2024, 5, 2}));
}

TEST_F(SessionPlatform, FileSizeIsThatOfAFileAndNoneForAnythingElse) {
  WriteAll(folder_ + "\\five.bin", "12345");
  WriteAll(folder_ + "\\empty.bin", "");
  CreateDirectoryA((folder_ + "\\sub").c_str(), nullptr);
  struct Case {
    const char* Name;
    std::string Path;
    std::optional<std::uint64_t> Size;
  } cases[] = {{"five bytes", folder_ + "\\five.bin", 5},
               {"empty", folder_ + "\\empty.bin", 0},
               {"missing", folder_ + "\\missing.bin", std::nullopt},
               {"a folder", folder_ + "\\sub", std::nullopt},
               {"no name", "", std::nullopt}};
  for (const Case& c : cases) EXPECT_EQ(services_.Files->FileSize(c.Path), c.Size) << c.Name;
}

}  // namespace
