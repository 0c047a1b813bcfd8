#include "ROdeThread.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <cstring>
#include <vector>

#include "AppContext.h"
#include "CapForm.h"
#include "ConvertSettings.h"
#include "GlobalFunc.h"
#include "MainForm.h"
#include "OutputCatalogue.h"
#include "platform/Platform.h"
#include "vcl/SysUtils.h"

const char* const AudioPipeName = "\\\\.\\pipe\\norvanereelcast_audiofilter";
vcl::TThreadRef CurrentROdeThread;

namespace {
constexpr std::uint32_t QuitKey = 113;  // "q"
constexpr unsigned ChunkSize = 1023;

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }
}  // namespace

std::string EncoderCommandLine(std::uintptr_t panel) {
  const TConvertSettings& s = ConvertSettings;
  std::string command = Quoted(ProgramFolder + "\\rode.exe");
  if (s.AudioRecording) command += " -f s16le -ac 2 -ar 44100 -i " + Quoted(AudioPipeName) + " ";
  command += " -f win32grab -i :0+0,0," + std::to_string(panel);
  command += " -vcodec " + s.VCompressFormat;
  command += " -r " + s.VFramerate;
  command += " -b " + s.VBitrate;
  command += " -s " + s.Resolution;
  command += " -acodec " + s.ACompressFormat;
  command += " -ab " + s.ABitrate;
  switch (s.OutputFormat) {
    case FormatAVI: return command + " " + Quoted(JobFolder + "\\" + OutputName + ".avi");
    case FormatMPEG2: return command + " " + Quoted(JobFolder + "\\" + OutputName + ".mpg");
    case FormatSWF: return command + " " + Quoted(JobFolder + "\\" + OutputName + ".swf");
    case FormatDVD:
      command += " " + Quoted(TempFolder + "\\vtemp.m2v");
      if (s.AudioRecording)
        command += " " + Quoted(TempFolder + (s.ACompressFormat == "mp2" ? "\\atemp.mp2" : "\\atemp.ac3"));
      return command;
    default: return command;
  }
}

std::string ParseCaptureTime(const std::string& chunk) {
  static const char* const pattern = "time=.* bitrate=";
  int error = 0;
  PCRE2_SIZE offset = 0;
  pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern), PCRE2_ZERO_TERMINATED, 0, &error, &offset,
                                   nullptr);
  if (!code) throw vcl::Exception("The progress pattern does not compile");
  pcre2_match_data* match = pcre2_match_data_create_from_pattern(code, nullptr);
  const int found = pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(chunk.data()), chunk.size(), 0, 0, match, nullptr);
  std::string result = "0";
  if (found > 0) {
    const PCRE2_SIZE* at = pcre2_get_ovector_pointer(match);
    std::string text = chunk.substr(at[0] + 5, at[1] - at[0] - 5);
    text = text.substr(0, text.find("bitrate="));
    text = text.substr(0, text.find('.'));
    result = vcl::Trim(text);
  }
  pcre2_match_data_free(match);
  pcre2_code_free(code);
  return result;
}

TVCapThread::TVCapThread(std::string commandLine) : CommandLine(std::move(commandLine)), done_(CaptureDoneEvent) {
  FreeOnTerminate = true;
}

void TVCapThread::Report(const std::string& text) {
  Synchronize([&] { ShowFatalErrorText(text); });
}

// Any other failure of the run ends it like the encoder's own end, after its report.
void TVCapThread::Failed(const std::string& message) {
  Report(message);
  done_->SetEvent();
  CurrentROdeThread.Clear();
}

void TVCapThread::Execute() {
  done_->ResetEvent();
  platform::IProcesses& processes = platform::Processes();
  std::unique_ptr<platform::IPipe> input = processes.CreateInheritablePipe();
  if (!input) Report("Cannot create pipe(#1)");
  std::unique_ptr<platform::IPipe> output = processes.CreateInheritablePipe();
  if (!output) Report("Cannot create pipe(#1)");
  std::unique_ptr<platform::IChildProcess> encoder = processes.StartRedirected(CommandLine, input.get(), output.get());
  if (!encoder) Report("Cannot create process(#1)");
  if (input) input->CloseReadEnd();
  if (output) output->CloseWriteEnd();

  try {
    std::vector<char> buffer(ChunkSize + 1, '\0');
    unsigned got = 0;
    while (output && output->Read(buffer.data(), ChunkSize, got)) {
      CaptureSeconds = vcl::StrToInt(ParseCaptureTime(buffer.data()));
      std::fill(buffer.begin(), buffer.end(), '\0');
      if (Terminated()) {
        if (const platform::Handle window = FindEncoderWindow()) platform::Windows().SendChar(window, QuitKey);
        else Report("Cannot find rode process.");
        break;
      }
    }
  } catch (const std::exception& e) {
    Report(e.what());
  }

  // The pipes and the encoder's handles close here; the encoder is not waited for.
  input.reset();
  output.reset();
  encoder.reset();
  done_->SetEvent();
  CurrentROdeThread.Clear();
}
