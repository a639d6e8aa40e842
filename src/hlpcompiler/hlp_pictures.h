// Turns a Windows bitmap (BMP file) into the picture file that a help file
// stores for it: one device-independent bitmap, uncompressed.
#ifndef QUILLARK_HLPCOMPILER_HLP_PICTURES_H_
#define QUILLARK_HLPCOMPILER_HLP_PICTURES_H_

#include <string>
#include <string_view>

namespace quillark::hlpc {

struct PictureFile {
  std::string data;   // the |bmN file; empty on failure
  std::string error;  // why the bitmap cannot be used
};

// Accepts uncompressed bitmaps of 1, 4, 8, 16, 24 and 32 bits per pixel with
// a Windows or OS/2 header, bottom-up or top-down. 16- and 32-bit pixels are
// stored as 24-bit ones; rows are stored bottom-up. Compressed bitmaps (RLE,
// bit fields) are refused.
PictureFile MakePictureFile(std::string_view bmp_bytes);

}  // namespace quillark::hlpc

#endif  // QUILLARK_HLPCOMPILER_HLP_PICTURES_H_
