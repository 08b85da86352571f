// analyse, xform, sloop and xmrph: sox-made samples through the real
// executable, each output compared with the engine called directly as the
// pages drive it, with the defaults and with every option a command takes.
#include "cli/cli_fixture.h"
#include "core/random.h"
#include "dsp/dft_tables.h"
#include "formats/blofeld_sysex.h"
#include "modules/analysis_range.h"
#include "modules/cross_rendering.h"
#include "modules/loaded_sample.h"
#include "modules/loop_rendering.h"
#include "modules/resynthesis.h"
#include "modules/scanloop_analysis.h"
#include "modules/spectral_analysis.h"
#include "modules/xform_analysis.h"
#include "modules/xform_analysis_source.h"
#include "wavetable/vorta_synthesis.h"
#include "wavetable/xform_file.h"
#include "wavetable/xform_workspace.h"

using namespace cli_fixture;

namespace {

using Blob = std::vector<uint8_t>;

// The range page and the analysis page driven by hand: source, thresholds,
// then the settings; the table as "fAPPLY" hands it over, in WAV form.
Blob EngineAnalysis(const EngineSample& sample, SourceMode source, float startThreshold, const AnalysisSettings& settings) {
  AllocateDftTables(kVortaDftLength);
  const SampleChannels channels = SampleChannelsOf(sample.left, sample.right, sample.descriptor);
  AnalysisRange range;
  if (OpenAnalysisRange(range, channels) != kMsgNone) return {};
  while (range.source != source) CycleAnalysisSource(range, channels);
  range.startThreshold = startThreshold;
  RecomputeRangeStart(range);
  SpectralAnalysis analysis;
  if (StartSpectralAnalysis(analysis, range.Range(), {}) != kMsgDone) return {};
  if (settings.sliceFill != analysis.settings.sliceFill) PressSpectralButton(analysis, SpectralButton::SliceFillMode);
  if (settings.polarityLock != analysis.settings.polarityLock) PressSpectralButton(analysis, SpectralButton::PolarityLock);
  if (settings.sharpenAttack != analysis.settings.sharpenAttack) PressSpectralButton(analysis, SpectralButton::SharpenAttack);
  // Contrast values between the buttons' 0.05 steps are the command line's own.
  analysis.settings.contrast = settings.contrast;
  RefreshSpectralAnalysis(analysis, AnalysisStage::Table);
  SetAnalysisCents(analysis, settings.cents);
  PartialTable table;
  int32_t stretch = 0;
  ApplySpectralAnalysis(analysis, table, stretch);
  return VortaWaveBytes(table, stretch);
}

Blob EngineScanLoop(const EngineSample& sample, float contrast) {
  const ScanLoopShape shape = ScanLoopShapeOf(sample.descriptor);
  ScanloopAnalysis analysis;
  if (StartScanloopAnalysis(analysis, std::span<const float>(sample.left).first(sample.descriptor.frames), shape.stepSize,
                            shape.steps, {}) != kMsgDone) {
    return {};
  }
  analysis.settings.contrast = contrast;
  RefreshScanloopAnalysis(analysis, false);
  PartialTable table;
  int32_t stretch = 0;
  ApplyScanloopAnalysis(analysis, table, stretch);
  return VortaWaveBytes(table, stretch);
}

Blob EngineXform(const EngineSample& loaded, XformSourceMode mode, double smoothness) {
  XformWorkspace workspace;
  EnterXform(workspace, gApp.physicalMemory, 1);
  XformAnalysisSource source;
  if (BuildXformAnalysisSource(SampleChannelsOf(loaded.left, loaded.right, loaded.descriptor), mode, source) != kMsgNone)
    return {};
  XformAnalysis record;
  if (RunXformAnalysis(RangeOf(source, false), RangeOf(source, true), record, workspace.table, workspace.engine, {}) !=
      kMsgDone) {
    return {};
  }
  if (smoothness > 0.0) {
    record.controls.smoothness = smoothness;
    if (RebuildFilterSpectra(record, workspace.table, workspace.engine, {}) != kMsgDone) return {};
  }
  ApplyXformAnalysis(workspace, record, "X");
  Blob bytes = EncodeXformWave(workspace.table);
  LeaveXform(workspace);
  return bytes;
}

Blob EngineLoop(const EngineSample& sample, int32_t density, int32_t smear, bool bidirectional, bool widening,
                 uint32_t seed, const LoopRenderOptions& options, LoopSynthesis& loop) {
  if (LoadLoopInputFromSample(loop, sample.left, sample.right, sample.descriptor, "x.wav") != kMsgDone) return {};
  if (density > 0) loop.density = density;
  loop.smear = smear > 0 ? smear : loop.density;
  loop.bidirectional = bidirectional;
  loop.widening = widening;
  SeedRandom(seed);
  if (ComputeLoop(loop, {}) != kMsgDone) return {};
  return BuildLoopWaveFile(loop, options, sample.descriptor.unityNote, sample.descriptor.pitchFraction);
}

Blob EngineCross(const EngineSample& a, const EngineSample& b, const ResynthesisSettings& settings,
                  const EnvelopeNodes& envelope, const CrossRenderOptions& options) {
  CrossSynthesis cross;
  EnterCrossSynthesis(cross, 1);
  if (LoadCrossSources(cross, CrossSourceOf(a.left, a.right, a.descriptor, "A"),
                       CrossSourceOf(b.left, b.right, b.descriptor, "B")) != kMsgDone) {
    return {};
  }
  cross.settings = settings;
  if (Resynthesize(cross, {}, 1) != kMsgDone) return {};
  cross.envelope = envelope;
  RemixCrossOutput(cross);
  Blob bytes = BuildCrossWaveFile(cross, options);
  LeaveCrossSynthesis(cross);
  return bytes;
}

}  // namespace

TEST_F(CliTest, SampleCommandsMatchTheEngineByteForByte) {
  // Left a sine, right a sawtooth rising in pitch: the source choice matters.
  MakeSample("Stereo Pad.wav", 2, 40000, "sine 220 sawtooth 300:900 vol 0.45");
  MakeSample("Wind Noise.wav", 2, 40000, "pinknoise synth 40000s sine amod 3 vol 0.4");
  MakeSample("Mono Noise.wav", 1, 30000, "pinknoise vol 0.4");
  MakeSample("noise.wav", 1, 20000, "pinknoise vol 0.4");
  MakeSample("chord.wav", 2, 26000, "sine 300 sine 450 vol 0.6");
  // Twenty 256-sample cycles of a sine sweeping from 1 to 20 periods a cycle; the first is looped.
  MakeSample("scan.wav", 1, 20 * 256, "sine 172.265625:3445.3125 vol 0.5");
  AppendChunk(folder / "scan.wav", SmplChunk(Smpl{.end = 255}));
  MakeFolder("out");
  const EngineSample pad = LoadForEngine(folder / "Stereo Pad.wav"), wind = LoadForEngine(folder / "Wind Noise.wav"),
                     mono = LoadForEngine(folder / "Mono Noise.wav"), noise = LoadForEngine(folder / "noise.wav"),
                     chord = LoadForEngine(folder / "chord.wav");
  ASSERT_EQ(pad.descriptor.channels, 2);

  EnvelopeNodes envelope{};
  std::string envelopeText;
  for (size_t i = 0; i < envelope.size(); ++i) {
    envelope[i] = static_cast<int16_t>(-127 + static_cast<int>(i) * 254 / 32);
    envelopeText += std::to_string(envelope[i]) + " ";
  }
  const LoopRenderOptions wide{.startOffset = 460, .level = LoopLevelMode::ToSource, .bitsMode = kBitsModeFloat};
  LoopSynthesis plainLoop, wideLoop, chordLoop;
  const struct {
    std::vector<std::string> args;
    std::string printed;  // the first line names the file compared
    Blob expected;
    uint32_t channels = 0, dataBytes = 0;  // header fields, when checked
  } cases[] = {
      {{"analyse", "--to", "wav,syx", "--out", "out", "Stereo Pad.wav"}, "out/STEREO_P.WAV\nout/STEREO_P.SYX\n",
       EngineAnalysis(pad, SourceMode::StereoToMono, 0.0f, AnalysisSettings{})},
      {{"analyse", "--to=wav", "--out=out", "--name", "tuned", "--source", "right", "--threshold-start", "0.25", "--cents",
        "700", "--contrast", "1.5", "--fill", "excerpts", "--no-polarity-lock", "--sharpen", "Stereo Pad.wav"},
       "out/TUNED.WAV\n",
       EngineAnalysis(pad, SourceMode::RightOnly, 0.25f,
                      {.sliceFill = SliceFill::Excerpts, .polarityLock = false, .sharpenAttack = true, .contrast = 1.5f,
                       .cents = 700})},
      {{"analyse", "--scanloop", "--contrast", "0.8", "--to", "wav", "scan.wav"}, "./SCAN.WAV\n",
       EngineScanLoop(LoadForEngine(folder / "scan.wav"), 0.8f)},
      {{"xform", "--out", "out", "Wind Noise.wav"}, "out/WIND_NOI.WAV\n", EngineXform(wind, XformSourceMode::Stereo, 0.0)},
      {{"xform", "--source", "left", "--smoothness", "0.5", "--name", "left", "Wind Noise.wav"}, "./LEFT.WAV\n",
       EngineXform(wind, XformSourceMode::LeftOnly, 0.5)},
      // Defaults: D = S from the length, FULL RANGE, offset 0, 16 bits, mono stays mono.
      {{"sloop", "--seed", "7", "--out", "out", "Mono Noise.wav"}, "out/MONO_NOI.WAV\n",
       EngineLoop(mono, 0, 0, false, false, 7, {}, plainLoop), 1, 30000 * 2},
      // Widening makes two channels; the rotation and TO SOURCE level.
      {{"sloop", "--seed", "99", "--density", "16", "--smear", "4", "--bidir", "--wide", "--loop-start", "460", "--level",
        "source", "--bits", "float", "--out", "out", "--name", "wide", "Mono Noise.wav"},
       "out/WIDE.WAV\n", EngineLoop(mono, 16, 4, true, true, 99, wide, wideLoop), 2, 30000 * 8},
      {{"sloop", "--seed=3", "--bits", "8", "chord.wav"}, "./CHORD.WAV\n",
       EngineLoop(chord, 0, 0, false, false, 3, {.bitsMode = kBitsMode8}, chordLoop), 2, 26000 * 2},
      // B's two channels, the shorter length, 16 bits.
      {{"xmrph", "--out", "out", "noise.wav", "chord.wav"}, "out/NOISE.WAV\n",
       EngineCross(noise, chord, {}, FlatEnvelope(0), {}), 2, 20000 * 2 * 2},
      {{"xmrph", "--overlap", "8", "--fft", "2048", "--contrast", "1.5", "--no-phase-correction", "--envelope",
        envelopeText, "--level", "unchanged", "--bits", "float", "--name", "morph", "noise.wav", "chord.wav"},
       "./MORPH.WAV\n",
       EngineCross(noise, chord, {.overlap = 8, .frameSize = 2048, .phaseCorrection = false, .contrast = 0.75f}, envelope,
                   {.level = CrossLevelMode::Unchanged, .bitsMode = kBitsModeFloat})},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const auto& c = cases[i];
    SCOPED_TRACE(c.printed);
    EXPECT_EQ(Run(c.args), (CliRun{0, c.printed, ""}));
    ASSERT_GT(c.expected.size(), 44u);
    EXPECT_EQ(Bytes(c.printed.substr(0, c.printed.find('\n'))), c.expected);
    if (c.channels) {
      EXPECT_EQ(std::pair(GetU32(c.expected, 20) >> 16, GetU32(c.expected, 40)), std::pair(c.channels, c.dataBytes));
    }
    for (size_t j = 0; j < i; ++j) EXPECT_NE(c.expected, cases[j].expected) << "the options change nothing";
  }
  EXPECT_EQ(Bytes("out/STEREO_P.SYX").size(), static_cast<size_t>(kBlofeldDumpBytes));
  EXPECT_EQ(Run({"info", "out/WIND_NOI.WAV"}).out,
            "out/WIND_NOI.WAV\t13\t13 XFORM - Wavetables (Audio, WAV)\tremark=SYNTHESIS DATA\tfamily=XFORM\t"
            "channels=STEREO\tcount=33\tlength=131072\n");

  // Offset 460 of 920 starts the file half-way into the computed loop.
  std::vector<float> left, right;
  RenderLoopPreview(wideLoop, wide, left, right);
  ASSERT_EQ(left.size(), 30000u);
  const double gain = left[0] / wideLoop.outputLeft[15000];
  EXPECT_NEAR(gain, wideLoop.inputPeak, 1e-4);
  EXPECT_NEAR(left[14999] / wideLoop.outputLeft[29999], gain, 1e-4);
}
