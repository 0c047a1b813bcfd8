// A headless world for one test: Windows paths under a fresh temporary folder, the
// headless backends installed, and the program's shared values back at their start.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "AppContext.h"
#include "ConvertSettings.h"
#include "headless/HeadlessPageHost.h"
#include "platform/headless/HeadlessPlatform.h"
#include "vcl/Forms.h"
#include "vcl/headless/HeadlessWidgetset.h"

class HeadlessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Cases of a table are named "Name/N": one folder per case, not a folder per table.
    std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::replace(test.begin(), test.end(), '/', '-');
    root_ = std::filesystem::temp_directory_path() / ("slidecaster-" + std::to_string(::getpid()) + "-" + test);
    std::filesystem::remove_all(root_);
    world = std::make_unique<platform::headless::World>(root_);
    platform::InstallPlatform(platform::headless::MakeServices(*world));
    auto ws = std::make_unique<vcl::headless::HeadlessWidgetset>(world->Clock);
    widgets = ws.get();
    vcl::InstallWidgetset(std::move(ws));
    pagehost::headless::InstallHeadlessPageHost(*widgets);
    MakeDir("C:\\Program Files\\Slidecaster");
    MakeDir("C:\\Users\\user\\Documents");
    MakeDir("C:\\Users\\user\\AppData\\Local");
    ConvertSettings = TConvertSettings{};
    OutputName = JobFolder = TempFolder = "";
    ProgramFolder = DataFolder = ConfigFile = PowerPointExe = ProductVersion = "";
    PowerPointVersion = 0;
  }
  void TearDown() override {
    vcl::Application.DestroyForms();
    pagehost::InstallBrowserFactory(nullptr);
    vcl::InstallWidgetset(nullptr);
    platform::InstallPlatform({});
    world.reset();
    std::filesystem::remove_all(root_);
  }

  void MakeDir(const std::string& windowsPath) { std::filesystem::create_directories(world->HostPath(windowsPath)); }
  void WriteFile(const std::string& windowsPath, const std::string& text) {
    std::filesystem::create_directories(world->HostPath(windowsPath).parent_path());
    std::ofstream(world->HostPath(windowsPath), std::ios::binary) << text;
  }
  std::string ReadFile(const std::string& windowsPath) {
    std::ifstream in(world->HostPath(windowsPath), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  bool Exists(const std::string& windowsPath) { return std::filesystem::exists(world->HostPath(windowsPath)); }

  std::unique_ptr<platform::headless::World> world;
  vcl::headless::HeadlessWidgetset* widgets = nullptr;

 private:
  std::filesystem::path root_;
};
