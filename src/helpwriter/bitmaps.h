// The image writer of "<img_left>" and "<img_center>": HLP and HTML refer to
// the bitmap by file name; the printable RTF document carries the picture
// itself as the hexadecimal data of a "\pict" group, converted into a
// temporary file that the line writer passes through into the document.
#ifndef QUILLARK_HELPWRITER_BITMAPS_H_
#define QUILLARK_HELPWRITER_BITMAPS_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "helpwriter/writer_state.h"

namespace quillark {

// What one image tag writes: `before` at the tag's place, then (RTF only) the
// whole content of the file `hex_file`, then `after`. The tag processor
// delivers `hex_file` between two tabs so that the line writer replaces it by
// the file's content.
struct ImageText {
  std::string before;
  std::string hex_file;
  std::string after;
  bool written = false;  // set by the HTML family: the page refers to the image beside it
};

// `alignment` is 'C' for "<img_center>" and 'L' for "<img_left>"; any other
// letter, or format None, writes nothing. `own_paragraph` is true when the
// image tag stands on a source line of its own. `output_path` is the main
// output file; the RTF hex file goes into its directory.
ImageText WriteImage(OutputFormat format, std::string_view output_path, char alignment,
                     bool own_paragraph, std::string_view image_path);

// The temporary file that holds the hexadecimal picture data of `image_path`
// for an RTF document written to `output_path`: the output's directory, the
// image's base name, "_bmp.tmp".
std::string ImageHexFileName(std::string_view output_path, std::string_view image_path);

// The screen's logical resolution. Without a display device to ask, the
// program takes the standard 96 pixels per inch in both directions.
int ScreenPixelsPerInchX();
int ScreenPixelsPerInchY();

// pixels x 1440 / the screen's pixels per inch in that direction (integer division).
std::int64_t PixelsToTwipsX(std::int64_t pixels);
std::int64_t PixelsToTwipsY(std::int64_t pixels);

}  // namespace quillark

#endif  // QUILLARK_HELPWRITER_BITMAPS_H_
