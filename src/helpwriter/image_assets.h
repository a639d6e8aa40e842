// The images the HTML pages need besides their own: the seven 20 by 20 pieces
// of the tree-view contents page and the background of the navigation
// buttons. They are installed with the program (beside it, or in
// ../share/quillark) and copied beside the pages of the HTML format, together
// with the topic images the pages use.
#ifndef QUILLARK_HELPWRITER_IMAGE_ASSETS_H_
#define QUILLARK_HELPWRITER_IMAGE_ASSETS_H_

#include <array>
#include <string>
#include <string_view>

#include "helpmain/report.h"
#include "helptables/help_table.h"
#include "helpwriter/writer_state.h"

namespace quillark {

inline constexpr std::array<std::string_view, 8> kImageAssets = {
    "quillark_tree_V.png",        "quillark_tree_S.png",    "quillark_tree_T.png",
    "quillark_tree_L.png",        "quillark_book_open.png", "quillark_file_document_H.png",
    "quillark_file_document.png", "quillark_button3.bmp"};

// The folder the assets are taken from, with its final separator: the folder
// of `program_path` when it holds them, else "../share/quillark" from there
// when that holds them, else the program's folder again.
std::string ImageAssetDirectory(std::string_view program_path);

// For Html, the full path of every asset, each followed by "\n", found from
// the running program's own path; empty for every other format.
std::string ImageAssetList(OutputFormat format);

// Records every path of `list` (up to its first empty line) in BitmapTab as
// copied - a full table is a fatal report in `listing` - then copies every
// BitmapTab record marked copied into the folder of `project_file` under its
// own name, unless source and copy are the same name. A picture that is not
// there is passed over; one that cannot be copied throws runtime::OutputError.
void CopyImageAssets(std::string_view list, const std::string& project_file, BitmapTable& bitmaps,
                     Listing& listing);

}  // namespace quillark

#endif  // QUILLARK_HELPWRITER_IMAGE_ASSETS_H_
