#pragma once
// The character-set converters behind ChannelNameCodec. Tables are those of
// ChannelNameTable (0 ISO/IEC 6937, 1..5 ISO 8859-5..9): ISO/IEC 6937 (also for a
// table number out of range) is our own on every platform; the ISO 8859 tables
// are the platform's (the C library's iconv on POSIX, code pages on Windows).

#include <string>
#include <string_view>

namespace pelagor {

// UTF-8 of bytes in the table; bytes the table leaves unassigned are dropped.
[[nodiscard]] std::string TableBytesToUtf8(std::string_view bytes, int table);

// The table's bytes for one UTF-8 character; false when it has no place there.
[[nodiscard]] bool Utf8CharToTable(std::string_view utf8Char, int table, std::string& out);

// ISO/IEC 6937 alone, the same on every platform.
[[nodiscard]] std::string Iso6937ToUtf8(std::string_view bytes);
[[nodiscard]] bool Utf8CharToIso6937(std::string_view utf8Char, std::string& out);

}  // namespace pelagor
