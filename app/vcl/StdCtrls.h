// Buttons, check boxes, drop-down lists, edits and labels.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "vcl/Controls.h"

namespace vcl {

class TButton : public TWinControl {
 public:
  explicit TButton(TComponent* owner) : TWinControl(owner, "TButton") {}
  TNotifyEvent OnClick;
  int ModalResult = 0;  // closes a modal form with this result when clicked
  void Click();         // the user's click
};

class TCheckBox : public TWinControl {
 public:
  explicit TCheckBox(TComponent* owner) : TWinControl(owner, "TCheckBox") {}
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);  // programmatic: no OnClick
  TNotifyEvent OnClick;
  void Click();  // the user's click: toggles, then OnClick

 private:
  bool checked_ = false;
};

// The object an entry of a drop-down list carries; the list owns it.
class TItemObject {
 public:
  virtual ~TItemObject() = default;
};

// Drop-down list (no free text). Programmatic selection never fires OnSelect.
class TComboBox : public TWinControl {
 public:
  explicit TComboBox(TComponent* owner) : TWinControl(owner, "TComboBox") {}
  void AddItem(const std::string& text, std::unique_ptr<TItemObject> object = nullptr);
  void Clear();
  int Count() const { return static_cast<int>(items_.size()); }
  const std::string& Item(int index) const { return items_.at(static_cast<size_t>(index)).Text; }
  TItemObject* Object(int index) const { return items_.at(static_cast<size_t>(index)).Object.get(); }
  int ItemIndex() const { return itemIndex_; }
  void SetItemIndex(int index);
  std::string Text() const { return itemIndex_ >= 0 ? Item(itemIndex_) : std::string(); }
  TNotifyEvent OnSelect;
  void Select(int index);  // the user's choice: selects, then OnSelect

 private:
  struct Entry {
    std::string Text;
    std::unique_ptr<TItemObject> Object;
  };
  std::vector<Entry> items_;
  int itemIndex_ = -1;
};

class TEdit : public TWinControl {
 public:
  explicit TEdit(TComponent* owner) : TWinControl(owner, "TEdit") {}
  const std::string& Text() const { return text_; }
  void SetText(const std::string& text);
  int MaxLength() const { return maxLength_; }  // 0: no limit
  void SetMaxLength(int maxLength);
  TNotifyEvent OnChange;
  void Type(const std::string& text);  // the user's typing: replaces the text within MaxLength

 private:
  std::string text_;
  int maxLength_ = 0;
};

class TLabel : public TControl {
 public:
  explicit TLabel(TComponent* owner) : TControl(owner, "TLabel") {}
  bool Transparent = false;  // what lies beneath shows around the text
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool wrap);

 private:
  bool wordWrap_ = false;
};

}  // namespace vcl
