// Falling water is mostly noise: a broad rush in the middle frequencies over
// a low rumble and a little hiss, swelling and easing slowly, with the quick
// rising "plinks" of bubbles and drops scattered over it.
#include "tools/scenegen/waterfall_sound.h"

#include <algorithm>
#include <cmath>

#include "tools/scenegen/maths.h"
#include "tools/scenegen/noise.h"

namespace scenegen {

namespace {

// A biquad section (the usual audio cookbook forms), direct form I.
struct TBiquad {
    double B0 = 1, B1 = 0, B2 = 0, A1 = 0, A2 = 0;
    double X1 = 0, X2 = 0, Y1 = 0, Y2 = 0;

    double Run(double x) {
        double y = B0 * x + B1 * X1 + B2 * X2 - A1 * Y1 - A2 * Y2;
        X2 = X1, X1 = x, Y2 = Y1, Y1 = y;
        return y;
    }
};

enum TFilterKind { LowPass, HighPass, BandPass };

TBiquad MakeFilter(TFilterKind kind, double hz, double q) {
    const double w = 2.0 * PiD * hz / WaterfallSampleRate, alpha = Sin(w) / (2.0 * q), c = Cos(w);
    const double a0 = 1.0 + alpha;
    TBiquad f;
    switch (kind) {
    case LowPass:
        f.B0 = (1.0 - c) / 2.0, f.B1 = 1.0 - c, f.B2 = (1.0 - c) / 2.0;
        break;
    case HighPass:
        f.B0 = (1.0 + c) / 2.0, f.B1 = -(1.0 + c), f.B2 = (1.0 + c) / 2.0;
        break;
    case BandPass:
        f.B0 = alpha, f.B1 = 0.0, f.B2 = -alpha;
        break;
    }
    f.B0 /= a0, f.B1 /= a0, f.B2 /= a0;
    f.A1 = -2.0 * c / a0;
    f.A2 = (1.0 - alpha) / a0;
    return f;
}

// One voice of rushing water: white noise through its three bands.
struct TRush {
    TBiquad Body1 = MakeFilter(BandPass, 700.0, 0.5), Body2 = MakeFilter(BandPass, 1800.0, 0.7);
    TBiquad Rumble1 = MakeFilter(LowPass, 160.0, 0.7), Rumble2 = MakeFilter(LowPass, 160.0, 0.7);
    TBiquad Hiss = MakeFilter(HighPass, 5000.0, 0.7);

    double Run(double white) {
        return 1.0 * Body1.Run(white) + 0.55 * Body2.Run(white) + 2.2 * Rumble2.Run(Rumble1.Run(white)) +
               0.12 * Hiss.Run(white);
    }
};

double White(TRandom& random) {
    return random.Unit() * 2.0 - 1.0;
}

} // namespace

std::vector<std::int16_t> WaterfallSamples() {
    const int total = WaterfallFrames + WaterfallCrossfadeFrames;
    std::vector<double> left(std::size_t(total), 0.0), right(std::size_t(total), 0.0);
    TRandom random(20240611u);

    // The rush: a part common to both ears and a part of each ear's own,
    // swelling with two slow noises.
    TRush common, ownLeft, ownRight;
    for (int i = 0; i < total; ++i) {
        const double t = double(i) / WaterfallSampleRate;
        const double swell =
            1.0 + 0.22 * ValueNoise(float(t * 0.6), 0.5f, 5u) + 0.08 * ValueNoise(float(t * 3.3), 1.5f, 7u);
        const double c = common.Run(White(random));
        left[std::size_t(i)] = swell * (0.75 * c + 0.55 * ownLeft.Run(White(random)));
        right[std::size_t(i)] = swell * (0.75 * c + 0.55 * ownRight.Run(White(random)));
    }

    // Bubbles and drops: short sine blips whose pitch rises as they fade.
    const int blips = int(double(total) / WaterfallSampleRate * 45.0);
    for (int b = 0; b < blips; ++b) {
        const int start = int(random.Unit() * double(total));
        const double f0 = 350.0 + 2200.0 * Pow(random.Unit(), 1.6);
        const double rise = 1.5 + 4.0 * random.Unit(); // relative pitch gain per second of decay
        const double decay = 0.004 + 0.018 * random.Unit();
        const double amp = 0.05 + 0.25 * Pow(random.Unit(), 2.0);
        const double pan = random.Unit();
        double phase = 0.0;
        const int length = std::min(total - start, int(decay * 6.0 * WaterfallSampleRate));
        for (int k = 0; k < length; ++k) {
            const double t = double(k) / WaterfallSampleRate;
            phase += 2.0 * PiD * f0 * (1.0 + rise * t) / WaterfallSampleRate;
            const double attack = std::min(1.0, t / 0.0015);
            const double v = amp * attack * Exp(-t / decay) * Sin(phase);
            left[std::size_t(start + k)] += v * (1.0 - pan);
            right[std::size_t(start + k)] += v * pan;
        }
    }

    // The loop: fade the tail after the last frame into the first frames with
    // equal power, so the last frame runs on into the first as if the sound
    // went on.
    for (int i = 0; i < WaterfallCrossfadeFrames; ++i) {
        const double a = 0.5 * PiD * double(i) / WaterfallCrossfadeFrames;
        const std::size_t head = std::size_t(i), tail = std::size_t(WaterfallFrames + i);
        left[head] = left[head] * Sin(a) + left[tail] * Cos(a);
        right[head] = right[head] * Sin(a) + right[tail] * Cos(a);
    }

    double peak = 0.0;
    for (int i = 0; i < WaterfallFrames; ++i)
        peak = std::max({peak, std::fabs(left[std::size_t(i)]), std::fabs(right[std::size_t(i)])});
    const double gain = WaterfallPeak * 32767.0 / std::max(peak, 1e-9);
    std::vector<std::int16_t> samples(std::size_t(WaterfallFrames) * 2);
    for (int i = 0; i < WaterfallFrames; ++i) {
        samples[std::size_t(i) * 2] = std::int16_t(std::lround(left[std::size_t(i)] * gain));
        samples[std::size_t(i) * 2 + 1] = std::int16_t(std::lround(right[std::size_t(i)] * gain));
    }
    return samples;
}

} // namespace scenegen
