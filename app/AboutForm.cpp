#include "AboutForm.h"

TForm_about* Form_about = nullptr;

TForm_about::TForm_about() {
  Name = "Form_about";
  BorderStyle = vcl::TFormBorderStyle::bsNone;
  Position = vcl::TPosition::poScreenCenter;
  SetClientSize(425, 312);
}
