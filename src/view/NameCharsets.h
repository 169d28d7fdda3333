#pragma once
// The platform's character-set converters behind ChannelNameCodec: the C
// library's iconv on POSIX, the Windows code pages on Windows. Tables are
// those of ChannelNameTable (0 ISO/IEC 6937, 1..5 ISO 8859-5..9).

#include <string>
#include <string_view>

namespace pelagor {

// UTF-8 of bytes in the table; bytes the table leaves unassigned are dropped.
std::string TableBytesToUtf8(std::string_view bytes, int table);

// The table's bytes for one UTF-8 character; false when it has no place there.
bool Utf8CharToTable(std::string_view utf8Char, int table, std::string& out);

}  // namespace pelagor
