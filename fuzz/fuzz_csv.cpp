// The batch scorer's CSV reading and row scoring from arbitrary bytes, in
// both encodings and both forms: every input ends with scored rows or a
// clear error, never a crash or a hang.
#include "batch_scorer.h"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const auto form = (data[0] & 1) ? tizhi::cli::Form::Items66 : tizhi::cli::Form::Items33;
    const auto encoding = (data[0] & 2) ? tizhi::cli::Encoding::Gbk : tizhi::cli::Encoding::Utf8;
    std::istringstream in(std::string(reinterpret_cast<const char *>(data) + 1, size - 1));
    std::ostringstream out;
    // Every diagnostic names a line, or none for the input as a whole, and
    // says something.
    const auto check = [](const tizhi::cli::Diagnostic &diagnostic) {
        if (diagnostic.line < 0 || diagnostic.message.empty())
            __builtin_trap();
    };
    const auto result = tizhi::cli::scoreCsv(in, out, form, encoding, check);
    const int status = static_cast<int>(result.status);
    if (status < 0 || status > 2)
        __builtin_trap();
    return 0;
}
