// The advanced settings dialog: video and audio parameters of every output format.
#pragma once
#include "vcl/Forms.h"

class TForm_advanced : public vcl::TForm {
 public:
  TForm_advanced();
};

extern TForm_advanced* Form_advanced;
