#include "PPTInterface.h"

#include "CapForm.h"

const char* const PowerPointEventsIid = "{914934C2-5A91-11CF-8700-00AA0060263B}";

namespace {

void SlideShowBegin(const platform::AutoValue&) {}

// w is the slide show window.
void SlideShowNextSlide(const platform::AutoValue& w) {
  CurrentSlideIndex = platform::Get(platform::Get(w.AsObject(), "View").AsObject(), "CurrentShowPosition").AsInteger();
  if (CurrentSlideIndex == Form_cap->SlideCount) LastSlideReached = true;
}

}  // namespace

void PPTInfInvoke(std::int32_t dispid, const std::vector<platform::AutoValue>& args) {
  if (dispid == DispidSlideShowBegin && args.size() == 1) SlideShowBegin(args[0]);
  else if (dispid == DispidSlideShowNextSlide && args.size() == 1) SlideShowNextSlide(args[0]);
}
