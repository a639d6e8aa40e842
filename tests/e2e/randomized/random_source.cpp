#include "e2e/randomized/random_source.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>

namespace quillark::e2e {

std::uint64_t Random::Next() {
  state_ += 0x9E3779B97F4A7C15ULL;
  std::uint64_t z = state_;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

int Random::Below(int n) {
  if (n <= 0) return 0;
  return static_cast<int>(Next() % static_cast<std::uint64_t>(n));
}

int Random::Between(int low, int high) { return low + Below(high - low + 1); }

std::uint64_t SourceSeed(std::uint64_t seed, int number) {
  Random mix(seed * 0x100000001B3ULL + static_cast<std::uint64_t>(number));
  mix.Next();
  return mix.Next();
}

namespace {

void PutLittle(std::string& out, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace

std::string Bitmap(int width, int height, int bits, int shade) {
  const int colours = bits <= 8 ? 1 << bits : 0;
  const int row_bytes = (width * bits + 31) / 32 * 4;
  std::string pixels;
  for (int y = 0; y < height; ++y) {
    std::string row(static_cast<std::size_t>(row_bytes), '\0');
    for (int x = 0; x < width; ++x) {
      const int value = (x * 7 + y * 3 + shade) & 0xFF;
      if (bits == 24) {
        row[static_cast<std::size_t>(x * 3)] = static_cast<char>(value);
        row[static_cast<std::size_t>(x * 3 + 1)] = static_cast<char>(255 - value);
        row[static_cast<std::size_t>(x * 3 + 2)] = static_cast<char>(shade);
      } else {
        const int index = value % colours;
        const int bit = x * bits;
        row[static_cast<std::size_t>(bit / 8)] |= static_cast<char>(index << (8 - bits - bit % 8));
      }
    }
    pixels += row;
  }
  std::string palette;
  for (int i = 0; i < colours; ++i) {
    const int level = colours > 1 ? i * 255 / (colours - 1) : 0;
    palette += static_cast<char>(level);
    palette += static_cast<char>((level + shade) & 0xFF);
    palette += static_cast<char>(255 - level);
    palette += '\0';
  }
  const std::uint64_t offset = 14 + 40 + palette.size();
  std::string out = "BM";
  PutLittle(out, offset + pixels.size(), 4);
  PutLittle(out, 0, 4);
  PutLittle(out, offset, 4);
  PutLittle(out, 40, 4);
  PutLittle(out, static_cast<std::uint64_t>(width), 4);
  PutLittle(out, static_cast<std::uint64_t>(height), 4);
  PutLittle(out, 1, 2);
  PutLittle(out, static_cast<std::uint64_t>(bits), 2);
  PutLittle(out, 0, 4);
  PutLittle(out, pixels.size(), 4);
  PutLittle(out, 2835, 4);
  PutLittle(out, 2835, 4);
  PutLittle(out, static_cast<std::uint64_t>(colours), 4);
  PutLittle(out, 0, 4);
  return out + palette + pixels;
}

namespace {

const std::vector<std::string> kWords = {
    "the",  "help",   "system", "shows", "each",     "page",    "with",  "a",    "title",
    "and",  "some",   "text",   "that",  "explains", "how",     "to",    "use",  "this",
    "part", "of",     "window", "when",  "you",      "open",    "it",    "for",  "first",
    "time", "values", "are",    "kept",  "until",    "changed", "again", "list", "report"};
// Text that every writer has to escape or convert: RTF control characters,
// HTML entities, quotes, a less-than sign that starts no tag.
const std::vector<std::string> kOddWords = {
    "&",        "3 < 5", "a > b",   "\"quoted\"", "'single'",   "{braces}",
    "C:\\data", "50%",   "~tilde",  "#1",         "x^2",        "a|b",
    "[list]",   "\\par", "at@home", "$5",         "snake_case", "semi;colon",
    "(round)",  "<<",    "a<b",     "1/2",        "*star*",     "`tick`"};
const std::vector<std::string> kNameWords = {
    "Getting started", "Printing setup", "Reports & totals", "Keys (F1-F12)",
    "Window layout",   "Saving files",   "Import/export",    "Filters",
    "Network drives",  "Colour schemes", "Shortcuts",        "What's new"};
const std::vector<std::string> kColours = {
    "<clr_black/>",      "<clr_dark_red/>",      "<clr_dark_green/>",  "<clr_dark_yellow/>",
    "<clr_dark_blue/>",  "<clr_dark_magenta/>",  "<clr_dark_cyan/>",   "<clr_light_grey/>",
    "<clr_dark_grey/>",  "<clr_light_red/>",     "<clr_light_green/>", "<clr_light_yellow/>",
    "<clr_light_blue/>", "<clr_light_magenta/>", "<clr_light_cyan/>",  "<clr_white/>"};
const std::vector<std::string> kKeywordWords = {
    "Printing", "setup", "C++", "page-up", "v1.2", "files/folders", "#define", "snake_case"};

// The 78 tags of the vocabulary, for the hostile mutations.
const std::vector<std::string>& AllTags() {
  static const std::vector<std::string> tags = [] {
    const std::string table =
        "<blob/> <bold> </bold> <clr_none/> <clr_black/> <clr_dark_red/> <clr_dark_green/> "
        "<clr_dark_yellow/> <clr_dark_blue/> <clr_dark_magenta/> <clr_dark_cyan/> "
        "<clr_light_grey/> <clr_dark_grey/> <clr_light_red/> <clr_light_green/> "
        "<clr_light_yellow/> <clr_light_blue/> <clr_light_magenta/> <clr_light_cyan/> "
        "<clr_white/> <code> </code> <comment> </comment> <diagrams> </diagrams> "
        "<diagrams_center> </diagrams_center> <endtopic/> <example> </example> <head1> </head1> "
        "<head2> </head2> <head3> </head3> <head4> </head4> <head5> </head5> <head6> </head6> "
        "<hline/> <img_center> </img_center> <img_left> </img_left> <italic> </italic> "
        "<jump_popup> </jump_popup> <jump_topic> </jump_topic> <jump_web> </jump_web> <keyword> "
        "</keyword> <null/> <page/> <passthrough> </passthrough> <popup> </popup> "
        "<popup_include> </popup_include> <replace> </replace> <subscript> </subscript> <syntax> "
        "</syntax> <topic> </topic> <topic_include> </topic_include> <underline> </underline> ";
    std::vector<std::string> split;
    for (std::size_t p = 0, end; p < table.size(); p = end + 1) {
      end = table.find(' ', p);
      split.push_back(table.substr(p, end - p));
    }
    return split;
  }();
  return tags;
}

std::string UpperIdentifier(std::string_view name) {
  std::string key;
  for (char c : name) {
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    const bool digit = c >= '0' && c <= '9';
    key += letter ? static_cast<char>(c >= 'a' ? c - 32 : c) : (digit || c == '_' ? c : '_');
  }
  return key;
}

struct TopicPlan {
  std::string name;  // as written in the source
  std::string key;
  bool popup = false;
  int level = 0;  // title heading level, 0 for none
};

// Builds a source that compiles with no report at all: unique topic names and
// titles, the first title at level 1, jumps only to topics of their own kind,
// no examples or popup jumps in popups, files that exist, balanced tags.
class WellFormedBuilder {
 public:
  WellFormedBuilder(Random& rng, std::uint64_t seed) : rng_(rng) {
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "zq%06x", static_cast<unsigned>(seed & 0xFFFFFF));
    prefix_ = prefix;
  }

  GeneratedSource Build();

 private:
  struct Macro {
    std::string name;
    std::string word;
    std::vector<std::string> callers;  // keys of the topics that call it
  };
  struct Borrowed {
    std::string old_name;
    std::size_t topic;  // index into topics_
    std::string from;   // replaced by `to` in the borrowed body
    std::string to;
  };

  std::string NewWord();
  std::string NewMarker(const std::string& page_key, unsigned shown_in = kAllWritten);
  std::string Sentence(int words);
  std::string JumpText(const TopicPlan& target);
  std::string Picture();
  std::string PassthroughFile(const std::string& page_key);
  void AddBody(const TopicPlan& topic, std::vector<std::string>& lines);
  void AddBlock(const TopicPlan& topic, std::vector<std::string>& lines);
  void PlanIncludes();
  void EmitIncludes(std::vector<std::string>& lines);
  std::string JoinLines(const std::vector<std::string>& lines);

  Random& rng_;
  std::string prefix_;
  int marker_count_ = 0;
  GeneratedSource source_;
  std::vector<TopicPlan> topics_;
  std::vector<Macro> macros_;
  std::vector<Borrowed> borrowed_;
  std::vector<std::string> pictures_;
  int passthrough_count_ = 0;
  int heading_count_ = 0;
};

// Fixed-length words, so that no marker is part of another.
std::string WellFormedBuilder::NewWord() {
  char word[32];
  std::snprintf(word, sizeof word, "%sm%03d", prefix_.c_str(), marker_count_++);
  return word;
}

std::string WellFormedBuilder::NewMarker(const std::string& page_key, unsigned shown_in) {
  std::string word = NewWord();
  source_.markers.push_back(Marker{word, page_key, shown_in});
  return word;
}

std::string WellFormedBuilder::Sentence(int words) {
  std::string text;
  for (int i = 0; i < words; ++i) {
    if (i > 0) text += rng_.OneIn(12) ? "\t" : " ";
    text += rng_.OneIn(5) ? rng_.Pick(kOddWords) : rng_.Pick(kWords);
  }
  return text + ".";
}

// The link text of a jump: the target's name as written, or another spelling
// with the same identifier form.
std::string WellFormedBuilder::JumpText(const TopicPlan& target) {
  std::string text = target.name;
  switch (rng_.Below(3)) {
    case 0:
      for (char& c : text) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
      break;
    case 1:
      for (char& c : text) c = c == ' ' ? '_' : c;
      break;
    default:
      break;
  }
  return text;
}

std::string WellFormedBuilder::Picture() {
  if (pictures_.empty() || (pictures_.size() < 3 && rng_.OneIn(3))) {
    const std::string name = "pic" + std::to_string(pictures_.size() + 1) + ".bmp";
    static const std::array<int, 4> kBits = {1, 4, 8, 24};
    source_.files.push_back(
        {name, Bitmap(rng_.Between(1, 48), rng_.Between(1, 40),
                      kBits[static_cast<std::size_t>(rng_.Below(4))], rng_.Below(256))});
    pictures_.push_back(name);
  }
  return rng_.Pick(pictures_);
}

// A passed-through file holds plain words, which are the same text in Rich
// Text and in HTML, and a marker that must reach the topic's output.
std::string WellFormedBuilder::PassthroughFile(const std::string& page_key) {
  const std::string name = "pass" + std::to_string(++passthrough_count_) + ".txt";
  source_.files.push_back({name, "passed " + NewMarker(page_key) + " through"});
  return name;
}

void WellFormedBuilder::AddBlock(const TopicPlan& topic, std::vector<std::string>& lines) {
  static const std::vector<std::pair<std::string, std::string>> kBlocks = {
      {"<code>", "</code>"},
      {"<syntax>", "</syntax>"},
      {"<diagrams>", "</diagrams>"},
      {"<diagrams_center>", "</diagrams_center>"},
      {"<example>", "</example>"}};
  const int choices = topic.popup ? 4 : 5;  // a popup holds no example block
  const auto& [open, close] = kBlocks[static_cast<std::size_t>(rng_.Below(choices))];
  lines.push_back(open);
  const int count = rng_.Between(1, 4);
  for (int i = 0; i < count; ++i) {
    std::string line = std::string(static_cast<std::size_t>(rng_.Below(4)), ' ');
    line += rng_.OneIn(3) ? "if (a < b && c > d) { x = \"y\"; }\t// " : "";
    line += Sentence(rng_.Between(1, 6));
    if (i == 0) line += " " + NewMarker(topic.key);
    lines.push_back(line);
  }
  if (rng_.OneIn(3)) {
    lines.back() += close;  // a block may end on its last text line
  } else {
    lines.push_back(close);
  }
}

void WellFormedBuilder::AddBody(const TopicPlan& topic, std::vector<std::string>& lines) {
  // The marker that says the topic's text reached its page.
  lines.push_back(Sentence(rng_.Between(2, 8)) + " " + NewMarker(topic.key) + " " +
                  Sentence(rng_.Between(0, 5)));
  const int items = rng_.Between(1, 8);
  for (int item = 0; item < items; ++item) {
    switch (rng_.Below(17)) {
      case 0:
        lines.push_back("");
        lines.push_back(Sentence(rng_.Between(3, 20)));
        break;
      case 1:
        lines.push_back("<bold>" + Sentence(2) + "</bold> <italic>" + Sentence(2) +
                        "</italic> <underline>" + Sentence(1) + "</underline> H<subscript>2" +
                        "</subscript>O <bold><italic>" + NewMarker(topic.key) + "</italic></bold>");
        break;
      case 2:
        lines.push_back(rng_.Pick(kColours) + Sentence(3) + " " + NewMarker(topic.key) +
                        "<clr_none/> " + Sentence(2));
        break;
      case 3:
        for (int i = rng_.Between(1, 4); i > 0; --i) lines.push_back("<blob/> " + Sentence(4));
        break;
      case 4:
        lines.push_back("<hline/>");
        break;
      case 5: {
        std::string keyword = rng_.Pick(kKeywordWords);
        if (rng_.OneIn(2)) keyword += " " + rng_.Pick(kKeywordWords);
        lines.push_back("See the <keyword>" + keyword + "</keyword> " + Sentence(2));
        break;
      }
      case 6: {
        std::vector<const TopicPlan*> targets;
        for (const TopicPlan& t : topics_) {
          if (!t.popup) targets.push_back(&t);
        }
        lines.push_back("Go to <jump_topic>" + JumpText(*rng_.Pick(targets)) + "</jump_topic>" +
                        (rng_.OneIn(2) ? " or <bold><jump_topic>" + JumpText(*rng_.Pick(targets)) +
                                             "</jump_topic></bold>"
                                       : std::string()) +
                        ".");
        break;
      }
      case 7: {
        std::vector<const TopicPlan*> popups;
        for (const TopicPlan& t : topics_) {
          if (t.popup) popups.push_back(&t);
        }
        if (topic.popup || popups.empty()) break;
        lines.push_back("A note: <jump_popup>" + JumpText(*rng_.Pick(popups)) + "</jump_popup>.");
        break;
      }
      case 8:
        lines.push_back(
            "Web: <jump_web>" +
            std::string(rng_.OneIn(2) ? "www.example.com/a?b=1&c=2" : "http://example.org/x_y") +
            "</jump_web> " + Sentence(2));
        break;
      case 9:
        if (rng_.OneIn(2)) {
          lines.push_back("<img_center>" + Picture() + "</img_center>");
        } else if (rng_.OneIn(2)) {
          lines.push_back("Inline <img_left>" + Picture() + "</img_left> " + Sentence(3));
        } else {
          lines.push_back("Two <img_left>" + Picture() + "</img_left> and <img_center>" +
                          Picture() + "</img_center> pictures.");
        }
        break;
      case 10: {
        // Any number of passed-through files on a line, and a tab beside one.
        std::string line = "Here: <passthrough>" + PassthroughFile(topic.key) + "</passthrough>";
        if (rng_.OneIn(3))
          line += " and <passthrough>" + PassthroughFile(topic.key) + "</passthrough>";
        if (rng_.OneIn(4)) line += "\tafter a tab";
        lines.push_back(line + ".");
        break;
      }
      case 11:
      case 12:
        AddBlock(topic, lines);
        break;
      case 13:
        lines.push_back("<comment>");
        lines.push_back("Hidden " + NewMarker(topic.key, 0) + " text.");
        lines.push_back("</comment>");
        break;
      case 14:
        if (topic.level > 0 && topic.level < 6) {
          const int level = rng_.Between(topic.level + 1, 6);
          lines.push_back("<head" + std::to_string(level) + ">Part " +
                          std::to_string(++heading_count_) + "</head" + std::to_string(level) +
                          ">");
        }
        break;
      case 15:
        if (!macros_.empty()) {
          Macro& macro =
              macros_[static_cast<std::size_t>(rng_.Below(static_cast<int>(macros_.size())))];
          lines.push_back("Macro: <" + macro.name + "/> done.");
          macro.callers.push_back(topic.key);
        }
        break;
      default:
        lines.push_back("Nothing<null/>between and a tab\there " + Sentence(3));
        break;
    }
  }
}

// Topics borrowed from another file (one of them a popup), each with a
// replacement in its borrowed body; jumps may lead to them.
void WellFormedBuilder::PlanIncludes() {
  source_.traits += " includes";
  const int count = rng_.Between(1, 3);
  for (int i = 1; i <= count; ++i) {
    TopicPlan plan;
    plan.popup = i == 3;
    plan.name = "BORROWED_" + std::to_string(i);
    plan.key = plan.name;
    plan.level = plan.popup ? 0 : 2;
    topics_.push_back(plan);
    borrowed_.push_back({"Old_" + std::to_string(i), topics_.size() - 1, "", ""});
  }
}

void WellFormedBuilder::EmitIncludes(std::vector<std::string>& lines) {
  if (borrowed_.empty()) return;
  std::string other = "Topics to borrow.\r\n";
  for (Borrowed& item : borrowed_) {
    const TopicPlan& topic = topics_[item.topic];
    item.from = NewMarker(topic.key, 0);
    item.to = NewMarker(topic.key);
    other += (topic.popup ? "<popup>" : "<topic>") + item.old_name +
             (topic.popup ? "</popup>\r\n" : "</topic>\r\n");
    if (!topic.popup) other += "<head2>Borrowed title " + topic.name + "</head2>\r\n";
    other += "Borrowed text " + NewMarker(topic.key) + " and " + item.from + " here.\r\n";
    other += "<endtopic/>\r\n";
    const std::string tag = topic.popup ? "popup_include>" : "topic_include>";
    lines.push_back("<" + tag + "\"more.txt\", " + item.old_name + ", " + topic.name + "</" + tag);
    lines.push_back("<replace>\"" + item.from + "\", \"" + item.to + "\"</replace>");
    if (rng_.OneIn(2)) lines.push_back("Own text " + NewMarker(topic.key) + ".");
    lines.push_back("<endtopic/>");
  }
  source_.files.push_back({"more.txt", other});
}

std::string WellFormedBuilder::JoinLines(const std::vector<std::string>& lines) {
  // LF, CR LF, a mix of both, CR alone, or all three mixed.
  const int style = rng_.Below(100);
  const int kind = style < 40 ? 0 : style < 75 ? 1 : style < 85 ? 2 : style < 93 ? 3 : 4;
  static const char* const kNames[] = {"LF", "CRLF", "LF+CRLF", "CR", "LF+CRLF+CR"};
  source_.traits += std::string(" line-ends=") + kNames[kind];
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    text += lines[i];
    if (i + 1 == lines.size() && rng_.OneIn(6)) break;  // no line end after the last line
    int end = kind;
    if (kind == 2) end = rng_.Below(2);
    if (kind == 4) end = rng_.Below(3) == 2 ? 3 : rng_.Below(2);
    text += end == 0 ? "\n" : end == 1 ? "\r\n" : "\r";
  }
  return text;
}

GeneratedSource WellFormedBuilder::Build() {
  source_.well_formed = true;
  source_.traits = "well-formed";
  static const std::vector<std::string> kInputNames = {"book",    "book",    "book",   "book",
                                                       "my book", "Guide_2", "b.o.o.k"};
  source_.name = rng_.Pick(kInputNames);

  const int normal = rng_.Between(1, 8);
  const int popups = rng_.Between(0, 3);
  for (int i = 0; i < normal + popups; ++i) {
    TopicPlan plan;
    plan.popup = i > 0 && rng_.Below(normal + popups) < popups;
    plan.name =
        (plan.popup ? std::string("Note") : rng_.Pick(kNameWords)) + " " + std::to_string(i + 1);
    plan.key = UpperIdentifier(plan.name);
    if (plan.popup) {
      plan.level = rng_.OneIn(2) ? 3 : 0;
    } else {
      plan.level = i == 0 ? 1 : (rng_.OneIn(6) ? 0 : rng_.Between(1, 4));
    }
    topics_.push_back(plan);
  }
  const std::size_t own_topics = topics_.size();
  if (rng_.OneIn(3)) PlanIncludes();

  std::vector<std::string> lines;
  lines.push_back("Generated source " + prefix_ + ". Text before the first topic " +
                  NewMarker("", 0) + " produces nothing.");
  if (rng_.OneIn(2)) {
    source_.traits += " macros";
    const int count = rng_.Between(1, 3);
    for (int i = 0; i < count; ++i) {
      Macro macro{"zqmac" + std::to_string(i), NewWord(), {}};
      lines.push_back("<define " + macro.name + "=macro text " + macro.word + "/>");
      macros_.push_back(macro);
    }
  }
  for (std::size_t i = 0; i < own_topics; ++i) {
    const TopicPlan& topic = topics_[i];
    lines.push_back(std::string(topic.popup ? "<popup>" : "<topic>") + topic.name +
                    (topic.popup ? "</popup>" : "</topic>") +
                    (rng_.OneIn(4) ? " ignored " + NewMarker(topic.key, 0) : std::string()));
    if (topic.level > 0) {
      const std::string level = std::to_string(topic.level);
      lines.push_back("<head" + level + ">Title " + std::to_string(++heading_count_) + " of " +
                      topic.name + "</head" + level + ">");
    }
    if (i == 0 && rng_.OneIn(3)) {
      // Text kept for one format only, chosen by the pre-processor.
      lines.push_back(
          "<ifeq <format/>=HTML/>Only web " + NewMarker(topic.key, kHtmlBit) + "<else/>Not web " +
          NewMarker(topic.key, kAllWritten & ~static_cast<unsigned>(kHtmlBit)) + "<endif/>");
    }
    AddBody(topic, lines);
    lines.push_back("<endtopic/>" +
                    (rng_.OneIn(4) ? " after the end " + NewMarker("", 0) : std::string()));
    if (rng_.OneIn(3)) lines.push_back("Between topics " + NewMarker("", 0) + ".");
  }
  EmitIncludes(lines);
  // A macro's text reaches the page of every topic that calls it, and no
  // output at all when nothing calls it.
  for (const Macro& macro : macros_) {
    if (macro.callers.empty()) source_.markers.push_back({macro.word, "", 0});
    for (const std::string& key : macro.callers) source_.markers.push_back({macro.word, key});
  }
  source_.text = JoinLines(lines);
  return source_;
}

// Positions of the recognised tags in a text.
std::vector<std::pair<std::size_t, std::size_t>> TagsIn(const std::string& text) {
  std::vector<std::pair<std::size_t, std::size_t>> found;
  for (std::size_t p = text.find('<'); p != std::string::npos; p = text.find('<', p + 1)) {
    for (const std::string& tag : AllTags()) {
      if (text.compare(p, tag.size(), tag) == 0) {
        found.emplace_back(p, tag.size());
        break;
      }
    }
  }
  return found;
}

std::size_t LineStartAt(const std::string& text, std::size_t position) {
  const std::size_t end = text.rfind('\n', position == 0 ? 0 : position - 1);
  return end == std::string::npos || position == 0 ? 0 : end + 1;
}

std::string Repeat(const std::string& piece, std::size_t count) {
  std::string text;
  for (std::size_t i = 0; i < count; ++i) text += piece;
  return text;
}

std::string Letters(Random& rng, std::size_t count) {
  std::string text;
  for (std::size_t i = 0; i < count; ++i) {
    text += static_cast<char>(rng.OneIn(9) ? ' ' : 'a' + rng.Below(26));
  }
  return text;
}

// Turns a well-formed source into a hostile one: each mutation leaves what
// it did in the traits.
class HostileMutator {
 public:
  HostileMutator(Random& rng, GeneratedSource& source) : rng_(rng), source_(source) {}
  void Apply(int kind);

 private:
  void Note(const std::string& what) { source_.traits += " " + what; }
  void InsertAt(std::size_t position, const std::string& piece) {
    source_.text.insert(std::min(position, source_.text.size()), piece);
  }
  std::size_t AnyPosition() {
    return static_cast<std::size_t>(rng_.Below(static_cast<int>(source_.text.size()) + 1));
  }
  // The start of a random line, where whole lines go in.
  std::size_t LinePosition() { return LineStartAt(source_.text, AnyPosition()); }
  void InsertLine(const std::string& line) { InsertAt(LinePosition(), line + "\n"); }
  void SetFile(const std::string& path, const std::string& bytes, bool directory = false);
  std::string FileName();

  void CutEnd();
  void CutTag();
  void StrayClosers();
  void DropTags();
  void DeepNesting();
  void HugeArgument();
  void BrokenFiles();
  void BinaryBytes();
  void LineEnds();
  void PreprocessorTrouble();
  void TableFlood();
  void StructureChaos();
  void IncludeChaos();
  void PassthroughChaos();
  void TagSoup();
  void ShuffleLines();
  void OpenAtEnd();

  Random& rng_;
  GeneratedSource& source_;
};

void HostileMutator::SetFile(const std::string& path, const std::string& bytes, bool directory) {
  for (SideFile& file : source_.files) {
    if (file.path == path) {
      file = {path, bytes, directory};
      return;
    }
  }
  source_.files.push_back({path, bytes, directory});
}

// A file name for an image, passthrough or include pair: present, missing,
// a folder, empty, outside the folder, overlong, odd.
std::string HostileMutator::FileName() {
  const std::vector<std::string> names = {
      "missing.bmp",
      "sub",
      ".",
      "..",
      "../sibling.txt",
      "/nonexistent/folder/x.bmp",
      "empty.bmp",
      "noextension",
      std::string(static_cast<std::size_t>(rng_.Between(250, 300)), 'n') + ".bmp",
      "a\\b.bmp",
      "odd name, with \"quotes\".txt",
      source_.name + ".txt",
      "/dev/null",
      "garbage.bmp"};
  return rng_.Pick(names);
}

void HostileMutator::CutEnd() {
  Note("cut-end");
  source_.text.resize(static_cast<std::size_t>(rng_.Below(static_cast<int>(source_.text.size()))));
}

void HostileMutator::CutTag() {
  const auto tags = TagsIn(source_.text);
  if (tags.empty()) return;
  Note("cut-tag");
  for (int n = rng_.Between(1, 4); n > 0; --n) {
    const auto& [position, length] =
        tags[static_cast<std::size_t>(rng_.Below(static_cast<int>(tags.size())))];
    if (position + length > source_.text.size()) continue;
    const std::size_t keep =
        static_cast<std::size_t>(rng_.Between(1, static_cast<int>(length) - 1));
    if (rng_.OneIn(3)) {
      source_.text.resize(position + keep);  // the file ends inside the tag
      return;
    }
    source_.text.erase(position + keep, length - keep);
  }
}

void HostileMutator::StrayClosers() {
  Note("stray-closers");
  for (int n = rng_.Between(1, 8); n > 0; --n) {
    std::string tag = rng_.Pick(AllTags());
    if (tag[1] != '/' && tag.back() == '>' && tag[tag.size() - 2] != '/') tag.insert(1, "/");
    if (rng_.OneIn(4)) {
      source_.text += tag;
    } else {
      InsertAt(AnyPosition(), tag);
    }
  }
}

void HostileMutator::DropTags() {
  const auto tags = TagsIn(source_.text);
  if (tags.empty()) return;
  Note("dropped-tags");
  std::vector<std::pair<std::size_t, std::size_t>> chosen;
  for (int n = rng_.Between(1, 6); n > 0; --n) {
    chosen.push_back(tags[static_cast<std::size_t>(rng_.Below(static_cast<int>(tags.size())))]);
  }
  std::sort(chosen.rbegin(), chosen.rend());
  chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
  for (const auto& [position, length] : chosen) source_.text.erase(position, length);
}

void HostileMutator::DeepNesting() {
  Note("deep-nesting");
  static const std::vector<std::string> kOpeners = {
      "<bold>",  "<italic>",     "<underline>", "<subscript>",  "<head1>",
      "<head4>", "<jump_topic>", "<keyword>",   "<img_left>",   "<comment>",
      "<code>",  "<example>",    "<topic>",     "<passthrough>"};
  // Near and over the length of a line.
  static const std::vector<int> kCounts = {40, 300, 1300, 1365, 1366, 2000, 5000};
  switch (rng_.Below(4)) {
    case 0:
      InsertLine(Repeat(rng_.Pick(kOpeners), static_cast<std::size_t>(rng_.Pick(kCounts))));
      break;
    case 1: {
      std::string line;
      for (int n = rng_.Pick(kCounts); n > 0; --n) line += rng_.Pick(kOpeners);
      InsertLine(line);
      break;
    }
    case 2: {
      // Blocks and formatting opened on many lines and never closed.
      std::string lines;
      for (int n = rng_.Between(50, 600); n > 0; --n) lines += rng_.Pick(kOpeners) + "x\n";
      InsertAt(LinePosition(), lines);
      break;
    }
    default: {
      std::string opening;
      std::string closing;
      for (int n = rng_.Between(20, 700); n > 0; --n) {
        const std::string tag = rng_.Pick(kOpeners);
        opening += tag;
        closing.insert(0, "</" + tag.substr(1));
      }
      InsertLine(opening + "deep" + closing);
      break;
    }
  }
}

void HostileMutator::HugeArgument() {
  static const std::vector<std::string> kPairs = {
      "jump_topic",  "jump_popup", "jump_web", "keyword", "img_left",     "img_center",
      "passthrough", "topic",      "popup",    "replace", "topic_include"};
  const int length =
      rng_.OneIn(3)
          ? rng_.Between(250, 260)
          : rng_.Pick(std::vector<int>{1, 39, 40, 41, 42, 254, 255, 256, 257, 1024, 8200});
  Note("huge-argument(" + std::to_string(length) + ")");
  switch (rng_.Below(5)) {
    case 0: {
      const std::string pair = rng_.Pick(kPairs);
      InsertLine("Text <" + pair + ">" + Letters(rng_, static_cast<std::size_t>(length)) + "</" +
                 pair + "> after.");
      break;
    }
    case 1: {
      const std::string level = std::to_string(rng_.Between(1, 6));
      InsertLine("<head" + level + ">" + Letters(rng_, static_cast<std::size_t>(length)) +
                 "</head" + level + ">");
      break;
    }
    case 2:
      InsertLine("<topic>" + std::string(static_cast<std::size_t>(length), 'T') +
                 "</topic>\n<head2>Long name</head2>\nBody.\n<endtopic/>");
      break;
    case 3: {
      // A line of exactly 8190 to 8194 bytes with its line end.
      const int size = rng_.Between(8189, 8193);
      InsertAt(LinePosition(), std::string(static_cast<std::size_t>(size), 'L') + "\n");
      break;
    }
    default: {
      // A pair running over many lines.
      std::string lines = "<jump_topic>";
      for (int n = length / 20 + 1; n > 0; --n) lines += Letters(rng_, 20) + "\n";
      InsertAt(LinePosition(), lines + "</jump_topic>\n");
      break;
    }
  }
}

void HostileMutator::BrokenFiles() {
  Note("broken-files");
  SetFile("empty.bmp", "");
  SetFile("garbage.bmp", "BM" + Letters(rng_, static_cast<std::size_t>(rng_.Between(0, 200))));
  std::string bitmap = Bitmap(rng_.Between(1, 30), rng_.Between(1, 30), 24, 9);
  switch (rng_.Below(4)) {
    case 0:  // cut short
      bitmap.resize(static_cast<std::size_t>(rng_.Below(static_cast<int>(bitmap.size()))));
      break;
    case 1:  // a header claiming a huge picture
      bitmap[18] = '\x60';
      bitmap[19] = '\xEA';
      bitmap[22] = '\x60';
      bitmap[23] = '\xEA';
      break;
    case 2:  // zero width, negative height
      bitmap[18] = bitmap[19] = bitmap[20] = bitmap[21] = 0;
      bitmap[25] = '\xFF';
      break;
    default:  // an unknown depth and compression
      bitmap[28] = static_cast<char>(rng_.Pick(std::vector<int>{0, 2, 3, 7, 16, 32, 64}));
      bitmap[30] = static_cast<char>(rng_.Below(6));
      break;
  }
  SetFile("bad.bmp", bitmap);
  // Files that the well-formed source names go missing or change kind.
  for (SideFile& file : source_.files) {
    if (file.path == "empty.bmp" || file.path == "garbage.bmp" || file.path == "bad.bmp") continue;
    switch (rng_.Below(5)) {
      case 0:
        file.path = "gone_" + file.path;
        break;
      case 1:
        file.bytes.clear();
        break;
      case 2:
        file.directory = true;
        break;
      default:
        break;
    }
  }
  static const std::vector<std::string> kTags = {"img_left", "img_center", "passthrough"};
  for (int n = rng_.Between(1, 6); n > 0; --n) {
    const std::string tag = rng_.Pick(kTags);
    const std::string name = rng_.OneIn(3) ? std::string("bad.bmp") : FileName();
    InsertAt(AnyPosition(), "<" + tag + ">" + name + "</" + tag + ">");
  }
}

void HostileMutator::BinaryBytes() {
  Note("binary-bytes");
  if (rng_.OneIn(3)) {
    std::string block;
    for (int n = rng_.Between(16, 2048); n > 0; --n) block += static_cast<char>(rng_.Below(256));
    InsertAt(AnyPosition(), block);
    return;
  }
  for (int n = rng_.Between(1, 40); n > 0; --n) {
    static const std::string kNasty = std::string("\0\x1A\x7F\x80\x9B\xE0\xFF\x08\x0B\x0C\t", 11);
    const char byte =
        rng_.OneIn(2)
            ? kNasty[static_cast<std::size_t>(rng_.Below(static_cast<int>(kNasty.size())))]
            : static_cast<char>(rng_.Below(256));
    InsertAt(AnyPosition(), std::string(1, byte));
  }
}

void HostileMutator::LineEnds() {
  const int kind = rng_.Below(3);
  Note(kind == 0 ? "cr-only" : kind == 1 ? "mixed-line-ends" : "lone-cr");
  std::string text;
  for (std::size_t i = 0; i < source_.text.size(); ++i) {
    const char c = source_.text[i];
    if (c == '\r' && i + 1 < source_.text.size() && source_.text[i + 1] == '\n') continue;
    if (c != '\n') {
      text += c;
      if (kind == 2 && rng_.OneIn(40)) text += '\r';
      continue;
    }
    const int end = kind == 0 ? 2 : rng_.Below(3);
    text += end == 0 ? "\n" : end == 1 ? "\r\n" : "\r";
  }
  source_.text = text;
}

void HostileMutator::PreprocessorTrouble() {
  Note("pre-processor");
  switch (rng_.Below(9)) {
    case 0:
      InsertLine("<define zr=<zr/>/>\n<zr/>");
      break;
    case 1:
      InsertLine("<ifeq a=b/>never closed");
      break;
    case 2:
      InsertLine("<endif/><else/>");
      break;
    case 3:
      InsertLine("<include missing_file.txt/>");
      break;
    case 4:
      InsertLine("<include " + source_.name + ".txt/>");
      break;
    case 5:
      InsertLine("<error stop here/>");
      break;
    case 6:
      InsertLine(
          "<define zbig=" + std::string(static_cast<std::size_t>(rng_.Between(8000, 9000)), 'x') +
          "/>\n<zbig/>");
      break;
    case 7:
      InsertLine("<define zx=#1#1#1#1/>\n<zx <zx <zx <zx abc/>/>/>/>");
      break;
    default:
      source_.text += "<define";
      break;
  }
}

void HostileMutator::TableFlood() {
  Note("table-flood");
  std::string lines;
  switch (rng_.Below(4)) {
    case 0:  // more topics than the table holds
      for (int n = 0; n < 3001; ++n)
        lines += "<topic>F" + std::to_string(n) + "</topic>\n<endtopic/>\n";
      break;
    case 1:
      lines = "<topic>Flood</topic>\n";
      for (int n = 0; n < 3001; ++n) lines += "<keyword>k" + std::to_string(n) + "</keyword>\n";
      lines += "<endtopic/>\n";
      break;
    case 2:
      lines = "<topic>Flood</topic>\n";
      for (int n = 0; n < 3001; ++n)
        lines += "<jump_topic>nowhere" + std::to_string(n) + "</jump_topic>\n";
      lines += "<endtopic/>\n";
      break;
    default:
      lines = "<topic>Flood</topic>\n";
      for (int n = 0; n < 3001; ++n)
        lines += "<img_left>p" + std::to_string(n) + ".bmp</img_left>\n";
      lines += "<endtopic/>\n";
      break;
  }
  InsertAt(LinePosition(), lines);
}

void HostileMutator::StructureChaos() {
  Note("structure");
  static const std::vector<std::string> kPieces = {
      "<topic>Inner</topic>",
      "<endtopic/>",
      "<popup>Mixed</topic>",
      "<topic>Dup</topic>\n<endtopic/>\n<topic>Dup</topic>",
      "<topic>2nd</topic>",
      "<topic></topic>",
      "<topic>!!!</topic>",
      "<head1>Mismatch</head3>",
      "<head2>Open",
      "</topic>Name</topic>",
      "<topic>Lower</topic>\n<head1>Lower</head1>\n<endtopic/>",
      "<example>\n<code>",
      "<jump_topic>x<topic>y</topic>",
      "<keyword>a<endtopic/>",
      "<comment>",
      "<replace>\"a\", \"b\"</replace>",
      "<head1></head1>",
      "<topic>" + std::string(41, 'n') + "</topic>",
      "<popup>P</popup>\n<example>\nx\n</example>\n<jump_popup>P</jump_popup>\n<endtopic/>"};
  for (int n = rng_.Between(1, 5); n > 0; --n) InsertLine(rng_.Pick(kPieces));
}

void HostileMutator::IncludeChaos() {
  Note("includes");
  SetFile(
      "inc.txt",
      "<topic>Old</topic>\n<head3>Inc</head3>\n<comment>\n<topic_include>\"inc.txt\", Old, "
      "Deeper</topic_include>\n</comment>\nbody old "
      "<passthrough>inc.txt</passthrough>\n<endtopic/>\n<popup>PopOld</popup>\nx\n<endtopic/>\n");
  static const std::vector<std::string> kPieces = {
      "<topic_include>inc.txt, Old, New1</topic_include>",
      "<topic_include>\"inc.txt\", Old, New2</topic_include>\n<replace>\"*\", \"x\", -5, 99999, "
      "7</replace>\n<replace>\"o*\", \"\"</replace>\n<replace>\"{\", \"}\", 0, 0, "
      "3</replace>\n<endtopic/>",
      "<topic_include>\"missing.txt\", Old, New3</topic_include>\n<endtopic/>",
      "<topic_include>\"inc.txt\", Nothing, New4</topic_include>\n<endtopic/>",
      "<topic_include>\"inc.txt\", Old, 9bad</topic_include>",
      "<topic_include>\"inc.txt\", , </topic_include>",
      "<popup_include>\"inc.txt\", PopOld, NewPop</popup_include>\n<replace>\"x\", "
      "\"<bold>\"</replace>\n<endtopic/>",
      "<topic_include>\"" + source_.name + ".txt\", Old, Self</topic_include>\n<endtopic/>",
      "<topic_include>\"inc.txt\", Old, Deeper</topic_include>\n<endtopic/>",
      "<replace>\"" + std::string(300, 'r') + "\", \"s\"</replace>",
      "<topic_include>\"inc.txt\", Old, " + std::string(45, 'N') + "</topic_include>\n<endtopic/>"};
  for (int n = rng_.Between(1, 4); n > 0; --n) InsertLine(rng_.Pick(kPieces));
}

void HostileMutator::PassthroughChaos() {
  Note("passthrough");
  SetFile("tabs.txt", "a\tb\t\tc\nline two\r\n\t");
  SetFile("binary.dat", std::string("\0\x01\xFF\t\r\n<topic>x</topic>", 22));
  static const std::vector<std::string> kPieces = {
      "<passthrough>tabs.txt</passthrough><passthrough>tabs.txt</"
      "passthrough><passthrough>binary.dat</passthrough>",
      "a\ttab <passthrough>tabs.txt</passthrough> and\tmore",
      "<passthrough>binary.dat</passthrough>",
      "<passthrough>" + source_.name + ".txt</passthrough>",
      "<passthrough>sub</passthrough>",
      "<passthrough>tabs.txt",
      "</passthrough>tabs.txt</passthrough>",
      "<code>\n\tx\t<passthrough>tabs.txt</passthrough>\t\n</code>"};
  for (int n = rng_.Between(1, 4); n > 0; --n) InsertLine(rng_.Pick(kPieces));
}

void HostileMutator::TagSoup() {
  Note("tag-soup");
  for (int lines = rng_.Between(1, 30); lines > 0; --lines) {
    std::string line;
    for (int n = rng_.Between(1, 12); n > 0; --n) {
      line += rng_.OneIn(2) ? rng_.Pick(AllTags()) : rng_.Pick(kWords) + " ";
    }
    InsertLine(line);
  }
}

void HostileMutator::ShuffleLines() {
  Note("shuffled-lines");
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < source_.text.size()) {
    std::size_t end = source_.text.find('\n', start);
    end = end == std::string::npos ? source_.text.size() : end + 1;
    lines.push_back(source_.text.substr(start, end - start));
    start = end;
  }
  if (lines.size() < 2) return;
  for (int n = rng_.Between(1, 10); n > 0; --n) {
    std::swap(lines[static_cast<std::size_t>(rng_.Below(static_cast<int>(lines.size())))],
              lines[static_cast<std::size_t>(rng_.Below(static_cast<int>(lines.size())))]);
  }
  source_.text.clear();
  for (const std::string& line : lines) source_.text += line;
}

// The file ends inside a topic, a block, a pair or a heading.
void HostileMutator::OpenAtEnd() {
  Note("open-at-end");
  static const std::vector<std::string> kEndings = {
      "<topic>Last</topic>\n<head2>Last</head2>\ntext",
      "<topic>Last</topic>\n<example>\nexample text",
      "<topic>Last</topic>\n<head3>Last</head3>\n<example>\nx\n</example>\n<example>\ny\n",
      "<topic>Last</topic>\n<code>\ncode",
      "<topic>Last</topic>\n<diagrams_center>\n+--+",
      "<topic>Last</topic>\ntext <jump_topic>unfinished",
      "<topic>Last</topic>\n<bold><italic>open formatting",
      "<topic>Last</topic>\n<comment>\nhidden",
      "<topic>Last</topic>\n<head1>open heading",
      "<popup>Last popup</popup>\n<example>\nx",
      "<topic_include>\"inc.txt\", Old, Tail</topic_include>\n<replace>\"a\", \"b\"",
      "<topic>Unnamed"};
  // Sometimes the last topic of the source loses its end as well.
  if (rng_.OneIn(2)) {
    const std::size_t end = source_.text.rfind("<endtopic/>");
    if (end != std::string::npos) source_.text.erase(end, 11);
  }
  if (!source_.text.empty() && source_.text.back() != '\n') source_.text += '\n';
  source_.text += rng_.Pick(kEndings);
  if (rng_.OneIn(2)) source_.text += '\n';
}

void HostileMutator::Apply(int kind) {
  using Mutation = void (*)(HostileMutator&);
  static constexpr Mutation kMutations[] = {[](HostileMutator& m) { m.CutEnd(); },
                                            [](HostileMutator& m) { m.CutTag(); },
                                            [](HostileMutator& m) { m.StrayClosers(); },
                                            [](HostileMutator& m) { m.DropTags(); },
                                            [](HostileMutator& m) { m.DeepNesting(); },
                                            [](HostileMutator& m) { m.HugeArgument(); },
                                            [](HostileMutator& m) { m.BrokenFiles(); },
                                            [](HostileMutator& m) { m.BinaryBytes(); },
                                            [](HostileMutator& m) { m.LineEnds(); },
                                            [](HostileMutator& m) { m.PreprocessorTrouble(); },
                                            [](HostileMutator& m) { m.TableFlood(); },
                                            [](HostileMutator& m) { m.StructureChaos(); },
                                            [](HostileMutator& m) { m.IncludeChaos(); },
                                            [](HostileMutator& m) { m.PassthroughChaos(); },
                                            [](HostileMutator& m) { m.TagSoup(); },
                                            [](HostileMutator& m) { m.OpenAtEnd(); },
                                            [](HostileMutator& m) { m.ShuffleLines(); }};
  kMutations[kind](*this);
}

constexpr int kMutationKinds = 17;  // the entries of kMutations
constexpr int kTableFlood = 10;

}  // namespace

GeneratedSource GenerateSource(std::uint64_t source_seed) {
  Random rng(source_seed);
  const bool hostile = rng.Percent(70);
  WellFormedBuilder builder(rng, source_seed);
  GeneratedSource source = builder.Build();
  if (!hostile) return source;
  source.well_formed = false;
  source.markers.clear();
  source.traits = "hostile:";
  HostileMutator mutator(rng, source);
  // Flooding the tables makes a big source: now and then only.
  for (int n = rng.Between(1, 4); n > 0; --n) {
    int kind = rng.Below(kMutationKinds);
    if (kind == kTableFlood && !rng.OneIn(8)) kind = kTableFlood + 4;  // tag soup instead
    mutator.Apply(kind);
  }
  // An empty source is refused before any pass runs; keep a byte.
  if (source.text.empty()) source.text = "<";
  if (rng.OneIn(40)) {
    static const std::vector<std::string> kOddNames = {"*", "b?ok", "it\"s", "a\\b", "x*"};
    source.name = rng.Pick(kOddNames);
    source.traits += " name=" + source.name;
  }
  return source;
}

}  // namespace quillark::e2e
