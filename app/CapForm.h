// The capture window: the running slide show and the recording's controls, the DVD
// progress page, and the state that the parts of a conversion share.
#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/Automation.h"
#include "vcl/ComCtrls.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"
#include "vcl/Thread.h"

class TForm_cap : public vcl::TForm {
 public:
  TForm_cap();

  vcl::TPageControl* PageControl1;
  vcl::TTabSheet* TabSheet_cap;
  vcl::TPanel* Panel2;
  vcl::TPanel* Panel_cap;  // the slide show window is placed in here
  vcl::TPanel* Panel1;
  vcl::TButton* Button_cancel;
  vcl::TButton* Button_stop;
  vcl::TButton* Button_pause;
  vcl::TButton* Button_next;
  vcl::TCheckBox* CheckBox_autostop;
  vcl::TLabel* Label_free;
  vcl::TTabSheet* TabSheet_progress;
  vcl::TImage* Image1;
  vcl::TImage* Image2;
  vcl::TProgressBar* ProgressBar_total;
  vcl::TLabel* Label_step;
  vcl::TButton* Button_dvdcancel;
  vcl::TTimer* Timer1;  // slide timer
  vcl::TTimer* Timer2;  // status tick
  vcl::TTimer* Timer3;  // progress animation

  void FormCreate();
  bool FormCloseQuery();
  void FormHide();
  void FormDestroy();

  // The conversion, from the window's show to the result page.
  void FormShow();
  void BeginRecording();
  void Timer2Timer();
  void Timer1Timer();
  void Button_nextClick();
  void Button_pauseClick();
  void Button_stopClick();
  void Button_cancelClick();
  // The DVD authoring page.
  void Button_dvdcancelClick();
  void Timer3Timer();
  void ShowDVDStep();
  void FinishDVDDone();
  void FinishDVDCanceled();

  // The presentation program and its slide show window.
  bool LoadShowHook();
  bool LaunchPowerPoint();
  void ReportSlideShowMissing();
  void NextSlide();
  void LastSlideStop();
  bool StopSlideShow();
  void WriteBuildReport();

  // State of the running conversion.
  bool CloseLocked = false;  // the title bar's close box is refused meanwhile
  std::string DriveName;     // drive part of the job folder, upper case
  std::int32_t FreeMB = 0;   // last free-space reading of that drive
  platform::AutomationObject PptApplication, PptPresentation;
  std::shared_ptr<platform::IEventSink> EventSink;
  std::uint32_t SinkCookie = 0;
  std::int32_t SlideCount = -1;  // with the end marker, once the slides are prepared

 private:
  bool TakeOverSlideShow();
  bool EndEncoderThread();
  bool EndRecording();
  void EndConversion(bool canceled);
  void FailAndClose(const std::string& text);
  std::function<void()> installedUninstall_;
  bool recordingEnded_ = false;  // a Stop or Cancel has run for this recording
};

extern TForm_cap* Form_cap;

// Set whenever no encoder thread runs; Stop and Cancel wait for it. The encoder thread
// holds it too.
extern std::shared_ptr<vcl::TEvent> CaptureDoneEvent;
// 1 when the presentation program was started from the command line.
extern std::int32_t PowerPointShellStarted;
extern std::atomic<bool> CapturePaused;
extern std::atomic<std::int32_t> CaptureSeconds;  // written by the encoder thread
extern std::string DVDStepText;                   // handed to the main thread by synchronised calls
// The running slide show's position and flags, shared by the main thread and the capture
// session's threads.
extern std::atomic<std::int32_t> CurrentSlideIndex;
extern std::atomic<bool> LastSlideReached;
extern std::atomic<bool> SlideWindowFound;

constexpr std::int32_t AutoStopThresholdMB = 100;
constexpr unsigned EncoderStopWait = 6000;   // ms
constexpr unsigned ResumeSettleTime = 3000;  // ms
constexpr unsigned StatusPeriod = 1000;      // ms
constexpr unsigned AnimationPeriod = 500;    // ms
constexpr int CapButtonPanelHeight = 90;  // the capture sheet's button panel, below the picture
// The capture area above the button panel is never smaller; a smaller video is centred in it.
constexpr int CaptureAreaMinWidth = 600, CaptureAreaMinHeight = 400;

// Free megabytes on the drive of a path; 0 for a drive that is not valid. A path without
// a drive part fails.
std::int32_t DriveFreeMB(const std::string& path);
