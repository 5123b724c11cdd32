#include "platform/IniFile.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#ifndef _WIN32
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "platform/Codepage.h"
#include "platform/IniFileIo.h"
#include "platform/OwnFolder.h"
#include "support/TempDir.h"

namespace qinglan::platform {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using testing::ElementsAre;
using testing::IsEmpty;
using testing::Pair;

// 示例 in GBK.
const std::string kExampleGbk = "\xCA\xBE\xC0\xFD";

std::string readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> folderEntries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  return names;
}

// Puts back the real system calls when a test that replaced one ends.
class IoOverride {
 public:
  IoOverride() : m_saved(detail::iniFileIo) {}
  ~IoOverride() { detail::iniFileIo = m_saved; }
  IoOverride(const IoOverride&) = delete;
  IoOverride& operator=(const IoOverride&) = delete;

 private:
  detail::IniFileIo m_saved;
};

class IniFileTest : public testing::Test {
 protected:
  IniFile fileWith(std::string_view content) { return IniFile(m_dir.writeFile("wb.lst", content)); }
  IniFile missingFile() { return IniFile(m_dir.path("wb.lst")); }
  std::string bytes() { return readBytes(m_dir.path("wb.lst")); }

  test::TempDir m_dir;
};

TEST_F(IniFileTest, ReadsGbkWithNamesMatchedWithoutCase) {
  const IniFile ini = fileWith("[White]\r\n1002=1\r\n[WhiteName]\r\n1002=" + kExampleGbk + "\r\n");
  EXPECT_EQ(ini.readString("white", "1002", "0"), "1");
  EXPECT_EQ(ini.readString("WHITENAME", "1002", ""), "示例");
  EXPECT_THAT(ini.readSection("wHITE"), ElementsAre("1002"));
  EXPECT_THAT(ini.readSectionValues("whitename"), ElementsAre(Pair("1002", "示例")));
}

TEST_F(IniFileTest, MissingFileSectionOrKeyGivesTheDefault) {
  EXPECT_EQ(missingFile().readString("White", "1002", "none"), "none");
  EXPECT_THAT(missingFile().readSection("White"), IsEmpty());

  const IniFile ini = fileWith("[White]\r\n1002=\r\n");
  EXPECT_EQ(ini.readString("Other", "1002", "none"), "none");
  EXPECT_EQ(ini.readString("White", "1003", "none"), "none");
  EXPECT_EQ(ini.readString("White", "1002", "none"), "");
}

TEST_F(IniFileTest, AFolderInPlaceOfTheFileReadsAsMissing) {
  m_dir.makeFolder("wb.lst");
  EXPECT_EQ(missingFile().readString("White", "1002", "none"), "none");
}

struct StoredValue {
  std::string line;
  std::string expected;
};

void PrintTo(const StoredValue& value, std::ostream* out) {
  *out << testing::PrintToString(value.line);
}

class IniFileValueTest : public IniFileTest, public testing::WithParamInterface<StoredValue> {};

TEST_P(IniFileValueTest, IsTrimmedAndUnquoted) {
  const IniFile ini = fileWith("[s]\r\n" + GetParam().line + "\r\n");
  EXPECT_EQ(ini.readString("s", "k", "default"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, IniFileValueTest,
                         testing::Values(StoredValue{"k=v", "v"}, StoredValue{" \tk \t= \tv w \t ", "v w"},
                                         StoredValue{"k=a=b", "a=b"}, StoredValue{"k=", ""},
                                         StoredValue{"k=\" a b \"", " a b "}, StoredValue{"k='x'", "x"},
                                         StoredValue{"k=\"\"", ""}, StoredValue{"k=\"x'", "\"x'"},
                                         StoredValue{"k=\"", "\""}, StoredValue{"k=a\"b\"", "a\"b\""}));

class IniFileLineEndTest : public IniFileTest, public testing::WithParamInterface<std::string> {};

TEST_P(IniFileLineEndTest, EveryLineEndSeparatesLines) {
  const std::string end = GetParam();
  const IniFile ini = fileWith("[s]" + end + "a=1" + end + end + "b=2" + end + "[t]" + end + "c=3");
  EXPECT_THAT(ini.readSectionValues("s"), ElementsAre(Pair("a", "1"), Pair("b", "2")));
  EXPECT_EQ(ini.readString("t", "c", ""), "3");
}

INSTANTIATE_TEST_SUITE_P(Cases, IniFileLineEndTest, testing::Values("\r\n", "\n", "\r"));

TEST_F(IniFileTest, ReadsSeeOnlyTheFirstSectionAndKeyOfAName) {
  const IniFile ini = fileWith(
      "k=outside\r\n[S]\r\n;k=comment\r\nnot an entry\r\nk=first\r\nK=second\r\nother=1\r\n"
      "[s]\r\nk=third\r\nlate=1\r\n");
  EXPECT_EQ(ini.readString("s", "k", ""), "first");
  EXPECT_EQ(ini.readString("s", "late", "none"), "none");
  EXPECT_THAT(ini.readSection("s"), ElementsAre("k", "other"));
  EXPECT_THAT(ini.readSectionValues("s"), ElementsAre(Pair("k", "first"), Pair("other", "1")));
}

TEST_F(IniFileTest, ANulEndsTheTextOfItsLineOnly) {
  const IniFile ini = fileWith("[s]\r\na=1\0hidden=2\r\nb=2\r\n\0\r\n"s);
  EXPECT_EQ(ini.readString("s", "a", ""), "1");
  EXPECT_EQ(ini.readString("s", "hidden", "none"), "none");
  EXPECT_EQ(ini.readString("s", "b", ""), "2");
}

TEST_F(IniFileTest, ValuesAreCutAt2047Characters) {
  std::string wide;
  std::string wideGbk;
  for (int i = 0; i < 2100; ++i) {
    wide += "示";
    wideGbk += "\xCA\xBE";
  }
  const std::string expectedWide = wide.substr(0, 2047 * 3);

  EXPECT_EQ(fileWith("[s]\r\nk=" + std::string(3000, 'a')).readString("s", "k", ""), std::string(2047, 'a'));
  EXPECT_EQ(fileWith("[s]\r\nk=" + std::string(2047, 'a')).readString("s", "k", ""), std::string(2047, 'a'));
  EXPECT_EQ(fileWith("[s]\r\nk=" + wideGbk).readString("s", "k", ""), expectedWide);
  EXPECT_EQ(fileWith("\xEF\xBB\xBF[s]\r\nk=" + wide).readString("s", "k", ""), expectedWide);
}

TEST_F(IniFileTest, ByteOrderMarksChooseTheEncoding) {
  const std::string text = "[White]\r\n1002=示例\r\n";
  EXPECT_EQ(fileWith("\xEF\xBB\xBF" + text).readString("white", "1002", ""), "示例");
  EXPECT_EQ(fileWith("\xFF\xFE" + utf8ToUtf16le(text)).readString("white", "1002", ""), "示例");
  // Without a mark the bytes are GBK, whatever they look like.
  EXPECT_EQ(fileWith(text).readString("white", "1002", ""), gbkToUtf8("示例"));
}

TEST_F(IniFileTest, FirstWritesCreateTheFileInGbkWithCrLf) {
  IniFile ini = missingFile();
  ini.writeString("White", "1002", "1");
  ini.writeString("WhiteName", "1002", "示例");
  ini.writeString("WhiteName", "1003", "a\xF0\x9F\x98\x80");
  EXPECT_EQ(bytes(), "[White]\r\n1002=1\r\n[WhiteName]\r\n1002=" + kExampleGbk + "\r\n1003=a?\r\n");
  EXPECT_EQ(ini.readString("white", "1002", ""), "1");
  EXPECT_EQ(ini.readString("whitename", "1002", ""), "示例");
}

TEST_F(IniFileTest, WritesKeepEveryOtherLineByteForByte) {
  const std::string head =
      "; kept as written\n[Other]\r\nx = " + kExampleGbk + " \r\n\xFF\x81 stray\r\n\n[white]\n";
  const std::string tail = "1003=1\n\n; about the tail\n[Tail]\nz=1";
  IniFile ini = fileWith(head + "  1002 = 0  \n" + tail);

  ini.writeString("White", "1002", "1");
  EXPECT_EQ(bytes(), head + "1002=1\n" + tail);

  // A new key follows the section's last entry, ahead of the blank line and comment.
  ini.writeString("WHITE", "1004", "2");
  EXPECT_EQ(bytes(), head + "1002=1\n1003=1\n1004=2\r\n\n; about the tail\n[Tail]\nz=1");

  // A new section goes at the end; the last line gains the line end it lacked.
  ini.writeString("New", "k", "v");
  EXPECT_EQ(bytes(), head + "1002=1\n1003=1\n1004=2\r\n\n; about the tail\n[Tail]\nz=1\r\n[New]\r\nk=v\r\n");
}

TEST_F(IniFileTest, AKeyForAnEmptySectionFollowsItsHeader) {
  IniFile ini = fileWith("[White]");
  ini.writeString("White", "1002", "1");
  EXPECT_EQ(bytes(), "[White]\r\n1002=1\r\n");
}

TEST_F(IniFileTest, WritesKeepTheEncodingOfAByteOrderMark) {
  IniFile utf8 = fileWith("\xEF\xBB\xBF[s]\r\n");
  utf8.writeString("s", "k", "示例\xF0\x9F\x98\x80");
  EXPECT_EQ(bytes(), "\xEF\xBB\xBF[s]\r\nk=示例\xF0\x9F\x98\x80\r\n");

  IniFile utf16 = fileWith("\xFF\xFE" + utf8ToUtf16le("[s]\r\nk=old\r\n"));
  utf16.writeString("s", "k", "示例");
  utf16.writeString("t", "k", "1");
  EXPECT_EQ(bytes(), "\xFF\xFE" + utf8ToUtf16le("[s]\r\nk=示例\r\n[t]\r\nk=1\r\n"));
}

TEST_F(IniFileTest, AWrittenValueCannotAddLines) {
  IniFile ini = missingFile();
  ini.writeString("s", "k", "1\r\n[Evil]\nx=1");
  EXPECT_EQ(ini.readString("s", "k", ""), "1  [Evil] x=1");
  EXPECT_THAT(ini.readSection("Evil"), IsEmpty());
}

TEST_F(IniFileTest, DeleteKeyRemovesOnlyThatKeysLines) {
  IniFile ini = fileWith("[White]\r\n1002=1\r\n; note\r\n1003=1\r\n1002=again\r\n[WhiteName]\r\n1002=x\r\n");
  ini.deleteKey("white", "1002");
  EXPECT_EQ(bytes(), "[White]\r\n; note\r\n1003=1\r\n[WhiteName]\r\n1002=x\r\n");
  EXPECT_EQ(ini.readString("White", "1002", "gone"), "gone");

  ini.deleteKey("White", "9999");
  ini.deleteKey("Nowhere", "1003");
  EXPECT_EQ(bytes(), "[White]\r\n; note\r\n1003=1\r\n[WhiteName]\r\n1002=x\r\n");
}

TEST_F(IniFileTest, DeletingFromAMissingFileCreatesNothing) {
  IniFile ini = missingFile();
  ini.deleteKey("White", "1002");
  ini.eraseSection("White");
  EXPECT_FALSE(fs::exists(ini.fileName()));
}

TEST_F(IniFileTest, EraseSectionRemovesEverySectionOfThatName) {
  IniFile ini =
      fileWith("; top\n[unvercheck]\n1002=1\n; inside\n[White]\n1003=1\n[UNVERCHECK]\n1004=2\n[Tail]\nz=1");
  ini.eraseSection("unvercheck");
  EXPECT_EQ(bytes(), "; top\n[White]\n1003=1\n[Tail]\nz=1");
  EXPECT_THAT(ini.readSection("unvercheck"), IsEmpty());
}

TEST_F(IniFileTest, WritesKeepTheFileModeAndNeverGoThroughALink) {
#ifdef _WIN32
  GTEST_SKIP() << "file modes and symbolic links are POSIX ones";
#else
  ::chmod(fileWith("[s]\r\nk=0\r\n").fileName().c_str(), 0640);
  missingFile().writeString("s", "k", "1");
  EXPECT_EQ(bytes(), "[s]\r\nk=1\r\n");
  EXPECT_EQ(fs::status(m_dir.path("wb.lst")).permissions() & fs::perms::mask, fs::perms(0640));

  // A link at the file, at its folder, or a folder others may write to: the write is refused and
  // nothing outside changes.
  const test::TempDir outside;
  const std::string target = outside.writeFile("target", "[s]\r\nk=0\r\n");
  fs::remove(m_dir.path("wb.lst"));
  fs::create_symlink(target, m_dir.path("wb.lst"));
  fs::create_symlink(outside.path(), m_dir.path("linked"));
  const std::string open = m_dir.makeFolder("open");
  ::chmod(open.c_str(), 0777);
  for (const std::string& file : {m_dir.path("wb.lst"), m_dir.path("linked/target"), open + "/wb.lst"})
    EXPECT_THROW(IniFile(file).writeString("s", "k", "1"), UnsafeFolderError) << file;
  EXPECT_EQ(readBytes(target), "[s]\r\nk=0\r\n");
  EXPECT_TRUE(fs::is_symlink(m_dir.path("wb.lst")));
  EXPECT_THAT(folderEntries(outside.path()), ElementsAre("target"));
  EXPECT_THAT(folderEntries(open), IsEmpty());
#endif
}

TEST_F(IniFileTest, ShortWritesStillWriteEverything) {
  IoOverride restore;
  detail::iniFileIo.write = [](int fd, const void* data, std::size_t size) {
    return detail::systemIniFileIo().write(fd, data, std::min<std::size_t>(size, 3));
  };
  IniFile ini = missingFile();
  ini.writeString("WhiteName", "1002", "示例");
  EXPECT_EQ(bytes(), "[WhiteName]\r\n1002=" + kExampleGbk + "\r\n");
}

using FailStep = void (*)(detail::IniFileIo&);

class IniFileRefusedWriteTest : public IniFileTest, public testing::WithParamInterface<FailStep> {};

TEST_P(IniFileRefusedWriteTest, KeepsTheOldFileAndLeavesNoTemporaryFile) {
  const std::string original = "; mine\r\n[White]\r\n1002=1\r\n";
  IniFile ini = fileWith(original);
  IoOverride restore;
  GetParam()(detail::iniFileIo);

  try {
    ini.writeString("White", "1003", "1");
    FAIL() << "the write was reported as done";
  } catch (const IniWriteError& error) {
    EXPECT_STREQ(error.what(), ("Unable to write to " + ini.fileName()).c_str());
  }
  EXPECT_THROW(ini.deleteKey("White", "1002"), IniWriteError);
  EXPECT_THROW(ini.eraseSection("White"), IniWriteError);
  EXPECT_EQ(bytes(), original);
  EXPECT_THAT(folderEntries(m_dir.path()), ElementsAre("wb.lst"));

  IniFile fresh(m_dir.path("new.lst"));
  EXPECT_THROW(fresh.writeString("White", "1002", "1"), IniWriteError);
  EXPECT_THAT(folderEntries(m_dir.path()), ElementsAre("wb.lst"));
}

INSTANTIATE_TEST_SUITE_P(EachStep, IniFileRefusedWriteTest,
                         testing::Values(
                             [](detail::IniFileIo& io) {
                               io.open = [](int, const char*, int, unsigned) {
                                 errno = EACCES;
                                 return -1;
                               };
                             },
                             [](detail::IniFileIo& io) {
                               io.write = [](int, const void*, std::size_t) -> std::ptrdiff_t {
                                 errno = ENOSPC;
                                 return -1;
                               };
                             },
                             // A write that stops making progress half-way.
                             [](detail::IniFileIo& io) {
                               io.write = [](int fd, const void* data, std::size_t size) -> std::ptrdiff_t {
                                 return size > 8 ? detail::systemIniFileIo().write(fd, data, 8) : 0;
                               };
                             },
                             [](detail::IniFileIo& io) {
                               io.fsync = [](int) {
                                 errno = EIO;
                                 return -1;
                               };
                             },
                             [](detail::IniFileIo& io) {
                               io.rename = [](int, const char*, const char*) {
                                 errno = EXDEV;
                                 return -1;
                               };
                             }));

TEST_F(IniFileTest, AFileThatCannotBeReadIsNeverReplaced) {
  m_dir.makeFolder("wb.lst/inside");
  IniFile ini = missingFile();
  EXPECT_THROW(ini.writeString("White", "1002", "1"), IniWriteError);
  EXPECT_TRUE(fs::is_directory(m_dir.path("wb.lst/inside")));
}

// Files no writer of this program makes: each reads as far as it makes sense, and a later write
// lands and reads back while the sections it does not touch read as before.
struct HostileFile {
  std::string name;
  std::string content;
  std::string section;
  std::string key;
  std::string expected;  // what reading section/key gives, "default" for nothing
};

void PrintTo(const HostileFile& file, std::ostream* out) {
  *out << file.name;
}

class IniFileHostileTest : public IniFileTest, public testing::WithParamInterface<HostileFile> {};

TEST_P(IniFileHostileTest, ReadsWhatMakesSenseAndTakesAWrite) {
  IniFile ini = fileWith(GetParam().content);
  EXPECT_EQ(ini.readString(GetParam().section, GetParam().key, "default"), GetParam().expected);
  const auto before = ini.readSectionValues(GetParam().section);

  ini.writeString("Added", "k", "值");
  EXPECT_EQ(ini.readString("Added", "k", ""), "值");
  EXPECT_EQ(ini.readSectionValues(GetParam().section), before);
}

std::string utf16(std::string_view text) {
  return utf8ToUtf16le(text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniFileHostileTest,
    testing::Values(
        HostileFile{"NulInsideAHeader", "[Wh\0ite]\r\nk=1\r\n[White]\r\nk=2\r\n"s, "White", "k", "2"},
        HostileFile{"NulBeforeTheFirstLine", "\0\0\0[White]\r\nk=1\r\n"s, "White", "k", "default"},
        HostileFile{"MegabyteValue", "[White]\r\nk=" + std::string(1 << 20, 'v') + "\r\nj=2\r\n", "White",
                    "j", "2"},
        HostileFile{"MegabyteLineWithoutBreak", "[White]\r\nj=2\r\n" + std::string(1 << 20, ';'), "White",
                    "j", "2"},
        HostileFile{"MegabyteSectionName", "[" + std::string(1 << 20, 'S') + "]\nk=1\n[White]\nk=2", "White",
                    "k", "2"},
        HostileFile{"CarriageReturnsOnly", "[White]\rk=1\r\r[Next]\rk=2\r", "Next", "k", "2"},
        HostileFile{"Utf16WithMark", "\xFF\xFE" + utf16("[White]\r\nk=示例\r\n"), "white", "k", "示例"},
        HostileFile{"Utf16WithMarkAndAnOddLastByte", "\xFF\xFE" + utf16("[White]\r\nk=1") + "\x41", "White",
                    "k", "1\xEF\xBF\xBD"},
        // Without the mark the bytes are GBK: every NUL ends its line's text, so nothing is found.
        HostileFile{"Utf16WithoutMark", utf16("[White]\r\nk=1\r\n"), "White", "k", "default"},
        HostileFile{"DuplicateSections", "[White]\nk=1\n[white]\nk=2\nj=3\n", "WHITE", "j", "default"},
        HostileFile{"HeaderWithoutClosingBracket", "[White\r\nk=1\r\n", "White", "k", "default"},
        HostileFile{"ClosingBracketOnly", "]\r\n[\r\n[]\r\n=1\r\n[White]\r\nk=1", "White", "k", "1"}),
    [](const testing::TestParamInfo<HostileFile>& info) { return info.param.name; });

TEST_F(IniFileTest, ASectionWithoutClosingBracketIsNotTakenForTheNewOne) {
  IniFile ini = fileWith("[White\r\nk=old\r\n");
  ini.writeString("White", "k", "new");
  EXPECT_EQ(bytes(), "[White\r\nk=old\r\n[White]\r\nk=new\r\n");
}

#ifdef _WIN32
TEST_F(IniFileTest, AWriterKilledOrAFullFileSystemLeaveTheOldOrTheNewFile) {
  GTEST_SKIP() << "writers are killed in forked children and a full tmpfs is mounted on POSIX systems only";
}
#else
// Two contents a writer alternates between; the comment line makes each write take a while.
class IniFileCrashTest : public IniFileTest {
 protected:
  static std::string contentWith(std::string_view value) {
    return "; " + std::string(256 * 1024, 'x') + "\r\n[unvercheck]\r\n1002=" + std::string(value) + "\r\n";
  }

  // A child process that rewrites the file until it is killed.
  pid_t startWriter() {
    const pid_t child = ::fork();
    if (child == 0) {
      IniFile ini(m_dir.path("wb.lst"));
      for (int round = 0; round < 100000; ++round)
        ini.writeString("unvercheck", "1002", round % 2 == 0 ? "2.0" : "1.0");
      ::_exit(0);
    }
    return child;
  }
};

TEST_F(IniFileCrashTest, AWriterKilledAtAnyMomentLeavesTheOldOrTheNewFile) {
  fileWith(contentWith("1.0"));
  const std::string first = contentWith("1.0");
  const std::string second = contentWith("2.0");
  std::mt19937 random(20240601);
  std::uniform_int_distribution<int> delayUs(0, 5000);

  for (int kill = 0; kill < 200; ++kill) {
    const pid_t writer = startWriter();
    ASSERT_GT(writer, 0);
    std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
    ::kill(writer, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(writer, &status, 0), writer);

    const std::string now = bytes();
    ASSERT_TRUE(now == first || now == second) << "after kill " << kill << ": " << now.size() << " bytes";
    const std::string value = missingFile().readString("UNVERCHECK", "1002", "");
    ASSERT_TRUE(value == "1.0" || value == "2.0") << value;
  }

  // Temporary files of killed writers stand in nobody's way.
  IniFile ini = missingFile();
  ini.writeString("unvercheck", "1002", "3.0");
  EXPECT_EQ(bytes(), contentWith("3.0"));
}

// A tmpfs of a few pages mounted over a folder of the test, unmounted at the end.
class SmallFileSystem {
 public:
  explicit SmallFileSystem(const std::string& folder) : m_folder(folder) {
    m_mounted = ::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=64k,mode=0755") == 0;
  }
  ~SmallFileSystem() {
    if (m_mounted)
      ::umount2(m_folder.c_str(), MNT_DETACH);
  }
  SmallFileSystem(const SmallFileSystem&) = delete;
  SmallFileSystem& operator=(const SmallFileSystem&) = delete;

  bool mounted() const { return m_mounted; }

  // Writes a file until the file system has no block left.
  void fill() const {
    std::ofstream filler(m_folder + "/filler", std::ios::binary);
    const std::string block(4096, 'f');
    for (int i = 0; i < 1024 && filler.write(block.data(), block.size()).flush(); ++i) {
    }
  }

 private:
  std::string m_folder;
  bool m_mounted = false;
};

TEST_F(IniFileTest, AFullFileSystemKeepsTheOldFileAndRaises) {
  const SmallFileSystem small(m_dir.makeFolder("small"));
  if (!small.mounted())
    GTEST_SKIP() << "no tmpfs can be mounted here; the injected ENOSPC write covers the failure";
  const std::string path = m_dir.path("small/wb.lst");
  const std::string original = "[White]\r\n1002=1\r\n";
  std::ofstream(path, std::ios::binary) << original;
  small.fill();

  IniFile ini(path);
  try {
    ini.writeString("WhiteName", "1002", std::string(16 * 1024, 'n'));
    FAIL() << "the write was reported as done";
  } catch (const IniWriteError& error) {
    EXPECT_EQ(error.what(), "Unable to write to " + path);
  }
  EXPECT_EQ(readBytes(path), original);
  EXPECT_EQ(ini.readString("White", "1002", ""), "1");
  EXPECT_THAT(folderEntries(m_dir.path("small")), testing::UnorderedElementsAre("wb.lst", "filler"));
}

#endif

}  // namespace
}  // namespace qinglan::platform
