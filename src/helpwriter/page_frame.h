// The shared fragments of every HTML page: the page head, the navigation
// button bar and its cells, the tree-view image tag and the generator text.
// The page writers choose the arguments and write the results as they are.
#ifndef QUILLARK_HELPWRITER_PAGE_FRAME_H_
#define QUILLARK_HELPWRITER_PAGE_FRAME_H_

#include <string>
#include <string_view>

#include "helpwriter/writer_state.h"

namespace quillark {

// Every button cell is 84 by 32.
inline constexpr std::string_view kButtonCellPrefix =
    "<td width=\"84\" height=\"32\" nowrap=\"nowrap\" class=\"buttons\">";
inline constexpr std::string_view kButtonCellSuffix = "</td>\r\n";

// The program's identification, " (help creator program) " and today's date
// as YYYY-MM-DD.
std::string GeneratorText();

// The generator text of a run: the writer state's, or today's when the state
// has none yet.
std::string RunGeneratorText(const WriterState& writer);

// The page from the document type line to the opening body tag (and the first
// paragraph when given), with the copyright as a comment and the run's
// generator text. Empty arguments leave their lines out; the style sheet is
// linked by its file name alone.
std::string HtmlPageHead(const WriterState& writer, std::string_view style_sheet_path,
                         std::string_view title, std::string_view extra_head,
                         std::string_view body_attributes, std::string_view first_paragraph);

// The row of six buttons: Contents, Index, "<<", ">>", Example and the user
// button. An empty file makes its button grey and not a link; an empty
// caption leaves the user button out.
std::string ButtonBar(std::string_view contents_file, std::string_view index_file,
                      std::string_view previous_file, std::string_view next_file,
                      std::string_view example_file, std::string_view button_target,
                      std::string_view button_caption);

// One table cell holding one button; nothing for an empty caption.
// `link_attributes` goes into the link tag as given (with its trailing blank).
std::string ButtonCell(std::string_view cell_prefix, std::string_view link_target,
                       std::string_view caption, std::string_view link_attributes,
                       std::string_view cell_suffix);
// The same, appended to `out`.
void AppendButtonCell(std::string& out, std::string_view cell_prefix, std::string_view link_target,
                      std::string_view caption, std::string_view link_attributes,
                      std::string_view cell_suffix);

// One 20 by 20 image of the tree-view contents page.
std::string TreeImage(std::string_view image_file, std::string_view alt_text);

}  // namespace quillark

#endif  // QUILLARK_HELPWRITER_PAGE_FRAME_H_
