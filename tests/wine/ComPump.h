// Waiting in a single-threaded apartment: calls from other processes and the events of
// connection points arrive through the thread's messages, so a wait must pump them.
#pragma once
#include <windows.h>

#include <functional>

namespace winetest {

// Pumps until pred holds or ms have passed.
bool PumpUntil(const std::function<bool()>& pred, DWORD ms);
void Pump(DWORD ms);

}  // namespace winetest
