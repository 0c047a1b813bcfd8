// The headless page host: the pages' document built by libxml2's HTML parser from the very
// resource files the program embeds (found through the resource script), element
// operations with the browser's answers, clicks driven by tests, and navigation that
// completes through the main-thread queue like the browser's.
#pragma once
#include <libxml/tree.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "PageHost.h"
#include "vcl/headless/HeadlessWidgetset.h"

namespace pagehost::headless {

struct Document;
class HeadlessEventAdapter;

class HeadlessBrowser final : public IWebBrowser {
 public:
  // resourceScript: the program's .rc file; its "NAME TYPE file" lines name files
  // relative to sourceRoot.
  HeadlessBrowser(vcl::headless::HeadlessWidgetset& widgets, const std::string& resourceScript,
                  const std::string& sourceRoot);
  ~HeadlessBrowser() override;

  // --- what tests use ---
  // Clicks the element with that id: calls the handler of the adapter bound to it, if any.
  void Click(const std::string& id);
  // Whether clicks of the element with that id reach an adapter.
  bool Bound(const std::string& id);
  // A frame inside the page has finished loading (the browser raises completion again).
  void FrameComplete();
  const std::string& LocationURL() const { return location_; }
  // The file a resource URL names; empty when the program has no such resource.
  std::string ResourceFile(const std::string& url) const;

  // --- the host ---
  void Navigate(const std::string& url) override;
  std::string Title() override;
  ElementPtr ElementById(const std::string& id) override;
  std::vector<ElementPtr> AllElements() override;
  std::unique_ptr<IEventAdapter> NewEventAdapter() override;

 private:
  xmlNode* NodeById(const std::string& id);
  HeadlessEventAdapter* AdapterOf(const std::string& id);
  vcl::headless::HeadlessWidgetset& widgets_;
  std::map<std::string, std::string> resources_;  // "TYPE/NAME" upper-cased -> host file
  std::shared_ptr<Document> document_;
  std::string location_;
};

// Installs a factory that gives every window a headless browser over the program's own
// resources; the latest browser made is reachable for tests.
void InstallHeadlessPageHost(vcl::headless::HeadlessWidgetset& widgets);
HeadlessBrowser* LatestBrowser();
// Every URL any browser was asked to load since the host was installed, in order; it
// outlives the browsers, so tests can read it once the program has ended.
const std::vector<std::string>& NavigationsRequested();

}  // namespace pagehost::headless
