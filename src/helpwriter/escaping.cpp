#include "helpwriter/escaping.h"

namespace quillark {

namespace {

// `text` with every `from` replaced by `to`.
std::string Replaced(std::string_view text, std::string_view from, std::string_view to) {
  std::string result;
  result.reserve(text.size());
  std::size_t start = 0;
  for (std::size_t at = text.find(from); at != std::string_view::npos;
       at = text.find(from, start)) {
    result.append(text.substr(start, at - start)).append(to);
    // "---" holds two "--" that overlap: the second starts at the last "-".
    start = at + from.size();
    if (from == "--" && start < text.size() && text[start] == '-') {
      result.pop_back();
      start -= 1;
    }
  }
  result.append(text.substr(start));
  return result;
}

}  // namespace

std::string HtmlEscaped(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

std::string AttributeAddress(std::string_view address) {
  std::string result;
  result.reserve(address.size());
  AppendAttributeAddress(result, address);
  return result;
}

void AppendAttributeAddress(std::string& out, std::string_view address) {
  for (std::size_t quote = address.find('"'); quote != std::string_view::npos;
       quote = address.find('"')) {
    out.append(address.substr(0, quote)).append("%22");
    address.remove_prefix(quote + 1);
  }
  out.append(address);
}

std::string UrlFileName(std::string_view name) {
  std::string url;
  url.reserve(name.size());
  for (char c : name) {
    switch (c) {
      case '%':
        url += "%25";
        break;
      case '?':
        url += "%3F";
        break;
      case '#':
        url += "%23";
        break;
      case '"':
        url += "%22";
        break;
      default:
        url += c;
    }
  }
  return url;
}

std::string FileNameOfUrl(std::string_view url) {
  std::string name;
  name.reserve(url.size());
  for (std::size_t i = 0; i < url.size(); ++i) {
    const std::string_view code = url.substr(i, 3);
    if (code == "%25" || code == "%3F" || code == "%23" || code == "%22") {
      name += code == "%25" ? '%' : code == "%3F" ? '?' : code == "%23" ? '#' : '"';
      i += 2;
    } else {
      name += url[i];
    }
  }
  return name;
}

std::string HtmlCommentText(std::string_view text) { return Replaced(text, "--", "- -"); }

std::string CssCommentText(std::string_view text) { return Replaced(text, "*/", "* /"); }

std::string ScriptStringText(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '\\':
        escaped += "\\\\";
        break;
      case '"':
        escaped += "\\\"";
        break;
      case '\'':
        escaped += "\\'";
        break;
      case '<':
        escaped += "\\x3C";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

std::string ProjectQuoted(std::string_view text) {
  std::string quoted;
  quoted.reserve(text.size() + 2);
  quoted += '"';
  for (char c : text) quoted += c == '"' ? '\'' : c;
  quoted += '"';
  return quoted;
}

}  // namespace quillark
