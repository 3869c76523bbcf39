// tizhi-score's whole path from arbitrary bytes: options (form, encoding,
// their spellings), the input file, the published output file. Every run
// ends in 0, 1 or 2; a run that fails publishes nothing, one that succeeds
// publishes a scored CSV, and no temporary file is ever left beside it.
#include "tizhi_score_main.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// One folder per fuzzing process, holding the input and the output.
const std::string &folder()
{
    static const std::string path = [] {
        char name[] = "/tmp/fuzz_tizhi_score_XXXXXX";
        const char *made = mkdtemp(name);
        if (!made)
            std::abort();
        return std::string(made);
    }();
    return path;
}

int filesIn(const std::string &path)
{
    int count = 0;
    if (DIR *dir = opendir(path.c_str())) {
        while (const dirent *entry = readdir(dir))
            count += entry->d_name[0] != '.';
        closedir(dir);
    }
    return count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const uint8_t choice = data[0];
    const std::string input = folder() + "/forms.csv";
    const std::string output = folder() + "/scored.csv";
    {
        std::ofstream file(input, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char *>(data) + 1, std::streamsize(size - 1));
    }
    std::remove(output.c_str());

    std::vector<std::string> args = {"tizhi-score"};
    const std::string form = (choice & 1) ? "66" : "33";
    const std::string encoding = (choice & 2) ? "gbk" : ((choice & 4) ? "UTF8" : "utf-8");
    if (choice & 8) {
        args.push_back("--form=" + form);
        args.push_back("--encoding=" + encoding);
    } else {
        args.insert(args.end(), {"--form", form, "--encoding", encoding});
    }
    args.push_back(input);
    args.push_back(output);
    std::vector<char *> argv;
    for (std::string &arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    // Messages are not what is fuzzed.
    std::ostringstream messages;
    std::streambuf *const err = std::cerr.rdbuf(messages.rdbuf());
    const int code = tizhi::cli::tizhiScoreMain(int(argv.size() - 1), argv.data());
    std::cerr.rdbuf(err);

    if (code < 0 || code > 2)
        __builtin_trap();
    std::ifstream published(output, std::ios::binary);
    if (code == 2 && published)
        __builtin_trap(); // a failed run published something
    if (code != 2) {
        std::string head(2, '\0');
        if (!published.read(head.data(), 2) || (head != "id" && head != "V_"))
            __builtin_trap(); // a scored run published no scored CSV
    }
    if (filesIn(folder()) > (code == 2 ? 1 : 2))
        __builtin_trap(); // a temporary file was left behind
    return 0;
}
