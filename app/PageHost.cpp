#include "PageHost.h"

namespace pagehost {

namespace {
BrowserFactory& Factory() {
  static BrowserFactory factory;
  return factory;
}
}  // namespace

void InstallBrowserFactory(BrowserFactory factory) { Factory() = std::move(factory); }

std::unique_ptr<IWebBrowser> CreateBrowser(vcl::TForm& host) {
  if (!Factory()) throw std::logic_error("no page host installed");
  return Factory()(host);
}

std::string ResourceURL(const std::string& type, const std::string& name) {
  return "res://Slidecaster.exe/" + type + "/" + name;
}

}  // namespace pagehost
