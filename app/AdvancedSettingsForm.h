// The advanced settings dialog: the video and audio parameters of every output format.
// Its controls are the only copy of the parameters in memory; the value operations read
// them for whoever needs the parameters.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "OutputCatalogue.h"
#include "vcl/ComCtrls.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

class TForm_advanced : public vcl::TForm {
 public:
  TForm_advanced();

  vcl::TPageControl* PageControl1;
  vcl::TTabSheet* TabSheet_avi;
  vcl::TComboBox* ComboBox_avi_vresolution;
  vcl::TEdit* Edit_avi_width;
  vcl::TEdit* Edit_avi_height;
  vcl::TComboBox* ComboBox_avi_vcompressformat;
  vcl::TComboBox* ComboBox_avi_vframerate;
  vcl::TEdit* Edit_avi_vframerate;
  vcl::TLabel* Label_avi_vframeraterange;
  vcl::TComboBox* ComboBox_avi_vbitrate;
  vcl::TEdit* Edit_avi_vbitrate;
  vcl::TLabel* Label_avi_vbitraterange;
  vcl::TComboBox* ComboBox_avi_acompressformat;
  vcl::TComboBox* ComboBox_avi_abitrate;
  vcl::TTabSheet* TabSheet_mpg2;
  vcl::TComboBox* ComboBox_mpg2_standard;
  vcl::TComboBox* ComboBox_mpg2_vresolution;
  vcl::TEdit* Edit_mpg2_width;
  vcl::TEdit* Edit_mpg2_height;
  vcl::TComboBox* ComboBox_mpg2_vcompressformat;
  vcl::TComboBox* ComboBox_mpg2_vbitrate;
  vcl::TEdit* Edit_mpg2_vbitrate;
  vcl::TLabel* Label_mpg2_vbitraterange;
  vcl::TComboBox* ComboBox_mpg2_acompressformat;
  vcl::TComboBox* ComboBox_mpg2_abitrate;
  vcl::TTabSheet* TabSheet_dvd;
  vcl::TComboBox* ComboBox_dvd_standard;
  vcl::TComboBox* ComboBox_dvd_vresolution;
  vcl::TEdit* Edit_dvd_width;
  vcl::TEdit* Edit_dvd_height;
  vcl::TComboBox* ComboBox_dvd_vcompressformat;
  vcl::TComboBox* ComboBox_dvd_acompressformat;
  vcl::TTabSheet* TabSheet_swf;
  vcl::TComboBox* ComboBox_swf_vresolution;
  vcl::TEdit* Edit_swf_width;
  vcl::TEdit* Edit_swf_height;
  vcl::TComboBox* ComboBox_swf_vcompressformat;
  vcl::TComboBox* ComboBox_swf_vframerate;
  vcl::TEdit* Edit_swf_vframerate;
  vcl::TLabel* Label_swf_vframeraterange;
  vcl::TComboBox* ComboBox_swf_vbitrate;
  vcl::TEdit* Edit_swf_vbitrate;
  vcl::TLabel* Label_swf_vbitraterange;
  vcl::TComboBox* ComboBox_swf_acompressformat;
  vcl::TComboBox* ComboBox_swf_abitrate;
  vcl::TLabel* Label_error;
  vcl::TButton* Button_ok;
  vcl::TButton* Button_cancel;

  // Once OK has stored the parameters, Step 2's parameter summary is rebuilt here for the
  // chosen format: by the main window's page 2, unless something else is put in.
  std::function<void(std::uint8_t format)> UpdateParameterSummary;

  void FormCreate();
  void FormShow();
  void Button_okClick();
  void Button_cancelClick();
  void ComboBox_avi_vresolutionSelect();
  void ComboBox_swf_vresolutionSelect();
  void ComboBox_mpg2_vresolutionSelect();
  void ComboBox_dvd_vresolutionSelect();
  void ComboBox_mpg2_standardSelect();
  void ComboBox_dvd_standardSelect();
  void ComboBox_avi_vframerateSelect();
  void ComboBox_swf_vframerateSelect();
  void ComboBox_avi_vbitrateSelect();
  void ComboBox_mpg2_vbitrateSelect();
  void ComboBox_swf_vbitrateSelect();

  void ShowFormatPage(std::uint8_t format);
  void BuildAviLists();
  void BuildMpeg2Lists();
  void BuildDvdLists();
  void BuildSwfLists();
  void LoadFormatSettings(std::uint8_t format);
  bool ValidateFormat(std::uint8_t format);
  void SaveFormatSettings(std::uint8_t format);
  void ShowError(const std::string& text);

  // The parameters of one format as its page holds them now; for a code that names no
  // format the texts are empty and the numbers 0.
  std::string GetResolution(std::uint8_t format) const;
  int GetVWidth(std::uint8_t format) const;   // fails when the text is no integer
  int GetVHeight(std::uint8_t format) const;  // fails when the text is no integer
  std::string GetVCompressFormat(std::uint8_t format) const;
  std::string GetVFramerate(std::uint8_t format) const;
  std::string GetVBitrate(std::uint8_t format) const;  // bits per second
  std::string GetACompressFormat(std::uint8_t format) const;
  std::string GetABitrate(std::uint8_t format) const;  // bits per second
  std::string GetResolutionDes(std::uint8_t format) const;
  std::string GetVCompressFormatDes(std::uint8_t format) const;
  std::string GetVFramerateDes(std::uint8_t format) const;
  std::string GetVBitrateDes(std::uint8_t format) const;
  std::string GetACompressFormatDes(std::uint8_t format) const;
  std::string GetABitrateDes(std::uint8_t format) const;

 private:
  // One format's page; lists and boxes the format does not have stay null.
  struct TFormatPage {
    const TFormatCatalogue* Catalogue = nullptr;
    vcl::TTabSheet* Sheet = nullptr;
    vcl::TComboBox *Standard = nullptr, *Resolution = nullptr, *VCompressFormat = nullptr, *VFramerate = nullptr,
                   *VBitrate = nullptr, *ACompressFormat = nullptr, *ABitrate = nullptr;
    vcl::TEdit *Width = nullptr, *Height = nullptr, *VFramerateEdit = nullptr, *VBitrateEdit = nullptr;
    vcl::TLabel *VFramerateRange = nullptr, *VBitrateRange = nullptr;
  };
  void CreatePage(TFormatPage& page, const char* caption, const char* tag);
  TFormatPage* PageOf(std::uint8_t format);
  const TFormatPage* PageOf(std::uint8_t format) const;
  void BuildLists(TFormatPage& page);
  void ResolutionSelect(TFormatPage& page);
  void FrameRateSelect(TFormatPage& page);
  void BitrateSelect(TFormatPage& page);
  std::array<TFormatPage, 4> pages_;  // AVI, MPEG-2, DVD, SWF
};

extern TForm_advanced* Form_advanced;

extern const char* const AdvancedInstructionText;
