#pragma once
// Small pieces both scanners use.

#include <cstdint>
#include <cstring>
#include <string>

namespace scanner_util {

inline bool LettersAre(const uint8_t* block, const char* four) { return std::memcmp(block, four, 4) == 0; }

// The key of a direct child in the scanner's index: parent index, then name.
inline std::u16string ChildKey(int64_t parent, const std::u16string& name) {
  std::u16string key(4, u'\0');
  const uint64_t p = static_cast<uint64_t>(parent);
  for (int i = 0; i < 4; ++i) key[static_cast<size_t>(i)] = static_cast<char16_t>(p >> (16 * i));
  key += name;
  return key;
}

// "SET %d :" followed by the set's name.
inline std::u16string SetNodeName(uint16_t number, const std::u16string& name) {
  const std::string digits = std::to_string(number);
  std::u16string text = u"SET ";
  for (char c : digits) text += static_cast<char16_t>(c);
  text += u" :";
  text += name;
  return text;
}

}  // namespace scanner_util
