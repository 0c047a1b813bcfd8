#include "Program.h"

#include "AboutForm.h"
#include "AdvancedSettingsForm.h"
#include "CapForm.h"
#include "MainForm.h"
#include "platform/Platform.h"
#include "vcl/Forms.h"

using vcl::Application;

int RunProgram() {
  Application.Initialize();
  // The presentation program reaches the event sink through the program's class factory.
  if (!platform::Automation().StartServer()) return 0;
  struct ServerOffered {
    ~ServerOffered() { platform::Automation().StopServer(); }
  } serverOffered;

  const platform::MutexResult lock = platform::System().CreateNamedMutex("DEZUDIVODOD_OnlyOne");
  if (!lock.Mutex) {
    Application.ShowMessageBox("Cannot create mutex", "Error", vcl::TMsgDlgType::mtInformation);
    return 0;
  }
  if (lock.AlreadyExisted) {
    Application.ShowMessageBox("Rovavur Arivovov/EZU/Zuruv is already running", "Error", vcl::TMsgDlgType::mtInformation);
    platform::System().CloseHandle(lock.Mutex);
    return 0;
  }

  Application.CreateForm(Form_main);
  Application.CreateForm(Form_advanced);
  Application.CreateForm(Form_cap);
  Application.CreateForm(Form_about);
  Application.Run();
  Application.DestroyForms();

  platform::System().CloseHandle(lock.Mutex);
  return 0;
}
