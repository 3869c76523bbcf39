#include "ini_file.h"

#include <algorithm>

namespace tizhi {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view trimmedBlanks(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

char asciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return asciiLower(x) == asciiLower(y);
           });
}

// "12", '12' and "12" all read as 12; a lone quote stays.
std::string_view unquoted(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

} // namespace

IniFile::IniFile(std::string text) : text_(std::move(text))
{
    std::string_view rest = text_;
    if (rest.starts_with("\xEF\xBB\xBF"))
        rest.remove_prefix(3);
    Section *current = nullptr; // lines before the first section belong to none
    while (!rest.empty()) {
        const std::size_t end = std::min(rest.find('\n'), rest.size());
        const std::string_view line = trimmedBlanks(rest.substr(0, end));
        rest.remove_prefix(std::min(end + 1, rest.size()));
        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[') {
            std::string_view name = line.substr(1);
            if (const std::size_t close = name.rfind(']'); close != std::string_view::npos)
                name = name.substr(0, close);
            current = &sections_.emplace_back(Section{trimmedBlanks(name), {}});
            continue;
        }
        if (!current)
            continue;
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            current->entries.push_back({line, {}});
            continue;
        }
        current->entries.push_back({trimmedBlanks(line.substr(0, equals)),
                                    unquoted(trimmedBlanks(line.substr(equals + 1)))});
    }
}

const IniFile::Section *IniFile::findSection(std::string_view section) const
{
    const auto found = std::find_if(sections_.begin(), sections_.end(), [&](const Section &s) {
        return equalsIgnoringCase(s.name, section);
    });
    return found == sections_.end() ? nullptr : &*found;
}

bool IniFile::hasSection(std::string_view section) const
{
    return findSection(section) != nullptr;
}

std::optional<std::string_view> IniFile::value(std::string_view section, std::string_view key) const
{
    const Section *found = findSection(section);
    if (!found)
        return std::nullopt;
    for (const Entry &entry : found->entries) {
        if (equalsIgnoringCase(entry.key, key))
            return entry.value;
    }
    return std::nullopt;
}

} // namespace tizhi
