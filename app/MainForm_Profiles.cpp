// Profiles: Save Profile on page 2, the View Profile link and One-Click Convert on page 1.
#include "AppContext.h"
#include "ConvertSettings.h"
#include "MainForm.h"
#include "OutputCatalogue.h"
#include "vcl/IniFiles.h"
#include "vcl/SysUtils.h"

namespace {

const char* const Profile = "Profile";

std::string ProfileIni() { return DataFolder + "\\profile.ini"; }
std::string ProfilePage() { return ProgramFolder + "\\profile.html"; }

const char* const ProfilePageHead =
    "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\" "
    "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\">"
    "<html xmlns=\"http://www.w3.org/1999/xhtml\" xml:lang=\"en\" lang=\"en\">"
    "<head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\" />"
    "<meta http-equiv=\"MSThemeCompatible\" content=\"yes\" />"
    "<title>oneclicksettings</title>"
    "<link rel=\"stylesheet\" type=\"text/css\" href=\"css/oneclicksettings.css\" /></head>"
    "<body ID=\"body\"><div id=\"container\"><div class=\"bigpad\"> </div><div id=\"videopara\" class=\"greenbox\">"
    "<div class=\"greenboxtop\"><h4>One-Click Convert Parameters</h4>";
const char* const ProfilePageTail =
    "</div><div class=\"greenboxbottom\"><!-- end #greebox--></div><div class=\"littlepad\"> </div></div></div>"
    "</body></html>";

std::string Row(const std::string& label, const std::string& value) {
  return "<li class=\"leftli\">" + label + ":</li><li class=\"rightli\">" + value + "</li>";
}

}  // namespace

void TForm_main::PointProfileLink() {
  SetAttributeOf("a_oneclickconvertset", "href",
                 platform::Files().FileExists(ProfilePage()) ? ProfilePage() : std::string("#0"));
}

// The profile page lists the choices; it declares UTF-8, so the ANSI texts are converted.
bool TForm_main::WriteProfilePage() {
  const TConvertSettings& s = ConvertSettings;
  std::string list = "<ul id=\"videoparalist\">" + Row("Output Path", s.OutputPath);
  list += Row("Slide Show Mode", s.CapMode ? "Mannual" : "Auto(" + std::to_string(s.AutoSlideTime) + " secs)");
  list += Row("Audio Recording", s.AudioRecording ? "Yes" : "No");
  list += "<li class=\"leftli\">Output Format:</li>";
  if (const TFormatCatalogue* format = FormatOfCode(s.OutputFormat))
    list += std::string("<li class=\"rightli\">") + format->ProfileName + "</li>";
  list += Row("Resolution", s.ResolutionDes);
  list += Row("Video Compress Format", s.VCompressFormatDes);
  list += Row("Video Framerate", s.VFramerateDes);
  list += Row("Video Bitrate", s.VBitrateDes);
  if (s.AudioRecording) {
    list += Row("Audio Compress Format", s.ACompressFormatDes);
    list += Row("Audio Bitrate", s.ABitrateDes);
  }
  list += "</ul>";
  return platform::Files().WriteWholeFile(
      ProfilePage(), ProfilePageHead + platform::System().AnsiToUtf8(list) + ProfilePageTail);
}

void TForm_main::button_saveprofileClick() {
  TConvertSettings& s = ConvertSettings;
  if (platform::Files().FileExists(ProfilePage())) platform::Files().RemoveFile(ProfilePage());
  vcl::TIniFile ini(ProfileIni());
  try {
    s.OutputFormat = ListedFormatOr(s.OutputFormat);
    FillOutputParameters();
    ini.WriteString(Profile, "OutputPath", s.OutputPath);
    ini.WriteInteger(Profile, "CapMode", s.CapMode ? 1 : 0);
    ini.WriteInteger(Profile, "AutoSlideTime", s.AutoSlideTime);
    ini.WriteBool(Profile, "AudioRecording", s.AudioRecording);
    ini.WriteInteger(Profile, "wavein_index", s.wavein_index);
    ini.WriteInteger(Profile, "selline_index", s.selline_index);
    ini.WriteInteger(Profile, "OutputFormat", s.OutputFormat);
    ini.WriteString(Profile, "Resolution", s.Resolution);
    ini.WriteInteger(Profile, "VWidth", s.VWidth);
    ini.WriteInteger(Profile, "VHeight", s.VHeight);
    ini.WriteString(Profile, "VCompressFormat", s.VCompressFormat);
    ini.WriteString(Profile, "VFramerate", s.VFramerate);
    ini.WriteString(Profile, "VBitrate", s.VBitrate);
    ini.WriteString(Profile, "ACompressFormat", s.ACompressFormat);
    ini.WriteString(Profile, "ABitrate", s.ABitrate);
    ini.WriteString(Profile, "ResolutionDes", s.ResolutionDes);
    ini.WriteString(Profile, "VCompressFormatDes", s.VCompressFormatDes);
    ini.WriteString(Profile, "VFramerateDes", s.VFramerateDes);
    ini.WriteString(Profile, "VBitrateDes", s.VBitrateDes);
    ini.WriteString(Profile, "ACompressFormatDes", s.ACompressFormatDes);
    ini.WriteString(Profile, "ABitrateDes", s.ABitrateDes);
  } catch (const std::exception& e) {
    ShowErrorLine(e.what());
    return;
  }
  // The settings stay written when the page cannot be: without its page One-Click
  // refuses the profile, so nothing half-saved is ever used.
  if (!WriteProfilePage()) {
    ShowErrorLine("Cannot write the profile page " + ProfilePage() + ".");
    return;
  }
  ShowInfoLine("Profile has been saved successfully.");
}

void TForm_main::button_oneclickconvertClick() {
  TConvertSettings& s = ConvertSettings;
  SavePageState(*WebBrowser1);
  s.PPTFile = AttributeOf("edit_pptfile", "value");
  if (!platform::Files().FileExists(s.PPTFile)) {
    ShowErrorLine("Cannot find the PowerPoint file you want to convert, please choose again.");
    return;
  }
  if (!platform::Files().FileExists(ProfileIni()) || !platform::Files().FileExists(ProfilePage())) {
    ShowErrorLine("Cannot find the Profile you have saved.");
    return;
  }
  const vcl::TIniFile ini(ProfileIni());
  s.OutputPath = ini.ReadString(Profile, "OutputPath", "");
  if (!platform::Files().DirectoryExists(s.OutputPath)) {
    ShowErrorLine("Cannot find output path saved in profile.");
    return;
  }
  s.CapMode = ini.ReadInteger(Profile, "CapMode", 0) != 0;
  if (!s.CapMode) s.AutoSlideTime = ini.ReadInteger(Profile, "AutoSlideTime", 5);
  s.AudioRecording = ini.ReadBool(Profile, "AudioRecording", false);
  if (s.AudioRecording) {
    s.wavein_index = ini.ReadInteger(Profile, "wavein_index", 0);
    s.selline_index = ini.ReadInteger(Profile, "selline_index", 0);
  }
  const int format = ini.ReadInteger(Profile, "OutputFormat", 0);
  if (format >= 0 && format <= FormatSWF) s.OutputFormat = static_cast<std::uint8_t>(format);
  s.Resolution = ini.ReadString(Profile, "Resolution", "");
  s.VWidth = ini.ReadInteger(Profile, "VWidth", 0);
  s.VHeight = ini.ReadInteger(Profile, "VHeight", 0);
  s.VCompressFormat = ini.ReadString(Profile, "VCompressFormat", "");
  s.VFramerate = ini.ReadString(Profile, "VFramerate", "");
  s.VBitrate = ini.ReadString(Profile, "VBitrate", "");
  s.ACompressFormat = ini.ReadString(Profile, "ACompressFormat", "");
  s.ABitrate = ini.ReadString(Profile, "ABitrate", "");
  s.ResolutionDes = ini.ReadString(Profile, "ResolutionDes", "");
  s.VCompressFormatDes = ini.ReadString(Profile, "VCompressFormatDes", "");
  s.VFramerateDes = ini.ReadString(Profile, "VFramerateDes", "");
  s.VBitrateDes = ini.ReadString(Profile, "VBitrateDes", "");
  s.ACompressFormatDes = ini.ReadString(Profile, "ACompressFormatDes", "");
  s.ABitrateDes = ini.ReadString(Profile, "ABitrateDes", "");
  OneClickPending = true;
  button_convertClick();
}
