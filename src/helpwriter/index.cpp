#include "helpwriter/index.h"

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "helpwriter/escaping.h"
#include "helpwriter/frame_file.h"
#include "helpwriter/page_frame.h"
#include "helpwriter/topic_order.h"
#include "runtime/files.h"
#include "runtime/text.h"

namespace quillark {
namespace {

constexpr std::size_t kShortTextLimit = 255;
constexpr std::string_view kLinkPagePrefix = "_link_";

// One KeywordTab record as the index shows it.
struct IndexEntry {
  std::string keyword;
  std::string target;  // page (and anchor) the entry leads to; empty without keyword or topic
  std::string label;   // the keyword, or "{keyword} (in topic {Title})"
  int occurrences = 1;
  int position = 1;  // 1 for the first record of a group of equal keywords
  char letter = 0;
};

// First character and every character after a space upper case, the rest
// lower case.
std::string TitleCase(std::string_view text) {
  std::string result;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool starts_word = i == 0 || text[i - 1] == ' ';
    result += starts_word ? runtime::UpperAscii(text[i]) : runtime::LowerAscii(text[i]);
  }
  return result;
}

std::vector<IndexEntry> CollectEntries(const KeywordTable& keywords) {
  std::vector<IndexEntry> entries;
  const int count = TableCount(keywords);
  for (int row = 1; row <= count; ++row) {
    const KeywordRecord& record = EntryAt(keywords, row);
    IndexEntry entry;
    entry.keyword = record.name;
    const bool is_title = record.is_topic_title;
    // Topic pages are named by the upper-case topic key.
    const std::string page = runtime::UpperAscii(runtime::SanitizeIdent(record.topic)) + ".html";
    if (!record.name.empty() && !record.topic.empty()) {
      entry.target = is_title ? page : page + "#" + runtime::SanitizeIdent(record.name);
    }
    entry.label =
        is_title ? record.name : record.name + " (in topic " + TitleCase(record.topic) + ")";
    entry.occurrences = CountByName(keywords, record.name);
    if (!entries.empty() && runtime::EqualsNoCase(entries.back().keyword, record.name)) {
      entry.position = entries.back().position + 1;
    }
    entry.letter = record.name.empty() ? '\0' : runtime::UpperAscii(record.name.front());
    entries.push_back(std::move(entry));
  }
  return entries;
}

// The page that forwards to one occurrence of a keyword; the help viewer
// offers the titles of a keyword's link pages for choice.
std::string LinkPageText(const IndexEntry& entry) {
  return runtime::Truncate("<html>\r\n<head>\r\n<title>" + HtmlEscaped(entry.label) +
                               "</title>\r\n</head>\r\n<body>\r\n"
                               "<script type=\"text/javascript\">\r\n"
                               "navigate(\"" +
                               entry.target + "\");\r\n</script>\r\n</body>\r\n</html>\r\n",
                           kShortTextLimit);
}

std::string ChmIndex(const WriterState& writer, const FrameFileNames& names,
                     const std::vector<IndexEntry>& entries, std::vector<std::string>& link_pages,
                     runtime::OutputFiles* run_files) {
  std::string out = HtmlPageHead(writer, "", "", "", "", "");
  out += "<object type=\"text/site properties\">\r\n";
  out += "  <param name=\"Font\" value=\"" + FontName(writer, "CONTENTS") + "," +
         std::to_string(FontSize(writer, "CONTENTS")) + ",0\">\r\n";
  out += "</object>\r\n<ul>\r\n";
  const std::string folder = runtime::DirectoryPart(names.index);
  for (const IndexEntry& entry : entries) {
    out += "  <li> <object type=\"text/sitemap\">\r\n";
    out += "    <param name=\"Name\" value=\"" + HtmlEscaped(entry.keyword) + "\">\r\n";
    if (entry.occurrences == 1) {
      out += "    <param name=\"Local\" value=\"" + entry.target + "\">\r\n";
    } else {
      const std::string link_page = std::string(kLinkPagePrefix) +
                                    runtime::SanitizeIdent(entry.keyword) + "_" +
                                    std::to_string(entry.position) + ".html";
      out += "    <param name=\"Local\" value=\"" + link_page + "\">\r\n";
      // A page of the same name from an earlier entry gets this one added at its end.
      const std::string path = runtime::JoinPath(folder, link_page);
      if (run_files != nullptr) {
        run_files->AppendNow(path, LinkPageText(entry));
      } else {
        AppendFrameFile(path, LinkPageText(entry));
      }
      link_pages.push_back(link_page);
    }
    out += "  </object>\r\n";
  }
  out += "</ul>\r\n</body>\r\n</html>\r\n\r\n";
  return out;
}

std::string HtmlIndex(const WriterState& writer, const FrameFileNames& names,
                      const std::vector<IndexEntry>& entries, std::string_view last_topic) {
  std::string out =
      HtmlPageHead(writer, names.style_sheet, writer.caption + " - Index", "", "", "");
  out += ButtonBar(names.contents, names.index, last_topic, "", "", writer.button_website,
                   writer.button_caption);
  out += "\r\n<h1>Index</h1>\r\n";

  // The bar adds a letter whenever it differs from the one added last.
  std::string letter_bar;
  for (const IndexEntry& entry : entries) {
    if (letter_bar.empty() || letter_bar.back() != entry.letter) letter_bar += entry.letter;
  }
  out += "<b>";
  for (char letter : letter_bar) {
    const std::string c = HtmlEscaped(std::string(1, letter));
    out += "<a href=\"#" + c + "\">" + c + "</a> ";
  }
  out += "</b><br/>\r\n";

  std::string seen;
  for (const IndexEntry& entry : entries) {
    if (seen.find(entry.letter) == std::string::npos) {
      const std::string c = HtmlEscaped(std::string(1, entry.letter));
      out += "<br/>\r\n<b>- <a name=\"" + c + "\">" + c + " -</b><br/>\r\n";
      seen += entry.letter;
    }
    const std::string& text = entry.occurrences == 1 ? entry.keyword : entry.label;
    out += runtime::Truncate("<a href=\"" + entry.target + "\">" + HtmlEscaped(text) + "</a><br/>",
                             kShortTextLimit) +
           "\r\n";
  }
  out += "</body>\r\n</html>\r\n\r\n";
  return out;
}

}  // namespace

std::vector<std::string> WriteIndex(OutputFormat format, const WriterState& writer,
                                    const FrameFileNames& names, const KeywordTable& keywords,
                                    const TopicTable& topics, runtime::OutputFiles* run_files) {
  std::vector<std::string> link_pages;
  if (names.index.empty()) return link_pages;
  switch (format) {
    case OutputFormat::kRtf:
      WriteFrameFile(names.index, kRtfIndexField);
      break;
    case OutputFormat::kChm:
      WriteFrameFile(names.index,
                     ChmIndex(writer, names, CollectEntries(keywords), link_pages, run_files));
      break;
    case OutputFormat::kHtml: {
      const int last = TopicOrder(topics).Last();
      const std::string last_topic = last == kNotFound ? "" : EntryAt(topics, last).name;
      WriteFrameFile(names.index, HtmlIndex(writer, names, CollectEntries(keywords), last_topic));
      break;
    }
    default:
      break;
  }
  return link_pages;
}

bool IsIndexLinkPage(std::string_view path) {
  return path.substr(runtime::DirectoryPart(path).size()).starts_with(kLinkPagePrefix);
}

}  // namespace quillark
