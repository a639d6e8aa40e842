#include "helpwriter/example_pages.h"

#include <gtest/gtest.h>

#include <string>

#include "helpwriter/page_frame.h"

namespace quillark {
namespace {

const std::string kScript =
    "<script type=\"text/javascript\">\r\n"
    "function CopyToClipboard()\r\n"
    "{\r\n"
    "  TextRange = lblExample.createTextRange();\r\n"
    "  TextRange.execCommand(\"Copy\");\r\n"
    "}\r\n"
    "</script>\r\n"
    "\r\n"
    "<textarea id=\"lblExample\" style=\"display:none;\">\r\n"
    "x = 1;\r\n"
    "</textarea>\r\n"
    "\r\n";

struct ExampleCase {
  OutputFormat format;
  const char* example;
  std::string expected;  // after the page head for CHM and HTML
};

class ExampleCodePageTest : public testing::TestWithParam<ExampleCase> {
 protected:
  void SetUp() override { SetCopyright("(c) Me"); }
  void TearDown() override { ResetWriterState(); }
};

TEST_P(ExampleCodePageTest, ExactText) {
  const ExampleCase& c = GetParam();
  const std::string head = IsHtmlFamily(c.format) && *c.example != '\0'
                               ? HtmlPageHead("/d/temp/book.css", "Example", "", "(c) Me", "", "")
                               : "";
  EXPECT_EQ(ExampleCodePage(c.format, "/d/temp/book.css", "Getting started", c.example),
            head + c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, ExampleCodePageTest,
    testing::Values(
        ExampleCase{OutputFormat::kHlp, "x = 1;\\par\r\n",
                    "#{\\footnote # GETTING_STARTED_example}\r\n"
                    "!{\\footnote ! MessageBeep(0);CopyTopic();Back()} \r\n"
                    "x = 1;\\par\r\n"
                    "\\page\r\n\r\n"},
        ExampleCase{OutputFormat::kChm, "x = 1;\r\n",
                    kScript +
                        "<script type=\"text/javascript\">\r\n"
                        "  var ReturnTo = window.name + '.html'\r\n"
                        "  CopyToClipboard();\r\n"
                        "  window.name = 'Success! Copied code to the clipboard for the topic "
                        "\\'' + window.name + '\\'';\r\n"
                        "  window.history.go(-2);\r\n"
                        "</script>\r\n"
                        "</body>\r\n</html>\r\n\r\n"},
        ExampleCase{OutputFormat::kHtml, "x = 1;\r\n",
                    kScript + "<table border=\"0\" cellspacing=\"0\" cellpadding=\"0\"><tr>\r\n"
                              "<td width=\"84\" height=\"32\" nowrap=\"nowrap\" class=\"buttons\">"
                              "<a href=\"#\" onclick=\"CopyToClipboard();\" class=\"buttons\">"
                              "<b>&nbsp;Example&nbsp;&nbsp;</b></a></td>\r\n"
                              "<td>&nbsp;&nbsp;Click to copy the example to the clipboard</td>\r\n"
                              "</tr></table><hr>\r\n"
                              "\r\n"
                              "<pre>\r\n"
                              "x = 1;\r\n"
                              "</pre>\r\n"
                              "</body>\r\n</html>\r\n\r\n"},
        ExampleCase{OutputFormat::kRtf, "x = 1;\\par\r\n", ""},
        ExampleCase{OutputFormat::kHtml, "", ""}));

}  // namespace
}  // namespace quillark
