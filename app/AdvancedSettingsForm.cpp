#include "AdvancedSettingsForm.h"

#include "MainForm.h"

#include "AppContext.h"
#include "CapForm.h"
#include "ConvertSettings.h"
#include "vcl/IniFiles.h"
#include "vcl/SysUtils.h"

using vcl::Trim;

TForm_advanced* Form_advanced = nullptr;

const char* const AdvancedInstructionText =
    "Please set output video parameters. If you click \"OK\", then all parameters will be saved.";

namespace {

constexpr int LabelLeft = 16, FieldLeft = 164, RowTop = 14, RowPitch = 28;
constexpr int ListHeight = 200;  // with the dropped-down list

template <class C>
C* Make(vcl::TWinControl* parent, const std::string& name, int left, int top, int width, int height) {
  auto* c = new C(parent);
  c->Name = name;
  c->SetParent(parent);
  c->SetBounds(left, top, width, height);
  return c;
}

vcl::TLabel* MakeLabel(vcl::TWinControl* parent, const char* caption, int left, int top, int width = 144) {
  auto* label = Make<vcl::TLabel>(parent, "", left, top + 4, width, 13);
  label->SetCaption(caption);
  return label;
}

// Trimmed, with A to Z lower-cased: how stored values meet list values.
std::string Normalised(const std::string& s) {
  std::string t = Trim(s);
  for (char& c : t)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return t;
}

template <class Item>
Item* Selected(const vcl::TComboBox* list) {
  return list && list->ItemIndex() >= 0 ? static_cast<Item*>(list->Object(list->ItemIndex())) : nullptr;
}

std::string SelectedValue(const vcl::TComboBox* list) {
  const TPairItem* item = Selected<TPairItem>(list);
  return item ? item->Value : std::string();
}

void FillPairs(vcl::TComboBox* list, const std::vector<TPairRow>& rows) {
  if (!list) return;
  list->Clear();
  for (const TPairRow& row : rows) list->AddItem(row.Caption, std::make_unique<TPairItem>(row.Caption, row.Value));
  list->SetItemIndex(0);
}

// Selects the first entry whose value matches; false when none does.
bool SelectValue(vcl::TComboBox* list, const std::string& value) {
  for (int i = 0; i < list->Count(); ++i)
    if (Normalised(static_cast<TPairItem*>(list->Object(i))->Value) == Normalised(value)) {
      list->SetItemIndex(i);
      return true;
    }
  return false;
}

int FindCaption(const vcl::TComboBox* list, const std::string& caption) {
  for (int i = 0; i < list->Count(); ++i)
    if (list->Item(i) == caption) return i;
  return -1;
}

// Selects the entry matching a stored value, or the "Customize..." entry carrying it.
void SelectValueOrCustom(vcl::TComboBox* list, const std::string& value) {
  if (SelectValue(list, value)) return;
  const int custom = FindCaption(list, CustomizeCaption);
  if (custom < 0) return;
  static_cast<TPairItem*>(list->Object(custom))->Value = Normalised(value);
  list->SetItemIndex(custom);
}

// Copies the selected entry's value into the box beside the list; only "Customize..."
// lets the user type, and only then does the range label show.
void ApplyValueEntry(vcl::TComboBox* list, vcl::TEdit* box, vcl::TLabel* range) {
  const TPairItem* item = Selected<TPairItem>(list);
  if (!item) return;
  box->SetText(item->Value);
  const bool custom = item->Caption == CustomizeCaption;
  box->SetEnabled(custom);
  range->SetVisible(custom);
}

std::string Read(const vcl::TIniFile& ini, const TFormatCatalogue& format, const char* key, const char* fallback) {
  return ini.ReadString(format.Section, key, fallback ? fallback : "");
}

}  // namespace

TForm_advanced::TForm_advanced() {
  Name = "Form_advanced";
  SetCaption("Advanced Settings");
  BorderStyle = vcl::TFormBorderStyle::bsDialog;
  Position = vcl::TPosition::poScreenCenter;
  SetClientSize(523, 373);

  PageControl1 = Make<vcl::TPageControl>(this, "PageControl1", 8, 8, 507, 296);
  for (size_t i = 0; i < pages_.size(); ++i) pages_[i].Catalogue = &OutputFormats()[i];
  CreatePage(pages_[0], "AVI", "avi");
  CreatePage(pages_[1], "MPEG-2", "mpg2");
  CreatePage(pages_[2], "DVD", "dvd");
  CreatePage(pages_[3], "SWF", "swf");
  PageControl1->ArrangeSheets();
  PageControl1->SetActivePage(pages_[0].Sheet);

  TabSheet_avi = pages_[0].Sheet;
  ComboBox_avi_vresolution = pages_[0].Resolution;
  Edit_avi_width = pages_[0].Width;
  Edit_avi_height = pages_[0].Height;
  ComboBox_avi_vcompressformat = pages_[0].VCompressFormat;
  ComboBox_avi_vframerate = pages_[0].VFramerate;
  Edit_avi_vframerate = pages_[0].VFramerateEdit;
  Label_avi_vframeraterange = pages_[0].VFramerateRange;
  ComboBox_avi_vbitrate = pages_[0].VBitrate;
  Edit_avi_vbitrate = pages_[0].VBitrateEdit;
  Label_avi_vbitraterange = pages_[0].VBitrateRange;
  ComboBox_avi_acompressformat = pages_[0].ACompressFormat;
  ComboBox_avi_abitrate = pages_[0].ABitrate;

  TabSheet_mpg2 = pages_[1].Sheet;
  ComboBox_mpg2_standard = pages_[1].Standard;
  ComboBox_mpg2_vresolution = pages_[1].Resolution;
  Edit_mpg2_width = pages_[1].Width;
  Edit_mpg2_height = pages_[1].Height;
  ComboBox_mpg2_vcompressformat = pages_[1].VCompressFormat;
  ComboBox_mpg2_vbitrate = pages_[1].VBitrate;
  Edit_mpg2_vbitrate = pages_[1].VBitrateEdit;
  Label_mpg2_vbitraterange = pages_[1].VBitrateRange;
  ComboBox_mpg2_acompressformat = pages_[1].ACompressFormat;
  ComboBox_mpg2_abitrate = pages_[1].ABitrate;

  TabSheet_dvd = pages_[2].Sheet;
  TabSheet_dvd->TabVisible = false;
  ComboBox_dvd_standard = pages_[2].Standard;
  ComboBox_dvd_vresolution = pages_[2].Resolution;
  Edit_dvd_width = pages_[2].Width;
  Edit_dvd_height = pages_[2].Height;
  ComboBox_dvd_vcompressformat = pages_[2].VCompressFormat;
  ComboBox_dvd_acompressformat = pages_[2].ACompressFormat;

  TabSheet_swf = pages_[3].Sheet;
  TabSheet_swf->TabVisible = false;
  ComboBox_swf_vresolution = pages_[3].Resolution;
  Edit_swf_width = pages_[3].Width;
  Edit_swf_height = pages_[3].Height;
  ComboBox_swf_vcompressformat = pages_[3].VCompressFormat;
  ComboBox_swf_vframerate = pages_[3].VFramerate;
  Edit_swf_vframerate = pages_[3].VFramerateEdit;
  Label_swf_vframeraterange = pages_[3].VFramerateRange;
  ComboBox_swf_vbitrate = pages_[3].VBitrate;
  Edit_swf_vbitrate = pages_[3].VBitrateEdit;
  Label_swf_vbitraterange = pages_[3].VBitrateRange;
  ComboBox_swf_acompressformat = pages_[3].ACompressFormat;
  ComboBox_swf_abitrate = pages_[3].ABitrate;

  ComboBox_avi_vresolution->OnSelect = [this] { ComboBox_avi_vresolutionSelect(); };
  ComboBox_swf_vresolution->OnSelect = [this] { ComboBox_swf_vresolutionSelect(); };
  ComboBox_mpg2_vresolution->OnSelect = [this] { ComboBox_mpg2_vresolutionSelect(); };
  ComboBox_dvd_vresolution->OnSelect = [this] { ComboBox_dvd_vresolutionSelect(); };
  ComboBox_mpg2_standard->OnSelect = [this] { ComboBox_mpg2_standardSelect(); };
  ComboBox_dvd_standard->OnSelect = [this] { ComboBox_dvd_standardSelect(); };
  ComboBox_avi_vframerate->OnSelect = [this] { ComboBox_avi_vframerateSelect(); };
  ComboBox_swf_vframerate->OnSelect = [this] { ComboBox_swf_vframerateSelect(); };
  ComboBox_avi_vbitrate->OnSelect = [this] { ComboBox_avi_vbitrateSelect(); };
  ComboBox_mpg2_vbitrate->OnSelect = [this] { ComboBox_mpg2_vbitrateSelect(); };
  ComboBox_swf_vbitrate->OnSelect = [this] { ComboBox_swf_vbitrateSelect(); };

  Label_error = Make<vcl::TLabel>(this, "Label_error", 16, 310, 449, 25);
  Label_error->SetWordWrap(true);
  Button_ok = Make<vcl::TButton>(this, "Button_ok", 356, 340, 75, 25);
  Button_ok->SetCaption("OK");
  Button_ok->OnClick = [this] { Button_okClick(); };
  Button_cancel = Make<vcl::TButton>(this, "Button_cancel", 440, 340, 75, 25);
  Button_cancel->SetCaption("Cancel");
  Button_cancel->OnClick = [this] { Button_cancelClick(); };

  OnCreate = [this] { FormCreate(); };
  OnShow = [this] { FormShow(); };
}

void TForm_advanced::CreatePage(TFormatPage& page, const char* caption, const char* tag) {
  const TFormatCatalogue& format = *page.Catalogue;
  const std::string t = tag;
  auto* sheet = Make<vcl::TTabSheet>(PageControl1, "TabSheet_" + t, 0, 0, 0, 0);
  sheet->SetCaption(caption);
  page.Sheet = sheet;
  int top = RowTop;
  auto list = [&](const char* label, const char* part, int width = 200) {
    MakeLabel(sheet, label, LabelLeft, top);
    auto* combo = Make<vcl::TComboBox>(sheet, "ComboBox_" + t + "_" + part, FieldLeft, top, width, ListHeight);
    top += RowPitch;
    return combo;
  };
  // A list whose "Customize..." entry lets the user type into the box beside it.
  auto typedList = [&](const char* label, const char* part, const char* range, vcl::TEdit*& box,
                       vcl::TLabel*& rangeLabel) {
    const int rowTop = top;
    auto* combo = list(label, part, 150);
    box = Make<vcl::TEdit>(sheet, "Edit_" + t + "_" + part, FieldLeft + 156, rowTop, 56, 21);
    rangeLabel = Make<vcl::TLabel>(sheet, "Label_" + t + "_" + part + "range", FieldLeft + 218, rowTop + 4, 110, 13);
    rangeLabel->SetCaption(range);
    return combo;
  };

  if (!format.Standards.empty()) page.Standard = list("Standard:", "standard");
  page.Resolution = list("Resolution:", "vresolution");
  MakeLabel(sheet, "Width:", LabelLeft, top);
  page.Width = Make<vcl::TEdit>(sheet, "Edit_" + t + "_width", FieldLeft, top, 56, 21);
  MakeLabel(sheet, "Height:", FieldLeft + 76, top, 44);
  page.Height = Make<vcl::TEdit>(sheet, "Edit_" + t + "_height", FieldLeft + 120, top, 56, 21);
  top += RowPitch;
  page.VCompressFormat = list("Video Compress Format:", "vcompressformat");
  if (!format.FrameRates.empty())
    page.VFramerate =
        typedList("Video Framerate:", "vframerate", FrameRateRangeText, page.VFramerateEdit, page.VFramerateRange);
  if (!format.VideoBitrates.empty())
    page.VBitrate = typedList("Video Bitrate:", "vbitrate", BitrateRangeText, page.VBitrateEdit, page.VBitrateRange);
  page.ACompressFormat = list("Audio Compress Format:", "acompressformat");
  if (!format.AudioBitrates.empty()) page.ABitrate = list("Audio Bitrate:", "abitrate");
}

TForm_advanced::TFormatPage* TForm_advanced::PageOf(std::uint8_t format) {
  for (TFormatPage& page : pages_)
    if (page.Catalogue->Code == format) return &page;
  return nullptr;
}

const TForm_advanced::TFormatPage* TForm_advanced::PageOf(std::uint8_t format) const {
  return const_cast<TForm_advanced*>(this)->PageOf(format);
}

void TForm_advanced::FormCreate() {
  UpdateParameterSummary = [](std::uint8_t format) {
    if (Form_main) Form_main->UpdateParameterSummary(format);
  };
  Edit_avi_vframerate->SetMaxLength(6);
  Edit_avi_vbitrate->SetMaxLength(10);
  Edit_swf_vframerate->SetMaxLength(6);
  Edit_swf_vbitrate->SetMaxLength(10);
  BuildAviLists();
  BuildMpeg2Lists();
  BuildDvdLists();
  BuildSwfLists();
  for (std::uint8_t format : {FormatAVI, FormatMPEG2, FormatDVD, FormatSWF}) LoadFormatSettings(format);
}

void TForm_advanced::FormShow() {
  Label_error->SetCaption(AdvancedInstructionText);
  Label_error->SetFontColor(vcl::clWindowText);
}

void TForm_advanced::ShowFormatPage(std::uint8_t format) {
  if (TFormatPage* page = PageOf(format)) PageControl1->SetActivePage(page->Sheet);
}

// --- lists and their select behaviour ---

void TForm_advanced::BuildAviLists() { BuildLists(pages_[0]); }
void TForm_advanced::BuildMpeg2Lists() { BuildLists(pages_[1]); }
void TForm_advanced::BuildDvdLists() { BuildLists(pages_[2]); }
void TForm_advanced::BuildSwfLists() { BuildLists(pages_[3]); }

void TForm_advanced::BuildLists(TFormatPage& page) {
  const TFormatCatalogue& format = *page.Catalogue;
  FillPairs(page.Standard, format.Standards);
  page.Resolution->Clear();
  for (const TResolutionRow& row : format.Resolutions)
    page.Resolution->AddItem(row.Caption, std::make_unique<TResolutionPairItem>(row.Caption, row.Width, row.Height));
  for (const TDualResolutionRow& row : format.DualResolutions)
    page.Resolution->AddItem(row.Caption, std::make_unique<TDualResolutionPairItem>(row.Caption, row.Width,
                                                                                    row.NtscHeight, row.PalHeight));
  page.Resolution->SetItemIndex(0);
  FillPairs(page.VCompressFormat, format.VideoCodecs);
  FillPairs(page.VFramerate, format.FrameRates);
  FillPairs(page.VBitrate, format.VideoBitrates);
  FillPairs(page.ACompressFormat, format.AudioCodecs);
  FillPairs(page.ABitrate, format.AudioBitrates);
  ResolutionSelect(page);
  if (page.VFramerate) FrameRateSelect(page);
  if (page.VBitrate) BitrateSelect(page);
}

void TForm_advanced::ResolutionSelect(TFormatPage& page) {
  std::string caption, width, height;
  if (page.Catalogue->DualResolution()) {
    const auto* item = Selected<TDualResolutionPairItem>(page.Resolution);
    if (!item) return;
    caption = item->Caption;
    width = item->Width;
    height = Trim(page.Standard->Text()) == NtscCaption ? item->NtscHeight : item->PalHeight;
  } else {
    const auto* item = Selected<TResolutionPairItem>(page.Resolution);
    if (!item) return;
    caption = item->Caption;
    width = item->Width;
    height = item->Height;
  }
  page.Width->SetText(width);
  page.Height->SetText(height);
  const bool custom = caption == CustomizeCaption;
  page.Width->SetEnabled(custom);
  page.Height->SetEnabled(custom);
}

void TForm_advanced::FrameRateSelect(TFormatPage& page) {
  ApplyValueEntry(page.VFramerate, page.VFramerateEdit, page.VFramerateRange);
}

void TForm_advanced::BitrateSelect(TFormatPage& page) {
  ApplyValueEntry(page.VBitrate, page.VBitrateEdit, page.VBitrateRange);
}

void TForm_advanced::ComboBox_avi_vresolutionSelect() { ResolutionSelect(pages_[0]); }
void TForm_advanced::ComboBox_swf_vresolutionSelect() { ResolutionSelect(pages_[3]); }
void TForm_advanced::ComboBox_mpg2_vresolutionSelect() { ResolutionSelect(pages_[1]); }
void TForm_advanced::ComboBox_dvd_vresolutionSelect() { ResolutionSelect(pages_[2]); }
void TForm_advanced::ComboBox_mpg2_standardSelect() { ComboBox_mpg2_vresolutionSelect(); }
void TForm_advanced::ComboBox_dvd_standardSelect() { ComboBox_dvd_vresolutionSelect(); }
void TForm_advanced::ComboBox_avi_vframerateSelect() { FrameRateSelect(pages_[0]); }
void TForm_advanced::ComboBox_swf_vframerateSelect() { FrameRateSelect(pages_[3]); }
void TForm_advanced::ComboBox_avi_vbitrateSelect() { BitrateSelect(pages_[0]); }
void TForm_advanced::ComboBox_mpg2_vbitrateSelect() { BitrateSelect(pages_[1]); }
void TForm_advanced::ComboBox_swf_vbitrateSelect() { BitrateSelect(pages_[3]); }

// --- stored parameters ---

void TForm_advanced::LoadFormatSettings(std::uint8_t code) {
  TFormatPage* page = PageOf(code);
  if (!page) return;
  const TFormatCatalogue& format = *page->Catalogue;
  const TFormatDefaults& d = format.Defaults;
  const vcl::TIniFile ini(ConfigFile);

  if (page->Standard) SelectValue(page->Standard, Read(ini, format, "framerate", d.Framerate));

  const std::string width = Read(ini, format, "width", d.Width);
  const std::string height = Read(ini, format, "height", d.Height);
  const std::string w = Normalised(width), h = Normalised(height);
  vcl::TComboBox* resolutions = page->Resolution;
  int match = -1;
  for (int i = 0; i < resolutions->Count() && match < 0; ++i) {
    bool same;
    if (format.DualResolution()) {
      const auto* item = static_cast<TDualResolutionPairItem*>(resolutions->Object(i));
      // The standard in force plays no part: either height will do.
      same = Normalised(item->Width) == w &&
             (Normalised(item->PalHeight) == h || Normalised(item->NtscHeight) == h);
    } else {
      const auto* item = static_cast<TResolutionPairItem*>(resolutions->Object(i));
      same = Normalised(item->Width) == w && Normalised(item->Height) == h;
    }
    if (same) match = i;
  }
  if (match < 0) {
    match = FindCaption(resolutions, CustomizeCaption);
    if (format.DualResolution()) {
      auto* item = static_cast<TDualResolutionPairItem*>(resolutions->Object(match));
      item->Width = w;
      item->NtscHeight = item->PalHeight = h;
    } else {
      auto* item = static_cast<TResolutionPairItem*>(resolutions->Object(match));
      item->Width = w;
      item->Height = h;
    }
  }
  resolutions->SetItemIndex(match);
  ResolutionSelect(*page);

  SelectValue(page->VCompressFormat, Read(ini, format, "vcformat", d.VCompressFormat));
  if (page->VFramerate) {
    SelectValueOrCustom(page->VFramerate, Read(ini, format, "framerate", d.Framerate));
    FrameRateSelect(*page);
  }
  if (page->VBitrate) {
    SelectValueOrCustom(page->VBitrate, Read(ini, format, "vbitrate", d.VBitrate));
    BitrateSelect(*page);
  }
  SelectValue(page->ACompressFormat, Read(ini, format, "acformat", d.ACompressFormat));
  if (page->ABitrate) SelectValue(page->ABitrate, Read(ini, format, "abitrate", d.ABitrate));
}

bool TForm_advanced::ValidateFormat(std::uint8_t code) {
  const TFormatPage* page = PageOf(code);
  if (!page) return true;
  const std::string name = page->Catalogue->Name;
  const std::string widthText = page->Width->Text(), heightText = page->Height->Text();
  int width = 0, height = 0;
  if (!ParseInteger(widthText, width) || !ParseInteger(heightText, height)) {
    ShowError("Invalid " + name + " resolution(" + widthText + "x" + heightText + "), please set again.");
    return false;
  }
  if (page->VFramerateEdit) {
    const std::string text = page->VFramerateEdit->Text();
    double number = 0;
    if (!ParseNumber(text, number)) {
      ShowError(name + " video framerate(" + text +
                ") is invalid, please make sure it is between 5 and 30, and it is an float(e.g. 15, 29.97, 23.97, "
                "20 etc).");
      return false;
    }
    const float rate = static_cast<float>(number);
    if (!(rate >= MinFrameRate && rate <= MaxFrameRate)) {
      ShowError(name + " video framerate must be between 5 and 30.");
      return false;
    }
  }
  if (page->VBitrateEdit) {
    const std::string text = page->VBitrateEdit->Text();
    int bitrate = 0;
    if (!ParseInteger(text, bitrate)) {
      ShowError(name + " video bitrate(" + text +
                ") is invalid, please make sure it is between 100 and 3000, and it is an integer(e.g. 500, 1000 etc).");
      return false;
    }
    if (bitrate < MinVideoBitrate || bitrate > MaxVideoBitrate) {
      ShowError(name + " video bitrate must be between 100 and 3000.");
      return false;
    }
  }
  const std::optional<TResolutionLimit> limit = ResolutionLimit(*Form_cap);
  if (!limit) {
    ShowError(NoPrimaryMonitorText);
    return false;
  }
  if (width % 2 != 0 || height % 2 != 0) {
    ShowError("Resolution must be a multiple of 2.");
    return false;
  }
  if (width < MinVideoWidth || height < MinVideoHeight) {
    ShowError(vcl::Format("Resolution must be higher than %dx%d.", MinVideoWidth, MinVideoHeight));
    return false;
  }
  if (width > limit->MaxWidth || height > limit->MaxHeight) {
    ShowError(vcl::Format("Resolution must be lower than %dx%d, or try to set higher screen resolution.",
                          limit->MaxWidth, limit->MaxHeight));
    return false;
  }
  return true;
}

void TForm_advanced::SaveFormatSettings(std::uint8_t code) {
  const TFormatPage* page = PageOf(code);
  if (!page) return;
  const char* section = page->Catalogue->Section;
  vcl::TIniFile ini(ConfigFile);
  ini.WriteString(section, "width", Trim(page->Width->Text()));
  ini.WriteString(section, "height", Trim(page->Height->Text()));
  ini.WriteString(section, "vcformat", Trim(SelectedValue(page->VCompressFormat)));
  ini.WriteString(section, "framerate",
                  Trim(page->VFramerateEdit ? page->VFramerateEdit->Text() : SelectedValue(page->Standard)));
  if (page->VBitrateEdit) ini.WriteString(section, "vbitrate", Trim(page->VBitrateEdit->Text()));
  ini.WriteString(section, "acformat", Trim(SelectedValue(page->ACompressFormat)));
  if (page->ABitrate) ini.WriteString(section, "abitrate", Trim(SelectedValue(page->ABitrate)));
}

void TForm_advanced::ShowError(const std::string& text) {
  Label_error->SetCaption(text);
  Label_error->SetFontColor(vcl::clRed);
}

void TForm_advanced::Button_okClick() {
  const std::uint8_t formats[] = {FormatAVI, FormatMPEG2, FormatDVD, FormatSWF};
  for (std::uint8_t format : formats)
    if (!ValidateFormat(format)) return;
  for (std::uint8_t format : formats) SaveFormatSettings(format);
  if (UpdateParameterSummary) UpdateParameterSummary(ConvertSettings.OutputFormat);
  if (Modal())
    SetModalResult(vcl::mrOk);
  else
    Hide();
}

void TForm_advanced::Button_cancelClick() { Close(); }

// --- value operations ---

std::string TForm_advanced::GetResolution(std::uint8_t format) const {
  const TFormatPage* page = PageOf(format);
  return page ? Trim(page->Width->Text()) + "*" + Trim(page->Height->Text()) : std::string();
}

int TForm_advanced::GetVWidth(std::uint8_t format) const {
  const TFormatPage* page = PageOf(format);
  if (!page) return 0;
  int value = 0;
  if (!ParseInteger(page->Width->Text(), value))
    throw vcl::EConvertError("'" + page->Width->Text() + "' is not a valid integer value");
  return value;
}

int TForm_advanced::GetVHeight(std::uint8_t format) const {
  const TFormatPage* page = PageOf(format);
  if (!page) return 0;
  int value = 0;
  if (!ParseInteger(page->Height->Text(), value))
    throw vcl::EConvertError("'" + page->Height->Text() + "' is not a valid integer value");
  return value;
}

std::string TForm_advanced::GetVCompressFormat(std::uint8_t format) const {
  const TFormatPage* page = PageOf(format);
  return page ? SelectedValue(page->VCompressFormat) : std::string();
}

std::string TForm_advanced::GetVFramerate(std::uint8_t format) const {
  const TFormatPage* page = PageOf(format);
  if (!page) return "";
  return page->VFramerateEdit ? page->VFramerateEdit->Text() : SelectedValue(page->Standard);
}

std::string TForm_advanced::GetVBitrate(std::uint8_t format) const {
  const TFormatPage* page = PageOf(format);
  if (!page) return "";
  return page->VBitrateEdit ? Trim(page->VBitrateEdit->Text()) + "000" : page->Catalogue->FixedVBitrate;
}

std::string TForm_advanced::GetACompressFormat(std::uint8_t format) const {
  const TFormatPage* page = PageOf(format);
  return page ? SelectedValue(page->ACompressFormat) : std::string();
}

std::string TForm_advanced::GetABitrate(std::uint8_t format) const {
  const TFormatPage* page = PageOf(format);
  if (!page) return "";
  return page->ABitrate ? Trim(SelectedValue(page->ABitrate)) + "000" : page->Catalogue->FixedABitrate;
}

std::string TForm_advanced::GetResolutionDes(std::uint8_t format) const {
  const TFormatPage* page = PageOf(format);
  if (!page) return "";
  const std::string size = page->Width->Text() + "x" + page->Height->Text();
  if (page->Catalogue->DualResolution()) return size;
  const std::string shown = page->Resolution->Text();
  return shown == CustomizeCaption ? shown + "(" + size + ")" : shown;
}

std::string TForm_advanced::GetVCompressFormatDes(std::uint8_t format) const {
  const TFormatPage* page = PageOf(format);
  return page ? page->VCompressFormat->Text() : std::string();
}

std::string TForm_advanced::GetVFramerateDes(std::uint8_t format) const {
  const TFormatPage* page = PageOf(format);
  if (!page) return "";
  if (!page->VFramerate) return page->Standard->Text();
  const std::string shown = page->VFramerate->Text();
  return Trim(shown) == CustomizeCaption ? shown + " (" + page->VFramerateEdit->Text() + " fps )" : shown;
}

std::string TForm_advanced::GetVBitrateDes(std::uint8_t format) const {
  const TFormatPage* page = PageOf(format);
  if (!page) return "";
  if (!page->VBitrate) return DefaultDes;
  const std::string shown = page->VBitrate->Text();
  return Trim(shown) == CustomizeCaption ? shown + " (" + page->VBitrateEdit->Text() + " kbps)" : shown;
}

std::string TForm_advanced::GetACompressFormatDes(std::uint8_t format) const {
  const TFormatPage* page = PageOf(format);
  return page ? page->ACompressFormat->Text() : std::string();
}

std::string TForm_advanced::GetABitrateDes(std::uint8_t format) const {
  const TFormatPage* page = PageOf(format);
  if (!page) return "";
  return page->ABitrate ? page->ABitrate->Text() : DefaultDes;
}
