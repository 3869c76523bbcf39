// tizhi-records: keeps constitution tests collected on paper in the
// database edition's database, gives them back as CSV, and backs the
// database up.
#include "file_io.h"
#include "records_main.h"
#include "tizhi_score_main.h"

int main(int argc, char **argv)
{
    // Before anything is opened: a closed standard descriptor must not be
    // taken by the input, the output or the database.
    tizhi::cli::ensureStandardDescriptors();
    return tizhi::cli::closeStandardOutput(tizhi::records::tizhiRecordsMain(argc, argv));
}
