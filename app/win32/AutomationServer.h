// The program as the automation server of its event sink class: the class and its type
// library in the registry, the switches that ask only to register or unregister, and the
// class factory offered to other programs while the program runs.
#pragma once
#include "platform/Automation.h"

namespace comserver {

// Reads the command line's switches ("/" or "-" and the word, in any case): "REGSERVER"
// and "UNREGSERVER" register or unregister and answer false (the program ends there);
// otherwise the class is registered quietly (a user without the rights to write the
// registry still runs the program) and its factory offered, single use, in this thread's
// apartment. Enters the apartment first.
bool StartAutomationServer();
void StopAutomationServer();  // withdraws the factory and leaves the apartment

// Objects made by the factory for other programs send their calls to the handler the
// program gave its own sink last; until then they do nothing.
void SetServerSinkHandler(platform::SinkHandler handler);

}  // namespace comserver
