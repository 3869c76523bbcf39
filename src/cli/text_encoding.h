// The two encodings the batch scorer reads and writes: UTF-8, and GBK (code
// page 936), in which spreadsheets on Chinese Windows save CSV files. Inside
// the scorer every text is UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tizhi::cli {

enum class Encoding { Utf8, Gbk };

// Converts bytes in `encoding` to UTF-8; nothing when they are invalid there.
std::optional<std::string> decodeToUtf8(Encoding encoding, std::string_view bytes);

// Converts UTF-8 text to `encoding`; nothing when a character has no place in it.
std::optional<std::string> encodeFromUtf8(Encoding encoding, std::string_view text);

bool isValidUtf8(std::string_view bytes);
bool isAscii(std::string_view bytes);

// A file name (or any bytes the user gave) as a message shows it: UTF-8
// characters as they are, every other byte and every control character as
// \xHH, so that a name in another encoding reads as the bytes it is and
// no name can break the message's line.
std::string printableBytes(std::string_view bytes);

} // namespace tizhi::cli
