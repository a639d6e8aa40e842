#include "chmwriter/container.h"

#include <algorithm>
#include <set>
#include <string_view>

#include "chmwriter/byte_writer.h"
#include "chmwriter/directory.h"
#include "chmwriter/lzx_stream.h"

namespace quillark::chm {
namespace {

constexpr std::uint64_t kFileHeaderSize = 0x60;
constexpr std::uint64_t kHeaderSection0Size = 0x18;
constexpr std::uint64_t kDirectoryOffset = kFileHeaderSize + kHeaderSection0Size;

constexpr std::string_view kStorage = "::DataSpace/Storage/MSCompressed/";
constexpr std::string_view kTransformGuid = "7FC28940-9D31-11D0-9B27-00A0C91E9C7C";

// The two section names, as UTF-16 texts with their lengths and terminators,
// the whole preceded by its own length in 16-bit units.
std::string NameList() {
  std::string body;
  AppendU16(body, 2);
  for (std::string_view name : {"Uncompressed", "MSCompressed"}) {
    AppendU16(body, static_cast<std::uint16_t>(name.size()));
    AppendUtf16(body, name);
    AppendU16(body, 0);
  }
  std::string list;
  AppendU16(list, static_cast<std::uint16_t>((body.size() + 2) / 2));
  return list + body;
}

// The LZX parameters in 32 KiB units: reset interval and window both 64 KiB.
std::string ControlData() {
  std::string data;
  AppendU32(data, 6);
  data += "LZXC";
  AppendU32(data, 2);  // sizes below in 32 KiB units
  AppendU32(data, static_cast<std::uint32_t>(kFramesPerReset));
  AppendU32(data, 2);  // window
  AppendU32(data, 1);
  AppendU32(data, 0);
  return data;
}

// The transform's GUID in UTF-16, cut to the 38 bytes the list has always
// been given.
std::string TransformList() {
  std::string list;
  AppendUtf16(list, "{" + std::string(kTransformGuid));
  list.resize(38);
  return list;
}

std::string ResetTable(const LzxStream& stream, std::uint64_t stream_length) {
  std::string table;
  AppendU32(table, 2);  // version
  AppendU32(table, static_cast<std::uint32_t>(stream.frame_offsets.size()));
  AppendU32(table, 8);     // entry size
  AppendU32(table, 0x28);  // where the entries start
  AppendU64(table, stream_length);
  AppendU64(table, stream.content.size());
  AppendU64(table, kFrameSize);
  for (std::uint64_t offset : stream.frame_offsets) AppendU64(table, offset);
  return table;
}

// "/a/" and "/a/b/" for "/a/b/c.png".
void AddFolders(const std::string& name, std::set<std::string>& folders) {
  for (std::size_t slash = name.find('/', 1); slash != std::string::npos;
       slash = name.find('/', slash + 1)) {
    folders.insert(name.substr(0, slash + 1));
  }
}

std::string FileHeader(std::uint64_t directory_length, std::uint32_t language) {
  std::string header = "ITSF";
  AppendU32(header, 3);  // version
  AppendU32(header, kFileHeaderSize);
  AppendU32(header, 1);
  AppendU32(header, 0);  // time stamp, fixed so that a project always gives the same bytes
  AppendU32(header, language);
  AppendGuid(header, "7C01FD10-7BAA-11D0-9E0C-00A0C922E6EC");
  AppendGuid(header, "7C01FD11-7BAA-11D0-9E0C-00A0C922E6EC");
  AppendU64(header, kFileHeaderSize);
  AppendU64(header, kHeaderSection0Size);
  AppendU64(header, kDirectoryOffset);
  AppendU64(header, directory_length);
  AppendU64(header, kDirectoryOffset + directory_length);
  return header;
}

std::string HeaderSection0(std::uint64_t file_size) {
  std::string section;
  AppendU32(section, 0x01FE);
  AppendU32(section, 0);
  AppendU64(section, file_size);
  AppendU32(section, 0);
  AppendU32(section, 0);
  return section;
}

}  // namespace

std::string BuildContainer(const std::vector<ContainerFile>& plain_files,
                           const std::vector<ContainerFile>& stream_files, std::uint32_t language) {
  std::vector<DirectoryEntry> entries;
  std::set<std::string> folders = {"/"};

  // Section 1 in directory order, so that neighbours in the listing are
  // neighbours in the stream.
  std::vector<const ContainerFile*> ordered;
  for (const ContainerFile& file : stream_files) ordered.push_back(&file);
  std::sort(ordered.begin(), ordered.end(), [](const ContainerFile* a, const ContainerFile* b) {
    return NameLess(a->name, b->name);
  });
  std::string stream;
  for (const ContainerFile* file : ordered) {
    AddFolders(file->name, folders);
    if (file->data.empty()) {
      entries.push_back({file->name, 0, 0, 0});
      continue;
    }
    entries.push_back({file->name, 1, stream.size(), file->data.size()});
    stream += file->data;
  }
  const LzxStream lzx = EncodeUncompressedBlocks(stream);

  std::string section0;
  auto add_plain = [&](const std::string& name, const std::string& data) {
    if (data.empty()) {
      entries.push_back({name, 0, 0, 0});
      return;
    }
    entries.push_back({name, 0, section0.size(), data.size()});
    section0 += data;
  };
  add_plain("/#ITBITS", "");
  for (const ContainerFile& file : plain_files) add_plain(file.name, file.data);
  std::string span_info;
  AppendU64(span_info, stream.size());
  const std::string storage(kStorage);
  add_plain("::DataSpace/NameList", NameList());
  add_plain(storage + "ControlData", ControlData());
  add_plain(storage + "SpanInfo", span_info);
  add_plain(storage + "Transform/List", TransformList());
  add_plain(storage + "Transform/{" + std::string(kTransformGuid) + "}/InstanceData/ResetTable",
            ResetTable(lzx, stream.size()));
  add_plain(storage + "Content", lzx.content);
  for (const std::string& folder : folders) entries.push_back({folder, 0, 0, 0});

  const Directory directory = BuildDirectory(std::move(entries));
  const std::uint64_t directory_length = kDirectoryHeaderSize + directory.chunks.size();
  const std::uint64_t file_size = kDirectoryOffset + directory_length + section0.size();
  std::string file;
  file.reserve(file_size);
  file += FileHeader(directory_length, language);
  file += HeaderSection0(file_size);
  file += DirectoryHeader(directory);
  file += directory.chunks;
  file += section0;
  return file;
}

}  // namespace quillark::chm
