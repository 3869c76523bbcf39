// tizhi-score as a function: the command's whole path from its arguments to
// its exit status, for the command itself and for the fuzz target.
#pragma once

#include "batch_scorer.h"

#include <string>
#include <string_view>

namespace tizhi::cli {

// Runs tizhi-score with `argv` (argv[0] is the program's name) and returns
// its exit status (an ExitStatus). Standard input, output and error are the
// process's.
int tizhiScoreMain(int argc, char **argv);

// Closes standard output at the command's end and returns `status`, or 2
// (Trouble) when the close reports a failed write.
int closeStandardOutput(int status);

// A diagnostic of the scorer as the command prints it on standard error,
// ended by a line break.
std::string formatDiagnostic(const Diagnostic &diagnostic);
// The same as the command `program` prints it.
std::string formatDiagnostic(const Diagnostic &diagnostic, std::string_view program);

} // namespace tizhi::cli
