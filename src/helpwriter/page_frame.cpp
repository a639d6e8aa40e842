#include "helpwriter/page_frame.h"

#include "helpwriter/escaping.h"
#include "helpwriter/links.h"
#include "runtime/clock.h"
#include "runtime/files.h"

namespace quillark {

namespace {

// Pages link each other by base name, always within one folder.
std::string PageLink(std::string_view file) {
  if (file.empty()) return {};
  return runtime::BaseName(file) + ".html";
}

void AppendSpaces(std::string& out, int count) {
  for (int i = 0; i < count; ++i) out += "&nbsp;";
}

}  // namespace

std::string GeneratorText() {
  return "Quillark (help creator program) " + runtime::NowText().substr(0, 10);
}

std::string RunGeneratorText(const WriterState& writer) {
  return writer.generator.empty() ? GeneratorText() : writer.generator;
}

std::string HtmlPageHead(const WriterState& writer, std::string_view style_sheet_path,
                         std::string_view title, std::string_view extra_head,
                         std::string_view body_attributes, std::string_view first_paragraph) {
  const std::string& comment = writer.copyright;
  std::string head;
  head.reserve(1024);
  head +=
      "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
      "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\">\r\n";
  if (!comment.empty()) head += "<!-- " + HtmlCommentText(comment) + " -->\r\n";
  head += "<html>\r\n<head>\r\n";
  head += "<meta name=\"generator\" content=\"" + RunGeneratorText(writer) + "\" />\r\n";
  const std::string escaped_title = HtmlEscaped(title);
  if (!title.empty()) head += "<meta name=\"title\" content=\"" + escaped_title + "\" />\r\n";
  if (!style_sheet_path.empty()) {
    head += "<link rel=\"stylesheet\" type=\"text/css\" href=\"" +
            UrlFileName(runtime::FileNamePart(style_sheet_path)) + "\" />\r\n";
  }
  if (!title.empty()) head += "<title>" + escaped_title + "</title>\r\n";
  head += extra_head;
  head += "</head>\r\n";
  if (body_attributes.empty()) {
    head += "<body>\r\n";
  } else {
    head += "<body " + std::string(body_attributes) + ">\r\n";
  }
  if (!first_paragraph.empty()) head += "<p>" + std::string(first_paragraph) + "</p>\r\n";
  return head;
}

std::string ButtonBar(std::string_view contents_file, std::string_view index_file,
                      std::string_view previous_file, std::string_view next_file,
                      std::string_view example_file, std::string_view button_target,
                      std::string_view button_caption) {
  // A web address that names its scheme is taken as it is; anything else is a page.
  const std::string user_target =
      NamesScheme(button_target) ? std::string(button_target) : PageLink(button_target);
  std::string bar;
  bar.reserve(1536);
  bar += "<table border=\"0\" cellspacing=\"0\" cellpadding=\"0\"><tr>\r\n";
  AppendButtonCell(bar, kButtonCellPrefix, PageLink(contents_file), "Contents", "",
                   kButtonCellSuffix);
  AppendButtonCell(bar, kButtonCellPrefix, PageLink(index_file), "Index", "", kButtonCellSuffix);
  AppendButtonCell(bar, kButtonCellPrefix, PageLink(previous_file), "<<", "", kButtonCellSuffix);
  AppendButtonCell(bar, kButtonCellPrefix, PageLink(next_file), ">>", "", kButtonCellSuffix);
  AppendButtonCell(bar, kButtonCellPrefix, PageLink(example_file), "Example",
                   "target=\"_example\" ", kButtonCellSuffix);
  AppendButtonCell(bar, kButtonCellPrefix, user_target, button_caption, "", kButtonCellSuffix);
  bar += "</tr></table><br/>\r\n";
  return bar;
}

std::string ButtonCell(std::string_view cell_prefix, std::string_view link_target,
                       std::string_view caption, std::string_view link_attributes,
                       std::string_view cell_suffix) {
  std::string cell;
  AppendButtonCell(cell, cell_prefix, link_target, caption, link_attributes, cell_suffix);
  return cell;
}

void AppendButtonCell(std::string& out, std::string_view cell_prefix, std::string_view link_target,
                      std::string_view caption, std::string_view link_attributes,
                      std::string_view cell_suffix) {
  const std::string escaped = HtmlEscaped(caption);
  if (escaped.empty()) return;

  out += cell_prefix;
  if (link_target.empty()) {
    // A disabled button is grey text without a link, padding or bold.
    out += "<font color=\"#808080\">";
    out += escaped;
    out += "</font>";
  } else {
    // The caption is centred in ten characters, the odd space going right.
    const int room = 10 - static_cast<int>(caption.size());
    const int left = room > 0 ? room / 2 : 0;
    const int right = room > 0 ? room / 2 + room % 2 : 0;
    // The arrows are never bold.
    const bool bold = escaped != "&lt;&lt;" && escaped != "&gt;&gt;";
    out += "<a href=\"";
    AppendAttributeAddress(out, link_target);
    out += "\" ";
    out += link_attributes;
    out += "class=\"buttons\">";
    if (bold) out += "<b>";
    AppendSpaces(out, left);
    out += escaped;
    AppendSpaces(out, right);
    if (bold) out += "</b>";
    out += "</a>";
  }
  out += cell_suffix;
}

std::string TreeImage(std::string_view image_file, std::string_view alt_text) {
  return "<img src=\"" + std::string(image_file) + "\" width=\"20\" height=\"20\" alt=\"" +
         std::string(alt_text) + "\" class=\"treeview\"/>";
}

}  // namespace quillark
