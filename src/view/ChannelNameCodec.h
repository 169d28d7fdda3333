#pragma once
// Channel names in their DVB character tables. A name's first byte may
// select the table: 0x01 to 0x05 are ISO 8859-5 to -9; without one the
// name is in the default table, ISO/IEC 6937. The platform's converters
// (NameCharsets.h) do the conversions both ways.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pelagor {

// 0 for the default table, 1..5 for a selector byte 0x01..0x05.
inline constexpr int kDefaultNameTable = 0;
[[nodiscard]] int ChannelNameTable(const uint8_t* field25);

// UTF-8 text of up to length bytes in the table, ending at the first zero
// byte. Control bytes and bytes the table leaves unassigned are dropped.
[[nodiscard]] std::string DecodeNameBytes(const uint8_t* bytes, size_t length, int table);

// The bytes of text in the table, at most maxBytes of them and never a
// character cut in two. False (out untouched) when a character has no place
// in the table or the text is not UTF-8.
[[nodiscard]] bool EncodeNameText(std::string_view utf8, int table, size_t maxBytes, std::string& out);

inline constexpr std::string_view kNameNotStorableText = "The name contains characters this channel cannot store.";

}  // namespace pelagor
