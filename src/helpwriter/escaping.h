// Values from the command line and the source (captions, titles, keywords,
// web addresses) written into pages, projects, contents and index files, made
// safe for each file's syntax: a value can end nothing it is written into.
#ifndef QUILLARK_HELPWRITER_ESCAPING_H_
#define QUILLARK_HELPWRITER_ESCAPING_H_

#include <string>
#include <string_view>

namespace quillark {

// "&", "<", ">" and '"' as character references: text of a page or the
// value of an attribute in double quotes.
std::string HtmlEscaped(std::string_view text);

// A web address inside an attribute in double quotes: a '"' becomes "%22".
std::string AttributeAddress(std::string_view address);
// The same, appended to `out`.
void AppendAttributeAddress(std::string& out, std::string_view address);

// A file name as a link or image address in a page: "%", "?", "#" and '"'
// would be read as an escape, a query, a fragment or the attribute's end, so
// they are written as "%25", "%3F", "%23" and "%22". Every other character
// stays as it is.
std::string UrlFileName(std::string_view name);
// The file name UrlFileName wrote.
std::string FileNameOfUrl(std::string_view url);

// Text inside "<!-- ... -->": every "--" becomes "- -", so the comment ends
// only where the page ends it.
std::string HtmlCommentText(std::string_view text);

// Text inside "/* ... */": every "*/" becomes "* /".
std::string CssCommentText(std::string_view text);

// Text inside a script string in double or single quotes: "\", the quotes
// and "<" (which could begin "</script>") are escaped.
std::string ScriptStringText(std::string_view text);

// A field of an HTML Help project's window line, in double quotes, which
// that syntax cannot escape: a '"' inside becomes "'".
std::string ProjectQuoted(std::string_view text);

}  // namespace quillark

#endif  // QUILLARK_HELPWRITER_ESCAPING_H_
