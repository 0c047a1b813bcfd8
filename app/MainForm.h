// The main window: the wizard's frame. Its creation prepares the process and reads the
// configuration; its first show checks the installation; its destruction writes the
// configuration back.
#pragma once
#include <string>

#include "vcl/Forms.h"

class TForm_main : public vcl::TForm {
 public:
  TForm_main();

  void FormCreate();
  void FormShow();
  void FormDestroy();

  // The wizard page shown in the window.
  void Navigate(const std::string& url);
  const std::string& LocationURL() const { return locationURL_; }

 private:
  bool CheckOperatingSystem();
  bool CheckPowerPointFolder();
  bool CheckPowerPointVersion();
  bool CheckInstallationRecord();
  bool firstShow_ = true;
  std::string locationURL_;
};

extern TForm_main* Form_main;

extern const char* const Page1URL;
