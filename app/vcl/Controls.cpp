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
  parent_ = parent;
  if (parent_) {
    parent_->controls_.push_back(this);
    if (parent_->Peer()) CreatePeers();
  }
}

void TControl::SetBounds(int left, int top, int width, int height) {
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  Changed(TProp::Bounds);
}

void TControl::SetVisible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  Changed(TProp::Visible);
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
  // Children still parented here are owned elsewhere; unlink them before this goes.
  while (!controls_.empty()) controls_.back()->SetParent(nullptr);
}

void TWinControl::ChildrenCreatePeers() {
  for (TControl* c : controls_) c->CreatePeers();
}

void TWinControl::ChildrenDestroyPeers() {
  for (TControl* c : controls_) c->DestroyPeers();
}

}  // namespace vcl
