// Profiles as a user meets them: Save Profile on page 2, the View Profile link, and
// One-Click Convert from page 1 with the saved choices.
#include <fstream>

#include "OutputCatalogue.h"
#include "WizardFixture.h"
#include "vcl/IniFiles.h"

namespace {

const char* const ProfileIni = "C:\\Users\\user\\AppData\\Local\\Norvane Slidereel\\profile.ini";
const char* const ProfilePage = "C:\\Program Files\\Slidecaster\\profile.html";
const char* const Deck = "C:\\Talks\\deck.pptx";

std::string Fixture(const std::string& name) {
  std::ifstream in(std::string(SLIDECASTER_SOURCE_DIR) + "/tests/native/fixtures/" + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class ProfileTest : public WizardTest {
 protected:
  void SetUp() override {
    WizardTest::SetUp();
    WriteFile(Deck, "deck");
    MakeDir("D:\\Vid\xE9os");
    world->Audio.Devices = {{"Sound Card", {{"Mic"}, {"Stereo Mix"}}}};
  }
  // Page 1 filled in and Next pressed.
  void ToPageTwo(bool automatic, bool audio) {
    Start();
    Set("edit_pptfile", "value", Deck);
    Set("edit_outputpath", "value", "D:\\Vid\xE9os");
    Set(automatic ? "capmode_auto" : "capmode_mannual", "checked", "true");
    Set("edit_transitontime", "value", "12");
    if (audio) Set("checkbox_audiorecording", "checked", "true");
    Click("button_next");
    ASSERT_EQ(Page().Title(), "page2");
  }
  // A saved profile with the given lines in its section.
  void SaveProfileFile(const std::string& keys) {
    WriteFile(ProfileIni, "[Profile]\r\n" + keys);
    WriteFile(ProfilePage, "<html></html>");
  }
  // Presses One-Click Convert on page 1; true when the capture window was shown for the
  // conversion (it closes again at once).
  bool OneClick() {
    bool shown = false;
    Form_cap->OnShow = [&] {
      shown = Form_cap->Modal();
      Form_cap->Close();
    };
    Click("button_oneclickconvert");
    return shown;
  }
};

TEST_F(ProfileTest, SaveWritesTheSettingsAndTheirPage) {
  ToPageTwo(true, true);
  Set("combo_outputformat", "value", "1");
  Click("button_saveprofile");
  EXPECT_EQ(InfoLine(), "Profile has been saved successfully.");
  EXPECT_EQ(ReadFile(ProfileIni), Fixture("profile.ini"));
  // The page declares UTF-8: the output folder's "é" is written as UTF-8.
  EXPECT_EQ(ReadFile(ProfilePage), Fixture("profile.html"));
  EXPECT_EQ(ConvertSettings.OutputFormat, FormatMPEG2);
}

TEST_F(ProfileTest, SaveWithoutSoundKeepsTheIndexesAndListsNoAudio) {
  ConvertSettings.wavein_index = 3;
  ConvertSettings.selline_index = 2;
  ToPageTwo(false, false);
  Click("button_saveprofile");
  const vcl::TIniFile ini(ProfileIni);
  EXPECT_EQ(ini.ReadString("Profile", "wavein_index", "?"), "3");
  EXPECT_EQ(ini.ReadString("Profile", "selline_index", "?"), "2");
  EXPECT_EQ(ini.ReadString("Profile", "CapMode", "?"), "1");
  EXPECT_EQ(ini.ReadString("Profile", "AudioRecording", "?"), "0");
  const std::string page = ReadFile(ProfilePage);
  EXPECT_NE(page.find("<li class=\"rightli\">Mannual</li><li class=\"leftli\">Audio Recording:</li>"
                      "<li class=\"rightli\">No</li><li class=\"leftli\">Output Format:</li>"
                      "<li class=\"rightli\">AVI</li>"),
            std::string::npos)
      << page;
  EXPECT_EQ(page.find("Audio Compress Format"), std::string::npos);
  EXPECT_EQ(page.find("Audio Bitrate"), std::string::npos);
}

TEST_F(ProfileTest, PageThatCannotBeWrittenIsReportedNotSaved) {
  ToPageTwo(true, false);
  WriteFile(ProfilePage, "the earlier profile's page");
  world->ReadOnlyFolders.insert("C:\\PROGRAM FILES\\SLIDECASTER");
  world->FileAttributes["C:\\PROGRAM FILES\\SLIDECASTER\\PROFILE.HTML"].ReadOnly = true;
  Click("button_saveprofile");
  EXPECT_EQ(ErrorLine(), "Cannot write the profile page C:\\Program Files\\Slidecaster\\profile.html.");
  EXPECT_EQ(InfoLine(), "");
  EXPECT_TRUE(Exists(ProfileIni)) << "the settings are written first";

  // The settings file cannot be written either: its own message, and no page is written.
  world->FileAttributes.clear();
  world->ReadOnlyFolders.clear();
  world->ReadOnlyIniFiles.insert(vcl::UpperCase(ProfileIni));
  std::filesystem::remove(world->HostPath(ProfilePage));
  Click("button_saveprofile");
  EXPECT_EQ(ErrorLine(), std::string("Unable to write to ") + ProfileIni);
  EXPECT_FALSE(Exists(ProfilePage));
}

TEST_F(ProfileTest, ViewProfileLinkPointsAtThePageOnceItExists) {
  ToPageTwo(true, false);
  Click("button_saveprofile");
  Click("button_prev");
  EXPECT_EQ(Attr("a_oneclickconvertset", "href"), ProfilePage);
  std::filesystem::remove(world->HostPath(ProfilePage));
  Load(Page1URL);
  EXPECT_EQ(Attr("a_oneclickconvertset", "href"), "#0");
}

TEST_F(ProfileTest, OneClickRefusesWhatItCannotUse) {
  struct Case {
    const char* Name;
    const char* PptFile;
    bool Ini, Page;
    const char* OutputPath;
    const char* Error;
  };
  for (const Case& c : {Case{"presentation missing", "C:\\Talks\\gone.pptx", true, true, "D:\\Vid\xE9os",
                             "Cannot find the PowerPoint file you want to convert, please choose again."},
                        Case{"page deleted by hand", Deck, true, false, "D:\\Vid\xE9os", "Cannot find the Profile you have saved."},
                        Case{"no settings file", Deck, false, true, "D:\\Vid\xE9os", "Cannot find the Profile you have saved."},
                        Case{"output folder gone", Deck, true, true, "E:\\Gone", "Cannot find output path saved in profile."}}) {
    SCOPED_TRACE(c.Name);
    SaveProfileFile(std::string("OutputPath=") + c.OutputPath + "\r\nCapMode=1\r\n");
    if (!c.Ini) std::filesystem::remove(world->HostPath(ProfileIni));
    if (!c.Page) std::filesystem::remove(world->HostPath(ProfilePage));
    Start();
    Set("edit_pptfile", "value", c.PptFile);
    EXPECT_FALSE(OneClick());
    EXPECT_EQ(ErrorLine(), c.Error);
    EXPECT_EQ(Page().Title(), "page1");
    if (std::string(c.Name) == "output folder gone") EXPECT_EQ(ConvertSettings.OutputPath, "E:\\Gone");
    vcl::Application.DestroyForms();
  }
}

TEST_F(ProfileTest, OneClickConvertsWithTheSavedChoices) {
  SaveProfileFile(
      "OutputPath=D:\\Vid\xE9os\r\nCapMode=1\r\nAutoSlideTime=99\r\nAudioRecording=0\r\nwavein_index=5\r\n"
      "selline_index=6\r\nOutputFormat=4\r\nResolution=320*240\r\nVWidth=320\r\nVHeight=240\r\nVCompressFormat=flv\r\n"
      "VFramerate=15.000\r\nVBitrate=500000\r\nACompressFormat=libmp3lame\r\nABitrate=128000\r\n");
  Start();
  ConvertSettings.AutoSlideTime = 20;
  ConvertSettings.wavein_index = 1;
  Set("edit_pptfile", "value", Deck);
  ASSERT_TRUE(OneClick()) << ErrorLine();
  const TConvertSettings& s = ConvertSettings;
  EXPECT_EQ(s.PPTFile, Deck);
  EXPECT_TRUE(s.CapMode);
  EXPECT_EQ(s.AutoSlideTime, 20) << "a manual profile keeps the slide time";
  EXPECT_EQ(s.wavein_index, 1) << "a profile without sound keeps the device";
  EXPECT_EQ(s.OutputFormat, FormatSWF);
  EXPECT_EQ(s.VFramerate, "15.000");
  EXPECT_EQ(s.VBitrate, "500000");
  EXPECT_EQ(Form_cap->Panel_cap->Width(), 320);
  EXPECT_FALSE(Form_main->OneClickPending);
  EXPECT_EQ(JobFolder.rfind("D:\\Vid\xE9os\\", 0), 0u);
  EXPECT_EQ(OutputName, "deck.pptx");
}

TEST_F(ProfileTest, OneClickDvdProfileRunsTheDvdChecks) {
  SaveProfileFile("OutputPath=D:\\Vid\xE9os\r\nCapMode=0\r\nAutoSlideTime=30\r\nOutputFormat=3\r\nVWidth=720\r\nVHeight=480\r\n");
  world->DiskFreeBytes["D:"] = 200ull * 1048576;
  Start();
  Set("edit_pptfile", "value", Deck);
  EXPECT_FALSE(OneClick());
  EXPECT_EQ(ErrorLine(), "Output disk free size must be greater than 300MB");
  EXPECT_EQ(ConvertSettings.OutputFormat, FormatDVD);
  EXPECT_EQ(ConvertSettings.AutoSlideTime, 30) << "an automatic profile brings its slide time, unchecked";

  world->DiskFreeBytes["D:"] = 400ull * 1048576;
  EXPECT_TRUE(OneClick()) << ErrorLine();
  EXPECT_EQ(OutputName, "DVD");
}

}  // namespace
