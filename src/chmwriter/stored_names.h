// The names files get inside a compiled help file: the project's names in
// one form ("images/quill.bmp", "/" between folders), what may be stored,
// and how a link in a page leads to another stored file.
#ifndef QUILLARK_CHMWRITER_STORED_NAMES_H_
#define QUILLARK_CHMWRITER_STORED_NAMES_H_

#include <optional>
#include <string>
#include <string_view>

namespace quillark::chm {

// "\" becomes "/", surrounding blanks, empty and "." folders go, and a folder
// followed by ".." cancels out. A name that leaves the project's folder keeps
// its leading "..", a full path its leading "/".
std::string NormalizeName(std::string_view written);

// Why a normalized name cannot be stored, or an empty text when it can: only
// printable ASCII (the directory's sort order and every reader agree on it),
// at most 255 bytes, inside the project's folder, and not in the form the
// help file's own names take ("#...", "$...", or with a ":").
std::string CheckStoredName(std::string_view name);

// The stored name a link written in the file `from` (a stored name) leads
// to, or nothing for links that leave the help file: web and other scheme
// addresses, full paths, anchors within the page, and names outside the
// project's folder. An anchor or query after the name is dropped and %XX
// escapes are decoded.
std::optional<std::string> ResolveReference(std::string_view from, std::string_view reference);

}  // namespace quillark::chm

#endif  // QUILLARK_CHMWRITER_STORED_NAMES_H_
