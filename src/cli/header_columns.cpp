#include "header_columns.h"
#include "gcc12_restrict.h"

#include "catalogue.h"
#include "number_text.h"

#include <algorithm>
#include <array>
#include <map>
#include <optional>
#include <set>

namespace tizhi::cli {

namespace {

std::string joinNames(const std::vector<std::string> &names)
{
    std::string text;
    for (const std::string &name : names)
        text += (text.empty() ? "" : ", ") + name;
    return text;
}

// "q1" ... "q33".
std::vector<std::string> answerColumns33()
{
    std::vector<std::string> names;
    for (int k = 1; k <= kQuestionCount33; ++k)
        names.push_back("q" + std::to_string(k));
    return names;
}

// "YangXu" ... "PingHe".
std::vector<std::string> itemStringColumns66()
{
    std::vector<std::string> names;
    for (const ConstitutionType &type : kTypes)
        names.emplace_back(type.pinyin);
    return names;
}

// "YangXu1" ... "YangXu7", "YinXu1" ... "PingHe8": one per questionnaire row.
std::vector<std::string> rowColumns66()
{
    std::vector<std::string> names;
    for (const ConstitutionType &type : kTypes)
        for (std::size_t row = 1; row <= type.questions66.size(); ++row)
            names.push_back(std::string(type.pinyin) + std::to_string(row));
    return names;
}

// Shortens a long list of missing columns to its first few names.
std::string describeMissing(const std::vector<std::string> &missing)
{
    if (missing.size() <= 12)
        return joinNames(missing);
    std::vector<std::string> head(missing.begin(), missing.begin() + 10);
    return joinNames(head) + " and " + std::to_string(missing.size() - 10) + " more";
}

// The header's names by key. Columns the scorer ignores may repeat; one it
// reads may not, since it could not tell which of the two holds the answer.
class HeaderNames {
public:
    explicit HeaderNames(const std::vector<std::pair<std::size_t, std::string>> &named)
    {
        for (const auto &[i, name] : named) {
            const std::string key = columnKey(name);
            if (key.empty())
                continue;
            written_.emplace(i, std::string(trimText(name)));
            if (!byName_.emplace(key, i).second)
                repeated_.emplace(key, std::string(trimText(name)));
        }
    }

    std::optional<std::size_t> find(std::string_view name) const
    {
        const auto it = byName_.find(columnKey(name));
        return it == byName_.end() ? std::nullopt : std::optional(it->second);
    }

    void checkOnce(std::string_view name) const
    {
        if (auto twice = repeated_.find(columnKey(name)); twice != repeated_.end())
            throw UsageError("the column '" + twice->second + "' appears twice in the header");
    }

    // Finds every name of `names`; returns the missing ones.
    std::vector<std::string> lookUp(const std::vector<std::string> &names,
                                    std::vector<std::size_t> &found) const
    {
        std::vector<std::string> missing;
        found.clear();
        for (const std::string &name : names) {
            if (const auto column = find(name))
                found.push_back(*column);
            else
                missing.push_back(name);
        }
        return missing;
    }

    // The names of `columns` as the header writes them, each checked to
    // appear once.
    std::vector<std::string> writtenNames(const std::vector<std::size_t> &columns) const
    {
        std::vector<std::string> names;
        for (const std::size_t column : columns) {
            const std::string &name = written_.at(column);
            checkOnce(name);
            names.push_back(name);
        }
        return names;
    }

private:
    std::map<std::string, std::size_t> byName_;
    std::map<std::string, std::string> repeated_; // key -> the name as written
    std::map<std::size_t, std::string> written_;  // position -> the name as written
};

// The 66-item form's answers: the nine item strings or the 67 answer
// columns, whole and not both.
void resolve66(const HeaderNames &header, HeaderColumns &found)
{
    std::vector<std::size_t> strings, rows;
    const auto missingStrings = header.lookUp(itemStringColumns66(), strings);
    const auto missingRows = header.lookUp(rowColumns66(), rows);
    const bool anyStrings = missingStrings.size() < itemStringColumns66().size();
    const bool anyRows = missingRows.size() < rowColumns66().size();
    if (anyStrings && anyRows)
        throw UsageError("the header mixes the two 66-item forms: give either the nine "
                         "item-string columns YangXu ... PingHe or the 67 answer columns "
                         "YangXu1 ... PingHe8, not both");
    if (anyRows) {
        if (!missingRows.empty())
            throw UsageError("the 66-item answer columns YangXu1 ... PingHe8 are incomplete; "
                             "missing: " +
                             describeMissing(missingRows));
        found.layout = HeaderColumns::Layout::Rows66;
        found.columns = rows;
        return;
    }
    if (!anyStrings || !missingStrings.empty())
        throw UsageError("the 66-item form needs the nine item-string columns " +
                         joinNames(itemStringColumns66()) +
                         " or the 67 answer columns YangXu1 ... PingHe8; missing: " +
                         describeMissing(missingStrings));
    found.layout = HeaderColumns::Layout::ItemStrings66;
    found.columns = strings;
}

} // namespace

std::string columnKey(std::string_view name)
{
    std::string lower(trimText(name));
    std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return lower;
}

bool readsColumn(Form form, std::string_view name)
{
    static const auto names = [] {
        std::array<std::set<std::string>, 2> sets;
        for (const std::string &n : answerColumns33())
            sets[0].insert(columnKey(n));
        for (const auto &list : {itemStringColumns66(), rowColumns66()})
            for (const std::string &n : list)
                sets[1].insert(columnKey(n));
        for (auto &set : sets)
            set.insert("id");
        return sets;
    }();
    return names[form == Form::Items33 ? 0 : 1].contains(columnKey(name));
}

HeaderColumns resolveHeader(Form form,
                            const std::vector<std::pair<std::size_t, std::string>> &named)
{
    const HeaderNames header(named);
    HeaderColumns found;
    if (const auto id = header.find("id")) {
        header.checkOnce("id");
        found.idColumn = static_cast<long>(*id);
    }
    if (form == Form::Items33) {
        const auto missing = header.lookUp(answerColumns33(), found.columns);
        if (!missing.empty())
            throw UsageError("the 33-item form needs the columns q1 ... q33; missing: " +
                             describeMissing(missing));
        found.layout = HeaderColumns::Layout::Answers33;
    } else {
        resolve66(header, found);
    }
    found.names = header.writtenNames(found.columns);
    return found;
}

} // namespace tizhi::cli
