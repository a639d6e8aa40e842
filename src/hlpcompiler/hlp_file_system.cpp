#include "hlpcompiler/hlp_file_system.h"

#include <vector>

#include "hlpcompiler/btree.h"
#include "hlpcompiler/hlp_format.h"

namespace quillark::hlpc {
namespace {

constexpr std::uint32_t kHelpMagic = 0x00035F3F;
constexpr std::size_t kFileHeader = 16;

void PutInternalFile(std::string& out, const std::string& data) {
  PutU32(out, static_cast<std::uint32_t>(data.size() + 9));
  PutU32(out, static_cast<std::uint32_t>(data.size()));
  PutU8(out, 4);
  out += data;
}

}  // namespace

std::string BuildHelpFile(const std::map<std::string, std::string>& files) {
  std::string out(kFileHeader, '\0');
  std::vector<BtreeEntry> entries;
  for (const auto& [name, data] : files) {
    BtreeEntry entry;
    PutStringZ(entry.key, name);
    PutU32(entry.value, static_cast<std::uint32_t>(out.size()));
    entries.push_back(std::move(entry));
    PutInternalFile(out, data);
  }
  const auto directory_start = static_cast<std::uint32_t>(out.size());
  PutInternalFile(out, BuildBtree({0x0402, 0x0400, "z4"}, entries).bytes);
  SetU32(out, 0, kHelpMagic);
  SetU32(out, 4, directory_start);
  SetU32(out, 8, 0xFFFFFFFF);
  SetU32(out, 12, static_cast<std::uint32_t>(out.size()));
  return out;
}

}  // namespace quillark::hlpc
