#include "vcl/StdCtrls.h"

#include "vcl/Forms.h"

namespace vcl {

void TButton::Click() {
  if (!Enabled()) return;
  if (ModalResult != 0) {
    for (TWinControl* p = Parent(); p; p = p->Parent())
      if (auto* form = dynamic_cast<TForm*>(p)) {
        form->SetModalResult(ModalResult);
        break;
      }
  }
  if (OnClick) OnClick();
}

void TCheckBox::SetChecked(bool checked) {
  checked_ = checked;
  Changed(TProp::Checked);
}

void TCheckBox::Click() {
  if (!Enabled()) return;
  SetChecked(!checked_);
  if (OnClick) OnClick();
}

void TComboBox::AddItem(const std::string& text, std::unique_ptr<TItemObject> object) {
  items_.push_back(Entry{text, std::move(object)});
  Changed(TProp::Items);
}

void TComboBox::Clear() {
  items_.clear();
  itemIndex_ = -1;
  Changed(TProp::Items);
}

void TComboBox::SetItemIndex(int index) {
  itemIndex_ = (index >= 0 && index < Count()) ? index : -1;
  Changed(TProp::ItemIndex);
}

void TComboBox::Select(int index) {
  if (!Enabled()) return;
  SetItemIndex(index);
  if (OnSelect) OnSelect();
}

void TEdit::SetText(const std::string& text) {
  if (text == text_) return;
  text_ = text;
  Changed(TProp::Text);
  if (OnChange) OnChange();
}

void TEdit::SetMaxLength(int maxLength) {
  maxLength_ = maxLength;
  Changed(TProp::MaxLength);
}

void TEdit::Type(const std::string& text) {
  if (!Enabled()) return;
  SetText(maxLength_ > 0 && static_cast<int>(text.size()) > maxLength_ ? text.substr(0, maxLength_) : text);
}

void TLabel::SetWordWrap(bool wrap) {
  wordWrap_ = wrap;
  Changed(TProp::WordWrap);
}

}  // namespace vcl
