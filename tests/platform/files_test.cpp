// The real Files service of this build, on a fresh folder under the system's temporary folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>

#include "platform/files.h"
#include "platform/service_factories.h"
#include "support/read_bytes.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;

class FilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device rd;
    const std::string name = "qenv-files-" + std::to_string(rd()) + std::to_string(rd());
    dir_ = (fs::temp_directory_path() / name).string();
    fs::create_directory(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    for (const auto& entry : fs::recursive_directory_iterator(dir_, ec))
      test_support::SetReadOnly(entry.path().string(), false);
    fs::remove_all(dir_, ec);
  }

  std::string Path(const std::string& name) const { return dir_ + kPathSep + name; }

  static void PutRaw(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }

  // The number of the RuntimeError the call throws, 0 when it throws none.
  template <typename F>
  static long ErrorOf(F&& call) {
    try {
      call();
    } catch (const RuntimeError& e) {
      return e.Number();
    }
    return 0;
  }

  std::unique_ptr<Files> files_ = CreateFiles();
  std::string dir_;
};

TEST_F(FilesTest, CreatedFileHoldsAnsiLinesEndedByCrLf) {
  auto s = files_->CreateTextFile(Path("out.txt"), true);
  s->WriteLine("first");
  s->WriteLine("");
  s->Write("caf\xE9");
  s->WriteLine(" end");
  s->Close();
  EXPECT_EQ(ReadBytes(Path("out.txt")), "first\r\n\r\ncaf\xE9 end\r\n");
}

TEST_F(FilesTest, LongLinesSurviveBuffering) {
  const std::string line(200000, 'x');
  {
    auto s = files_->CreateTextFile(Path("big.txt"), true);
    s->WriteLine(line);
    s->WriteLine("tail");
  }  // released without Close: the file still gets every line
  EXPECT_EQ(ReadBytes(Path("big.txt")), line + "\r\ntail\r\n");
}

TEST_F(FilesTest, CreateOverwritesOrRefusesAnExistingFile) {
  PutRaw(Path("f.txt"), "old content\r\n");
  EXPECT_EQ(ErrorOf([&] { files_->CreateTextFile(Path("f.txt"), false); }), 58);
  EXPECT_EQ(ReadBytes(Path("f.txt")), "old content\r\n");
  auto s = files_->CreateTextFile(Path("f.txt"), true);
  s->WriteLine("new");
  s->Close();
  EXPECT_EQ(ReadBytes(Path("f.txt")), "new\r\n");
}

TEST_F(FilesTest, AppendingAddsAfterExistingLines) {
  PutRaw(Path("log.txt"), "one\r\n");
  auto s = files_->OpenTextFile(Path("log.txt"), IOMode::ForAppending, false);
  s->WriteLine("two");
  s->Close();
  EXPECT_EQ(ReadBytes(Path("log.txt")), "one\r\ntwo\r\n");
}

TEST_F(FilesTest, ReadsLinesEndedByCrLfOrBareLf) {
  PutRaw(Path("in.txt"), "one\r\ntwo\nthree\r\n\r\nlast");
  auto s = files_->OpenTextFile(Path("in.txt"), IOMode::ForReading, false);
  std::vector<std::string> lines;
  while (!s->AtEndOfStream()) lines.push_back(s->ReadLine());
  EXPECT_EQ(lines, (std::vector<std::string>{"one", "two", "three", "", "last"}));
  EXPECT_EQ(ErrorOf([&] { s->ReadLine(); }), 62);
}

TEST_F(FilesTest, EmptyFileIsAtEndAtOnce) {
  PutRaw(Path("empty.txt"), "");
  auto s = files_->OpenTextFile(Path("empty.txt"), IOMode::ForReading, false);
  EXPECT_TRUE(s->AtEndOfStream());
}

TEST_F(FilesTest, DeleteRemovesAFileButNotAReadOnlyOne) {
  PutRaw(Path("gone.txt"), "x");
  files_->DeleteFile(Path("gone.txt"));
  EXPECT_FALSE(files_->FileExists(Path("gone.txt")));

  PutRaw(Path("kept.txt"), "keep me");
  test_support::SetReadOnly(Path("kept.txt"), true);
  EXPECT_EQ(ErrorOf([&] { files_->DeleteFile(Path("kept.txt")); }), 70);
  EXPECT_TRUE(files_->FileExists(Path("kept.txt")));
  EXPECT_EQ(ReadBytes(Path("kept.txt")), "keep me");
}

TEST_F(FilesTest, ReadOnlyFileIsNotReplacedOrAppendedTo) {
  PutRaw(Path("ro.txt"), "keep me");
  test_support::SetReadOnly(Path("ro.txt"), true);
  EXPECT_EQ(ErrorOf([&] { files_->CreateTextFile(Path("ro.txt"), true); }), 70);
  EXPECT_EQ(ErrorOf([&] { files_->OpenTextFile(Path("ro.txt"), IOMode::ForAppending, false); }),
            70);
  EXPECT_EQ(ReadBytes(Path("ro.txt")), "keep me");
}

TEST_F(FilesTest, MissingFileIs53AndMissingFolder76) {
  const std::string inMissing = Path("nowhere") + kPathSep + "f.txt";
  EXPECT_EQ(ErrorOf([&] { files_->OpenTextFile(Path("no.txt"), IOMode::ForReading, false); }), 53);
  EXPECT_EQ(ErrorOf([&] { files_->DeleteFile(Path("no.txt")); }), 53);
  EXPECT_EQ(ErrorOf([&] { files_->CreateTextFile(inMissing, true); }), 76);
  EXPECT_EQ(ErrorOf([&] { files_->OpenTextFile(inMissing, IOMode::ForReading, false); }), 76);
  EXPECT_EQ(ErrorOf([&] { files_->CreateFolder(Path("nowhere") + kPathSep + "sub"); }), 76);
  EXPECT_FALSE(files_->FileExists(inMissing));
  EXPECT_FALSE(files_->FolderExists(Path("nowhere")));
}

TEST_F(FilesTest, MoveReplaceTakesThePlaceOfAnExistingFile) {
  PutRaw(Path("new.txt"), "fresh");
  PutRaw(Path("target.txt"), "stale");
  files_->MoveReplace(Path("new.txt"), Path("target.txt"));
  EXPECT_EQ(ReadBytes(Path("target.txt")), "fresh");
  EXPECT_FALSE(files_->FileExists(Path("new.txt")));
}

TEST_F(FilesTest, FoldersAndFilesAreToldApart) {
  const std::string sub = Path("sub");
  EXPECT_FALSE(files_->FolderExists(sub));
  files_->CreateFolder(sub);
  EXPECT_TRUE(files_->FolderExists(sub));
  EXPECT_FALSE(files_->FileExists(sub));
  EXPECT_EQ(ErrorOf([&] { files_->CreateFolder(sub); }), 58);

  PutRaw(Path("plain.txt"), "x");
  EXPECT_TRUE(files_->FileExists(Path("plain.txt")));
  EXPECT_FALSE(files_->FolderExists(Path("plain.txt")));
}

TEST_F(FilesTest, BackslashSeparatedPathsReachTheFile) {
  // Paths read from the registry use "\" whatever the build.
  PutRaw(Path("bs.txt"), "x");
  EXPECT_TRUE(files_->FileExists(dir_ + "\\bs.txt"));
  files_->CreateFolder(dir_ + "\\deeper");
  EXPECT_TRUE(files_->FolderExists(Path("deeper")));
}

TEST_F(FilesTest, FileVersionIsEmptyForAFileWithoutOneAndMissingFileFails) {
  PutRaw(Path("plain.txt"), "no version here");
  EXPECT_EQ(files_->GetFileVersion(Path("plain.txt")), "");
  EXPECT_EQ(ErrorOf([&] { files_->GetFileVersion(Path("missing.dll")); }), 53);
}

}  // namespace
