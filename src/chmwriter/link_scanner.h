// The links in a page, contents or index file, or style sheet, by which the
// files a page shows (style sheet, pictures) come into the help file without
// the project listing them.
#ifndef QUILLARK_CHMWRITER_LINK_SCANNER_H_
#define QUILLARK_CHMWRITER_LINK_SCANNER_H_

#include <string>
#include <string_view>
#include <vector>

namespace quillark::chm {

enum class LinkSource { kNone, kPage, kStyleSheet };

// What a stored file is scanned as, by its extension: .htm, .html, .xhtml,
// .hhc and .hhk are pages, .css a style sheet; other files hold no links.
LinkSource LinkSourceOf(std::string_view name);

// The link texts as written, in order: the src, href and background
// attributes of tags and the value of <param name="Local"> in pages (not
// inside comments or scripts), the url(...) values of a style sheet.
std::vector<std::string> FindLinks(std::string_view text, LinkSource source);

}  // namespace quillark::chm

#endif  // QUILLARK_CHMWRITER_LINK_SCANNER_H_
