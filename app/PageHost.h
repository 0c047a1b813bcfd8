// The embedded page host: the browser that shows the wizard's pages, seen by the program
// as a document of elements it reads, writes and binds clicks on. The win32 backend hosts
// the system's browser control; the headless backend builds the same document from the
// very same resource files.
#pragma once
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace vcl {
class TForm;
}

namespace pagehost {

// A failing element operation, carrying the system's message for the failure.
class EPageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Turns an element's click into a call of a main-window handler (one per bound event);
// binding it again to an element of the next page reuses it.
class IEventAdapter {
 public:
  virtual ~IEventAdapter() = default;
};

class IElement {
 public:
  virtual ~IElement() = default;
  virtual std::string TagName() = 0;
  virtual std::string Id() = 0;
  // The attribute's current value as text; booleans read "True" or "False".
  virtual std::string GetAttribute(const std::string& name) = 0;
  virtual void SetAttribute(const std::string& name, const std::string& value) = 0;
  virtual std::string InnerHTML() = 0;
  virtual std::string OuterHTML() = 0;
  virtual void SetInnerHTML(const std::string& html) = 0;
  // Replaces the element itself; this reference no longer names a page element afterwards.
  virtual void SetOuterHTML(const std::string& html) = 0;
  // The element's clicks call handler through adapter (which takes the handler over).
  virtual void BindClick(IEventAdapter& adapter, std::function<void()> handler) = 0;
};
using ElementPtr = std::shared_ptr<IElement>;

// The browser filling the main window, and the document it shows.
class IWebBrowser {
 public:
  virtual ~IWebBrowser() = default;
  // Starts loading a page; OnDocumentComplete follows once it is there.
  virtual void Navigate(const std::string& url) = 0;
  virtual std::string Title() = 0;
  virtual ElementPtr ElementById(const std::string& id) = 0;  // nullptr when the page has none
  virtual std::vector<ElementPtr> AllElements() = 0;          // in document order
  virtual std::unique_ptr<IEventAdapter> NewEventAdapter() = 0;
  // Raised for the page and for each frame inside it.
  std::function<void()> OnDocumentComplete;
};

// The backend's way of putting a browser into a window, installed once at start.
using BrowserFactory = std::function<std::unique_ptr<IWebBrowser>(vcl::TForm& host)>;
void InstallBrowserFactory(BrowserFactory factory);
std::unique_ptr<IWebBrowser> CreateBrowser(vcl::TForm& host);

// "res://Slidecaster.exe/" + type + "/" + name
std::string ResourceURL(const std::string& type, const std::string& name);

}  // namespace pagehost
