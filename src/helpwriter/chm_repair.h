// A compiled HTML Help file keeps its file directory in listing chunks that
// are chained to each other; the directory header names the first and the last
// chunk of that chain. Some compilers name the wrong first chunk once the
// listing needs more than one chunk, and readers then miss every name in the
// chunks before it. The repair reads the chain and puts the header right.
#ifndef QUILLARK_HELPWRITER_CHM_REPAIR_H_
#define QUILLARK_HELPWRITER_CHM_REPAIR_H_

#include <string>

namespace quillark {

// Corrects the first and last listing chunk numbers of the directory header
// in `bytes` when they disagree with the chain of listing chunks. Anything
// that does not read as a well-formed directory with one clear chain is left
// alone. Returns true when `bytes` changed.
bool RepairChmBytes(std::string& bytes);

// The same on a file, writing only the corrected fields in place. Returns true
// when the file was corrected.
bool RepairChmFile(const std::string& path);

}  // namespace quillark

#endif  // QUILLARK_HELPWRITER_CHM_REPAIR_H_
