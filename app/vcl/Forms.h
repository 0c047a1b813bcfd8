// Forms (top-level windows, shown plainly or modally) and the application object that
// creates them, runs the message loop and ends the program.
#pragma once
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "vcl/Controls.h"

namespace vcl {

constexpr int mrNone = 0, mrOk = 1, mrCancel = 2;

enum class TPosition { poDesigned, poScreenCenter };
enum class TFormBorderStyle { bsSizeable, bsSingle, bsDialog, bsNone };

class TForm : public TWinControl {
 public:
  TForm();
  ~TForm() override;

  int ClientWidth() const { return clientWidth_; }
  int ClientHeight() const { return clientHeight_; }
  void SetClientSize(int width, int height);
  TRect ClientRect() const override { return TRect{0, 0, clientWidth_, clientHeight_}; }
  void PeerResized(int width, int height) override;  // the client size the system gave
  // The whole window with the frame the system draws around the client area.
  int OuterWidth() const;
  int OuterHeight() const;
  TPosition Position = TPosition::poDesigned;
  TFormBorderStyle BorderStyle = TFormBorderStyle::bsSizeable;
  // Smallest client area the user may size the window to (0: no limit); the window's
  // frame comes on top, whatever size the system draws it.
  int MinClientWidth = 0, MinClientHeight = 0;

  // OnShow runs before the form becomes visible; when it closes the form, the form never
  // appears and OnHide follows at once.
  TNotifyEvent OnCreate, OnShow, OnHide, OnDestroy;
  std::function<bool()> OnCloseQuery;  // false keeps the form open

  void Show();
  void Hide();
  int ShowModal();  // returns the modal result
  void Close();     // asks OnCloseQuery; the main form's close ends the program
  bool Modal() const { return modal_; }
  int ModalResult() const { return modalResult_; }
  void SetModalResult(int result);
  void SetVisible(bool visible) override;

  // The application calls these around the form's life.
  void DoCreate();
  void DoDestroy();

 private:
  int clientWidth_ = 0, clientHeight_ = 0;
  bool modal_ = false;
  int modalResult_ = mrNone;
  bool destroyed_ = false;
  bool showing_ = false;             // the show handler is running
  bool hiddenWhileShowing_ = false;  // and closed or hid the form
};

class TApplication {
 public:
  // Creates a form, assigns it to ref before its creation handler runs, and makes the
  // first form created the main form.
  template <class F>
  void CreateForm(F*& ref) {
    ref = new F();
    Adopt(ref, [&ref] { ref = nullptr; });
  }
  void Initialize();  // a fresh run: not terminated, no forms
  TForm* MainForm() const { return mainForm_; }
  bool Terminated() const { return terminated_; }
  void Run();  // shows the main form and runs the loop until Terminate
  void Terminate();
  void ProcessMessages();
  // Frees the forms, last created first, each after its destruction handler.
  void DestroyForms();
  // A failure no handler caught: shown in an error box, the program goes on.
  void HandleException(const std::exception& e);
  // A plain system message box (used before any window exists).
  void ShowMessageBox(const std::string& text, const std::string& caption, TMsgDlgType type);

 private:
  struct Owned {
    TForm* Form;
    std::function<void()> ClearReference;
  };
  void Adopt(TForm* form, std::function<void()> clearReference);
  std::vector<Owned> forms_;
  TForm* mainForm_ = nullptr;
  bool terminated_ = false;
};

extern TApplication Application;

}  // namespace vcl
