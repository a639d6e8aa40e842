#include "helpwriter/contents.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "helpwriter/frame_file.h"
#include "helpwriter/page_frame.h"
#include "helpwriter/topic_order.h"
#include "runtime/files.h"

namespace quillark {
namespace {

// One heading as the contents show it.
struct ContentsEntry {
  int level = 1;
  std::string text;   // converted for the format
  std::string topic;  // key of the owning topic, empty when none owns it
};

// Where one heading stands in the walk. A heading is a book when the next one
// is deeper, or when it is shallower than the entry written last: once an
// entry deeper than its level has been written, every later heading above
// that depth opens a book, even without children.
struct ContentsStep {
  std::size_t index = 0;
  int level = 1;  // L
  int next = 1;   // N: the next heading's level, L for the last heading
  bool is_book = false;
  bool is_last = false;
};

std::string ConvertHeading(OutputFormat format, std::string_view text) {
  std::string converted;
  for (char c : text) {
    if (format == OutputFormat::kHlp && c == '=') {
      converted += "\\=";
    } else if (IsHtmlFamily(format) && c == '&') {
      converted += "&amp;";
    } else if (IsHtmlFamily(format) && c == '<') {
      converted += "&lt;";
    } else if (IsHtmlFamily(format) && c == '>') {
      converted += "&gt;";
    } else if (IsHtmlFamily(format) && c == '"') {
      converted += "&quot;";
    } else {
      converted += c;
    }
  }
  return converted;
}

std::vector<ContentsEntry> CollectEntries(OutputFormat format, const TopicTable& topics,
                                          const HeadingTable& headings) {
  std::vector<ContentsEntry> entries;
  const std::unordered_map<std::int32_t, int> topic_at_line = FirstRowByLine(topics);
  const int count = TableCount(headings);
  for (int row = 1; row <= count; ++row) {
    const HeadingRecord& heading = EntryAt(headings, row);
    ContentsEntry entry;
    // Heading levels come from the six heading tags; holding them to 1..6
    // keeps the indents and closings of a damaged table bounded.
    entry.level = std::clamp(heading.level, 1, 6);
    entry.text = ConvertHeading(format, heading.name);
    const auto topic = topic_at_line.find(heading.abs_line);
    if (topic != topic_at_line.end()) entry.topic = EntryAt(topics, topic->second).name;
    entries.push_back(std::move(entry));
  }
  return entries;
}

// --- WinHelp contents file ---

void AppendHlpEntry(std::string& out, const ContentsStep& step, const ContentsEntry& entry) {
  const std::string level = std::to_string(step.level);
  if (step.is_book) {
    out += level + " " + entry.text + "\r\n";
    out += std::to_string(step.level + 1) + " " + entry.text + "=" + entry.topic + "\r\n";
  } else {
    out += level + " " + entry.text + "=" + entry.topic + "\r\n";
  }
}

// --- HTML Help contents sitemap ---

std::string Indent(int depth) { return std::string(2 * static_cast<std::size_t>(depth), ' '); }

void AppendChmPage(std::string& out, int depth, const ContentsEntry& entry) {
  const std::string indent = Indent(depth);
  out += indent + "<li> <object type=\"text/sitemap\">\r\n";
  out += indent + "  <param name=\"Name\" value=\"" + entry.text + "\">\r\n";
  out += indent + "  <param name=\"Local\" value=\"" + entry.topic + ".html\">\r\n";
  out += indent + "  </object>\r\n";
}

// Closes the lists opened by the books at levels `from` down to `down_to`.
void AppendChmClosings(std::string& out, int from, int down_to) {
  for (int depth = from; depth >= down_to; --depth) out += Indent(depth) + "</ul>\r\n";
}

void AppendChmEntry(std::string& out, const ContentsStep& step, const ContentsEntry& entry) {
  const int level = step.level;
  if (!step.is_book) {
    AppendChmPage(out, level, entry);
    if (level > step.next) {
      AppendChmClosings(out, level - 1, step.next);
    } else if (step.is_last) {
      AppendChmClosings(out, level - 1, 1);
    }
    return;
  }
  const std::string indent = Indent(level);
  out += indent + "<li> <object type=\"text/sitemap\">\r\n";
  out += indent + "  <param name=\"Name\" value=\"" + entry.text + "\">\r\n";
  out += indent + "  </object>\r\n";
  out += indent + "<ul>\r\n";
  AppendChmPage(out, level + 1, entry);
  if (step.is_last) {
    AppendChmClosings(out, level, 1);
  } else if (level >= step.next) {
    AppendChmClosings(out, level, step.next);
  }
}

// --- Tree-view contents page ---

struct TreePicture {
  std::string_view file;
  std::string_view alt;
};

constexpr TreePicture kVertical = {"quillark_tree_V.png", "Vertical"};
constexpr TreePicture kSpace = {"quillark_tree_S.png", "Space"};
constexpr TreePicture kTShape = {"quillark_tree_T.png", "T-shape"};
constexpr TreePicture kLShape = {"quillark_tree_L.png", "L-shape"};

// Whether the branch at `level` goes on below heading `index`: the first
// later heading at that level or above sits exactly at it.
bool BranchContinues(const std::vector<ContentsEntry>& entries, std::size_t index, int level) {
  for (std::size_t later = index + 1; later < entries.size(); ++later) {
    if (entries[later].level <= level) return entries[later].level == level;
  }
  return false;
}

void AppendTreeRow(std::string& out, const std::vector<ContentsEntry>& entries,
                   const ContentsStep& step, int depth, const TreePicture& connector,
                   std::string_view entry_lines) {
  out += "<tr><td>\r\n";
  if (depth >= 2) {
    out += "  ";
    for (int column = 2; column < depth; ++column) {
      const TreePicture& picture =
          BranchContinues(entries, step.index, column) ? kVertical : kSpace;
      out += TreeImage(picture.file, picture.alt);
    }
    out += TreeImage(connector.file, connector.alt) + "\r\n";
  }
  out += entry_lines;
  out += "</td></tr>\r\n\r\n";
}

// The image link ends its line with "</a" and the next line starts with its
// ">", so no white space stands between the image and the text.
std::string DocumentLines(std::string_view image, const ContentsEntry& entry) {
  const std::string href = "<a href=\"" + entry.topic + ".html\">";
  return "  " + href + TreeImage(image, "Open Document") + "</a\r\n  >&nbsp;" + href + entry.text +
         "</a>\r\n";
}

void AppendHtmlEntry(std::string& out, const std::vector<ContentsEntry>& entries,
                     const ContentsStep& step) {
  const ContentsEntry& entry = entries[step.index];
  const int level = step.level;
  if (step.is_book) {
    const TreePicture& book_connector =
        BranchContinues(entries, step.index, level) ? kTShape : kLShape;
    AppendTreeRow(
        out, entries, step, level, book_connector,
        "  " + TreeImage("quillark_book_open.png", "Book") + "\r\n  &nbsp;" + entry.text + "\r\n");
    AppendTreeRow(out, entries, step, level + 1, level < step.next ? kTShape : kLShape,
                  DocumentLines("quillark_file_document_H.png", entry));
    return;
  }
  const TreePicture& connector = (level == step.next && !step.is_last) ? kTShape : kLShape;
  const std::string_view image =
      level >= 2 ? "quillark_file_document_H.png" : "quillark_file_document.png";
  AppendTreeRow(out, entries, step, level, connector, DocumentLines(image, entry));
}

// --- Heads and ends ---

std::string ContentsHead(OutputFormat format, const WriterState& writer,
                         const FrameFileNames& names, std::string_view first_topic) {
  switch (format) {
    case OutputFormat::kHlp:
      return ":Base " + runtime::BaseName(names.contents) + "\r\n:Title " + writer.caption + "\r\n";
    case OutputFormat::kChm:
      return HtmlPageHead(writer, "", "", "", "", "") +
             "<object type=\"text/site properties\">\r\n"
             "  <param name=\"Window Styles\" value=\"0x800022\">\r\n"
             "  <param name=\"Font\" value=\"" +
             FontName(writer, "CONTENTS") + "," + std::to_string(FontSize(writer, "CONTENTS")) +
             ",0\">\r\n"
             "</object>\r\n"
             "<ul>\r\n";
    case OutputFormat::kHtml:
      return HtmlPageHead(writer, names.style_sheet, writer.caption + " - Contents", "", "", "") +
             ButtonBar(names.contents, names.index, "", first_topic, "", writer.button_website,
                       writer.button_caption) +
             "\r\n"
             "<h1>Table of Contents</h1>\r\n"
             "<table class=\"treeview\">\r\n"
             "\r\n";
    default:
      return {};
  }
}

std::string_view ContentsEnd(OutputFormat format) {
  switch (format) {
    case OutputFormat::kChm:
      return "</ul>\r\n</body>\r\n</html>\r\n\r\n";
    case OutputFormat::kHtml:
      return "</table>\r\n\r\n</body>\r\n</html>\r\n\r\n";
    default:
      return {};
  }
}

}  // namespace

void WriteContents(OutputFormat format, const WriterState& writer, const FrameFileNames& names,
                   const TopicTable& topics, const HeadingTable& headings) {
  if (format == OutputFormat::kNone || names.contents.empty()) return;
  if (format == OutputFormat::kRtf) {
    WriteFrameFile(names.contents, kRtfContentsField);
    return;
  }
  const int first = TopicOrder(topics).First();
  const std::string first_topic = first == kNotFound ? "" : EntryAt(topics, first).name;

  const std::vector<ContentsEntry> entries = CollectEntries(format, topics, headings);
  std::string out = ContentsHead(format, writer, names, first_topic);
  int written_level = 1;  // P: the level of the entry written last
  for (std::size_t i = 0; i < entries.size(); ++i) {
    ContentsStep step;
    step.index = i;
    step.level = entries[i].level;
    step.is_last = i + 1 == entries.size();
    step.next = step.is_last ? step.level : entries[i + 1].level;
    step.is_book = step.level < step.next || step.level < written_level;
    switch (format) {
      case OutputFormat::kHlp:
        AppendHlpEntry(out, step, entries[i]);
        break;
      case OutputFormat::kChm:
        AppendChmEntry(out, step, entries[i]);
        break;
      case OutputFormat::kHtml:
        AppendHtmlEntry(out, entries, step);
        break;
      default:
        break;
    }
    written_level = step.is_book ? step.level + 1 : step.level;
  }
  out += ContentsEnd(format);
  WriteFrameFile(names.contents, out);
}

}  // namespace quillark
