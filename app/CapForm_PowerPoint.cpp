// The capture window's side of the presentation program: the hook that keeps the slide
// show invisible, starting the show, taking its window into the capture panel, preparing
// the slides with their end marker, advancing them and leaving the show.
#include "AppContext.h"
#include "CapForm.h"
#include "ConvertSettings.h"
#include "GlobalFunc.h"
#include "MainForm.h"
#include "PPTInterface.h"
#include "PPTWaitThread.h"
#include "platform/Platform.h"
#include "vcl/Dialogs.h"

using platform::AutoValue;
using platform::Call;
using platform::Get;
using platform::Put;

namespace {
const char* const ShowHookLibrary = "showhook.dll";
const char* const PowerPointProgId = "PowerPoint.Application";
const char* const ShowWindowClass = "screenClass";
constexpr std::uint32_t WS_EX_LAYERED_BIT = 0x80000;
constexpr std::uint32_t LWA_ALPHA_FLAG = 0x2;
// RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME
constexpr std::uint32_t RedrawWholeWindow = 0x485;

platform::AutomationObject Object(const AutoValue& value) { return value.AsObject(); }
}  // namespace

void TForm_cap::FailAndClose(const std::string& text) {
  vcl::MessageDlg(text, vcl::TMsgDlgType::mtError);
  Form_main->Close();
}

bool TForm_cap::LoadShowHook() {
  platform::ILibraries& libraries = platform::Libraries();
  if (!libraries.Load(ShowHookLibrary)) return false;
  installedUninstall_ = nullptr;
  std::function<std::uint32_t(platform::Handle)> install = libraries.WindowEntry(ShowHookLibrary, "install");
  if (!install) return false;
  installedUninstall_ = libraries.PlainEntry(ShowHookLibrary, "uninstall");
  if (!installedUninstall_) return false;
  return (install(vcl::Widgetset().WindowHandle(*Panel_cap)) & 0xFF) != 0;
}

bool TForm_cap::LaunchPowerPoint() {
  if (!LoadShowHook()) {
    FailAndClose("Error: Cannot insert PowerPoint Dll.");
    return false;
  }
  PowerPointShellStarted = 0;
  try {
    PptApplication = platform::Automation().CreateObject(PowerPointProgId);
    PptPresentation = Object(Call(Object(Get(PptApplication, "Presentations")), "Open",
                                  {AutoValue::StringRef(ConvertSettings.PPTFile), AutoValue::Integer(0),
                                   AutoValue::Integer(0), AutoValue::Integer(0)}));
  } catch (const std::exception&) {
    // Not reported: the presentation program is started from the command line instead.
    std::uint32_t process = 0;
    if (FindProcess(PowerPointExeName, process)) KillProcess(PowerPointExeName);
    PowerPointShellStarted = 1;
    platform::Processes().ShellStartHidden(
        "cmd.exe", "/c \"\"" + PowerPointExe + "\" /s \"" + ConvertSettings.PPTFile + "\"\"");
  }
  if (PowerPointShellStarted == 1) return true;
  try {
    Call(Object(Get(PptPresentation, "SlideShowSettings")), "Run");
    return true;
  } catch (const std::exception& e) {
    FailAndClose(std::string("Error: Cannot start PowerPoint(#3: ") + e.what() + ")");
    return false;
  }
}

void TForm_cap::ReportSlideShowMissing() {
  vcl::MessageDlg("Error: Cannot start PowerPoint, maybe it has not started running slide show",
                  vcl::TMsgDlgType::mtError);
  if (installedUninstall_) installedUninstall_();
  Form_main->Close();
}

// The first part of BeginRecording; false when it failed (and said so).
bool TForm_cap::TakeOverSlideShow() {
  if (installedUninstall_) installedUninstall_();
  Panel_cap->SetVisible(true);
  if (PowerPointShellStarted == 1) {
    try {
      PptApplication = platform::Automation().GetActiveObject(PowerPointProgId);
      PptPresentation = Object(Get(PptApplication, "ActivePresentation"));
    } catch (const std::exception& e) {
      FailAndClose(std::string("Error: Cannot start PowerPoint(#2: ") + e.what() + ")");
      return false;
    }
  }
  const char* const cannotInitialize = "Error: Cannot initialize powerpoint";
  try {
    EventSink = platform::Automation().CreateEventSink(PPTInfInvoke);
    SinkCookie = PptApplication->Advise(PowerPointEventsIid, EventSink);

    // The show window is placed in points: at 96 dots per inch three quarters of a pixel.
    const platform::AutomationObject window = Object(Get(PptPresentation, "SlideShowWindow"));
    Put(window, "Left", AutoValue::Integer(0));
    Put(window, "Top", AutoValue::Integer(0));
    Put(window, "Height", AutoValue::Float(Panel_cap->Height() * 3 / 4.0));
    Put(window, "Width", AutoValue::Float(Panel_cap->Width() * 3 / 4.0));

    platform::IWindows& windows = platform::Windows();
    const platform::Handle show = windows.FindTopLevel(ShowWindowClass);
    if (!show || !windows.SetParent(show, vcl::Widgetset().WindowHandle(*Panel_cap)) ||
        !windows.SetLayeredAttributes(show, 0, 255, LWA_ALPHA_FLAG)) {
      FailAndClose(cannotInitialize);
      return false;
    }
    windows.SetExStyle(show, windows.ExStyle(show) & ~WS_EX_LAYERED_BIT);
    windows.Redraw(show, RedrawWholeWindow);

    // Slides move only when the program says so; a copy of the last one marks the end.
    Put(Object(Get(PptPresentation, "SlideShowSettings")), "AdvanceMode", AutoValue::Integer(1));
    const platform::AutomationObject slides = Object(Get(PptPresentation, "Slides"));
    const std::int32_t count = Get(slides, "Count").AsInteger();
    for (std::int32_t i = 1; i <= count; ++i)
      Put(Object(Get(Object(Call(slides, "Item", {AutoValue::Integer(i)})), "SlideShowTransition")),
          "AdvanceOnTime", AutoValue::Integer(0));
    Call(Object(Call(slides, "Item", {Get(slides, "Count")})), "Duplicate");
    SlideCount = Get(slides, "Count").AsInteger();
  } catch (const std::exception& e) {
    FailAndClose(std::string("Error: Cannot start PowerPoint(#3: ") + e.what() + ")");
    return false;
  }
  return true;
}

void TForm_cap::NextSlide() { Call(Object(Get(Object(Get(PptPresentation, "SlideShowWindow")), "View")), "Next"); }

void TForm_cap::LastSlideStop() {
  CurrentWaitThread.Clear();  // Stop must not ask the calling thread to end
  Button_stopClick();
}

bool TForm_cap::StopSlideShow() {
  Call(Object(Get(Object(Get(PptPresentation, "SlideShowWindow")), "View")), "exit");
  PptApplication->Unadvise(PowerPointEventsIid, SinkCookie);
  return true;
}
