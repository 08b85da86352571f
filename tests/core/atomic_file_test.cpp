#include "core/atomic_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_folder.h"

namespace {

size_t EntryCount(const std::string& folder) {
  return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(folder),
                                           std::filesystem::directory_iterator()));
}

TEST(AtomicFile, WriterFailureKeepsTheOldContentAndLeavesNoTemporary) {
  TempFolder folder;
  const std::string path = folder / "table.dat";
  const std::vector<uint8_t> old = {1, 2, 3};
  ASSERT_TRUE(WriteFileAtomically(path, old));
  EXPECT_EQ(ReadAllBytes(path), old);

  const bool wrote = WriteFileAtomically(path, [](std::FILE* stream) {
    std::fputs("half", stream);
    return false;  // as when the disk fills up half-way
  });
  EXPECT_FALSE(wrote);
  EXPECT_EQ(ReadAllBytes(path), old);
  EXPECT_EQ(EntryCount(folder.path), 1u);
}

TEST(AtomicFile, ReplacesOrRefusesToReplaceAsAsked) {
  TempFolder folder;
  const std::string path = folder / "a.wav";
  ASSERT_TRUE(WriteFileAtomically(path, std::vector<uint8_t>{9}));
  ASSERT_TRUE(WriteFileAtomically(path, std::vector<uint8_t>{8, 7}));
  EXPECT_EQ(ReadAllBytes(path), (std::vector<uint8_t>{8, 7}));

  auto writeOne = [](std::FILE* stream) { return std::fputc(5, stream) != EOF; };
  EXPECT_FALSE(WriteNewFileAtomically(path, writeOne));
  EXPECT_EQ(ReadAllBytes(path), (std::vector<uint8_t>{8, 7}));
  EXPECT_TRUE(WriteNewFileAtomically(folder / "b.wav", writeOne));
  EXPECT_EQ(ReadAllBytes(folder / "b.wav"), (std::vector<uint8_t>{5}));
  EXPECT_EQ(EntryCount(folder.path), 2u);

  // A missing folder is a failure, not a crash.
  EXPECT_FALSE(WriteFileAtomically(folder / "missing/c.wav", std::vector<uint8_t>{1}));
}

}  // namespace
