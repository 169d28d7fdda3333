#pragma once
// The one place where record text bytes become display text. Names in the
// records are 8-bit bytes, read here as ISO 8859-1, ending at the first zero
// byte or at the field's end; control bytes are dropped.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pelagor {

// UTF-8 text of up to maxLength bytes.
[[nodiscard]] std::string DecodeRecordText(const uint8_t* bytes, size_t maxLength);

// The 25-byte channel name field as the lists show it: a first byte below
// 32 read as a signed byte (a character-table selector, or any byte from
// 0x80 up) is passed over and the 24 bytes after it are shown. The text is
// read in the name's DVB character table (ChannelNameCodec.h).
[[nodiscard]] std::string ChannelNameText(const uint8_t* field25);

// Text folded for a search that ignores case: Latin, Greek and Cyrillic
// capitals become small letters; everything else stays.
[[nodiscard]] std::string FoldCase(std::string_view utf8);

// The way back, for text typed by the user: UTF-8 to the record's ISO 8859-1
// bytes. A character outside that set, or a broken UTF-8 sequence, becomes '?'.
[[nodiscard]] std::string EncodeRecordText(std::string_view utf8);

}  // namespace pelagor
