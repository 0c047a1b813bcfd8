// The component model: components owned by their owner, controls placed on a parent,
// state held here and mirrored to a backend peer.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "vcl/Widgetset.h"

namespace vcl {

using TNotifyEvent = std::function<void()>;
using TColor = std::uint32_t;  // 0x00BBGGRR
constexpr TColor clBlack = 0x000000, clWhite = 0xFFFFFF, clRed = 0x0000FF, clBlue = 0xFF0000,
                 clWindowText = 0x80000008, clBtnFace = 0x8000000F,
                 clBtnText = 0x80000012;

// Where a control sits in its parent: kept to one side (at its own height or width), over
// what the other aligned controls leave, or where it was placed.
enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

struct TRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

// What changed on a control, for its peer.
enum class TProp {
  Bounds, Visible, Enabled, Caption, Color, FontColor, Items, ItemIndex, Checked, MaxLength,
  Text, ActivePage, Position, Range, Picture, WordWrap
};

class TComponent {
 public:
  explicit TComponent(TComponent* owner);
  virtual ~TComponent();
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;
  TComponent* Owner() const { return owner_; }
  std::string Name;

 private:
  TComponent* owner_;
  std::vector<TComponent*> components_;  // freed last-created first
};

class TWinControl;

class TControl : public TComponent {
 public:
  TControl(TComponent* owner, const char* className);
  ~TControl() override;
  const char* ClassName() const { return className_; }

  TWinControl* Parent() const { return parent_; }
  void SetParent(TWinControl* parent);

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetBounds(int left, int top, int width, int height);
  TAlign Align() const { return align_; }
  void SetAlign(TAlign align);
  // The native widget was sized by the system or the user: the layer takes the size over
  // without sending it back, and aligned children follow. A form's size is its client size.
  virtual void PeerResized(int width, int height);

  bool Visible() const { return visible_; }
  virtual void SetVisible(bool visible);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TColor FontColor() const { return fontColor_; }
  void SetFontColor(TColor color);

  // Native widget: created with the parent's, mirrors every change.
  TControlPeer* Peer() const { return peer_.get(); }
  void CreatePeers();
  void DestroyPeers();

 protected:
  void Changed(TProp what);
  virtual void Resized() {}  // the control's size has changed
  virtual void ChildrenCreatePeers() {}
  virtual void ChildrenDestroyPeers() {}

 private:
  const char* className_;
  TWinControl* parent_ = nullptr;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  TAlign align_ = TAlign::alNone;
  bool visible_ = true, enabled_ = true;
  std::string caption_;
  TColor color_ = clBtnFace, fontColor_ = clWindowText;
  std::unique_ptr<TControlPeer> peer_;
};

class TWinControl : public TControl {
 public:
  using TControl::TControl;
  ~TWinControl() override;
  const std::vector<TControl*>& Controls() const { return controls_; }
  // The area aligned children share, in this control's own coordinates.
  virtual TRect ClientRect() const { return TRect{0, 0, Width(), Height()}; }
  // Places the shown aligned children: top ones first, then bottom, left, right, and the
  // client one over what is left; within one kind, in the order they were parented.
  void AlignControls();

 protected:
  void Resized() override { AlignControls(); }
  void ChildrenCreatePeers() override;
  void ChildrenDestroyPeers() override;

 private:
  friend class TControl;
  std::vector<TControl*> controls_;
  bool aligning_ = false;
};

}  // namespace vcl
