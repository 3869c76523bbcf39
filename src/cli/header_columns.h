// The batch scorer's header resolution: which input columns hold a form's
// answers and the client's id, found by name (any case, blanks around) in
// the CSV's first line.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tizhi::cli {

enum class Form { Items33, Items66 };

// A header the scorer cannot work with: a missing, repeated or mixed column.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A column name as the header is searched for it: without the blanks
// around it, ASCII letters in lower case.
std::string columnKey(std::string_view name);

// Whether the form reads a column of this name (any case, blanks around).
bool readsColumn(Form form, std::string_view name);

// Where a form's answers stand in the input.
struct HeaderColumns {
    enum class Layout { Answers33, ItemStrings66, Rows66 };
    Layout layout = Layout::Answers33;
    long idColumn = -1;
    // Answers33: 33 columns; ItemStrings66: 9; Rows66: 67, type by type.
    std::vector<std::size_t> columns;
    // The names of `columns` as the header writes them, for messages about a cell.
    std::vector<std::string> names;
};

// From the header's named columns that readsColumn accepts, each with its
// 0-based position. Throws UsageError naming the columns when the header
// does not fit the form.
HeaderColumns resolveHeader(Form form,
                            const std::vector<std::pair<std::size_t, std::string>> &named);

} // namespace tizhi::cli
