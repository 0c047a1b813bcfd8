// The About box.
#pragma once
#include "vcl/Forms.h"

class TForm_about : public vcl::TForm {
 public:
  TForm_about();
};

extern TForm_about* Form_about;
