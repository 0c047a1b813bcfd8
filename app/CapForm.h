// The capture window: the running slide show and the recording's controls.
#pragma once
#include "vcl/Forms.h"

class TForm_cap : public vcl::TForm {
 public:
  TForm_cap();
};

extern TForm_cap* Form_cap;
