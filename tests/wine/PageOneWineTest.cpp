// Page 1's first set-up with the system's own audio devices, as Wine's DirectShow lists
// them, on a page that records what the program writes into it (no browser engine here).
#include <gtest/gtest.h>

#include <windows.h>

#include <thread>

#include "AdvancedSettingsForm.h"
#include "AudioCap.h"
#include "CapForm.h"
#include "MainForm.h"
#include "RecordingPage.h"
#include "WineSupport.h"
#include "platform/win32/Win32Platform.h"
#include "vcl/win32/Win32Widgetset.h"

namespace {

TEST(PageOne, FirstSetUpListsTheSystemsAudioDevices) {
  if (!vcl::HasWidgetset()) vcl::InstallWidgetset(vcl::win32::MakeWidgetset());
  platform::InstallPlatform(platform::win32::MakeServices());
  pagehost::InstallBrowserFactory([](vcl::TForm&) { return std::make_unique<winetest::RecordingPage>("page1"); });
  CoInitialize(nullptr);

  // What the system offers, asked the same way before the page does.
  CAudioCapture probe(0);
  const bool devices = probe.EnumDevices();
  const bool lines = devices && probe.EnumLines(0);
  std::cout << "devices: " << probe.DeviceCount << ", lines of the first: " << probe.LineCount << std::endl;

  vcl::Application.Initialize();
  vcl::Application.CreateForm(Form_main);
  vcl::Application.CreateForm(Form_advanced);
  vcl::Application.CreateForm(Form_cap);
  winetest::MessageBoxSeen box;
  std::thread answer;
  if (devices && !lines)
    answer = std::thread([&] {
      box = winetest::WaitForMessageBox(GetCurrentProcessId(), 20000);
      if (box.Window) winetest::PressOk(box.Window);
    });
  Form_main->PageOneSetup();
  if (answer.joinable()) answer.join();

  EXPECT_TRUE(Form_main->PageOneReady);
  ASSERT_TRUE(AudioCapture);
  EXPECT_EQ(AudioCapture->DeviceCount, probe.DeviceCount);
  auto* page = static_cast<winetest::RecordingPage*>(Form_main->WebBrowser1.get());
  EXPECT_EQ(page->ElementById("capmode_mannual")->GetAttribute("checked"), "true");
  if (!devices) {
    EXPECT_EQ(page->ElementById("checkbox_audiorecording")->GetAttribute("disabled"), "true");
  } else {
    std::string list = "<select  ID=\"combo_wavein\">";
    for (int i = 0; i < probe.DeviceCount; ++i)
      list += "<option value=\"" + std::to_string(i) + "\">" + probe.Devices[static_cast<size_t>(i)].Name + "</option>";
    EXPECT_EQ(page->ElementById("combo_wavein")->OuterHTML(), list + "</select>");
    if (lines) EXPECT_EQ(AudioCapture->LineCount, probe.LineCount);
    else EXPECT_EQ(box.Text, "Error: Cannot get audio line infomation");
  }
  vcl::Application.DestroyForms();
  pagehost::InstallBrowserFactory(nullptr);
  CoUninitialize();
}

}  // namespace
