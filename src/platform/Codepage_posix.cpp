#include "platform/Codepage.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <stdexcept>
#include <string>

#include <iconv.h>

namespace qinglan::platform {
namespace {

constexpr std::string_view kReplacementUtf16le = "\xFD\xFF";

// What stands in the output for input that cannot be converted, and how many input bytes it covers.
struct Substitute {
  std::string_view text;
  std::size_t inputBytes;
};

// One iconv conversion direction. A handle keeps state between calls, so each thread owns its own.
class Converter {
 public:
  Converter(const char* to, const char* from) : m_handle(::iconv_open(to, from)) {
    if (m_handle == kInvalidHandle)
      throw std::runtime_error(std::string("iconv cannot convert from ") + from + " to " + to);
  }
  ~Converter() { ::iconv_close(m_handle); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts the whole input; at each sequence iconv refuses, substitute(rest) says what to write
  // and how far to skip, so bad input never stops the conversion.
  template <typename Substitution>
  std::string convert(std::string_view input, Substitution substitute) {
    std::string output;
    output.reserve(input.size() * 3 / 2 + 4);
    ::iconv(m_handle, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    char chunk[4096];
    while (inLeft > 0) {
      char* out = chunk;
      std::size_t outLeft = sizeof chunk;
      const std::size_t result = ::iconv(m_handle, &in, &inLeft, &out, &outLeft);
      const int error = errno;
      output.append(chunk, static_cast<std::size_t>(out - chunk));
      if (result != static_cast<std::size_t>(-1) || error == E2BIG)
        continue;
      const Substitute replacement = substitute(std::string_view(in, inLeft));
      output += replacement.text;
      in += replacement.inputBytes;
      inLeft -= replacement.inputBytes;
      ::iconv(m_handle, nullptr, nullptr, nullptr, nullptr);
    }
    return output;
  }

 private:
  static inline const iconv_t kInvalidHandle = reinterpret_cast<iconv_t>(-1);
  iconv_t m_handle;
};

Substitute skipUtf8Character(std::string_view rest, std::string_view replacement) {
  return {replacement, std::max<std::size_t>(1, utf8SequenceLength(rest))};
}

}  // namespace

std::string gbkToUtf8(std::string_view gbk) {
  if (isAscii(gbk))
    return std::string(gbk);
  thread_local Converter converter("UTF-8", "GBK");
  return converter.convert(gbk, [](std::string_view) { return Substitute{kReplacementUtf8, 1}; });
}

std::string utf8ToGbk(std::string_view utf8) {
  if (isAscii(utf8))
    return std::string(utf8);
  thread_local Converter converter("GBK", "UTF-8");
  return converter.convert(utf8, [](std::string_view rest) { return skipUtf8Character(rest, "?"); });
}

std::string utf16leToUtf8(std::string_view utf16le) {
  thread_local Converter converter("UTF-8", "UTF-16LE");
  return converter.convert(utf16le, [](std::string_view rest) {
    return Substitute{kReplacementUtf8, std::min<std::size_t>(2, rest.size())};
  });
}

std::string utf8ToUtf16le(std::string_view utf8) {
  thread_local Converter converter("UTF-16LE", "UTF-8");
  return converter.convert(
      utf8, [](std::string_view rest) { return skipUtf8Character(rest, kReplacementUtf16le); });
}

}  // namespace qinglan::platform
