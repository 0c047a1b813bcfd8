#include "ComPump.h"

namespace winetest {

bool PumpUntil(const std::function<bool()>& pred, DWORD ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&m);
      DispatchMessageW(&m);
    }
    if (pred()) return true;
    if (GetTickCount() - start >= ms) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
}

void Pump(DWORD ms) {
  PumpUntil([] { return false; }, ms);
}

}  // namespace winetest
