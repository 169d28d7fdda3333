#include "view/DialogValidation.h"

namespace pelagor {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Digits only, at least one; the value saturates past limit so that overflow
// is seen without wrapping.
std::optional<uint64_t> Digits(std::string_view s, uint64_t limit) {
  if (s.empty()) return std::nullopt;
  uint64_t v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + uint64_t(c - '0');
    if (v > limit) return std::nullopt;
  }
  return v;
}

}  // namespace

std::string IntegerRangeText(int64_t low, int64_t high) {
  return "Please enter an integer between " + std::to_string(low) + " and " + std::to_string(high) + ".";
}

std::string MaxCharsText(int maxChars) {
  return "Please enter no more than " + std::to_string(maxChars) + " characters.";
}

std::optional<uint32_t> ParseUnsignedField(std::string_view text) {
  const auto v = Digits(Trimmed(text), 0xFFFFFFFFull);
  if (!v) return std::nullopt;
  return uint32_t(*v);
}

std::optional<int32_t> ParseIntegerField(std::string_view text) {
  std::string_view s = Trimmed(text);
  bool negative = false;
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  const auto v = Digits(s, negative ? 0x80000000ull : 0x7FFFFFFFull);
  if (!v) return std::nullopt;
  return negative ? int32_t(-int64_t(*v)) : int32_t(*v);
}

size_t CharacterCount(std::string_view utf8) {
  size_t n = 0;
  for (unsigned char c : utf8) {
    if ((c & 0xC0) != 0x80) ++n;  // continuation bytes belong to the previous character
  }
  return n;
}

std::string FirstCharacters(std::string_view utf8, size_t n) {
  size_t count = 0;
  for (size_t i = 0; i < utf8.size(); ++i) {
    if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80) {
      if (count == n) return std::string(utf8.substr(0, i));
      ++count;
    }
  }
  return std::string(utf8);
}

std::optional<std::string> CheckUnsigned(std::string_view text, uint32_t low, uint32_t high, uint32_t& out) {
  const auto v = ParseUnsignedField(text);
  if (!v) return std::string(kPositiveIntegerText);
  if (*v < low || *v > high) return IntegerRangeText(low, high);
  out = *v;
  return std::nullopt;
}

std::optional<std::string> CheckUnsigned(std::string_view text, uint32_t& out) {
  const auto v = ParseUnsignedField(text);
  if (!v) return std::string(kPositiveIntegerText);
  out = *v;
  return std::nullopt;
}

std::optional<std::string> CheckInteger(std::string_view text, int32_t& out) {
  const auto v = ParseIntegerField(text);
  if (!v) return std::string(kIntegerText);
  out = *v;
  return std::nullopt;
}

std::optional<std::string> CheckMaxChars(std::string_view text, int maxChars) {
  if (CharacterCount(text) > size_t(maxChars)) return MaxCharsText(maxChars);
  return std::nullopt;
}

std::optional<std::string> CheckField(const FieldRule& rule, std::string_view text) {
  switch (rule.kind) {
    case FieldKind::kUnsigned: {
      uint32_t v = 0;
      return rule.ranged ? CheckUnsigned(text, rule.low, rule.high, v) : CheckUnsigned(text, v);
    }
    case FieldKind::kInteger: {
      int32_t v = 0;
      return CheckInteger(text, v);
    }
    case FieldKind::kText: return rule.maxChars > 0 ? CheckMaxChars(text, rule.maxChars) : std::nullopt;
  }
  return std::nullopt;
}

}  // namespace pelagor
