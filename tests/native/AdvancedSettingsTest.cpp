// The output parameter catalogue as the advanced settings dialog offers, loads, checks
// and stores it, and the value reads that the wizard relies on.
#include <optional>

#include "AdvancedSettingsForm.h"
#include "CapForm.h"
#include "Fixture.h"
#include "vcl/IniFiles.h"

namespace {

using vcl::TComboBox;

// The user picks an entry by its caption.
void Pick(TComboBox* list, const std::string& caption) {
  for (int i = 0; i < list->Count(); ++i)
    if (list->Item(i) == caption) return list->Select(i);
  ADD_FAILURE() << list->Name << " has no entry " << caption;
}

std::vector<std::string> Captions(const TComboBox* list) {
  std::vector<std::string> captions;
  for (int i = 0; i < list->Count(); ++i) captions.push_back(list->Item(i));
  return captions;
}

class AdvancedSettingsTest : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    ConfigFile = "C:\\Data\\Config.ini";
    MakeDir("C:\\Data");
  }
  // Program start: the main window, then the dialog, then the capture window.
  void Start(const char* ini = nullptr) {
    if (ini) WriteFile(ConfigFile, ini);
    vcl::Application.CreateForm(main_);
    vcl::Application.CreateForm(Form_advanced);
    vcl::Application.CreateForm(Form_cap);
    dlg = Form_advanced;
  }
  TForm_advanced* dlg = nullptr;

 private:
  vcl::TForm* main_ = nullptr;
};

// Every value read of one format.
struct Values {
  std::string Resolution, VCompressFormat, VFramerate, VBitrate, ACompressFormat, ABitrate;
  std::string ResolutionDes, VCompressFormatDes, VFramerateDes, VBitrateDes, ACompressFormatDes, ABitrateDes;
  int VWidth, VHeight;
};

Values Read(const TForm_advanced& d, std::uint8_t code) {
  return Values{d.GetResolution(code),         d.GetVCompressFormat(code), d.GetVFramerate(code),
                d.GetVBitrate(code),           d.GetACompressFormat(code), d.GetABitrate(code),
                d.GetResolutionDes(code),      d.GetVCompressFormatDes(code), d.GetVFramerateDes(code),
                d.GetVBitrateDes(code),        d.GetACompressFormatDes(code), d.GetABitrateDes(code),
                d.GetVWidth(code),             d.GetVHeight(code)};
}

void ExpectValues(const Values& got, const Values& want) {
  EXPECT_EQ(got.Resolution, want.Resolution);
  EXPECT_EQ(got.VCompressFormat, want.VCompressFormat);
  EXPECT_EQ(got.VFramerate, want.VFramerate);
  EXPECT_EQ(got.VBitrate, want.VBitrate);
  EXPECT_EQ(got.ACompressFormat, want.ACompressFormat);
  EXPECT_EQ(got.ABitrate, want.ABitrate);
  EXPECT_EQ(got.ResolutionDes, want.ResolutionDes);
  EXPECT_EQ(got.VCompressFormatDes, want.VCompressFormatDes);
  EXPECT_EQ(got.VFramerateDes, want.VFramerateDes);
  EXPECT_EQ(got.VBitrateDes, want.VBitrateDes);
  EXPECT_EQ(got.ACompressFormatDes, want.ACompressFormatDes);
  EXPECT_EQ(got.ABitrateDes, want.ABitrateDes);
  EXPECT_EQ(got.VWidth, want.VWidth);
  EXPECT_EQ(got.VHeight, want.VHeight);
}

TEST_F(AdvancedSettingsTest, FirstStartReadsTheDefaultsOfEveryFormatAndNothingForOtherCodes) {
  Start();
  struct Case {
    std::uint8_t Code;
    Values Want;
  };
  const Case cases[] = {
      {0, {"640*480", "mpeg4", "15", "500000", "libmp3lame", "128000", "640x480", "MPEG4", "15 fps", "500 kbps",
           "MP3", "128 kbps", 640, 480}},
      {2, {"640*480", "mpeg2video", "29.97", "500000", "mp2", "224000", "640x480", "MPEG2", "NTSC(29.97 fps)",
           "500 kbps", "MP2", "224 kbps(VCD)", 640, 480}},
      {3, {"720*480", "mpeg2video", "29.97", "8000000", "mp2", "224000", "720x480", "MPEG2", "NTSC(29.97 fps)",
           "(default)", "MP2", "(default)", 720, 480}},
      {4, {"320*240", "flv", "15", "500000", "libmp3lame", "128000", "320x240(VCD compliant NTSC)", "FLV", "15 fps",
           "500 kbps", "MP3", "128 kbps", 320, 240}},
      {1, {"", "", "", "", "", "", "", "", "", "", "", "", 0, 0}},
      {5, {"", "", "", "", "", "", "", "", "", "", "", "", 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.Code));
    ExpectValues(Read(*dlg, c.Code), c.Want);
  }
  // Nothing to type on a first start: boxes locked, range labels hidden.
  for (vcl::TEdit* box : {dlg->Edit_avi_width, dlg->Edit_avi_height, dlg->Edit_avi_vframerate, dlg->Edit_avi_vbitrate,
                          dlg->Edit_mpg2_width, dlg->Edit_mpg2_vbitrate, dlg->Edit_dvd_width, dlg->Edit_swf_vbitrate})
    EXPECT_FALSE(box->Enabled()) << box->Name;
  for (vcl::TLabel* range : {dlg->Label_avi_vframeraterange, dlg->Label_avi_vbitraterange,
                             dlg->Label_mpg2_vbitraterange, dlg->Label_swf_vframeraterange,
                             dlg->Label_swf_vbitraterange})
    EXPECT_FALSE(range->Visible()) << range->Name;
  EXPECT_EQ(dlg->Label_avi_vframeraterange->Caption(), "(5-30) fps");
  EXPECT_EQ(dlg->Label_mpg2_vbitraterange->Caption(), "(100-3000) kbps");
}

// One list of one page, written out from the catalogue: every entry in order, and what the
// reads that follow the list give once the user has picked it.
struct Entry {
  const char *Caption, *Value, *Des;
};
using ReadOp = std::string (TForm_advanced::*)(std::uint8_t) const;
struct ListCase {
  const char* Name;
  TComboBox* TForm_advanced::*List;
  std::uint8_t Code;
  ReadOp Value, Des;
  std::vector<Entry> Entries;
  vcl::TEdit* TForm_advanced::*Box = nullptr;  // open for typing with "Customize..." only
  TComboBox* TForm_advanced::*Standard = nullptr;
  const char* StandardCaption = nullptr;  // picked first
};

using F = TForm_advanced;
const std::vector<Entry> PcResolutionEntries = {
    {"320x240(VCD compliant NTSC)", "320*240", "320x240(VCD compliant NTSC)"},
    {"352x288(VCD compliant PAL)", "352*288", "352x288(VCD compliant PAL)"},
    {"720x480(NTSC)", "720*480", "720x480(NTSC)"},
    {"720x576(PAL)", "720*576", "720x576(PAL)"},
    {"640x480", "640*480", "640x480"},
    {"800x600", "800*600", "800x600"},
    {"Customize...", "320*240", "Customize...(320x240)"}};
const std::vector<Entry> FrameRateEntries = {
    {"10 fps", "10", "10 fps"},          {"15 fps", "15", "15 fps"},
    {"20 fps", "20", "20 fps"},          {"24 fps", "24", "24 fps"},
    {"25 fps(PAL)", "25", "25 fps(PAL)"}, {"29.97 fps(NTSC)", "29.97", "29.97 fps(NTSC)"},
    {"30 fps", "30", "30 fps"},          {"Customize...", "20", "Customize... (20 fps )"}};
const std::vector<Entry> VideoBitrateEntries = {
    {"500 kbps", "500000", "500 kbps"},
    {"1000 kbps", "1000000", "1000 kbps"},
    {"1150 kbps(Standard VCD)", "1150000", "1150 kbps(Standard VCD)"},
    {"1500 kbps", "1500000", "1500 kbps"},
    {"2000 kbps", "2000000", "2000 kbps"},
    {"2500 kbps", "2500000", "2500 kbps"},
    {"3000 kbps", "3000000", "3000 kbps"},
    {"Customize...", "1000000", "Customize... (1000 kbps)"}};
const std::vector<Entry> AudioBitrateEntries = {
    {"64 kbps", "64000", "64 kbps"},   {"96 kbps", "96000", "96 kbps"},
    {"112 kbps", "112000", "112 kbps"}, {"128 kbps", "128000", "128 kbps"},
    {"160 kbps", "160000", "160 kbps"}, {"192 kbps", "192000", "192 kbps"},
    {"224 kbps(VCD)", "224000", "224 kbps(VCD)"}, {"256 kbps", "256000", "256 kbps"},
    {"320 kbps", "320000", "320 kbps"}};
const std::vector<Entry> Mpeg2AudioBitrateEntries = [] {
  std::vector<Entry> entries = AudioBitrateEntries;
  entries.push_back({"384 kbps", "384000", "384 kbps"});
  return entries;
}();
const std::vector<Entry> StandardEntries = {{"NTSC(29.97 fps)", "29.97", "NTSC(29.97 fps)"},
                                            {"PAL(25 fps)", "25", "PAL(25 fps)"}};
const std::vector<Entry> Mpeg2VideoEntries = {{"MPEG2", "mpeg2video", "MPEG2"}};
const std::vector<Entry> Mpeg2AudioEntries = {{"MP2", "mp2", "MP2"}, {"AC3", "ac3", "AC3"}};
const char* const Ntsc = "NTSC(29.97 fps)";
const char* const Pal = "PAL(25 fps)";

const std::vector<ListCase>& Lists() {
  static const std::vector<ListCase> lists = {
      {"AviResolution", &F::ComboBox_avi_vresolution, 0, &F::GetResolution, &F::GetResolutionDes,
       PcResolutionEntries, &F::Edit_avi_width},
      {"AviVideoCodec", &F::ComboBox_avi_vcompressformat, 0, &F::GetVCompressFormat, &F::GetVCompressFormatDes,
       {{"MPEG4", "mpeg4", "MPEG4"}, {"MSMPEG4", "msmpeg4", "MSMPEG4"}}},
      {"AviFrameRate", &F::ComboBox_avi_vframerate, 0, &F::GetVFramerate, &F::GetVFramerateDes, FrameRateEntries,
       &F::Edit_avi_vframerate},
      {"AviVideoBitrate", &F::ComboBox_avi_vbitrate, 0, &F::GetVBitrate, &F::GetVBitrateDes, VideoBitrateEntries,
       &F::Edit_avi_vbitrate},
      {"AviAudioCodec", &F::ComboBox_avi_acompressformat, 0, &F::GetACompressFormat, &F::GetACompressFormatDes,
       {{"MP2", "mp2", "MP2"}, {"MP3", "libmp3lame", "MP3"}}},
      {"AviAudioBitrate", &F::ComboBox_avi_abitrate, 0, &F::GetABitrate, &F::GetABitrateDes, AudioBitrateEntries},

      {"Mpeg2Standard", &F::ComboBox_mpg2_standard, 2, &F::GetVFramerate, &F::GetVFramerateDes, StandardEntries},
      {"Mpeg2ResolutionNtsc", &F::ComboBox_mpg2_vresolution, 2, &F::GetResolution, &F::GetResolutionDes,
       {{"Standard SVCD", "480*480", "480x480"},
        {"Standard DVD", "720*480", "720x480"},
        {"480p", "640*480", "640x480"},
        {"720p(HDTV)", "1280*720", "1280x720"},
        {"720i(HDTV)", "1280*720", "1280x720"},
        {"Customize...", "720*480", "720x480"}},
       &F::Edit_mpg2_width, &F::ComboBox_mpg2_standard, Ntsc},
      {"Mpeg2ResolutionPal", &F::ComboBox_mpg2_vresolution, 2, &F::GetResolution, &F::GetResolutionDes,
       {{"Standard SVCD", "480*576", "480x576"},
        {"Standard DVD", "720*576", "720x576"},
        {"480p", "640*480", "640x480"},
        {"720p(HDTV)", "1280*720", "1280x720"},
        {"720i(HDTV)", "1280*720", "1280x720"},
        {"Customize...", "720*576", "720x576"}},
       &F::Edit_mpg2_height, &F::ComboBox_mpg2_standard, Pal},
      {"Mpeg2VideoCodec", &F::ComboBox_mpg2_vcompressformat, 2, &F::GetVCompressFormat, &F::GetVCompressFormatDes,
       Mpeg2VideoEntries},
      {"Mpeg2VideoBitrate", &F::ComboBox_mpg2_vbitrate, 2, &F::GetVBitrate, &F::GetVBitrateDes, VideoBitrateEntries,
       &F::Edit_mpg2_vbitrate},
      {"Mpeg2AudioCodec", &F::ComboBox_mpg2_acompressformat, 2, &F::GetACompressFormat, &F::GetACompressFormatDes,
       Mpeg2AudioEntries},
      {"Mpeg2AudioBitrate", &F::ComboBox_mpg2_abitrate, 2, &F::GetABitrate, &F::GetABitrateDes,
       Mpeg2AudioBitrateEntries},

      {"DvdStandard", &F::ComboBox_dvd_standard, 3, &F::GetVFramerate, &F::GetVFramerateDes, StandardEntries},
      {"DvdResolutionNtsc", &F::ComboBox_dvd_vresolution, 3, &F::GetResolution, &F::GetResolutionDes,
       {{"Standard DVD", "720*480", "720x480"}, {"Customize...", "720*480", "720x480"}}, &F::Edit_dvd_width,
       &F::ComboBox_dvd_standard, Ntsc},
      {"DvdResolutionPal", &F::ComboBox_dvd_vresolution, 3, &F::GetResolution, &F::GetResolutionDes,
       {{"Standard DVD", "720*576", "720x576"}, {"Customize...", "720*576", "720x576"}}, &F::Edit_dvd_height,
       &F::ComboBox_dvd_standard, Pal},
      {"DvdVideoCodec", &F::ComboBox_dvd_vcompressformat, 3, &F::GetVCompressFormat, &F::GetVCompressFormatDes,
       Mpeg2VideoEntries},
      {"DvdAudioCodec", &F::ComboBox_dvd_acompressformat, 3, &F::GetACompressFormat, &F::GetACompressFormatDes,
       Mpeg2AudioEntries},

      {"SwfResolution", &F::ComboBox_swf_vresolution, 4, &F::GetResolution, &F::GetResolutionDes,
       PcResolutionEntries, &F::Edit_swf_height},
      {"SwfVideoCodec", &F::ComboBox_swf_vcompressformat, 4, &F::GetVCompressFormat, &F::GetVCompressFormatDes,
       {{"FLV", "flv", "FLV"}}},
      {"SwfFrameRate", &F::ComboBox_swf_vframerate, 4, &F::GetVFramerate, &F::GetVFramerateDes, FrameRateEntries,
       &F::Edit_swf_vframerate},
      {"SwfVideoBitrate", &F::ComboBox_swf_vbitrate, 4, &F::GetVBitrate, &F::GetVBitrateDes, VideoBitrateEntries,
       &F::Edit_swf_vbitrate},
      {"SwfAudioCodec", &F::ComboBox_swf_acompressformat, 4, &F::GetACompressFormat, &F::GetACompressFormatDes,
       {{"MP3", "libmp3lame", "MP3"}}},
      {"SwfAudioBitrate", &F::ComboBox_swf_abitrate, 4, &F::GetABitrate, &F::GetABitrateDes, AudioBitrateEntries},
  };
  return lists;
}

TEST_F(AdvancedSettingsTest, EveryEntryOfEveryListReachesItsReads) {
  Start();
  for (const ListCase& c : Lists()) {
    SCOPED_TRACE(c.Name);
    TComboBox* list = dlg->*c.List;
    if (c.Standard) Pick(dlg->*c.Standard, c.StandardCaption);
    std::vector<std::string> captions;
    for (const Entry& e : c.Entries) captions.push_back(e.Caption);
    EXPECT_EQ(Captions(list), captions);
    for (const Entry& e : c.Entries) {
      SCOPED_TRACE(e.Caption);
      Pick(list, e.Caption);
      EXPECT_EQ((dlg->*c.Value)(c.Code), e.Value);
      EXPECT_EQ((dlg->*c.Des)(c.Code), e.Des);
      if (c.Box) {
        EXPECT_EQ((dlg->*c.Box)->Enabled(), e.Caption == std::string("Customize..."));
      }
    }
  }
  // Whatever was picked, the DVD format's bitrates stay fixed.
  EXPECT_EQ(dlg->GetVBitrate(3), "8000000");
  EXPECT_EQ(dlg->GetABitrate(3), "224000");
  EXPECT_EQ(dlg->GetVBitrateDes(3), "(default)");
  EXPECT_EQ(dlg->GetABitrateDes(3), "(default)");
}

TEST_F(AdvancedSettingsTest, StandardDecidesTheHeightOfMpeg2AndDvdResolutions) {
  Start();
  struct Case {
    TComboBox *Standard, *Resolution;
    std::uint8_t Code;
    const char *StandardCaption, *ResolutionCaption, *Size;
  };
  const Case cases[] = {
      {dlg->ComboBox_mpg2_standard, dlg->ComboBox_mpg2_vresolution, 2, "PAL(25 fps)", "Standard SVCD", "480*576"},
      {dlg->ComboBox_mpg2_standard, dlg->ComboBox_mpg2_vresolution, 2, "PAL(25 fps)", "Standard DVD", "720*576"},
      {dlg->ComboBox_mpg2_standard, dlg->ComboBox_mpg2_vresolution, 2, "PAL(25 fps)", "480p", "640*480"},
      {dlg->ComboBox_mpg2_standard, dlg->ComboBox_mpg2_vresolution, 2, "NTSC(29.97 fps)", "Standard SVCD", "480*480"},
      {dlg->ComboBox_mpg2_standard, dlg->ComboBox_mpg2_vresolution, 2, "NTSC(29.97 fps)", "Standard DVD", "720*480"},
      {dlg->ComboBox_mpg2_standard, dlg->ComboBox_mpg2_vresolution, 2, "NTSC(29.97 fps)", "480p", "640*480"},
      {dlg->ComboBox_dvd_standard, dlg->ComboBox_dvd_vresolution, 3, "PAL(25 fps)", "Standard DVD", "720*576"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.StandardCaption) + " " + c.ResolutionCaption);
    // Either order: the standard refills the boxes from the selected resolution.
    Pick(c.Standard, c.StandardCaption);
    Pick(c.Resolution, c.ResolutionCaption);
    EXPECT_EQ(dlg->GetResolution(c.Code), c.Size);
    Pick(c.Resolution, c.ResolutionCaption);
    Pick(c.Standard, c.StandardCaption == std::string("PAL(25 fps)") ? "NTSC(29.97 fps)" : "PAL(25 fps)");
    Pick(c.Standard, c.StandardCaption);
    EXPECT_EQ(dlg->GetResolution(c.Code), c.Size);
  }
}

TEST_F(AdvancedSettingsTest, SwitchingStandardDiscardsTypedCustomValues) {
  Start();
  Pick(dlg->ComboBox_mpg2_vresolution, "Customize...");
  EXPECT_TRUE(dlg->Edit_mpg2_width->Enabled());
  dlg->Edit_mpg2_width->Type("704");
  EXPECT_EQ(dlg->GetResolution(2), "704*480");
  Pick(dlg->ComboBox_mpg2_standard, "PAL(25 fps)");
  EXPECT_EQ(dlg->GetResolution(2), "720*576");
  dlg->Edit_mpg2_width->Type("704");
  Pick(dlg->ComboBox_mpg2_vresolution, "Customize...");  // picking it again refills too
  EXPECT_EQ(dlg->GetResolution(2), "720*576");
  Pick(dlg->ComboBox_mpg2_standard, "NTSC(29.97 fps)");
  EXPECT_EQ(dlg->GetResolution(2), "720*480");
  EXPECT_EQ(dlg->GetResolutionDes(2), "720x480");
}

struct LoadCase {
  const char* Name;
  const char* Ini;
  std::uint8_t Code;
  const char *Resolution, *ResolutionDes, *VCompressFormat, *VFramerateDes, *VBitrateDes;
};
void PrintTo(const LoadCase& c, std::ostream* os) { *os << c.Name; }

class LoadCases : public AdvancedSettingsTest, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(LoadCases, StoredValuesSelectEntriesOrCustomize) {
  const LoadCase& c = GetParam();
  Start(c.Ini);
  EXPECT_EQ(dlg->GetResolution(c.Code), c.Resolution);
  EXPECT_EQ(dlg->GetResolutionDes(c.Code), c.ResolutionDes);
  EXPECT_EQ(dlg->GetVCompressFormat(c.Code), c.VCompressFormat);
  EXPECT_EQ(dlg->GetVFramerateDes(c.Code), c.VFramerateDes);
  EXPECT_EQ(dlg->GetVBitrateDes(c.Code), c.VBitrateDes);
}

INSTANTIATE_TEST_SUITE_P(
    Config, LoadCases,
    ::testing::Values(
        LoadCase{"CustomResolution", "[AVI]\r\nwidth=1000\r\nheight=700\r\n", 0, "1000*700",
                 "Customize...(1000x700)", "mpeg4", "15 fps", "500 kbps"},
        LoadCase{"CustomFrameRate", "[AVI]\r\nframerate=12.5\r\n", 0, "640*480", "640x480", "mpeg4",
                 "Customize... (12.5 fps )", "500 kbps"},
        LoadCase{"UnknownCodecKeepsFirst", "[AVI]\r\nvcformat=xvid\r\n", 0, "640*480", "640x480", "mpeg4", "15 fps",
                 "500 kbps"},
        LoadCase{"NormalisedMatch", "[AVI]\r\nwidth= 800 \r\nheight=600\r\nvcformat=MSMPEG4\r\nvbitrate= 1234\r\n", 0,
                 "800*600", "800x600", "msmpeg4", "15 fps", "Customize... (1234 kbps)"},
        LoadCase{"DvdMatchesOnNtscHeightUnderPal", "[MPG2]\r\nframerate=25\r\nwidth=720\r\nheight=480\r\n", 2,
                 "720*576", "720x576", "mpeg2video", "PAL(25 fps)", "500 kbps"},
        LoadCase{"UnknownStandardStaysNtsc", "[DVD]\r\nframerate=30\r\nwidth=704\r\nheight=480\r\n", 3, "704*480",
                 "704x480", "mpeg2video", "NTSC(29.97 fps)", "(default)"},
        LoadCase{"SwfSectionOnly", "[SWF]\r\nwidth=640\r\nheight=480\r\nframerate=25\r\n", 4, "640*480", "640x480",
                 "flv", "25 fps(PAL)", "500 kbps"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(AdvancedSettingsTest, StoredCustomValuesUnlockTheirBoxes) {
  Start("[AVI]\r\nwidth=1000\r\nheight=700\r\nframerate=12.5\r\n[MPG2]\r\nframerate=25\r\nwidth=720\r\nheight=480\r\n");
  EXPECT_EQ(dlg->ComboBox_avi_vresolution->Text(), "Customize...");
  EXPECT_TRUE(dlg->Edit_avi_width->Enabled());
  EXPECT_EQ(dlg->Edit_avi_height->Text(), "700");
  EXPECT_EQ(dlg->Edit_avi_vframerate->Text(), "12.5");
  EXPECT_TRUE(dlg->Edit_avi_vframerate->Enabled());
  EXPECT_TRUE(dlg->Label_avi_vframeraterange->Visible());
  EXPECT_EQ(dlg->ComboBox_mpg2_standard->Text(), "PAL(25 fps)");
  EXPECT_EQ(dlg->ComboBox_mpg2_vresolution->Text(), "Standard DVD");
  EXPECT_EQ(dlg->Edit_mpg2_height->Text(), "576");
  EXPECT_FALSE(dlg->Edit_mpg2_height->Enabled());
}

TEST_F(AdvancedSettingsTest, TypedValuesAreLimitedInLength) {
  Start();
  Pick(dlg->ComboBox_avi_vframerate, "Customize...");
  Pick(dlg->ComboBox_swf_vbitrate, "Customize...");
  dlg->Edit_avi_vframerate->Type("29.9700001");
  dlg->Edit_swf_vbitrate->Type("123456789012");
  EXPECT_EQ(dlg->Edit_avi_vframerate->Text(), "29.970");
  EXPECT_EQ(dlg->Edit_swf_vbitrate->Text(), "1234567890");
}

// --- OK: checks ---

struct CheckCase {
  const char* Name;
  void (*Arrange)(TForm_advanced&);
  const char* Message;  // nullptr: OK passes
};
void PrintTo(const CheckCase& c, std::ostream* os) { *os << c.Name; }

void TypeAviFrameRate(TForm_advanced& d, const char* text) {
  Pick(d.ComboBox_avi_vframerate, "Customize...");
  d.Edit_avi_vframerate->Type(text);
}
void TypeMpeg2Bitrate(TForm_advanced& d, const char* text) {
  Pick(d.ComboBox_mpg2_vbitrate, "Customize...");
  d.Edit_mpg2_vbitrate->Type(text);
}
void TypeAviSize(TForm_advanced& d, const char* width, const char* height) {
  Pick(d.ComboBox_avi_vresolution, "Customize...");
  d.Edit_avi_width->Type(width);
  d.Edit_avi_height->Type(height);
}

class CheckCases : public AdvancedSettingsTest, public ::testing::WithParamInterface<CheckCase> {};

TEST_P(CheckCases, OkShowsTheFirstFailureAndWritesNothing) {
  Start();
  dlg->Show();
  EXPECT_EQ(dlg->Label_error->Caption(),
            "Please set output video parameters. If you click \"OK\", then all parameters will be saved.");
  EXPECT_EQ(dlg->Label_error->FontColor(), vcl::clWindowText);
  GetParam().Arrange(*dlg);
  dlg->Button_ok->Click();
  if (GetParam().Message) {
    EXPECT_EQ(dlg->Label_error->Caption(), GetParam().Message);
    EXPECT_EQ(dlg->Label_error->FontColor(), vcl::clRed);
    EXPECT_TRUE(dlg->Visible());
    EXPECT_FALSE(Exists(ConfigFile));
    EXPECT_EQ(dlg->PageControl1->ActivePage(), dlg->TabSheet_avi) << "the page on screen stays";
  } else {
    EXPECT_FALSE(dlg->Visible());
    EXPECT_TRUE(Exists(ConfigFile));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Ok, CheckCases,
    ::testing::Values(
        CheckCase{"FrameRateText", [](TForm_advanced& d) { TypeAviFrameRate(d, "abc"); },
                  "AVI video framerate(abc) is invalid, please make sure it is between 5 and 30, and it is an "
                  "float(e.g. 15, 29.97, 23.97, 20 etc)."},
        CheckCase{"FrameRateComma", [](TForm_advanced& d) { TypeAviFrameRate(d, "12,5"); },
                  "AVI video framerate(12,5) is invalid, please make sure it is between 5 and 30, and it is an "
                  "float(e.g. 15, 29.97, 23.97, 20 etc)."},
        CheckCase{"FrameRate4_99", [](TForm_advanced& d) { TypeAviFrameRate(d, "4.99"); },
                  "AVI video framerate must be between 5 and 30."},
        CheckCase{"FrameRate5", [](TForm_advanced& d) { TypeAviFrameRate(d, "5"); }, nullptr},
        CheckCase{"FrameRate30", [](TForm_advanced& d) { TypeAviFrameRate(d, " 30.0 "); }, nullptr},
        CheckCase{"FrameRate30_5", [](TForm_advanced& d) { TypeAviFrameRate(d, "30.5"); },
                  "AVI video framerate must be between 5 and 30."},
        CheckCase{"Bitrate99", [](TForm_advanced& d) { TypeMpeg2Bitrate(d, "99"); },
                  "MPEPG-2 video bitrate must be between 100 and 3000."},
        CheckCase{"Bitrate100", [](TForm_advanced& d) { TypeMpeg2Bitrate(d, "100"); }, nullptr},
        CheckCase{"Bitrate3000", [](TForm_advanced& d) { TypeMpeg2Bitrate(d, "3000"); }, nullptr},
        CheckCase{"Bitrate3001", [](TForm_advanced& d) { TypeMpeg2Bitrate(d, "3001"); },
                  "MPEPG-2 video bitrate must be between 100 and 3000."},
        CheckCase{"BitrateDecimal", [](TForm_advanced& d) { TypeMpeg2Bitrate(d, "500.5"); },
                  "MPEPG-2 video bitrate(500.5) is invalid, please make sure it is between 100 and 3000, and it is an "
                  "integer(e.g. 500, 1000 etc)."},
        CheckCase{"BitrateHex", [](TForm_advanced& d) { TypeMpeg2Bitrate(d, "$200"); },
                  "MPEPG-2 video bitrate($200) is invalid, please make sure it is between 100 and 3000, and it is an "
                  "integer(e.g. 500, 1000 etc)."},
        CheckCase{"EmptyWidth", [](TForm_advanced& d) { TypeAviSize(d, "", "480"); },
                  "Invalid AVI resolution(x480), please set again."},
        CheckCase{"BlankAfterWidth", [](TForm_advanced& d) { TypeAviSize(d, "800 ", "600"); },
                  "Invalid AVI resolution(800 x600), please set again."},
        CheckCase{"OddWidth", [](TForm_advanced& d) { TypeAviSize(d, "641", "480"); },
                  "Resolution must be a multiple of 2."},
        CheckCase{"Width148", [](TForm_advanced& d) { TypeAviSize(d, "148", "480"); },
                  "Resolution must be higher than 150x100."},
        CheckCase{"Width150Height100", [](TForm_advanced& d) { TypeAviSize(d, "150", "100"); }, nullptr},
        CheckCase{"ZeroWidth", [](TForm_advanced& d) { TypeAviSize(d, "0", "480"); },
                  "Resolution must be higher than 150x100."},
        CheckCase{"NegativeEvenWidth", [](TForm_advanced& d) { TypeAviSize(d, "-2", "480"); },
                  "Resolution must be higher than 150x100."},
        CheckCase{"HdtvNeverFits", [](TForm_advanced& d) { Pick(d.ComboBox_mpg2_vresolution, "720p(HDTV)"); },
                  "Resolution must be lower than 1024x768, or try to set higher screen resolution."},
        CheckCase{"DvdText",
                  [](TForm_advanced& d) {
                    Pick(d.ComboBox_dvd_vresolution, "Customize...");
                    d.Edit_dvd_width->Type("7a0");
                  },
                  "Invalid DVD resolution(7a0x480), please set again."},
        CheckCase{"FirstFormatDecides",
                  [](TForm_advanced& d) {
                    TypeMpeg2Bitrate(d, "1");
                    Pick(d.ComboBox_swf_vframerate, "Customize...");
                    d.Edit_swf_vframerate->Type("x");
                    TypeAviSize(d, "641", "480");
                  },
                  "Resolution must be a multiple of 2."}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(AdvancedSettingsTest, FrameRateIsCheckedAtSinglePrecision) {
  struct Case {
    const char* Stored;
    const char* Message;
  };
  // 30.0000009 rounds to 30 in single precision; 30.000001 rounds above it.
  const Case cases[] = {{"30.0000009", "Please set output video parameters. If you click \"OK\", then all parameters will be saved."},
                        {"30.000001", "AVI video framerate must be between 5 and 30."},
                        {"4.9999999", "Please set output video parameters. If you click \"OK\", then all parameters will be saved."}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Stored);
    Start(("[AVI]\r\nframerate=" + std::string(c.Stored) + "\r\n").c_str());
    dlg->Show();
    dlg->Button_ok->Click();
    EXPECT_EQ(dlg->Label_error->Caption(), c.Message);
    vcl::Application.DestroyForms();
  }
}

TEST_F(AdvancedSettingsTest, InvalidValueOnTheHiddenSwfPageBlocksOk) {
  Start("[SWF]\r\nframerate=99\r\n");
  dlg->Show();
  dlg->Button_ok->Click();
  EXPECT_EQ(dlg->Label_error->Caption(), "SWF video framerate must be between 5 and 30.");
  EXPECT_EQ(dlg->PageControl1->ActivePage(), dlg->TabSheet_avi);
  EXPECT_TRUE(dlg->Visible());
  EXPECT_EQ(ReadFile(ConfigFile), "[SWF]\r\nframerate=99\r\n");
}

// --- OK: storing ---

TEST_F(AdvancedSettingsTest, OkStoresFourSectionsInKeyOrderAndRefreshesTheSummary) {
  Start("[Global]\r\nAutoStop=0\r\n");
  std::vector<int> summaries;
  dlg->UpdateParameterSummary = [&](std::uint8_t format) { summaries.push_back(format); };
  ConvertSettings.OutputFormat = 2;
  Pick(dlg->ComboBox_avi_vresolution, "Customize...");
  dlg->Edit_avi_width->Type(" 800");
  dlg->Edit_avi_height->Type("  600");
  Pick(dlg->ComboBox_dvd_standard, "PAL(25 fps)");
  dlg->ShowFormatPage(3);
  int result = vcl::mrNone;
  widgets->WhenIdle([&] {
    EXPECT_EQ(dlg->PageControl1->ActivePage(), dlg->TabSheet_dvd);
    dlg->Button_ok->Click();
  });
  result = dlg->ShowModal();
  EXPECT_EQ(result, vcl::mrOk);
  EXPECT_EQ(summaries, std::vector<int>{2});
  EXPECT_EQ(ReadFile(ConfigFile),
            "[Global]\r\nAutoStop=0\r\n"
            "[AVI]\r\nwidth=800\r\nheight=600\r\nvcformat=mpeg4\r\nframerate=15\r\nvbitrate=500\r\n"
            "acformat=libmp3lame\r\nabitrate=128\r\n"
            "[MPG2]\r\nwidth=640\r\nheight=480\r\nvcformat=mpeg2video\r\nframerate=29.97\r\nvbitrate=500\r\n"
            "acformat=mp2\r\nabitrate=224\r\n"
            "[DVD]\r\nwidth=720\r\nheight=576\r\nvcformat=mpeg2video\r\nframerate=25\r\nacformat=mp2\r\n"
            "[SWF]\r\nwidth=320\r\nheight=240\r\nvcformat=flv\r\nframerate=15\r\nvbitrate=500\r\n"
            "acformat=libmp3lame\r\nabitrate=128\r\n");
}

TEST_F(AdvancedSettingsTest, StoredParametersComeBackOnTheNextStart) {
  Start();
  Pick(dlg->ComboBox_avi_vresolution, "Customize...");
  dlg->Edit_avi_width->Type("1000");
  dlg->Edit_avi_height->Type("700");
  Pick(dlg->ComboBox_avi_vframerate, "Customize...");
  dlg->Edit_avi_vframerate->Type("12.5");
  Pick(dlg->ComboBox_mpg2_standard, "PAL(25 fps)");
  Pick(dlg->ComboBox_mpg2_vresolution, "Standard SVCD");
  Pick(dlg->ComboBox_swf_abitrate, "320 kbps");
  dlg->Button_ok->Click();
  const Values avi = Read(*dlg, 0), mpg2 = Read(*dlg, 2), swf = Read(*dlg, 4);
  vcl::Application.DestroyForms();
  Start();
  ExpectValues(Read(*dlg, 0), avi);
  ExpectValues(Read(*dlg, 2), mpg2);
  ExpectValues(Read(*dlg, 4), swf);
  EXPECT_EQ(dlg->GetResolutionDes(0), "Customize...(1000x700)");
  EXPECT_EQ(dlg->GetResolution(2), "480*576");
}

TEST_F(AdvancedSettingsTest, CancelWritesNothingButLaterReadsSeeTheChange) {
  Start("[AVI]\r\nwidth=640\r\nheight=480\r\n");
  bool summary = false;
  dlg->UpdateParameterSummary = [&](std::uint8_t) { summary = true; };
  widgets->WhenIdle([&] {
    Pick(dlg->ComboBox_avi_vresolution, "800x600");
    dlg->Button_cancel->Click();
  });
  dlg->ShowModal();
  EXPECT_FALSE(dlg->Visible());
  EXPECT_FALSE(summary);
  EXPECT_EQ(ReadFile(ConfigFile), "[AVI]\r\nwidth=640\r\nheight=480\r\n");
  EXPECT_EQ(dlg->GetResolution(0), "800*600");
  EXPECT_EQ(dlg->GetResolutionDes(0), "800x600");
}

TEST_F(AdvancedSettingsTest, FailedWriteStopsOkWithThePath) {
  Start();
  bool summary = false;
  dlg->UpdateParameterSummary = [&](std::uint8_t) { summary = true; };
  world->ReadOnlyIniFiles.insert("C:\\DATA\\CONFIG.INI");
  dlg->Show();
  try {
    dlg->Button_ok->Click();
    ADD_FAILURE() << "the write failure was swallowed";
  } catch (const vcl::EIniFileException& e) {
    EXPECT_STREQ(e.what(), "Unable to write to C:\\Data\\Config.ini");
  }
  EXPECT_FALSE(summary);
  EXPECT_TRUE(dlg->Visible());
}

TEST_F(AdvancedSettingsTest, UnreadableSizeFailsTheNumberReadOnly) {
  Start();
  Pick(dlg->ComboBox_swf_vresolution, "Customize...");
  dlg->Edit_swf_width->Type("wide");
  EXPECT_THROW(dlg->GetVWidth(4), vcl::EConvertError);
  EXPECT_EQ(dlg->GetVHeight(4), 240);
  EXPECT_EQ(dlg->GetResolution(4), "wide*240");
}

TEST_F(AdvancedSettingsTest, HiddenTabsAndPageChoice) {
  Start();
  EXPECT_TRUE(dlg->TabSheet_avi->TabVisible);
  EXPECT_TRUE(dlg->TabSheet_mpg2->TabVisible);
  EXPECT_FALSE(dlg->TabSheet_dvd->TabVisible);
  EXPECT_FALSE(dlg->TabSheet_swf->TabVisible);
  EXPECT_EQ(dlg->PageControl1->ActivePage(), dlg->TabSheet_avi);
  dlg->ShowFormatPage(4);
  EXPECT_EQ(dlg->PageControl1->ActivePage(), dlg->TabSheet_swf);
  EXPECT_TRUE(dlg->TabSheet_swf->Visible());
  dlg->ShowFormatPage(1);
  EXPECT_EQ(dlg->PageControl1->ActivePage(), dlg->TabSheet_swf);
}

// --- the resolution limit rule ---

struct LimitCase {
  const char* Name;
  std::vector<platform::MonitorInfo> Monitors;
  vcl::TFrameSize Frame;
  int PageBorder;
  std::optional<TResolutionLimit> Limit;
};
void PrintTo(const LimitCase& c, std::ostream* os) { *os << c.Name; }

class LimitCases : public AdvancedSettingsTest, public ::testing::WithParamInterface<LimitCase> {};

TEST_P(LimitCases, FitsTheCaptureWindowOnThePrimaryMonitor) {
  const LimitCase& c = GetParam();
  world->Monitors = c.Monitors;
  widgets->Frame = c.Frame;
  widgets->PageBorder = c.PageBorder;
  Start();
  const std::optional<TResolutionLimit> limit = ResolutionLimit(*Form_cap);
  ASSERT_EQ(limit.has_value(), c.Limit.has_value());
  if (limit) {
    EXPECT_EQ(limit->MaxWidth, c.Limit->MaxWidth);
    EXPECT_EQ(limit->MaxHeight, c.Limit->MaxHeight);
  } else {
    dlg->Show();
    dlg->Button_ok->Click();
    EXPECT_EQ(dlg->Label_error->Caption(), "Cannot find primary monitor in your system.");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Monitors, LimitCases,
    ::testing::Values(
        // A single monitor counts even when it is not flagged.
        LimitCase{"OneUnflagged", {{0, 0, 1024, 738, false}}, {6, 25}, 4, TResolutionLimit{1010, 615}},
        LimitCase{"FramesFromTheBackend", {{0, 0, 1024, 738, true}}, {10, 40}, 0, TResolutionLimit{1014, 608}},
        LimitCase{"PrimarySecond",
                  {{0, 0, 1920, 1050, false}, {1920, 0, 800, 570, true}},
                  {6, 25}, 4, TResolutionLimit{786, 447}},
        LimitCase{"LargeScreenCapped", {{0, 0, 2560, 1400, true}}, {6, 25}, 4, TResolutionLimit{1024, 768}},
        LimitCase{"NoneFlagged", {{0, 0, 1024, 738, false}, {1024, 0, 1024, 738, false}}, {6, 25}, 4, std::nullopt},
        LimitCase{"NoMonitor", {}, {6, 25}, 4, std::nullopt}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(AdvancedSettingsTest, Svga800x600FitsOnlyWithRoomForTheButtonPanel) {
  struct Case {
    int WorkHeight;
    const char* Message;
  };
  // frame 25 + sheet 8 + button panel 90 above 600
  const Case cases[] = {{723, "Please set output video parameters. If you click \"OK\", then all parameters will be saved."},
                        {722, "Resolution must be lower than 1010x599, or try to set higher screen resolution."}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.WorkHeight);
    world->Monitors = {{0, 0, 1024, c.WorkHeight, true}};
    Start();
    Pick(dlg->ComboBox_avi_vresolution, "800x600");
    dlg->Show();
    dlg->Button_ok->Click();
    EXPECT_EQ(dlg->Label_error->Caption(), c.Message);
    vcl::Application.DestroyForms();
    std::filesystem::remove(world->HostPath(ConfigFile));
  }
}

}  // namespace
