#include "helpwriter/style_sheet.h"

#include <string_view>

#include "helpwriter/escaping.h"
#include "helpwriter/frame_file.h"

namespace quillark {
namespace {

// "{face},sans-serif; ... font-size:{size}pt;" as the body and heading rules use it.
std::string FontOf(const WriterState& writer, std::string_view slot) {
  return "font-family:" + FontName(writer, slot) + ",sans-serif;";
}

std::string SizeOf(const WriterState& writer, std::string_view slot) {
  return "font-size:" + std::to_string(FontSize(writer, slot)) + "pt;";
}

std::string StyleSheetText(const WriterState& writer) {
  const std::string text_font = FontOf(writer, "TEXT") + " " + SizeOf(writer, "TEXT");
  std::string css = "/* CSS file for \"" + CssCommentText(writer.caption) + "\" */\r\n";
  css += "body {" + text_font + " color:black; background:white;}\r\n";
  css += "td {" + text_font + "}\r\n";
  css += "p {" + text_font + "}\r\n";
  css += "ul {" + text_font + " text-align:left;}\r\n";
  css += "ol {" + text_font + "}\r\n";
  css += "td.pre {font-family:courier new,courier,monospace;}\r\n";
  css += "pre {font-family:courier new,courier,monospace;}\r\n";
  // Each heading level styles the heading itself and the table parts that
  // carry its class.
  for (std::string_view element : {"", "td.", "tr.", "th.", "table."}) {
    for (char level = '1'; level <= '6'; ++level) {
      const std::string slot = std::string("H") + level;
      css += std::string(element) + "h" + level + " {" + FontOf(writer, slot) +
             " font-weight:bold; " + SizeOf(writer, slot) + "}\r\n";
    }
  }
  css +=
      "table.treeview {border-collapse:collapse; border-spacing:0; margin:0; padding:0; "
      "border:0;}\r\n"
      "table.treeview td {vertical-align:middle; padding:0; border:0; white-space:nowrap;}\r\n"
      "table.treeview img.treeview {float:left; vertical-align:baseline; margin:0; padding:0; "
      "border:0;}\r\n"
      "td.buttons {background-image:url(quillark_button3.bmp); background-repeat:no-repeat; "
      "background-position:center;\r\n"
      "            vertical-align:center; text-align:center; text-decoration:none; "
      "color:black;}\r\n"
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
  return css;
}

}  // namespace

void WriteStyleSheet(OutputFormat format, const WriterState& writer, const std::string& path) {
  if (path.empty() || !IsHtmlFamily(format)) return;
  WriteFrameFile(path, StyleSheetText(writer));
}

}  // namespace quillark
