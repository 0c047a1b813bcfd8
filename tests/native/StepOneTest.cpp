// Step 1 as a user meets it: the first set-up with the audio device lists, the browse
// dialogs, and Next with every check and message.
#include "AudioCap.h"
#include "WizardFixture.h"
#include "vcl/SysUtils.h"

namespace {

using platform::headless::AudioFailurePoint;
using platform::headless::ScriptedAudioDevice;

using StepOneTest = WizardTest;

TEST_F(StepOneTest, FirstSetUpFillsThePageFromTheSettingsAndTheDevices) {
  world->Audio.Devices = {{"Line In", {{"Microphone"}, {" Stereo Mix "}, {"Line"}}}, {"USB Mic", {{"Mic"}}}};
  WriteFile("C:\\Users\\user\\AppData\\Local\\Norvane Slidereel\\Config.ini",
            "[Global]\r\nOutputPath=C:\\Users\\user\\Documents\r\nAutoSlideTime=42\r\n");
  Start();
  EXPECT_EQ(Attr("edit_outputpath", "value"), "C:\\Users\\user\\Documents");
  EXPECT_EQ(Attr("edit_transitontime", "value"), "42");
  EXPECT_EQ(Attr("capmode_mannual", "checked"), "True");
  EXPECT_EQ(Attr("checkbox_audiorecording", "disabled"), "False");
  EXPECT_TRUE(Page().Bound("combo_wavein"));
  ExpectMarkup("combo_wavein",
               "<select  ID=\"combo_wavein\"><option value=\"0\">Line In</option><option value=\"1\">USB Mic</option>"
               "</select>");
  ExpectMarkup("combo_recordctl",
               "<select  ID=\"combo_recordctl\"><option value=\"0\">Microphone</option>"
               "<option value=\"1\" selected> Stereo Mix </option><option value=\"2\">Line</option></select>");
  EXPECT_TRUE(widgets->Messages.empty());
  EXPECT_TRUE(Form_main->PageOneReady);
}

TEST_F(StepOneTest, DeviceChoiceRebuildsTheLineList) {
  struct Case {
    const char* Name;
    std::vector<platform::headless::ScriptedPin> Pins;
    const char* Lines;  // the line list after choosing the device; nullptr: unchanged
  };
  const char* const firstLines = "<select  ID=\"combo_recordctl\"><option value=\"0\">Mic</option></select>";
  for (const Case& c : {
           Case{"stereo mix preselected", {{"Line"}, {"Stereo Mix"}},
                "<select  ID=\"combo_recordctl\"><option value=\"0\">Line</option>"
                "<option value=\"1\" selected>Stereo Mix</option></select>"},
           Case{"lower case is another line", {{"stereo mix"}, {"Line"}},
                "<select  ID=\"combo_recordctl\"><option value=\"0\">stereo mix</option>"
                "<option value=\"1\">Line</option></select>"},
           Case{"output pins are no lines", {{"Out", false}, {"Line", true}},
                "<select  ID=\"combo_recordctl\"><option value=\"0\">Line</option></select>"},
           Case{"only output pins", {{"Capture", false}}, nullptr},
       }) {
    SCOPED_TRACE(c.Name);
    world->Audio.Devices = {{"First", {{"Mic"}}}, {"Second", c.Pins}};
    Start();
    Set("combo_wavein", "value", "1");
    Click("combo_wavein");
    ExpectMarkup("combo_recordctl", c.Lines ? c.Lines : firstLines);
    if (c.Lines) {
      EXPECT_TRUE(widgets->Messages.empty());
    } else {
      EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Error: Cannot get audio line infomation"});
      EXPECT_EQ(widgets->Messages[0].Type, vcl::TMsgDlgType::mtError);
      EXPECT_EQ(AudioCapture->LineCount, 0);
    }
    vcl::Application.DestroyForms();
    widgets->Messages.clear();
  }
}

TEST_F(StepOneTest, DeviceListsOfUnusualSystems) {
  struct Case {
    const char* Name;
    std::function<void(platform::headless::ScriptedAudio&)> Script;
    const char* Devices;  // the device list's markup; nullptr: sound cannot be recorded
    std::vector<std::string> Boxes;
    // A click of the device list's first choice; a device listed before a failure keeps its lines.
    bool ClickFindsNoLines = true;
  };
  const std::vector<Case> cases = {
      {"no device", [](auto&) {}, nullptr, {}},
      {"no device enumerator", [](auto& a) { a.EnumeratorMissing = true; a.Devices = {{"Mic", {{"In"}}}}; }, nullptr, {}},
      {"category refused", [](auto& a) { a.CategoryFails = true; a.Devices = {{"Mic", {{"In"}}}}; }, nullptr, {}},
      {"unreadable names listed empty",
       [](auto& a) {
         a.Devices = {{"Hidden", {{"In"}}}, {"Bagless", {{"In"}}}, {"Mic", {{"In"}}}};
         a.Devices[0].NameReadable = false;
         a.Devices[1].PropertyBagBinds = false;
       },
       "<select  ID=\"combo_wavein\"><option value=\"0\"></option><option value=\"1\"></option>"
       "<option value=\"2\">Mic</option></select>",
       {},
       false},
      {"first device without lines",
       [](auto& a) { a.Devices = {{"Speakers", {{"Out", false}}}, {"Mic", {{"In"}}}}; },
       "<select  ID=\"combo_wavein\"><option value=\"0\">Speakers</option><option value=\"1\">Mic</option></select>",
       {"Error: Cannot get audio line infomation"}},
      {"failure asking for the category",
       [](auto& a) {
         a.Devices = {{"Mic", {{"In"}}}};
         a.Failure.At = AudioFailurePoint::Category;
         a.Failure.Text = "Class not registered";
       },
       nullptr, {"Error: Class not registered#1"}},
      {"failure binding the second device's property bag",
       [](auto& a) {
         a.Devices = {{"Mic", {{"In"}}}, {"Line", {{"In"}}}};
         a.Failure.At = AudioFailurePoint::PropertyBag;
         a.Failure.Device = 1;
       },
       nullptr, {"Error: Unspecified error#3"}, false},
      {"failure reading a name",
       [](auto& a) {
         a.Devices = {{"Mic", {{"In"}}}};
         a.Failure.At = AudioFailurePoint::FriendlyName;
       },
       nullptr, {"Error: Unspecified error#4"}},
      {"failure handing out the second device",
       [](auto& a) {
         a.Devices = {{"Mic", {{"In"}}}, {"Line", {{"In"}}}};
         a.Failure.At = AudioFailurePoint::Next;
         a.Failure.Device = 1;
       },
       nullptr, {"Error: Unspecified error#6"}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    world->Audio = {};
    c.Script(world->Audio);
    Start();
    EXPECT_EQ(BoxTexts(), c.Boxes);
    EXPECT_TRUE(Form_main->PageOneReady);
    // The rest of page 1 works; a click of the device list lists lines or says it cannot.
    widgets->Messages.clear();
    Click("combo_wavein");
    EXPECT_EQ(BoxTexts(), c.ClickFindsNoLines ? std::vector<std::string>{"Error: Cannot get audio line infomation"}
                                              : std::vector<std::string>{});
    if (c.Devices) {
      ExpectMarkup("combo_wavein", c.Devices);
      EXPECT_EQ(Attr("checkbox_audiorecording", "disabled"), "False");
    } else {
      EXPECT_EQ(Attr("checkbox_audiorecording", "disabled"), "True");
    }
    vcl::Application.DestroyForms();
    widgets->Messages.clear();
  }
}

TEST_F(StepOneTest, PresentationBrowseFiltersByTheRegisteredVersion) {
  struct Case {
    const char* Version;
    std::optional<std::string> Answer;
    const char* Filter;
    const char* Field;
  };
  for (const Case& c : {Case{"11.0", std::string("C:\\Talks\\old.ppt"), "Powerpoint files (*.ppt;*.pps)|*.PPT;*.PPS",
                             "C:\\Talks\\old.ppt"},
                        Case{"12.0", std::nullopt,
                             "Powerpoint files (*.ppt;*.pptx;*.pptm;*.ppsx;*.ppsm;*.pps)|"
                             "*.PPT;*.PPTX;*.PPTM;*.PPSX;*.PPSM;*.PPS",
                             "typed"}}) {
    SCOPED_TRACE(c.Version);
    Start();
    world->SetRegistryValue(Key, "PPTVersion", c.Version);
    PowerPointVersion = vcl::StrToInt(std::string(c.Version).substr(0, 2));
    Set("edit_pptfile", "value", "typed");
    world->CurrentDir = "C:\\Users";
    widgets->OpenDialogAnswers.push_back(c.Answer);
    Click("button_pptbrowser");
    EXPECT_EQ(Form_main->OpenDialog_inout.Filter, c.Filter);
    EXPECT_EQ(Attr("edit_pptfile", "value"), c.Field);
    EXPECT_EQ(world->CurrentDir, "C:\\Program Files\\Slidecaster") << "the dialog's folder is left";
    vcl::Application.DestroyForms();
  }
}

TEST_F(StepOneTest, OutputFolderBrowseAppendsTheVideoFolder) {
  Start();
  for (const auto& [picked, field] : std::vector<std::pair<std::optional<std::string>, std::string>>{
           {std::string("D:\\"), "D:\\Output Video"},
           {std::string("D:\\Videos"), "D:\\Videos\\Output Video"},
           {std::nullopt, "D:\\Videos\\Output Video"}}) {
    widgets->FolderAnswers.push_back(picked);
    Click("button_outputpathbrowser");
    EXPECT_EQ(Attr("edit_outputpath", "value"), field);
  }
  EXPECT_EQ(widgets->FolderCaptions, std::vector<std::string>(3, "Please choose output file path"));
  EXPECT_FALSE(Exists("D:\\Output Video")) << "Next makes the folder, not the picker";
  EXPECT_TRUE(widgets->Messages.empty());

  // The program's folder has gone: said in a box, and the page goes on.
  std::filesystem::remove_all(world->HostPath("C:\\Program Files\\Slidecaster"));
  widgets->FolderAnswers.push_back(std::nullopt);
  Click("button_outputpathbrowser");
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Error: Cannot set current directory. "});
  EXPECT_FALSE(vcl::Application.Terminated());
}

TEST_F(StepOneTest, NextChecksThePageInOrder) {
  struct Case {
    const char* Name;
    const char* PptFile;
    const char* OutputPath;
    bool Auto;
    const char* SlideTime;
    const char* Error;  // nullptr: page 2 follows
    int SlideTimeAfter;
  };
  const char* const deck = "C:\\Talks\\deck.pptx";
  const std::vector<Case> cases = {
      {"missing presentation", "C:\\Talks\\gone.pptx", "C:\\Out", true, "12",
       "Cannot find the PowerPoint file you want to convert, please choose again.", 7},
      {"empty output path", deck, "", true, "12", "Please choose output directory.", 7},
      {"blanks only", deck, "   ", true, "12", "Cannot find drive infomation in output path, please choose again.", 7},
      {"relative path", deck, "Videos\\Out", true, "12",
       "Cannot find drive infomation in output path, please choose again.", 7},
      {"parent missing", deck, "C:\\a\\b\\Output Video", true, "12", "Cannot create output directory", 7},
      {"letters in automatic mode", deck, "C:\\Output Video", true, "ten",
       "Slide transition time you set is not valid, please set again.", 7},
      {"4 seconds", deck, "C:\\Output Video", true, "4", "Slide transition time must be between 5 and 1800 secs.", 4},
      {"1801 seconds", deck, "C:\\Output Video", true, "1801", "Slide transition time must be between 5 and 1800 secs.",
       1801},
      {"5 seconds", deck, "C:\\Output Video", true, "5", nullptr, 5},
      {"1800 seconds", deck, " C:\\Output Video ", true, "1800", nullptr, 1800},
      {"letters in manual mode", deck, "C:\\Output Video", false, "ten", nullptr, 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    WriteFile(deck, "deck");
    world->Processes = {{40, "rode.exe"}, {41, "explorer.exe"}, {42, "C:\\Tools\\RODE.EXE"}};
    world->Terminated.clear();
    Start();
    ConvertSettings.AutoSlideTime = 7;
    Set("edit_pptfile", "value", c.PptFile);
    Set("edit_outputpath", "value", c.OutputPath);
    Set(c.Auto ? "capmode_auto" : "capmode_mannual", "checked", "true");
    Set("edit_transitontime", "value", c.SlideTime);
    Click("button_next");
    EXPECT_EQ(world->Terminated, (std::vector<std::uint32_t>{40, 42})) << "encoders are ended before any check";
    EXPECT_EQ(ConvertSettings.PPTFile, c.PptFile);
    EXPECT_EQ(ConvertSettings.OutputPath, c.OutputPath) << "kept as typed";
    EXPECT_EQ(ConvertSettings.CapMode, !c.Auto);
    EXPECT_EQ(ConvertSettings.AutoSlideTime, c.SlideTimeAfter);
    if (c.Error) {
      EXPECT_EQ(Page().Title(), "page1");
      EXPECT_EQ(ErrorLine(), c.Error);
    } else {
      EXPECT_EQ(Page().Title(), "page2");
      EXPECT_TRUE(Exists("C:\\Output Video"));
    }
    EXPECT_TRUE(widgets->Messages.empty());
    vcl::Application.DestroyForms();
    std::filesystem::remove_all(world->HostPath("C:\\Output Video"));
  }
}

TEST_F(StepOneTest, UnreadableChoiceOnNextEndsTheProgramWithItsBox) {
  world->Audio.Devices = {{"Mic", {{"In"}}}};
  WriteFile("C:\\Talks\\deck.pptx", "deck");
  Start();
  Set("edit_pptfile", "value", "C:\\Talks\\deck.pptx");
  Set("checkbox_audiorecording", "checked", "true");
  El("combo_recordctl")->SetOuterHTML("<select id=\"combo_recordctl\"><option value=\"x\">x</option></select>");
  Click("button_next");
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Error: 'x' is not a valid integer value"});
  EXPECT_TRUE(vcl::Application.Terminated());
  EXPECT_EQ(Page().Title(), "page1");
}

}  // namespace
