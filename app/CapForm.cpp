#include "CapForm.h"

#include "AppContext.h"
#include "AudioCap.h"
#include "GlobalFunc.h"
#include "platform/Platform.h"
#include "vcl/IniFiles.h"
#include "vcl/SysUtils.h"

TForm_cap* Form_cap = nullptr;

std::shared_ptr<vcl::TEvent> CaptureDoneEvent;
std::int32_t PowerPointShellStarted = 0;
std::atomic<bool> CapturePaused{false};
std::atomic<std::int32_t> CaptureSeconds{0};
std::atomic<std::int32_t> CurrentSlideIndex{0};
std::atomic<bool> LastSlideReached{false};
std::atomic<bool> SlideWindowFound{false};
std::string DVDStepText;

namespace {

template <class C>
C* Make(vcl::TWinControl* parent, const char* name, int left, int top, int width, int height) {
  auto* c = new C(parent);
  c->Name = name;
  c->SetParent(parent);
  c->SetBounds(left, top, width, height);
  return c;
}

vcl::TTimer* MakeTimer(vcl::TComponent* owner, const char* name, unsigned interval) {
  auto* t = new vcl::TTimer(owner);
  t->Name = name;
  t->SetEnabled(false);
  t->SetInterval(interval);
  return t;
}

}  // namespace

TForm_cap::TForm_cap() {
  Name = "Form_cap";
  BorderStyle = vcl::TFormBorderStyle::bsDialog;
  Position = vcl::TPosition::poScreenCenter;
  SetClientSize(474, 340);

  // Both pages' tabs are hidden: only the window itself switches pages.
  PageControl1 = Make<vcl::TPageControl>(this, "PageControl1", 0, 0, 474, 340);
  PageControl1->SetAlign(vcl::TAlign::alClient);
  TabSheet_cap = Make<vcl::TTabSheet>(PageControl1, "TabSheet_cap", 0, 0, 0, 0);
  TabSheet_cap->TabVisible = false;
  TabSheet_progress = Make<vcl::TTabSheet>(PageControl1, "TabSheet_progress", 0, 0, 0, 0);
  TabSheet_progress->TabVisible = false;
  PageControl1->ArrangeSheets();
  PageControl1->SetActivePage(TabSheet_cap);
  const int width = TabSheet_cap->Width(), height = TabSheet_cap->Height();

  // The button panel keeps its height at the bottom; the black area takes the rest, however
  // Step 2 sizes the window for the video.
  Panel2 = Make<vcl::TPanel>(TabSheet_cap, "Panel2", 0, 0, width, height - CapButtonPanelHeight);
  Panel2->SetAlign(vcl::TAlign::alClient);
  Panel2->SetColor(vcl::clBtnText);
  // Disabled so the slide show placed inside gets no mouse or keyboard input.
  Panel_cap = Make<vcl::TPanel>(Panel2, "Panel_cap", 88, 2, 320, 240);
  Panel_cap->SetEnabled(false);
  Panel1 = Make<vcl::TPanel>(TabSheet_cap, "Panel1", 0, height - CapButtonPanelHeight, width, CapButtonPanelHeight);
  Panel1->SetAlign(vcl::TAlign::alBottom);
  Button_cancel = Make<vcl::TButton>(Panel1, "Button_cancel", 40, 8, 75, 25);
  Button_cancel->SetCaption("Cancel");
  Button_stop = Make<vcl::TButton>(Panel1, "Button_stop", 152, 8, 75, 25);
  Button_stop->SetCaption("Stop");
  Button_pause = Make<vcl::TButton>(Panel1, "Button_pause", 265, 8, 75, 25);
  Button_pause->SetCaption("Pause");
  Button_next = Make<vcl::TButton>(Panel1, "Button_next", 360, 8, 75, 25);
  Button_next->SetCaption("Next");
  CheckBox_autostop = Make<vcl::TCheckBox>(Panel1, "CheckBox_autostop", 40, 43, 300, 17);
  Label_free = Make<vcl::TLabel>(Panel1, "Label_free", 40, 70, 300, 13);

  Image1 = Make<vcl::TImage>(TabSheet_progress, "Image1", 0, 0, width, height);
  Image1->SetAlign(vcl::TAlign::alClient);
  Image1->Stretch = true;
  Image1->SetPicture("PROGRESSBACK");
  Image2 = Make<vcl::TImage>(TabSheet_progress, "Image2", (width - 128) / 2, 40, 128, 128);
  Image2->SetPicture("PROGRESSCLOCK");
  ProgressBar_total = Make<vcl::TProgressBar>(TabSheet_progress, "ProgressBar_total", 40, 200, width - 80, 17);
  ProgressBar_total->SetRange(0, 100);
  Label_step = Make<vcl::TLabel>(TabSheet_progress, "Label_step", 40, 225, width - 80, 13);
  Label_step->Transparent = true;
  Button_dvdcancel = Make<vcl::TButton>(TabSheet_progress, "Button_dvdcancel", (width - 75) / 2, 260, 75, 25);
  Button_dvdcancel->SetCaption("Cancel");

  Timer1 = MakeTimer(this, "Timer1", 1000);
  Timer2 = MakeTimer(this, "Timer2", StatusPeriod);
  Timer3 = MakeTimer(this, "Timer3", AnimationPeriod);

  Button_cancel->OnClick = [this] { Button_cancelClick(); };
  Button_stop->OnClick = [this] { Button_stopClick(); };
  Button_pause->OnClick = [this] { Button_pauseClick(); };
  Button_next->OnClick = [this] { Button_nextClick(); };
  Button_dvdcancel->OnClick = [this] { Button_dvdcancelClick(); };
  Timer1->OnTimer = [this] { Timer1Timer(); };
  Timer2->OnTimer = [this] { Timer2Timer(); };
  Timer3->OnTimer = [this] { Timer3Timer(); };

  OnCreate = [this] { FormCreate(); };
  OnShow = [this] { FormShow(); };
  OnCloseQuery = [this] { return FormCloseQuery(); };
  OnHide = [this] { FormHide(); };
  OnDestroy = [this] { FormDestroy(); };
}

void TForm_cap::FormCreate() {
  CaptureDoneEvent = std::make_shared<vcl::TEvent>(true, true);
  CheckBox_autostop->SetCaption("Auto stop(Disk free size <= 100MB)");
  CheckBox_autostop->SetChecked(vcl::TIniFile(ConfigFile).ReadBool("Global", "AutoStop", true));
}

bool TForm_cap::FormCloseQuery() { return !CloseLocked; }

void TForm_cap::FormHide() { EnableScreenSaver(); }

void TForm_cap::FormDestroy() {
  AudioCapture.reset();
  CaptureDoneEvent.reset();
  vcl::TIniFile(ConfigFile).WriteBool("Global", "AutoStop", CheckBox_autostop->Checked());
}

std::int32_t DriveFreeMB(const std::string& path) {
  const std::string drive = vcl::UpperCase(vcl::ExtractFileDrive(path));
  if (drive.empty()) throw vcl::Exception("No drive in the path \"" + path + "\"");
  // Drive numbers count from A = 1; anything else (a network path's "\") is no drive.
  const int number = static_cast<unsigned char>(drive[0]) - 64;
  std::int64_t bytes = -1;
  if (number >= 1 && number <= 26) {
    const std::string root = std::string(1, static_cast<char>('@' + number)) + ":\\";
    if (auto free = platform::Files().DiskFree(root)) bytes = static_cast<std::int64_t>(*free);
  }
  return static_cast<std::int32_t>(bytes / 1048576);
}
