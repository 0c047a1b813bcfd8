#include "MainForm.h"

#include <clocale>

#include "AboutForm.h"
#include "AppContext.h"
#include "AudioCap.h"
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
const char* const Page2URL = "res://Slidecaster.exe/RT_HTML/page2";
const char* const Page3URL = "res://Slidecaster.exe/RT_HTML/page3";

std::string LastErrorText;

TForm_main::TForm_main() {
  Name = "Form_main";
  SetClientSize(842, 596);
  // Never smaller than designed, so the pages are never cut: with the standard frame
  // that is a whole window of 850 x 630.
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

  // With no application data folder at all the configuration has no per-user home: that
  // is the failure case, not a folder at the root of the current drive.
  const std::string appData = GetSpecialFolder(platform::CsidlLocalAppData, false);
  const std::string dataFolder = appData + "\\Norvane Slidereel";
  if (!appData.empty() &&
      (platform::Files().DirectoryExists(dataFolder) || platform::Files().CreateDir(dataFolder))) {
    DataFolder = dataFolder;
  } else {
    MessageDlg("Error: Cannot create AppData direcotry.", TMsgDlgType::mtError);
    DataFolder = "";
  }
  ConfigFile = DataFolder + "\\Config.ini";

  ReadConfiguration();

  // The browser fills the window and shows the pages as a dialog. It is made last, once
  // the main thread's COM apartment exists. Without it the wizard cannot work: the
  // failure is reported and the program ends before the window ever shows.
  try {
    WebBrowser1 = pagehost::CreateBrowser(*this);
    WebBrowser1->OnDocumentComplete = [this] { WebBrowser1DocumentComplete(); };
    for (auto* event : EventAdapters()) *event = WebBrowser1->NewEventAdapter();
  } catch (const std::exception& e) {
    WebBrowser1.reset();
    MessageDlg(std::string("Error: ") + e.what(), TMsgDlgType::mtError);
    vcl::Application.Terminate();
  }
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
    PowerPointExe = path + "\\" + PowerPointExeName;
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

void TForm_main::Navigate(const std::string& url) {
  locationURL_ = url;
  // Without a browser (its creation failed and was reported) the window stays empty.
  if (WebBrowser1) WebBrowser1->Navigate(url);
}

void TForm_main::FormDestroy() {
  // Page objects go before the browser, the click adapters (counted: the page may still
  // hold them) right after it; all of it before COM.
  ErrorLine = nullptr;
  WebBrowser1.reset();
  for (auto* event : EventAdapters()) event->reset();
  {
    std::lock_guard<std::mutex> lock(PageStateLock);
    PageState.clear();
  }
  AudioCapture.reset();
  platform::System().ComUninitialize();
  WriteConfigurationAtShutdown();
}

// ---- page binding ----

std::array<std::unique_ptr<pagehost::IEventAdapter>*, 15> TForm_main::EventAdapters() {
  return {&Event_next,  &Event_exit,    &Event_prev,     &Event_convert,           &Event_saveprofile,
          &Event_oneclickconvert, &Event_wavein, &Event_pptbrowser, &Event_outputpathbrowser, &Event_outputformat,
          &Event_advanced, &Event_again, &Event_outdir, &Event_help, &Event_about};
}

void TForm_main::Bind(const std::string& id, pagehost::IEventAdapter& adapter, void (TForm_main::*handler)()) {
  // The shipped pages hold every id bound here; a page without one simply lacks that action.
  if (auto element = WebBrowser1->ElementById(id)) {
    element->BindClick(adapter, [this, handler] { (this->*handler)(); });
  }
}

void TForm_main::WebBrowser1DocumentComplete() {
  // Frames inside a page raise this too; the work is always on the top-level page.
  const std::string title = vcl::LowerCase(WebBrowser1->Title());
  if (PageOneReady) RestorePageState(*WebBrowser1);
  if (title == "page1") BindPageOne();
  else if (title == "page2") BindPageTwo();
  else if (title == "page3") BindPageThree();
}

void TForm_main::BindPageOne() {
  Bind("button_next", *Event_next, &TForm_main::button_nextClick);
  if (!PageOneReady) PageOneSetup();
  Bind("combo_wavein", *Event_wavein, &TForm_main::combo_waveinClick);
  Bind("button_pptbrowser", *Event_pptbrowser, &TForm_main::button_pptbrowserClick);
  Bind("button_outputpathbrowser", *Event_outputpathbrowser, &TForm_main::button_outputpathbrowserClick);
  Bind("button_help", *Event_help, &TForm_main::button_helpClick);
  Bind("button_about", *Event_about, &TForm_main::button_aboutClick);
  Bind("button_exit", *Event_exit, &TForm_main::button_exitClick);
  ErrorLine = WebBrowser1->ElementById("error_info");
  PointProfileLink();
  Bind("button_oneclickconvert", *Event_oneclickconvert, &TForm_main::button_oneclickconvertClick);
}

void TForm_main::BindPageTwo() {
  Bind("combo_outputformat", *Event_outputformat, &TForm_main::combo_outputformatClick);
  combo_outputformatClick();
  Bind("button_exit", *Event_exit, &TForm_main::button_exitClick);
  Bind("button_convert", *Event_convert, &TForm_main::button_convertClick);
  Bind("button_prev", *Event_prev, &TForm_main::button_prevClick);
  Bind("button_saveprofile", *Event_saveprofile, &TForm_main::button_saveprofileClick);
  Bind("button_help", *Event_help, &TForm_main::button_helpClick);
  Bind("button_about", *Event_about, &TForm_main::button_aboutClick);
  Bind("advanced_settings", *Event_advanced, &TForm_main::advanced_settingsClick);
  ErrorLine = WebBrowser1->ElementById("error_info");
}

void TForm_main::BindPageThree() {
  WriteResult();
  Bind("button_again", *Event_again, &TForm_main::button_againClick);
  Bind("button_help", *Event_help, &TForm_main::button_helpClick);
  Bind("button_about", *Event_about, &TForm_main::button_aboutClick);
  Bind("button_exit", *Event_exit, &TForm_main::button_exitClick);
  ErrorLine = nullptr;
}

void TForm_main::SetOuterHTML(const std::string& id, const std::string& html) {
  if (auto element = WebBrowser1->ElementById(id)) element->SetOuterHTML(html);
}

pagehost::ElementPtr TForm_main::Element(const std::string& id) {
  pagehost::ElementPtr element = WebBrowser1->ElementById(id);
  if (!element) throw pagehost::EPageError("The page has no element \"" + id + "\".");
  return element;
}

std::string TForm_main::AttributeOf(const std::string& id, const std::string& name) {
  return Element(id)->GetAttribute(name);
}

void TForm_main::SetAttributeOf(const std::string& id, const std::string& name, const std::string& value) {
  Element(id)->SetAttribute(name, value);
}

void TForm_main::WriteResult() {
  if (!ConvertCanceled) {
    SetOuterHTML("basicsetup",
                 "<div id=\"basicsetup\" class=\"picstyle\"><img src=\"res://Slidecaster.exe/picture/finished\" "
                 "height=\"80\" width=\"80\"><br />Finished </div>");
    SetOuterHTML("statustext", "<span id=\"statustext\">Converting has finished!</span>");
    SetOuterHTML("convertstatus",
                 "<span id=\"convertstatus\">Videos generated have been saved in " + JobFolder + ".&nbsp;&nbsp;</span>");
    Bind("open_outdir", *Event_outdir, &TForm_main::open_outdirClick);
    const std::string date = FormatStamp("mmm dd, yyyy", platform::System().Now(), platform::System().Locale());
    const int seconds = FinalCaptureSeconds;
    const std::string duration = vcl::Format("%.2d:%.2d:%.2d", seconds / 3600, seconds % 3600 / 60, seconds % 60);
    SetOuterHTML("buildinfo",
                 "<div id=\"buildinfo\" class=\"greenbox show\"><div class=\"greenboxtop\"><h4>Build Information</h4>"
                 "<ul id=\"videoparalist\"><li class=\"leftli\">Date:</li><li class=\"rightli\">" + date + "</li>" +
                 "<li class=\"leftli\">PowerPoint File:</li><li class=\"rightli\">" + ConvertSettings.PPTFile + "</li>" +
                 "<li class=\"leftli\">Output Directory:</li><li class=\"rightli\">" + JobFolder + "</li>" +
                 "<li class=\"leftli\">Video Name:</li><li class=\"rightli\">" + OutputName + "</li>" +
                 "<li class=\"leftli\">Duration:</li><li class=\"rightli\">" + duration + "</li>" + "</ul>" +
                 "</div>" + "<div class=\"greenboxbottom\">" + "<!-- end #greebox-->" + "</div>" + "</div>");
  } else {
    SetOuterHTML("basicsetup",
                 "<div id=\"basicsetup\" class=\"picstyle\"><img src=\"res://Slidecaster.exe/picture/canceled\" "
                 "height=\"80\" width=\"80\"><br />Canceled </div>");
    SetOuterHTML("statustext", "<span id=\"statustext\">Converting has been canceled!</span>");
    SetOuterHTML("convertstatus", "<span id=\"convertstatus\">Videos generated have been deleted.</span>");
    SetOuterHTML("open_outdir", "<a id=\"open_outdir\" href=\"#0\"></a>");
    SetOuterHTML("buildinfo",
                 "<div id=\"buildinfo\" class=\"greenbox hide\"><div class=\"greenboxtop\"><h4>Build Information</h4>"
                 "<ul id=\"videoparalist\"></ul></div><div class=\"greenboxbottom\"><!-- end #greebox--></div></div>");
  }
}

// ---- the error line ----

void TForm_main::ShowLine(const std::string& picture, const std::string& textClass, const std::string& message) {
  if (!ErrorLine) return;
  ErrorLine->SetInnerHTML("<img src=\"res://Slidecaster.exe/picture/" + picture +
                          "\" width=\"16\" height=\"16\" align=\"absmiddle\"/><span class=\"" + textClass + "\">" +
                          message + "</span>");
  ErrorLine->SetAttribute("className", "show");
}

void TForm_main::ShowErrorLine(const std::string& message) { ShowLine("errorpic", "red", message); }

void TForm_main::ShowInfoLine(const std::string& message) { ShowLine("okpic", "blue", message); }

void TForm_main::ShowFatalError() {
  MessageDlg("Error: " + LastErrorText, TMsgDlgType::mtError);
  Close();
}

void ShowFatalErrorText(const std::string& text) {
  LastErrorText = text;
  Form_main->ShowFatalError();
}

// ---- page state ----

namespace {
TSaveListItem* Find(std::vector<std::pair<std::string, TSaveListItem>>& list, const std::string& key) {
  for (auto& entry : list)
    if (vcl::SameText(entry.first, key)) return &entry.second;
  return nullptr;
}
}  // namespace

void TForm_main::SavePageState(pagehost::IWebBrowser& document) {
  std::lock_guard<std::mutex> lock(PageStateLock);
  for (const pagehost::ElementPtr& element : document.AllElements()) {
    const std::string tag = vcl::LowerCase(element->TagName());
    const std::string key = vcl::LowerCase(element->Id());
    std::uint8_t kind = 0;
    if (tag == "input") {
      const std::string type = vcl::LowerCase(element->GetAttribute("type"));
      if (type == "text") kind = KindText;
      else if (type == "radio") kind = KindRadio;
      else if (type == "checkbox") kind = KindCheckBox;
    } else if (tag == "select") {
      kind = KindSelect;
    }
    if (kind == 0) continue;

    TSaveListItem* item = Find(PageState, key);
    if (!item) {
      PageState.emplace_back(key, TSaveListItem{});
      item = &PageState.back().second;
      item->Kind = kind;
    }
    item->OuterHTML = element->OuterHTML();
    item->InnerHTML = element->InnerHTML();
    if (kind == KindText || kind == KindSelect) {
      item->Value = element->GetAttribute("value");
    } else {
      item->Checked = vcl::LowerCase(element->GetAttribute("checked"));
      item->Disabled = vcl::LowerCase(element->GetAttribute("disabled"));
    }
  }
}

void TForm_main::RestorePageState(pagehost::IWebBrowser& document) {
  std::lock_guard<std::mutex> lock(PageStateLock);
  for (const auto& [key, item] : PageState) {
    pagehost::ElementPtr element = document.ElementById(key);
    if (!element) continue;
    switch (item.Kind) {
      case KindText:
        element->SetAttribute("value", item.Value);
        break;
      case KindRadio:
        if (item.Checked == "true") element->SetAttribute("checked", "true");
        break;
      case KindSelect:
        element->SetOuterHTML(item.OuterHTML);
        break;
      case KindCheckBox:
        if (item.Disabled == "true") element->SetAttribute("disabled", "true");
        else if (item.Checked == "true") element->SetAttribute("checked", "true");
        break;
    }
  }
}

// ---- navigation ----

void TForm_main::button_prevClick() {
  SavePageState(*WebBrowser1);
  Navigate(Page1URL);
}

void TForm_main::DeleteConversionFolders() {
  DeleteFolder(TempFolder);
  if (ConvertCanceled) DeleteFolder(JobFolder);
}

void TForm_main::button_exitClick() {
  DeleteConversionFolders();
  Close();
}

void TForm_main::button_againClick() {
  DeleteConversionFolders();
  Navigate(Page1URL);
}

void TForm_main::open_outdirClick() { vcl::Widgetset().ShellOpen(this, "open", "", JobFolder, vcl::SW_Show); }

void TForm_main::button_helpClick() {
  vcl::Widgetset().ShellOpen(nullptr, "Open", "help.chm", ProgramFolder + "\\", vcl::SW_ShowMaximized);
}

void TForm_main::button_aboutClick() { Form_about->ShowModal(); }
