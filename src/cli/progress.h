// How far a long run has come, shown on a terminal as "scored N rows" and
// rewritten in place at most a few times a second; nothing when standard
// error is no terminal, so that logs stay clean.
#pragma once

#include <chrono>
#include <cstdint>
#include <iostream>
#include <string>
#include <utility>

namespace tizhi::cli {

class Progress {
public:
    // `label` leads the line: "tizhi-score: scored".
    Progress(bool enabled, std::string label) : enabled_(enabled), label_(std::move(label)) {}
    void update(std::int64_t rows)
    {
        const auto now = std::chrono::steady_clock::now();
        if (!enabled_ || now - last_ < std::chrono::milliseconds(250))
            return;
        last_ = now;
        shown_ = true;
        std::cerr << "\r" << label_ << " " << rows << " rows" << std::flush;
    }
    // Clears the line, when one was shown.
    void finish()
    {
        if (shown_)
            std::cerr << "\r\033[K" << std::flush;
    }

private:
    bool enabled_;
    std::string label_;
    bool shown_ = false;
    std::chrono::steady_clock::time_point last_ = std::chrono::steady_clock::now();
};

} // namespace tizhi::cli
