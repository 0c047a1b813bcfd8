// Start-up: single instance, data folder, and the first show's installation checks.
#include <functional>

#include "AppContext.h"
#include "Fixture.h"
#include "MainForm.h"
#include "PageHost.h"
#include "Program.h"
#include "vcl/SysUtils.h"

using vcl::TMsgDlgType;

namespace {

const char* const Key = "Software\\Roravad Arezaded\\Norvane Slidereel";

class StartupTest : public HeadlessTest {
 protected:
  void Install(const std::string& pptPath, const std::string& pptVersion, const std::string& version,
               const std::string& os) {
    world->SetRegistryValue(Key, "PPTPath", pptPath);
    world->SetRegistryValue(Key, "PPTVersion", pptVersion);
    world->SetRegistryValue(Key, "Version", version);
    world->SetRegistryValue(Key, "OS", os);
    WriteFile("C:\\Office\\POWERPNT.EXE", "");
  }
  // Runs the program; if it is still running once it has nothing left to do, the user
  // closes its main window.
  void Run() {
    widgets->WhenIdle([] { Form_main->Close(); });
    RunProgram();
  }
};

struct CheckCase {
  const char* Name;
  std::function<void(platform::headless::World&)> Break;  // spoils a good installation
  const char* Message;                                      // nullptr: the program starts
  TMsgDlgType Icon;
  int Version;  // PowerPointVersion afterwards (-1: not reached)
  const char* Product;  // ProductVersion afterwards ("untouched": not reached)
  const char* Caption;
};
void PrintTo(const CheckCase& c, std::ostream* os) { *os << c.Name; }


class FirstShowChecks : public StartupTest, public ::testing::WithParamInterface<CheckCase> {};

TEST_P(FirstShowChecks, ShowOneMessageAndEndOrStart) {
  const CheckCase& c = GetParam();
  Install("C:\\Office", "12.0", "1.0", "Windows XP");
  c.Break(*world);
  PowerPointVersion = -1;
  ProductVersion = "untouched";
  bool captionAtClose = false;
  std::string caption;
  widgets->WhenIdle([&] {
    captionAtClose = true;
    caption = Form_main->Caption();
    Form_main->Close();
  });
  RunProgram();
  const auto& loaded = pagehost::headless::NavigationsRequested();

  if (c.Message) {
    ASSERT_EQ(widgets->Messages.size(), 1u);
    EXPECT_EQ(widgets->Messages[0].Text, c.Message);
    EXPECT_EQ(widgets->Messages[0].Type, c.Icon);
    EXPECT_EQ(widgets->Messages[0].Caption, c.Icon == TMsgDlgType::mtError ? "Error" : "Information");
    EXPECT_FALSE(captionAtClose) << "the program went on after a failed check";
    EXPECT_TRUE(loaded.empty()) << "a page was loaded after a failed check";
  } else {
    EXPECT_TRUE(widgets->Messages.empty());
    EXPECT_EQ(caption, c.Caption);
    EXPECT_EQ(loaded, std::vector<std::string>{"res://Slidecaster.exe/RT_HTML/page1"});
  }
  EXPECT_EQ(PowerPointVersion, c.Version);
  EXPECT_EQ(ProductVersion, c.Product);
}

auto Value = [](const char* name, const char* text) {
  return [=](platform::headless::World& w) { w.SetRegistryValue(Key, name, text); };
};
auto Remove = [](const char* name) {
  return [=](platform::headless::World& w) { w.RegistryKeys[vcl::UpperCase(Key)].erase(vcl::UpperCase(name)); };
};

INSTANTIATE_TEST_SUITE_P(
    Installation, FirstShowChecks,
    ::testing::Values(
        CheckCase{"Good", [](auto&) {}, nullptr, TMsgDlgType::mtError, 12, "1.0", "Norvane Slidereel (1.0)"},
        CheckCase{"NoPrintWindow", [](auto& w) { w.MissingExports.insert("USER32.DLL!PrintWindow"); },
                  "Info: This software needs Windows XP/2003/Vista installed.", TMsgDlgType::mtInformation, -1, "untouched", ""},
        CheckCase{"NoKey", [](auto& w) { w.RegistryKeys.clear(); },
                  "Error: Cannot find PPT install path infomation, please reinstall.", TMsgDlgType::mtError, -1, "untouched", ""},
        CheckCase{"EmptyPath", Value("PPTPath", ""),
                  "Error: Cannot find PPT install path infomation, please reinstall.", TMsgDlgType::mtError, -1, "untouched", ""},
        CheckCase{"MissingPath", Remove("PPTPath"),
                  "Error: Cannot find PPT install path infomation, please reinstall.", TMsgDlgType::mtError, -1, "untouched", ""},
        CheckCase{"NoPowerPointThere", Value("PPTPath", "C:\\Elsewhere"),
                  "Info: Cannot find PowerPoint, maybe you have not installed it or you have installed other version "
                  "PowerPoint again, please reinstall this software.",
                  TMsgDlgType::mtInformation, -1, "untouched", ""},
        CheckCase{"PathNotText",
                  [](auto& w) { w.WrongTypeValues.insert(vcl::UpperCase(std::string(Key) + "\\PPTPath")); },
                  "Error: Invalid data type for 'PPTPath'", TMsgDlgType::mtError, -1, "untouched", ""},
        CheckCase{"NoVersion", Remove("PPTVersion"), "Error: Cannot find PPT version infomation",
                  TMsgDlgType::mtError, -1, "untouched", ""},
        CheckCase{"VersionNotNumber", Value("PPTVersion", "x.0"),
                  "Error: Cannot find PPT version infomation('x' is not a valid integer value)",
                  TMsgDlgType::mtError, -1, "untouched", ""},
        CheckCase{"VersionWithoutDot", Value("PPTVersion", "12"), nullptr, TMsgDlgType::mtError, 0, "1.0",
                  "Norvane Slidereel (1.0)"},
        CheckCase{"Version11", Value("PPTVersion", "11.0"), nullptr, TMsgDlgType::mtError, 11, "1.0",
                  "Norvane Slidereel (1.0)"},
        CheckCase{"NoOS", Remove("OS"), "Error: Cannot find OS infomation", TMsgDlgType::mtError, 12, "1.0", ""},
        CheckCase{"EmptyOS", Value("OS", ""), "Error: Cannot find OS infomation", TMsgDlgType::mtError, 12, "1.0", ""},
        CheckCase{"EmptyProductVersion", Value("Version", ""), nullptr, TMsgDlgType::mtError, 12, "",
                  "Norvane Slidereel ()"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(StartupTest, StartedProgramLoadsPageOneAndKeepsItsContext) {
  Install("C:\\Office", "12.0", "2.5", "XP");
  std::string url;
  widgets->WhenIdle([&] {
    EXPECT_EQ(world->Mutexes.count("DEZUDIVODOD_OnlyOne"), 1u) << "held while the program runs";
    url = Form_main->LocationURL();
    EXPECT_EQ(Form_main->ClientWidth(), 842);
    EXPECT_EQ(Form_main->ClientHeight(), 596);
    Form_main->Close();
  });
  RunProgram();
  EXPECT_EQ(url, "res://Slidecaster.exe/RT_HTML/page1");
  EXPECT_EQ(ProgramFolder, "C:\\Program Files\\Slidecaster");
  EXPECT_EQ(world->CurrentDir, "C:\\Program Files\\Slidecaster");
  EXPECT_EQ(DataFolder, "C:\\Users\\user\\AppData\\Local\\Norvane Slidereel");
  EXPECT_EQ(ConfigFile, DataFolder + "\\Config.ini");
  EXPECT_EQ(PowerPointExe, "C:\\Office\\POWERPNT.EXE");
  EXPECT_EQ(ProductVersion, "2.5");
  EXPECT_EQ(world->ComApartments, 0) << "COM initialised and uninitialised once";
  EXPECT_TRUE(Exists(DataFolder + "\\Config.ini")) << "configuration written at shutdown";
  EXPECT_EQ(world->Mutexes.count("DEZUDIVODOD_OnlyOne"), 0u) << "released when the program ends";
}

TEST_F(StartupTest, SecondCopyIsRefusedWithoutWindows) {
  world->Mutexes.insert("DEZUDIVODOD_OnlyOne");
  RunProgram();
  ASSERT_EQ(widgets->Messages.size(), 1u);
  EXPECT_EQ(widgets->Messages[0].Text, "Rovavur Arivovov/EZU/Zuruv is already running");
  EXPECT_EQ(widgets->Messages[0].Caption, "Error");
  EXPECT_EQ(widgets->Messages[0].Type, TMsgDlgType::mtInformation);
  EXPECT_EQ(DataFolder, "") << "no window was created";
  EXPECT_EQ(world->Mutexes.count("DEZUDIVODOD_OnlyOne"), 1u) << "only the running copy's handle is left";
}

TEST_F(StartupTest, RegistrationSwitchEndsTheProgramBeforeAnyWindow) {
  world->Server.RegisterOnly = true;
  RunProgram();
  EXPECT_EQ(world->Server.Calls, std::vector<std::string>{"start"});
  EXPECT_TRUE(widgets->Messages.empty());
  EXPECT_EQ(DataFolder, "") << "no window was created";
  EXPECT_EQ(world->Mutexes.count("DEZUDIVODOD_OnlyOne"), 0u);
}

TEST_F(StartupTest, MutexThatCannotBeCreatedEndsTheProgram) {
  world->MutexCreationFails = true;
  RunProgram();
  ASSERT_EQ(widgets->Messages.size(), 1u);
  EXPECT_EQ(widgets->Messages[0].Text, "Cannot create mutex");
  EXPECT_EQ(widgets->Messages[0].Caption, "Error");
  EXPECT_EQ(widgets->Messages[0].Type, TMsgDlgType::mtInformation);
}

class DataFolderFailure : public StartupTest, public ::testing::WithParamInterface<const char*> {};

// A folder that cannot be made, and no application data folder at all.
INSTANTIATE_TEST_SUITE_P(AppData, DataFolderFailure, ::testing::Values("C:\\Gone\\Local", ""));

TEST_P(DataFolderFailure, FallsBackToRootConfigFile) {
  Install("C:\\Office", "12.0", "1.0", "XP");
  world->SpecialFolders[platform::CsidlLocalAppData] = GetParam();
  ConvertSettings.OutputPath = "";
  Run();
  ASSERT_EQ(widgets->Messages.size(), 1u);
  EXPECT_EQ(widgets->Messages[0].Text, "Error: Cannot create AppData direcotry.");
  EXPECT_EQ(widgets->Messages[0].Type, TMsgDlgType::mtError);
  EXPECT_EQ(DataFolder, "");
  EXPECT_EQ(ConfigFile, "\\Config.ini");
  // The program still started, and its configuration went to the current drive's root
  // (the capture window, destroyed first, stores its auto-stop setting first).
  EXPECT_EQ(ReadFile("C:\\Config.ini"),
            "[Global]\r\nAutoStop=1\r\nOutputPath=C:\\Users\\user\\Documents\r\nAutoSlideTime=5\r\n");
}

TEST_F(StartupTest, BrowserThatCannotBeHostedIsReportedAndEndsTheProgram) {
  Install("C:\\Office", "12.0", "1.0", "XP");
  pagehost::InstallBrowserFactory([](vcl::TForm&) -> std::unique_ptr<pagehost::IWebBrowser> {
    throw pagehost::EPageError("Browser's Default interface does not support IOleObject");
  });
  bool visibleAtBox = true;
  widgets->OnMessage = [&](const vcl::headless::ShownMessage&) { visibleAtBox = Form_main->Visible(); };
  ProductVersion = "untouched";
  RunProgram();  // no user action: the headless loop fails if the program waits for one
  ASSERT_EQ(widgets->Messages.size(), 1u);
  EXPECT_EQ(widgets->Messages[0].Text, "Error: Browser's Default interface does not support IOleObject");
  EXPECT_EQ(widgets->Messages[0].Type, TMsgDlgType::mtError);
  EXPECT_FALSE(visibleAtBox) << "the box is over an empty main window";
  EXPECT_EQ(ProductVersion, "untouched") << "the first show's checks ran";
  EXPECT_TRUE(pagehost::headless::NavigationsRequested().empty());
  // The shutdown is the usual one: COM left and the configuration written.
  EXPECT_EQ(world->ComApartments, 0);
  EXPECT_TRUE(Exists(DataFolder + "\\Config.ini"));
  EXPECT_EQ(world->Mutexes.count("DEZUDIVODOD_OnlyOne"), 0u);
}

TEST_F(StartupTest, UnusableProgramFolderIsReportedAndTolerated) {
  Install("C:\\Office", "12.0", "1.0", "XP");
  world->ModulePath = "C:\\Vanished\\Slidecaster.exe";
  Run();
  ASSERT_EQ(widgets->Messages.size(), 1u);
  EXPECT_EQ(widgets->Messages[0].Text, "Error: Cannot set current directory. ");
  EXPECT_EQ(ProgramFolder, "C:\\Vanished");
  EXPECT_EQ(ProductVersion, "1.0") << "the checks still ran";
}

}  // namespace
