// The wizard on the headless backends: an installed program started up to page 1, and a
// user's ways of acting on its pages.
#pragma once
#include <string>
#include <vector>

#include "AboutForm.h"
#include "AdvancedSettingsForm.h"
#include "CapForm.h"
#include "Fixture.h"
#include "MainForm.h"

using pagehost::headless::HeadlessBrowser;

inline const char* const Key = "Software\\Roravad Arezaded\\Norvane Slidereel";

class WizardTest : public HeadlessTest {
 protected:
  // An installed program, started up to page 1.
  void Start() {
    world->SetRegistryValue(Key, "PPTPath", "C:\\Office");
    world->SetRegistryValue(Key, "PPTVersion", "12.0");
    world->SetRegistryValue(Key, "Version", "3.1");
    world->SetRegistryValue(Key, "OS", "XP");
    WriteFile("C:\\Office\\POWERPNT.EXE", "");
    vcl::Application.Initialize();
    vcl::Application.CreateForm(Form_main);
    vcl::Application.CreateForm(Form_advanced);
    vcl::Application.CreateForm(Form_cap);
    vcl::Application.CreateForm(Form_about);
    Form_main->Show();
    widgets->Pump();
    ASSERT_EQ(Page().Title(), "page1");
  }
  HeadlessBrowser& Page() { return *pagehost::headless::LatestBrowser(); }
  void Load(const char* url) {
    Form_main->Navigate(url);
    widgets->Pump();
  }
  void Click(const std::string& id) {
    Page().Click(id);
    widgets->Pump();
  }
  pagehost::ElementPtr El(const std::string& id) {
    auto e = Page().ElementById(id);
    if (!e) ADD_FAILURE() << "no element " << id << " on " << Page().Title();
    return e;
  }
  std::string Attr(const std::string& id, const char* name) { return El(id)->GetAttribute(name); }
  void Set(const std::string& id, const char* name, const std::string& value) { El(id)->SetAttribute(name, value); }
  // The red message of the page's error line; empty when the line shows none.
  std::string ErrorLine() { return LineText("red"); }
  std::string InfoLine() { return LineText("blue"); }
  std::vector<std::string> BoxTexts() {
    std::vector<std::string> texts;
    for (const auto& m : widgets->Messages) texts.push_back(m.Text);
    return texts;
  }
  // The element's markup equals the given markup as the page's parser reads it.
  void ExpectMarkup(const std::string& id, const std::string& expected) {
    const std::string actual = El(id)->OuterHTML();
    El(id)->SetOuterHTML(expected);
    EXPECT_EQ(actual, El(id)->OuterHTML()) << id;
  }

 private:
  std::string LineText(const std::string& textClass) {
    if (Attr("error_info", "className") != "show") return "";
    const std::string html = El("error_info")->InnerHTML();
    const std::string open = "<span class=\"" + textClass + "\">";
    const size_t at = html.find(open);
    if (at == std::string::npos) return "";
    const size_t from = at + open.size();
    return html.substr(from, html.find("</span>", from) - from);
  }
};
