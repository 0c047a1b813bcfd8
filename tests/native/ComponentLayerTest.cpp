// The component layer's contract as program units rely on it, on the headless backend.
#include <atomic>
#include <thread>

#include "Fixture.h"
#include "vcl/ComCtrls.h"
#include "vcl/Dialogs.h"
#include "vcl/ExtCtrls.h"
#include "vcl/StdCtrls.h"
#include "vcl/Thread.h"

namespace {

using namespace vcl;

class ComponentLayerTest : public HeadlessTest {};

struct Entry : TItemObject {
  explicit Entry(int v) : Value(v) {}
  int Value;
};

TEST_F(ComponentLayerTest, OnlyTheUsersSelectionFiresOnSelect) {
  TForm form;
  auto* combo = new TComboBox(&form);
  combo->SetParent(&form);
  int fired = 0;
  combo->OnSelect = [&] { ++fired; };
  combo->AddItem("640*480", std::make_unique<Entry>(640));
  combo->AddItem("Customize...", std::make_unique<Entry>(0));
  combo->SetItemIndex(1);
  EXPECT_EQ(fired, 0);
  EXPECT_EQ(combo->Text(), "Customize...");
  combo->Select(0);
  EXPECT_EQ(fired, 1);
  EXPECT_EQ(static_cast<Entry*>(combo->Object(combo->ItemIndex()))->Value, 640);
  combo->SetItemIndex(7);
  EXPECT_EQ(combo->ItemIndex(), -1);
  combo->SetEnabled(false);
  combo->Select(1);
  EXPECT_EQ(fired, 1) << "a disabled list took the user's choice";
}

TEST_F(ComponentLayerTest, EditsKeepTheirLengthLimitForTyping) {
  TForm form;
  auto* edit = new TEdit(&form);
  edit->SetMaxLength(4);
  edit->Type("123456");
  EXPECT_EQ(edit->Text(), "1234");
  edit->SetText("programmatic text is not limited");
  EXPECT_EQ(edit->Text(), "programmatic text is not limited");
}

TEST_F(ComponentLayerTest, PageControlShowsOnlyTheActiveSheet) {
  TForm form;
  auto* pages = new TPageControl(&form);
  pages->SetParent(&form);
  auto* a = new TTabSheet(&form);
  auto* b = new TTabSheet(&form);
  a->SetParent(pages);
  b->SetParent(pages);
  b->TabVisible = false;
  pages->SetActivePage(b);
  EXPECT_FALSE(a->Visible());
  EXPECT_TRUE(b->Visible());
  EXPECT_EQ(b->PageControl(), pages);
}

TEST_F(ComponentLayerTest, TimersFireOnTheVirtualClock) {
  TForm form;
  auto* timer = new TTimer(&form);
  std::vector<std::uint64_t> at;
  timer->OnTimer = [&] { at.push_back(world->Clock.NowMs()); };
  timer->SetInterval(1000);  // enabled from the start
  widgets->Advance(999);
  EXPECT_TRUE(at.empty());
  widgets->Advance(1);
  widgets->Advance(2500);
  EXPECT_EQ(at, (std::vector<std::uint64_t>{1000, 2000, 3000}));
  timer->SetEnabled(false);
  widgets->Advance(5000);
  EXPECT_EQ(at.size(), 3u);
  timer->SetEnabled(true);  // restarts the interval from now
  widgets->Advance(1000);
  EXPECT_EQ(at.back(), 9500u);
  delete timer;
  EXPECT_EQ(widgets->RunningTimers(), 0);
}

class Worker : public TThread {
 public:
  explicit Worker(std::atomic<int>& out) : TThread(), out_(out) {}
  std::thread::id RanOn;

 protected:
  void Execute() override {
    Synchronize([this] {
      RanOn = std::this_thread::get_id();
      out_ = 1;
    });
    while (!Terminated()) platform::System().Sleep(100);
    out_ = 2;
  }

 private:
  std::atomic<int>& out_;
};

TEST_F(ComponentLayerTest, SynchronizeRunsOnTheMainThreadWhileTheWorkerWaits) {
  std::atomic<int> state{0};
  auto* worker = new Worker(state);
  worker->Resume();
  widgets->Pump();  // runs the synchronised call, then waits until the worker sleeps
  EXPECT_EQ(state, 1);
  EXPECT_EQ(worker->RanOn, std::this_thread::get_id());
  worker->Terminate();
  widgets->Advance(100);
  worker->WaitFor();
  EXPECT_EQ(state, 2);
  delete worker;
}

class SelfFreeing : public TThread {
 public:
  SelfFreeing(TEvent& done, bool& freed) : TThread(), done_(done), freed_(freed) { FreeOnTerminate = true; }
  ~SelfFreeing() override { freed_ = true; }

 protected:
  void Execute() override {
    platform::System().Sleep(500);
    done_.SetEvent();
  }

 private:
  TEvent& done_;
  bool& freed_;
};

TEST_F(ComponentLayerTest, EventWaitsEndBySignalOrByVirtualTimeout) {
  TEvent done(true, false);
  EXPECT_FALSE(done.WaitFor(6000)) << "nobody can set it: the wait times out at once";
  EXPECT_EQ(world->Clock.NowMs(), 6000u);

  bool freed = false;
  done.ResetEvent();
  (new SelfFreeing(done, freed))->Resume();
  widgets->Pump();  // the worker now sleeps on the clock
  EXPECT_TRUE(done.WaitFor(6000)) << "virtual time runs on to the worker's wake-up";
  EXPECT_EQ(world->Clock.NowMs(), 6500u);
  widgets->Pump();
  EXPECT_TRUE(freed);
}

class Instant : public TThread {
 public:
  explicit Instant(std::atomic<int>& freed) : freed_(freed) { FreeOnTerminate = true; }
  ~Instant() override { ++freed_; }

 protected:
  void Execute() override {}

 private:
  std::atomic<int>& freed_;
};

TEST_F(ComponentLayerTest, SelfFreeingThreadsThatEndAtOnceAreFreedOnce) {
  // The thread may be gone before Resume returns: neither side may touch it after the start.
  std::atomic<int> freed{0};
  for (int i = 0; i < 200; ++i) (new Instant(freed))->Resume();
  while (freed < 200) std::this_thread::yield();
  EXPECT_EQ(freed, 200);
}

class Polling : public TThread {
 protected:
  void Execute() override {
    while (!Terminated()) platform::System().Sleep(100);
  }
};

TEST_F(ComponentLayerTest, DeletingARunningThreadStopsItFirst) {
  auto* polling = new Polling;
  polling->Resume();
  widgets->Pump();
  delete polling;  // would wait for ever if the thread were not told to stop
  SUCCEED();
}

TEST_F(ComponentLayerTest, ModalFormRunsUntilAButtonGivesAResult) {
  TForm dialog;
  auto* ok = new TButton(&dialog);
  ok->SetParent(&dialog);
  ok->ModalResult = mrOk;
  int shown = 0, hidden = 0;
  dialog.OnShow = [&] { ++shown; };
  dialog.OnHide = [&] { ++hidden; };
  widgets->WhenIdle([&] {
    EXPECT_TRUE(dialog.Visible());
    ok->Click();
  });
  EXPECT_EQ(dialog.ShowModal(), mrOk);
  EXPECT_FALSE(dialog.Visible());
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(hidden, 1);

  dialog.OnCloseQuery = [] { return false; };
  widgets->WhenIdle([&] { dialog.Close(); });
  widgets->WhenIdle([&] { dialog.SetModalResult(mrCancel); });
  EXPECT_EQ(dialog.ShowModal(), mrCancel);
}

TEST_F(ComponentLayerTest, DialogsTakeTheTestsAnswers) {
  widgets->OpenDialogAnswers = {std::string("C:\\deck.pptx"), std::nullopt};
  TOpenDialog dlg;
  dlg.Filter = "PowerPoint|*.ppt;*.pptx";
  EXPECT_TRUE(dlg.Execute());
  EXPECT_EQ(dlg.FileName, "C:\\deck.pptx");
  EXPECT_FALSE(dlg.Execute());
  widgets->FolderAnswers = {std::string("C:\\Out")};
  std::string folder;
  EXPECT_TRUE(SelectDirectory("Output", folder));
  EXPECT_EQ(folder, "C:\\Out");
  MessageDlg("Error: x", TMsgDlgType::mtError);
  ASSERT_EQ(widgets->Messages.size(), 1u);
  EXPECT_EQ(widgets->Messages[0].Caption, "Error");
}

}  // namespace
