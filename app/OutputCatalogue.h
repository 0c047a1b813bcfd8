// The fixed vocabulary of output parameters: per output format, the ordered choice lists
// with their captions and value strings, the defaults that apply when nothing is stored,
// the DVD format's fixed values, and the limits typed values must respect.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "vcl/StdCtrls.h"

class TForm_cap;

// Output format codes (TConvertSettings.OutputFormat); 1 is reserved and names no format.
constexpr std::uint8_t FormatAVI = 0;
constexpr std::uint8_t FormatMPEG2 = 2;
constexpr std::uint8_t FormatDVD = 3;
constexpr std::uint8_t FormatSWF = 4;

// The entry records that the items of a choice list carry.
class TPairItem : public vcl::TItemObject {
 public:
  TPairItem(std::string caption, std::string value) : Caption(std::move(caption)), Value(std::move(value)) {}
  std::string Caption, Value;
};

class TResolutionPairItem : public vcl::TItemObject {
 public:
  TResolutionPairItem(std::string caption, std::string width, std::string height)
      : Caption(std::move(caption)), Width(std::move(width)), Height(std::move(height)) {}
  std::string Caption, Width, Height;
};

// A resolution whose height depends on the television standard.
class TDualResolutionPairItem : public vcl::TItemObject {
 public:
  TDualResolutionPairItem(std::string caption, std::string width, std::string ntscHeight, std::string palHeight)
      : Caption(std::move(caption)),
        Width(std::move(width)),
        NtscHeight(std::move(ntscHeight)),
        PalHeight(std::move(palHeight)) {}
  std::string Caption, Width, NtscHeight, PalHeight;
};

extern const char* const CustomizeCaption;  // "Customize..."
extern const char* const DefaultDes;        // "(default)"
extern const char* const NtscCaption;       // "NTSC(29.97 fps)"
extern const char* const PalCaption;        // "PAL(25 fps)"
extern const char* const FrameRateRangeText;
extern const char* const BitrateRangeText;

constexpr int MinVideoWidth = 150;
constexpr int MinVideoHeight = 100;
constexpr int MaxVideoWidth = 1024;
constexpr int MaxVideoHeight = 768;
constexpr float MinFrameRate = 5, MaxFrameRate = 30;
constexpr int MinVideoBitrate = 100, MaxVideoBitrate = 3000;  // kbps

struct TPairRow {
  const char* Caption;
  const char* Value;
};

struct TResolutionRow {
  const char* Caption;
  const char* Width;
  const char* Height;
};

// A resolution whose height depends on the television standard.
struct TDualResolutionRow {
  const char* Caption;
  const char* Width;
  const char* NtscHeight;
  const char* PalHeight;
};

// The values that apply when nothing is stored; nullptr where the format has no such key.
struct TFormatDefaults {
  const char *Width, *Height, *VCompressFormat, *Framerate, *VBitrate, *ACompressFormat, *ABitrate;
};

// One output format: its lists in catalogue order (an empty list is one the format does
// not have), its defaults and, without bitrate lists, its fixed bitrates in bits per second.
struct TFormatCatalogue {
  std::uint8_t Code;
  const char* Section;  // of the configuration file
  const char* Name;     // as the dialog's messages name the format
  const char* ListValue;    // its option value in page 2's format list
  const char* ProfileName;  // as the profile page names it
  std::vector<TPairRow> Standards;
  // A format has one resolution list: plain, or with heights per standard.
  std::vector<TResolutionRow> Resolutions;
  std::vector<TDualResolutionRow> DualResolutions;
  std::vector<TPairRow> VideoCodecs, FrameRates, VideoBitrates, AudioCodecs, AudioBitrates;
  TFormatDefaults Defaults;
  const char* FixedVBitrate;
  const char* FixedABitrate;
  bool DualResolution() const { return !DualResolutions.empty(); }
};

// The four formats in the order the dialog checks and stores them: AVI, MPEG-2, DVD, SWF.
const std::vector<TFormatCatalogue>& OutputFormats();
// The format of an option value of page 2's format list; nullptr for any other value.
const TFormatCatalogue* FormatOfListValue(const std::string& value);
// The format of a code; nullptr for a code that names none.
const TFormatCatalogue* FormatOfCode(std::uint8_t code);

// The largest video that fits the capture window on the primary monitor's work area.
struct TResolutionLimit {
  int MaxWidth = 0, MaxHeight = 0;
};
extern const char* const NoPrimaryMonitorText;  // "Cannot find primary monitor in your system."
// The only monitor, or else the first one the system marks primary; nullopt when none is.
std::optional<platform::MonitorInfo> PrimaryMonitor();
// The capture window's frame and page borders around the picture, as it is now.
struct TCaptureOverhead {
  int FrameWidth = 0, FrameHeight = 0, SheetWidth = 0, SheetHeight = 0;
};
TCaptureOverhead CaptureOverhead(const TForm_cap& capture);
TResolutionLimit ResolutionLimit(const TForm_cap& capture, const platform::MonitorInfo& monitor);
// nullopt when no primary monitor can be found.
std::optional<TResolutionLimit> ResolutionLimit(const TForm_cap& capture);

// A whole decimal integer with optional sign, blanks allowed before it.
bool ParseInteger(const std::string& text, int& value);
// A decimal number with "." as separator, blanks allowed around it.
bool ParseNumber(const std::string& text, double& value);
