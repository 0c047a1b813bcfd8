#include "vcl/Dialogs.h"

namespace vcl {

static const char* CaptionOf(TMsgDlgType type) {
  switch (type) {
    case TMsgDlgType::mtError: return "Error";
    case TMsgDlgType::mtInformation: return "Information";
    case TMsgDlgType::mtWarning: return "Warning";
    case TMsgDlgType::mtConfirmation: return "Confirm";
  }
  return "";
}

void MessageDlg(const std::string& text, TMsgDlgType type) {
  Widgetset().ShowMessageBox(nullptr, text, CaptionOf(type), type);
}

bool TOpenDialog::Execute() { return Widgetset().ExecuteOpenDialog(*this); }

bool SelectDirectory(const std::string& caption, std::string& directory) {
  return Widgetset().SelectDirectory(caption, directory);
}

}  // namespace vcl
