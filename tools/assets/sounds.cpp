// Card sounds from shaped, filtered noise; jingles from soft bell-like tones.
// Every sound is normalised to a peak of -3 dBFS and starts and ends on
// silence through short fades, so no buffer clicks when it starts or stops.

#include "sounds.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

#include "core/services.h"
#include "random.h"
#include "resources/resource_layout.h"

namespace tenfold::assets {

namespace {

// The file a sound is written to, as the game loads it.
std::string FileOf(::tenfold::Sound sound) {
    return std::string(layout::kSoundFiles[static_cast<std::size_t>(::tenfold::Index(sound))]);
}

constexpr double kPi = std::numbers::pi;
constexpr double kRate = kSampleRate;
constexpr double kPeak = 0.7079;    // -3 dBFS
constexpr double kLoudness = 0.12;  // highest RMS level of a whole sound

struct Stereo {
    std::vector<double> left, right;
    explicit Stereo(double seconds)
        : left(static_cast<std::size_t>(std::lround(seconds * kRate)), 0.0), right(left.size(), 0.0) {}
    std::size_t size() const { return left.size(); }
};

// Second-order band-pass filter (constant peak gain), coefficients per sample
// so that the centre frequency can sweep.
class BandPass {
public:
    double Process(double x, double freq, double q) {
        const double w = 2 * kPi * freq / kRate;
        const double alpha = std::sin(w) / (2 * q);
        const double a0 = 1 + alpha;
        const double b0 = alpha / a0, b2 = -alpha / a0;
        const double a1 = -2 * std::cos(w) / a0, a2 = (1 - alpha) / a0;
        const double y = b0 * x + b2 * x2_ - a1 * y1_ - a2 * y2_;
        x2_ = x1_;
        x1_ = x;
        y2_ = y1_;
        y1_ = y;
        return y;
    }

private:
    double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

class LowPass {
public:
    explicit LowPass(double freq) : k_(1 - std::exp(-2 * kPi * freq / kRate)) {}
    double Process(double x) { return y_ += k_ * (x - y_); }

private:
    double k_;
    double y_ = 0;
};

// Scales to the common peak, then fades in over 3 ms and out over `fadeOut`
// seconds with raised-cosine ramps, ending on exact zeros.
Sound Finish(const std::string& file, Stereo s, double fadeOut = 0.02) {
    double peak = 0;
    for (std::size_t i = 0; i < s.size(); ++i)
        peak = std::max({peak, std::fabs(s.left[i]), std::fabs(s.right[i])});
    if (peak <= 0) throw std::logic_error(file + " came out silent");
    // Peaks at -3 dBFS at most; long, dense sounds are held back further so
    // that no sound is much louder than the others.
    double energy = 0;
    for (std::size_t i = 0; i < s.size(); ++i) energy += s.left[i] * s.left[i] + s.right[i] * s.right[i];
    const double rms = std::sqrt(energy / (2.0 * static_cast<double>(s.size())));
    const double gain = std::min(kPeak / peak, kLoudness / rms);
    const std::size_t in = static_cast<std::size_t>(0.003 * kRate);
    const std::size_t out = static_cast<std::size_t>(fadeOut * kRate);
    Sound sound{file, {}};
    sound.samples.reserve(s.size() * 2);
    for (std::size_t i = 0; i < s.size(); ++i) {
        double g = gain;
        if (i < in) g *= 0.5 - 0.5 * std::cos(kPi * static_cast<double>(i) / in);
        const std::size_t fromEnd = s.size() - 1 - i;
        if (fromEnd < out) g *= 0.5 - 0.5 * std::cos(kPi * static_cast<double>(fromEnd) / out);
        for (double v : {s.left[i], s.right[i]}) {
            sound.samples.push_back(
                static_cast<std::int16_t>(std::nearbyint(std::clamp(v * g, -1.0, 1.0) * 32767)));
        }
    }
    return sound;
}

// A card snapping down: a faint slide, then a sharp band-limited crack with a
// soft body under it. `pitch` moves the crack, `pan` places it.
Sound CardFlip(const std::string& file, std::uint64_t seed, double crack, double body, double slide,
               double pan) {
    Stereo s(0.16);
    Noise n(seed);
    BandPass crackL, crackR, slideF;
    LowPass bodyF(body);
    const double slideLen = slide;  // seconds of slide before the crack
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double w = n.Signed(), w2 = n.Signed();
        double slideEnv = 0;
        if (t < slideLen) slideEnv = 0.18 * std::pow(t / slideLen, 2);
        const double u = t - slideLen;  // time since the crack
        double crackEnv = 0, bodyEnv = 0;
        if (u >= 0) {
            crackEnv = std::min(1.0, u / 0.0008) * std::exp(-u / 0.011);
            bodyEnv = std::min(1.0, u / 0.002) * std::exp(-u / 0.028);
        }
        const double sl = slideF.Process(w, 4200, 0.8) * slideEnv;
        const double bd = bodyF.Process(w2) * bodyEnv * 1.6;
        const double cl = crackL.Process(w, crack, 1.1) * crackEnv;
        const double cr = crackR.Process(0.6 * w + 0.4 * w2, crack * 1.04, 1.1) * crackEnv;
        s.left[i] = (sl + bd + cl) * (1 - 0.35 * pan);
        s.right[i] = (sl + bd + cr) * (1 + 0.35 * pan);
    }
    return Finish(file, std::move(s), 0.03);
}

// A soft swish of cards sliding across the cloth: noise through a band that
// sweeps from `from` to `to` Hz, swelling and fading, moving across the stereo field.
Sound Swish(const std::string& file, std::uint64_t seed, double seconds, double from, double to,
            double peakAt) {
    Stereo s(seconds);
    Noise n(seed);
    BandPass l1, l2, r1, r2;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double p = static_cast<double>(i) / static_cast<double>(s.size());
        const double freq = from * std::pow(to / from, p);
        const double env = (p < peakAt) ? std::sin(0.5 * kPi * p / peakAt)
                                        : std::cos(0.5 * kPi * (p - peakAt) / (1 - peakAt));
        const double wl = n.Signed(), wr = n.Signed();
        const double left = l2.Process(l1.Process(wl, freq, 0.9), freq, 0.9);
        const double right = r2.Process(r1.Process(wr, freq * 1.05, 0.9), freq * 1.05, 0.9);
        s.left[i] = left * env * env * (1.2 - 0.4 * p);
        s.right[i] = right * env * env * (0.8 + 0.4 * p);
    }
    return Finish(file, std::move(s), 0.04);
}

// A riffle: two half-decks let go card by card (ticks alternating between
// the two hands, faster in the middle), then the cards bridged together.
Sound Riffle() {
    Stereo s(1.4);
    Noise n(0x5A0FF1EULL);
    std::vector<double> tickL(s.size(), 0.0), tickR(s.size(), 0.0);
    double t = 0.03;
    int count = 0;
    while (t < 0.95) {
        const double p = t / 0.95;
        const double rate = 32 + 40 * std::sin(kPi * p);  // ticks per second
        const std::size_t at = static_cast<std::size_t>(t * kRate);
        const double amp = 0.55 + 0.45 * n.Next();
        (count % 2 == 0 ? tickL : tickR)[at] += amp;
        (count % 2 == 0 ? tickR : tickL)[at] += 0.35 * amp;
        t += (1.0 / rate) * (0.8 + 0.4 * n.Next());
        ++count;
    }
    BandPass fl, fr, bridgeL, bridgeR;
    LowPass rumble(600);
    double envL = 0, envR = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double time = static_cast<double>(i) / kRate;
        envL = envL * std::exp(-1 / (0.004 * kRate)) + tickL[i];
        envR = envR * std::exp(-1 / (0.004 * kRate)) + tickR[i];
        const double w1 = n.Signed(), w2 = n.Signed();
        const double bed = (time < 0.97) ? 0.05 * std::sin(kPi * std::min(1.0, time / 0.97)) : 0.0;
        const double b = rumble.Process(w1) * bed * 3;
        double bridge = 0;
        if (time > 1.0) {
            const double q = (time - 1.0) / 0.4;
            bridge = 0.5 * std::sin(kPi * std::min(1.0, q)) * std::pow(1 - std::min(1.0, q), 0.5);
            // The cards falling together flutter rather than hiss.
            bridge *= 0.55 + 0.45 * std::sin(2 * kPi * 70 * time + 3 * std::sin(2 * kPi * 9 * time));
        }
        const double freq = 2600 - 900 * std::clamp((time - 1.0) / 0.4, 0.0, 1.0);
        s.left[i] = fl.Process(w1, 3600, 1.2) * envL + b + bridgeL.Process(w2, freq, 0.8) * bridge;
        s.right[i] = fr.Process(w2, 3900, 1.2) * envR + b + bridgeR.Process(w1, freq, 0.8) * bridge;
    }
    return Finish(FileOf(::tenfold::Sound::Shuffle), std::move(s), 0.05);
}

// Equal-tempered frequency of a MIDI note number.
double Note(int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

struct Tone {
    double start;  // seconds
    int midi;
    double length;  // seconds until release
    double level;
    double pan;  // -1 left .. 1 right
};

// Soft bell-like tones: a few harmonics with a quick attack and a long
// decay, released smoothly at the end of each note.
Stereo Play(const std::vector<Tone>& tones, double seconds, double brightness, double vibrato) {
    Stereo s(seconds);
    for (const Tone& tone : tones) {
        const double f = Note(tone.midi);
        const std::size_t first = static_cast<std::size_t>(tone.start * kRate);
        const double release = 0.25;
        const std::size_t last =
            std::min(s.size(), first + static_cast<std::size_t>((tone.length + release) * kRate));
        double phase = 0;
        for (std::size_t i = first; i < last; ++i) {
            const double t = static_cast<double>(i - first) / kRate;
            constexpr double kAttack = 0.008;
            double env = (t < kAttack ? 0.5 - 0.5 * std::cos(kPi * t / kAttack) : 1.0) *
                         std::exp(-t / (0.45 + 0.3 * tone.length));
            if (t > tone.length) env *= 0.5 + 0.5 * std::cos(kPi * (t - tone.length) / release);
            const double fm = f * (1 + vibrato * std::sin(2 * kPi * 5.2 * t) * std::min(1.0, t / 0.3));
            phase += 2 * kPi * fm / kRate;
            const double v = std::sin(phase) + brightness * 0.45 * std::sin(2 * phase) * std::exp(-t / 0.25) +
                             brightness * 0.18 * std::sin(3 * phase) * std::exp(-t / 0.15) +
                             brightness * 0.06 * std::sin(4.2 * phase) * std::exp(-t / 0.08);
            const double a = v * env * tone.level;
            s.left[i] += a * (1 - 0.4 * tone.pan);
            s.right[i] += a * (1 + 0.4 * tone.pan);
        }
    }
    return s;
}

Sound Intro() {
    // A bright rising arpeggio ending on the octave: the next deal is coming.
    const std::vector<Tone> tones = {
        {0.00, 72, 0.20, 0.8, -0.5}, {0.12, 76, 0.20, 0.8, -0.2}, {0.24, 79, 0.20, 0.8, 0.2},
        {0.36, 84, 0.90, 0.9, 0.5},  {0.36, 72, 0.90, 0.4, -0.3},
    };
    return Finish(FileOf(::tenfold::Sound::Intro), Play(tones, 1.8, 1.0, 0.0), 0.2);
}

Sound Win() {
    // A fanfare: rising major triad, then the full chord held.
    const std::vector<Tone> tones = {
        {0.00, 67, 0.14, 0.8, -0.4}, {0.14, 72, 0.14, 0.8, -0.1}, {0.28, 76, 0.14, 0.8, 0.1},
        {0.42, 79, 0.30, 0.9, 0.4},  {0.78, 84, 1.40, 0.8, 0.0},  {0.78, 79, 1.40, 0.5, 0.4},
        {0.78, 76, 1.40, 0.5, -0.4}, {0.78, 72, 1.40, 0.5, 0.2},  {0.78, 60, 1.40, 0.45, -0.2},
    };
    return Finish(FileOf(::tenfold::Sound::Win), Play(tones, 2.9, 1.0, 0.003), 0.3);
}

Sound Lose() {
    // Three falling steps and a long, wavering low note.
    const std::vector<Tone> tones = {
        {0.00, 67, 0.35, 0.8, -0.3}, {0.42, 66, 0.35, 0.8, 0.0}, {0.84, 65, 0.35, 0.8, 0.3},
        {1.26, 64, 1.30, 0.9, 0.0},  {1.26, 52, 1.30, 0.4, 0.0},
    };
    return Finish(FileOf(::tenfold::Sound::Lose), Play(tones, 3.1, 0.35, 0.008), 0.3);
}

void PutLe(std::vector<std::uint8_t>& out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

}  // namespace

std::vector<Sound> SynthesiseSounds() {
    std::vector<Sound> all;
    all.push_back(CardFlip(FileOf(::tenfold::Sound::CardFlip1), 0xF11F01ULL, 2600, 700, 0.028, -0.3));
    all.push_back(CardFlip(FileOf(::tenfold::Sound::CardFlip2), 0xF11F02ULL, 3300, 900, 0.018, 0.2));
    all.push_back(CardFlip(FileOf(::tenfold::Sound::CardFlip3), 0xF11F03ULL, 2000, 550, 0.036, 0.4));
    all.push_back(Swish(FileOf(::tenfold::Sound::Sign1), 0x51A101ULL, 0.42, 900, 2600, 0.35));
    all.push_back(Swish(FileOf(::tenfold::Sound::Sign2), 0x51A102ULL, 0.36, 1300, 3400, 0.45));
    all.push_back(Swish(FileOf(::tenfold::Sound::Sign3), 0x51A103ULL, 0.50, 2600, 1100, 0.3));
    all.push_back(Riffle());
    all.push_back(Intro());
    all.push_back(Win());
    all.push_back(Lose());
    return all;
}

std::vector<std::uint8_t> EncodeWav(const Sound& sound) {
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(sound.samples.size() * 2);
    std::vector<std::uint8_t> out;
    out.reserve(44 + dataBytes);
    const auto tag = [&](const char* t) {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(t[i]));
    };
    tag("RIFF");
    PutLe(out, 36 + dataBytes, 4);
    tag("WAVE");
    tag("fmt ");
    PutLe(out, 16, 4);
    PutLe(out, 1, 2);  // PCM
    PutLe(out, kChannels, 2);
    PutLe(out, kSampleRate, 4);
    PutLe(out, kSampleRate * kChannels * 2, 4);
    PutLe(out, kChannels * 2, 2);
    PutLe(out, 16, 2);
    tag("data");
    PutLe(out, dataBytes, 4);
    for (std::int16_t v : sound.samples) PutLe(out, static_cast<std::uint16_t>(v), 2);
    return out;
}

}  // namespace tenfold::assets
