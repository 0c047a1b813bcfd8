// The test encoder run the way the program runs the encoder: hidden, its output and
// errors on one pipe, its window found as the first top-level window of its process and
// sent characters.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "WineSupport.h"

namespace {

using namespace winetest;

struct Entry {
  std::string Line;
  double Time;  // the entry's "time=" value; -1 when the line holds none
};

double TimeOf(const std::string& line) {
  size_t time = line.find("time="), bitrate = line.find(" bitrate=");
  if (time == std::string::npos || bitrate == std::string::npos || bitrate < time) return -1;
  std::string value = line.substr(time + 5, bitrate - time - 5);
  if (value.find('.') == std::string::npos) return -1;
  char* end = nullptr;
  double seconds = std::strtod(value.c_str(), &end);
  return *end == '\0' ? seconds : -1;
}

struct Search {
  DWORD Id;
  HWND Found;
};

BOOL CALLBACK MatchProcess(HWND w, LPARAM l) {
  auto* s = reinterpret_cast<Search*>(l);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (pid != s->Id) return TRUE;
  s->Found = w;
  return FALSE;
}

HWND FirstWindowOf(DWORD processId) {
  Search s{processId, nullptr};
  EnumWindows(MatchProcess, reinterpret_cast<LPARAM>(&s));
  return s.Found;
}

std::vector<std::string> Lines(const std::string& path) {
  std::vector<std::string> lines;
  HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                         nullptr);
  if (f == INVALID_HANDLE_VALUE) return lines;
  std::string text;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(f, chunk, sizeof chunk, &got, nullptr) && got > 0) text.append(chunk, got);
  CloseHandle(f);
  size_t start = 0, end;
  while ((end = text.find("\r\n", start)) != std::string::npos) {
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The encoder started as the program starts it, with what it prints collected line by line.
class Encoder {
 public:
  explicit Encoder(const std::string& arguments) : Command("\"" + BinFolder() + "\\testhelpers\\rode.exe\" " + arguments) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    CreatePipe(&readEnd, &writeEnd, &inherit, 0);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    si.wShowWindow = SW_HIDE;
    si.hStdOutput = si.hStdError = writeEnd;
    PROCESS_INFORMATION pi{};
    std::string command = Command;
    if (CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS, nullptr, nullptr, &si,
                       &pi)) {
      CloseHandle(pi.hThread);
      process.Handle = pi.hProcess;
      process.Id = pi.dwProcessId;
    }
    // Only the encoder's copy of the write end may stay open, or the read never ends.
    CloseHandle(writeEnd);
    reader_ = std::thread([this, readEnd] {
      std::string pending;
      char chunk[1024];
      DWORD got = 0;
      while (ReadFile(readEnd, chunk, sizeof chunk, &got, nullptr) && got > 0) {
        pending.append(chunk, got);
        size_t end;
        while ((end = pending.find('\n')) != std::string::npos) {
          std::lock_guard<std::mutex> lock(mutex_);
          entries_.push_back({pending.substr(0, end), TimeOf(pending.substr(0, end))});
          pending.erase(0, end + 1);
        }
      }
      CloseHandle(readEnd);
      std::lock_guard<std::mutex> lock(mutex_);
      closed_ = true;
    });
  }
  ~Encoder() {
    process.Close();
    reader_.join();
  }
  std::vector<Entry> Progress() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<Entry> progress;
    for (const Entry& e : entries_)
      if (e.Time >= 0) progress.push_back(e);
    return progress;
  }
  bool OutputClosed() {
    std::lock_guard<std::mutex> lock(mutex_);
    return closed_;
  }
  // As the program does it: to the first top-level window of the process, waiting until
  // the window has handled it.
  bool Send(char c) {
    HWND w = FirstWindowOf(process.Id);
    if (!w) return false;
    SendMessageA(w, WM_CHAR, static_cast<WPARAM>(c), 0);
    return true;
  }

  const std::string Command;
  Process process;

 private:
  std::thread reader_;
  std::mutex mutex_;
  std::vector<Entry> entries_;
  bool closed_ = false;
};

class TestEncoder : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    folder_ = std::string(temp) + "encoder-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder_.c_str(), nullptr);
    log_ = folder_ + "\\rode.log";
    SetEnvironmentVariableA("RODE_LOG", log_.c_str());
  }
  void TearDown() override {
    SetEnvironmentVariableA("RODE_LOG", nullptr);
    for (const std::string& f : {log_, folder_ + "\\talk.ppt.avi", folder_ + "\\vtemp.m2v", folder_ + "\\atemp.mp2"})
      DeleteFileA(f.c_str());
    RemoveDirectoryA(folder_.c_str());
  }
  std::string folder_, log_;
};

const char* const VideoOptions = " -f win32grab -i :0+0,0,656 -vcodec mpeg4 -r 25.000 -b 1000000 -s 640*480 -acodec mp2 -ab 128000";

TEST_F(TestEncoder, PrintsProgressUnlessPausedAndFinishesItsOutputBeforeTheQuitReturns) {
  std::string output = folder_ + "\\talk.ppt.avi";
  Encoder encoder(std::string(VideoOptions + 1) + " \"" + output + "\"");
  ASSERT_NE(encoder.process.Handle, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return encoder.Progress().size() >= 4; }, 10000));
  std::vector<Entry> first = encoder.Progress();
  EXPECT_LT(first[0].Time, 1.0);
  for (size_t i = 1; i < first.size(); ++i) {
    double step = first[i].Time - first[i - 1].Time;
    EXPECT_GT(step, 0.1) << first[i].Line;
    EXPECT_LT(step, 1.0) << first[i].Line;
  }
  EXPECT_EQ(first[0].Line.find("frame="), 0u) << first[0].Line;

  HWND window = FirstWindowOf(encoder.process.Id);
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(IsWindowVisible(window));

  ASSERT_TRUE(encoder.Send('p'));
  Sleep(300);  // what was on its way before the pause
  size_t paused = encoder.Progress().size();
  double pausedAt = encoder.Progress().back().Time;
  Sleep(1000);
  EXPECT_EQ(encoder.Progress().size(), paused) << "progress went on while paused";

  ASSERT_TRUE(encoder.Send('p'));
  ASSERT_TRUE(WaitUntil([&] { return encoder.Progress().size() > paused; }, 3000));
  EXPECT_LT(encoder.Progress()[paused].Time - pausedAt, 0.6) << "the pause was counted as recording time";

  ASSERT_TRUE(encoder.Send('q'));
  EXPECT_TRUE(Exists(output)) << "not yet written when the quit returned";
  EXPECT_TRUE(encoder.process.WaitExit(10000));
  EXPECT_TRUE(WaitUntil([&] { return encoder.OutputClosed(); }, 5000));

  std::vector<std::string> expected = {"command line: " + encoder.Command, "key: p", "key: p", "key: q",
                                       "wrote: " + output};
  EXPECT_EQ(Lines(log_), expected);
}

TEST_F(TestEncoder, ReadsTheSoundPipeOnceItExistsAndWritesEveryOutput) {
  const std::string pipeName = "\\\\.\\pipe\\rode-test-" + std::to_string(GetCurrentProcessId());
  const std::string video = folder_ + "\\vtemp.m2v", sound = folder_ + "\\atemp.mp2";
  Encoder encoder("-f s16le -ac 2 -ar 44100 -i \"" + pipeName + "\" " + VideoOptions + " \"" + video + "\" \"" +
                  sound + "\"");
  ASSERT_NE(encoder.process.Handle, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return !encoder.Progress().empty(); }, 10000)) << "waiting for the pipe stopped it";

  // The pipe comes up after the encoder, as the sound filter's does.
  HANDLE pipe = CreateNamedPipeA(pipeName.c_str(), PIPE_ACCESS_OUTBOUND | FILE_FLAG_OVERLAPPED, PIPE_TYPE_BYTE | PIPE_WAIT,
                                 1, 65536, 65536, 0, nullptr);
  ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
  OVERLAPPED connect{};
  connect.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (!ConnectNamedPipe(pipe, &connect) && GetLastError() == ERROR_IO_PENDING) {
    ASSERT_EQ(WaitForSingleObject(connect.hEvent, 10000), static_cast<DWORD>(WAIT_OBJECT_0));
  }
  const DWORD second = 44100 * 2 * 2;
  std::string pcm(second, '\x11');
  for (DWORD sent = 0; sent < second;) {
    OVERLAPPED write{};
    write.hEvent = connect.hEvent;
    ResetEvent(write.hEvent);
    DWORD n = 0, chunk = std::min<DWORD>(8192, second - sent);
    if (!WriteFile(pipe, pcm.data() + sent, chunk, nullptr, &write) && GetLastError() != ERROR_IO_PENDING) break;
    if (!GetOverlappedResult(pipe, &write, &n, TRUE)) break;
    sent += n;
  }
  FlushFileBuffers(pipe);  // until the encoder has read it all

  ASSERT_TRUE(encoder.Send('q'));
  EXPECT_TRUE(Exists(video));
  EXPECT_TRUE(Exists(sound));
  EXPECT_TRUE(encoder.process.WaitExit(10000));
  CloseHandle(connect.hEvent);
  CloseHandle(pipe);

  std::vector<std::string> expected = {"command line: " + encoder.Command, "pipe opened: " + pipeName, "key: q",
                                       "wrote: " + video, "wrote: " + sound,
                                       "pipe bytes: " + std::to_string(second)};
  EXPECT_EQ(Lines(log_), expected);
}

}  // namespace
