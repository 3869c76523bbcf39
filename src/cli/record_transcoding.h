// The batch scorer's transcoding: the input's cells from the run's encoding
// into UTF-8, in which every row is scored, and the output's records back.
// Bytes that are no text in the encoding stop the run at their line.
#pragma once

#include "text_encoding.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tizhi::cli {

// Makes each of the record's fields a view of UTF-8 text: UTF-8 and ASCII
// cells stay as they are, others view their decoded text, which the
// returned store keeps. Throws CsvError naming the first field that is no
// text in `encoding`. Only converted cells are copied, so a row of a
// million empty fields costs nothing more.
std::deque<std::string> decodeRecord(std::vector<std::string_view> &fields, Encoding encoding,
                                     std::int64_t line);

// The same for the header's kept names, each with its 0-based position.
void decodeNames(std::vector<std::pair<std::size_t, std::string>> &named, Encoding encoding,
                 std::int64_t line);

// Appends one record in `encoding`, quoting the fields that need it, ended
// by "\n". Throws CsvError when a value has no place in the encoding.
void appendRecord(std::string &out, const std::vector<std::string> &fields, Encoding encoding,
                  std::int64_t line);

} // namespace tizhi::cli
