// tizhi-score as a function: the command's whole path from its arguments to
// its exit status, for the command itself and for the fuzz target.
#pragma once

namespace tizhi::cli {

// Runs tizhi-score with `argv` (argv[0] is the program's name) and returns
// its exit status. Standard input, output and error are the process's.
int tizhiScoreMain(int argc, char **argv);

} // namespace tizhi::cli
