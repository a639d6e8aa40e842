// The container of a help file: a header, the internal files one after
// another, and the directory that finds them by name.
#ifndef QUILLARK_HLPCOMPILER_HLP_FILE_SYSTEM_H_
#define QUILLARK_HLPCOMPILER_HLP_FILE_SYSTEM_H_

#include <map>
#include <string>

namespace quillark::hlpc {

// Lays out the internal files (name to data; the map keeps the byte-wise name
// order that the directory needs) and returns the whole help file.
std::string BuildHelpFile(const std::map<std::string, std::string>& files);

}  // namespace quillark::hlpc

#endif  // QUILLARK_HLPCOMPILER_HLP_FILE_SYSTEM_H_
