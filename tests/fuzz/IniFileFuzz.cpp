#include <fstream>
#include <string>
#include <string_view>

#include <unistd.h>

#include "FuzzCheck.h"
#include "FuzzEntries.h"
#include "FuzzScratch.h"
#include "platform/IniFile.h"

namespace qinglan::fuzz {
namespace {

// One folder for the whole run, removed at exit; each input overwrites the same file in it.
class ScratchFile {
 public:
  ScratchFile() : m_folder(makeScratchFolder("ini-fuzz")) { m_path = m_folder + "/wb.lst"; }
  ~ScratchFile() {
    ::unlink(m_path.c_str());
    ::rmdir(m_folder.c_str());
  }
  const std::string& write(std::string_view bytes) const {
    std::ofstream out(m_path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    FUZZ_CHECK(out.good());
    return m_path;
  }

 private:
  std::string m_folder;
  std::string m_path;
};

constexpr std::string_view kSection = "Fuzz";
constexpr std::string_view kKey = "fuzzkey";
constexpr std::string_view kValue = "值 1";

}  // namespace

int fuzzIniFile(const uint8_t* data, size_t size) {
  static const ScratchFile scratch;
  platform::IniFile ini(scratch.write(std::string_view(reinterpret_cast<const char*>(data), size)));

  // Whatever the file holds reads without fault, and the sections found read consistently.
  const auto white = ini.readSectionValues("White");
  FUZZ_CHECK(ini.readSection("White").size() == white.size());
  for (const auto& [key, value] : white)
    FUZZ_CHECK(ini.readString("White", key, "\x01missing") == value);

  // A write lands, keeps the other sections as they read, and reads back; so do the deletions.
  ini.writeString(kSection, kKey, kValue);
  FUZZ_CHECK(ini.readString(kSection, kKey, "") == kValue);
  FUZZ_CHECK(ini.readSectionValues("White") == white);
  ini.deleteKey(kSection, kKey);
  FUZZ_CHECK(ini.readString(kSection, kKey, "gone") == "gone");
  ini.writeString(kSection, kKey, kValue);
  ini.eraseSection(kSection);
  FUZZ_CHECK(ini.readSection(kSection).empty());
  FUZZ_CHECK(ini.readSectionValues("White") == white);
  return 0;
}

}  // namespace qinglan::fuzz
