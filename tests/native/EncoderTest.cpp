// The encoder's command line for every format, and the seconds read from its progress.
#include "Fixture.h"
#include "OutputCatalogue.h"
#include "ROdeThread.h"

namespace {

using EncoderTest = HeadlessTest;

TEST_F(EncoderTest, CommandLineForEveryFormat) {
  struct Case {
    const char* Name;
    std::uint8_t Format;
    bool Audio;
    const char* AudioCodec;
    const char* Ending;  // after " -ab <bitrate>"
  };
  const std::string pipe = " -f s16le -ac 2 -ar 44100 -i \"\\\\.\\pipe\\norvanereelcast_audiofilter\" ";
  for (const Case& c : {
           Case{"avi with audio", FormatAVI, true, "mp2", " \"C:\\Out\\J\\talk.ppt.avi\""},
           Case{"avi without audio", FormatAVI, false, "libmp3lame", " \"C:\\Out\\J\\talk.ppt.avi\""},
           Case{"mpeg-2", FormatMPEG2, true, "mp2", " \"C:\\Out\\J\\talk.ppt.mpg\""},
           Case{"swf", FormatSWF, false, "libmp3lame", " \"C:\\Out\\J\\talk.ppt.swf\""},
           Case{"dvd with mp2", FormatDVD, true, "mp2",
                " \"C:\\Out\\J\\temp\\vtemp.m2v\" \"C:\\Out\\J\\temp\\atemp.mp2\""},
           Case{"dvd with ac3", FormatDVD, true, "ac3",
                " \"C:\\Out\\J\\temp\\vtemp.m2v\" \"C:\\Out\\J\\temp\\atemp.ac3\""},
           Case{"dvd with MP2 in capitals", FormatDVD, true, "MP2",
                " \"C:\\Out\\J\\temp\\vtemp.m2v\" \"C:\\Out\\J\\temp\\atemp.ac3\""},
           Case{"dvd without audio", FormatDVD, false, "mp2", " \"C:\\Out\\J\\temp\\vtemp.m2v\""},
           Case{"reserved code", 1, true, "mp2", ""},
       }) {
    SCOPED_TRACE(c.Name);
    ProgramFolder = "C:\\Tools";
    JobFolder = "C:\\Out\\J";
    TempFolder = "C:\\Out\\J\\temp";
    OutputName = "talk.ppt";
    TConvertSettings& s = ConvertSettings;
    s.OutputFormat = c.Format;
    s.AudioRecording = c.Audio;
    s.VCompressFormat = "mpeg4";
    s.VFramerate = "25.000";
    s.VBitrate = "1000000";
    s.Resolution = "640*480";
    s.ACompressFormat = c.AudioCodec;
    s.ABitrate = "128000";
    EXPECT_EQ(EncoderCommandLine(656), std::string("\"C:\\Tools\\rode.exe\"") + (c.Audio ? pipe : "") +
                                           " -f win32grab -i :0+0,0,656 -vcodec mpeg4 -r 25.000 -b 1000000 -s 640*480"
                                           " -acodec " + c.AudioCodec + " -ab 128000" + c.Ending);
  }
}

TEST(CaptureTime, IsTheFirstEntrysWholeSeconds) {
  struct Case {
    const char* Chunk;
    const char* Seconds;
  };
  for (const Case& c : {Case{"size=10 time=10.00 bitrate=900", "10"}, Case{"time=65.99 bitrate=812", "65"},
                        Case{"time=9.96 bitrate=", "9"}, Case{"time= 7 bitrate=", "7"},
                        Case{"time=1.00 bitrate=90 \r time=2.00 bitrate=91", "1"},
                        Case{"rode version 1, built today\r\n", "0"}, Case{"time=3.00 bitrate=9\ntime=4.00 bitrate=9", "3"},
                        Case{"time=12.5", "0"}, Case{"time= bitrate=", ""},
                        Case{"time=00:00:04.00 bitrate=", "00:00:04"}}) {
    SCOPED_TRACE(c.Chunk);
    EXPECT_EQ(ParseCaptureTime(c.Chunk), c.Seconds);
  }
}

}  // namespace
