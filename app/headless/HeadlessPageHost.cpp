#include "headless/HeadlessPageHost.h"

#include <libxml/HTMLparser.h>
#include <libxml/HTMLtree.h>
#include <libxml/tree.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <sstream>

#include "vcl/SysUtils.h"

namespace pagehost::headless {

namespace {

// Program strings are ANSI text; the document holds UTF-8. The headless backend takes
// the ANSI code page as Latin-1.
std::string ToUtf8(const std::string& ansi) {
  std::string out;
  for (unsigned char c : ansi) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::string ToAnsi(const std::string& utf8) {
  std::string out;
  for (size_t i = 0; i < utf8.size(); ++i) {
    unsigned char c = utf8[i];
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if ((c & 0xE0) == 0xC0 && i + 1 < utf8.size()) {
      unsigned code = ((c & 0x1F) << 6) | (utf8[++i] & 0x3F);
      out += code < 0x100 ? static_cast<char>(code) : '?';
    } else {
      while (i + 1 < utf8.size() && (utf8[i + 1] & 0xC0) == 0x80) ++i;
      out += '?';
    }
  }
  return out;
}

std::string Upper(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return s;
}

std::string Lower(std::string s) { return vcl::LowerCase(s); }

const xmlChar* X(const char* s) { return reinterpret_cast<const xmlChar*>(s); }

std::string Prop(xmlNode* n, const char* name) {
  xmlChar* v = xmlGetProp(n, X(name));
  if (!v) return "";
  std::string s(reinterpret_cast<const char*>(v));
  xmlFree(v);
  return s;
}

bool HasProp(xmlNode* n, const char* name) { return xmlHasProp(n, X(name)) != nullptr; }

std::string Name(xmlNode* n) { return Lower(reinterpret_cast<const char*>(n->name)); }

template <class F>
void Walk(xmlNode* n, F&& visit) {
  for (xmlNode* c = n; c; c = c->next) {
    if (c->type != XML_ELEMENT_NODE) continue;
    visit(c);
    Walk(c->children, visit);
  }
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read resource file " + path);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

const int ParseOptions = HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET | HTML_PARSE_NOBLANKS;

}  // namespace

class HeadlessEventAdapter final : public IEventAdapter {
 public:
  std::function<void()> OnEvent;
};

// One loaded page. Nodes taken out of the page stay here until the page goes, so that an
// element reference held by the program never dangles.
struct Document {
  explicit Document(xmlDocPtr d) : Doc(d) {}
  ~Document() {
    for (xmlNode* n : Removed) xmlFreeNode(n);
    xmlFreeDoc(Doc);
  }
  xmlDocPtr Doc;
  std::vector<xmlNode*> Removed;
  std::map<xmlNode*, HeadlessEventAdapter*> Clicks;

  void Remove(xmlNode* n) {
    Clicks.erase(n);
    Walk(n->children, [this](xmlNode* c) { Clicks.erase(c); });
    xmlUnlinkNode(n);
    Removed.push_back(n);
  }
  // The nodes an HTML fragment parses to, owned by this document and not yet placed.
  std::vector<xmlNode*> Parse(const std::string& html) {
    std::string text = "<html><body>" + ToUtf8(html) + "</body></html>";
    xmlDocPtr frag = htmlReadMemory(text.data(), static_cast<int>(text.size()), nullptr, "UTF-8", ParseOptions);
    std::vector<xmlNode*> nodes;
    if (!frag) throw EPageError("The HTML text could not be parsed.");
    xmlNode* body = nullptr;
    Walk(xmlDocGetRootElement(frag), [&](xmlNode* c) {
      if (!body && Name(c) == "body") body = c;
    });
    for (xmlNode* c = body ? body->children : nullptr; c; c = c->next) nodes.push_back(xmlDocCopyNode(c, Doc, 1));
    xmlFreeDoc(frag);
    return nodes;
  }
  std::string Dump(xmlNode* n) {
    xmlBufferPtr buf = xmlBufferCreate();
    xmlOutputBufferPtr out = xmlOutputBufferCreateBuffer(buf, nullptr);
    htmlNodeDumpFormatOutput(out, Doc, n, "UTF-8", 0);
    xmlOutputBufferClose(out);
    std::string s(reinterpret_cast<const char*>(xmlBufferContent(buf)), xmlBufferLength(buf));
    xmlBufferFree(buf);
    return ToAnsi(s);
  }
};

namespace {

bool IsBooleanAttribute(const std::string& name) { return name == "checked" || name == "disabled"; }

bool FalseText(const std::string& value) {
  std::string v = Lower(value);
  return v.empty() || v == "false" || v == "0";
}

class HeadlessElement final : public IElement {
 public:
  HeadlessElement(std::shared_ptr<Document> doc, xmlNode* node) : doc_(std::move(doc)), node_(node) {}

  std::string TagName() override { return Upper(Name(Node())); }
  std::string Id() override { return ToAnsi(Prop(Node(), "id")); }

  std::string GetAttribute(const std::string& name) override {
    xmlNode* n = Node();
    std::string key = Lower(name);
    if (IsBooleanAttribute(key)) return HasProp(n, key.c_str()) ? "True" : "False";
    if (key == "classname") return ToAnsi(Prop(n, "class"));
    if (key == "value" && Name(n) == "select") return ToAnsi(SelectedValue(n));
    return ToAnsi(Prop(n, key.c_str()));
  }

  void SetAttribute(const std::string& name, const std::string& value) override {
    xmlNode* n = Node();
    std::string key = Lower(name);
    if (IsBooleanAttribute(key)) {
      if (FalseText(value)) {
        xmlUnsetProp(n, X(key.c_str()));
        return;
      }
      if (key == "checked" && Lower(Prop(n, "type")) == "radio") UncheckGroup(n);
      xmlSetProp(n, X(key.c_str()), X(key.c_str()));
    } else if (key == "classname") {
      xmlSetProp(n, X("class"), X(ToUtf8(value).c_str()));
    } else if (key == "value" && Name(n) == "select") {
      Select(n, ToUtf8(value));
    } else {
      xmlSetProp(n, X(key.c_str()), X(ToUtf8(value).c_str()));
    }
  }

  std::string InnerHTML() override {
    std::string s;
    for (xmlNode* c = Node()->children; c; c = c->next) s += doc_->Dump(c);
    return s;
  }
  std::string OuterHTML() override { return doc_->Dump(Node()); }

  void SetInnerHTML(const std::string& html) override {
    xmlNode* n = Node();
    std::vector<xmlNode*> nodes = doc_->Parse(html);
    while (n->children) doc_->Remove(n->children);
    for (xmlNode* c : nodes) xmlAddChild(n, c);
  }

  void SetOuterHTML(const std::string& html) override {
    xmlNode* n = Node();
    for (xmlNode* c : doc_->Parse(html)) xmlAddPrevSibling(n, c);
    doc_->Remove(n);
    node_ = nullptr;
  }

  void BindClick(IEventAdapter& adapter, std::function<void()> handler) override {
    auto& event = dynamic_cast<HeadlessEventAdapter&>(adapter);
    event.OnEvent = std::move(handler);
    doc_->Clicks[Node()] = &event;
  }

 private:
  xmlNode* Node() {
    if (!node_) throw EPageError("The element is no longer part of the page.");
    return node_;
  }
  static std::vector<xmlNode*> Options(xmlNode* select) {
    std::vector<xmlNode*> options;
    Walk(select->children, [&](xmlNode* c) {
      if (Name(c) == "option") options.push_back(c);
    });
    return options;
  }
  static std::string OptionValue(xmlNode* option) {
    if (HasProp(option, "value")) return Prop(option, "value");
    xmlChar* t = xmlNodeGetContent(option);
    std::string s = t ? reinterpret_cast<const char*>(t) : "";
    xmlFree(t);
    return s;
  }
  static std::string SelectedValue(xmlNode* select) {
    auto options = Options(select);
    for (xmlNode* o : options)
      if (HasProp(o, "selected")) return OptionValue(o);
    return options.empty() ? "" : OptionValue(options.front());
  }
  static void Select(xmlNode* select, const std::string& value) {
    for (xmlNode* o : Options(select)) {
      if (OptionValue(o) == value) xmlSetProp(o, X("selected"), X("selected"));
      else xmlUnsetProp(o, X("selected"));
    }
  }
  void UncheckGroup(xmlNode* radio) {
    std::string group = Prop(radio, "name");
    if (group.empty()) return;
    Walk(xmlDocGetRootElement(doc_->Doc), [&](xmlNode* c) {
      if (Name(c) == "input" && Prop(c, "name") == group) xmlUnsetProp(c, X("checked"));
    });
  }

  std::shared_ptr<Document> doc_;
  xmlNode* node_;
};

HeadlessBrowser* latest = nullptr;
std::vector<std::string> requested;  // every navigation since the host was installed

}  // namespace

HeadlessBrowser::HeadlessBrowser(vcl::headless::HeadlessWidgetset& widgets, const std::string& resourceScript,
                                 const std::string& sourceRoot)
    : widgets_(widgets) {
  std::istringstream script(ReadAll(resourceScript));
  static const std::regex line(R"(^\s*(\w+)\s+(\w+)\s+"([^"]+)\"\s*$)");
  std::smatch m;
  for (std::string text; std::getline(script, text);)
    if (std::regex_match(text, m, line)) resources_[Upper(m[2].str() + "/" + m[1].str())] = sourceRoot + "/" + m[3].str();
  latest = this;
}

HeadlessBrowser::~HeadlessBrowser() {
  if (latest == this) latest = nullptr;
}

std::string HeadlessBrowser::ResourceFile(const std::string& url) const {
  const std::string prefix = "RES://SLIDECASTER.EXE/";
  std::string key = Upper(url);
  if (key.compare(0, prefix.size(), prefix) != 0) return "";
  auto it = resources_.find(key.substr(prefix.size()));
  return it == resources_.end() ? "" : it->second;
}

void HeadlessBrowser::Navigate(const std::string& url) {
  std::string file = ResourceFile(url);
  if (file.empty()) throw std::runtime_error("the program has no resource " + url);
  requested.push_back(url);
  // The browser loads asynchronously: the page arrives with the next pass of the queue.
  widgets_.Post([this, url, file] {
    std::string text = ReadAll(file);
    xmlDocPtr d = htmlReadMemory(text.data(), static_cast<int>(text.size()), url.c_str(), "UTF-8", ParseOptions);
    if (!d) throw std::runtime_error("the page " + url + " could not be parsed");
    document_ = std::make_shared<Document>(d);
    location_ = url;
    if (OnDocumentComplete) OnDocumentComplete();
  });
}

std::string HeadlessBrowser::Title() {
  if (!document_) return "";
  std::string title;
  Walk(xmlDocGetRootElement(document_->Doc), [&](xmlNode* c) {
    if (title.empty() && Name(c) == "title") {
      xmlChar* t = xmlNodeGetContent(c);
      title = t ? reinterpret_cast<const char*>(t) : "";
      xmlFree(t);
    }
  });
  return ToAnsi(title);
}

xmlNode* HeadlessBrowser::NodeById(const std::string& id) {
  // An empty id names no element, as in the browser (elements without an id have it empty).
  if (!document_ || id.empty()) return nullptr;
  std::string want = Lower(ToUtf8(id));
  xmlNode* found = nullptr;
  Walk(xmlDocGetRootElement(document_->Doc), [&](xmlNode* c) {
    if (!found && Lower(Prop(c, "id")) == want) found = c;
  });
  return found;
}

ElementPtr HeadlessBrowser::ElementById(const std::string& id) {
  xmlNode* found = NodeById(id);
  return found ? std::make_shared<HeadlessElement>(document_, found) : nullptr;
}

std::vector<ElementPtr> HeadlessBrowser::AllElements() {
  std::vector<ElementPtr> all;
  if (!document_) return all;
  Walk(xmlDocGetRootElement(document_->Doc),
       [&](xmlNode* c) { all.push_back(std::make_shared<HeadlessElement>(document_, c)); });
  return all;
}

std::unique_ptr<IEventAdapter> HeadlessBrowser::NewEventAdapter() { return std::make_unique<HeadlessEventAdapter>(); }

HeadlessEventAdapter* HeadlessBrowser::AdapterOf(const std::string& id) {
  if (!document_) throw std::logic_error("no page loaded");
  xmlNode* node = NodeById(id);
  if (!node) throw std::logic_error("the page has no element \"" + id + "\"");
  auto it = document_->Clicks.find(node);
  return it == document_->Clicks.end() || !it->second->OnEvent ? nullptr : it->second;
}

bool HeadlessBrowser::Bound(const std::string& id) { return AdapterOf(id) != nullptr; }

void HeadlessBrowser::Click(const std::string& id) {
  HeadlessEventAdapter* adapter = AdapterOf(id);
  if (!adapter) return;
  auto keep = document_;  // the handler may load another page
  adapter->OnEvent();
}

void HeadlessBrowser::FrameComplete() {
  widgets_.Post([this] {
    if (OnDocumentComplete) OnDocumentComplete();
  });
}

void InstallHeadlessPageHost(vcl::headless::HeadlessWidgetset& widgets) {
  requested.clear();
  InstallBrowserFactory([&widgets](vcl::TForm&) {
    return std::make_unique<HeadlessBrowser>(widgets, SLIDECASTER_SOURCE_DIR "/app/resources/Slidecaster.rc",
                                             SLIDECASTER_SOURCE_DIR);
  });
}

HeadlessBrowser* LatestBrowser() { return latest; }
const std::vector<std::string>& NavigationsRequested() { return requested; }

}  // namespace pagehost::headless
