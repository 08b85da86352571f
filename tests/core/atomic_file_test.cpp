#include "core/atomic_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_folder.h"

namespace {

TEST(AtomicFile, ReplacesOrRefusesAndAFailureKeepsTheOldFile) {
  TempFolder folder;
  const std::string path = folder / "a.wav";
  const std::vector<uint8_t> old = {8, 7};
  ASSERT_TRUE(WriteFileAtomically(path, std::vector<uint8_t>{9}));
  ASSERT_TRUE(WriteFileAtomically(path, old));
  // A writer failing half-way (a full disk) and a refused replace leave the old file and no temporary.
  EXPECT_FALSE(WriteFileAtomically(path, [](std::FILE* stream) { std::fputs("half", stream); return false; }));
  const auto writeOne = [](std::FILE* stream) { return std::fputc(5, stream) != EOF; };
  EXPECT_FALSE(WriteNewFileAtomically(path, writeOne));
  EXPECT_EQ(ReadAllBytes(path), old);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path), {}), 1);
  EXPECT_TRUE(WriteNewFileAtomically(folder / "b.wav", writeOne));
  EXPECT_EQ(ReadAllBytes(folder / "b.wav"), (std::vector<uint8_t>{5}));
  EXPECT_FALSE(WriteFileAtomically(folder / "missing/c.wav", old));  // a failure, not a crash
}

}  // namespace
