// The build report and the DVD authoring thread's documents and commands, and whole DVD
// authorings on the virtual clock with the scripted bridge.
#include <fstream>

#include "CapForm.h"
#include "DVDConvertThread.h"
#include "Fixture.h"

namespace {

std::string Fixture(const std::string& name) {
  std::ifstream in(std::string(SLIDECASTER_SOURCE_DIR) + "/tests/native/fixtures/" + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class ReportTest : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    vcl::Application.Initialize();
    vcl::Application.CreateForm(Form_cap);
    world->Clock.SetLocalTime({2026, 12, 9, 17, 30, 5, 0});
    JobFolder = "D:\\Out\\J";
    MakeDir(JobFolder);
    TConvertSettings& s = ConvertSettings;
    s.PPTFile = "C:\\Talks\\deck.pptx";
    s.ResolutionDes = "640x480";
    s.VCompressFormatDes = "MPEG4";
    s.VFramerateDes = "15 fps";
    s.VBitrateDes = "500 kbps";
    s.ACompressFormatDes = "MP3";
    s.ABitrateDes = "128 kbps";
  }
};

TEST_F(ReportTest, ReportListsTheConversionWithOrWithoutSound) {
  for (const auto& [audio, fixture] : std::vector<std::pair<bool, const char*>>{{true, "BuildReport-audio.htm"},
                                                                                {false, "BuildReport.htm"}}) {
    ConvertSettings.AudioRecording = audio;
    Form_cap->WriteBuildReport();
    EXPECT_EQ(ReadFile(JobFolder + "\\BuildReport.htm"), Fixture(fixture)) << fixture;
  }
}

TEST_F(ReportTest, ReportTakesPathsAsTheyAreInUtf8) {
  ConvertSettings.PPTFile = "C:\\R&D <draft>\\Pr\xE9sentation.pptx";
  Form_cap->WriteBuildReport();
  EXPECT_NE(ReadFile(JobFolder + "\\BuildReport.htm").find("<span class=\"graybox\">C:\\R&D <draft>\\Pr\xC3\xA9sentation.pptx</span>"),
            std::string::npos);
}

TEST_F(ReportTest, ReportIntoAFolderThatIsGoneFails) {
  JobFolder = "D:\\Gone";
  EXPECT_THROW(Form_cap->WriteBuildReport(), std::exception);
}

TEST_F(ReportTest, DvdCommandsAndControlDocument) {
  struct Case {
    const char* Name;
    bool Audio;
    const char* Codec;
    const char* Tail;  // after the video stream
    bool Supported;
  };
  JobFolder = "C:\\Out\\J";
  TempFolder = "C:\\Out\\J\\temp";
  for (const Case& c : {Case{"no sound", false, "mp2", " ", true},
                        Case{"mp2", true, "mp2", " \"C:\\Out\\J\\temp\\atemp.mp2\"", true},
                        Case{"ac3", true, "ac3", " \"C:\\Out\\J\\temp\\atemp.ac3\"", true},
                        Case{"another codec", true, "MP2", " ", false}}) {
    SCOPED_TRACE(c.Name);
    ConvertSettings.AudioRecording = c.Audio;
    ConvertSettings.ACompressFormat = c.Codec;
    bool supported = !c.Supported;
    EXPECT_EQ(MultiplexCommand(supported), std::string("video2 -f 8 -r 8000 -o \"C:\\Out\\J\\temp\\tmp1.vob\" "
                                                       "\"C:\\Out\\J\\temp\\vtemp.m2v\"") + c.Tail);
    EXPECT_EQ(supported, c.Supported);
  }
  EXPECT_EQ(AuthoringCommand(), "video3 -x \"C:\\Out\\J\\temp\\dvd.xml\"");
  EXPECT_EQ(DvdXml(), Fixture("dvd.xml"));
  JobFolder = "C:\\R&D \"x\" <'y'>";
  TempFolder = JobFolder + "\\temp";
  EXPECT_NE(DvdXml().find("<dvdauthor dest=\"C:\\R&amp;D &quot;x&quot; &lt;&apos;y&apos;&gt;\\DVD\">\r\n"),
            std::string::npos);
}

}  // namespace
