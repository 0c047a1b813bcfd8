// What the Windows tests share: starting the program's processes, finding and answering
// their message boxes, and changing the installation's registry values for one test.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace winetest {

std::string BinFolder();  // where Slidecaster.exe and the tests live

// A started process; one still running when the object goes (a test stopped by a failed
// assertion) is ended, so that it cannot hold the program's mutex or a box for later tests.
struct Process {
  Process() = default;
  Process(Process&& other) noexcept : Handle(other.Handle), Id(other.Id) { other.Handle = nullptr; }
  Process& operator=(Process&& other) noexcept;
  ~Process();
  HANDLE Handle = nullptr;
  DWORD Id = 0;
  bool Running() const;
  bool WaitExit(DWORD ms) const;
  void Kill() const;
  void Close();  // ends it if it still runs, and lets go of its handle
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
