#include "PPTWaitThread.h"

#include "CapForm.h"
#include "platform/Platform.h"

vcl::TThreadRef CurrentWaitThread;

namespace {
constexpr unsigned PollPeriod = 100;  // ms
constexpr std::int32_t ShowWindowPolls = 300;
}  // namespace

void TPPTWaitThread::Execute() {
  if (Mode == WaitForShowWindow) {
    SlideWindowFound = false;
    while (!SlideWindowFound) {
      if (platform::Windows().FindTopLevel("screenClass")) {
        SlideWindowFound = true;
      } else {
        platform::System().Sleep(PollPeriod);
        if (++PollCount >= ShowWindowPolls) {
          Synchronize([] { Form_cap->ReportSlideShowMissing(); });
          return;
        }
      }
    }
    Synchronize([] { Form_cap->BeginRecording(); });
    return;
  }
  while (!LastSlideReached) {
    if (Terminated()) {
      CurrentWaitThread.Clear();
      return;
    }
    platform::System().Sleep(PollPeriod);
  }
  Synchronize([] { Form_cap->LastSlideStop(); });
}
