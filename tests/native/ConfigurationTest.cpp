// The configuration file's "Global" section and the launch values.
#include "Fixture.h"
#include "vcl/IniFiles.h"

namespace {

class ConfigurationTest : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    ConfigFile = "C:\\Data\\Config.ini";
    MakeDir("C:\\Data");
    MakeDir("C:\\Out");
  }
};

struct ReadCase {
  const char* Name;
  const char* Ini;  // nullptr: no file
  const char* OutputPath;
  int AutoSlideTime;
};
void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.Name; }


class ReadConfigurationCases : public ConfigurationTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(ReadConfigurationCases, ReadsWithFallbacks) {
  if (GetParam().Ini) WriteFile(ConfigFile, GetParam().Ini);
  ReadConfiguration();
  EXPECT_EQ(ConvertSettings.OutputPath, GetParam().OutputPath);
  EXPECT_EQ(ConvertSettings.AutoSlideTime, GetParam().AutoSlideTime);
}

INSTANTIATE_TEST_SUITE_P(
    Global, ReadConfigurationCases,
    ::testing::Values(
        ReadCase{"NoFile", nullptr, "C:\\Users\\user\\Documents", 5},
        ReadCase{"Stored", "[Global]\r\nOutputPath=C:\\Out\r\nAutoSlideTime=12\r\n", "C:\\Out", 12},
        ReadCase{"KeysInAnyCase", "[global]\r\noutputpath=C:\\Out\r\nautoslidetime=7\r\n", "C:\\Out", 7},
        ReadCase{"VanishedFolder", "[Global]\r\nOutputPath=C:\\Gone\r\n", "C:\\Users\\user\\Documents", 5},
        ReadCase{"DamagedSlideTime", "[Global]\r\nAutoSlideTime=5s\r\n", "C:\\Users\\user\\Documents", 5},
        ReadCase{"EmptySlideTime", "[Global]\r\nAutoSlideTime=\r\n", "C:\\Users\\user\\Documents", 5},
        ReadCase{"OutOfRangeKept", "[Global]\r\nAutoSlideTime=3000\r\n", "C:\\Users\\user\\Documents", 3000}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(ConfigurationTest, ShutdownWritesTrimmedFolderAndSlideTimeThatTheNextRunReads) {
  ConvertSettings.OutputPath = "  C:\\Out ";
  ConvertSettings.AutoSlideTime = 2;  // refused by Step 1, still kept
  WriteConfigurationAtShutdown();
  EXPECT_EQ(ReadFile(ConfigFile), "[Global]\r\nOutputPath=C:\\Out\r\nAutoSlideTime=2\r\n");
  ConvertSettings = TConvertSettings{};
  ReadConfiguration();
  EXPECT_EQ(ConvertSettings.OutputPath, "C:\\Out");
  EXPECT_EQ(ConvertSettings.AutoSlideTime, 2);
}

TEST_F(ConfigurationTest, LaunchWritesSlideTimeOnlyInAutomaticMode) {
  WriteFile(ConfigFile, "[Global]\r\nOutputPath=C:\\Old\r\nAutoSlideTime=9\r\nAutoStop=0\r\n");
  ConvertSettings.OutputPath = "C:\\Out";
  ConvertSettings.AutoSlideTime = 30;
  ConvertSettings.CapMode = true;
  WriteConfigurationAtLaunch();
  EXPECT_EQ(ReadFile(ConfigFile), "[Global]\r\nOutputPath=C:\\Out\r\nAutoSlideTime=9\r\nAutoStop=0\r\n");
  ConvertSettings.CapMode = false;
  WriteConfigurationAtLaunch();
  EXPECT_EQ(ReadFile(ConfigFile), "[Global]\r\nOutputPath=C:\\Out\r\nAutoSlideTime=30\r\nAutoStop=0\r\n");
}

TEST_F(ConfigurationTest, RefusedWriteNamesTheFile) {
  world->ReadOnlyIniFiles.insert("C:\\DATA\\CONFIG.INI");
  try {
    WriteConfigurationAtShutdown();
    FAIL() << "the write did not fail";
  } catch (const vcl::EIniFileException& e) {
    EXPECT_STREQ(e.what(), "Unable to write to C:\\Data\\Config.ini");
  }
}

struct StampCase {
  const char* Name;
  std::uint8_t Format;
  const char* OutputPath;
  platform::LocalTime Time;
  const char* JobFolder;
};
void PrintTo(const StampCase& c, std::ostream* os) { *os << c.Name; }


class JobFolderNames : public ConfigurationTest, public ::testing::WithParamInterface<StampCase> {};

TEST_P(JobFolderNames, FollowTheFormatsPattern) {
  const StampCase& c = GetParam();
  ConvertSettings.PPTFile = "C:\\Talks\\deck.pptx";
  ConvertSettings.OutputPath = c.OutputPath;
  ConvertSettings.OutputFormat = c.Format;
  SetLaunchValues(c.Time);
  EXPECT_EQ(JobFolder, c.JobFolder);
  EXPECT_EQ(TempFolder, std::string(c.JobFolder) + "\\temp");
  EXPECT_EQ(OutputName, c.Format == 3 ? "DVD" : "deck.pptx");
}

const platform::LocalTime Evening{2026, 12, 9, 17, 30, 5, 0};

INSTANTIATE_TEST_SUITE_P(
    Launch, JobFolderNames,
    ::testing::Values(
        StampCase{"Avi", 0, "C:\\Out", Evening, "C:\\Out\\Dec 09, 2026, PM 05-30-05, deck.pptx"},
        StampCase{"Dvd", 3, "C:\\Out", Evening, "C:\\Out\\12 09, 2026, pm 05-30-05 DVD"},
        StampCase{"Swf", 4, "C:\\Out", Evening, "C:\\Out\\Dec 09, 2026, PM 05-30-05, deck.pptx"},
        StampCase{"FolderWithDelimiter", 2, "D:\\", Evening, "D:\\Dec 09, 2026, PM 05-30-05, deck.pptx"},
        StampCase{"Midnight", 0, "C:\\Out", {2027, 1, 2, 0, 4, 9, 0}, "C:\\Out\\Jan 02, 2027, AM 12-04-09, deck.pptx"},
        StampCase{"Noon", 3, "C:\\Out", {2027, 1, 2, 12, 0, 0, 0}, "C:\\Out\\01 02, 2027, pm 12-00-00 DVD"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(ConfigurationTest, StampUsesTheLocalesNames) {
  platform::LocaleNames german;
  german.ShortMonthNames = {"Jan", "Feb", "Mrz", "Apr", "Mai", "Jun", "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"};
  german.TimeAMString = "vorm.";
  german.TimePMString = "nachm.";
  EXPECT_EQ(LaunchTimeStamp(0, Evening, german), "Dez 09, 2026, nachm. 05-30-05, ");
  EXPECT_EQ(LaunchTimeStamp(3, Evening, german), "12 09, 2026, pm 05-30-05 ");
}

}  // namespace
