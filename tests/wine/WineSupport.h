// What the Windows tests share: starting the program's processes, finding and answering
// their message boxes, and changing the installation's registry values for one test.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace winetest {

std::string BinFolder();  // where Slidecaster.exe and the tests live

struct Process {
  HANDLE Handle = nullptr;
  DWORD Id = 0;
  bool Running() const;
  bool WaitExit(DWORD ms) const;
  void Kill() const;
  void Close();
};

Process Launch(const std::string& exe, const std::string& arguments = "");

// Polls every 50 ms until pred holds or ms have passed.
bool WaitUntil(const std::function<bool()>& pred, DWORD ms);

// The first top-level window of the process with that class that accept takes.
HWND FindTopLevel(DWORD processId, const char* className, const std::function<bool(HWND)>& accept = nullptr);
std::string WindowText(HWND w);

struct MessageBoxSeen {
  HWND Window = nullptr;
  std::string Caption, Text;
};
// Waits for a message box of the process, reads it and leaves it open.
MessageBoxSeen WaitForMessageBox(DWORD processId, DWORD ms = 20000);
void PressOk(HWND box);

// Sets (or with remove, deletes) one value under the installation's key; the old state
// comes back when the object goes.
class InstallValue {
 public:
  InstallValue(const char* name, const char* text, bool remove = false);
  ~InstallValue();

 private:
  std::string name_, old_;
  bool existed_;
};

}  // namespace winetest
