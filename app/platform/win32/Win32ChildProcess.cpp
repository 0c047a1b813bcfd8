#include "platform/win32/Win32ChildProcess.h"

#include <windows.h>

namespace platform::win32 {

namespace {

void Close(HANDLE& h) {
  if (h) ::CloseHandle(h);
  h = nullptr;
}

// Both ends are inheritable; the program closes its copies of the child's ends once the
// child has its own, or reading never sees the child's end.
class Pipe final : public IPipe {
 public:
  Pipe(HANDLE read, HANDLE write) : read_(read), write_(write) {}
  ~Pipe() override {
    Close(read_);
    Close(write_);
  }
  bool Read(char* buffer, unsigned size, unsigned& got) override {
    got = 0;
    DWORD n = 0;
    if (!read_ || !ReadFile(read_, buffer, size, &n, nullptr)) return false;
    got = n;
    return true;
  }
  void CloseReadEnd() override { Close(read_); }
  void CloseWriteEnd() override { Close(write_); }
  HANDLE ReadEnd() const { return read_; }
  HANDLE WriteEnd() const { return write_; }

 private:
  HANDLE read_, write_;
};

class ChildProcess final : public IChildProcess {
 public:
  explicit ChildProcess(const PROCESS_INFORMATION& info) : process_(info.hProcess), thread_(info.hThread) {}
  ~ChildProcess() override {
    Close(thread_);
    Close(process_);
  }

 private:
  HANDLE process_, thread_;
};

}  // namespace

std::unique_ptr<IPipe> CreateInheritablePipe() {
  SECURITY_ATTRIBUTES inheritable{};
  inheritable.nLength = sizeof inheritable;
  inheritable.bInheritHandle = TRUE;
  HANDLE read = nullptr, write = nullptr;
  if (!CreatePipe(&read, &write, &inheritable, 0)) return nullptr;
  return std::make_unique<Pipe>(read, write);
}

std::unique_ptr<IChildProcess> StartRedirected(const std::string& commandLine, IPipe* input, IPipe* output) {
  const auto* in = dynamic_cast<Pipe*>(input);
  const auto* out = dynamic_cast<Pipe*>(output);
  // The program's own start-up information, with only the window and the handles replaced.
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);
  startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
  startup.wShowWindow = SW_HIDE;
  startup.hStdInput = in ? in->ReadEnd() : nullptr;
  startup.hStdOutput = out ? out->WriteEnd() : nullptr;
  startup.hStdError = startup.hStdOutput;
  std::string command = commandLine;  // the system may write into it
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup,
                      &info))
    return nullptr;
  return std::make_unique<ChildProcess>(info);
}

}  // namespace platform::win32
