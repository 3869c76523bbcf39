// tizhi-score: scores constitution forms collected on paper, one CSV row per
// client, with the program's own assessment.
#include "file_io.h"
#include "tizhi_score_main.h"

int main(int argc, char **argv)
{
    // Before anything is opened: a closed standard descriptor must not be
    // taken by the input or the output.
    tizhi::cli::ensureStandardDescriptors();
    return tizhi::cli::closeStandardOutput(tizhi::cli::tizhiScoreMain(argc, argv));
}
