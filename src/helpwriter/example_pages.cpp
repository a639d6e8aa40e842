#include "helpwriter/example_pages.h"

#include "helpwriter/page_frame.h"
#include "runtime/text.h"

namespace quillark {
namespace {

// An extra WinHelp topic whose entry macro beeps, copies the topic to the
// clipboard and goes straight back.
std::string WinHelpExampleTopic(std::string_view key, std::string_view example_text) {
  std::string page = "#{\\footnote # " + std::string(key) + "_example}\r\n";
  page += "!{\\footnote ! MessageBeep(0);CopyTopic();Back()} \r\n";
  page += example_text;
  page += "\\page\r\n\r\n";
  return page;
}

// The code sits in a hidden text area that the copy script reads. The CHM page
// copies at once and goes back to the topic, leaving a message in the window name
// for the topic page to show; the HTML page shows the code and a copy button.
std::string HtmlExamplePage(OutputFormat format, const WriterState& writer,
                            std::string_view style_sheet_path, std::string_view example_text) {
  std::string page = HtmlPageHead(writer, style_sheet_path, "Example", "", "", "");
  page +=
      "<script type=\"text/javascript\">\r\n"
      "function CopyToClipboard()\r\n"
      "{\r\n"
      "  TextRange = lblExample.createTextRange();\r\n"
      "  TextRange.execCommand(\"Copy\");\r\n"
      "}\r\n"
      "</script>\r\n"
      "\r\n";
  page += "<textarea id=\"lblExample\" style=\"display:none;\">\r\n";
  page += example_text;
  page += "</textarea>\r\n\r\n";
  if (format == OutputFormat::kChm) {
    page +=
        "<script type=\"text/javascript\">\r\n"
        "  var ReturnTo = window.name + '.html'\r\n"
        "  CopyToClipboard();\r\n"
        "  window.name = 'Success! Copied code to the clipboard for the topic \\'' + "
        "window.name + '\\'';\r\n"
        "  window.history.go(-2);\r\n"
        "</script>\r\n";
  } else {
    page += "<table border=\"0\" cellspacing=\"0\" cellpadding=\"0\"><tr>\r\n";
    page += ButtonCell(kButtonCellPrefix, "#", "Example", "onclick=\"CopyToClipboard();\" ",
                       kButtonCellSuffix);
    page += "<td>&nbsp;&nbsp;Click to copy the example to the clipboard</td>\r\n";
    page += "</tr></table><hr>\r\n\r\n";
    page += "<pre>\r\n";
    page += example_text;
    page += "</pre>\r\n";
  }
  page += "</body>\r\n</html>\r\n\r\n";
  return page;
}

}  // namespace

std::string ExampleCodePage(OutputFormat format, const WriterState& writer,
                            std::string_view style_sheet_path, std::string_view topic_key,
                            std::string_view example_text) {
  if (example_text.empty()) return "";
  switch (format) {
    case OutputFormat::kHlp:
      // Page names are upper-case keys, however the name was passed.
      return WinHelpExampleTopic(runtime::UpperAscii(runtime::SanitizeIdent(topic_key)),
                                 example_text);
    case OutputFormat::kChm:
    case OutputFormat::kHtml:
      return HtmlExamplePage(format, writer, style_sheet_path, example_text);
    case OutputFormat::kRtf:
    case OutputFormat::kNone:
      break;
  }
  return "";
}

}  // namespace quillark
