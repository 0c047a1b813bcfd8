// The build report: a one-line page in the job folder that records what was converted,
// when, and with which parameters.
#include "AppContext.h"
#include "CapForm.h"
#include "ConvertSettings.h"
#include "platform/Platform.h"
#include "vcl/SysUtils.h"

namespace {

const char* const ReportHead =
    "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
    "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\">"
    "<html xmlns=\"http://www.w3.org/1999/xhtml\">"
    "<head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\" /><title>Build Report</title>"
    "<style type=\"text/css\"><!--"
    "body {font: 100% Verdana, Arial, Helvetica, sans-serif;background: #ffffff;margin: 0;padding: 0;"
    "text-align: center;color: #000000;}"
    ".oneColFixCtr #container {width: 780px;background: #FFFFFF;margin: 0 auto;border: none;text-align: left;}"
    ".oneColFixCtr #mainContent {padding: 0 20px 0 20px;}"
    "table{margin:0; padding:0}"
    "tr{margin:0;padding: 0}"
    "td{margin:0; padding:0;}"
    "p{margin:0;padding:0}"
    "td.blue{background-color: #0018a5; line-height:2em;}"
    "td.gray{background-color: #eeeeee; line-height:1.6em;}"
    "td.orange{background-color: #ff9900; line-height:2em;}"
    "td.half{width:40%}"
    "div.pad {height: 15px;}"
    "span.orangefront{font-size: 10pt;font-style: normal;font-weight: bold;color: #ffffff;"
    "background-color: #ff9900;text-decoration: none;margin: 0;padding: 0 0 0 20px;}"
    "span.blhead{font-size: 16pt;font-style: normal;font-weight: bold;color: #ffffff;background-color: #0018a5;"
    "text-decoration: none;margin:0;padding:0 0 0 20px;}"
    "span.blfront{font-size: 10pt;font-style: normal;font-weight: bold;color: #ffffff;background-color: #0018a5;"
    "text-decoration: none;margin:0;padding:0 0 0 20px;}"
    "span.graybox{font-size: 10pt;font-style: normal;font-weight: normal;color: #000000;"
    "background-color: #eeeeee;text-decoration: none;margin: 0;padding:0 0 0 20px;}"
    "--></style></head><body class=\"oneColFixCtr\"><div id=\"container\"><div id=\"mainContent\">"
    "<div class=\"pad\"></div>"
    "<div><table width=100% border=0 cellpadding=1 cellspacing=1><tr valign=top><td class=\"blue\"><p>"
    "<span class=\"blhead\">Report Overview</span></p></td></tr><tr valign=top><td class=\"gray\"><p>"
    "<span class=\"graybox\">This report lists all information about the videos generated.</span></p></td></tr>"
    "</table></div><div class=\"pad\"></div>";
const char* const ReportTail = "<!-- end #mainContent --></div><!-- end #container --></div></body></html>";

// A table of one orange heading and one gray value.
std::string Section(const std::string& heading, const std::string& value) {
  return "<div><table width=100% border=0 cellpadding=1 cellspacing=1><tr valign=top><td class=\"orange\"><p>"
         "<span class=\"orangefront\">" + heading + "</span></p></td></tr><tr valign=top><td class=\"gray\"><p>"
         "<span class=\"graybox\">" + value + "</span></p></td></tr></table></div><div class=\"pad\"></div>";
}

std::string Row(const std::string& label, const std::string& value) {
  return "<tr valign=top><td class=\"gray half\"><p><span class=\"graybox\">" + label +
         ":</span></p></td><td class=\"gray\"><p><span class=\"graybox\">" + value + "</span></p></td></tr>";
}

}  // namespace

// The page declares UTF-8, so the ANSI texts are converted; the report is replaced whole.
void TForm_cap::WriteBuildReport() {
  const TConvertSettings& s = ConvertSettings;
  std::string information =
      "<div><table width=100% border=0 cellpadding=1 cellspacing=1><tr valign=top><td  colspan=\"2\" "
      "class=\"blue\"><p><span class=\"blfront\">Build Information</span></p></td></tr>" +
      Row("Resolution", s.ResolutionDes) + Row("Video Compress Format", s.VCompressFormatDes) +
      Row("Video Framerate", s.VFramerateDes) + Row("Video Bitrate", s.VBitrateDes);
  if (s.AudioRecording) information += Row("Audio Compress Format", s.ACompressFormatDes) + Row("Audio Bitrate", s.ABitrateDes);
  information += "</table></div>";
  platform::ISystem& system = platform::System();
  const std::string page = ReportHead + Section("Source PowerPoint File", s.PPTFile) +
                           Section("Build Date", system.LongDate(system.Now())) + information + ReportTail;
  const std::string path = JobFolder + "\\BuildReport.htm";
  if (!platform::Files().WriteWholeFile(path, system.AnsiToUtf8(page)))
    throw vcl::Exception("Cannot create file \"" + path + "\".");
}
