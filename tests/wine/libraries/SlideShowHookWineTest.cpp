// The hook library with its hook installed from this process, and windows activated in
// another one.
#include <gtest/gtest.h>

#include <string>

#include "Deliverable.h"

namespace {

using namespace winetest;

typedef int(WINAPI* InstallExport)(HWND);
typedef int(WINAPI* UninstallExport)();

struct Appearance {
  bool Layered = false;
  bool AttributesRead = false;
  BYTE Alpha = 255;
  DWORD Flags = 0;
};

// Starts a process that shows and activates a window of that class, and reads back how the
// window looks once it is shown.
class ScreenWindow {
 public:
  explicit ScreenWindow(const char* className, bool popup = false) {
    process_ = Launch(BinFolder() + "\\screenwindow.exe", std::string(className) + (popup ? " popup" : ""));
    // "shown" is the helper's word that its window has been activated, which is when
    // the hook is asked about it.
    shown_ = WaitUntil(
        [&] {
          window_ = FindTopLevel(process_.Id, className);
          return window_ != nullptr && WindowText(window_) == "shown";
        },
        20000);
  }
  ~ScreenWindow() {
    if (window_) PostMessageA(window_, WM_CLOSE, 0, 0);
    process_.WaitExit(10000);
    process_.Close();
  }
  bool Shown() const { return shown_; }
  Appearance Read() const {
    Appearance a;
    a.Layered = (GetWindowLongW(window_, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
    COLORREF key = 0;
    a.AttributesRead = GetLayeredWindowAttributes(window_, &key, &a.Alpha, &a.Flags) != FALSE;
    return a;
  }

 private:
  Process process_;
  HWND window_ = nullptr;
  bool shown_ = false;
};

class SlideShowHook : public ::testing::Test {
 protected:
  void SetUp() override {
    library_ = LoadDeliverable("showhook.dll");
    ASSERT_NE(library_, nullptr);
    install = reinterpret_cast<InstallExport>(reinterpret_cast<void*>(GetProcAddress(library_, "install")));
    uninstall = reinterpret_cast<UninstallExport>(reinterpret_cast<void*>(GetProcAddress(library_, "uninstall")));
    ASSERT_NE(install, nullptr);
    ASSERT_NE(uninstall, nullptr);
  }
  void TearDown() override {
    // A test stopped between install and uninstall must not leave the hook pointing
    // into a library that is about to go.
    if (uninstall) uninstall();
    if (library_) FreeLibrary(library_);
  }
  HMODULE library_ = nullptr;
  InstallExport install = nullptr;
  UninstallExport uninstall = nullptr;
};

TEST_F(SlideShowHook, ExportsAndTheHookHandlesOwnUnsharedSection) {
  EXPECT_EQ(reinterpret_cast<void*>(install), reinterpret_cast<void*>(GetProcAddress(library_, MAKEINTRESOURCEA(1))));
  EXPECT_EQ(reinterpret_cast<void*>(uninstall),
            reinterpret_cast<void*>(GetProcAddress(library_, MAKEINTRESOURCEA(2))));
  const IMAGE_EXPORT_DIRECTORY* table = ExportDirectory(library_);
  EXPECT_EQ(table->Base, 1u);
  EXPECT_EQ(table->NumberOfFunctions, 2u);
  EXPECT_EQ(table->NumberOfNames, 2u);
  for (const char* decorated : {"install@4", "_install@4", "uninstall@0", "_uninstall@0"})
    EXPECT_EQ(GetProcAddress(library_, decorated), nullptr) << decorated;

  const IMAGE_SECTION_HEADER* section = ImageSection(library_, ".SHARDAT");
  ASSERT_NE(section, nullptr);
  EXPECT_EQ(section->Misc.VirtualSize, 4u);
  EXPECT_EQ(section->Characteristics & (IMAGE_SCN_CNT_INITIALIZED_DATA | IMAGE_SCN_CNT_UNINITIALIZED_DATA |
                                        IMAGE_SCN_CNT_CODE | IMAGE_SCN_MEM_READ | IMAGE_SCN_MEM_WRITE |
                                        IMAGE_SCN_MEM_SHARED | IMAGE_SCN_MEM_EXECUTE),
            static_cast<DWORD>(IMAGE_SCN_CNT_INITIALIZED_DATA | IMAGE_SCN_MEM_READ | IMAGE_SCN_MEM_WRITE));
}

TEST_F(SlideShowHook, OnlyTheSlideShowClassTurnsTransparentWhileInstalled) {
  ASSERT_EQ(install(GetDesktopWindow()), 1);
  // A framed window, and a borderless one whose extended style was 0 before the hook
  // added to it, as a full-screen show's window is.
  for (bool popup : {false, true}) {
    SCOPED_TRACE(popup ? "borderless, no extended style" : "framed");
    ScreenWindow show("screenClass", popup);
    ASSERT_TRUE(show.Shown());
    Appearance a = show.Read();
    EXPECT_TRUE(a.Layered);
    EXPECT_TRUE(a.AttributesRead);
    EXPECT_EQ(a.Alpha, 0);
    EXPECT_EQ(a.Flags, static_cast<DWORD>(LWA_ALPHA));
  }
  for (const char* other : {"ScreenClass", "screenClass2", "screenClas", "Edit2"}) {
    ScreenWindow window(other);
    ASSERT_TRUE(window.Shown()) << other;
    EXPECT_FALSE(window.Read().Layered) << other;
  }
  EXPECT_EQ(uninstall(), 1);
  {
    ScreenWindow show("screenClass");
    ASSERT_TRUE(show.Shown());
    EXPECT_FALSE(show.Read().Layered) << "made transparent after the hook was removed";
  }
  EXPECT_EQ(uninstall(), 0) << "a hook already removed reported as removed";
}

}  // namespace
