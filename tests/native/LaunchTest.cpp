// Step 2 as a user meets it: the format choice and its parameter summary, the advanced
// settings link, and Convert with its checks, job folders and capture window layout.
#include "AudioCap.h"
#include "OutputCatalogue.h"
#include "WizardFixture.h"
#include "vcl/IniFiles.h"
#include "vcl/SysUtils.h"

namespace {

void Pick(vcl::TComboBox* list, const std::string& caption) {
  for (int i = 0; i < list->Count(); ++i)
    if (list->Item(i) == caption) return list->Select(i);
  ADD_FAILURE() << list->Name << " has no entry " << caption;
}

class LaunchTest : public WizardTest {
 protected:
  // Through page 1 with a presentation and an output folder, onto page 2.
  void ToPageTwo(const std::string& pptFile = "C:\\Talks\\deck.pptx", const std::string& outputPath = "D:\\Videos",
                 bool audio = false) {
    WriteFile(pptFile, "deck");
    MakeDir("D:\\");
    world->Audio.Devices = {{"Mic", {{"In"}}}};
    Start();
    Set("edit_pptfile", "value", pptFile);
    Set("edit_outputpath", "value", outputPath);
    if (audio) Set("checkbox_audiorecording", "checked", "true");
    Click("button_next");
    ASSERT_EQ(Page().Title(), "page2");
  }
  // The AVI page's own size.
  void AviSize(int width, int height) {
    Pick(Form_advanced->ComboBox_avi_vresolution, "Customize...");
    Form_advanced->Edit_avi_width->Type(std::to_string(width));
    Form_advanced->Edit_avi_height->Type(std::to_string(height));
  }
  // Presses Convert; true when the capture window was shown for the conversion (it closes
  // again at once: the recording itself is not part of the launch).
  bool Convert() {
    bool shown = false;
    Form_cap->OnShow = [&] {
      shown = Form_cap->Modal();
      Form_cap->Close();
    };
    Click("button_convert");
    return shown;
  }
  void OfferFormat(const char* value) {
    El("combo_outputformat")->SetOuterHTML(std::string("<select id=\"combo_outputformat\"><option value=\"") + value +
                                           "\" selected>x</option></select>");
  }
};

std::string Summary(const char* resolution, const char* codec, const char* rate, const char* bitrate,
                    const std::string& audio) {
  auto row = [](const std::string& l, const std::string& v) {
    return "<li class=\"leftli\">" + l + ":</li><li class=\"rightli\">" + v + "</li>";
  };
  return "<ul id=\"videoparalist\">" + row("Resolution", resolution) + row("Video Compress Format", codec) +
         row("Video Framerate", rate) + row("Video Bitrate", bitrate) + audio + "</ul>";
}

TEST_F(LaunchTest, FormatChoiceShowsItsParameterSummary) {
  ToPageTwo("C:\\Talks\\deck.pptx", "D:\\Videos", true);
  EXPECT_EQ(ConvertSettings.OutputFormat, FormatAVI);
  ExpectMarkup("videoparalist",
               Summary("640x480", "MPEG4", "15 fps", "500 kbps",
                       "<li class=\"leftli\">Audio Compress Format:</li><li class=\"rightli\">MP3</li>"
                       "<li class=\"leftli\">Audio Bitrate:</li><li class=\"rightli\">128 kbps</li>"));
  ConvertSettings.AudioRecording = false;
  for (const auto& [value, format] : std::vector<std::pair<const char*, int>>{{"1", FormatMPEG2}, {"9", FormatAVI}}) {
    Load(Page2URL);
    Set("combo_outputformat", "value", value);
    Click("combo_outputformat");
    EXPECT_EQ(ConvertSettings.OutputFormat, format) << value;
  }
  ExpectMarkup("videoparalist", Summary("640x480", "MPEG4", "15 fps", "500 kbps",
                                        "<li class=\"leftli\">Audio:</li><li class=\"rightli\">No</li>"));
}

TEST_F(LaunchTest, AdvancedSettingsOpenOnTheListedFormatAndRefreshTheSummary) {
  ToPageTwo();
  Set("combo_outputformat", "value", "1");
  Click("combo_outputformat");
  widgets->WhenIdle([&] {
    EXPECT_TRUE(Form_advanced->Modal());
    EXPECT_EQ(Form_advanced->PageControl1->ActivePage(), Form_advanced->TabSheet_mpg2);
    Pick(Form_advanced->ComboBox_mpg2_standard, "PAL(25 fps)");
    Form_advanced->Button_ok->Click();
  });
  Click("advanced_settings");
  EXPECT_FALSE(Form_advanced->Visible());
  EXPECT_EQ(ConvertSettings.OutputFormat, FormatMPEG2);
  EXPECT_NE(El("videoparalist")->OuterHTML().find("PAL(25 fps)"), std::string::npos) << El("videoparalist")->OuterHTML();
}

TEST_F(LaunchTest, CaptureWindowIsLaidOutForTheVideo) {
  struct Case {
    const char* Name;
    int Width, Height;
    int ClientWidth, ClientHeight, PanelLeft, PanelTop;
  };
  // Headless frame 6 x 25 and page border 4: the capture area sits 8 inside the client.
  for (const Case& c : {Case{"320x240 centred in the smallest area", 320, 240, 608, 498, 140, 80},
                        Case{"640x480 fills its area", 640, 480, 648, 578, 0, 0},
                        Case{"wide and low", 800, 150, 808, 498, 0, 125},
                        Case{"narrow and high", 150, 700, 608, 798, 225, 0}}) {
    SCOPED_TRACE(c.Name);
    ToPageTwo();
    AviSize(c.Width, c.Height);
    ASSERT_TRUE(Convert()) << ErrorLine();
    const TForm_cap& cap = *Form_cap;
    EXPECT_EQ(cap.ClientWidth(), c.ClientWidth);
    EXPECT_EQ(cap.ClientHeight(), c.ClientHeight);
    EXPECT_EQ(cap.Panel_cap->Left(), c.PanelLeft);
    EXPECT_EQ(cap.Panel_cap->Top(), c.PanelTop);
    EXPECT_EQ(cap.Panel_cap->Width(), c.Width);
    EXPECT_EQ(cap.Panel_cap->Height(), c.Height);
    // Five columns over the capture area; the first holds the cancel button and both texts.
    const int w = (c.ClientWidth - 8) / 5;
    EXPECT_EQ(cap.Button_cancel->Left(), w - 37);
    EXPECT_EQ(cap.CheckBox_autostop->Left(), w - 37);
    EXPECT_EQ(cap.Label_free->Left(), w - 37);
    EXPECT_EQ(cap.Button_stop->Left(), 2 * w - 37);
    EXPECT_EQ(cap.Button_pause->Left(), 3 * w - 37);
    EXPECT_EQ(cap.Button_next->Left(), 4 * w - 37);
    // Centred in the 1280 x 994 work area.
    EXPECT_EQ(cap.Left(), 640 - cap.OuterWidth() / 2);
    EXPECT_EQ(cap.Top(), 497 - cap.OuterHeight() / 2);
    vcl::Application.DestroyForms();
  }
}

TEST_F(LaunchTest, ConvertRefusesWhatCannotBeRecorded) {
  struct Case {
    const char* Name;
    std::function<void()> Arrange;
    const char* Error;
  };
  const std::vector<Case> cases = {
      {"presentation gone", [this] { world->Processes = {}; std::filesystem::remove(world->HostPath("C:\\Talks\\deck.pptx")); },
       "Cannot find the PowerPoint file you want to convert."},
      {"odd width before any other size check", [this] { AviSize(641, 480); }, "Resolution must be a multiple of 2."},
      {"odd height", [this] { AviSize(640, 99); }, "Resolution must be a multiple of 2."},
      {"too small", [this] { AviSize(148, 100); }, "Resolution must be higher than 150x100."},
      {"larger than the screen",
       [this] {
         world->Monitors = {{0, 0, 1024, 768, true}};
         AviSize(1024, 768);
       },
       "Resolution must be lower than 1010x645, or try to set higher screen resolution."},
      {"high but narrow", [this] { world->Monitors = {{0, 0, 1024, 700, true}}; AviSize(400, 600); },
       "Resolution must be lower than 1010x577, or try to set higher screen resolution."},
      {"no primary monitor", [this] { world->Monitors = {{0, 0, 800, 600, false}, {800, 0, 800, 600, false}}; },
       "Cannot find primary monitor in your system."},
      {"output folder gone", [this] { std::filesystem::remove_all(world->HostPath("D:\\Videos")); },
       "Cannot create output directory."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    ToPageTwo();
    world->Processes = {{7, "POWERPNT.EXE"}, {8, "rode.exe"}, {9, "powerpnt.exe"}};
    world->Terminated.clear();
    c.Arrange();
    EXPECT_FALSE(Convert());
    EXPECT_EQ(ErrorLine(), c.Error);
    EXPECT_EQ(Page().Title(), "page2");
    if (std::string(c.Name) != "presentation gone")
      EXPECT_EQ(world->Terminated, (std::vector<std::uint32_t>{7, 9, 8})) << "the presentation program first";
    // A size check comes after the job folder: it stays made.
    if (std::string(c.Error).rfind("Resolution", 0) == 0) EXPECT_TRUE(Exists(TempFolder));
    vcl::Application.DestroyForms();
    std::filesystem::remove_all(world->HostPath("D:\\Videos"));
  }
}

TEST_F(LaunchTest, JobFoldersAreNamedByFormatAndLaunchTime) {
  struct Case {
    const char* Name;
    int CodePage;
    const char* PptFile;
    const char* OutputPath;
    const char* ListValue;
    const char* OutputName;
    const char* JobFolder;
  };
  const std::vector<Case> cases = {
      {"video", 1252, "C:\\Talks\\deck.pptx", "D:\\Videos", "0", "deck.pptx",
       "D:\\Videos\\Dec 09, 2026, PM 05-30-05, deck.pptx"},
      {"dvd", 1252, "C:\\Talks\\deck.pptx", "D:\\Videos", "2", "DVD", "D:\\Videos\\12 09, 2026, pm 05-30-05 DVD"},
      {"accented dvd folder on a single-byte code page", 1252, "C:\\Talks\\deck.pptx", "D:\\Vid\xE9os", "2", "DVD",
       "D:\\Vid\xE9os\\12 09, 2026, pm 05-30-05 DVD"},
      // On code page 932 the second character's trail byte is "\".
      {"double-byte presentation name", 932, "C:\\Talks\\\x94\xAD\x95\x5C.pptx", "D:\\Videos", "0",
       "\x94\xAD\x95\x5C.pptx", "D:\\Videos\\Dec 09, 2026, PM 05-30-05, \x94\xAD\x95\x5C.pptx"},
      {"double-byte output folder", 932, "C:\\Talks\\deck.pptx", "D:\\\x94\xAD\x95\x5C", "0", "deck.pptx",
       "D:\\\x94\xAD\x95\x5C\\Dec 09, 2026, PM 05-30-05, deck.pptx"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    world->CodePage = c.CodePage;
    world->Clock.SetLocalTime({2026, 12, 9, 17, 30, 5, 0});
    world->DiskFreeBytes["D:"] = 300ull * 1048576;
    ToPageTwo(c.PptFile, c.OutputPath);
    OfferFormat(c.ListValue);
    EXPECT_TRUE(Convert()) << ErrorLine();
    EXPECT_EQ(OutputName, c.OutputName);
    EXPECT_EQ(JobFolder, c.JobFolder);
    EXPECT_EQ(TempFolder, std::string(c.JobFolder) + "\\temp");
    EXPECT_TRUE(Exists(TempFolder));
    vcl::Application.DestroyForms();
    std::filesystem::remove_all(world->HostPath("D:\\"));
  }
}

TEST_F(LaunchTest, DvdNeedsASingleByteFolderAndRoomOnTheDrive) {
  struct Case {
    const char* Name;
    int CodePage;
    const char* OutputPath;
    std::uint64_t FreeMB;
    const char* Error;
  };
  for (const Case& c : {Case{"double-byte folder", 932, "D:\\\x94\xAD\x95\x5C", 5000,
                             "DVD output path cannot include multibyte characters, please use english characters."},
                        Case{"299 MB free", 1252, "D:\\Videos", 299, "Output disk free size must be greater than 300MB"},
                        Case{"300 MB free", 1252, "D:\\Videos", 300, ""}}) {
    SCOPED_TRACE(c.Name);
    world->CodePage = c.CodePage;
    world->DiskFreeBytes["D:"] = c.FreeMB * 1048576;
    ToPageTwo("C:\\Talks\\deck.pptx", c.OutputPath);
    OfferFormat("2");
    EXPECT_EQ(Convert(), *c.Error == '\0');
    EXPECT_EQ(ErrorLine(), c.Error);
    EXPECT_EQ(ConvertSettings.OutputFormat, FormatDVD);
    vcl::Application.DestroyForms();
    std::filesystem::remove_all(world->HostPath("D:\\"));
  }
}

TEST_F(LaunchTest, ConvertStoresTheLaunchSettingsAndTheChosenParameters) {
  ToPageTwo("C:\\Talks\\deck.pptx", "D:\\Videos");
  Set("combo_outputformat", "value", "1");
  Click("combo_outputformat");
  Pick(Form_advanced->ComboBox_mpg2_standard, "PAL(25 fps)");
  ASSERT_TRUE(Convert()) << ErrorLine();
  const TConvertSettings& s = ConvertSettings;
  EXPECT_EQ(s.OutputFormat, FormatMPEG2);
  EXPECT_EQ(s.Resolution, "640*480");
  EXPECT_EQ(s.VWidth, 640);
  EXPECT_EQ(s.VHeight, 480);
  EXPECT_EQ(s.VCompressFormat, "mpeg2video");
  EXPECT_EQ(s.VFramerate, "25.000");
  EXPECT_EQ(s.VBitrate, "500000");
  EXPECT_EQ(s.ACompressFormat, "mp2");
  EXPECT_EQ(s.ABitrate, "224000");
  EXPECT_FALSE(Form_main->OneClickPending);
  const vcl::TIniFile config(ConfigFile);
  EXPECT_EQ(config.ReadString("Global", "OutputPath", "?"), "D:\\Videos") << "written at launch";
}

}  // namespace
