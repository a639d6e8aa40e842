// With -gx the run is finished after the output pass: the help compiler of the
// format turns the project into the help file, and the final output file is
// put in place for every format.
#ifndef QUILLARK_HELPWRITER_HELP_COMPILER_H_
#define QUILLARK_HELPWRITER_HELP_COMPILER_H_

#include <string>

#include "helpwriter/writer_state.h"

namespace quillark {

// Compiles (HLP, CHM) or copies (RTF, HTML) the output of the run into
// `final_file`; a copy that fails throws runtime::OutputError. `working_file` is the output name of
// the run, `project_file` the project written beside it. Returns an empty text on success, else the
// one message to report (at most 1024 characters).
//
// HLP is compiled by our own WinHelp compiler, in process; on Windows an
// installed hcrtf.exe at its fixed paths is run instead when present. The
// HTML Help compiler is found through PATH on POSIX (chmcmd); on Windows its
// fixed install path comes first. It runs in the project's folder, where the
// compiled file lands.
std::string FinishOutput(OutputFormat format, const std::string& working_file,
                         const std::string& final_file, const std::string& project_file);

}  // namespace quillark

#endif  // QUILLARK_HELPWRITER_HELP_COMPILER_H_
