// Page controls with their sheets, and the progress bar.
#pragma once
#include "vcl/Controls.h"

namespace vcl {

class TPageControl;

class TTabSheet : public TWinControl {
 public:
  explicit TTabSheet(TComponent* owner) : TWinControl(owner, "TTabSheet") {}
  TPageControl* PageControl() const;
  bool TabVisible = true;  // tabs of a page control can be hidden; the page still shows
};

class TPageControl : public TWinControl {
 public:
  explicit TPageControl(TComponent* owner) : TWinControl(owner, "TPageControl") {}
  TTabSheet* ActivePage() const { return active_; }
  void SetActivePage(TTabSheet* page);  // shows that sheet and hides the others
  bool ShowsTabs() const;  // some sheet has its tab visible
  // Places every sheet over the area the backend leaves for sheets at the current size.
  void ArrangeSheets();

 protected:
  void Resized() override;  // the sheets follow

 private:
  TTabSheet* active_ = nullptr;
};

class TProgressBar : public TWinControl {
 public:
  explicit TProgressBar(TComponent* owner) : TWinControl(owner, "TProgressBar") {}
  int Min() const { return min_; }
  int Max() const { return max_; }
  void SetRange(int min, int max);
  int Position() const { return position_; }
  void SetPosition(int position);

 private:
  int min_ = 0, max_ = 100, position_ = 0;
};

}  // namespace vcl
