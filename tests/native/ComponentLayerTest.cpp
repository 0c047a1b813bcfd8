// The component layer's contract as program units rely on it, on the headless backend.
#include <atomic>
#include <thread>

#include "Fixture.h"
#include "vcl/ComCtrls.h"
#include "vcl/Dialogs.h"
#include "vcl/ExtCtrls.h"
#include "vcl/StdCtrls.h"
#include "vcl/SysUtils.h"
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

struct Box {
  int Left, Top, Width, Height;
  bool operator==(const Box& o) const {
    return Left == o.Left && Top == o.Top && Width == o.Width && Height == o.Height;
  }
};
std::ostream& operator<<(std::ostream& os, const Box& b) {
  return os << b.Left << "," << b.Top << " " << b.Width << "x" << b.Height;
}
Box BoxOf(const TControl* c) { return Box{c->Left(), c->Top(), c->Width(), c->Height()}; }

TEST_F(ComponentLayerTest, AlignedChildrenFollowTheirParentsSize) {
  TForm form;
  form.SetClientSize(300, 200);
  auto panel = [&](TWinControl* parent, TAlign align, int width, int height) {
    auto* p = new TPanel(&form);
    p->SetParent(parent);
    p->SetBounds(7, 7, width, height);  // where it was placed matters not once it is aligned
    p->SetAlign(align);
    return p;
  };
  // Created in an order unlike the order they are laid out in.
  TPanel* client = panel(&form, TAlign::alClient, 10, 10);
  TPanel* right = panel(&form, TAlign::alRight, 60, 10);
  TPanel* bottom = panel(&form, TAlign::alBottom, 10, 40);
  TPanel* top = panel(&form, TAlign::alTop, 10, 30);
  TPanel* left = panel(&form, TAlign::alLeft, 50, 10);
  TPanel* placed = panel(&form, TAlign::alNone, 20, 20);
  TPanel* inner = panel(client, TAlign::alBottom, 10, 25);  // follows the client panel
  struct Case {
    int Width, Height;
    Box Top, Bottom, Left, Right, Client, Inner;
  };
  const Case cases[] = {
      {300, 200, {0, 0, 300, 30}, {0, 160, 300, 40}, {0, 30, 50, 130}, {240, 30, 60, 130}, {50, 30, 190, 130},
       {0, 105, 190, 25}},
      {1000, 700, {0, 0, 1000, 30}, {0, 660, 1000, 40}, {0, 30, 50, 630}, {940, 30, 60, 630}, {50, 30, 890, 630},
       {0, 605, 890, 25}},
      // Smaller than the sides need: nothing is given a negative size.
      {100, 60, {0, 0, 100, 30}, {0, 20, 100, 40}, {0, 30, 50, 0}, {40, 30, 60, 0}, {50, 30, 0, 0},
       {0, -25, 0, 25}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.Width) + "x" + std::to_string(c.Height));
    form.SetClientSize(c.Width, c.Height);
    EXPECT_EQ(BoxOf(top), c.Top);
    EXPECT_EQ(BoxOf(bottom), c.Bottom);
    EXPECT_EQ(BoxOf(left), c.Left);
    EXPECT_EQ(BoxOf(right), c.Right);
    EXPECT_EQ(BoxOf(client), c.Client);
    EXPECT_EQ(BoxOf(inner), c.Inner);
    EXPECT_EQ(BoxOf(placed), (Box{7, 7, 20, 20}));
  }
  // The system sizes the window: the layer takes the size over.
  form.PeerResized(400, 300);
  EXPECT_EQ(form.ClientWidth(), 400);
  EXPECT_EQ(BoxOf(client), (Box{50, 30, 290, 230}));
  // A hidden side panel leaves its room; a new height of an aligned panel moves the rest.
  left->SetVisible(false);
  EXPECT_EQ(BoxOf(client), (Box{0, 30, 340, 230}));
  top->SetBounds(0, 0, 0, 50);
  EXPECT_EQ(BoxOf(top), (Box{0, 0, 400, 50}));
  EXPECT_EQ(BoxOf(client), (Box{0, 50, 340, 210}));
  EXPECT_EQ(BoxOf(inner), (Box{0, 185, 340, 25}));
}

TEST_F(ComponentLayerTest, SheetsFollowTheirPageControl) {
  TForm form;
  form.SetClientSize(300, 200);
  auto* pages = new TPageControl(&form);
  pages->SetParent(&form);
  pages->SetAlign(TAlign::alClient);
  auto* sheet = new TTabSheet(&form);
  sheet->SetParent(pages);
  auto* filler = new TPanel(&form);
  filler->SetParent(sheet);
  filler->SetAlign(TAlign::alClient);
  pages->ArrangeSheets();
  form.SetClientSize(640, 480);
  EXPECT_EQ(BoxOf(pages), (Box{0, 0, 640, 480}));
  // Inside the border, below the tab row.
  EXPECT_EQ(BoxOf(sheet), (Box{4, 24, 632, 452}));
  EXPECT_EQ(BoxOf(filler), (Box{0, 0, 632, 452}));
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

class Failing : public TThread {
 public:
  Failing() { FreeOnTerminate = true; }

 protected:
  void Execute() override { throw vcl::Exception("The worker lost its file."); }
};

TEST_F(ComponentLayerTest, WorkerFailureIsReportedOnTheMainThread) {
  (new Failing)->Resume();
  widgets->Pump();
  ASSERT_EQ(widgets->Messages.size(), 1u);
  EXPECT_EQ(widgets->Messages[0].Text, "The worker lost its file.");
  EXPECT_EQ(widgets->Messages[0].Type, vcl::TMsgDlgType::mtError);
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
  widgets->Pump();  // returns once no worker is left
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

TEST_F(ComponentLayerTest, ShowHandlerRunsBeforeTheFormIsVisible) {
  TForm form;
  bool visibleInHandler = true;
  int hidden = 0;
  form.OnShow = [&] { visibleInHandler = form.Visible(); };
  form.OnHide = [&] { ++hidden; };
  form.Show();
  EXPECT_FALSE(visibleInHandler);
  EXPECT_TRUE(form.Visible());
  EXPECT_EQ(hidden, 0);
}

// A show handler that reports a failure and closes its form: the box is never over a
// visible form, the form never appears, its hide handler undoes the show, and a modal
// show returns at once (the headless loop fails if it has to wait).
struct ClosingShow {
  const char* Name;
  bool MainForm, Modal;
  std::function<void(TForm&)> Close;
  int Result;  // of ShowModal
};
void PrintTo(const ClosingShow& c, std::ostream* os) { *os << c.Name; }

class ShowHandlerCloses : public ComponentLayerTest, public ::testing::WithParamInterface<ClosingShow> {};

TEST_P(ShowHandlerCloses, FormNeverBecomesVisible) {
  const ClosingShow& c = GetParam();
  Application.Initialize();
  TForm* form = nullptr;
  if (c.MainForm) Application.CreateForm(form);
  else form = new TForm();
  std::unique_ptr<TForm> owned(c.MainForm ? nullptr : form);
  int hidden = 0;
  std::vector<bool> visibleAtBox;
  widgets->OnMessage = [&](const vcl::headless::ShownMessage&) { visibleAtBox.push_back(form->Visible()); };
  form->OnShow = [&] {
    MessageDlg("Error: x", TMsgDlgType::mtError);
    c.Close(*form);
  };
  form->OnHide = [&] { ++hidden; };

  if (c.MainForm) Application.Run();
  else if (c.Modal) EXPECT_EQ(form->ShowModal(), c.Result);
  else form->Show();

  EXPECT_EQ(visibleAtBox, std::vector<bool>{false});
  EXPECT_FALSE(form->Visible());
  EXPECT_EQ(hidden, 1);
  EXPECT_EQ(Application.Terminated(), c.MainForm);
  Application.Initialize();
}

INSTANTIATE_TEST_SUITE_P(
    ComponentLayer, ShowHandlerCloses,
    ::testing::Values(ClosingShow{"MainFormClosed", true, false, [](TForm& f) { f.Close(); }, 0},
                      ClosingShow{"FormClosed", false, false, [](TForm& f) { f.Close(); }, 0},
                      ClosingShow{"FormHidden", false, false, [](TForm& f) { f.Hide(); }, 0},
                      ClosingShow{"ModalClosed", false, true, [](TForm& f) { f.Close(); }, mrCancel},
                      ClosingShow{"ModalResultSet", false, true, [](TForm& f) { f.SetModalResult(mrOk); }, mrOk},
                      ClosingShow{"ModalHidden", false, true, [](TForm& f) { f.Hide(); }, mrCancel}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(ComponentLayerTest, ProgramEndedBeforeItsRunShowsNoWindow) {
  Application.Initialize();
  TForm* main = nullptr;
  Application.CreateForm(main);
  int shown = 0;
  main->OnShow = [&] { ++shown; };
  Application.Terminate();
  Application.Run();  // the headless loop would fail if it waited
  EXPECT_EQ(shown, 0);
  EXPECT_FALSE(main->Visible());
  Application.Initialize();
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
