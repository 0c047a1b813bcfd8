#include "vcl/Widgetset.h"

#include <stdexcept>

namespace vcl {

static std::unique_ptr<TWidgetset>& Installed() {
  static std::unique_ptr<TWidgetset> widgetset;
  return widgetset;
}

void InstallWidgetset(std::unique_ptr<TWidgetset> widgetset) { Installed() = std::move(widgetset); }

TWidgetset& Widgetset() {
  if (!Installed()) throw std::logic_error("no component-layer backend installed");
  return *Installed();
}

bool HasWidgetset() { return Installed() != nullptr; }

}  // namespace vcl
