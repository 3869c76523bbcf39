// "Config.ini" read the way a Windows program reads its settings with the
// profile functions, since that is how administrators have written these
// files for years: lines may be indented, a line may be of any length, the
// first of two equal keys counts, a value in matching quotes loses them,
// section and key names are compared without regard to ASCII case, and only
// the first section of a name is searched.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tizhi {

class IniFile {
public:
    // `text` is the whole file; a UTF-8 byte order mark is skipped.
    explicit IniFile(std::string text);
    // The entries point into the text the file owns.
    IniFile(const IniFile &) = delete;
    IniFile &operator=(const IniFile &) = delete;

    // The value of `key` in the first section called `section`, with blanks
    // and one pair of enclosing quotes removed; nothing when the section or
    // the key is missing.
    std::optional<std::string_view> value(std::string_view section, std::string_view key) const;
    // Whether the file has a section called `section`, empty or not.
    bool hasSection(std::string_view section) const;

private:
    struct Entry {
        std::string_view key;
        std::string_view value;
    };
    struct Section {
        std::string_view name;
        std::vector<Entry> entries;
    };

    const Section *findSection(std::string_view section) const;

    std::string text_;
    std::vector<Section> sections_;
};

} // namespace tizhi
