#include "cli/BufferedOutput.h"

#include <cstdio>

namespace qinglan::cli {

namespace {

constexpr size_t kFlushThreshold = 1 << 20;

}  // namespace

BufferedOutput::BufferedOutput() {
  m_buffer.reserve(2 * kFlushThreshold);
}

BufferedOutput::~BufferedOutput() {
  flush();
}

void BufferedOutput::line(std::string_view text) {
  m_buffer += text;
  m_buffer += '\n';
  flushWhenFull();
}

void BufferedOutput::flushWhenFull() {
  if (m_buffer.size() >= kFlushThreshold)
    flush();
}

void BufferedOutput::flush() {
  std::fwrite(m_buffer.data(), 1, m_buffer.size(), stdout);
  std::fflush(stdout);
  m_buffer.clear();
}

}  // namespace qinglan::cli
