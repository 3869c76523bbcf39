// The columns a file of forms may give beside the answers and the id, for
// the header of a test: the client's name, the test's time, the doctor and
// the site. tizhi-records stores them with a test; tizhi-score puts them
// on the record forms it writes.
#pragma once

#include <QDateTime>

#include <array>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tizhi::cli {

enum FormColumn : std::size_t {
    kNameColumn,
    kTimeColumn,
    kDoctorColumn,
    kSiteColumn,
    kFormColumns
};
inline constexpr std::array<const char *, kFormColumns> kFormColumnNames = {"name", "time",
                                                                            "doctor", "site"};

// The keys (columnKey) of the form columns, as FormReader takes extra columns.
std::set<std::string> formColumnKeys();

// Where each form column stands in the header's `extraNames` (each with its
// 0-based position); -1 when the file has none. Throws UsageError for a
// column named twice, as the scorer does for its own.
std::array<long, kFormColumns>
formColumnPositions(const std::vector<std::pair<std::size_t, std::string>> &extraNames);

// A cell of the time column: "YYYY-MM-DD" (the day's start) or
// "YYYY-MM-DD HH:MM:SS", local time; nothing for any other text.
std::optional<QDateTime> parseTestTime(std::string_view cell);

// What a row with an unreadable time is told.
std::string badTimeMessage(std::string_view cell);

} // namespace tizhi::cli
