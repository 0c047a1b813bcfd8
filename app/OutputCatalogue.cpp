#include "OutputCatalogue.h"

#include <algorithm>

#include <cctype>
#include <locale>
#include <sstream>

#include "CapForm.h"
#include "platform/Platform.h"
#include "vcl/SysUtils.h"

const char* const CustomizeCaption = "Customize...";
const char* const DefaultDes = "(default)";
const char* const NtscCaption = "NTSC(29.97 fps)";
const char* const PalCaption = "PAL(25 fps)";
const char* const FrameRateRangeText = "(5-30) fps";
const char* const BitrateRangeText = "(100-3000) kbps";
const char* const NoPrimaryMonitorText = "Cannot find primary monitor in your system.";

namespace {

const std::vector<TResolutionRow> PcResolutions = {
    {"320x240(VCD compliant NTSC)", "320", "240"},
    {"352x288(VCD compliant PAL)", "352", "288"},
    {"720x480(NTSC)", "720", "480"},
    {"720x576(PAL)", "720", "576"},
    {"640x480", "640", "480"},
    {"800x600", "800", "600"},
    {"Customize...", "320", "240"},
};

const std::vector<TPairRow> FrameRates = {
    {"10 fps", "10"},          {"15 fps", "15"},
    {"20 fps", "20"},          {"24 fps", "24"},
    {"25 fps(PAL)", "25"},     {"29.97 fps(NTSC)", "29.97"},
    {"30 fps", "30"},          {"Customize...", "20"},
};

const std::vector<TPairRow> VideoBitrates = {
    {"500 kbps", "500"},   {"1000 kbps", "1000"}, {"1150 kbps(Standard VCD)", "1150"},
    {"1500 kbps", "1500"}, {"2000 kbps", "2000"}, {"2500 kbps", "2500"},
    {"3000 kbps", "3000"}, {"Customize...", "1000"},
};

const std::vector<TPairRow> AudioBitrates = {
    {"64 kbps", "64"},   {"96 kbps", "96"},   {"112 kbps", "112"},
    {"128 kbps", "128"}, {"160 kbps", "160"}, {"192 kbps", "192"},
    {"224 kbps(VCD)", "224"}, {"256 kbps", "256"}, {"320 kbps", "320"},
};

std::vector<TPairRow> WithHighAudioBitrate() {
  std::vector<TPairRow> rows = AudioBitrates;
  rows.push_back({"384 kbps", "384"});
  return rows;
}

const std::vector<TPairRow> Standards = {{"NTSC(29.97 fps)", "29.97"}, {"PAL(25 fps)", "25"}};
const std::vector<TPairRow> Mpeg2Video = {{"MPEG2", "mpeg2video"}};
const std::vector<TPairRow> Mpeg2Audio = {{"MP2", "mp2"}, {"AC3", "ac3"}};

}  // namespace

const std::vector<TFormatCatalogue>& OutputFormats() {
  static const std::vector<TFormatCatalogue> formats = {
      {FormatAVI, "AVI", "AVI", "0", "AVI", {}, PcResolutions, {},
       {{"MPEG4", "mpeg4"}, {"MSMPEG4", "msmpeg4"}}, FrameRates, VideoBitrates,
       {{"MP2", "mp2"}, {"MP3", "libmp3lame"}}, AudioBitrates,
       {"640", "480", "mpeg4", "15", "500", "libmp3lame", "128"}, nullptr, nullptr},
      {FormatMPEG2, "MPG2", "MPEPG-2", "1", "MPEG-2", Standards, {},
       {{"Standard SVCD", "480", "480", "576"},
        {"Standard DVD", "720", "480", "576"},
        {"480p", "640", "480", "480"},
        {"720p(HDTV)", "1280", "720", "720"},
        {"720i(HDTV)", "1280", "720", "720"},
        {"Customize...", "720", "480", "576"}},
       Mpeg2Video, {}, VideoBitrates, Mpeg2Audio, WithHighAudioBitrate(),
       {"640", "480", "mpeg2video", "29.97", "500", "mp2", "224"}, nullptr, nullptr},
      {FormatDVD, "DVD", "DVD", "2", "DVD", Standards, {},
       {{"Standard DVD", "720", "480", "576"}, {"Customize...", "720", "480", "576"}},
       Mpeg2Video, {}, {}, Mpeg2Audio, {},
       {"720", "480", "mpeg2video", "29.97", nullptr, "mp2", nullptr}, "8000000", "224000"},
      {FormatSWF, "SWF", "SWF", "3", "SWF", {}, PcResolutions, {},
       {{"FLV", "flv"}}, FrameRates, VideoBitrates,
       {{"MP3", "libmp3lame"}}, AudioBitrates,
       {"320", "240", "flv", "15", "500", "libmp3lame", "128"}, nullptr, nullptr},
  };
  return formats;
}

const TFormatCatalogue* FormatOfListValue(const std::string& value) {
  for (const TFormatCatalogue& format : OutputFormats())
    if (value == format.ListValue) return &format;
  return nullptr;
}

const TFormatCatalogue* FormatOfCode(std::uint8_t code) {
  for (const TFormatCatalogue& format : OutputFormats())
    if (format.Code == code) return &format;
  return nullptr;
}

std::optional<platform::MonitorInfo> PrimaryMonitor() {
  const std::vector<platform::MonitorInfo> monitors = platform::System().Monitors();
  if (monitors.size() < 2) {
    if (monitors.empty()) return std::nullopt;
    return monitors.front();
  }
  for (const platform::MonitorInfo& m : monitors)
    if (m.Primary) return m;
  return std::nullopt;
}

TCaptureOverhead CaptureOverhead(const TForm_cap& capture) {
  return TCaptureOverhead{capture.OuterWidth() - capture.ClientWidth(), capture.OuterHeight() - capture.ClientHeight(),
                          capture.PageControl1->Width() - capture.TabSheet_cap->Width(),
                          capture.PageControl1->Height() - capture.TabSheet_cap->Height()};
}

TResolutionLimit ResolutionLimit(const TForm_cap& capture, const platform::MonitorInfo& monitor) {
  const TCaptureOverhead overhead = CaptureOverhead(capture);
  TResolutionLimit limit;
  limit.MaxWidth = std::min(monitor.WorkWidth - overhead.FrameWidth - overhead.SheetWidth, MaxVideoWidth);
  limit.MaxHeight = std::min(monitor.WorkHeight - overhead.FrameHeight - overhead.SheetHeight - CapButtonPanelHeight,
                             MaxVideoHeight);
  return limit;
}

std::optional<TResolutionLimit> ResolutionLimit(const TForm_cap& capture) {
  const std::optional<platform::MonitorInfo> primary = PrimaryMonitor();
  if (!primary) return std::nullopt;
  return ResolutionLimit(capture, *primary);
}

bool ParseInteger(const std::string& text, int& value) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  if (i == text.size()) return false;
  for (size_t j = i; j < text.size(); ++j)
    if (!std::isdigit(static_cast<unsigned char>(text[j]))) return false;
  return vcl::TryStrToInt(text, value);  // the 32-bit range
}

bool ParseNumber(const std::string& text, double& value) {
  const std::string t = vcl::Trim(text);
  size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  size_t digits = 0;
  bool point = false;
  for (; i < t.size(); ++i) {
    if (std::isdigit(static_cast<unsigned char>(t[i]))) {
      ++digits;
    } else if (t[i] == '.' && !point) {
      point = true;
    } else {
      return false;
    }
  }
  if (digits == 0) return false;
  // Read with the classic locale: "." whatever the user's regional settings.
  std::istringstream in(t);
  in.imbue(std::locale::classic());
  in >> value;
  return !in.fail();
}
