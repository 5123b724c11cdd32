#include <cstddef>
#include <cstdint>

#include "FuzzEntries.h"

// QINGLAN_FUZZ_ENTRY names the entry this target runs; the build sets it per target.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return qinglan::fuzz::QINGLAN_FUZZ_ENTRY(data, size);
}
