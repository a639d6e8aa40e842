#ifndef QUILLARK_RUNTIME_CLOCK_H_
#define QUILLARK_RUNTIME_CLOCK_H_

#include <string>

namespace quillark::runtime {

// The local date and time as "YYYY-MM-DD HH:MM:SS.ffff", where ffff is the
// milliseconds times ten, zero-padded (24 characters).
std::string NowText();

}  // namespace quillark::runtime

#endif  // QUILLARK_RUNTIME_CLOCK_H_
