// Step 2: the output format, the parameter summary, the advanced settings and the launch
// of a conversion into the capture window.
#include "AdvancedSettingsForm.h"
#include "CapForm.h"
#include "ConvertSettings.h"
#include "GlobalFunc.h"
#include "MainForm.h"
#include "OutputCatalogue.h"
#include "vcl/SysUtils.h"

namespace {
constexpr std::int32_t DvdMinFreeMB = 300;

std::string SummaryRow(const std::string& label, const std::string& value) {
  return "<li class=\"leftli\">" + label + ":</li><li class=\"rightli\">" + value + "</li>";
}
}  // namespace

// The format of page 2's list choice; a value the list does not define gives fallback.
std::uint8_t TForm_main::ListedFormatOr(std::uint8_t fallback) {
  const TFormatCatalogue* format = FormatOfListValue(AttributeOf("combo_outputformat", "value"));
  return format ? format->Code : fallback;
}

void TForm_main::combo_outputformatClick() {
  const std::uint8_t format = ListedFormatOr(FormatAVI);
  ConvertSettings.OutputFormat = format;
  UpdateParameterSummary(format);
}

void TForm_main::UpdateParameterSummary(std::uint8_t format) {
  const TForm_advanced& a = *Form_advanced;
  std::string html = "<ul id=\"videoparalist\">";
  html += SummaryRow("Resolution", a.GetResolutionDes(format));
  html += SummaryRow("Video Compress Format", a.GetVCompressFormatDes(format));
  html += SummaryRow("Video Framerate", a.GetVFramerateDes(format));
  html += SummaryRow("Video Bitrate", a.GetVBitrateDes(format));
  if (ConvertSettings.AudioRecording) {
    html += SummaryRow("Audio Compress Format", a.GetACompressFormatDes(format));
    html += SummaryRow("Audio Bitrate", a.GetABitrateDes(format));
  } else {
    html += SummaryRow("Audio", "No");
  }
  SetOuterHTML("videoparalist", html + "</ul>");
}

void TForm_main::advanced_settingsClick() {
  const std::uint8_t format = ListedFormatOr(FormatAVI);
  SavePageState(*WebBrowser1);
  Form_advanced->ShowFormatPage(format);
  Form_advanced->ShowModal();
}

// The output parameters of the chosen format, as the advanced dialog holds them.
void TForm_main::FillOutputParameters() {
  TConvertSettings& s = ConvertSettings;
  const TForm_advanced& a = *Form_advanced;
  const std::uint8_t f = s.OutputFormat;
  s.Resolution = a.GetResolution(f);
  s.VWidth = a.GetVWidth(f);
  s.VHeight = a.GetVHeight(f);
  s.VCompressFormat = a.GetVCompressFormat(f);
  const std::string framerate = a.GetVFramerate(f);
  double rate = 0;
  if (!ParseNumber(framerate, rate)) throw vcl::EConvertError("'" + framerate + "' is not a valid floating point value");
  s.VFramerate = vcl::Format("%2.3f", static_cast<double>(static_cast<float>(rate)));
  s.VBitrate = a.GetVBitrate(f);
  s.ACompressFormat = a.GetACompressFormat(f);
  s.ABitrate = a.GetABitrate(f);
  s.ResolutionDes = a.GetResolutionDes(f);
  s.VCompressFormatDes = a.GetVCompressFormatDes(f);
  s.VFramerateDes = a.GetVFramerateDes(f);
  s.VBitrateDes = a.GetVBitrateDes(f);
  s.ACompressFormatDes = a.GetACompressFormatDes(f);
  s.ABitrateDes = a.GetABitrateDes(f);
}

// The job folder and its temp folder, one level at a time below the output folder.
bool TForm_main::MakeJobFolder() {
  SetLaunchValues(platform::System().Now());
  platform::IFileSystem& files = platform::Files();
  if (!files.DirectoryExists(JobFolder) && !files.CreateDir(JobFolder)) return false;
  return files.DirectoryExists(TempFolder) || files.CreateDir(TempFolder);
}

// Checks the video size against the screen and lays the capture window out for it.
bool TForm_main::SizeCaptureWindow(const platform::MonitorInfo& monitor) {
  TForm_cap& cap = *Form_cap;
  const TResolutionLimit limit = ResolutionLimit(cap, monitor);
  const TCaptureOverhead before = CaptureOverhead(cap);
  const int width = ConvertSettings.VWidth, height = ConvertSettings.VHeight;
  if (width % 2 != 0 || height % 2 != 0) {
    ShowErrorLine("Resolution must be a multiple of 2.");
    return false;
  }
  if (width < MinVideoWidth || height < MinVideoHeight) {
    ShowErrorLine(vcl::Format("Resolution must be higher than %dx%d.", MinVideoWidth, MinVideoHeight));
    return false;
  }
  const std::string tooLarge = vcl::Format("Resolution must be lower than %dx%d, or try to set higher screen resolution.",
                                           limit.MaxWidth, limit.MaxHeight);
  vcl::TPanel& panel = *cap.Panel_cap;
  if (width > CaptureAreaMinWidth) {
    if (width > limit.MaxWidth) {
      ShowErrorLine(tooLarge);
      return false;
    }
    cap.SetClientSize(before.SheetWidth + width, cap.ClientHeight());
    panel.SetBounds(0, panel.Top(), width, panel.Height());
  } else {
    cap.SetClientSize(before.SheetWidth + CaptureAreaMinWidth, cap.ClientHeight());
    panel.SetBounds(CaptureAreaMinWidth / 2 - width / 2, panel.Top(), width, panel.Height());
  }
  if (height > CaptureAreaMinHeight) {
    if (height > limit.MaxHeight) {
      ShowErrorLine(tooLarge);
      return false;
    }
    cap.SetClientSize(cap.ClientWidth(), before.SheetHeight + height + CapButtonPanelHeight);
    panel.SetBounds(panel.Left(), 0, panel.Width(), height);
  } else {
    cap.SetClientSize(cap.ClientWidth(), before.SheetHeight + CaptureAreaMinHeight + CapButtonPanelHeight);
    panel.SetBounds(panel.Left(), CaptureAreaMinHeight / 2 - height / 2, panel.Width(), height);
  }

  // The bottom controls over five equal columns of the capture area.
  const int column = (cap.ClientWidth() - CaptureOverhead(cap).SheetWidth) / 5;
  auto placeAt = [](vcl::TControl& c, int left) { c.SetBounds(left, c.Top(), c.Width(), c.Height()); };
  const int firstLeft = column - cap.Button_cancel->Width() / 2;
  placeAt(*cap.Button_cancel, firstLeft);
  placeAt(*cap.CheckBox_autostop, firstLeft);
  placeAt(*cap.Label_free, firstLeft);
  int k = 2;
  for (vcl::TControl* button : {static_cast<vcl::TControl*>(cap.Button_stop), static_cast<vcl::TControl*>(cap.Button_pause),
                                static_cast<vcl::TControl*>(cap.Button_next)})
    placeAt(*button, k++ * column - button->Width() / 2);

  cap.SetBounds(monitor.WorkLeft + monitor.WorkWidth / 2 - cap.OuterWidth() / 2,
                monitor.WorkTop + monitor.WorkHeight / 2 - cap.OuterHeight() / 2, cap.Width(), cap.Height());
  return true;
}

void TForm_main::button_convertClick() {
  TConvertSettings& s = ConvertSettings;
  if (!OneClickPending) {
    try {
      WriteConfigurationAtLaunch();
      SavePageState(*WebBrowser1);
      s.OutputFormat = ListedFormatOr(s.OutputFormat);
      FillOutputParameters();
    } catch (const std::exception& e) {
      // The dialog's own checks normally keep its values readable.
      ShowErrorLine(e.what());
      return;
    }
  }
  OneClickPending = false;

  std::uint32_t process = 0;
  if (FindProcess(PowerPointExeName, process)) KillProcess(PowerPointExeName);
  if (FindProcess(EncoderExe, process)) KillProcess(EncoderExe);

  if (!platform::Files().FileExists(s.PPTFile)) {
    ShowErrorLine("Cannot find the PowerPoint file you want to convert.");
    return;
  }
  if (s.OutputFormat == FormatDVD) {
    if (vcl::HasMultiByteCharacters(s.OutputPath)) {
      ShowErrorLine("DVD output path cannot include multibyte characters, please use english characters.");
      return;
    }
    if (DriveFreeMB(s.OutputPath) < DvdMinFreeMB) {
      ShowErrorLine("Output disk free size must be greater than 300MB");
      return;
    }
  }
  if (!MakeJobFolder()) {
    ShowErrorLine("Cannot create output directory.");
    return;
  }
  const std::optional<platform::MonitorInfo> monitor = PrimaryMonitor();
  if (!monitor) {
    ShowErrorLine(NoPrimaryMonitorText);
    return;
  }
  if (!SizeCaptureWindow(*monitor)) return;
  Form_cap->ShowModal();
}
