// The system's browser control put into a window: created, given our client site,
// activated in place over the window's client area, and followed through its events.
#pragma once
#include <memory>

#include "PageHost.h"

namespace vcl {
class TForm;
}

namespace pagehost::win32 {

class TWBContainer;

// The browser for a window (the window must exist). Fails with the system's message when
// the control cannot be created or does not take our client site.
std::unique_ptr<IWebBrowser> MakeBrowser(vcl::TForm& host);

// The container of the browser made last (for checks of its host-call answers).
TWBContainer* LatestContainer();

}  // namespace pagehost::win32
