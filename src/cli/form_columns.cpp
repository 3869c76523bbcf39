#include "form_columns.h"

#include "header_columns.h"
#include "number_text.h"

#include <QRegularExpression>

namespace tizhi::cli {

std::set<std::string> formColumnKeys()
{
    return {kFormColumnNames.begin(), kFormColumnNames.end()};
}

std::array<long, kFormColumns>
formColumnPositions(const std::vector<std::pair<std::size_t, std::string>> &extraNames)
{
    std::array<long, kFormColumns> at{-1, -1, -1, -1};
    for (const auto &named : extraNames) {
        const std::string key = columnKey(named.second);
        for (std::size_t i = 0; i < kFormColumns; ++i) {
            if (key != kFormColumnNames[i])
                continue;
            if (at[i] >= 0)
                throw UsageError("the column '" + std::string(trimText(named.second)) +
                                 "' appears twice in the header");
            at[i] = long(named.first);
        }
    }
    return at;
}

std::optional<QDateTime> parseTestTime(std::string_view cell)
{
    static const QRegularExpression shape(
        QStringLiteral(R"(^\d{4}-\d{2}-\d{2}( \d{2}:\d{2}:\d{2})?$)"));
    const std::string_view trimmed = trimText(cell);
    const QString text = QString::fromUtf8(trimmed.data(), qsizetype(trimmed.size()));
    if (!shape.match(text).hasMatch())
        return std::nullopt;
    const QDate date = QDate::fromString(text.left(10), QStringLiteral("yyyy-MM-dd"));
    const QTime time = text.size() > 10
                           ? QTime::fromString(text.mid(11), QStringLiteral("HH:mm:ss"))
                           : QTime(0, 0);
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return QDateTime(date, time);
}

std::string badTimeMessage(std::string_view cell)
{
    return "the time in column 'time' must be YYYY-MM-DD or YYYY-MM-DD HH:MM:SS, not '" +
           std::string(cell) + "'";
}

} // namespace tizhi::cli
