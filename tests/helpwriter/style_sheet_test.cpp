#include "helpwriter/style_sheet.h"

#include <gtest/gtest.h>

#include <string>

#include "runtime/text.h"
#include "support/temp_dir.h"

namespace quillark {
namespace {

constexpr char kDefaultStyleSheet[] =
    "/* CSS file for \"Book Help\" */\r\n"
    "body {font-family:Arial,sans-serif; font-size:10pt; color:black; background:white;}\r\n"
    "td {font-family:Arial,sans-serif; font-size:10pt;}\r\n"
    "p {font-family:Arial,sans-serif; font-size:10pt;}\r\n"
    "ul {font-family:Arial,sans-serif; font-size:10pt; text-align:left;}\r\n"
    "ol {font-family:Arial,sans-serif; font-size:10pt;}\r\n"
    "td.pre {font-family:courier new,courier,monospace;}\r\n"
    "pre {font-family:courier new,courier,monospace;}\r\n"
    "h1 {font-family:Arial,sans-serif; font-weight:bold; font-size:24pt;}\r\n"
    "h2 {font-family:Arial,sans-serif; font-weight:bold; font-size:20pt;}\r\n"
    "h3 {font-family:Arial,sans-serif; font-weight:bold; font-size:18pt;}\r\n"
    "h4 {font-family:Arial,sans-serif; font-weight:bold; font-size:16pt;}\r\n"
    "h5 {font-family:Arial,sans-serif; font-weight:bold; font-size:14pt;}\r\n"
    "h6 {font-family:Arial,sans-serif; font-weight:bold; font-size:12pt;}\r\n"
    "td.h1 {font-family:Arial,sans-serif; font-weight:bold; font-size:24pt;}\r\n"
    "td.h2 {font-family:Arial,sans-serif; font-weight:bold; font-size:20pt;}\r\n"
    "td.h3 {font-family:Arial,sans-serif; font-weight:bold; font-size:18pt;}\r\n"
    "td.h4 {font-family:Arial,sans-serif; font-weight:bold; font-size:16pt;}\r\n"
    "td.h5 {font-family:Arial,sans-serif; font-weight:bold; font-size:14pt;}\r\n"
    "td.h6 {font-family:Arial,sans-serif; font-weight:bold; font-size:12pt;}\r\n"
    "tr.h1 {font-family:Arial,sans-serif; font-weight:bold; font-size:24pt;}\r\n"
    "tr.h2 {font-family:Arial,sans-serif; font-weight:bold; font-size:20pt;}\r\n"
    "tr.h3 {font-family:Arial,sans-serif; font-weight:bold; font-size:18pt;}\r\n"
    "tr.h4 {font-family:Arial,sans-serif; font-weight:bold; font-size:16pt;}\r\n"
    "tr.h5 {font-family:Arial,sans-serif; font-weight:bold; font-size:14pt;}\r\n"
    "tr.h6 {font-family:Arial,sans-serif; font-weight:bold; font-size:12pt;}\r\n"
    "th.h1 {font-family:Arial,sans-serif; font-weight:bold; font-size:24pt;}\r\n"
    "th.h2 {font-family:Arial,sans-serif; font-weight:bold; font-size:20pt;}\r\n"
    "th.h3 {font-family:Arial,sans-serif; font-weight:bold; font-size:18pt;}\r\n"
    "th.h4 {font-family:Arial,sans-serif; font-weight:bold; font-size:16pt;}\r\n"
    "th.h5 {font-family:Arial,sans-serif; font-weight:bold; font-size:14pt;}\r\n"
    "th.h6 {font-family:Arial,sans-serif; font-weight:bold; font-size:12pt;}\r\n"
    "table.h1 {font-family:Arial,sans-serif; font-weight:bold; font-size:24pt;}\r\n"
    "table.h2 {font-family:Arial,sans-serif; font-weight:bold; font-size:20pt;}\r\n"
    "table.h3 {font-family:Arial,sans-serif; font-weight:bold; font-size:18pt;}\r\n"
    "table.h4 {font-family:Arial,sans-serif; font-weight:bold; font-size:16pt;}\r\n"
    "table.h5 {font-family:Arial,sans-serif; font-weight:bold; font-size:14pt;}\r\n"
    "table.h6 {font-family:Arial,sans-serif; font-weight:bold; font-size:12pt;}\r\n"
    "table.treeview {border-collapse:collapse; border-spacing:0; margin:0; padding:0; "
    "border:0;}\r\n"
    "table.treeview td {vertical-align:middle; padding:0; border:0; white-space:nowrap;}\r\n"
    "table.treeview img.treeview {float:left; vertical-align:baseline; margin:0; padding:0; "
    "border:0;}\r\n"
    "td.buttons {background-image:url(quillark_button3.bmp); background-repeat:no-repeat; "
    "background-position:center;\r\n"
    "            vertical-align:center; text-align:center; text-decoration:none; color:black;}\r\n"
    "a.buttons {text-decoration:none; color:black;}\r\n"
    "a.popuplink {position:relative; background:#FFFFFF; text-decoration:none;\r\n"
    "             color:blue; border-bottom:dotted 1px; line-height:1.25;\r\n"
    "             z-index:0;}\r\n"
    "a.popuplink:hover {background-color:transparent; z-index:2;}\r\n"
    "a.popuplink table, a.popuplink td {position:absolute; left:4px; top:6px;\r\n"
    "            padding:5px; visibility:hidden; color:black;\r\n"
    "            text-decoration:none; line-height:normal;\r\n"
    "            border-top:solid 4px silver; border-left:solid 4px silver;\r\n"
    "            border-bottom:solid 4px gray; border-right:solid 4px gray;}\r\n"
    "a.popuplink:hover table, a.popuplink:hover td {visibility:visible; "
    "background-color:white;}\r\n"
    "\r\n";

struct StyleCase {
  OutputFormat format;
  const char* text_font;  // the -f value, or "" for the defaults
  std::string expected;   // "" when no file is written
};

class StyleSheetTest : public testing::TestWithParam<StyleCase> {};

TEST_P(StyleSheetTest, WritesTheWholeFile) {
  ResetWriterState();
  SetCaption("Book Help");
  InitFonts();
  SetFont("TEXT", GetParam().text_font);
  testing_support::TempDir dir;
  WriteStyleSheet(GetParam().format, dir.File("book/book.css"));
  EXPECT_EQ(dir.Read("book/book.css"), GetParam().expected);
}

// Only the text font's five rules follow -f.
const std::string kVerdanaStyleSheet = runtime::ReplaceAll(
    kDefaultStyleSheet, "Arial,sans-serif; font-size:10pt", "Verdana,sans-serif; font-size:12pt");

INSTANTIATE_TEST_SUITE_P(
    Formats, StyleSheetTest,
    testing::Values(StyleCase{OutputFormat::kHtml, "", kDefaultStyleSheet},
                    StyleCase{OutputFormat::kChm, "Verdana,12", kVerdanaStyleSheet},
                    StyleCase{OutputFormat::kHlp, "", ""}, StyleCase{OutputFormat::kRtf, "", ""},
                    StyleCase{OutputFormat::kNone, "", ""}));

}  // namespace
}  // namespace quillark
