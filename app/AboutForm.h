// The About box: a borderless picture with the product's version, a note, a warning and
// a Close button.
#pragma once
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

class TForm_about : public vcl::TForm {
 public:
  TForm_about();
  void FormShow();
  void Button_closeClick();

  vcl::TImage* Image_bg;
  vcl::TLabel* Label_version;
  vcl::TLabel* Label_note;
  vcl::TLabel* Label_warning;
  vcl::TButton* Button_close;
};

extern TForm_about* Form_about;
