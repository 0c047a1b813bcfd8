#include "CapForm.h"

TForm_cap* Form_cap = nullptr;

TForm_cap::TForm_cap() {
  Name = "Form_cap";
  Position = vcl::TPosition::poScreenCenter;
}
