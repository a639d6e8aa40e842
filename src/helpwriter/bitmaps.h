// The image writer of "<img_left>" and "<img_center>": HLP and HTML refer to
// the bitmap by file name; the printable RTF document carries the picture
// itself as the hexadecimal data of a "\pict" group. The data is also left in
// a temporary file beside the document.
#ifndef QUILLARK_HELPWRITER_BITMAPS_H_
#define QUILLARK_HELPWRITER_BITMAPS_H_

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "helpdib/bmp.h"
#include "helpwriter/writer_state.h"

namespace quillark {

// What one image tag writes, and whether the page refers to a copy of the
// image beside it (set by the HTML family).
struct ImageText {
  std::string text;
  bool written = false;
};

// What a run has learned of its picture files: each image file's size and
// header, read once, and the pictures converted for the printable RTF
// document, kept by the name of their temporary hex file. A picture is
// converted (and its hex file written) when the file does not hold that image
// yet; every later use takes the text from here.
class PictureFiles {
 public:
  struct Facts {
    std::int64_t size = -1;  // -1 when the file does not exist
    std::optional<BmpImageInfo> info;
  };
  const Facts& FactsOf(const std::string& image_path);

  struct Picture {
    std::string image;  // the image the hex file holds
    BmpImageInfo info;  // its header facts (zero when unreadable)
    std::string hex;    // the picture data, empty when the conversion failed
    std::string error;  // the conversion's error text
  };
  const Picture& Convert(const std::string& image_path, const std::string& hex_path);
  // Deletes the picture data files converted so far and forgets them.
  void DeleteDataFiles();

  // Called before the disk is asked about a picture or a picture data file
  // is written.
  std::function<void()> before_disk;

 private:
  std::map<std::string, Facts> facts_;
  std::map<std::string, Picture> by_hex_file_;
};

// `alignment` is 'C' for "<img_center>" and 'L' for "<img_left>"; any other
// letter, or format None, writes nothing. `own_paragraph` is true when the
// image tag stands on a source line of its own. `output_path` is the main
// output file; the RTF hex file goes into its directory and the picture data
// into the text itself, or, with `mark_picture_data`, an insert mark of the
// hex file in its place.
ImageText WriteImage(OutputFormat format, std::string_view output_path, char alignment,
                     bool own_paragraph, std::string_view image_path, PictureFiles& pictures,
                     bool mark_picture_data = false);

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
