// The batch scorer's output buffering: rows are appended to one string and
// written in large pieces, so that a row costs no stream insertion.
#pragma once

#include <cstddef>
#include <ostream>
#include <string>

namespace tizhi::cli {

class OutputText {
public:
    explicit OutputText(std::ostream &out) : out_(out) { text_.reserve(kSize + kSize / 4); }

    // What is not yet written; rows are appended to it.
    std::string &text() { return text_; }
    void writeIfFull()
    {
        if (text_.size() >= kSize)
            write();
    }
    void write()
    {
        out_.write(text_.data(), static_cast<std::streamsize>(text_.size()));
        text_.clear();
    }

private:
    static constexpr std::size_t kSize = 1 << 18;
    std::ostream &out_;
    std::string text_;
};

} // namespace tizhi::cli
