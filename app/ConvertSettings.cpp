#include "ConvertSettings.h"

#include "AppContext.h"
#include "GlobalFunc.h"
#include "OutputCatalogue.h"
#include "vcl/IniFiles.h"
#include "vcl/SysUtils.h"

TConvertSettings ConvertSettings;
std::string OutputName;
std::string JobFolder;
std::string TempFolder;
bool ConvertCanceled = false;
std::int32_t FinalCaptureSeconds = 0;

static const char* const Global = "Global";

void ReadConfiguration() {
  vcl::TIniFile ini(ConfigFile);
  ConvertSettings.OutputPath = ini.ReadString(Global, "OutputPath", "");
  if (!platform::Files().DirectoryExists(ConvertSettings.OutputPath))
    ConvertSettings.OutputPath = GetSpecialFolder(platform::CsidlPersonal, false);
  ConvertSettings.AutoSlideTime = ini.ReadInteger(Global, "AutoSlideTime", 5);
}

void WriteConfigurationAtShutdown() {
  vcl::TIniFile ini(ConfigFile);
  ini.WriteString(Global, "OutputPath", vcl::Trim(ConvertSettings.OutputPath));
  ini.WriteInteger(Global, "AutoSlideTime", ConvertSettings.AutoSlideTime);
}

void WriteConfigurationAtLaunch() {
  vcl::TIniFile ini(ConfigFile);
  ini.WriteString(Global, "OutputPath", vcl::Trim(ConvertSettings.OutputPath));
  if (!ConvertSettings.CapMode) ini.WriteInteger(Global, "AutoSlideTime", ConvertSettings.AutoSlideTime);
}

// Date pattern: "mmm" locale month abbreviation, "mm" month, "dd" day, "yyyy" year,
// "hh" 12-hour clock hour, "nn" minute, "ss" second, "ampm" the locale's designator,
// "am/pm" lower-case am or pm; anything else stands for itself.
std::string FormatStamp(const std::string& pattern, const platform::LocalTime& t,
                               const platform::LocaleNames& locale) {
  auto two = [](int v) { return vcl::Format("%.2d", v); };
  const bool pm = t.Hour >= 12;
  const int hour12 = t.Hour % 12 == 0 ? 12 : t.Hour % 12;
  std::string out;
  for (size_t i = 0; i < pattern.size();) {
    auto at = [&](const char* token) { return pattern.compare(i, std::char_traits<char>::length(token), token) == 0; };
    if (at("ampm")) { out += pm ? locale.TimePMString : locale.TimeAMString; i += 4; }
    else if (at("am/pm")) { out += pm ? "pm" : "am"; i += 5; }
    else if (at("mmm")) { out += locale.ShortMonthNames.at(static_cast<size_t>(t.Month - 1)); i += 3; }
    else if (at("mm")) { out += two(t.Month); i += 2; }
    else if (at("dd")) { out += two(t.Day); i += 2; }
    else if (at("yyyy")) { out += vcl::Format("%.4d", t.Year); i += 4; }
    else if (at("hh")) { out += two(hour12); i += 2; }
    else if (at("nn")) { out += two(t.Minute); i += 2; }
    else if (at("ss")) { out += two(t.Second); i += 2; }
    else out += pattern[i++];
  }
  return out;
}

std::string LaunchTimeStamp(std::uint8_t outputFormat, const platform::LocalTime& time,
                            const platform::LocaleNames& locale) {
  return FormatStamp(outputFormat == FormatDVD ? "mm dd, yyyy, am/pm hh-nn-ss " : "mmm dd, yyyy, ampm hh-nn-ss, ",
                     time, locale);
}

void SetLaunchValues(const platform::LocalTime& launchTime) {
  const TConvertSettings& s = ConvertSettings;
  OutputName = s.OutputFormat == FormatDVD ? "DVD" : vcl::ExtractFileName(s.PPTFile);
  JobFolder = s.OutputPath + (vcl::EndsWithPathDelimiter(s.OutputPath) ? "" : "\\") +
              LaunchTimeStamp(s.OutputFormat, launchTime, platform::System().Locale()) + OutputName;
  TempFolder = JobFolder + "\\temp";
}
