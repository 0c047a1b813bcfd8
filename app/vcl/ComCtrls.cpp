#include "vcl/ComCtrls.h"

#include <algorithm>

namespace vcl {

TPageControl* TTabSheet::PageControl() const { return dynamic_cast<TPageControl*>(Parent()); }

void TPageControl::SetActivePage(TTabSheet* page) {
  active_ = page;
  for (TControl* c : Controls())
    if (auto* sheet = dynamic_cast<TTabSheet*>(c)) sheet->SetVisible(sheet == page);
  Changed(TProp::ActivePage);
}

bool TPageControl::ShowsTabs() const {
  for (TControl* c : Controls())
    if (auto* sheet = dynamic_cast<TTabSheet*>(c); sheet && sheet->TabVisible) return true;
  return false;
}

void TPageControl::ArrangeSheets() {
  const TSheetArea area = Widgetset().PageArea(*this);
  for (TControl* c : Controls())
    if (auto* sheet = dynamic_cast<TTabSheet*>(c)) sheet->SetBounds(area.Left, area.Top, area.Width, area.Height);
}

void TPageControl::Resized() {
  ArrangeSheets();
  TWinControl::Resized();
}

void TProgressBar::SetRange(int min, int max) {
  min_ = min;
  max_ = max;
  position_ = std::clamp(position_, min_, max_);
  Changed(TProp::Range);
}

void TProgressBar::SetPosition(int position) {
  position_ = std::clamp(position, min_, max_);
  Changed(TProp::Position);
}

}  // namespace vcl
