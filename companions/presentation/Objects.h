// The object model a caller drives: the application, its open presentations, their slides
// and the running slide show with its window of class "screenClass". Everything lives on
// the program's one apartment thread; events reach the sinks from its message loop.
#pragma once
#include <ocidl.h>

#include <map>
#include <vector>

#include "Deck.h"
#include "Dispatch.h"

namespace standin {

// The interface id of the application's events, under which callers find the connection
// point; the sinks are called through IDispatch with the events' dispatch ids.
extern const IID EventsIid;
const DISPID SlideShowBegin = 2011;
const DISPID SlideShowNextSlide = 2013;

class Presentation;

// A running slide show and its window. The window appears when the show starts, later, or
// never, as POWERPNT_SHOW_DELAY asks (milliseconds, or "never").
class SlideShowWindow : public DispatchObject {
 public:
  explicit SlideShowWindow(Presentation* deck);
  void Begin();
  void Appear();
  void End();
  bool Running() const { return !ended_; }
  void Advance();  // to the next slide; the last one stays
  void SlideInserted(long position);
  LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

 protected:
  ~SlideShowWindow() override;
  HRESULT Call(UINT member, bool put, const Args& args, VARIANT& result, EXCEPINFO* error) override;

 private:
  friend class View;
  void Place();
  void EnterSlide();
  void Draw(HDC dc, int width, int height);
  void DrawOntoScreen();
  Presentation* deck_;
  HWND window_ = nullptr;
  long position_ = 1;
  bool ended_ = false;
  double left_ = 0, top_ = 0, width_ = 0, height_ = 0;  // in points
};

class Presentation : public DispatchObject {
 public:
  Presentation(const std::wstring& path, SlideList slides);
  const std::wstring& Path() const { return path_; }
  SlideList& Slides() { return slides_; }
  long AdvanceMode = 2;  // the show follows the slides' timings
  void StartShow();
  SlideShowWindow* Show() const { return show_ && show_->Running() ? show_ : nullptr; }
  HBITMAP Picture(int look);

 protected:
  ~Presentation() override;
  HRESULT Call(UINT member, bool put, const Args& args, VARIANT& result, EXCEPINFO* error) override;

 private:
  std::wstring path_;
  SlideList slides_;
  SlideShowWindow* show_ = nullptr;
  std::map<int, HBITMAP> pictures_;
};

class EventPoint : public IConnectionPoint {
 public:
  explicit EventPoint(IConnectionPointContainer* owner) : owner_(owner) {}
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return owner_->AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return owner_->Release(); }
  STDMETHODIMP GetConnectionInterface(IID* iid) override;
  STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** owner) override;
  STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
  STDMETHODIMP Unadvise(DWORD cookie) override;
  STDMETHODIMP EnumConnections(IEnumConnections** connections) override;
  void Fire(DISPID event, IDispatch* window);

 private:
  IConnectionPointContainer* owner_;
  std::map<DWORD, IDispatch*> sinks_;
  DWORD next_ = 0;
};

// The one application object of the process. The process ends once no caller holds it
// any more and no show is running.
class Application : public DispatchObject, public IConnectionPointContainer, public IExternalConnection {
 public:
  Application();
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return DispatchObject::AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return DispatchObject::Release(); }
  STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** points) override;
  STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;
  STDMETHODIMP_(DWORD) AddConnection(DWORD kind, DWORD) override;
  STDMETHODIMP_(DWORD) ReleaseConnection(DWORD kind, DWORD, BOOL) override;

  Presentation* Open(const std::wstring& path);  // null when the file is no deck
  void Fire(DISPID event, SlideShowWindow* window);
  void ShowAfter(SlideShowWindow* window, DWORD ms);
  void CheckIdle();
  LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

 protected:
  HRESULT Call(UINT member, bool put, const Args& args, VARIANT& result, EXCEPINFO* error) override;

 private:
  HWND loop_;
  EventPoint events_;
  std::vector<Presentation*> open_;
  LONG connections_ = 0;
};

Application& TheApplication();

}  // namespace standin
