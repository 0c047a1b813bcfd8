// The one record describing a conversion, the values derived at launch, the conversion
// status, and the configuration file's "Global" section.
#pragma once
#include <cstdint>
#include <string>

#include "platform/Platform.h"

struct TConvertSettings {
  std::string PPTFile;
  std::string OutputPath;
  bool CapMode = false;  // true: slides change only on Next
  int AutoSlideTime = 5;
  bool AudioRecording = false;
  int wavein_index = 0;
  int selline_index = 0;
  std::uint8_t OutputFormat = 0;
  std::string Resolution;
  int VWidth = 0;
  int VHeight = 0;
  std::string VCompressFormat;
  std::string VFramerate;
  std::string VBitrate;
  std::string ACompressFormat;
  std::string ABitrate;
  std::string ResolutionDes;
  std::string VCompressFormatDes;
  std::string VFramerateDes;
  std::string VBitrateDes;
  std::string ACompressFormatDes;
  std::string ABitrateDes;
};

extern TConvertSettings ConvertSettings;

// Launch values, kept until the next launch.
extern std::string OutputName;
extern std::string JobFolder;
extern std::string TempFolder;

// Status of the last conversion.
extern bool ConvertCanceled;
extern std::int32_t FinalCaptureSeconds;

void ReadConfiguration();
void WriteConfigurationAtShutdown();
void WriteConfigurationAtLaunch();

// A local time by a date pattern: "mmm" the locale's month abbreviation, "mm" month,
// "dd" day, "yyyy" year, "hh" 12-hour clock hour, "nn" minute, "ss" second, "ampm" the
// locale's designator, "am/pm" lower-case am or pm; anything else stands for itself.
std::string FormatStamp(const std::string& pattern, const platform::LocalTime& time,
                        const platform::LocaleNames& locale);

// The launch time stamp of the job folder's name for an output format.
std::string LaunchTimeStamp(std::uint8_t outputFormat, const platform::LocalTime& time,
                            const platform::LocaleNames& locale);
// Sets OutputName, JobFolder and TempFolder for a launch at the given local time.
void SetLaunchValues(const platform::LocalTime& launchTime);
