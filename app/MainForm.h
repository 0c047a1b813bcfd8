// The main window: the wizard. Its creation prepares the process, reads the configuration
// and puts the page host in; its first show checks the installation and loads page 1;
// each page load binds the page's buttons and links and brings back the user's values;
// its destruction writes the configuration back.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "PageHost.h"
#include "platform/Platform.h"
#include "vcl/Dialogs.h"
#include "vcl/Forms.h"

// One recorded page element.
struct TSaveListItem {
  std::uint8_t Kind = 0;  // 1 text input, 2 radio button, 4 select list, 5 check box
  std::string OuterHTML;
  std::string InnerHTML;
  std::string Value;     // kinds 1 and 4
  std::string Checked;   // kinds 2 and 5: "true" or "false"
  std::string Disabled;  // kinds 2 and 5
};

constexpr std::uint8_t KindText = 1, KindRadio = 2, KindSelect = 4, KindCheckBox = 5;

class TForm_main : public vcl::TForm {
 public:
  TForm_main();

  void FormCreate();
  void FormShow();
  void FormDestroy();

  // The wizard page shown in the window.
  void Navigate(const std::string& url);
  const std::string& LocationURL() const { return locationURL_; }

  // The browser filling the client area, with the page on show.
  std::unique_ptr<pagehost::IWebBrowser> WebBrowser1;
  void WebBrowser1DocumentComplete();

  void ShowErrorLine(const std::string& message);
  void ShowInfoLine(const std::string& message);
  // "Error: " + LastErrorText in an error box, then the program ends.
  void ShowFatalError();

  void SavePageState(pagehost::IWebBrowser& document);
  void RestorePageState(pagehost::IWebBrowser& document);

  // Recorded page elements by lower-case id, in the order first recorded.
  std::vector<std::pair<std::string, TSaveListItem>> PageState;
  std::mutex PageStateLock;
  bool PageOneReady = false;
  pagehost::ElementPtr ErrorLine;  // the page's "error_info", none on page 3

  // Handlers of this window's own navigation.
  void button_prevClick();
  void button_exitClick();
  void button_againClick();
  void open_outdirClick();
  void button_helpClick();
  void button_aboutClick();

  // Step 1: presentation, output folder, slide show mode and audio source.
  vcl::TOpenDialog OpenDialog_inout;
  void PageOneSetup();
  void button_nextClick();
  void combo_waveinClick();
  void button_pptbrowserClick();
  void button_outputpathbrowserClick();
  // Step 2: output format, parameter summary and conversion launch.
  void combo_outputformatClick();
  void UpdateParameterSummary(std::uint8_t format);
  void advanced_settingsClick();
  void button_convertClick();  // Convert; One-Click Convert runs it with OneClickPending set
  bool OneClickPending = false;
  // Profiles and one-click convert.
  void PointProfileLink();
  void button_saveprofileClick();
  void button_oneclickconvertClick();

 private:
  bool CheckOperatingSystem();
  bool CheckPowerPointFolder();
  bool CheckPowerPointVersion();
  bool CheckInstallationRecord();
  void BindPageOne();
  void BindPageTwo();
  void BindPageThree();
  void WriteResult();
  void Bind(const std::string& id, pagehost::IEventAdapter& adapter, void (TForm_main::*handler)());
  void SetOuterHTML(const std::string& id, const std::string& html);
  // Elements the step handlers read and write; a page without the element fails clearly.
  pagehost::ElementPtr Element(const std::string& id);
  std::string AttributeOf(const std::string& id, const std::string& name);
  void SetAttributeOf(const std::string& id, const std::string& name, const std::string& value);
  std::string DeviceListHTML(const char* id, std::uint16_t count, bool lines);
  void RestoreCurrentDir();
  bool ReadStepOne();
  std::uint8_t ListedFormatOr(std::uint8_t fallback);
  void FillOutputParameters();
  bool MakeJobFolder();
  bool SizeCaptureWindow(const platform::MonitorInfo& monitor);
  bool WriteProfilePage();
  void ShowLine(const std::string& picture, const std::string& textClass, const std::string& message);
  void DeleteConversionFolders();

  bool firstShow_ = true;
  std::string locationURL_;
  // One adapter per bound event, made with the browser and freed right after it.
  std::array<std::unique_ptr<pagehost::IEventAdapter>*, 15> EventAdapters();
  std::unique_ptr<pagehost::IEventAdapter> Event_next, Event_exit, Event_prev, Event_convert, Event_saveprofile,
      Event_oneclickconvert, Event_wavein, Event_pptbrowser, Event_outputpathbrowser, Event_outputformat,
      Event_advanced, Event_again, Event_outdir, Event_help, Event_about;
};

extern TForm_main* Form_main;

extern const char* const Page1URL;
extern const char* const Page2URL;
extern const char* const Page3URL;

// The text of the failure that ShowFatalError reports.
extern std::string LastErrorText;
// A failure the program cannot go on from, on the main thread: its text becomes
// LastErrorText and ShowFatalError reports it.
void ShowFatalErrorText(const std::string& text);
