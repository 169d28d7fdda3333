// The portable ISO/IEC 6937 table: every byte and byte pair, and every character
// of the Basic Multilingual Plane, against the C library's converter where there
// is one; on every platform, each assigned character encodes back to its bytes.
#include "view/NameCharsets.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#if !defined(_WIN32) && __has_include(<iconv.h>)
#include <iconv.h>

#include <cerrno>
#define PELAGOR_HAVE_ICONV 1
#endif

namespace pelagor {
namespace {

TEST(Iso6937Table, AssignedBytesDecodeToOneCharacterThatEncodesBack) {
  int assigned = 0;
  auto roundTrip = [&](const std::string& bytes) {
    const std::string text = Iso6937ToUtf8(bytes);
    if (text.empty()) return;
    ++assigned;
    std::string back;
    ASSERT_TRUE(Utf8CharToIso6937(text, back)) << std::hex << int(uint8_t(bytes[0]));
    EXPECT_EQ(back, bytes);
  };
  for (int b = 1; b < 256; ++b) {
    if (b >= 0xC1 && b <= 0xCF) {
      for (int c = 0x20; c < 0x80; ++c) {
        // A mark its letter does not take is dropped: that pair is no character.
        const std::string pair{char(b), char(c)};
        if (Iso6937ToUtf8(pair) != Iso6937ToUtf8(pair.substr(1))) roundTrip(pair);
      }
    } else {
      roundTrip(std::string(1, char(b)));
    }
  }
  // 232 single bytes after the zero, 165 letters with a mark.
  EXPECT_EQ(assigned, 232 + 165);
}

TEST(Iso6937Table, MarksWithoutTheirLetterAndMalformedInput) {
  EXPECT_EQ(Iso6937ToUtf8("\xC2"
                          "e\xC2"),
            "\xC3\xA9");  // é, then a mark at the end
  EXPECT_EQ(Iso6937ToUtf8("\xC1"
                          "B"),
            "B");  // no B with a grave accent
  EXPECT_EQ(Iso6937ToUtf8("\xA4\xA6"
                          "x"),
            "x");  // unassigned bytes are dropped
  std::string out = "kept";
  for (const std::string& bad :
       {std::string(), std::string("\xC3"), std::string("ab"), std::string("\xC0\x80"), std::string("\xED\xA0\x80"),
        std::string("\xE2\x82"), std::string("\xF0\x9F\x98\x80")}) {
    EXPECT_FALSE(Utf8CharToIso6937(bad, out)) << bad.size();
  }
  EXPECT_EQ(out, "kept");
}

#ifdef PELAGOR_HAVE_ICONV

std::string Utf8(char32_t c) {
  std::string s;
  if (c < 0x80) {
    s += char(c);
  } else if (c < 0x800) {
    s += char(0xC0 | (c >> 6));
    s += char(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    s += char(0xE0 | (c >> 12));
    s += char(0x80 | ((c >> 6) & 0x3F));
    s += char(0x80 | (c & 0x3F));
  } else {
    s += char(0xF0 | (c >> 18));
    s += char(0x80 | ((c >> 12) & 0x3F));
    s += char(0x80 | ((c >> 6) & 0x3F));
    s += char(0x80 | (c & 0x3F));
  }
  return s;
}

// The C library's decoding of a name, an undecodable byte skipped.
std::string IconvDecode(iconv_t cd, std::string in) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  std::string out;
  char* src = in.data();
  size_t left = in.size();
  while (left > 0) {
    char buf[16];
    char* dst = buf;
    size_t room = sizeof buf;
    const size_t r = iconv(cd, &src, &left, &dst, &room);
    out.append(buf, size_t(dst - buf));
    if (r == size_t(-1) && errno != E2BIG) {
      ++src;
      --left;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  return out;
}

class Iso6937AgainstIconv : public ::testing::Test {
 protected:
  void SetUp() override {
    dec_ = iconv_open("UTF-8", "ISO6937");
    enc_ = iconv_open("ISO6937", "UTF-8");
    ASSERT_NE(dec_, iconv_t(-1));
    ASSERT_NE(enc_, iconv_t(-1));
  }
  void TearDown() override {
    if (dec_ != iconv_t(-1)) iconv_close(dec_);
    if (enc_ != iconv_t(-1)) iconv_close(enc_);
  }
  iconv_t dec_ = iconv_t(-1);
  iconv_t enc_ = iconv_t(-1);
};

TEST_F(Iso6937AgainstIconv, EveryByteAndEveryPairDecodeAlike) {
  for (int a = 0; a < 256; ++a) {
    const std::string one(1, char(a));
    ASSERT_EQ(Iso6937ToUtf8(one), IconvDecode(dec_, one)) << a;
    for (int b = 0; b < 256; ++b) {
      const std::string two{char(a), char(b)};
      ASSERT_EQ(Iso6937ToUtf8(two), IconvDecode(dec_, two)) << a << " " << b;
    }
  }
  // Two marks in a row: the first has no letter.
  const std::string marks{char(0xC8), char(0xC2), 'e'};
  EXPECT_EQ(Iso6937ToUtf8(marks), IconvDecode(dec_, marks));
}

TEST_F(Iso6937AgainstIconv, EveryCharacterEncodesAlike) {
  int encodable = 0;
  for (char32_t c = 0; c < 0x10000; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    std::string in = Utf8(c);
    iconv(enc_, nullptr, nullptr, nullptr, nullptr);
    char buf[8];
    char* src = in.data();
    size_t left = in.size();
    char* dst = buf;
    size_t room = sizeof buf;
    const bool ok = iconv(enc_, &src, &left, &dst, &room) != size_t(-1) && left == 0 && dst != buf;
    std::string ours;
    ASSERT_EQ(Utf8CharToIso6937(in, ours), ok) << std::hex << uint32_t(c);
    if (!ok) continue;
    ++encodable;
    EXPECT_EQ(ours, std::string(buf, size_t(dst - buf))) << std::hex << uint32_t(c);
  }
  EXPECT_EQ(encodable, 398);
  std::string out;
  EXPECT_FALSE(Utf8CharToIso6937(Utf8(0x1F600), out));
}

#endif

}  // namespace
}  // namespace pelagor
