#include "platform/Console.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <streambuf>

#include <windows.h>

#include <shellapi.h>

#include "platform/Codepage.h"
#include "platform/NativePath.h"

namespace qinglan::platform {

namespace {

constexpr size_t kConsoleBlock = 8192;  // older consoles refuse very large writes

bool isConsole(HANDLE stream) {
  DWORD mode = 0;
  return stream != nullptr && stream != INVALID_HANDLE_VALUE && ::GetFileType(stream) == FILE_TYPE_CHAR &&
         ::GetConsoleMode(stream, &mode) != 0;
}

HANDLE handleOf(StandardStream stream) {
  return ::GetStdHandle(stream == StandardStream::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
}

FILE* fileOf(StandardStream stream) {
  return stream == StandardStream::Output ? stdout : stderr;
}

void writeConsole(HANDLE console, std::string_view utf8) {
  const std::wstring wide = wideText(toValidUtf8(utf8));
  for (size_t done = 0; done < wide.size();) {
    DWORD written = 0;
    const auto block = static_cast<DWORD>(std::min(kConsoleBlock, wide.size() - done));
    if (!::WriteConsoleW(console, wide.data() + done, block, &written, nullptr) || written == 0)
      return;
    done += written;
  }
}

// Hands what a stream prints on at once, so that it keeps its place among other writes, holding
// back only a UTF-8 sequence cut short at the end of a write.
class ConsoleBuffer final : public std::streambuf {
 public:
  explicit ConsoleBuffer(StandardStream stream) : m_stream(stream) {}

 protected:
  int_type overflow(int_type c) override {
    if (c != traits_type::eof()) {
      m_pending.push_back(traits_type::to_char_type(c));
      pass();
    }
    return traits_type::not_eof(c);
  }

  std::streamsize xsputn(const char* text, std::streamsize count) override {
    m_pending.append(text, static_cast<size_t>(count));
    pass();
    return count;
  }

  int sync() override {
    pass();
    return 0;
  }

 private:
  void pass() {
    const size_t whole = lengthWithoutCutSequence(m_pending);
    writeStandard(m_stream, std::string_view(m_pending).substr(0, whole));
    m_pending.erase(0, whole);
  }

  StandardStream m_stream;
  std::string m_pending;
};

}  // namespace

bool errorStreamIsTerminal() {
  return isConsole(handleOf(StandardStream::Error));
}

void writeStandard(StandardStream stream, std::string_view utf8) {
  const HANDLE handle = handleOf(stream);
  FILE* file = fileOf(stream);
  if (!isConsole(handle)) {
    std::fwrite(utf8.data(), 1, utf8.size(), file);
    return;
  }
  std::fflush(file);
  writeConsole(handle, utf8);
}

void printToConsoleAsWritten() {
  // Never destroyed: the streams may still flush through them while the program ends.
  if (isConsole(handleOf(StandardStream::Output))) {
    std::cout.flush();
    std::cout.rdbuf(new ConsoleBuffer(StandardStream::Output));
  }
  const HANDLE error = handleOf(StandardStream::Error);
  if (isConsole(error)) {
    std::cerr.rdbuf(new ConsoleBuffer(StandardStream::Error));
    // Progress lines redraw themselves with terminal sequences.
    DWORD mode = 0;
    if (::GetConsoleMode(error, &mode))
      ::SetConsoleMode(error, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
  }
}

std::vector<std::string> commandLineArguments(int argc, char** argv) {
  int count = 0;
  LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (wide == nullptr)
    return std::vector<std::string>(argv, argv + argc);
  std::vector<std::string> arguments;
  for (int i = 0; i < count; ++i)
    arguments.push_back(utf8Text(wide[i]));
  ::LocalFree(wide);
  return arguments;
}

}  // namespace qinglan::platform
