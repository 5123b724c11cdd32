#pragma once

#include <utility>

#include <unistd.h>

namespace qinglan::platform {

// An open descriptor, closed when this object goes or is given another.
class Descriptor {
 public:
  explicit Descriptor(int fd = -1) : m_fd(fd) {}
  ~Descriptor() { reset(); }
  Descriptor(Descriptor&& other) noexcept : m_fd(other.release()) {}
  Descriptor& operator=(Descriptor&& other) noexcept {
    if (this != &other)
      reset(other.release());
    return *this;
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;

  int get() const { return m_fd; }
  bool valid() const { return m_fd >= 0; }
  int release() { return std::exchange(m_fd, -1); }
  void reset(int fd = -1) {
    if (m_fd >= 0)
      ::close(m_fd);
    m_fd = fd;
  }

 private:
  int m_fd;
};

}  // namespace qinglan::platform
