// The few POSIX calls the unit tests make, for their Windows build (included
// ahead of every test source there). Only what MinGW-w64 lacks is added.
#ifndef QUILLARK_TESTS_WINDOWS_POSIX_SHIMS_H_
#define QUILLARK_TESTS_WINDOWS_POSIX_SHIMS_H_

#ifdef _WIN32
#include <direct.h>
#include <io.h>
#include <stdlib.h>
#include <string.h>

// Fills in the XXXXXX of `pattern` and creates that folder.
inline char* mkdtemp(char* pattern) {
  if (_mktemp_s(pattern, strlen(pattern) + 1) != 0) return nullptr;
  return _mkdir(pattern) == 0 ? pattern : nullptr;
}

// The POSIX form with permission bits, which Windows does not have.
inline int mkdir(const char* path, unsigned /*mode*/) { return _mkdir(path); }

inline int setenv(const char* name, const char* value, int /*overwrite*/) {
  return _putenv_s(name, value);
}
#endif

#endif  // QUILLARK_TESTS_WINDOWS_POSIX_SHIMS_H_
