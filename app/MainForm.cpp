#include "MainForm.h"

#include <clocale>

#include "AppContext.h"
#include "ConvertSettings.h"
#include "GlobalFunc.h"
#include "platform/Platform.h"
#include "vcl/Dialogs.h"
#include "vcl/Registry.h"
#include "vcl/SysUtils.h"

using vcl::MessageDlg;
using vcl::TMsgDlgType;

TForm_main* Form_main = nullptr;

const char* const Page1URL = "res://Slidecaster.exe/RT_HTML/page1";

TForm_main::TForm_main() {
  Name = "Form_main";
  SetClientSize(842, 596);
  // Never smaller than designed: 850 x 630 outside with the standard frame.
  MinClientWidth = 842;
  MinClientHeight = 596;
  Position = vcl::TPosition::poScreenCenter;
  OnCreate = [this] { FormCreate(); };
  OnShow = [this] { FormShow(); };
  OnDestroy = [this] { FormDestroy(); };
}

void TForm_main::FormCreate() {
  // Numbers in files and command lines always use "." whatever the user's regional
  // settings say; the program's own date patterns spell out their separators.
  std::setlocale(LC_NUMERIC, "C");

  ProgramFolder = vcl::ExtractFileDir(platform::System().ModulePath());
  platform::System().ComInitialize();

  if (!platform::System().SetCurrentDir(ProgramFolder))
    MessageDlg("Error: Cannot set current directory. ", TMsgDlgType::mtError);

  const std::string dataFolder = GetSpecialFolder(platform::CsidlLocalAppData, false) + "\\Norvane Slidereel";
  if (platform::Files().DirectoryExists(dataFolder) || platform::Files().CreateDir(dataFolder)) {
    DataFolder = dataFolder;
  } else {
    MessageDlg("Error: Cannot create AppData direcotry.", TMsgDlgType::mtError);
    DataFolder = "";
  }
  ConfigFile = DataFolder + "\\Config.ini";

  ReadConfiguration();
}

bool TForm_main::CheckOperatingSystem() {
  if (platform::System().ModuleExports("user32.dll", "PrintWindow")) return true;
  MessageDlg("Info: This software needs Windows XP/2003/Vista installed.", TMsgDlgType::mtInformation);
  return false;
}

bool TForm_main::CheckPowerPointFolder() {
  try {
    vcl::TRegistry reg;
    std::string path = reg.OpenKeyReadOnly(InstallKey) ? reg.ReadString("PPTPath") : "";
    if (path.empty()) {
      MessageDlg("Error: Cannot find PPT install path infomation, please reinstall.", TMsgDlgType::mtError);
      return false;
    }
    PowerPointExe = path + "\\POWERPNT.EXE";
    if (!platform::Files().FileExists(PowerPointExe)) {
      MessageDlg("Info: Cannot find PowerPoint, maybe you have not installed it or you have installed other "
                 "version PowerPoint again, please reinstall this software.",
                 TMsgDlgType::mtInformation);
      return false;
    }
    return true;
  } catch (const std::exception& e) {
    MessageDlg(std::string("Error: ") + e.what(), TMsgDlgType::mtError);
    return false;
  }
}

bool TForm_main::CheckPowerPointVersion() {
  const char* const missing = "Error: Cannot find PPT version infomation";
  try {
    vcl::TRegistry reg;
    std::string version = reg.OpenKeyReadOnly(InstallKey) ? reg.ReadString("PPTVersion") : "";
    if (version.empty()) {
      MessageDlg(missing, TMsgDlgType::mtError);
      return false;
    }
    size_t dot = version.find('.');
    PowerPointVersion = dot == std::string::npos ? 0 : vcl::StrToInt(version.substr(0, dot));
    return true;
  } catch (const std::exception& e) {
    MessageDlg(std::string(missing) + "(" + e.what() + ")", TMsgDlgType::mtError);
    return false;
  }
}

bool TForm_main::CheckInstallationRecord() {
  try {
    vcl::TRegistry reg;
    if (!reg.OpenKeyReadOnly(InstallKey)) {
      MessageDlg("Error: Cannot find version infomation", TMsgDlgType::mtError);
      return false;
    }
    ProductVersion = reg.ReadString("Version");
    if (reg.ReadString("OS").empty()) {
      MessageDlg("Error: Cannot find OS infomation", TMsgDlgType::mtError);
      return false;
    }
    return true;
  } catch (const std::exception& e) {
    MessageDlg(std::string("Error: ") + e.what(), TMsgDlgType::mtError);
    return false;
  }
}

void TForm_main::FormShow() {
  if (!CheckOperatingSystem() || !CheckPowerPointFolder() || !CheckPowerPointVersion() ||
      !CheckInstallationRecord()) {
    Close();
    return;
  }
  if (firstShow_) {
    firstShow_ = false;
    SetCaption("Norvane Slidereel (" + ProductVersion + ")");
  }
  Navigate(Page1URL);
}

void TForm_main::Navigate(const std::string& url) { locationURL_ = url; }

void TForm_main::FormDestroy() {
  platform::System().ComUninitialize();
  WriteConfigurationAtShutdown();
}
