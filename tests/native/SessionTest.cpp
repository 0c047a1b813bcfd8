// Whole recordings on the virtual clock: from Convert through the capture window's show,
// the presentation program, the encoder and the sound graph, to the result page.
#include "AudioCap.h"
#include "DVDConvertThread.h"
#include "OutputCatalogue.h"
#include "PPTWaitThread.h"
#include "ROdeThread.h"
#include "WizardFixture.h"
#include "vcl/SysUtils.h"

namespace {

using platform::headless::GraphFailure;

const char* const Deck = "C:\\Talks\\deck.pptx";

class SessionTest : public WizardTest {
 protected:
  // Workers a failed recording left behind see their end before the world goes.
  void TearDown() override {
    if (Form_cap)
      for (vcl::TTimer* timer : {Form_cap->Timer1, Form_cap->Timer2, Form_cap->Timer3}) timer->SetEnabled(false);
    CurrentWaitThread.Terminate();
    platform::headless::EndEncoder(*world);
    widgets->Advance(1000);
    WizardTest::TearDown();
  }
  // Page 1 filled in, Next pressed, and page 2 showing.
  void Prepare(bool automatic = true, bool audio = false, std::uint64_t freeMB = 5000,
               const std::string& outputPath = "D:\\Videos") {
    WriteFile(Deck, "deck");
    MakeDir("D:\\Videos");
    world->DiskFreeBytes["D:"] = freeMB * 1048576;
    world->Audio.Devices = {{"Sound", {{"Mic"}, {"Stereo Mix"}, {"Capture", false}}}};
    Start();
    Set("edit_pptfile", "value", Deck);
    Set("edit_outputpath", "value", outputPath);
    Set(automatic ? "capmode_auto" : "capmode_mannual", "checked", "true");
    Set("edit_transitontime", "value", "5");
    if (audio) Set("checkbox_audiorecording", "checked", "true");
    Click("button_next");
    ASSERT_EQ(Page().Title(), "page2") << ErrorLine();
  }
  // Presses Convert; each action runs when the capture window's loop has nothing else to do.
  void Convert(std::vector<std::function<void()>> actions) {
    for (auto& action : actions) widgets->WhenIdle(action);
    Click("button_convert");
    widgets->Pump();
  }
  std::function<void()> Wait(unsigned ms) {
    return [this, ms] { widgets->Advance(ms); };
  }
  std::uint64_t Now() {
    std::lock_guard<std::mutex> g(world->Clock.Lock());
    return world->Clock.NowMs();
  }
  const platform::headless::ScriptedWindow& ShowWindow() {
    for (const auto& [handle, window] : world->WindowStates)
      if (window.Class == "screenClass") return window;
    static platform::headless::ScriptedWindow none;
    ADD_FAILURE() << "no slide show window";
    return none;
  }
  std::vector<std::uint32_t> EncoderKeys() {
    for (const auto& [handle, window] : world->WindowStates)
      if (window.Class == "rode") return window.Chars;
    return {};
  }
  bool Called(const std::string& call) {
    const auto& calls = world->PowerPoint.Calls;
    return std::find(calls.begin(), calls.end(), call) != calls.end();
  }
  std::uintptr_t Panel() { return vcl::Widgetset().WindowHandle(*Form_cap->Panel_cap); }
};

TEST_F(SessionTest, AutomaticShowRecordsUntilTheEndMarker) {
  Prepare();
  Convert({Wait(600), [&] {
             EXPECT_TRUE(Form_cap->Visible());
             EXPECT_FALSE(Form_cap->Button_stop->Enabled()) << "not before the encoder has recorded";
             widgets->Advance(1000);
             EXPECT_TRUE(Form_cap->Button_stop->Enabled());
             EXPECT_TRUE(Form_cap->Button_cancel->Enabled());
             EXPECT_FALSE(Form_cap->Button_pause->Enabled()) << "no pause in automatic mode";
             EXPECT_FALSE(Form_cap->Button_next->Enabled());
             EXPECT_EQ(Form_cap->Caption(), "Slides Count: 1/3  Capture Time: 00:00:01");
             Form_cap->Close();
             EXPECT_TRUE(Form_cap->Visible()) << "the title bar cannot close a recording";
             widgets->Advance(20000);
           }});

  // The hook held the show window until the panel took it.
  EXPECT_EQ(world->HookLibrary.Calls, (std::vector<std::string>{"install(" + std::to_string(Panel()) + ")", "uninstall"}));
  const auto& show = ShowWindow();
  EXPECT_EQ(show.Parent, Panel());
  EXPECT_EQ(show.Alpha, 255);
  EXPECT_EQ(show.LayeredFlags, 2u);
  EXPECT_EQ(show.ExStyle & 0x80000, 0u);
  EXPECT_EQ(show.RedrawFlags, 0x485u);
  for (const char* call : {"CreateObject(PowerPoint.Application)", "Presentations.Open(&'C:\\Talks\\deck.pptx',0,0,0)",
                           "SlideShowSettings.Run()", "SlideShowWindow.Left=0", "SlideShowWindow.Top=0",
                           "SlideShowWindow.Height=360", "SlideShowWindow.Width=480", "SlideShowSettings.AdvanceMode=1",
                           "Slides.Item(3)", "Slide.Duplicate()", "View.exit()"})
    EXPECT_TRUE(Called(call)) << call;
  EXPECT_EQ(world->PowerPoint.AdvanceOnTime, (std::vector<int>{0, 0, 0, 0})) << "every slide waits for the program";
  EXPECT_EQ(Form_cap->SlideCount, 4);
  // The window came at 500 ms; three slide changes five seconds apart from then, and the
  // end marker stops the recording within one poll.
  const std::uint64_t reached = world->PowerPoint.LastCallMs["View.Next"];
  EXPECT_EQ(reached, 15500u);
  EXPECT_LE(world->PowerPoint.LastCallMs["View.exit"] - reached, 100u);
  EXPECT_EQ(world->PowerPoint.Advised, 0) << "the sink was let go";

  ASSERT_EQ(world->Encoder.CommandLines.size(), 1u);
  EXPECT_EQ(world->Encoder.CommandLines[0],
            "\"C:\\Program Files\\Slidecaster\\rode.exe\" -f win32grab -i :0+0,0," + std::to_string(Panel()) +
                " -vcodec mpeg4 -r 15.000 -b 500000 -s 640*480 -acodec libmp3lame -ab 128000 \"" + JobFolder +
                "\\deck.pptx.avi\"");
  EXPECT_EQ(EncoderKeys(), std::vector<std::uint32_t>{'q'});
  EXPECT_FALSE(Form_cap->Visible());
  EXPECT_EQ(Page().Title(), "page3");
  EXPECT_FALSE(ConvertCanceled);
  EXPECT_EQ(FinalCaptureSeconds, 15);
  EXPECT_TRUE(Exists(JobFolder + "\\BuildReport.htm"));
  EXPECT_FALSE(Exists(TempFolder));
  EXPECT_TRUE(widgets->Messages.empty()) << widgets->Messages[0].Text;
  EXPECT_FALSE(CurrentROdeThread.Assigned());
  EXPECT_FALSE(CurrentWaitThread.Assigned());
}

TEST_F(SessionTest, ManualModeWithNextPauseResumeAndStop) {
  Prepare(false, true);
  std::uint64_t resumedAt = 0, resumeDone = 0;
  Convert({Wait(2100), [&] {
             EXPECT_TRUE(Form_cap->Button_pause->Enabled());
             EXPECT_TRUE(Form_cap->Button_next->Enabled());
             Form_cap->Button_next->Click();
             EXPECT_EQ(CurrentSlideIndex, 2);
             Form_cap->Button_pause->Click();
             EXPECT_TRUE(CapturePaused);
             EXPECT_EQ(Form_cap->Button_pause->Caption(), "Resume");
             EXPECT_FALSE(Form_cap->Button_stop->Enabled());
             EXPECT_FALSE(Form_cap->Button_cancel->Enabled());
             EXPECT_FALSE(Form_cap->Button_next->Enabled());
             widgets->Advance(10000);  // paused: nothing recorded, nothing enabled
             EXPECT_EQ(CaptureSeconds, 1);
             EXPECT_FALSE(Form_cap->Button_stop->Enabled());
             resumedAt = Now();
             Form_cap->Button_pause->Click();
             resumeDone = Now();
             EXPECT_FALSE(CapturePaused);
             EXPECT_EQ(Form_cap->Button_pause->Caption(), "Pause");
             EXPECT_TRUE(Form_cap->Button_stop->Enabled());
             widgets->Advance(2000);
             Form_cap->Button_stop->Click();
           }});
  EXPECT_EQ(resumeDone - resumedAt, 3000u) << "the resume settles for three seconds";
  EXPECT_EQ(EncoderKeys(), (std::vector<std::uint32_t>{'p', 'p', 'q'}));
  const auto& log = world->Audio.GraphLog;
  for (const char* step : {"line 0 off", "line 1 on", "format 2 44100 176400 4 16 kept", "render", "run", "pause",
                           "stop when ready", "state 500", "remove VEV Iraz", "remove Audio Capture"})
    EXPECT_NE(std::find(log.begin(), log.end(), step), log.end()) << step;
  EXPECT_NE(world->Encoder.CommandLines.at(0).find("-i \"\\\\.\\pipe\\norvanereelcast_audiofilter\"  -f win32grab"),
            std::string::npos);
  EXPECT_EQ(Page().Title(), "page3");
  EXPECT_FALSE(Form_cap->Timer1->Enabled()) << "no slide timer in manual mode";
  EXPECT_GE(FinalCaptureSeconds, 4);
}

TEST_F(SessionTest, CancelRemovesTheRecording) {
  Prepare();
  Convert({Wait(2600), [&] { Form_cap->Button_cancel->Click(); }});
  EXPECT_TRUE(ConvertCanceled);
  EXPECT_EQ(FinalCaptureSeconds, 0);
  EXPECT_FALSE(Exists(JobFolder));
  EXPECT_EQ(Page().Title(), "page3");
  EXPECT_EQ(EncoderKeys(), std::vector<std::uint32_t>{'q'});
}

TEST_F(SessionTest, LowDiskSpace) {
  struct Case {
    const char* Name;
    std::uint64_t FreeMB;
    bool AutoStop;
    const char* OutputPath;
    bool Stopped;  // at the first tick after the recording began
  };
  for (const Case& c : {Case{"auto-stop at 100 MB", 100, true, "D:\\Videos", true},
                        Case{"network folder reads 0 MB", 5000, true, "\\\\srv\\share\\Videos", true},
                        Case{"no auto-stop: only a warning", 100, false, "D:\\Videos", false}}) {
    SCOPED_TRACE(c.Name);
    MakeDir("\\\\srv\\share\\Videos");
    Prepare(true, false, c.FreeMB, c.OutputPath);
    Form_cap->CheckBox_autostop->SetChecked(c.AutoStop);
    std::vector<std::function<void()>> actions = {Wait(600), Wait(1000)};
    if (!c.Stopped) actions.push_back([&] {
               EXPECT_EQ(Form_cap->Label_free->Caption(), "Drive D: free space may be not enough");
               EXPECT_EQ(Form_cap->Label_free->FontColor(), vcl::clRed);
               world->DiskFreeBytes["D:"] = 9000ull * 1048576;
               widgets->Advance(1000);
               EXPECT_EQ(Form_cap->Label_free->FontColor(), vcl::clRed) << "red until the next conversion";
               EXPECT_EQ(Form_cap->Label_free->Caption(), "Drive D: free size: 9000MB");
               Form_cap->Button_stop->Click();
             });
    Convert(actions);
    EXPECT_EQ(Page().Title(), "page3");
    EXPECT_EQ(FinalCaptureSeconds, c.Stopped ? 1 : 2);
    vcl::Application.DestroyForms();
    world->Encoder = {};
    world->PowerPoint = {};
    world->WindowStates.clear();
  }
}

TEST_F(SessionTest, NoSlideShowWindowEndsTheProgramOnce) {
  world->PowerPoint.WindowNever = true;
  Prepare();
  const std::uint64_t from = Now();
  std::uint64_t shownAt = 0;
  widgets->OnMessage = [&](const vcl::headless::ShownMessage&) {
    shownAt = Now();
    EXPECT_EQ(world->HookLibrary.Calls.size(), 1u) << "the hook goes after OK";
  };
  Convert({Wait(40000)});
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Error: Cannot start PowerPoint, maybe it has not started running slide show"});
  EXPECT_EQ(shownAt - from, 30000u);
  EXPECT_EQ(world->HookLibrary.Calls.back(), "uninstall");
  EXPECT_TRUE(vcl::Application.Terminated());
  EXPECT_TRUE(world->Encoder.CommandLines.empty());
}

TEST_F(SessionTest, UncreatablePresentationProgramIsStartedFromTheCommandLine) {
  world->PowerPoint.Registered = false;
  world->Processes = {{77, "POWERPNT.EXE"}};
  Prepare();
  Convert({Wait(600), Wait(1500), [&] { Form_cap->Button_stop->Click(); }});
  EXPECT_EQ(world->PowerPoint.ShellStarts,
            std::vector<std::string>{"cmd.exe|/c \"\"C:\\Office\\POWERPNT.EXE\" /s \"C:\\Talks\\deck.pptx\"\""});
  EXPECT_FALSE(Called("SlideShowSettings.Run()"));
  EXPECT_TRUE(Called("GetActiveObject(PowerPoint.Application)"));
  EXPECT_TRUE(Called("Application.ActivePresentation"));
  EXPECT_EQ(Page().Title(), "page3");
}

TEST_F(SessionTest, EveryGraphFailureIsReportedWithItsCode) {
  struct Case {
    const char* Name;
    std::function<void(platform::headless::ScriptedAudio&)> Script;
    int Code;
  };
  auto step = [](GraphFailure f) { return [f](platform::headless::ScriptedAudio& a) { a.FailingStep = f; }; };
  const std::vector<Case> cases = {
      {"lines no longer listed", [](auto&) {}, 1},
      {"a line without mixer", [](auto& a) { a.Devices[0].Pins[0].HasMixer = false; }, 2},
      {"no filter graph", step(GraphFailure::FilterGraph), 0},
      {"no capture builder", step(GraphFailure::CaptureBuilder), 0},
      {"builder refuses the graph", step(GraphFailure::SetFiltergraph), 0},
      {"capture filter not bound", [](auto& a) { a.Devices[0].BindsForGraph = false; }, 3},
      {"capture filter not added", step(GraphFailure::AddCapture), 4},
      {"pipe filter not registered", step(GraphFailure::PipeFilter), 5},
      {"pipe filter not added", step(GraphFailure::AddPipe), 6},
      {"pins not enumerated", step(GraphFailure::EnumPins), 7},
      {"no output pin", [](auto& a) { a.Devices[0].Pins.pop_back(); }, 8},
      {"no stream config", [](auto& a) { a.Devices[0].StreamConfig = false; }, 9},
      {"format unreadable", [](auto& a) { a.Devices[0].FormatReadable = false; }, 10},
      {"format refused", [](auto& a) { a.Devices[0].AcceptsFormat = false; }, 11},
      {"render fails", step(GraphFailure::Render), 12},
      {"no media control", step(GraphFailure::MediaControl), 13},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    Prepare(true, true);
    if (c.Code == 1) AudioCapture->EnumLines(-1);  // the lines no longer match the choice
    c.Script(world->Audio);
    Convert({Wait(600)});
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Error: Cannot build audio capture graph(#" + std::to_string(c.Code) + ")."});
    EXPECT_TRUE(vcl::Application.Terminated());
    EXPECT_TRUE(world->Encoder.CommandLines.empty()) << "no encoder after a failed graph";
    EXPECT_EQ(MediaControl, nullptr);
    EXPECT_EQ(AudioCapture->Graph, nullptr);
    const auto& log = world->Audio.GraphLog;
    const bool removed = std::find(log.begin(), log.end(), "remove Audio Capture") != log.end();
    EXPECT_EQ(removed, c.Code >= 5) << "the filters in the graph are taken out first";
    vcl::Application.DestroyForms();
    widgets->Messages.clear();
    world->Audio = {};
    world->PowerPoint = {};
    world->WindowStates.clear();
    world->HookLibrary.Calls.clear();
  }
}

TEST_F(SessionTest, EncoderThatFallsSilentIsNotWaitedForLongerThanSixSeconds) {
  world->Encoder.Entry = [](int s) { return s <= 2 ? "time=" + std::to_string(s) + ".00 bitrate= 1\r" : std::string(); };
  Prepare();
  std::uint64_t pressed = 0;
  widgets->OnMessage = [&](const vcl::headless::ShownMessage&) {
    EXPECT_EQ(Now() - pressed, 6000u);
  };
  Convert({Wait(4600), [&] {
             pressed = Now();
             Form_cap->Button_stop->Click();
           }});
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Error: Capture thread does not return"});
  EXPECT_TRUE(vcl::Application.Terminated());
}

TEST_F(SessionTest, EncoderThatQuitByItselfIsNotWaitedFor) {
  world->Encoder.QuitsAfterSeconds = 2;
  Prepare();
  std::uint64_t pressed = 0, done = 0;
  Convert({Wait(5600), [&] {
             EXPECT_FALSE(CurrentROdeThread.Assigned());
             pressed = Now();
             Form_cap->Button_stop->Click();
             done = Now();
           }});
  EXPECT_EQ(done, pressed);
  EXPECT_EQ(Page().Title(), "page3");
  EXPECT_EQ(FinalCaptureSeconds, 2);
}

TEST_F(SessionTest, OneSlidePresentationStopsAtItsCopy) {
  world->PowerPoint.Slides = 1;
  Prepare();
  Convert({Wait(600), Wait(6000)});
  EXPECT_EQ(Form_cap->SlideCount, 2);
  EXPECT_EQ(Page().Title(), "page3");
  EXPECT_EQ(FinalCaptureSeconds, 5);
}

TEST_F(SessionTest, StopAfterTheEndMarkerIsIgnored) {
  Prepare();
  Convert({Wait(600), Wait(14950), [&] {
             // The end marker is reached and its stop is queued; the user's Stop comes first.
             ASSERT_TRUE(LastSlideReached);
             Form_cap->Button_stopClick();
             widgets->Advance(200);
           }});
  EXPECT_EQ(std::count(world->PowerPoint.Calls.begin(), world->PowerPoint.Calls.end(), "View.exit()"), 1);
  EXPECT_TRUE(widgets->Messages.empty());
  EXPECT_EQ(Page().Title(), "page3");
}

TEST_F(SessionTest, DvdAuthoringAfterTheRecording) {
  struct Case {
    const char* Name;
    std::function<void(platform::headless::World&)> Script;
    const char* Error;      // nullptr: the conversion ends normally
    bool Canceled;
    bool StreamsKept;
  };
  auto cancelDuring = [](const char* word) {
    return [word](platform::headless::World& w) {
      w.Bridge.OnCall = [word](const std::string& command) {
        if (command.rfind(word, 0) == 0) {  // as the progress page's Cancel does
          CurrentDVDThread.Terminate();
          ConvertCanceled = true;
        }
      };
    };
  };
  const std::vector<Case> cases = {
      {"authored", [](auto&) {}, nullptr, false, false},
      {"cancel while multiplexing", cancelDuring("video2"), nullptr, true, true},
      {"cancel while authoring", cancelDuring("video3"), nullptr, true, false},
      {"multiplexer writes nothing", [](auto& w) { w.Bridge.MultiplexerWrites = false; },
       "Error: Cannot create vob files: the multiplexer wrote nothing into ", false, true},
      {"authoring makes no DVD", [](auto& w) { w.Bridge.AuthoringWrites = false; },
       "Error: Cannot create DVD: the authoring library made no VIDEO_TS folder with .IFO and .VOB files in ", false,
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    world->Bridge = {};
    c.Script(*world);
    // Multiplexing takes a second and a half of the clock.
    world->Bridge.OnCall = [cancel = world->Bridge.OnCall](const std::string& command) {
      if (cancel) cancel(command);
      if (command.rfind("video2", 0) == 0) platform::System().Sleep(1500);
    };
    Prepare(true, true);
    El("combo_outputformat")->SetOuterHTML("<select id=\"combo_outputformat\"><option value=\"2\" selected>DVD</option></select>");
    std::vector<int> positions;
    Convert({Wait(600), Wait(1500), [&] {
               WriteFile(TempFolder + "\\vtemp.m2v", "video");
               WriteFile(TempFolder + "\\atemp.mp2", "sound");
               Form_cap->Button_stop->Click();
               EXPECT_EQ(Form_cap->PageControl1->ActivePage(), Form_cap->TabSheet_progress);
               EXPECT_EQ(Form_cap->Caption(), "Converting now, please wait...");
               // The bar only shows activity: a step every 500 ms, back to 1 after 100.
               for (int i = 0; i < 3; ++i) {
                 positions.push_back(Form_cap->ProgressBar_total->Position());
                 widgets->Advance(500);
               }
               widgets->Advance(2000);
             }});
    EXPECT_EQ(positions, (std::vector<int>{0, 1, 2}));
    ASSERT_GE(world->Bridge.Commands.size(), 1u);
    const std::string temp = TempFolder;
    EXPECT_EQ(world->Bridge.Commands[0], "video2 -f 8 -r 8000 -o \"" + temp + "\\tmp1.vob\" \"" + temp +
                                             "\\vtemp.m2v\" \"" + temp + "\\atemp.mp2\"");
    if (c.Error) {
      ASSERT_EQ(widgets->Messages.size(), 1u);
      EXPECT_EQ(widgets->Messages[0].Text.rfind(c.Error, 0), 0u) << widgets->Messages[0].Text;
      EXPECT_TRUE(vcl::Application.Terminated());
      EXPECT_FALSE(Exists(JobFolder + "\\BuildReport.htm")) << "no report claims a DVD";
      EXPECT_TRUE(Exists(JobFolder));
    } else {
      EXPECT_TRUE(widgets->Messages.empty()) << widgets->Messages[0].Text;
      EXPECT_EQ(Page().Title(), "page3");
      EXPECT_EQ(ConvertCanceled, c.Canceled);
      EXPECT_EQ(Exists(JobFolder + "\\BuildReport.htm"), !c.Canceled);
      EXPECT_FALSE(Exists(TempFolder));
    }
    Form_cap->ProgressBar_total->SetPosition(100);
    Form_cap->Timer3Timer();
    EXPECT_EQ(Form_cap->ProgressBar_total->Position(), 1);
    EXPECT_EQ(Exists(TempFolder + "\\vtemp.m2v"), c.StreamsKept && c.Error);
    const bool authored = world->Bridge.Commands.size() == 2;
    EXPECT_EQ(authored, std::string(c.Name) != "cancel while multiplexing" && std::string(c.Name) != "multiplexer writes nothing");
    if (authored) {
      EXPECT_EQ(world->Bridge.Commands[1], "video3 -x \"" + temp + "\\dvd.xml\"");
      EXPECT_EQ(Exists(JobFolder + "\\DVD\\VIDEO_TS\\VTS_01_1.VOB"), std::string(c.Name) != "authoring makes no DVD")
          << "a DVD made before the cancel stays";
    }
    vcl::Application.DestroyForms();
    widgets->Messages.clear();
    world->PowerPoint = {};
    world->Encoder = {};
    world->WindowStates.clear();
    world->HookLibrary.Calls.clear();
    world->Audio = {};
  }
}

}  // namespace
