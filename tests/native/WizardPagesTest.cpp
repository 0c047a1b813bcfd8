// The wizard's pages on the headless page host: loading and binding, the page state
// across navigation and frame completions, the error line, the result page, and the
// navigation handlers.
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <fstream>
#include <regex>
#include <set>

#include "AboutForm.h"
#include "WizardFixture.h"
#include "vcl/SysUtils.h"

namespace {

const char* const DeviceList =
    "<select  ID=\"combo_wavein\"><option value=\"0\">Line In</option>"
    "<option value=\"1\" selected=\"selected\">USB Microphone</option></select>";

TEST_F(WizardTest, EachPageLoadsAndBindsItsCommonLinks) {
  Start();
  ProgramFolder = "C:\\Program Files\\Slidecaster";
  ProductVersion = "3.1";
  for (const char* url : {Page1URL, Page2URL, Page3URL}) {
    SCOPED_TRACE(url);
    Load(url);
    EXPECT_EQ("res://slidecaster.exe/rt_html/" + Page().Title(), vcl::LowerCase(url));

    widgets->ShellRequests.clear();
    Click("button_help");
    ASSERT_EQ(widgets->ShellRequests.size(), 1u);
    const auto& help = widgets->ShellRequests[0];
    EXPECT_EQ(help.Owner, nullptr);
    EXPECT_EQ(help.Operation, "Open");
    EXPECT_EQ(help.File, "help.chm");
    EXPECT_EQ(help.Folder, "C:\\Program Files\\Slidecaster\\");
    EXPECT_EQ(help.ShowCommand, 3);

    std::string version;
    widgets->WhenIdle([&] {
      EXPECT_TRUE(Form_about->Modal());
      version = Form_about->Label_version->Caption();
      Form_about->Button_close->Click();
    });
    Click("button_about");
    EXPECT_EQ(version, "Version: 3.1");
    EXPECT_FALSE(Form_about->Visible());
  }
}

TEST_F(WizardTest, EveryPageBindsItsButtonsAndLinks) {
  const std::vector<std::pair<const char*, std::vector<const char*>>> pages = {
      {Page1URL,
       {"button_next", "combo_wavein", "button_pptbrowser", "button_outputpathbrowser", "button_help", "button_about",
        "button_exit", "button_oneclickconvert"}},
      {Page2URL,
       {"combo_outputformat", "button_exit", "button_convert", "button_prev", "button_saveprofile", "button_help",
        "button_about", "advanced_settings"}},
      {Page3URL, {"button_again", "button_help", "button_about", "button_exit", "open_outdir"}}};
  Start();
  for (const auto& [url, ids] : pages) {
    Load(url);
    for (const char* id : ids) EXPECT_TRUE(Page().Bound(id)) << url << " " << id;
  }
  Load(Page1URL);
  EXPECT_FALSE(Page().Bound("a_oneclickconvertset")) << "the profile link opens its page by the page's own script";
}

TEST_F(WizardTest, AboutBoxIsABorderlessCentredPicture) {
  Start();
  EXPECT_EQ(Form_about->BorderStyle, vcl::TFormBorderStyle::bsNone);
  EXPECT_EQ(Form_about->Position, vcl::TPosition::poScreenCenter);
  EXPECT_EQ(Form_about->ClientWidth(), 425);
  EXPECT_EQ(Form_about->ClientHeight(), 312);
  EXPECT_EQ(Form_about->Image_bg->Picture(), "ABOUTBG");
  EXPECT_EQ(Form_about->Label_warning->FontColor(), vcl::clRed);
  EXPECT_TRUE(Form_about->Label_warning->WordWrap());
  EXPECT_EQ(Form_about->Label_warning->Width(), 385);
  EXPECT_EQ(Form_about->Button_close->Caption(), "Close");
}

TEST_F(WizardTest, NextAndPrevBringBackWhatPageOneHeld) {
  world->Audio.Devices = {{"Line In", {{"Microphone"}, {"Line"}}}, {"USB Microphone", {{"Mic"}, {"Line"}}}};
  WriteFile("C:\\Talks\\Q3 Review.ppt", "deck");
  MakeDir("D:\\");
  Start();
  Set("edit_pptfile", "value", "C:\\Talks\\Q3 Review.ppt");
  Set("edit_outputpath", "value", "D:\\Videos");
  Set("capmode_auto", "checked", "true");
  Set("edit_transitontime", "value", "12");
  Set("checkbox_audiorecording", "checked", "true");
  Set("combo_wavein", "value", "1");
  Click("combo_wavein");
  Set("combo_recordctl", "value", "1");
  const std::string devices = El("combo_wavein")->OuterHTML();
  Click("button_next");
  ASSERT_EQ(Page().Title(), "page2");
  EXPECT_EQ(ConvertSettings.wavein_index, 1);
  EXPECT_EQ(ConvertSettings.selline_index, 1);
  EXPECT_EQ(ConvertSettings.AutoSlideTime, 12);
  EXPECT_FALSE(ConvertSettings.CapMode);

  Set("combo_outputformat", "value", "1");
  Click("button_prev");

  EXPECT_EQ(Page().Title(), "page1");
  EXPECT_EQ(Attr("edit_pptfile", "value"), "C:\\Talks\\Q3 Review.ppt");
  EXPECT_EQ(Attr("edit_outputpath", "value"), "D:\\Videos");
  EXPECT_EQ(Attr("edit_transitontime", "value"), "12");
  EXPECT_EQ(Attr("capmode_auto", "checked"), "True");
  EXPECT_EQ(Attr("capmode_mannual", "checked"), "False");
  EXPECT_EQ(Attr("checkbox_audiorecording", "checked"), "True");
  EXPECT_EQ(El("combo_wavein")->OuterHTML(), devices);
  EXPECT_EQ(Attr("combo_wavein", "value"), "1");
  EXPECT_EQ(Attr("combo_recordctl", "value"), "1");
  // Page 2's own list was recorded by Prev too, under its own id; the list comes back
  // rebuilt, and the format choice is bound to the list that is on the page.
  Load(Page2URL);
  EXPECT_EQ(Attr("combo_outputformat", "value"), "1");
  EXPECT_TRUE(Page().Bound("combo_outputformat"));
}

TEST_F(WizardTest, RecordedCheckBoxComesBackDisabledAndUncheckedItemsStayAsLoaded) {
  Start();
  Set("checkbox_audiorecording", "checked", "true");
  Set("checkbox_audiorecording", "disabled", "true");
  Set("capmode_mannual", "checked", "true");
  Form_main->SavePageState(Page());
  Form_main->PageState.emplace_back("edit_nowhere", TSaveListItem{KindText, "", "", "x", "", ""});
  // An element recorded without an id names nothing on the page (not the page itself).
  Form_main->PageState.emplace_back("", TSaveListItem{KindSelect, "<select></select>", "", "", "", ""});
  EXPECT_EQ(Page().ElementById(""), nullptr);

  Load(Page2URL);
  Click("button_prev");
  EXPECT_EQ(Attr("checkbox_audiorecording", "disabled"), "True");
  EXPECT_EQ(Attr("checkbox_audiorecording", "checked"), "False") << "a disabled box comes back unchecked";
  EXPECT_EQ(Attr("capmode_mannual", "checked"), "True");

  // Items recorded unchecked leave the page's own state alone: the user's check stays,
  // while a recorded text comes back.
  Set("checkbox_audiorecording", "disabled", "false");
  Set("capmode_auto", "checked", "true");
  Form_main->SavePageState(Page());
  Set("checkbox_audiorecording", "checked", "true");
  Set("capmode_mannual", "checked", "true");
  Set("edit_pptfile", "value", "typed after recording");
  Page().FrameComplete();
  widgets->Pump();
  EXPECT_EQ(Attr("checkbox_audiorecording", "checked"), "True");
  EXPECT_EQ(Attr("capmode_auto", "checked"), "True");
  EXPECT_EQ(Attr("capmode_mannual", "checked"), "False");
  EXPECT_EQ(Attr("edit_pptfile", "value"), "");
}

TEST_F(WizardTest, FrameCompletionRebindsPageOneAndReappliesTheState) {
  Start();
  Set("edit_outputpath", "value", "D:\\Videos");
  El("combo_wavein")->SetOuterHTML(DeviceList);
  Form_main->SavePageState(Page());
  Set("edit_outputpath", "value", "E:\\Elsewhere");
  // Elements rebuilt since the page loaded, without their bindings.
  El("combo_wavein")->SetOuterHTML("<select id=\"combo_wavein\"></select>");
  El("button_exit")->SetOuterHTML("<input type=\"button\" id=\"button_exit\" value=\"Exit\" />");
  El("error_info")->SetOuterHTML("<div id=\"error_info\" class=\"hide\"></div>");
  ASSERT_FALSE(Page().Bound("combo_wavein"));
  ASSERT_FALSE(Page().Bound("button_exit"));

  Page().FrameComplete();
  widgets->Pump();
  EXPECT_EQ(Attr("edit_outputpath", "value"), "D:\\Videos");
  EXPECT_EQ(Attr("combo_wavein", "value"), "1");
  EXPECT_TRUE(Page().Bound("combo_wavein")) << "the restored device list is bound again";
  Form_main->ShowErrorLine("on the line now on the page");
  EXPECT_EQ(Attr("error_info", "className"), "show");
  EXPECT_NE(El("error_info")->InnerHTML().find("on the line now on the page"), std::string::npos);
  Click("button_exit");
  EXPECT_TRUE(vcl::Application.Terminated());
}

TEST_F(WizardTest, ErrorLineShowsItsMessageUntilThePageReloads) {
  struct Case {
    void (TForm_main::*Show)(const std::string&);
    const char* Markup;
  };
  for (const Case& c : {Case{&TForm_main::ShowErrorLine,
                             "<div id=\"error_info\" class=\"show\"><img src=\"res://Slidecaster.exe/picture/errorpic\" "
                             "width=\"16\" height=\"16\" align=\"absmiddle\"/><span class=\"red\">Bad &amp; wrong</span></div>"},
                        Case{&TForm_main::ShowInfoLine,
                             "<div id=\"error_info\" class=\"show\"><img src=\"res://Slidecaster.exe/picture/okpic\" "
                             "width=\"16\" height=\"16\" align=\"absmiddle\"/><span class=\"blue\">Bad &amp; wrong</span></div>"}}) {
    Start();
    for (const char* url : {Page1URL, Page2URL}) {
      Load(url);
      EXPECT_EQ(Attr("error_info", "className"), "hide");
      (Form_main->*c.Show)("Bad &amp; wrong");
      Set(Page().Title() == "page1" ? "edit_pptfile" : "combo_outputformat", "value", "1");
      ExpectMarkup("error_info", c.Markup);
    }
    Load(Page1URL);
    EXPECT_EQ(Attr("error_info", "className"), "hide");
    EXPECT_EQ(El("error_info")->InnerHTML().find("Bad"), std::string::npos);
    Load(Page3URL);
    const std::string page3 = El("buildinfo")->OuterHTML();
    (Form_main->*c.Show)("nowhere to show");  // page 3 has no error line
    EXPECT_EQ(El("buildinfo")->OuterHTML(), page3);
    vcl::Application.DestroyForms();
  }
}

TEST_F(WizardTest, ResultPageShowsTheFinishedOrCancelledConversion) {
  world->Locale.ShortMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"};
  world->Clock.SetLocalTime({2026, 10, 7, 15, 4, 5, 0});
  Start();
  ConvertSettings.PPTFile = "C:\\Talks\\Q3 Review.ppt";
  JobFolder = "D:\\Videos\\Okt 07, 2026, PM 03-04-05, Q3 Review.ppt";
  OutputName = "Q3 Review.ppt";
  FinalCaptureSeconds = 3725;

  ConvertCanceled = false;
  Load(Page3URL);
  ExpectMarkup("basicsetup",
               "<div id=\"basicsetup\" class=\"picstyle\"><img src=\"res://Slidecaster.exe/picture/finished\" "
               "height=\"80\" width=\"80\"><br />Finished </div>");
  ExpectMarkup("statustext", "<span id=\"statustext\">Converting has finished!</span>");
  ExpectMarkup("convertstatus", "<span id=\"convertstatus\">Videos generated have been saved in " + JobFolder +
                                    ".&nbsp;&nbsp;</span>");
  ExpectMarkup("buildinfo",
               "<div id=\"buildinfo\" class=\"greenbox show\"><div class=\"greenboxtop\"><h4>Build Information</h4>"
               "<ul id=\"videoparalist\"><li class=\"leftli\">Date:</li><li class=\"rightli\">Okt 07, 2026</li>"
               "<li class=\"leftli\">PowerPoint File:</li><li class=\"rightli\">C:\\Talks\\Q3 Review.ppt</li>"
               "<li class=\"leftli\">Output Directory:</li><li class=\"rightli\">" + JobFolder + "</li>"
               "<li class=\"leftli\">Video Name:</li><li class=\"rightli\">Q3 Review.ppt</li>"
               "<li class=\"leftli\">Duration:</li><li class=\"rightli\">01:02:05</li></ul></div>"
               "<div class=\"greenboxbottom\"><!-- end #greebox--></div></div>");
  EXPECT_NE(El("open_outdir")->InnerHTML(), "");
  Click("open_outdir");
  ASSERT_EQ(widgets->ShellRequests.size(), 1u);
  EXPECT_EQ(widgets->ShellRequests[0].Owner, Form_main);
  EXPECT_EQ(widgets->ShellRequests[0].Operation, "open");
  EXPECT_EQ(widgets->ShellRequests[0].File, "");
  EXPECT_EQ(widgets->ShellRequests[0].Folder, JobFolder);
  EXPECT_EQ(widgets->ShellRequests[0].ShowCommand, 5);

  ConvertCanceled = true;
  Load(Page3URL);
  // Clicked as the page shows it, before any markup check replaces the element.
  Click("open_outdir");
  EXPECT_EQ(widgets->ShellRequests.size(), 1u) << "the emptied link opens nothing";
  ExpectMarkup("basicsetup",
               "<div id=\"basicsetup\" class=\"picstyle\"><img src=\"res://Slidecaster.exe/picture/canceled\" "
               "height=\"80\" width=\"80\"><br />Canceled </div>");
  ExpectMarkup("statustext", "<span id=\"statustext\">Converting has been canceled!</span>");
  ExpectMarkup("convertstatus", "<span id=\"convertstatus\">Videos generated have been deleted.</span>");
  ExpectMarkup("open_outdir", "<a id=\"open_outdir\" href=\"#0\"></a>");
  ExpectMarkup("buildinfo",
               "<div id=\"buildinfo\" class=\"greenbox hide\"><div class=\"greenboxtop\"><h4>Build Information</h4>"
               "<ul id=\"videoparalist\"></ul></div><div class=\"greenboxbottom\"><!-- end #greebox--></div></div>");

}

TEST_F(WizardTest, ExitAndAnotherDeleteWhatTheLastConversionLeft) {
  struct Case {
    const char* Name;
    bool Converted, Canceled;
    const char* Button;
    bool TempStays, JobStays;
  };
  for (const Case& c : {Case{"exit before any conversion", false, false, "button_exit", true, true},
                        Case{"exit after a finished one", true, false, "button_exit", false, true},
                        Case{"exit after a cancel", true, true, "button_exit", false, false},
                        Case{"another after a finished one", true, false, "button_again", false, true},
                        Case{"another after a cancel", true, true, "button_again", false, false}}) {
    SCOPED_TRACE(c.Name);
    const std::string job = "D:\\Out\\Job";
    WriteFile(job + "\\temp\\vtemp.m2v", "v");
    WriteFile(job + "\\Talk.avi", "a");
    JobFolder = c.Converted ? job : "";
    TempFolder = c.Converted ? job + "\\temp" : "";
    ConvertCanceled = c.Canceled;
    world->CurrentDir = "D:\\Out";
    Start();
    Load(Page3URL);
    Click(c.Button);
    EXPECT_EQ(Exists(job + "\\temp"), c.TempStays);
    EXPECT_EQ(Exists(job), c.JobStays);
    EXPECT_TRUE(Exists("D:\\Out"));
    if (std::string(c.Button) == "button_exit") {
      EXPECT_TRUE(vcl::Application.Terminated());
    } else {
      EXPECT_FALSE(vcl::Application.Terminated());
      EXPECT_EQ(Page().Title(), "page1");
    }
    vcl::Application.DestroyForms();
    std::filesystem::remove_all(world->HostPath("D:\\Out"));
  }
}

TEST_F(WizardTest, FatalErrorIsShownAndEndsTheProgram) {
  Start();
  LastErrorText = "Encoder stopped unexpectedly.";
  Form_main->ShowFatalError();
  ASSERT_EQ(widgets->Messages.size(), 1u);
  EXPECT_EQ(widgets->Messages[0].Text, "Error: Encoder stopped unexpectedly.");
  EXPECT_EQ(widgets->Messages[0].Caption, "Error");
  EXPECT_EQ(widgets->Messages[0].Type, vcl::TMsgDlgType::mtError);
  EXPECT_TRUE(vcl::Application.Terminated());
}

// ---- the resource files themselves ----

std::string SourceFile(const std::string& relative) {
  std::ifstream in(std::string(SLIDECASTER_SOURCE_DIR) + "/" + relative, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

struct PageCase {
  const char* File;
  const char* Title;
  std::vector<const char*> Ids;
};

class ResourcePages : public HeadlessTest, public ::testing::WithParamInterface<PageCase> {};

TEST_P(ResourcePages, AreWellFormedAndHoldEveryElementTheProgramUses) {
  const PageCase& c = GetParam();
  const std::string text = SourceFile(std::string("app/resources/pages/") + c.File);
  // The document type comes first: anything before it (an XML declaration too) puts older
  // browser engines into their quirks mode, where the page's column no longer centres.
  const std::string doctype =
      "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\" "
      "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\">";
  EXPECT_EQ(text.compare(0, doctype.size(), doctype), 0) << c.File << " does not begin with its document type";
  // Without a declaration an XML parser reads the text as UTF-8 and refuses anything else.
  xmlDocPtr doc = xmlReadMemory(text.data(), static_cast<int>(text.size()), c.File, "UTF-8", XML_PARSE_NONET);
  ASSERT_NE(doc, nullptr) << c.File << " is not well-formed XML";
  std::set<std::string> ids;
  std::string title, theme, charset;
  std::vector<std::string> links;
  std::function<void(xmlNode*)> walk = [&](xmlNode* n) {
    for (; n; n = n->next) {
      if (n->type != XML_ELEMENT_NODE) continue;
      auto prop = [n](const char* name) {
        xmlChar* v = xmlGetProp(n, reinterpret_cast<const xmlChar*>(name));
        std::string s = v ? reinterpret_cast<char*>(v) : "";
        xmlFree(v);
        return s;
      };
      const std::string name = reinterpret_cast<const char*>(n->name);
      if (!prop("id").empty()) {
        EXPECT_TRUE(ids.insert(prop("id")).second) << "id twice: " << prop("id");
      }
      if (name == "title") {
        xmlChar* t = xmlNodeGetContent(n);
        title = reinterpret_cast<const char*>(t);
        xmlFree(t);
      }
      if (name == "meta" && prop("http-equiv") == "MSThemeCompatible") theme = prop("content");
      if (name == "meta" && prop("http-equiv") == "Content-Type") charset = prop("content");
      for (const char* a : {"href", "src"})
        if (prop(a).rfind("res://", 0) == 0) links.push_back(prop(a));
      walk(n->children);
    }
  };
  walk(xmlDocGetRootElement(doc));
  xmlFreeDoc(doc);

  EXPECT_EQ(title, c.Title);
  EXPECT_EQ(theme, "yes");
  EXPECT_EQ(charset, "text/html; charset=UTF-8");
  for (const char* id : c.Ids) EXPECT_TRUE(ids.count(id)) << c.File << " lacks " << id;
  EXPECT_NE(std::find(links.begin(), links.end(), "res://Slidecaster.exe/css/maincss"), links.end());
  EXPECT_NE(std::find(links.begin(), links.end(), "res://Slidecaster.exe/js/jquery"), links.end());
  vcl::Application.Initialize();
  HeadlessBrowser host(*widgets, SLIDECASTER_SOURCE_DIR "/app/resources/Slidecaster.rc", SLIDECASTER_SOURCE_DIR);
  for (const std::string& link : links) EXPECT_NE(host.ResourceFile(link), "") << link << " is no resource";
}

const std::vector<const char*> CommonIds = {"error_info", "button_exit", "button_help", "button_about"};
std::vector<const char*> With(std::vector<const char*> ids, const std::vector<const char*>& more) {
  ids.insert(ids.end(), more.begin(), more.end());
  return ids;
}

INSTANTIATE_TEST_SUITE_P(
    Wizard, ResourcePages,
    ::testing::Values(
        PageCase{"page1.html", "page1",
                 With(CommonIds, {"edit_pptfile", "button_pptbrowser", "a_oneclickconvertset", "button_oneclickconvert",
                                  "edit_outputpath", "button_outputpathbrowser", "capmode_auto", "autocap_right_bottom",
                                  "edit_transitontime", "capmode_mannual", "checkbox_audiorecording",
                                  "audiorecording_hide", "combo_wavein", "combo_recordctl", "button_next"})},
        PageCase{"page2.html", "page2",
                 With(CommonIds, {"combo_outputformat", "videopara", "advanced_settings", "videoparalist",
                                  "button_saveprofile", "button_prev", "button_convert"})},
        PageCase{"page3.html", "page3",
                 {"basicsetup", "statustext", "convertstatus", "open_outdir", "buildinfo", "videoparalist",
                  "button_again", "button_exit", "button_help", "button_about"}}),
    [](const auto& info) { return std::string(info.param.Title); });

TEST(ResourceFiles, EveryResourceAndEveryStylesheetPictureExists) {
  const std::string script = SourceFile("app/resources/Slidecaster.rc");
  static const std::regex line(R"(\n(\w+)\s+(\w+)\s+"([^"]+)\")");
  std::set<std::string> names;
  for (std::sregex_iterator it(script.begin(), script.end(), line), end; it != end; ++it) {
    if ((*it)[2].str() == "TYPELIB") continue;  // compiled by the build from its description
    EXPECT_TRUE(std::filesystem::exists(std::string(SLIDECASTER_SOURCE_DIR) + "/" + (*it)[3].str())) << (*it)[3];
    names.insert(vcl::UpperCase((*it)[2].str() + "/" + (*it)[1].str()));
  }
  for (const char* page : {"RT_HTML/PAGE1", "RT_HTML/PAGE2", "RT_HTML/PAGE3", "CSS/MAINCSS", "JS/JQUERY"})
    EXPECT_TRUE(names.count(page)) << page;
  const std::string css = SourceFile("app/resources/pages/main.css");
  static const std::regex picture(R"(res://Slidecaster\.exe/(\w+)/(\w+))");
  int pictures = 0;
  for (std::sregex_iterator it(css.begin(), css.end(), picture), end; it != end; ++it, ++pictures)
    EXPECT_TRUE(names.count(vcl::UpperCase((*it)[1].str() + "/" + (*it)[2].str()))) << (*it)[0];
  EXPECT_EQ(pictures, 5) << "bg, header, footer and the green box's two backgrounds";
}

}  // namespace
