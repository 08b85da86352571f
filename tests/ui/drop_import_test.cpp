// Files dropped onto the window: the headless backend delivers a drop of
// three files as SDL would, and the next idle step of a page imports them.
#include <sndfile.h>

#include <filesystem>
#include <set>
#include <vector>

#include "files/folder_table.h"
#include "files/library_paths.h"
#include "ui/drop_import.h"
#include "ui/ui_fixture.h"

namespace {

void WriteSine(const std::string& path, int rate, int channels, int frames) {
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = channels;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  std::vector<short> samples(static_cast<size_t>(frames * channels));
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<short>((i * 97) % 20000);
  sf_write_short(file, samples.data(), static_cast<sf_count_t>(samples.size()));
  sf_close(file);
}

std::set<std::string> NamesIn(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename().string());
  return names;
}

class DropImport : public UiTest {};

TEST_F(DropImport, ADropOfThreeFilesImportsTwoAndReportsTheRefusedOne) {
  const TempFolder sources;
  WriteSine(sources / "take 48k.wav", 48000, 2, 48000);
  WriteSine(sources / "ready.wav", 44100, 1, 44100);
  WriteAllBytes(sources / "notes.wav", {'n', 'o', 't', 'e', 's'});
  const uint64_t serial = LibraryImportSerial();

  NoteDropBegin();
  for (const char* name : {"take 48k.wav", "ready.wav", "notes.wav"}) NoteDroppedPath(sources / name);
  EXPECT_FALSE(DropsPending());  // not before the drop is complete
  NoteDropComplete();
  ASSERT_TRUE(DropsPending());
  IdleTick();

  EXPECT_FALSE(DropsPending());
  EXPECT_EQ(LibraryImportSerial(), serial + 1);
  EXPECT_EQ(NamesIn(CategoryFolderPath(gApp, kCategorySample)), (std::set<std::string>{"TAKE_48K.WAV", "READY.WAV"}));
  EXPECT_EQ(NamesIn(sources.path).size(), 3u);
  EXPECT_FALSE(TextsContaining("MESSAGE: 2 FILES IMPORTED, 1 REFUSED <UNSUPPORTED AUDIO FORMAT>").empty());
}

}  // namespace
