#include "platform/Codepage.h"

#include <algorithm>
#include <cstddef>
#include <string>

namespace qinglan::platform {

bool isAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::size_t utf8SequenceLength(std::string_view text) {
  const auto byte = [text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80)
    return 1;
  // The second byte's range rules out overlong forms, surrogates and values above U+10FFFF.
  std::size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0)
      low = 0xA0;
    if (lead == 0xED)
      high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0)
      low = 0x90;
    if (lead == 0xF4)
      high = 0x8F;
  } else {
    return 0;
  }
  if (text.size() < length || byte(1) < low || byte(1) > high)
    return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80)
      return 0;
  }
  return length;
}

bool isValidUtf8(std::string_view text) {
  while (!text.empty()) {
    const std::size_t length = utf8SequenceLength(text);
    if (length == 0)
      return false;
    text.remove_prefix(length);
  }
  return true;
}

std::size_t lengthWithoutCutSequence(std::string_view text) {
  // A cut sequence is a lead byte among the last three with fewer bytes after it than it announces.
  for (std::size_t back = 1; back <= 3 && back <= text.size(); ++back) {
    const auto byte = static_cast<unsigned char>(text[text.size() - back]);
    if ((byte & 0xC0) == 0x80)
      continue;
    const std::size_t announced = byte >= 0xF5   ? 1
                                  : byte >= 0xF0 ? 4
                                  : byte >= 0xE0 ? 3
                                  : byte >= 0xC2 ? 2
                                                 : 1;
    return announced > back ? text.size() - back : text.size();
  }
  return text.size();
}

std::string toValidUtf8(std::string_view text) {
  if (isAscii(text))
    return std::string(text);
  std::string valid;
  valid.reserve(text.size());
  while (!text.empty()) {
    const std::size_t length = utf8SequenceLength(text);
    valid += length == 0 ? kReplacementUtf8 : text.substr(0, length);
    text.remove_prefix(std::max<std::size_t>(1, length));
  }
  return valid;
}

}  // namespace qinglan::platform
