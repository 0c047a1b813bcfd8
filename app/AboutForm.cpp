#include "AboutForm.h"

#include <exception>

#include "AppContext.h"
#include "MainForm.h"
#include "vcl/Dialogs.h"

TForm_about* Form_about = nullptr;

TForm_about::TForm_about() {
  Name = "Form_about";
  BorderStyle = vcl::TFormBorderStyle::bsNone;
  Position = vcl::TPosition::poScreenCenter;
  SetClientSize(425, 312);

  Image_bg = new vcl::TImage(this);
  Image_bg->SetParent(this);
  Image_bg->SetBounds(0, 0, 425, 312);
  Image_bg->SetPicture("ABOUTBG");

  Label_version = new vcl::TLabel(this);
  Label_version->SetParent(this);
  Label_version->SetBounds(20, 90, 385, 16);

  Label_note = new vcl::TLabel(this);
  Label_note->SetParent(this);
  Label_note->SetBounds(20, 112, 385, 16);
  Label_note->SetCaption("Turns PowerPoint presentations into AVI, MPEG-2, Flash and DVD video.");

  Label_warning = new vcl::TLabel(this);
  Label_warning->SetParent(this);
  Label_warning->SetBounds(20, 150, 385, 90);
  Label_warning->SetWordWrap(true);
  Label_warning->SetFontColor(vcl::clRed);
  Label_warning->SetCaption(
      "Warning: this computer program is protected by copyright law and international treaties. Unauthorized "
      "reproduction or distribution of this program, or any portion of it, may result in severe civil and "
      "criminal penalties, and will be prosecuted to the maximum extent possible under the law.");

  Button_close = new vcl::TButton(this);
  Button_close->SetParent(this);
  Button_close->SetBounds(330, 270, 75, 25);
  Button_close->SetCaption("Close");
  Button_close->OnClick = [this] { Button_closeClick(); };

  OnShow = [this] { FormShow(); };
}

void TForm_about::FormShow() {
  try {
    Label_version->SetCaption("Version: " + ProductVersion);
  } catch (const std::exception& e) {
    vcl::MessageDlg(std::string("Error: ") + e.what(), vcl::TMsgDlgType::mtError);
    Form_main->Close();
  }
}

void TForm_about::Button_closeClick() { SetModalResult(vcl::mrOk); }
