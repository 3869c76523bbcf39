#include "catalogue.h"

#include <cstdio>

namespace tizhi {

const ConstitutionType *typeByCode(int code)
{
    if (code < 1 || code > kTypeCount)
        return nullptr;
    return &kTypes[static_cast<std::size_t>(code - 1)];
}

std::string answerCaption33(int question, int value)
{
    for (const BandCaptions &band : kBandCaptions) {
        if (band.question == question && value >= 1 && value <= 5)
            return std::string(band.captions[static_cast<std::size_t>(value - 1)]);
    }
    return std::to_string(value);
}

std::string answerBoxName33(int question)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "edtOriginal%02d", question);
    return buffer;
}

std::string summaryPhrase(const ConstitutionType &type, Level level)
{
    const std::string name(type.displayName);
    if (!type.isBiased()) {
        switch (level) {
        case Level::Yes:
            return "[" + name + "]";
        case Level::Leaning:
            return "[基本是" + name + "]";
        case Level::No:
            return "[不是" + name + "]";
        }
    }
    switch (level) {
    case Level::Yes:
        return " [" + name + "]";
    case Level::Leaning:
        return " [有" + name + "倾向]";
    case Level::No:
        break;
    }
    return {};
}

std::string fieldName(const ConstitutionType &type)
{
    return "V_" + std::string(type.upperPinyin) + "_FIELD";
}

std::string orgName(const ConstitutionType &type)
{
    return "N_" + std::string(type.upperPinyin) + "_ORG";
}

std::string conName(const ConstitutionType &type)
{
    return "N_" + std::string(type.upperPinyin) + "_CON";
}

std::string resultName(const ConstitutionType &type)
{
    return "V_" + std::string(type.upperPinyin) + "_RESULT";
}

} // namespace tizhi
