// Item strings and whole assessment records from arbitrary bytes: the type
// fields take whatever is pasted into them, so SumItemString, Assess33 and
// Assess66 must end every input with a score or a ConvertError.
#include "assessment.h"
#include "item_string.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const std::string_view input(reinterpret_cast<const char *>(data) + 1, size - 1);
    const int mode = data[0] % 4;
    try {
        if (mode < 3) {
            const tizhi::Keying keyings[] = {tizhi::Keying::Plain, tizhi::Keying::PingHe33,
                                             tizhi::Keying::PingHe66};
            (void)tizhi::SumItemString(input, keyings[mode]);
            return 0;
        }
    } catch (const tizhi::ConvertError &) {
        return 0;
    }
    // A whole record: fields separated by 0x1f, in the record's field order
    // (per type item string, raw score, score, verdict; then the summaries),
    // and 33 answers after them.
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (start <= input.size() && fields.size() < 38 + 33) {
        const std::size_t end = input.find('\x1f', start);
        fields.emplace_back(
            input.substr(start, end == std::string_view::npos ? input.npos : end - start));
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    tizhi::AssessmentRecord record = tizhi::startRecord();
    std::size_t i = 0;
    for (const tizhi::TypeFields &f : tizhi::kTypeFields) {
        for (auto member : {f.field, f.org, f.con, f.result})
            if (i < fields.size())
                record.*member = fields[i++];
    }
    try {
        tizhi::AssessmentRecord copy = record;
        tizhi::Assess66(copy);
    } catch (const tizhi::ConvertError &) {
    }
    try {
        tizhi::AssessmentRecord copy = record;
        tizhi::Assess33(copy);
    } catch (const tizhi::ConvertError &) {
    }
    try {
        tizhi::Answers33 answers;
        for (std::size_t k = 0; k < answers.size() && 36 + k < fields.size(); ++k)
            answers[k] = fields[36 + k];
        tizhi::BuildItemStrings33(answers, record);
        tizhi::Assess33(record);
    } catch (const tizhi::ConvertError &) {
    }
    return 0;
}
