// The waterfall's sound ("sounds\smallwaterfall.wav"): synthesised falling
// water, 16 seconds of 44.1 kHz 16-bit stereo that loops without a seam.
#pragma once

#include <cstdint>
#include <vector>

namespace scenegen {

constexpr int WaterfallSampleRate = 44100;
constexpr int WaterfallChannels = 2;
constexpr int WaterfallFrames = 16 * WaterfallSampleRate;
// The loop's seam is hidden by fading this much of an extra tail into the start.
constexpr int WaterfallCrossfadeFrames = WaterfallSampleRate * 3 / 2;
// Loudest sample, as a share of full scale (about -3 dB).
constexpr float WaterfallPeak = 0.7f;

// Interleaved left, right samples, WaterfallFrames frames.
std::vector<std::int16_t> WaterfallSamples();

} // namespace scenegen
