// Slidecaster.exe itself under Wine: its main window, the single-instance lock, and the
// installation checks against the prefix's registry.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>

#include "WineSupport.h"

using namespace winetest;

namespace {

const char* const MainClass = "SlidecasterForm";

std::string Exe() { return BinFolder() + "\\Slidecaster.exe"; }

// The program's visible main window, once it has one.
HWND WaitForMainWindow(const Process& p) {
  HWND main = nullptr;
  WaitUntil(
      [&] {
        main = FindTopLevel(p.Id, MainClass, [](HWND w) {
          return IsWindowVisible(w) && WindowText(w).rfind("Norvane Slidereel", 0) == 0;
        });
        return main != nullptr;
      },
      20000);
  return main;
}

void CloseProgram(Process& p, HWND main) {
  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(p.WaitExit(15000)) << "the program did not end when its main window closed";
  p.Close();
}

TEST(Startup, MainWindowShowsAndASecondCopyIsRefused) {
  Process first = Launch(Exe());
  ASSERT_TRUE(first.Handle) << "cannot start " << Exe() << ", error " << GetLastError();
  HWND main = WaitForMainWindow(first);
  ASSERT_TRUE(main) << "no main window";
  EXPECT_EQ(WindowText(main), "Norvane Slidereel (1.0)");
  RECT client, outer, work;
  GetClientRect(main, &client);
  GetWindowRect(main, &outer);
  EXPECT_EQ(client.right, 842);
  EXPECT_EQ(client.bottom, 596);
  const long frameWidth = (outer.right - outer.left) - client.right;
  const long frameHeight = (outer.bottom - outer.top) - client.bottom;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_LE(std::abs((outer.left + outer.right) - (work.left + work.right)), 1) << "not centred across";
  EXPECT_LE(std::abs((outer.top + outer.bottom) - (work.top + work.bottom)), 1) << "not centred down";

  Process second = Launch(Exe());
  ASSERT_TRUE(second.Handle);
  MessageBoxSeen box = WaitForMessageBox(second.Id);
  ASSERT_TRUE(box.Window) << "the second copy showed no message";
  EXPECT_EQ(box.Text, "Rovavur Arivovov/EZU/Zuruv is already running");
  EXPECT_EQ(box.Caption, "Error");
  EXPECT_EQ(FindTopLevel(second.Id, MainClass), nullptr) << "the second copy created windows";
  PressOk(box.Window);
  EXPECT_TRUE(second.WaitExit(15000));
  second.Close();

  EXPECT_TRUE(first.Running()) << "the first copy was disturbed";
  EXPECT_TRUE(IsWindowVisible(main));

  // Neither sizing call makes the client area smaller than designed (850 x 630 in all with
  // the standard frame); a larger size holds.
  auto size = [main] {
    RECT r;
    GetWindowRect(main, &r);
    return std::make_pair(r.right - r.left, r.bottom - r.top);
  };
  const auto smallest = std::make_pair(842 + frameWidth, 596 + frameHeight);
  SetWindowPos(main, nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(size(), smallest);
  MoveWindow(main, 10, 10, smallest.first - 1, smallest.second - 1, TRUE);
  EXPECT_EQ(size(), smallest);
  MoveWindow(main, 10, 10, 900, 700, TRUE);
  EXPECT_EQ(size(), std::make_pair(900L, 700L));
  ShowWindow(main, SW_MINIMIZE);
  ShowWindow(main, SW_RESTORE);
  EXPECT_EQ(size(), std::make_pair(900L, 700L)) << "restored to another size";
  CloseProgram(first, main);
}

struct CheckCase {
  const char* Name;
  const char* Value;
  const char* Text;  // nullptr: the value is removed
  const char* Caption;
  const char* Message;
};

void PrintTo(const CheckCase& c, std::ostream* os) { *os << c.Name; }

class InstallationChecks : public ::testing::TestWithParam<CheckCase> {};

TEST_P(InstallationChecks, FailingCheckShowsItsMessageAndEndsTheProgram) {
  const CheckCase& c = GetParam();
  InstallValue change(c.Value, c.Text ? c.Text : "", c.Text == nullptr);
  Process p = Launch(Exe());
  ASSERT_TRUE(p.Handle);
  MessageBoxSeen box = WaitForMessageBox(p.Id);
  ASSERT_TRUE(box.Window) << "no message";
  EXPECT_EQ(box.Text, c.Message);
  EXPECT_EQ(box.Caption, c.Caption);
  // The checks run before the main window shows: the box is never over an empty window.
  EXPECT_EQ(FindTopLevel(p.Id, MainClass, [](HWND w) { return IsWindowVisible(w) != 0; }), nullptr)
      << "the main window is visible behind the box";
  PressOk(box.Window);
  EXPECT_TRUE(p.WaitExit(15000)) << "the program went on after its one message";
  p.Close();
}

INSTANTIATE_TEST_SUITE_P(
    Registry, InstallationChecks,
    ::testing::Values(
        CheckCase{"NoPath", "PPTPath", nullptr, "Error",
                  "Error: Cannot find PPT install path infomation, please reinstall."},
        CheckCase{"NoPowerPoint", "PPTPath", "C:\\windows", "Information",
                  "Info: Cannot find PowerPoint, maybe you have not installed it or you have installed other version "
                  "PowerPoint again, please reinstall this software."},
        CheckCase{"VersionNotNumber", "PPTVersion", "x.0", "Error",
                  "Error: Cannot find PPT version infomation('x' is not a valid integer value)"},
        CheckCase{"NoOS", "OS", nullptr, "Error", "Error: Cannot find OS infomation"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(Startup, EmptyProductVersionStillStarts) {
  InstallValue change("Version", "");
  Process p = Launch(Exe());
  ASSERT_TRUE(p.Handle);
  HWND main = WaitForMainWindow(p);
  ASSERT_TRUE(main);
  EXPECT_EQ(WindowText(main), "Norvane Slidereel ()");
  CloseProgram(p, main);
}

// Switches a library off for Slidecaster.exe alone, as Wine's per-program DLL overrides
// do, while the object lives.
class LibraryOff {
 public:
  explicit LibraryOff(const char* library) : library_(library) {
    RegCreateKeyExA(HKEY_CURRENT_USER, Key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
    RegSetValueExA(key_, library, 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
  }
  ~LibraryOff() {
    RegDeleteValueA(key_, library_);
    RegCloseKey(key_);
  }

 private:
  static constexpr const char* Key = "Software\\Wine\\AppDefaults\\Slidecaster.exe\\DllOverrides";
  const char* library_;
  HKEY key_ = nullptr;
};

// Without the system's browser library the browser cannot be hosted: the failure is the
// one box, no window shows, and the program ends.
TEST(Startup, BrowserThatCannotBeHostedEndsTheProgram) {
  LibraryOff off("ieframe");
  Process p = Launch(Exe());
  ASSERT_TRUE(p.Handle);
  MessageBoxSeen box = WaitForMessageBox(p.Id);
  ASSERT_TRUE(box.Window) << "no message";
  EXPECT_EQ(box.Text, "Error: Access denied.") << "Wine refuses a switched-off library so";
  EXPECT_EQ(box.Caption, "Error");
  EXPECT_EQ(FindTopLevel(p.Id, MainClass, [](HWND w) { return IsWindowVisible(w) != 0; }), nullptr)
      << "the main window is visible behind the box";
  PressOk(box.Window);
  EXPECT_TRUE(p.WaitExit(15000)) << "the program went on after its one message";
  p.Close();
}

}  // namespace
