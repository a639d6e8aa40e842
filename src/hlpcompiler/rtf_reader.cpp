#include "hlpcompiler/rtf_reader.h"

#include <algorithm>
#include <array>
#include <map>
#include <unordered_set>

#include "hlpcompiler/rtf_tokenizer.h"

namespace quillark::hlpc {
namespace {

constexpr std::size_t kDeepestGroup = 1000;
constexpr std::int32_t kDefaultHalfPoints = 24;
constexpr std::size_t kLongestPictureReference = 512;

enum class Destination { kBody, kFootnote, kFontTable, kColourTable, kSkip };

struct CharState {
  std::int32_t font = 0;
  std::int32_t half_points = kDefaultHalfPoints;
  std::uint8_t attributes = 0;
  std::int32_t colour = 0;
  bool hidden = false;
};

struct GroupState {
  CharState chars;
  Destination destination = Destination::kBody;
  std::int32_t skip_after_unicode = 1;
};

struct FontEntry {
  std::string face;
  FontFamily family = FontFamily::kSwiss;
};

struct Colour {
  std::uint8_t red = 0, green = 0, blue = 0;
};

std::string_view Trim(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != prefix[i]) return false;
  }
  return true;
}

// Destinations whose content is never text of a topic.
bool IsSkippedDestination(std::string_view word) {
  static const std::unordered_set<std::string_view> kSkipped = {"stylesheet",
                                                                "info",
                                                                "pict",
                                                                "header",
                                                                "footer",
                                                                "headerl",
                                                                "headerr",
                                                                "headerf",
                                                                "footerl",
                                                                "footerr",
                                                                "footerf",
                                                                "fldinst",
                                                                "xe",
                                                                "tc",
                                                                "object",
                                                                "listtable",
                                                                "listoverridetable",
                                                                "revtbl",
                                                                "rsidtbl",
                                                                "generator",
                                                                "themedata",
                                                                "colorschememapping",
                                                                "latentstyles",
                                                                "datastore",
                                                                "xmlnstbl",
                                                                "filetbl",
                                                                "txe",
                                                                "bkmkstart",
                                                                "bkmkend",
                                                                "private",
                                                                "nonshppict",
                                                                "shppict",
                                                                "template",
                                                                "comment"};
  return kSkipped.count(word) > 0;
}

// Words that shape only a printed page or the document's bookkeeping: known,
// and without effect on a help file.
bool IsQuietWord(std::string_view word) {
  static const std::unordered_set<std::string_view> kQuiet = {"rtf",
                                                              "ansi",
                                                              "mac",
                                                              "pc",
                                                              "pca",
                                                              "ansicpg",
                                                              "deff",
                                                              "deflang",
                                                              "deflangfe",
                                                              "noproof",
                                                              "paperw",
                                                              "paperh",
                                                              "margl",
                                                              "margr",
                                                              "margt",
                                                              "margb",
                                                              "sectd",
                                                              "titlepg",
                                                              "lang",
                                                              "langfe",
                                                              "langnp",
                                                              "widowctrl",
                                                              "fcharset",
                                                              "fprq",
                                                              "cb",
                                                              "highlight",
                                                              "nosupersub",
                                                              "sub",
                                                              "super",
                                                              "up",
                                                              "dn",
                                                              "kerning",
                                                              "expnd",
                                                              "expndtw",
                                                              "charscalex",
                                                              "field",
                                                              "fldrslt",
                                                              "column",
                                                              "sect",
                                                              "s",
                                                              "cs",
                                                              "ls",
                                                              "ilvl",
                                                              "nowidctlpar",
                                                              "hyphpar",
                                                              "outlinelevel",
                                                              "itap",
                                                              "adjustright",
                                                              "rtlch",
                                                              "ltrch",
                                                              "loch",
                                                              "hich",
                                                              "dbch",
                                                              "af",
                                                              "afs",
                                                              "insrsid",
                                                              "charrsid",
                                                              "rsid",
                                                              "pararsid",
                                                              "sectrsid",
                                                              "viewkind",
                                                              "uc",
                                                              "brsp",
                                                              "brdrs",
                                                              "brdrnone",
                                                              "nocolbal",
                                                              "aspalpha",
                                                              "aspnum",
                                                              "faauto",
                                                              "fet",
                                                              "ftnbj",
                                                              "aenddoc",
                                                              "formshade",
                                                              "horzdoc",
                                                              "dghspace",
                                                              "dgvspace",
                                                              "htmautsp",
                                                              "jexpand",
                                                              "viewscale",
                                                              "pgbrdrhead",
                                                              "pgbrdrfoot",
                                                              "splytwnine",
                                                              "ftnlytwnine",
                                                              "nolnhtadjtbl",
                                                              "useltbaln",
                                                              "alntblind",
                                                              "lytcalctblwd",
                                                              "lyttblrtgr",
                                                              "lnbrkrule",
                                                              "nobrkwrptbl",
                                                              "snaptogridincell",
                                                              "allowfieldendsel",
                                                              "wrppunct",
                                                              "asianbrkrule",
                                                              "rsidroot",
                                                              "newtblstyruls",
                                                              "nogrowautofit",
                                                              "gutter",
                                                              "linex",
                                                              "endnhere",
                                                              "pgnstarts",
                                                              "pgnrestart",
                                                              "pgndec",
                                                              "fs",
                                                              "chftn",
                                                              "v",
                                                              "ftnalt"};
  return kQuiet.count(word) > 0;
}

bool IsFixedPitchFace(std::string_view face) {
  static constexpr std::array<std::string_view, 7> kFixed = {
      "courier",  "courier new", "lucida console",        "consolas",
      "fixedsys", "terminal",    "lucida sans typewriter"};
  std::string lower(face);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return std::find(kFixed.begin(), kFixed.end(), lower) != kFixed.end();
}

FontFamily FamilyOfWord(std::string_view word) {
  if (word == "fmodern") return FontFamily::kModern;
  if (word == "froman") return FontFamily::kRoman;
  if (word == "fscript") return FontFamily::kScript;
  if (word == "fdecor") return FontFamily::kDecorative;
  return FontFamily::kSwiss;  // fswiss, fnil, ftech, fbidi
}

class TopicFileReader {
 public:
  TopicFileReader(std::string_view data, const std::string& file) : tokenizer_(data), file_(file) {
    groups_.push_back(GroupState{});
    StartTopic();
  }

  RtfReadResult Read() {
    for (Token token = tokenizer_.Next(); token.kind != TokenKind::kEnd;
         token = tokenizer_.Next()) {
      line_ = token.line;
      if (picture_pending_) {
        if (ContinuesPictureReference(token)) {
          PictureToken(token);
          continue;
        }
        FlushPictureReference();
      }
      switch (token.kind) {
        case TokenKind::kGroupOpen:
          OpenGroup();
          break;
        case TokenKind::kGroupClose:
          CloseGroup();
          break;
        case TokenKind::kControlWord:
          ControlWord(token);
          break;
        case TokenKind::kControlSymbol:
          ControlSymbol(token);
          break;
        case TokenKind::kText:
          Text(token.text);
          break;
        case TokenKind::kEnd:
          break;
      }
      if (!result_.errors.empty()) return Finish();
    }
    if (picture_pending_) FlushPictureReference();
    if (groups_.size() > 1) {
      Warn("the file ends inside " + std::to_string(groups_.size() - 1) +
           " open group(s); they are closed here");
      while (groups_.size() > 1) CloseGroup();
    }
    EndTopic();
    return Finish();
  }

 private:
  GroupState& State() { return groups_.back(); }

  void Warn(const std::string& text) { result_.warnings.push_back({file_, line_, text}); }

  RtfReadResult Finish() {
    result_.skipped_words = skipped_words_;
    return std::move(result_);
  }

  // --- groups and destinations

  void OpenGroup() {
    if (groups_.size() >= kDeepestGroup) {
      result_.errors.push_back(
          {file_, line_, "groups are nested deeper than " + std::to_string(kDeepestGroup)});
      return;
    }
    groups_.push_back(groups_.back());
  }

  void CloseGroup() {
    if (groups_.size() <= 1) {
      Warn("\"}\" without a matching \"{\" is ignored");
      return;
    }
    const GroupState closing = groups_.back();
    groups_.pop_back();
    if (closing.destination == Destination::kFontTable) EndFontEntry();
    if (closing.destination == Destination::kFootnote &&
        State().destination != Destination::kFootnote) {
      EndFootnote();
    }
    if (closing.chars.hidden && !State().chars.hidden) EndHiddenText();
  }

  void SetDestination(Destination destination) { State().destination = destination; }

  // --- control words

  void ControlWord(const Token& token) {
    const std::string& word = token.word;
    const std::int32_t value = token.parameter;
    const bool on = !token.has_parameter || value != 0;
    GroupState& state = State();
    if (state.destination == Destination::kSkip) {
      if (word == "bin" && token.has_parameter) tokenizer_.SkipBytes(value);
      return;
    }
    if (state.destination == Destination::kFontTable) {
      FontTableWord(token);
      return;
    }
    if (state.destination == Destination::kColourTable) {
      ColourTableWord(token);
      return;
    }
    CharState& chars = state.chars;
    if (word == "par") {
      EndParagraph();
    } else if (word == "page") {
      EndTopic();
      StartTopic();
    } else if (word == "line") {
      AddItem(ItemKind::kLineBreak);
    } else if (word == "tab") {
      AddItem(ItemKind::kTab);
    } else if (word == "footnote") {
      StartFootnote();
    } else if (word == "fonttbl") {
      SetDestination(Destination::kFontTable);
    } else if (word == "colortbl") {
      SetDestination(Destination::kColourTable);
      colours_.clear();
      colour_ = Colour{};
    } else if (IsSkippedDestination(word)) {
      SetDestination(Destination::kSkip);
    } else if (word == "plain") {
      chars = CharState{};
      chars.font = default_font_;
    } else if (word == "b") {
      SetAttribute(kBold, on);
    } else if (word == "i") {
      SetAttribute(kItalic, on);
    } else if (word == "ul" || word == "uld" || word == "ulw" || word == "ulth" ||
               word == "uldash") {
      SetAttribute(kUnderline, on);
    } else if (word == "uldb") {
      SetAttribute(kDoubleUnderline, on);
    } else if (word == "ulnone") {
      SetAttribute(kUnderline | kDoubleUnderline, false);
    } else if (word == "strike") {
      SetAttribute(kStrikeout, on);
    } else if (word == "scaps") {
      SetAttribute(kSmallCaps, on);
    } else if (word == "v") {
      const bool was_hidden = chars.hidden;
      chars.hidden = on;
      if (was_hidden && !on) EndHiddenText();
    } else if (word == "f") {
      chars.font = value;
    } else if (word == "fs") {
      chars.half_points = token.has_parameter ? value : kDefaultHalfPoints;
    } else if (word == "cf") {
      chars.colour = value;
    } else if (word == "deff") {
      default_font_ = value;
      chars.font = value;
    } else if (word == "u") {
      UnicodeCharacter(value);
    } else if (word == "uc") {
      state.skip_after_unicode = std::max(0, value);
    } else if (word == "bin") {
      tokenizer_.SkipBytes(value);
    } else if (!ParagraphWord(token) && !SpecialCharacter(word) && !IsQuietWord(word)) {
      ++skipped_words_;
    }
  }

  // Paragraph properties; true when the word was one of them.
  bool ParagraphWord(const Token& token) {
    const std::string& word = token.word;
    const std::int32_t value = token.parameter;
    const bool on = !token.has_parameter || value != 0;
    ParagraphFormat& format = format_;
    if (word == "pard") {
      format = ParagraphFormat{};
      pending_tab_ = TabKind::kLeft;
    } else if (word == "ql" || word == "qj") {
      format.alignment = Alignment::kLeft;
    } else if (word == "qc") {
      format.alignment = Alignment::kCentre;
    } else if (word == "qr") {
      format.alignment = Alignment::kRight;
    } else if (word == "li") {
      format.left_indent = value;
    } else if (word == "ri") {
      format.right_indent = value;
    } else if (word == "fi") {
      format.first_indent = value;
    } else if (word == "sb") {
      format.space_before = value;
    } else if (word == "sa") {
      format.space_after = value;
    } else if (word == "sl") {
      format.line_spacing = value < 0 ? -value : value;
    } else if (word == "keep") {
      format.no_wrap = on;
    } else if (word == "keepn") {
      format.non_scroll = on;
    } else if (word == "tqr" || word == "tqdec") {
      pending_tab_ = TabKind::kRight;
    } else if (word == "tqc") {
      pending_tab_ = TabKind::kCentre;
    } else if (word == "tx" || word == "tb") {
      format.tabs.push_back({value, pending_tab_});
      pending_tab_ = TabKind::kLeft;
    } else if (word == "brdrt") {
      format.border |= kBorderTop;
    } else if (word == "brdrb") {
      format.border |= kBorderBottom;
    } else if (word == "brdrl") {
      format.border |= kBorderLeft;
    } else if (word == "brdrr") {
      format.border |= kBorderRight;
    } else if (word == "box") {
      format.border |= kBorderBox;
    } else if (word == "brdrdb") {
      format.border |= kBorderDouble;
    } else if (word == "brdrth") {
      format.border |= kBorderThick;
    } else if (word == "brdrw") {
      format.border_width = value;
    } else {
      return false;
    }
    return true;
  }

  // Named characters; true when the word was one of them.
  bool SpecialCharacter(std::string_view word) {
    static const std::map<std::string_view, char> kCharacters = {
        {"lquote", '\x91'}, {"rquote", '\x92'}, {"ldblquote", '\x93'}, {"rdblquote", '\x94'},
        {"bullet", '\x95'}, {"endash", '\x96'}, {"emdash", '\x97'},    {"enspace", ' '},
        {"emspace", ' '},   {"qmspace", ' '}};
    const auto found = kCharacters.find(word);
    if (found == kCharacters.end()) return false;
    Text(std::string(1, found->second));
    return true;
  }

  void UnicodeCharacter(std::int32_t code) {
    if (code < 0) code += 65536;
    Text(std::string(1, code > 0 && code < 256 ? static_cast<char>(code) : '?'));
    skip_characters_ = State().skip_after_unicode;
  }

  void ControlSymbol(const Token& token) {
    const char symbol = token.word.empty() ? '\0' : token.word[0];
    if (State().destination == Destination::kSkip) return;
    switch (symbol) {
      case '*':
        // An optional destination this reader does not know is skipped whole.
        SetDestination(Destination::kSkip);
        return;
      case '{':
        if (State().destination == Destination::kBody && !State().chars.hidden) {
          picture_pending_ = true;
          picture_text_.clear();
          picture_line_ = token.line;
          return;
        }
        Text("{");
        return;
      case '}':
      case '\\':
        Text(std::string(1, symbol));
        return;
      case '~':
        Text("\xA0");
        return;
      case '_':
        Text("-");
        return;
      case '-':
      case '|':
      case ':':
        return;
      case '\'':
        Warn("\"\\'\" is not followed by two hexadecimal digits; ignored");
        return;
      default:
        ++skipped_words_;
        return;
    }
  }

  // --- font and colour tables

  void FontTableWord(const Token& token) {
    if (token.word == "f") {
      EndFontEntry();
      font_number_ = token.parameter;
      font_entry_ = FontEntry{};
      in_font_entry_ = true;
    } else if (token.word.size() > 1 && token.word[0] == 'f' &&
               (token.word == "fnil" || token.word == "froman" || token.word == "fswiss" ||
                token.word == "fmodern" || token.word == "fscript" || token.word == "fdecor" ||
                token.word == "ftech" || token.word == "fbidi")) {
      font_entry_.family = FamilyOfWord(token.word);
    }
  }

  void FontTableText(std::string_view text) {
    if (!in_font_entry_) return;
    for (char c : text) {
      if (c == ';') {
        EndFontEntry();
        return;
      }
      font_entry_.face.push_back(c);
    }
  }

  void EndFontEntry() {
    if (!in_font_entry_) return;
    font_entry_.face = std::string(Trim(font_entry_.face));
    // A viewer without the face picks another of its family, so a fixed-pitch
    // face is given the fixed-pitch family whatever the table says.
    if (IsFixedPitchFace(font_entry_.face)) font_entry_.family = FontFamily::kModern;
    fonts_[font_number_] = font_entry_;
    in_font_entry_ = false;
  }

  void ColourTableWord(const Token& token) {
    const auto component = static_cast<std::uint8_t>(std::clamp(token.parameter, 0, 255));
    if (token.word == "red") colour_.red = component;
    if (token.word == "green") colour_.green = component;
    if (token.word == "blue") colour_.blue = component;
  }

  void ColourTableText(std::string_view text) {
    for (char c : text) {
      if (c != ';') continue;
      colours_.push_back(colour_);
      colour_ = Colour{};
    }
  }

  // --- text

  void Text(std::string_view text) {
    while (skip_characters_ > 0 && !text.empty()) {
      text.remove_prefix(1);
      --skip_characters_;
    }
    if (text.empty()) return;
    GroupState& state = State();
    switch (state.destination) {
      case Destination::kSkip:
        return;
      case Destination::kFontTable:
        FontTableText(text);
        return;
      case Destination::kColourTable:
        ColourTableText(text);
        return;
      case Destination::kFootnote:
        if (!state.chars.hidden) footnote_text_.append(text);
        return;
      case Destination::kBody:
        break;
    }
    if (state.chars.hidden) {
      hidden_text_.append(text);
      return;
    }
    const FontSpec font = CurrentFont();
    if (!items_.empty() && items_.back().kind == ItemKind::kText && items_.back().font == font) {
      items_.back().text.append(text);
      return;
    }
    Item item;
    item.kind = ItemKind::kText;
    item.text = std::string(text);
    item.font = font;
    AddItem(std::move(item));
  }

  FontSpec CurrentFont() const {
    const CharState& chars = groups_.back().chars;
    FontSpec font;
    auto entry = fonts_.find(chars.font);
    if (entry == fonts_.end()) entry = fonts_.find(default_font_);
    if (entry != fonts_.end()) {
      font.face = entry->second.face;
      font.family = entry->second.family;
    } else {
      font.face = "Arial";
    }
    font.half_points = static_cast<std::uint8_t>(std::clamp(chars.half_points, 1, 255));
    font.attributes = chars.attributes;
    // Colour 0 is the automatic colour, which is black.
    if (chars.colour > 0 && static_cast<std::size_t>(chars.colour) < colours_.size()) {
      const Colour& colour = colours_[chars.colour];
      font.red = colour.red;
      font.green = colour.green;
      font.blue = colour.blue;
    }
    return font;
  }

  void SetAttribute(std::uint8_t bits, bool on) {
    std::uint8_t& attributes = State().chars.attributes;
    attributes = on ? static_cast<std::uint8_t>(attributes | bits)
                    : static_cast<std::uint8_t>(attributes & ~bits);
  }

  void AddItem(ItemKind kind) {
    if (State().destination != Destination::kBody || State().chars.hidden) return;
    Item item;
    item.kind = kind;
    item.font = CurrentFont();  // a line break is as high as its font
    AddItem(std::move(item));
  }

  void AddItem(Item item) {
    if (items_.empty()) paragraph_line_ = line_;
    if (topic_.line == 0) topic_.line = line_;
    items_.push_back(std::move(item));
  }

  // --- pictures: "\{bmc name\}" written into the text

  bool ContinuesPictureReference(const Token& token) const {
    if (token.kind == TokenKind::kText) return true;
    return token.kind == TokenKind::kControlSymbol && token.word == "}";
  }

  void FlushPictureReference() {
    picture_pending_ = false;
    Text("{" + picture_text_);
  }

  // Called at the "\}" that closes a picture reference.
  bool EndPictureReference() {
    std::string_view text = Trim(picture_text_);
    PictureAlign align;
    if (StartsWithNoCase(text, "bmc")) {
      align = PictureAlign::kCharacter;
    } else if (StartsWithNoCase(text, "bml")) {
      align = PictureAlign::kLeft;
    } else if (StartsWithNoCase(text, "bmr")) {
      align = PictureAlign::kRight;
    } else {
      return false;
    }
    text.remove_prefix(3);
    if (!text.empty() && (text.front() == 't' || text.front() == 'T')) text.remove_prefix(1);
    if (text.empty() || (text.front() != ' ' && text.front() != '\t')) return false;
    text = Trim(text);
    // Of several resolutions ("a.bmp;b.bmp") the first is taken.
    text = Trim(text.substr(0, text.find(';')));
    if (text.empty()) return false;
    Item item;
    item.kind = ItemKind::kPicture;
    item.text = std::string(text);
    item.align = align;
    item.font = CurrentFont();
    line_ = picture_line_;
    AddItem(std::move(item));
    return true;
  }

  // A reference collects its text up to "\}"; one that grows past any file
  // name is ordinary text after all.
  void PictureToken(const Token& token) {
    if (token.kind != TokenKind::kText) {
      PictureClose();
      return;
    }
    picture_text_ += token.text;
    if (picture_text_.size() > kLongestPictureReference) FlushPictureReference();
  }

  void PictureClose() {
    picture_pending_ = false;
    if (!EndPictureReference()) Text("{" + picture_text_ + "}");
  }

  // --- footnotes

  void StartFootnote() {
    // The footnote's mark is the character written just before it.
    footnote_mark_ = '\0';
    if (State().destination == Destination::kBody && !items_.empty() &&
        items_.back().kind == ItemKind::kText) {
      std::string& text = items_.back().text;
      footnote_mark_ = text.back();
      text.pop_back();
      if (text.empty()) items_.pop_back();
    }
    footnote_text_.clear();
    footnote_line_ = line_;
    if (topic_.line == 0) topic_.line = line_;
    SetDestination(Destination::kFootnote);
  }

  void EndFootnote() {
    std::string_view text = Trim(footnote_text_);
    char mark = footnote_mark_;
    if (mark == '\0' || mark == ' ') {
      mark = text.empty() ? '\0' : text.front();
    }
    if (!text.empty() && text.front() == mark) text.remove_prefix(1);
    text = Trim(text);
    const int saved_line = line_;
    line_ = footnote_line_;
    Footnote(mark, text);
    line_ = saved_line;
  }

  void Footnote(char mark, std::string_view text) {
    switch (mark) {
      case '#':
        if (text.empty()) {
          Warn("empty context string footnote is ignored");
        } else {
          topic_.contexts.emplace_back(text);
        }
        return;
      case '$':
        if (!topic_.title.empty()) {
          Warn("the topic has a second title \"" + std::string(text) + "\"; the first is kept");
        } else {
          topic_.title = text;
        }
        return;
      case 'K':
        while (!text.empty()) {
          const std::size_t end = text.find(';');
          const std::string_view keyword = Trim(text.substr(0, end));
          if (!keyword.empty()) topic_.keywords.emplace_back(keyword);
          if (end == std::string_view::npos) break;
          text.remove_prefix(end + 1);
        }
        return;
      case '+':
        topic_.browse = text.empty() ? "auto" : std::string(text);
        return;
      case '!':
        if (!text.empty()) topic_.macros.emplace_back(text);
        return;
      case '*':
      case '@':
      case 'A':
      case '>':
        return;  // build tags, comments, A-keywords and windows change nothing here
      default:
        Warn(std::string("footnote \"") + mark + "\" is not known; ignored");
        return;
    }
  }

  // --- hotspots: underlined text followed by hidden text

  void EndHiddenText() {
    std::string target(Trim(hidden_text_));
    hidden_text_.clear();
    if (target.empty()) return;
    const std::string written = target;
    if (target.front() == '%' || target.front() == '*') target.erase(0, 1);
    HotspotKind kind = HotspotKind::kJump;
    if (!target.empty() && target.front() == '!') {
      kind = HotspotKind::kMacro;
      target.erase(0, 1);
    } else {
      const std::size_t elsewhere = target.find_first_of(">@");
      if (elsewhere != std::string::npos) {
        Warn("jump \"" + written + "\" into another window or file is made a jump in this file");
        target.erase(elsewhere);
      }
    }
    target = std::string(Trim(target));
    constexpr std::uint8_t kLinkBits = kUnderline | kDoubleUnderline | kStrikeout;
    std::size_t first = items_.size();
    while (first > 0) {
      const Item& item = items_[first - 1];
      if (item.kind == ItemKind::kText && (item.font.attributes & kLinkBits) != 0) {
        --first;
      } else if (item.kind == ItemKind::kPicture && first < items_.size()) {
        --first;
      } else {
        break;
      }
    }
    if (first == items_.size() || target.empty()) {
      Warn("hidden text \"" + written + "\" follows no underlined hotspot text; ignored");
      return;
    }
    std::uint8_t bits = 0;
    for (std::size_t i = first; i < items_.size(); ++i) {
      if (items_[i].kind != ItemKind::kText) continue;
      bits |= items_[i].font.attributes;
      items_[i].font.attributes &= static_cast<std::uint8_t>(~kLinkBits);
    }
    if (kind != HotspotKind::kMacro) {
      kind =
          (bits & (kDoubleUnderline | kStrikeout)) != 0 ? HotspotKind::kJump : HotspotKind::kPopup;
    }
    Item start;
    start.kind = ItemKind::kHotspotStart;
    start.hotspot = kind;
    start.text = target;
    items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(first), std::move(start));
    Item end;
    end.kind = ItemKind::kHotspotEnd;
    items_.push_back(std::move(end));
  }

  // --- paragraphs and topics

  void EndParagraph() {
    if (State().destination != Destination::kBody) return;
    Paragraph paragraph;
    paragraph.format = format_;
    paragraph.line = items_.empty() ? line_ : paragraph_line_;
    paragraph.items = std::move(items_);
    items_.clear();
    topic_.paragraphs.push_back(std::move(paragraph));
  }

  // A topic's line is where its first footnote or text stands.
  void StartTopic() {
    topic_ = Topic{};
    topic_.file = file_;
  }

  void EndTopic() {
    if (!items_.empty()) EndParagraph();
    const bool has_text =
        std::any_of(topic_.paragraphs.begin(), topic_.paragraphs.end(),
                    [](const Paragraph& paragraph) { return !paragraph.items.empty(); });
    const bool has_footnotes = !topic_.contexts.empty() || !topic_.title.empty() ||
                               !topic_.keywords.empty() || !topic_.macros.empty();
    if (topic_.line == 0) topic_.line = line_;
    if (has_text || has_footnotes) result_.topics.push_back(std::move(topic_));
    topic_ = Topic{};
  }

  RtfTokenizer tokenizer_;
  std::string file_;
  RtfReadResult result_;
  std::vector<GroupState> groups_;
  int line_ = 1;
  int skipped_words_ = 0;
  std::int32_t skip_characters_ = 0;

  std::map<std::int32_t, FontEntry> fonts_;
  std::int32_t default_font_ = 0;
  std::int32_t font_number_ = 0;
  FontEntry font_entry_;
  bool in_font_entry_ = false;
  std::vector<Colour> colours_;
  Colour colour_;

  Topic topic_;
  ParagraphFormat format_;
  TabKind pending_tab_ = TabKind::kLeft;
  std::vector<Item> items_;
  int paragraph_line_ = 1;

  char footnote_mark_ = '\0';
  std::string footnote_text_;
  int footnote_line_ = 0;
  std::string hidden_text_;

  bool picture_pending_ = false;
  std::string picture_text_;
  int picture_line_ = 0;
};

}  // namespace

RtfReadResult ReadTopicFile(std::string_view data, const std::string& file) {
  std::string_view head = data.substr(0, 16);
  while (!head.empty() && (head.front() == ' ' || head.front() == '\r' || head.front() == '\n' ||
                           head.front() == '\t')) {
    head.remove_prefix(1);
  }
  if (head.substr(0, 5) != "{\\rtf") {
    RtfReadResult result;
    result.errors.push_back({file, 1, "not a Rich Text file: it does not start with \"{\\rtf\""});
    return result;
  }
  TopicFileReader reader(data, file);
  return reader.Read();
}

}  // namespace quillark::hlpc
