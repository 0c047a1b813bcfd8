#include "DVDConvertThread.h"

#include "CapForm.h"
#include "ConvertSettings.h"
#include "MainForm.h"
#include "platform/Platform.h"
#include "vcl/SysUtils.h"

vcl::TThreadRef CurrentDVDThread;

namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// An attribute value with the five characters XML reserves written as entities.
std::string Escaped(const std::string& value) {
  std::string out;
  for (char c : value) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '\'': out += "&apos;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

// The recorded streams go once they are multiplexed; a missing one is passed over.
void DeleteStreams() {
  for (const char* name : {"\\vtemp.m2v", "\\atemp.mp2", "\\atemp.ac3"}) platform::Files().RemoveFile(TempFolder + name);
}

bool NonEmptyFile(const std::string& path) {
  const std::optional<std::uint64_t> size = platform::Files().FileSize(path);
  return size && *size > 0;
}

// The authoring library's DVD folder holds its information and video object files.
bool HoldsDvd(const std::string& dvdFolder) {
  bool ifo = false, vob = false;
  for (const platform::FileEntry& entry : platform::Files().ListFolder(dvdFolder + "\\VIDEO_TS")) {
    const std::string name = vcl::UpperCase(entry.Name);
    if (entry.Directory || name.size() < 4) continue;
    const std::string extension = name.substr(name.size() - 4);
    ifo = ifo || extension == ".IFO";
    vob = vob || extension == ".VOB";
  }
  return ifo && vob;
}

}  // namespace

std::string MultiplexCommand(bool& codecSupported) {
  const TConvertSettings& s = ConvertSettings;
  std::string command = "video2 -f 8 -r 8000 -o " + Quoted(TempFolder + "\\tmp1.vob") + " " +
                        Quoted(TempFolder + "\\vtemp.m2v") + " ";
  codecSupported = true;
  if (s.AudioRecording) {
    if (s.ACompressFormat == "mp2") command += Quoted(TempFolder + "\\atemp.mp2");
    else if (s.ACompressFormat == "ac3") command += Quoted(TempFolder + "\\atemp.ac3");
    else codecSupported = false;
  }
  return command;
}

std::string AuthoringCommand() { return "video3 -x " + Quoted(TempFolder + "\\dvd.xml"); }

std::string DvdXml() {
  const std::vector<std::string> lines = {
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>",
      "<dvdauthor dest=\"" + Escaped(JobFolder + "\\DVD") + "\">",
      "  <vmgm/>",
      "  <titleset>",
      "    <titles>",
      "      <video/>",
      "      <pgc>",
      "        <vob file=\"" + Escaped(TempFolder + "\\tmp1.vob") + "\"/>",
      "      </pgc>",
      "    </titles>",
      "  </titleset>",
      "</dvdauthor>"};
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

// The document declares UTF-8, so the ANSI folder names are converted.
bool WriteDvdXml() {
  try {
    return platform::Files().WriteWholeFile(TempFolder + "\\dvd.xml", platform::System().AnsiToUtf8(DvdXml()));
  } catch (const std::exception&) {
    return false;
  }
}

void TDVDConvertThread::ShowStep(const char* text) {
  DVDStepText = text;
  Synchronize([] { Form_cap->ShowDVDStep(); });
}

void TDVDConvertThread::Fatal(const std::string& text) {
  Synchronize([&] { ShowFatalErrorText(text); });
}

void TDVDConvertThread::Execute() {
  bool codecSupported = true;
  const std::string multiplex = MultiplexCommand(codecSupported);
  if (!codecSupported) Fatal("Not support.");
  ShowStep("Creating vob files...");
  if (Terminated()) return Synchronize([] { Form_cap->FinishDVDCanceled(); });
  platform::Bridge().video2(multiplex);
  if (Terminated()) return Synchronize([] { Form_cap->FinishDVDCanceled(); });
  // A multiplexer that made nothing ends the conversion here, with the recorded streams kept.
  const std::string programStream = TempFolder + "\\tmp1.vob";
  if (!NonEmptyFile(programStream))
    return Fatal("Cannot create vob files: the multiplexer wrote nothing into " + programStream + ".");
  if (!WriteDvdXml()) Fatal("Cannot create config file");
  DeleteStreams();
  ShowStep("Creating DVD...");
  platform::Bridge().video3(AuthoringCommand());
  DeleteStreams();
  if (Terminated()) return Synchronize([] { Form_cap->FinishDVDCanceled(); });
  const std::string dvdFolder = JobFolder + "\\DVD";
  if (!HoldsDvd(dvdFolder))
    return Fatal("Cannot create DVD: the authoring library made no VIDEO_TS folder with .IFO and .VOB files in " +
                 dvdFolder + ".");
  Synchronize([] { Form_cap->FinishDVDDone(); });
}
