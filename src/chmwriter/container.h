// The container of a compiled help file: the file header, the directory and
// the two content sections. Section 0 holds its files as they are; section 1
// is one stream of files stored as an LZX stream, itself kept as a file of
// section 0 together with the tables a reader needs to decode it.
#ifndef QUILLARK_CHMWRITER_CONTAINER_H_
#define QUILLARK_CHMWRITER_CONTAINER_H_

#include <cstdint>
#include <string>
#include <vector>

namespace quillark::chm {

struct ContainerFile {
  std::string name;  // as the directory lists it: "/WELCOME.html", "/#SYSTEM"
  std::string data;
};

// The whole file. `plain_files` go to section 0, `stream_files` to section 1
// (empty files of either kind are listed without content); "/", the folders
// of the stream files, "/#ITBITS" and the section tables are added. Names
// must be unique after folding.
std::string BuildContainer(const std::vector<ContainerFile>& plain_files,
                           const std::vector<ContainerFile>& stream_files, std::uint32_t language);

}  // namespace quillark::chm

#endif  // QUILLARK_CHMWRITER_CONTAINER_H_
