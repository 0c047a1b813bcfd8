// Panels, pictures and timers.
#pragma once
#include <string>

#include "vcl/Controls.h"

namespace vcl {

class TPanel : public TWinControl {
 public:
  explicit TPanel(TComponent* owner) : TWinControl(owner, "TPanel") {}
};

// Shows a picture from the program's resources (by resource name) or from a file.
class TImage : public TControl {
 public:
  explicit TImage(TComponent* owner) : TControl(owner, "TImage") {}
  bool Stretch = false;  // the picture fills the control; set before the window exists
  const std::string& Picture() const { return picture_; }
  void SetPicture(const std::string& name);

 private:
  std::string picture_;
};

class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* owner);
  ~TTimer() override;
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned ms);
  TNotifyEvent OnTimer;
  void Fire();  // called by the backend when the interval has passed

 private:
  bool enabled_ = true;
  unsigned interval_ = 1000;
};

}  // namespace vcl
