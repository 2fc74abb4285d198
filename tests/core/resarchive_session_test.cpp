// The browser's working copy: extracting into a private folder, repacking from the extracted
// files, and closing.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "resarchive/res_archive.h"
#include "streams/atomic_file.h"
#include "streams/error.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;
using kx::ResArchiveSession;
using kxtest::Bytes;
using kxtest::Hex;
using kxtest::ReadFile;
using kxtest::WriteFile;

// Three resources stored out of table order with gaps, and two trailing bytes in the data area:
//   #10 attr 07 at 8, 4 bytes   89 50 4E 47
//   #255 attr 00 at 0, 3 bytes  4D 54 68
//   #1 attr 80 at 4, 2 bytes    01 02
const std::string kThree =
    "00 00 00 2D 03"
    " 0A 07 00 00 00 08 00 00 00 04"
    " FF 00 00 00 00 00 00 00 00 03"
    " 01 80 00 00 00 04 00 00 00 02"
    " 4D 54 68 EE 01 02 EE EE 89 50 4E 47 EE EE";

// The same archive as saved: table order, offsets 0, 4, 7, nothing after the last resource.
const std::string kThreePacked =
    "00 00 00 28 03"
    " 0A 07 00 00 00 00 00 00 00 04"
    " FF 00 00 00 00 04 00 00 00 03"
    " 01 80 00 00 00 07 00 00 00 02"
    " 89 50 4E 47 4D 54 68 01 02";

class ResArchiveSessionTest : public ::testing::Test {
 protected:
  // The user's temporary folder stands in a test folder, so the tests can see what is left.
  kxtest::TempDir temp;
  kxtest::TempDir work;
  fs::path archive = work / "res.raw";
  ResArchiveSession session{temp.path()};

  void SetUp() override { WriteFile(archive, Hex(kThree)); }
  void TearDown() override { kx::SetWriteFaultForTesting(nullptr); }

  size_t EntriesIn(const fs::path& dir) {
    return static_cast<size_t>(std::distance(fs::directory_iterator(dir), {}));
  }
};

TEST_F(ResArchiveSessionTest, ExtractsEveryResourceIntoAFreshOwnerOnlyFolder) {
  ASSERT_TRUE(session.LoadArchive(archive));
  EXPECT_TRUE(session.ArchiveOpened());
  fs::path folder = session.ResourceFolder();
  EXPECT_EQ(folder.parent_path(), temp.path());
  struct stat st {};
  ASSERT_EQ(::stat(folder.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_EQ(session.Names(), (std::vector<std::string>{"_0A.png", "_FF.mid", "_01.tmp"}));
  EXPECT_EQ(ReadFile(session.PathOf(0)), Hex("89 50 4E 47"));
  EXPECT_EQ(ReadFile(session.PathOf(1)), Hex("4D 54 68"));
  EXPECT_EQ(ReadFile(session.PathOf(2)), Hex("01 02"));
  EXPECT_EQ(EntriesIn(folder), 3u);

  // The next archive gets a folder of its own; the previous one is gone with its files.
  ASSERT_TRUE(session.LoadArchive(archive));
  EXPECT_NE(session.ResourceFolder(), folder);
  EXPECT_FALSE(fs::exists(folder));
  EXPECT_EQ(EntriesIn(temp.path()), 1u);
}

TEST_F(ResArchiveSessionTest, CloseDeletesTheExtractedFilesAndTheirFolderAndLeavesTheArchive) {
  ASSERT_TRUE(session.LoadArchive(archive));
  ASSERT_TRUE(fs::remove(session.PathOf(1)));  // a file gone already is no trouble
  WriteFile(session.PathOf(0), Hex("89 00"));  // an edit that is not saved is lost
  session.Close();
  EXPECT_FALSE(session.ArchiveOpened());
  EXPECT_TRUE(session.Names().empty());
  EXPECT_EQ(EntriesIn(temp.path()), 0u);
  EXPECT_EQ(ReadFile(archive), Hex(kThree));
  session.Close();  // closing with nothing open does nothing
}

TEST_F(ResArchiveSessionTest, EndingWithoutCloseLeavesTheExtractedFiles) {
  fs::path folder;
  {
    ResArchiveSession other(temp.path());
    ASSERT_TRUE(other.LoadArchive(archive));
    folder = other.ResourceFolder();
  }
  EXPECT_EQ(EntriesIn(folder), 3u);
}

TEST_F(ResArchiveSessionTest, SavingAnUneditedArchivePacksItContiguously) {
  ASSERT_TRUE(session.LoadArchive(archive));
  EXPECT_TRUE(session.Save().empty());
  Bytes saved = ReadFile(archive);
  EXPECT_EQ(kxtest::ToHex(saved), kxtest::ToHex(Hex(kThreePacked)));
  EXPECT_EQ(saved[3], saved.size() - 4);
  // The archive stays open over the same files; saving again gives the same bytes.
  EXPECT_TRUE(session.ArchiveOpened());
  EXPECT_EQ(ReadFile(session.PathOf(0)), Hex("89 50 4E 47"));
  session.Save();
  EXPECT_EQ(ReadFile(archive), saved);
}

TEST_F(ResArchiveSessionTest, EmptyArchiveSavesAsFiveBytes) {
  WriteFile(archive, Hex("00 00 00 03 00 AA BB"));  // trailing bytes in the data area
  ASSERT_TRUE(session.LoadArchive(archive));
  EXPECT_TRUE(session.Names().empty());
  session.Save();
  EXPECT_EQ(ReadFile(archive), Hex("00 00 00 01 00"));
}

TEST_F(ResArchiveSessionTest, AnEditedResourceMovesTheLaterOffsets) {
  ASSERT_TRUE(session.LoadArchive(archive));
  WriteFile(session.PathOf(0), Hex("89 50 4E 47 0D 0A 1A 0A 00"));  // 4 -> 9 bytes
  session.Save();
  EXPECT_EQ(kxtest::ToHex(ReadFile(archive)),
            kxtest::ToHex(Hex("00 00 00 2D 03"
                              " 0A 07 00 00 00 00 00 00 00 09"
                              " FF 00 00 00 00 09 00 00 00 03"
                              " 01 80 00 00 00 0C 00 00 00 02"
                              " 89 50 4E 47 0D 0A 1A 0A 00 4D 54 68 01 02")));
}

TEST_F(ResArchiveSessionTest, RepeatedNumbersKeepTheirOwnData) {
  // #5 PNG "89 01" and #5 PNG "89 02".
  WriteFile(archive, Hex("00 00 00 19 02"
                         " 05 00 00 00 00 00 00 00 00 02"
                         " 05 01 00 00 00 02 00 00 00 02"
                         " 89 01 89 02"));
  ASSERT_TRUE(session.LoadArchive(archive));
  EXPECT_EQ(ReadFile(session.PathOf(0)), Hex("89 01"));
  EXPECT_EQ(ReadFile(session.PathOf(1)), Hex("89 02"));
  session.Save();
  EXPECT_EQ(ReadFile(archive), Hex("00 00 00 19 02"
                                   " 05 00 00 00 00 00 00 00 00 02"
                                   " 05 01 00 00 00 02 00 00 00 02"
                                   " 89 01 89 02"));
}

TEST_F(ResArchiveSessionTest, AMissingExtractedFileIsPackedEmptyAndReported) {
  ASSERT_TRUE(session.LoadArchive(archive));
  fs::remove(session.PathOf(1));
  std::vector<std::string> missing = session.Save();
  EXPECT_EQ(missing, std::vector<std::string>{"_FF.mid"});
  EXPECT_EQ(kxtest::ToHex(ReadFile(archive)), kxtest::ToHex(Hex("00 00 00 25 03"
                                                                " 0A 07 00 00 00 00 00 00 00 04"
                                                                " FF 00 00 00 00 04 00 00 00 00"
                                                                " 01 80 00 00 00 04 00 00 00 02"
                                                                " 89 50 4E 47 01 02")));
  EXPECT_NE(kx::MissingFilesMessage(missing).find("_FF.mid"), std::string::npos);
}

TEST_F(ResArchiveSessionTest, AFailedSaveLeavesTheArchiveWholeAndNoTemporaryFile) {
  ASSERT_TRUE(session.LoadArchive(archive));
  kx::SetWriteFaultForTesting([&](const fs::path& p) { return p == archive; });
  try {
    session.Save();
    ADD_FAILURE() << "saved";
  } catch (const kx::Error& e) {
    EXPECT_EQ(e.code(), kx::ErrorCode::WriteFailed);
  }
  EXPECT_EQ(ReadFile(archive), Hex(kThree));
  EXPECT_EQ(EntriesIn(work.path()), 1u);
  EXPECT_TRUE(session.ArchiveOpened());
}

TEST_F(ResArchiveSessionTest, UnreadableOrDamagedArchivesLeaveNothingOpenOrExtracted) {
  EXPECT_FALSE(session.LoadArchive(work / "absent.raw"));
  EXPECT_FALSE(session.LoadArchive(work.path()));  // a folder
  EXPECT_FALSE(session.ArchiveOpened());

  WriteFile(archive, Hex("00 00 00 0C 01 0A 00 00 00 00 00 00 00 00 02 89"));
  EXPECT_THROW(session.LoadArchive(archive), kx::Error);
  EXPECT_FALSE(session.ArchiveOpened());
  EXPECT_EQ(EntriesIn(temp.path()), 0u);
}

TEST_F(ResArchiveSessionTest, AFailedExtractionLeavesNothingBehind) {
  kx::SetWriteFaultForTesting([](const fs::path& p) { return p.filename() == "_FF.mid"; });
  EXPECT_THROW(session.LoadArchive(archive), kx::Error);
  EXPECT_FALSE(session.ArchiveOpened());
  EXPECT_TRUE(session.Names().empty());
  EXPECT_EQ(EntriesIn(temp.path()), 0u);
}

TEST(ResArchiveBuild, RefusesMoreThan255Resources) {
  std::vector<kx::ResourceEntry> table(256);
  std::vector<std::vector<uint8_t>> data(256);
  EXPECT_THROW(kx::BuildArchive(table, data), kx::Error);
}

}  // namespace
