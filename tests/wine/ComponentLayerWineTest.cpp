// The component layer on real windows: native peers, the message loop, timers,
// synchronised calls, modal forms, waits and message boxes.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "WineSupport.h"
#include "vcl/Dialogs.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"
#include "vcl/Thread.h"
#include "vcl/win32/Win32Peers.h"
#include "vcl/win32/Win32Widgetset.h"

using namespace vcl;
using winetest::MessageBoxSeen;
using winetest::PressOk;
using winetest::WaitForMessageBox;

namespace {

class Win32Components : public ::testing::Test {
 protected:
  // Installed once for the process, as in the program: self-freeing threads may still be
  // finishing after a test has seen what it waited for.
  static void SetUpTestSuite() {
    if (!HasWidgetset()) InstallWidgetset(win32::MakeWidgetset());
  }
  // Runs the real message loop until done holds, at most ms.
  static bool LoopUntil(const std::function<bool()>& done, DWORD ms) {
    DWORD start = GetTickCount();
    TTimer guard(nullptr);
    guard.SetInterval(20);  // wakes the loop to look at the clock
    Widgetset().RunLoop([&] { return done() || GetTickCount() - start > ms; });
    return done();
  }
};

TEST_F(Win32Components, ComboMirrorsItsStateAndReportsOnlyTheUsersChoice) {
  TForm form;
  auto* combo = new TComboBox(&form);
  combo->SetParent(&form);
  combo->SetBounds(10, 10, 120, 200);
  form.Show();
  HWND h = win32::WindowOf(combo);
  ASSERT_TRUE(h);
  int selected = -1;
  combo->OnSelect = [&] { selected = combo->ItemIndex(); };
  combo->AddItem("AVI");
  combo->AddItem("MPEG-2");
  combo->AddItem("DVD");
  combo->SetItemIndex(1);
  EXPECT_EQ(SendMessageA(h, CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessageA(h, CB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(selected, -1) << "programmatic selection fired OnSelect";
  // The user picks the third entry: the list tells its parent.
  SendMessageA(h, CB_SETCURSEL, 2, 0);
  SendMessageA(GetParent(h), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE), reinterpret_cast<LPARAM>(h));
  EXPECT_EQ(selected, 2);
  EXPECT_EQ(combo->Text(), "DVD");
  form.Hide();
}

class Reporter : public TThread {
 public:
  Reporter(std::atomic<DWORD>& ranOn, TEvent& done) : TThread(), ranOn_(ranOn), done_(done) {
    FreeOnTerminate = true;
  }

 protected:
  void Execute() override {
    Sleep(50);
    Synchronize([this] { ranOn_ = GetCurrentThreadId(); });
    done_.SetEvent();
  }

 private:
  std::atomic<DWORD>& ranOn_;
  TEvent& done_;
};

TEST_F(Win32Components, SynchronizeRunsOnTheMainThreadDuringAnEventWait) {
  std::atomic<DWORD> ranOn{0};
  TEvent done(true, false);
  EXPECT_FALSE(done.WaitFor(100)) << "nobody set it";
  (new Reporter(ranOn, done))->Resume();
  // The wait itself serves the worker's synchronised call; otherwise both would block.
  EXPECT_TRUE(done.WaitFor(5000));
  EXPECT_EQ(ranOn, GetCurrentThreadId());
}

TEST_F(Win32Components, TimersFireFromTheMessageLoop) {
  TTimer timer(nullptr);
  int fired = 0;
  timer.OnTimer = [&] {
    if (++fired == 3) timer.SetEnabled(false);
  };
  timer.SetInterval(30);
  EXPECT_TRUE(LoopUntil([&] { return fired == 3; }, 5000));
  LoopUntil([] { return false; }, 150);
  EXPECT_EQ(fired, 3) << "a disabled timer kept firing";
}

TEST_F(Win32Components, ModalFormEndsWithTheClickedButtonsResult) {
  TForm dialog;
  dialog.SetClientSize(200, 100);
  auto* ok = new TButton(&dialog);
  ok->SetParent(&dialog);
  ok->SetBounds(10, 10, 75, 25);
  ok->SetCaption("OK");
  ok->ModalResult = mrOk;
  dialog.CreatePeers();
  PostMessageA(win32::WindowOf(ok), BM_CLICK, 0, 0);
  EXPECT_EQ(dialog.ShowModal(), mrOk);
  EXPECT_FALSE(IsWindowVisible(win32::WindowOf(&dialog)));
}

TEST_F(Win32Components, MessageDialogShowsItsCaptionAndText) {
  MessageBoxSeen seen;
  std::thread reader([&] {
    seen = WaitForMessageBox(GetCurrentProcessId(), 10000);
    if (seen.Window) PressOk(seen.Window);
  });
  MessageDlg("Error: disk full", TMsgDlgType::mtError);
  reader.join();
  EXPECT_EQ(seen.Caption, "Error");
  EXPECT_EQ(seen.Text, "Error: disk full");
}

TEST_F(Win32Components, KeyFilterSeesKeysFirstAndKeepsTheOnesItHandles) {
  TForm form;
  auto* edit = new TEdit(&form);
  edit->SetParent(&form);
  edit->SetBounds(10, 10, 120, 24);
  form.Show();
  HWND h = win32::WindowOf(edit);
  ASSERT_TRUE(h);
  std::vector<UINT> seen;
  win32::SetKeyFilter([&](MSG& msg) {
    seen.push_back(msg.message);
    return msg.message == WM_CHAR && msg.wParam == 'a';
  });
  PostMessageA(h, WM_CHAR, 'a', 0);
  PostMessageA(h, WM_CHAR, 'b', 0);
  PostMessageA(h, WM_NULL, 0, 0);
  EXPECT_TRUE(LoopUntil([&] { return seen.size() == 2 && edit->Text() == "b"; }, 3000));
  EXPECT_EQ(edit->Text(), "b") << "a handled key reached the window";
  win32::SetKeyFilter(nullptr);
  PostMessageA(h, WM_CHAR, 'a', 0);
  EXPECT_TRUE(LoopUntil([&] { return edit->Text().size() == 2; }, 3000)) << "without a filter every key arrives";
  EXPECT_EQ(seen.size(), 2u) << "only keyboard messages pass the filter";
}

}  // namespace
