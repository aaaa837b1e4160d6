#include "cues.h"

#include "synth.h"

namespace cues {

namespace {

// A contact striking: a burst of noise and the ring of the part it hits, both dying fast.
void strike(Track& track, int at, int noise_level, int ring_hz, int ring_level, int halving_ms, uint32_t seed) {
    Noise noise(seed);
    Oscillator ring(ring_hz);
    Decay noise_gain(noise_level, halving_ms), ring_gain(ring_level, halving_ms * 2);
    for (int i = 0; at + i < track.frames(); ++i)
        track.add(at + i, scaled(noise.next(), noise_gain.next()) + scaled(ring.sine(), ring_gain.next()));
}

// A steady tone of a sine and its third harmonic, with soft edges.
void tone(Track& track, int at, int hz, int length, int level) {
    Oscillator fundamental(hz), third(hz * 3);
    for (int i = 0; i < length; ++i) {
        const int voice = (fundamental.sine() * 4 + third.sine()) / 5;
        track.add(at + i, scaled(scaled(voice, level), ramp_gain(i, length, frames_of(4))));
    }
}

// A struck bell: three partials at the ratios of a small chime, the higher ones dying first.
void bell(Track& track, int at, int hz, int level) {
    Oscillator first(hz), second(hz * 2), third(hz * 276 / 100);
    Decay first_gain(level, 160), second_gain(level / 2, 90), third_gain(level / 3, 45);
    const int attack = frames_of(2);
    for (int i = 0; at + i < track.frames(); ++i) {
        const int voice = scaled(first.sine(), first_gain.next()) + scaled(second.sine(), second_gain.next()) +
                          scaled(third.sine(), third_gain.next());
        track.add(at + i, i < attack ? voice * i / attack : voice);
    }
}

// Two squares a few hertz apart: the beating makes it rasp.
void buzz(Track& track, int at, int hz, int length, int level) {
    Oscillator low(hz), high(hz + 37);
    for (int i = 0; i < length; ++i)
        track.add(at + i,
                  scaled(scaled((low.square() + high.square()) / 2, level), ramp_gain(i, length, frames_of(2))));
}

// Fades the last `ms` of a track out, so that a ringing voice does not stop on a click.
std::vector<int16_t> faded_out(std::vector<int16_t> samples, int ms) {
    const size_t length = static_cast<size_t>(frames_of(ms)), from = samples.size() - length;
    for (size_t i = 0; i < length; ++i) {
        const int gain = static_cast<int>((length - i) * (Q15 - 1) / length);
        samples[from + i] = static_cast<int16_t>(scaled(samples[from + i], gain));
    }
    return samples;
}

// A knob's detent or a switch: two contacts 6 ms apart over a low thump of the case.
std::vector<int16_t> click() {
    Track track(frames_of(45));
    strike(track, 0, 20000, 2400, 12000, 1, 0x1234567u);
    strike(track, frames_of(6), 9000, 3100, 6000, 1, 0x89ABCDEu);
    Oscillator thump(180);
    Decay thump_gain(7000, 6);
    for (int i = 0; i < track.frames(); ++i) track.add(i, scaled(thump.sine(), thump_gain.next()));
    return faded_out(track.samples(), 5);
}

// A push button: one muffled contact, lower and quieter than the click.
std::vector<int16_t> soft_click() {
    Track track(frames_of(30));
    Noise noise(0x2468ACEu);
    Decay noise_gain(9000, 2);
    Oscillator ring(1200);
    Decay ring_gain(6000, 3);
    int muffled = 0;
    for (int i = 0; i < track.frames(); ++i) {
        // One-pole low-pass: a quarter of the way to each new noise sample.
        muffled += (noise.next() - muffled) / 4;
        track.add(i, scaled(muffled, noise_gain.next()) + scaled(ring.sine(), ring_gain.next()));
    }
    return faded_out(track.samples(), 5);
}

// Approaching the altitude: two rising tones.
std::vector<int16_t> beep2() {
    const int length = frames_of(130), gap = frames_of(25);
    Track track(2 * length + gap);
    tone(track, 0, 880, length, 14000);
    tone(track, length + gap, 1175, length, 14000);
    return track.samples();
}

// Altitude captured: a two-note chime, the second note lower, left to ring out.
std::vector<int16_t> beep3() {
    Track track(frames_of(700));
    bell(track, 0, 1319, 12000);
    bell(track, frames_of(180), 1047, 12000);
    return faded_out(track.samples(), 60);
}

// Off the altitude: three short rasping pulses, higher and harder than the others.
std::vector<int16_t> beep4() {
    const int pulse = frames_of(90), gap = frames_of(40);
    Track track(3 * pulse + 2 * gap);
    for (int i = 0; i < 3; ++i) buzz(track, i * (pulse + gap), 1800, pulse, 9000);
    return track.samples();
}

}  // namespace

std::vector<Cue> all_cues() {
    return {
        {"click.wav", click()}, {"soft_click.wav", soft_click()}, {"beep2.wav", beep2()},
        {"beep3.wav", beep3()}, {"beep4.wav", beep4()},
    };
}

}  // namespace cues
