#ifndef QUILLARK_RUNTIME_MEMORY_H_
#define QUILLARK_RUNTIME_MEMORY_H_

namespace quillark::runtime {

// Lets the heap grow 16 MiB at a time and marks it for 2 MiB pages, so that
// a run takes its memory in a few large pages rather than thousands of 4 KiB
// ones, each of which costs a fault when first touched (under a virtual
// machine that hands freed memory back to its host, 10 µs or more). Linux
// with the GNU C library only; elsewhere, or when the system refuses, it does
// nothing. Returns whether the heap was marked.
bool UseLargeHeapPages();

}  // namespace quillark::runtime

#endif  // QUILLARK_RUNTIME_MEMORY_H_
