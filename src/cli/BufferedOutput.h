#pragma once

#include <string>
#include <string_view>

namespace qinglan::cli {

// Collects standard output and writes it in large blocks: a command may print hundreds of
// thousands of lines. Whatever is left is written on destruction.
class BufferedOutput {
 public:
  BufferedOutput();
  ~BufferedOutput();
  BufferedOutput(const BufferedOutput&) = delete;
  BufferedOutput& operator=(const BufferedOutput&) = delete;

  // For assembling a line in place; call flushWhenFull() once it is complete.
  std::string& buffer() { return m_buffer; }
  void line(std::string_view text);
  void flushWhenFull();
  void flush();

 private:
  std::string m_buffer;
};

}  // namespace qinglan::cli
