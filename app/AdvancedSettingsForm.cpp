#include "AdvancedSettingsForm.h"

TForm_advanced* Form_advanced = nullptr;

TForm_advanced::TForm_advanced() {
  Name = "Form_advanced";
  BorderStyle = vcl::TFormBorderStyle::bsDialog;
  Position = vcl::TPosition::poScreenCenter;
}
