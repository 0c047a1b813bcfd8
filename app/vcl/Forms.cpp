#include "vcl/Forms.h"

#include <algorithm>

namespace vcl {

TApplication Application;

TForm::TForm() : TWinControl(nullptr, "TForm") { TControl::SetVisible(false); }

TForm::~TForm() { DestroyPeers(); }

void TForm::SetClientSize(int width, int height) {
  clientWidth_ = width;
  clientHeight_ = height;
  Changed(TProp::Bounds);
  AlignControls();
}

void TForm::PeerResized(int width, int height) {
  if (width == clientWidth_ && height == clientHeight_) return;
  clientWidth_ = width;
  clientHeight_ = height;
  AlignControls();
}

int TForm::OuterWidth() const { return clientWidth_ + Widgetset().FormFrame(*this).Width; }

int TForm::OuterHeight() const { return clientHeight_ + Widgetset().FormFrame(*this).Height; }

void TForm::SetVisible(bool visible) {
  if (visible) {
    if (Visible() || showing_) return;
    // The show handler runs before the window appears, so a form it closes (a failed
    // start-up check, say) never shows at all.
    CreatePeers();
    showing_ = true;
    hiddenWhileShowing_ = false;
    const bool wasTerminated = Application.Terminated();
    try {
      if (OnShow) OnShow();
    } catch (const std::exception& e) {
      Application.HandleException(e);
    }
    showing_ = false;
    const bool closed = hiddenWhileShowing_ || (modal_ && modalResult_ != mrNone) ||
                        (!wasTerminated && Application.Terminated());
    if (!closed) {
      TControl::SetVisible(true);
      return;
    }
    // The hide handler still undoes what the show handler did.
    if (OnHide) OnHide();
  } else {
    if (showing_) {
      hiddenWhileShowing_ = true;
      return;
    }
    if (!Visible()) return;
    TControl::SetVisible(false);
    if (OnHide) OnHide();
  }
}

void TForm::Show() { SetVisible(true); }

void TForm::Hide() { SetVisible(false); }

int TForm::ShowModal() {
  modal_ = true;
  modalResult_ = mrNone;
  Show();
  Widgetset().RunLoop([this] { return modalResult_ != mrNone || Application.Terminated() || !Visible(); });
  modal_ = false;
  Hide();
  int result = modalResult_ != mrNone ? modalResult_ : mrCancel;
  modalResult_ = mrNone;
  return result;
}

void TForm::SetModalResult(int result) {
  modalResult_ = result;
  if (HasWidgetset()) Widgetset().WakeUp();
}

void TForm::Close() {
  if (OnCloseQuery && !OnCloseQuery()) return;
  if (modal_) {
    SetModalResult(mrCancel);
  } else if (this == Application.MainForm()) {
    Application.Terminate();
  } else {
    Hide();
  }
}

void TForm::DoCreate() {
  CreatePeers();
  if (OnCreate) OnCreate();
}

void TForm::DoDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  if (OnDestroy) OnDestroy();
}

void TApplication::Initialize() {
  DestroyForms();
  terminated_ = false;
}

void TApplication::Adopt(TForm* form, std::function<void()> clearReference) {
  forms_.push_back(Owned{form, std::move(clearReference)});
  if (!mainForm_) mainForm_ = form;
  try {
    form->DoCreate();
  } catch (const std::exception& e) {
    HandleException(e);
  }
}

void TApplication::Run() {
  // Ended already (during the forms' creation): no window shows.
  if (!mainForm_ || terminated_) return;
  try {
    mainForm_->Show();
  } catch (const std::exception& e) {
    HandleException(e);
  }
  Widgetset().RunLoop([this] { return terminated_; });
}

void TApplication::Terminate() {
  terminated_ = true;
  if (HasWidgetset()) Widgetset().WakeUp();
}

void TApplication::ProcessMessages() { Widgetset().ProcessMessages(); }

void TApplication::DestroyForms() {
  while (!forms_.empty()) {
    Owned owned = std::move(forms_.back());
    forms_.pop_back();
    TForm* form = owned.Form;
    try {
      form->DoDestroy();
    } catch (const std::exception& e) {
      HandleException(e);
    }
    if (form == mainForm_) mainForm_ = nullptr;
    delete form;
    owned.ClearReference();
  }
}

void TApplication::HandleException(const std::exception& e) {
  Widgetset().ShowMessageBox(nullptr, e.what(), "Error", TMsgDlgType::mtError);
}

void TApplication::ShowMessageBox(const std::string& text, const std::string& caption, TMsgDlgType type) {
  Widgetset().ShowMessageBox(nullptr, text, caption, type);
}

}  // namespace vcl
