#include "helpwriter/project_files.h"

#include <cstdint>
#include <cstdio>
#include <string_view>

#include "helpwriter/escaping.h"
#include "helpwriter/frame_file.h"
#include "helpwriter/links.h"
#include "helpwriter/topic_order.h"
#include "runtime/files.h"
#include "runtime/text.h"

namespace quillark {
namespace {

constexpr std::string_view kJumpRedirector = "_jump.html";
constexpr std::string_view kExampleRedirector = "_example.html";

// The key a topic record goes by in every project line and page name.
std::string KeyOf(const TopicRecord& topic) {
  return runtime::UpperAscii(runtime::SanitizeIdent(topic.name));
}

// A topic with example blocks has its example page, unless the topic never
// ended (its page is written at the end of the topic) or its blocks were
// empty: the project names only pages that were written.
bool HasExamplePage(const std::string& folder, const TopicRecord& topic) {
  return topic.has_examples && runtime::FileExists(folder + KeyOf(topic) + "_example.xhtml");
}

// What the project files derive from the tables and the writer state before
// anything is written.
struct ProjectFacts {
  std::string first_topic;        // key of the first topic that is not a popup
  std::vector<int> source_order;  // every record, popups included
  bool has_examples = false;
  bool has_button = false;
};

ProjectFacts GatherFacts(const WriterState& writer, const TopicTable& topics) {
  ProjectFacts facts;
  const int first = TopicOrder(topics).First();
  if (first != kNotFound) facts.first_topic = KeyOf(EntryAt(topics, first));
  facts.source_order = SourceOrderRows(topics);
  for (int row = 1; row <= TableCount(topics); ++row) {
    if (EntryAt(topics, row).has_examples) facts.has_examples = true;
  }
  facts.has_button = !writer.button_caption.empty() && !writer.button_website.empty();
  return facts;
}

std::string WinHelpProject(const WriterState& writer, const std::string& topics_file,
                           const TopicTable& topics, const BitmapTable& bitmaps,
                           const ProjectFacts& facts) {
  std::string text =
      "[OPTIONS]\r\n"
      "COMPRESS=12 Hall Zeck\r\n"
      "TITLE=" +
      writer.caption +
      "\r\n"
      "WARNING=3\r\n"
      "OLDKEYPHRASE=0\r\n"
      "CONTENTS=" +
      facts.first_topic +
      "\r\n"
      "OPTCDROM=YES\r\n";
  if (!writer.copyright.empty()) text += "COPYRIGHT=" + writer.copyright + "\r\n";
  text += "\r\n";
  if (TableCount(bitmaps) > 0) {
    text += "[BITMAPS]\r\n";
    for (int row = 1; row <= TableCount(bitmaps); ++row)
      text += EntryAt(bitmaps, row).name + "\r\n";
    text += "\r\n";
  }
  text += "[FILES]\r\n" + topics_file + "\r\n\r\n";
  text +=
      "[CONFIG]\r\n"
      "BrowseButtons()\r\n"
      "RegisterRoutine(\"User.dll\",\"MessageBeep\",\"U\")\r\n"
      "RegisterRoutine(\"User.dll\",\"MessageBox\",\"USSU\")\r\n"
      "CreateButton(btnExample,\"Example\",\"\")\r\n"
      "DisableButton(btnExample)\r\n";
  if (facts.has_button) {
    text += "CreateButton(Button1,'" + writer.button_caption + "',ExecFile('" +
            writer.button_website + "','',SW_RESTORE))\r\n";
  }
  text += "\r\n[MAP]\r\n";
  int number = 0;
  for (int row : facts.source_order) {
    text += "#define " + KeyOf(EntryAt(topics, row)) + " " + std::to_string(++number) + "\r\n";
  }
  text += "\r\n";
  return text;
}

std::string Quoted(std::string_view text) { return ProjectQuoted(text); }

// The button flags of the HTML Help window: the jump button adds 40000 and
// the Example button 80000 to the fixed set.
std::string WindowButtons(const ProjectFacts& facts) {
  std::uint32_t buttons = 0x602844;
  if (facts.has_button) buttons += 0x40000;
  if (facts.has_examples) buttons += 0x80000;
  char digits[16];
  std::snprintf(digits, sizeof digits, "%X", static_cast<unsigned>(buttons));
  return digits;
}

std::string HtmlHelpProject(const WriterState& writer, const std::string& index_file,
                            const std::string& contents_file, const TopicTable& topics,
                            const ProjectFacts& facts,
                            const std::vector<std::string>& index_link_pages) {
  const std::string contents_name = runtime::FileNamePart(contents_file);
  const std::string index_name = runtime::FileNamePart(index_file);
  // A source without a topic outside popups has no page to show first: the
  // project then names none.
  const std::string home_page = facts.first_topic.empty() ? "" : facts.first_topic + ".html";
  const std::string home_field = home_page.empty() ? "" : Quoted(home_page);
  std::string text =
      "[OPTIONS]\r\n"
      "Binary TOC=Yes\r\n"
      "Compatibility=1.1 or later\r\n"
      "Compiled file=" +
      runtime::BaseName(contents_file) + ".chm\r\nContents file=" + contents_name + "\r\n";
  if (!writer.copyright.empty()) text += "Copyright=" + writer.copyright + "\r\n";
  text += "Default Font=" + FontName(writer, "TEXT") + "," +
          std::to_string(FontSize(writer, "TEXT")) + ",0\r\n";
  text += "Default Window=MainType\r\n";
  if (!home_page.empty()) text += "Default topic=" + home_page + "\r\n";
  text +=
      "Display compile progress=No\r\n"
      "Full-text search=Yes\r\n"
      "Index file=" +
      index_name +
      "\r\n"
      "Language=0x809 English (United Kingdom)\r\n"
      "\r\n";

  text += "[WINDOWS]\r\nMainType=" + Quoted(writer.caption) + "," + Quoted(contents_name) + "," +
          Quoted(index_name) + "," + home_field + "," + home_field + ",";
  text += facts.has_button ? Quoted(kJumpRedirector) + "," + Quoted(writer.button_caption) + ","
                           : std::string(",,");
  text += facts.has_examples ? Quoted(kExampleRedirector) + "," + Quoted("Example") + ","
                             : std::string(",,");
  text += "0x23420,,0x" + WindowButtons(facts) + ",,,,,,,,0\r\n\r\n";

  text += "[ALIAS]\r\n";
  for (int row : facts.source_order) {
    const std::string key = KeyOf(EntryAt(topics, row));
    text += "IDH_" + key + "=" + key + ".html\r\n";
  }
  text += "\r\n[MAP]\r\n";
  int number = 0;
  for (int row : facts.source_order) {
    text += "#define IDH_" + KeyOf(EntryAt(topics, row)) + " " + std::to_string(++number) + "\r\n";
  }
  text += "\r\n[FILES]\r\n";
  const std::string folder = runtime::DirectoryPart(index_file);
  for (int row = 1; row <= TableCount(topics); ++row) {
    const TopicRecord& topic = EntryAt(topics, row);
    const std::string key = KeyOf(topic);
    text += key + ".html\r\n";
    if (HasExamplePage(folder, topic)) text += key + "_example.xhtml\r\n";
  }
  if (facts.has_button) text += std::string(kJumpRedirector) + "\r\n";
  if (facts.has_examples) text += std::string(kExampleRedirector) + "\r\n";
  for (const std::string& page : index_link_pages) text += page + "\r\n";
  return text;
}

// Opened by the window's jump button: shows the website in a new browser
// window and returns to the topic.
std::string JumpRedirector(const WriterState& writer) {
  std::string url = writer.button_website;
  if (!NamesScheme(url)) url.insert(0, "http://");
  return "<html>\r\n<head>\r\n</head>\r\n<body>\r\n"
         "<!-- jump redirector file is automatically called by the 'Jump To Website' button "
         "-->\r\n"
         "<script language=\"javascript\">\r\n"
         "  window.open(\"" +
         ScriptStringText(url) +
         "\",\"_blank\");\r\n"
         "  window.history.back();\r\n"
         "</script>\r\n</body>\r\n</html>\r\n";
}

// Opened by the window's Example button: the topic page has set the window
// name to its key, so the redirector shows that topic's example page, or puts
// a message into the window name for the topic page to show and goes back.
std::string ExampleRedirector(const std::string& folder, const TopicTable& topics) {
  std::string text =
      "<html>\r\n<head>\r\n</head>\r\n<body>\r\n"
      "<!-- example redirector file is automatically called by the 'Example' button -->\r\n"
      "<script language=\"javascript\">\r\n"
      "  var arrExamples = [];\r\n"
      "  var i = 0;\r\n"
      "  var found = -1;\r\n";
  int number = 0;
  for (int row = 1; row <= TableCount(topics); ++row) {
    const TopicRecord& topic = EntryAt(topics, row);
    if (!HasExamplePage(folder, topic)) continue;
    text += "  arrExamples[" + std::to_string(number++) + "] = '" + KeyOf(topic) + "';\r\n";
  }
  text +=
      "  for (i=0; i<arrExamples.length; i++)\r\n"
      "  {\r\n"
      "    if (arrExamples[i].toUpperCase() == window.name.toUpperCase())\r\n"
      "    {\r\n"
      "      found = i; break;\r\n"
      "    }\r\n"
      "  }\r\n"
      "  if (found >= 0)\r\n"
      "  {\r\n"
      "    navigate(window.name + '_example.xhtml');\r\n"
      "  }\r\n"
      "  else\r\n"
      "  {\r\n"
      "    window.name = 'There is no Example code for the topic \\'' + window.name + '\\'';\r\n"
      "    history.back(1);\r\n"
      "  }\r\n"
      "</script>\r\n</body>\r\n</html>\r\n";
  return text;
}

std::string NoteFile(const WriterState& writer, std::string_view format_word) {
  return "Project file for \"" + writer.caption + "\" (" + std::string(format_word) +
         " format)\r\n\r\n";
}

// The start page sits in the folder of the pages and refers to them through
// that folder's name, so it also works from the parent folder it is moved to.
void WriteStartPage(const std::string& topics_file, const std::string& first_topic) {
  const std::string folder = runtime::DirectoryPart(topics_file);
  // The folder's whole name: "my.book/" is the folder of my.book.txt.
  std::string last;
  if (!folder.empty()) {
    last =
        UrlFileName(runtime::FileNamePart(std::string_view(folder).substr(0, folder.size() - 1)));
  }
  WriteFrameFile(folder + "_start.html",
                 "<html>\r\n<head>\r\n<meta http-equiv=\"Refresh\" content=\"1;URL=" + last + "/" +
                     first_topic +
                     ".html\" />\r\n</head>\r\n<body>\r\nLoading...\r\n</body>\r\n"
                     "</html>\r\n");
}

}  // namespace

void WriteProjectFiles(OutputFormat format, const WriterState& writer,
                       const std::string& project_file, const std::string& topics_file,
                       const std::string& index_file, const std::string& contents_file,
                       const TopicTable& topics, const BitmapTable& bitmaps,
                       const std::vector<std::string>& index_link_pages) {
  if (project_file.empty()) return;
  const ProjectFacts facts = GatherFacts(writer, topics);
  switch (format) {
    case OutputFormat::kNone:
      break;
    case OutputFormat::kHlp:
      WriteFrameFile(project_file, WinHelpProject(writer, topics_file, topics, bitmaps, facts));
      break;
    case OutputFormat::kRtf:
      WriteFrameFile(project_file, NoteFile(writer, "RTF"));
      break;
    case OutputFormat::kChm: {
      WriteFrameFile(project_file, HtmlHelpProject(writer, index_file, contents_file, topics, facts,
                                                   index_link_pages));
      const std::string folder = runtime::DirectoryPart(project_file);
      if (facts.has_button)
        WriteFrameFile(folder + std::string(kJumpRedirector), JumpRedirector(writer));
      if (facts.has_examples) {
        WriteFrameFile(folder + std::string(kExampleRedirector), ExampleRedirector(folder, topics));
      }
      break;
    }
    case OutputFormat::kHtml:
      WriteFrameFile(project_file, NoteFile(writer, "HTML"));
      // Without a first topic the start page opens the contents.
      WriteStartPage(topics_file, facts.first_topic.empty() ? runtime::BaseName(contents_file)
                                                            : facts.first_topic);
      break;
  }
}

}  // namespace quillark
