// The capture window running one conversion: its show, the start of the recording, the
// status tick and slide timer, Next, Pause and Resume, Stop and Cancel, and the DVD
// authoring page.
#include "AppContext.h"
#include "AudioCap.h"
#include "CapForm.h"
#include "ConvertSettings.h"
#include "DVDConvertThread.h"
#include "GlobalFunc.h"
#include "MainForm.h"
#include "OutputCatalogue.h"
#include "PPTWaitThread.h"
#include "ROdeThread.h"
#include "platform/Platform.h"
#include "vcl/Dialogs.h"
#include "vcl/SysUtils.h"

using vcl::MessageDlg;
using vcl::TMsgDlgType;

namespace {
constexpr std::uint32_t PauseKey = 112;  // "p"
}  // namespace

void TForm_cap::FormShow() {
  Timer2->SetEnabled(false);
  Timer1->SetEnabled(false);
  Timer3->SetEnabled(false);
  SetCaption("Slides Count: 0/0  Capture Time: 00:00:00");
  ConvertCanceled = false;
  CapturePaused = false;
  CurrentDVDThread.Clear();
  Panel_cap->SetVisible(false);
  PageControl1->SetActivePage(TabSheet_cap);
  LastSlideReached = false;
  SlideWindowFound = false;
  CloseLocked = true;
  recordingEnded_ = false;
  for (vcl::TButton* button : {Button_cancel, Button_stop, Button_pause, Button_next}) button->SetEnabled(false);
  CurrentSlideIndex = 1;
  SlideCount = -1;
  CurrentWaitThread.Clear();
  FinalCaptureSeconds = 0;
  CaptureSeconds = 0;
  DisableScreenSaver();
  try {
    FreeMB = DriveFreeMB(JobFolder);
    DriveName = vcl::UpperCase(vcl::ExtractFileDrive(JobFolder));
  } catch (const std::exception&) {
    FailAndClose("Error: Cannot get disk free size");
    return;
  }
  Label_free->SetFontColor(vcl::clWindowText);
  Label_free->SetCaption("Drive " + DriveName + " free size: " + std::to_string(FreeMB) + "MB");
  if (LaunchPowerPoint()) {
    auto* waiter = new TPPTWaitThread(TPPTWaitThread::WaitForShowWindow);
    waiter->Resume();
  } else {
    Form_main->Close();
  }
}

void TForm_cap::BeginRecording() {
  if (!TakeOverSlideShow()) return;
  const TConvertSettings& s = ConvertSettings;
  if (!platform::System().SetCurrentDir(ProgramFolder))
    MessageDlg("Error: Cannot set current directory. ", TMsgDlgType::mtError);
  const std::string command = EncoderCommandLine(vcl::Widgetset().WindowHandle(*Panel_cap));
  Timer2->SetEnabled(true);
  if (s.AudioRecording) {
    std::int32_t code = 0;
    if (!AudioCapture->BuildGraph(s.wavein_index, s.selline_index, code)) {
      LastErrorText = "Cannot build audio capture graph(#" + std::to_string(code) + ").";
      Form_main->ShowFatalError();
      return;
    }
    if (!AudioCapture->StartCapture()) {
      LastErrorText = "Cannot start audio capture.";
      Form_main->ShowFatalError();
      return;
    }
  }
  CaptureDoneEvent->ResetEvent();
  auto* encoder = new TVCapThread(command);
  CurrentROdeThread.Set(*encoder);
  encoder->Resume();
  if (!s.CapMode) {
    Timer1->SetInterval(static_cast<unsigned>(s.AutoSlideTime) * 1000u);
    Timer1->SetEnabled(true);
  }
  auto* watcher = new TPPTWaitThread(TPPTWaitThread::WatchLastSlide);
  CurrentWaitThread.Set(*watcher);
  watcher->Resume();
}

void TForm_cap::Timer2Timer() {
  try {
    FreeMB = DriveFreeMB(JobFolder);
  } catch (const std::exception&) {
    MessageDlg("Error: Cannot get disk free size", TMsgDlgType::mtError);
    Button_cancelClick();
    return;
  }
  if (FreeMB <= AutoStopThresholdMB && CheckBox_autostop->Checked()) {
    Button_stopClick();
    return;
  }
  if (FreeMB > AutoStopThresholdMB) {
    Label_free->SetCaption("Drive " + DriveName + " free size: " + std::to_string(FreeMB) + "MB");
  } else {
    Label_free->SetFontColor(vcl::clRed);
    Label_free->SetCaption("Drive " + DriveName + " free space may be not enough");
  }
  if (!Button_cancel->Enabled() && CaptureSeconds > 0 && !CapturePaused) {
    Button_cancel->SetEnabled(true);
    Button_stop->SetEnabled(true);
    if (ConvertSettings.CapMode) {
      Button_next->SetEnabled(true);
      Button_pause->SetEnabled(true);
    }
  }
  const std::int32_t seconds = CaptureSeconds;
  SetCaption("Slides Count: " + std::to_string(CurrentSlideIndex) + "/" + std::to_string(SlideCount - 1) + "  " +
             vcl::Format("Capture Time: %.2d:%.2d:%.2d", seconds / 3600, seconds % 3600 / 60, seconds % 60));
}

void TForm_cap::Timer1Timer() { Button_nextClick(); }

void TForm_cap::Button_nextClick() { NextSlide(); }

void TForm_cap::Button_pauseClick() {
  const platform::Handle encoder = FindEncoderWindow();
  if (!encoder) {
    LastErrorText = "Cannot find rode process.";
    Form_main->ShowFatalError();
    return;
  }
  platform::Windows().SendChar(encoder, PauseKey);
  if (!CapturePaused) {
    AudioCapture->PauseCapture();
    CapturePaused = true;
    Button_pause->SetCaption("Resume");
    for (vcl::TButton* button : {Button_cancel, Button_stop, Button_next}) button->SetEnabled(false);
    return;
  }
  Button_pause->SetCaption("Pause");
  Button_pause->SetEnabled(false);
  AudioCapture->ResumeCapture();
  // The encoder and the sound settle before anything else may happen; the window does
  // not respond meanwhile.
  platform::System().Sleep(ResumeSettleTime);
  CapturePaused = false;
  for (vcl::TButton* button : {Button_pause, Button_cancel, Button_stop, Button_next}) button->SetEnabled(true);
}

// Stop and Cancel end the encoder thread alike: false when it did not finish in time.
bool TForm_cap::EndEncoderThread() {
  if (!CurrentROdeThread.Assigned()) return true;
  CurrentROdeThread.Terminate();
  if (!CaptureDoneEvent->WaitFor(EncoderStopWait)) {
    FailAndClose("Error: Capture thread does not return");
    return false;
  }
  CaptureDoneEvent->ResetEvent();
  return true;
}

// Stop and Cancel end the recording alike; false when a failure has ended the program.
// A request that reaches a recording that has already ended (the end marker came just as
// the user pressed Stop) has nothing left to do.
bool TForm_cap::EndRecording() {
  if (recordingEnded_) return false;
  recordingEnded_ = true;
  Timer2->SetEnabled(false);
  Timer1->SetEnabled(false);
  CloseLocked = false;
  try {
    StopSlideShow();
  } catch (const std::exception& e) {
    FailAndClose(std::string("Error: Cannot stop PowerPoint(") + e.what() + ")");
    return false;
  }
  CurrentWaitThread.Terminate();
  CurrentWaitThread.Clear();
  AudioCapture->StopCapture();
  return EndEncoderThread();
}

void TForm_cap::Button_stopClick() {
  if (recordingEnded_) return;
  FinalCaptureSeconds = CaptureSeconds;
  if (!EndRecording()) return;

  if (ConvertSettings.OutputFormat == FormatDVD) {
    const int w = TabSheet_progress->Width();
    Image2->SetBounds(w / 2 - Image2->Width() / 2, 50, Image2->Width(), Image2->Height());
    ProgressBar_total->SetBounds(100, Image2->Top() + 200, w - 200, ProgressBar_total->Height());
    Label_step->SetBounds(ProgressBar_total->Left(), ProgressBar_total->Top() - 40, Label_step->Width(),
                          Label_step->Height());
    Button_dvdcancel->SetBounds(w / 2 - Button_dvdcancel->Width() / 2, ProgressBar_total->Top() + 70,
                                Button_dvdcancel->Width(), Button_dvdcancel->Height());
    PageControl1->SetActivePage(TabSheet_progress);
    CloseLocked = true;
    ProgressBar_total->SetPosition(0);
    Label_step->SetCaption("Creating vob files...");
    Timer3->SetEnabled(true);
    SetCaption("Converting now, please wait...");
    auto* authoring = new TDVDConvertThread;
    CurrentDVDThread.Set(*authoring);
    authoring->Resume();
    return;
  }
  EndConversion(false);
}

void TForm_cap::Button_cancelClick() {
  if (recordingEnded_) return;
  ConvertCanceled = true;
  if (EndRecording()) EndConversion(true);
}

// The window closes and the main window shows the result: a finished conversion leaves
// its video and report, a cancelled one nothing.
void TForm_cap::EndConversion(bool canceled) {
  Close();
  DeleteFolder(TempFolder);
  if (canceled) DeleteFolder(JobFolder);
  else WriteBuildReport();
  Form_main->Navigate(Page3URL);
}

void TForm_cap::Button_dvdcancelClick() {
  CurrentDVDThread.Terminate();
  ConvertCanceled = true;
}

void TForm_cap::Timer3Timer() {
  ProgressBar_total->SetPosition(ProgressBar_total->Position() < 100 ? ProgressBar_total->Position() + 1 : 1);
}

void TForm_cap::ShowDVDStep() { Label_step->SetCaption(DVDStepText); }

void TForm_cap::FinishDVDDone() {
  Timer3->SetEnabled(false);
  CloseLocked = false;
  EndConversion(false);
}

void TForm_cap::FinishDVDCanceled() {
  Timer3->SetEnabled(false);
  CloseLocked = false;
  EndConversion(true);
}
