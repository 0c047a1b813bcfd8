// Message dialogs and the common file and folder dialogs.
#pragma once
#include <string>

#include "vcl/Widgetset.h"

namespace vcl {

class TForm;

// The standard message dialog: icon by type, caption "Error" or "Information", one OK
// button, owned by the active form.
void MessageDlg(const std::string& text, TMsgDlgType type);

class TOpenDialog {
 public:
  std::string Title;
  std::string Filter;  // "Description|*.ext;*.ext2|..."
  int FilterIndex = 1;
  std::string InitialDir;
  std::string FileName;  // in: proposed name; out: the chosen file
  bool Execute();         // false when the user cancels
};

// Asks for a folder; true and the folder in directory when the user picks one.
bool SelectDirectory(const std::string& caption, std::string& directory);

}  // namespace vcl
