#include "vcl/ExtCtrls.h"

namespace vcl {

void TImage::SetPicture(const std::string& name) {
  picture_ = name;
  Changed(TProp::Picture);
}

TTimer::TTimer(TComponent* owner) : TComponent(owner) {
  // Enabled with its default interval from the start, as a placed timer is.
  if (HasWidgetset()) Widgetset().TimerChanged(*this);
}

TTimer::~TTimer() {
  if (HasWidgetset()) Widgetset().TimerDestroyed(*this);
}

void TTimer::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  if (HasWidgetset()) Widgetset().TimerChanged(*this);
}

void TTimer::SetInterval(unsigned ms) {
  if (interval_ == ms) return;
  interval_ = ms;
  if (HasWidgetset()) Widgetset().TimerChanged(*this);
}

void TTimer::Fire() {
  if (enabled_ && interval_ > 0 && OnTimer) OnTimer();
}

}  // namespace vcl
