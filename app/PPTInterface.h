// The presentation program's event sink: its slide changes become the shared slide
// position and the end-of-show flag.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/Automation.h"

// The presentation program's application events, which the sink's interface carries.
extern const char* const PowerPointEventsIid;  // "{914934C2-5A91-11CF-8700-00AA0060263B}"
constexpr std::int32_t DispidSlideShowBegin = 2011;
constexpr std::int32_t DispidSlideShowNextSlide = 2013;

// A call of the sink by dispatch id; ids the sink does not list do nothing.
void PPTInfInvoke(std::int32_t dispid, const std::vector<platform::AutoValue>& args);
