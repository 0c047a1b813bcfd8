// DVD authoring after a DVD recording: the recorded streams are multiplexed into one
// program stream, and the DVD folder is authored from a control document.
#pragma once
#include <string>

#include "vcl/Thread.h"

class TDVDConvertThread : public vcl::TThread {
 public:
  TDVDConvertThread() { FreeOnTerminate = true; }

 protected:
  void Execute() override;

 private:
  void ShowStep(const char* text);
  void Fatal(const std::string& text);
};

// The multiplexing and authoring commands of the current conversion; without a stream
// file for the recorded audio codec, codecSupported is false and no audio is named.
std::string MultiplexCommand(bool& codecSupported);
std::string AuthoringCommand();
// The control document for the authoring library, as written into the temp folder.
std::string DvdXml();
bool WriteDvdXml();

// The running DVD thread.
extern vcl::TThreadRef CurrentDVDThread;
