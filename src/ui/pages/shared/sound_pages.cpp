#include "ui/pages/shared/sound_pages.h"

#include <algorithm>

#include "core/atomic_file.h"
#include "core/message_codes.h"
#include "ui/page_frame.h"
#include "ui/wave_graph.h"

namespace {

constexpr int kPanelTitleHeight = 18;
constexpr int kGraphMargin = 6;
constexpr const char* kBitsTexts[kBitsModeCount] = {"8 <PCM>", "16 <PCM>", "32 <PCM>", "32 <FLOAT>"};

}  // namespace

void DrawSignalGraph(std::span<const float> left, std::span<const float> right, int x, int yc, int width,
                     int halfHeight) {
  const size_t count = std::min(left.size(), right.size());
  if (count >= static_cast<size_t>(kStereoGraphMinSamples)) {
    DrawStereoWaveGraph(left.first(count), right.first(count), x, yc, width, halfHeight);
  } else {
    DrawWaveGraph(left, x, yc, width, halfHeight);
  }
}

void DrawSignalInPanel(int x0, int y0, int x1, int y1, std::span<const float> left, std::span<const float> right) {
  const int top = y0 + kPanelTitleHeight + kGraphMargin;
  const int bottom = y1 - kGraphMargin;
  DrawSignalGraph(left, right, x0 + kGraphMargin, (top + bottom) / 2, x1 - x0 - 2 * kGraphMargin,
                  std::max(1, (bottom - top) / 2 - 1));
}

void DrawSignalPanel(int x0, int y0, int x1, int y1, std::string_view title, std::span<const float> left,
                     std::span<const float> right) {
  DrawPanel(x0, y0, x1, y1, title);
  DrawSignalInPanel(x0, y0, x1, y1, left, right);
}

std::string BitsModeText(int mode) { return kBitsTexts[std::clamp(mode, 0, kBitsModeCount - 1)]; }

int WriteRenderedFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  if (bytes.empty()) return kMsgNoData;
  return WriteFileAtomically(path, bytes) ? kMsgDone : kMsgAccessDenied;
}
