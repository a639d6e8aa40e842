#include "helpwriter/bitmaps.h"

#include <optional>

#include "helpdib/bmp.h"
#include "helpwriter/escaping.h"
#include "helpwriter/inline_text.h"
#include "helpwriter/insert_marks.h"
#include "runtime/files.h"

namespace quillark {
namespace {

constexpr int kStandardPixelsPerInch = 96;
constexpr std::int64_t kTwipsPerInch = 1440;

// The image's base name and its extension with the dot, without directory:
// "logo" and ".bmp".
struct ImageName {
  std::string name;
  std::string ext;
};

ImageName SplitImageName(std::string_view image_path) {
  ImageName parts;
  parts.name = runtime::BaseName(image_path);
  parts.ext = runtime::FileNamePart(image_path).substr(parts.name.size());
  return parts;
}

// The help compiler finds "{bml name}" and "{bmc name}" in the topic text; the
// braces are escaped so that the reference stays text in the RTF topic file.
ImageText HlpImage(char alignment, bool own_paragraph, const ImageName& image) {
  ImageText text;
  const std::string file_name = image.name + image.ext;
  if (alignment == 'L') {
    text.text = own_paragraph ? "\\par\\{bml " + file_name + "\\}\\par\\pard\r\n"
                              : "\\{bml " + file_name + "\\}";
  } else {
    text.text = own_paragraph ? "\\par\\qc\\{bmc " + file_name + "\\}\\par\\pard\r\n"
                              : "\\{bmc " + file_name + "\\}";
  }
  return text;
}

// The printable document carries the picture: the "\pict" group with the
// picture's hexadecimal lines, closed by "}". A picture that cannot be
// converted shows its error in bold italic light red.
ImageText RtfImage(std::string_view output_path, char alignment, bool own_paragraph,
                   std::string_view image_path, PictureFiles& pictures, bool mark_picture_data) {
  std::string opening;
  std::string closing;
  if (own_paragraph) {
    opening = alignment == 'L' ? "\\par" : "\\par\\qc";
    closing = "\\par\\pard\r\n";
  }
  const std::string hex_file = ImageHexFileName(output_path, image_path);
  const PictureFiles::Picture& picture = pictures.Convert(std::string(image_path), hex_file);
  const BmpImageInfo& info = picture.info;

  ImageText text;
  if (picture.error.empty()) {
    const std::string head = "{\\pict\\dibitmap0\\wbmbitspixel" +
                             std::to_string(info.bits_per_pixel) + "\\wbmplanes1\\wbmwidthbytes" +
                             std::to_string(info.bytes_per_line) + "\\picw" +
                             std::to_string(info.width) + "\\pich" + std::to_string(info.height) +
                             "\\picwgoal" + std::to_string(PixelsToTwipsX(info.width)) +
                             "\\pichgoal" + std::to_string(PixelsToTwipsY(info.height)) + "\r\n";
    const std::string mark = mark_picture_data ? InsertMark(hex_file) : std::string();
    const std::string& data = mark_picture_data ? mark : picture.hex;
    // The picture's data is most of the text: it is copied once.
    text.text.reserve(opening.size() + head.size() + data.size() + 1 + closing.size());
    text.text += opening;
    text.text += head;
    text.text += data;
    text.text += '}';
    text.text += closing;
  } else {
    text.text = opening + "\\b\\i" + ColourText(OutputFormat::kRtf, "<clr_light_red/>") +
                picture.error + "\\b0\\i0" + ColourText(OutputFormat::kRtf, "<clr_none/>") +
                closing;
  }
  return text;
}

// The page refers to the image by its bare file name; the image is expected
// beside the pages.
ImageText HtmlImage(char alignment, bool own_paragraph, const ImageName& image) {
  ImageText text;
  const std::string img = "<img border=\"0\" src=\"" + UrlFileName(image.name + image.ext) +
                          "\" alt=\"" + HtmlEscaped(image.name) + "\"";
  if (own_paragraph) {
    text.text = std::string("<br/><div align=\"") + (alignment == 'L' ? "left" : "center") + "\">" +
                img + "/></div>\r\n";
  } else if (alignment == 'L') {
    text.text = img + " align=\"left\" hspace=\"6\" vspace=\"4\"/>";
  } else {
    text.text = img + " align=\"bottom\"/>";
  }
  text.written = true;
  return text;
}

}  // namespace

const PictureFiles::Facts& PictureFiles::FactsOf(const std::string& image_path) {
  if (before_disk && facts_.count(image_path) == 0) before_disk();
  auto [it, added] = facts_.try_emplace(image_path);
  if (added) {
    it->second.size = runtime::FileSize(image_path);
    if (it->second.size > 0) it->second.info = BmpInfo(image_path);
  }
  return it->second;
}

const PictureFiles::Picture& PictureFiles::Convert(const std::string& image_path,
                                                   const std::string& hex_path) {
  const auto known = by_hex_file_.find(hex_path);
  if (known != by_hex_file_.end() && known->second.image == image_path) return known->second;
  if (before_disk) before_disk();
  Picture& picture = by_hex_file_[hex_path];
  picture.image = image_path;
  picture.info = FactsOf(image_path).info.value_or(BmpImageInfo{});
  picture.error = BmpToHex(image_path, hex_path, &picture.hex);
  return picture;
}

void PictureFiles::DeleteDataFiles() {
  for (const auto& entry : by_hex_file_) runtime::DeleteFile(entry.first);
  by_hex_file_.clear();
}

ImageText WriteImage(OutputFormat format, std::string_view output_path, char alignment,
                     bool own_paragraph, std::string_view image_path, PictureFiles& pictures,
                     bool mark_picture_data) {
  if (alignment != 'L' && alignment != 'C') return ImageText{};
  switch (format) {
    case OutputFormat::kHlp:
      return HlpImage(alignment, own_paragraph, SplitImageName(image_path));
    case OutputFormat::kRtf:
      return RtfImage(output_path, alignment, own_paragraph, image_path, pictures,
                      mark_picture_data);
    case OutputFormat::kChm:
    case OutputFormat::kHtml:
      return HtmlImage(alignment, own_paragraph, SplitImageName(image_path));
    case OutputFormat::kNone:
      break;
  }
  return ImageText{};
}

std::string ImageHexFileName(std::string_view output_path, std::string_view image_path) {
  return runtime::DirectoryPart(output_path) + runtime::BaseName(image_path) + "_bmp.tmp";
}

int ScreenPixelsPerInchX() { return kStandardPixelsPerInch; }

int ScreenPixelsPerInchY() { return kStandardPixelsPerInch; }

std::int64_t PixelsToTwipsX(std::int64_t pixels) {
  return pixels * kTwipsPerInch / ScreenPixelsPerInchX();
}

std::int64_t PixelsToTwipsY(std::int64_t pixels) {
  return pixels * kTwipsPerInch / ScreenPixelsPerInchY();
}

}  // namespace quillark
