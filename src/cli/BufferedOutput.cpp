#include "cli/BufferedOutput.h"

#include <cstdio>

#include "platform/Console.h"

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
  platform::writeStandard(platform::StandardStream::Output, m_buffer);
  std::fflush(stdout);
  m_buffer.clear();
}

}  // namespace qinglan::cli
