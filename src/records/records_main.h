// tizhi-records as a function: the command's whole path from its arguments
// to its exit status (an ExitStatus, as tizhi-score's).
#pragma once

namespace tizhi::records {

// Runs tizhi-records with `argv` (argv[0] is the program's name). It makes
// the application object itself, once its options are known: a process
// must have none yet. Standard input, output and error are the process's.
int tizhiRecordsMain(int argc, char **argv);

} // namespace tizhi::records
