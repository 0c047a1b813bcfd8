// The browser's host interfaces (IOleClientSite, IDocHostUIHandler) and the flags the
// page host answers with.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <mshtmhst.h>

namespace pagehost::win32 {

// The host information record as the pages' browser reads it: size, flags, double-click
// behaviour, host stylesheet and namespace.
constexpr ULONG HostInfoSize = 20;

}  // namespace pagehost::win32
