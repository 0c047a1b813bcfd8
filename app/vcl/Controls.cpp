#include "vcl/Controls.h"

#include <algorithm>

namespace vcl {

TComponent::TComponent(TComponent* owner) : owner_(owner) {
  if (owner_) owner_->components_.push_back(this);
}

TComponent::~TComponent() {
  while (!components_.empty()) {
    TComponent* last = components_.back();
    components_.pop_back();
    last->owner_ = nullptr;
    delete last;
  }
  if (owner_) {
    auto& list = owner_->components_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
  }
}

TControl::TControl(TComponent* owner, const char* className) : TComponent(owner), className_(className) {}

TControl::~TControl() {
  peer_.reset();
  SetParent(nullptr);
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  DestroyPeers();
  if (parent_) {
    auto& list = parent_->controls_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
  }
  TWinControl* old = parent_;
  parent_ = parent;
  if (parent_) {
    parent_->controls_.push_back(this);
    if (parent_->Peer()) CreatePeers();
  }
  if (align_ != TAlign::alNone) {
    if (old) old->AlignControls();
    if (parent_) parent_->AlignControls();
  }
}

void TControl::SetBounds(int left, int top, int width, int height) {
  const bool resized = width != width_ || height != height_;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  // An aligned control keeps only what its side lets it keep; the parent puts it there.
  if (align_ != TAlign::alNone && parent_ && !parent_->aligning_) parent_->AlignControls();
  Changed(TProp::Bounds);
  if (resized) Resized();
}

void TControl::SetAlign(TAlign align) {
  if (align_ == align) return;
  align_ = align;
  if (parent_) parent_->AlignControls();
}

void TControl::PeerResized(int width, int height) {
  if (width == width_ && height == height_) return;
  width_ = width;
  height_ = height;
  Resized();
}

void TControl::SetVisible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  Changed(TProp::Visible);
  if (align_ != TAlign::alNone && parent_) parent_->AlignControls();
}

void TControl::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  Changed(TProp::Enabled);
}

void TControl::SetCaption(const std::string& caption) {
  caption_ = caption;
  Changed(TProp::Caption);
}

void TControl::SetColor(TColor color) {
  color_ = color;
  Changed(TProp::Color);
}

void TControl::SetFontColor(TColor color) {
  fontColor_ = color;
  Changed(TProp::FontColor);
}

void TControl::Changed(TProp what) {
  if (peer_) peer_->Changed(what);
}

void TControl::CreatePeers() {
  if (!peer_ && HasWidgetset()) peer_ = Widgetset().CreatePeer(*this);
  ChildrenCreatePeers();
}

void TControl::DestroyPeers() {
  ChildrenDestroyPeers();
  peer_.reset();
}

TWinControl::~TWinControl() {
  // Children still parented here are owned elsewhere; unlink them before this goes, with
  // no arranging of what is going away.
  aligning_ = true;
  while (!controls_.empty()) controls_.back()->SetParent(nullptr);
}

void TWinControl::AlignControls() {
  if (aligning_) return;
  aligning_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{aligning_};
  TRect rest = ClientRect();
  auto width = [&] { return std::max(0, rest.Right - rest.Left); };
  auto height = [&] { return std::max(0, rest.Bottom - rest.Top); };
  for (TAlign side : {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient}) {
    // A copy: a child's handlers may change the list.
    const std::vector<TControl*> children = controls_;
    for (TControl* c : children) {
      if (c->Align() != side || !c->Visible()) continue;
      switch (side) {
        case TAlign::alTop:
          c->SetBounds(rest.Left, rest.Top, width(), c->Height());
          rest.Top += c->Height();
          break;
        case TAlign::alBottom:
          c->SetBounds(rest.Left, rest.Bottom - c->Height(), width(), c->Height());
          rest.Bottom -= c->Height();
          break;
        case TAlign::alLeft:
          c->SetBounds(rest.Left, rest.Top, c->Width(), height());
          rest.Left += c->Width();
          break;
        case TAlign::alRight:
          c->SetBounds(rest.Right - c->Width(), rest.Top, c->Width(), height());
          rest.Right -= c->Width();
          break;
        case TAlign::alClient: c->SetBounds(rest.Left, rest.Top, width(), height()); break;
        case TAlign::alNone: break;
      }
    }
  }
}

void TWinControl::ChildrenCreatePeers() {
  for (TControl* c : controls_) c->CreatePeers();
}

void TWinControl::ChildrenDestroyPeers() {
  for (TControl* c : controls_) c->DestroyPeers();
}

}  // namespace vcl
