// A page for tests under Wine, which has no browser engine: it records what the program
// writes into its elements and where it asks to navigate.
#pragma once
#include <map>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "PageHost.h"

namespace winetest {

// An element keeps its attributes and markup; a select list rebuilt from markup takes the
// value of its selected option, or else of its first.
class RecordingElement final : public pagehost::IElement {
 public:
  explicit RecordingElement(std::string id) : id_(std::move(id)) {}
  std::string TagName() override { return "INPUT"; }
  std::string Id() override { return id_; }
  std::string GetAttribute(const std::string& name) override { return attributes_[name]; }
  void SetAttribute(const std::string& name, const std::string& value) override { attributes_[name] = value; }
  std::string InnerHTML() override { return inner_; }
  std::string OuterHTML() override { return outer_; }
  void SetInnerHTML(const std::string& html) override { inner_ = html; }
  void SetOuterHTML(const std::string& html) override {
    outer_ = html;
    static const std::regex selected(R"re(<option value="(\d+)" selected>)re"), first(R"re(<option value="(\d+)")re");
    std::smatch m;
    if (std::regex_search(html, m, selected) || std::regex_search(html, m, first)) attributes_["value"] = m[1];
  }
  void BindClick(pagehost::IEventAdapter&, std::function<void()>) override {}

 private:
  std::string id_, inner_, outer_;
  std::map<std::string, std::string> attributes_;
};

class RecordingPage final : public pagehost::IWebBrowser {
 public:
  explicit RecordingPage(std::string title) : title_(std::move(title)) {}
  void Navigate(const std::string& url) override { Navigations.push_back(url); }
  std::string Title() override { return title_; }
  pagehost::ElementPtr ElementById(const std::string& id) override {
    auto& e = elements_[id];
    if (!e) e = std::make_shared<RecordingElement>(id);
    return e;
  }
  std::vector<pagehost::ElementPtr> AllElements() override { return {}; }
  std::unique_ptr<pagehost::IEventAdapter> NewEventAdapter() override { return std::make_unique<Adapter>(); }
  std::vector<std::string> Navigations;

 private:
  struct Adapter final : pagehost::IEventAdapter {};
  std::string title_;
  std::map<std::string, std::shared_ptr<RecordingElement>> elements_;
};

}  // namespace winetest
