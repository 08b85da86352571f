#include "files/short_names.h"

#include <gtest/gtest.h>

#include <set>

#include "core/random.h"
#include "support/temp_folder.h"

namespace {

std::vector<std::string> Assign(const std::vector<std::string>& names) {
  ShortNameTable table = BeginShortNames(names);
  std::vector<std::string> aliases;
  for (const std::string& name : names) aliases.push_back(NextShortName(table, name));
  return aliases;
}

TEST(ShortNames, FittingNamesAreThemselvesOthersGetNumberedAliases) {
  for (const char* name : {"ABC.WAV", "abc.wav", "A_B-1~2.SYX", "NOEXT"}) EXPECT_TRUE(FitsShortName(name)) << name;
  for (const char* name : {"ABCDEFGHI.WAV", "A.WAVE", "A B.WAV", "A.B.WAV", "A+B.WAV", ".WAV", "ABC."})
    EXPECT_FALSE(FitsShortName(name)) << name;
  EXPECT_EQ(Assign({"abc.wav", "Long file name.wav", "Long file name 2.wav", "a+b.wav", "x.wave", "no extension long",
                    ".hidden", "\xC3\x9Cn\xC3\xAF" "code.wav", "ABC.WAV"}),
            (std::vector<std::string>{"ABC.WAV", "LONGFI~1.WAV", "LONGFI~2.WAV", "A_B~1.WAV", "X~1.WAV", "NOEXTE~1",
                                      "HIDDEN~1", "_N_COD~1.WAV", "ABC~1.WAV"}));
  // "abcdefghij.wav" comes first in the listing, but "ABCDEF~1.WAV" is a
  // real name of the folder: it is not handed out twice.
  EXPECT_EQ(Assign({"abcdefghij.wav", "ABCDEF~1.WAV"}), (std::vector<std::string>{"ABCDEF~2.WAV", "ABCDEF~1.WAV"}));
  // From the tenth alias on, the number takes a letter of the name.
  std::vector<std::string> many;
  for (int i = 0; i < 12; ++i) many.push_back("Long sample " + std::to_string(i) + ".wav");
  const std::vector<std::string> aliases = Assign(many);
  EXPECT_EQ(aliases[8] + " " + aliases[9] + " " + aliases[11], "LONGSA~9.WAV LONGS~10.WAV LONGS~12.WAV");
}

TEST(ShortNames, AliasesAreUniqueAndShort) {
  SeedRandom(7);
  const std::string alphabet = "abcAB .~+_-12";
  std::vector<std::string> names;
  std::set<std::string> seen, aliases;
  while (names.size() < 400) {
    std::string name;
    const int length = 1 + RandomBelow(14);
    for (int i = 0; i < length; ++i) name.push_back(alphabet[RandomBelow(static_cast<int>(alphabet.size()))]);
    if (RandomBelow(2)) name += ".wav";
    if (seen.insert(name).second) names.push_back(name);
  }
  for (const std::string& alias : Assign(names)) {
    EXPECT_LE(alias.size(), kMaxShortNameChars) << alias;
    EXPECT_TRUE(aliases.insert(alias).second) << alias;
  }
}

TEST(ShortNames, DisplayNameOfAFileFollowsItsFolderListing) {
  TempFolder folder;
  for (const char* name : {"Pad number one.wav", "Pad number two.wav", "PAD.WAV"}) WriteAllBytes(folder / name, {1});
  std::filesystem::create_directory(folder / "Pad number zero.wav");  // folders take no alias
  EXPECT_EQ(ShortDisplayName(folder / "Pad number one.wav"), "PADNUM~1.WAV");
  EXPECT_EQ(ShortDisplayName(folder / "Pad number two.wav"), "PADNUM~2.WAV");
  EXPECT_EQ(ShortDisplayName(folder / "PAD.WAV"), "PAD.WAV");
}

}  // namespace
