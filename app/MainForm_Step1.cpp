// Step 1: the presentation, the output folder, the slide show mode and the audio source.
#include "AppContext.h"
#include "AudioCap.h"
#include "ConvertSettings.h"
#include "GlobalFunc.h"
#include "MainForm.h"
#include "vcl/Dialogs.h"
#include "vcl/SysUtils.h"

using vcl::MessageDlg;
using vcl::TMsgDlgType;

namespace {
const char* const StereoMix = "Stereo Mix";
constexpr int MinSlideTime = 5, MaxSlideTime = 1800;
}  // namespace

// A select list of the devices or of the current device's lines, the option values being
// their positions; the "Stereo Mix" line comes preselected.
std::string TForm_main::DeviceListHTML(const char* id, std::uint16_t count, bool lines) {
  std::string html = std::string("<select  ID=\"") + id + "\">";
  for (std::uint16_t i = 0; i < count; ++i) {
    const std::string& name = lines ? AudioCapture->Lines[i].Name : AudioCapture->Devices[i].Name;
    const bool selected = lines && vcl::Trim(name) == StereoMix;
    html += "<option value=\"" + std::to_string(i) + "\"" + (selected ? " selected" : "") + ">" + name + "</option>";
  }
  return html + "</select>";
}

void TForm_main::PageOneSetup() {
  SetAttributeOf("edit_outputpath", "value", ConvertSettings.OutputPath);
  SetAttributeOf("edit_transitontime", "value", std::to_string(ConvertSettings.AutoSlideTime));
  SetAttributeOf("capmode_mannual", "checked", "true");  // manual mode is where every run starts

  AudioCapture = std::make_unique<CAudioCapture>(vcl::Widgetset().WindowHandle(*this));
  bool devices = false;
  try {
    devices = AudioCapture->EnumDevices();
  } catch (const std::exception& e) {
    // The devices cannot be listed: said once, and page 1 works without sound.
    MessageDlg(std::string("Error: ") + e.what(), TMsgDlgType::mtError);
  }
  if (devices) {
    SetOuterHTML("combo_wavein", DeviceListHTML("combo_wavein", AudioCapture->DeviceCount, false));
    PageOneReady = true;
    combo_waveinClick();
  } else {
    PageOneReady = true;
    SetAttributeOf("checkbox_audiorecording", "disabled", "true");
  }
}

void TForm_main::combo_waveinClick() {
  // A choice that names no position has no lines either.
  const int device = vcl::StrToIntDef(AttributeOf("combo_wavein", "value"), -1);
  if (!AudioCapture->EnumLines(device)) {
    MessageDlg("Error: Cannot get audio line infomation", TMsgDlgType::mtError);
    return;
  }
  SetOuterHTML("combo_recordctl", DeviceListHTML("combo_recordctl", AudioCapture->LineCount, true));
}

void TForm_main::RestoreCurrentDir() {
  if (!platform::System().SetCurrentDir(ProgramFolder))
    MessageDlg("Error: Cannot set current directory. ", TMsgDlgType::mtError);
}

void TForm_main::button_pptbrowserClick() {
  OpenDialog_inout.Filter = PowerPointVersion < 12
                                ? "Powerpoint files (*.ppt;*.pps)|*.PPT;*.PPS"
                                : "Powerpoint files (*.ppt;*.pptx;*.pptm;*.ppsx;*.ppsm;*.pps)|"
                                  "*.PPT;*.PPTX;*.PPTM;*.PPSX;*.PPSM;*.PPS";
  if (OpenDialog_inout.Execute()) SetAttributeOf("edit_pptfile", "value", OpenDialog_inout.FileName);
  RestoreCurrentDir();
}

void TForm_main::button_outputpathbrowserClick() {
  std::string folder;
  if (vcl::SelectDirectory("Please choose output file path", folder))
    SetAttributeOf("edit_outputpath", "value",
                   folder + (vcl::EndsWithPathDelimiter(folder) ? "Output Video" : "\\Output Video"));
  RestoreCurrentDir();
}

// Steps 1 to 8 of Next: false when a check stopped it (its message is on the error line).
bool TForm_main::ReadStepOne() {
  TConvertSettings& s = ConvertSettings;
  SavePageState(*WebBrowser1);
  std::uint32_t encoder = 0;
  if (FindProcess(EncoderExe, encoder)) KillProcess(EncoderExe);

  s.PPTFile = AttributeOf("edit_pptfile", "value");
  s.OutputPath = AttributeOf("edit_outputpath", "value");
  s.CapMode = vcl::LowerCase(AttributeOf("capmode_auto", "checked")) != "true";
  s.AudioRecording = vcl::LowerCase(AttributeOf("checkbox_audiorecording", "checked")) == "true";
  if (s.AudioRecording) {
    s.wavein_index = vcl::StrToInt(AttributeOf("combo_wavein", "value"));
    s.selline_index = vcl::StrToInt(AttributeOf("combo_recordctl", "value"));
  }

  if (!platform::Files().FileExists(s.PPTFile)) {
    ShowErrorLine("Cannot find the PowerPoint file you want to convert, please choose again.");
    return false;
  }
  if (s.OutputPath.empty()) {
    ShowErrorLine("Please choose output directory.");
    return false;
  }
  const std::string outputPath = vcl::Trim(s.OutputPath);
  if (vcl::ExtractFileDrive(outputPath).empty()) {
    ShowErrorLine("Cannot find drive infomation in output path, please choose again.");
    return false;
  }
  if (!platform::Files().DirectoryExists(outputPath) && !platform::Files().CreateDir(outputPath)) {
    ShowErrorLine("Cannot create output directory");
    return false;
  }
  return true;
}

void TForm_main::button_nextClick() {
  std::string slideTime;
  try {
    if (!ReadStepOne()) return;
    slideTime = AttributeOf("edit_transitontime", "value");
  } catch (const std::exception& e) {
    MessageDlg(std::string("Error: ") + e.what(), TMsgDlgType::mtError);
    Close();
    return;
  }
  if (!ConvertSettings.CapMode) {
    int seconds = 0;
    if (!vcl::TryStrToInt(slideTime, seconds)) {
      ShowErrorLine("Slide transition time you set is not valid, please set again.");
      return;
    }
    ConvertSettings.AutoSlideTime = seconds;
    if (seconds < MinSlideTime || seconds > MaxSlideTime) {
      ShowErrorLine("Slide transition time must be between 5 and 1800 secs.");
      return;
    }
  }
  Navigate(Page2URL);
}
