// Late-bound automation through IDispatch, for the main thread's apartment.
#pragma once
#include <oaidl.h>

#include "platform/Automation.h"

namespace platform::win32 {

// A variant as the program reads it: Object for an IDispatch, Integer, Float or String
// for the kinds that are one, Empty for any other; the whole variant is kept as the
// value's native one, to be passed back exactly as it came.
AutoValue FromVariant(const VARIANT& value);

}  // namespace platform::win32
