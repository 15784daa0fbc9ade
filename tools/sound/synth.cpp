#include "synth.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

const double kPi = 3.14159265358979323846;
const double kTwoPi = 2.0 * kPi;

// A small, fast generator: each event draws from its own, seeded from the
// recipe, so the same recipe always gives the same sound.
struct Rng {
    uint32_t s;
    explicit Rng(uint32_t seed) : s(seed ? seed : 0x9E3779B9u) {
        for (int i = 0; i < 8; ++i) Next();
    }
    uint32_t Next() {
        s ^= s << 13;
        s ^= s >> 17;
        s ^= s << 5;
        return s;
    }
    double Uniform() { return (Next() >> 8) * (1.0 / 16777216.0); }
    double Range(double a, double b) { return a + (b - a) * Uniform(); }
    double Bipolar() { return Uniform() * 2.0 - 1.0; }
};

// Stereo mix buffer.
struct Mix {
    int rate;
    std::vector<float> left, right;
    void Add(long long i, double v, double pan) {
        if (i < 0 || i >= (long long)left.size()) return;
        double a = (std::clamp(pan, -1.0, 1.0) + 1.0) * kPi / 4.0;
        left[i] += (float)(v * std::cos(a));
        right[i] += (float)(v * std::sin(a));
    }
};

// Topology-preserving state-variable filter: stable at any cutoff.
struct Svf {
    double a1 = 0, a2 = 0, a3 = 0, k = 1, ic1 = 0, ic2 = 0;
    void Set(double cutoff, double q, int rate) {
        cutoff = std::clamp(cutoff, 10.0, rate * 0.45);
        double g = std::tan(kPi * cutoff / rate);
        k = 1.0 / std::max(q, 0.05);
        a1 = 1.0 / (1.0 + g * (g + k));
        a2 = g * a1;
        a3 = g * a2;
    }
    // mode 0 low, 1 band, 2 high
    double Run(double v0, int mode) {
        double v3 = v0 - ic2;
        double v1 = a1 * ic1 + a2 * v3;
        double v2 = ic2 + a2 * ic1 + a3 * v3;
        ic1 = 2 * v1 - ic1;
        ic2 = 2 * v2 - ic2;
        if (mode == 0) return v2;
        if (mode == 1) return v1;
        return v0 - k * v1 - v2;
    }
};

double PolyBlep(double t, double dt) {
    if (dt <= 0) return 0;
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

double Saw(double t, double dt) { return 2.0 * t - 1.0 - PolyBlep(t, dt); }

double Pulse(double t, double dt, double width) {
    double v = t < width ? 1.0 : -1.0;
    v += PolyBlep(t, dt);
    double u = t - width;
    if (u < 0) u += 1.0;
    v -= PolyBlep(u, dt);
    return v;
}

double Wrap(double phase) { return phase - std::floor(phase); }

// Pink noise (Paul Kellet's economy filter).
struct Pink {
    double b0 = 0, b1 = 0, b2 = 0;
    double Next(Rng& rng) {
        double w = rng.Bipolar();
        b0 = 0.99765 * b0 + w * 0.0990460;
        b1 = 0.96300 * b1 + w * 0.2965164;
        b2 = 0.57000 * b2 + w * 1.0526913;
        return (b0 + b1 + b2 + w * 0.1848) * 0.25;
    }
};

double Envelope(const Patch& p, double t, double held) {
    auto level = [&](double x) {
        if (x < p.attack) return p.attack > 0 ? x / p.attack : 1.0;
        double d = x - p.attack;
        if (p.decay <= 0) return p.sustain;
        return p.sustain + (1.0 - p.sustain) * std::exp(-4.6 * d / p.decay);
    };
    if (t < held) return level(t);
    double r = t - held;
    if (p.release <= 0 || r >= p.release) return 0.0;
    double x = r / p.release;
    return level(held) * std::exp(-4.6 * x) * (1.0 - x);
}

struct Formants {
    double f[3];
    double g[3];
};

Formants Vowel(char v) {
    switch (v) {
    case 'e': return {{530, 1840, 2480}, {1.0, 0.5, 0.25}};
    case 'i': return {{300, 2200, 2950}, {1.0, 0.35, 0.2}};
    case 'o': return {{500, 880, 2500}, {1.0, 0.55, 0.15}};
    case 'u': return {{340, 720, 2400}, {1.0, 0.4, 0.08}};
    default: return {{780, 1180, 2600}, {1.0, 0.6, 0.25}};
    }
}

double SoftClip(double x, double drive) {
    if (drive <= 0) return x;
    double k = 1.0 + drive;
    return std::tanh(x * k) / std::tanh(k);
}

// ---- Pitched voices ----

void RenderTone(Mix& mix, const Event& e) {
    const Patch& p = e.patch;
    const int rate = mix.rate;
    Rng rng(e.seed);
    long long first = (long long)std::llround(e.start * rate);
    long long count = (long long)((e.length + std::max(p.release, 0.0)) * rate) + 1;
    int voices = std::max(1, p.voices);
    std::vector<double> phase(voices), offset(voices), mod(voices);
    for (int v = 0; v < voices; ++v) {
        offset[v] = voices == 1 ? 0.0 : (v / (double)(voices - 1) - 0.5) * p.detune;
        phase[v] = voices == 1 ? 0.0 : rng.Uniform();
        mod[v] = 0.0;
    }
    int mode = p.filter == "lowpass" ? 0 : p.filter == "bandpass" ? 1 : p.filter == "highpass" ? 2 : -1;
    bool filtered = mode >= 0 && p.cutoff > 0;
    Svf svf;
    double lastCut = -1;
    Pink pink;
    double brown = 0;
    const bool choir = p.wave == "choir";
    Svf formant[3];
    Formants fm = Vowel(p.vowel[0]);
    if (choir)
        for (int k = 0; k < 3; ++k) formant[k].Set(fm.f[k], 6.0 + 3.0 * k, rate);

    // Plucked strings: one delay line per voice.
    std::vector<std::vector<double>> strings;
    std::vector<size_t> pos(voices, 0);
    if (p.wave == "pluck") {
        strings.resize(voices);
        for (int v = 0; v < voices; ++v) {
            double f = e.freq * std::pow(2.0, (p.transpose + offset[v] / 100.0) / 12.0);
            size_t n = std::max<size_t>(2, (size_t)std::llround(rate / std::max(f, 20.0)));
            strings[v].resize(n);
            double last = 0;
            for (double& s : strings[v]) s = last = 0.5 * last + 0.5 * rng.Bipolar();
        }
    }
    double pluckLoss = p.decay > 0 ? std::exp(std::log(0.001) / (p.decay * std::max(e.freq, 20.0))) : 0.996;

    double norm = 1.0 / std::sqrt((double)voices);
    double a = (std::clamp(p.pan, -1.0, 1.0) + 1.0) * kPi / 4.0;
    double gl = std::cos(a), gr = std::sin(a);
    for (long long i = 0; i < count; ++i) {
        double t = (double)i / rate;
        double env = Envelope(p, t, e.length);
        double semis = p.transpose;
        if (p.bend != 0) semis += p.bend * std::exp(-t / std::max(p.bendTime, 0.001));
        if (p.vibRate > 0 && p.vibDepth > 0) {
            double fade = std::clamp((t - p.vibDelay) / 0.25, 0.0, 1.0);
            semis += p.vibDepth * fade * std::sin(kTwoPi * p.vibRate * t);
        }
        double f = e.freq;
        if (e.freqTo > 0 && e.length > 0) f *= std::pow(e.freqTo / e.freq, std::min(1.0, t / e.length));
        f *= std::pow(2.0, semis / 12.0);

        double s = 0;
        for (int v = 0; v < voices; ++v) {
            double fv = f * std::pow(2.0, offset[v] / 1200.0);
            double dt = std::min(fv / rate, 0.5);
            double ph = phase[v];
            double x = 0;
            if (p.wave == "sine") x = std::sin(kTwoPi * ph);
            else if (p.wave == "triangle") x = 4.0 * std::fabs(ph - 0.5) - 1.0;
            else if (p.wave == "saw" || p.wave == "choir") x = Saw(ph, dt);
            else if (p.wave == "square") x = Pulse(ph, dt, 0.5);
            else if (p.wave == "pulse") x = Pulse(ph, dt, std::clamp(p.width, 0.05, 0.95));
            else if (p.wave == "noise") x = rng.Bipolar();
            else if (p.wave == "pink") x = pink.Next(rng) * 2.5;
            else if (p.wave == "brown") {
                brown = (brown + 0.04 * rng.Bipolar()) * 0.995;
                x = brown * 3.0;
            } else if (p.wave == "fm") {
                mod[v] = Wrap(mod[v] + fv * p.ratio / rate);
                double depth = p.index * (0.35 + 0.65 * env);
                x = std::sin(kTwoPi * ph + depth * std::sin(kTwoPi * mod[v]));
            } else if (p.wave == "bell") {
                mod[v] = Wrap(mod[v] + fv * 3.5 / rate);
                double depth = (p.index > 0 ? p.index : 2.5) * std::exp(-t * 4.0);
                x = std::sin(kTwoPi * ph + depth * std::sin(kTwoPi * mod[v])) +
                    0.25 * std::exp(-t * 2.0) * std::sin(kTwoPi * Wrap(ph * 2.76));
                x *= 0.8;
            } else if (p.wave == "organ") {
                static const double h[5] = {1, 2, 3, 4, 8};
                static const double w[5] = {1.0, 0.55, 0.3, 0.2, 0.08};
                for (int k = 0; k < 5; ++k)
                    if (fv * h[k] < rate * 0.45) x += w[k] * std::sin(kTwoPi * Wrap(ph * h[k]));
                x *= 0.5;
            } else if (p.wave == "pluck") {
                std::vector<double>& line = strings[v];
                size_t n = line.size();
                size_t j = pos[v];
                x = line[j];
                line[j] = pluckLoss * 0.5 * (line[j] + line[(j + 1) % n]);
                pos[v] = (j + 1) % n;
            }
            phase[v] = Wrap(ph + fv / rate);
            s += x;
        }
        s *= norm;
        if (choir) {
            double breath = 0.08 * rng.Bipolar();
            double src = s + breath;
            s = 0;
            for (int k = 0; k < 3; ++k) s += fm.g[k] * formant[k].Run(src, 1);
            s *= 1.6;
        }
        if (filtered) {
            double cut = p.cutoff;
            if (p.sweep != 0) {
                double st = p.sweepTime > 0 ? p.sweepTime : std::max(p.decay, 0.01);
                cut += p.sweep * std::exp(-4.6 * t / st);
            }
            if (p.cutTo > 0 && e.length > 0) cut *= std::pow(p.cutTo / p.cutoff, std::min(1.0, t / e.length));
            if (std::fabs(cut - lastCut) > 0.5) {
                svf.Set(cut, p.q, rate);
                lastCut = cut;
            }
            s = svf.Run(s, mode);
        }
        s = SoftClip(s, p.drive);
        double out = s * env * p.gain * e.amp;
        long long at = first + i;
        if (at >= 0 && at < (long long)mix.left.size()) {
            mix.left[at] += (float)(out * gl);
            mix.right[at] += (float)(out * gr);
        }
    }
}

// ---- Drums ----

double DrumLength(const std::string& name) {
    if (name == "crash") return 2.2;
    if (name == "timpani") return 1.8;
    if (name == "ride") return 1.2;
    if (name == "ohat") return 0.5;
    return 0.6;
}

void RenderDrum(Mix& mix, const Event& e) {
    const int rate = mix.rate;
    Rng rng(e.seed);
    long long first = (long long)std::llround(e.start * rate);
    const std::string& d = e.name;
    long long count = (long long)(DrumLength(d) * rate);
    double tau = e.patch.decay;  // 0: the voice's own
    Svf a, b;
    double ph1 = 0, ph2 = 0;
    static const double metal[6] = {205.3, 304.4, 369.6, 522.7, 540.0, 800.0};
    double mph[6] = {0, 0, 0, 0, 0, 0};
    if (d == "snare") a.Set(1900, 0.8, rate);
    if (d == "hat" || d == "ohat") a.Set(7200, 0.8, rate);
    if (d == "clap") a.Set(1150, 1.3, rate);
    if (d == "crash" || d == "ride") {
        a.Set(5200, 0.7, rate);
        b.Set(3800, 0.7, rate);
    }
    if (d == "shaker") a.Set(6000, 1.6, rate);
    if (d == "rim") a.Set(3000, 0.9, rate);
    for (long long i = 0; i < count; ++i) {
        double t = (double)i / rate;
        double x = 0;
        if (d == "kick") {
            double f = 46.0 + 115.0 * std::exp(-t / 0.032);
            ph1 = Wrap(ph1 + f / rate);
            double env = std::exp(-t / (tau > 0 ? tau : 0.13)) * std::min(1.0, t / 0.002);
            x = std::tanh(1.6 * std::sin(kTwoPi * ph1)) * env + 0.35 * rng.Bipolar() * std::exp(-t / 0.0025);
        } else if (d == "snare") {
            ph1 = Wrap(ph1 + 186.0 / rate);
            ph2 = Wrap(ph2 + 334.0 / rate);
            double body = 0.5 * std::sin(kTwoPi * ph1) * std::exp(-t / 0.05) +
                          0.25 * std::sin(kTwoPi * ph2) * std::exp(-t / 0.03);
            double rattle = a.Run(rng.Bipolar(), 2) * std::exp(-t / (tau > 0 ? tau : 0.075));
            x = body + 0.9 * rattle;
        } else if (d == "hat" || d == "ohat") {
            double env = std::exp(-t / (tau > 0 ? tau : d == "hat" ? 0.016 : 0.11));
            x = 0.9 * a.Run(rng.Bipolar(), 2) * env;
        } else if (d == "clap") {
            double env = 0;
            for (int k = 0; k < 3; ++k) {
                double u = t - 0.011 * k;
                if (u >= 0) env += std::exp(-u / 0.005) * (k == 2 ? 1.0 : 0.7);
            }
            if (t > 0.022) env += 0.45 * std::exp(-(t - 0.022) / (tau > 0 ? tau : 0.07));
            x = 1.6 * a.Run(rng.Bipolar(), 1) * env;
        } else if (d == "tom" || d == "ltom" || d == "htom" || d == "timpani") {
            double base = d == "ltom" ? 98.0 : d == "htom" ? 205.0 : d == "timpani" ? 87.0 : 145.0;
            if (e.pitch > 0) base = e.pitch;
            double f = base * (1.0 + (d == "timpani" ? 0.06 : 0.45) * std::exp(-t / 0.05));
            ph1 = Wrap(ph1 + f / rate);
            ph2 = Wrap(ph2 + f * 1.5 / rate);
            double env = std::exp(-t / (tau > 0 ? tau : d == "timpani" ? 0.55 : 0.2)) * std::min(1.0, t / 0.002);
            x = (std::sin(kTwoPi * ph1) + (d == "timpani" ? 0.35 : 0.15) * std::sin(kTwoPi * ph2)) * env +
                0.15 * rng.Bipolar() * std::exp(-t / 0.006);
        } else if (d == "crash" || d == "ride") {
            double m = 0;
            for (int k = 0; k < 6; ++k) {
                mph[k] = Wrap(mph[k] + metal[k] * 1.9 / rate);
                m += mph[k] < 0.5 ? 1.0 : -1.0;
            }
            m /= 6.0;
            bool crash = d == "crash";
            double env = std::exp(-t / (tau > 0 ? tau : crash ? 0.55 : 0.3)) * std::min(1.0, t / 0.002);
            double hiss = a.Run(rng.Bipolar(), 2);
            double ring = b.Run(m, 2);
            x = (crash ? 0.8 * hiss + 0.6 * ring : 0.35 * hiss + 0.8 * ring) * env;
            if (!crash) {
                ph1 = Wrap(ph1 + 2150.0 / rate);
                x += 0.12 * std::sin(kTwoPi * ph1) * std::exp(-t / 0.25);
            }
        } else if (d == "shaker") {
            double env = t < 0.012 ? t / 0.012 : std::exp(-(t - 0.012) / (tau > 0 ? tau : 0.03));
            x = 0.8 * a.Run(rng.Bipolar(), 1) * env;
        } else if (d == "rim") {
            ph1 = Wrap(ph1 + 1700.0 / rate);
            ph2 = Wrap(ph2 + 2600.0 / rate);
            x = (0.6 * std::sin(kTwoPi * ph1) + 0.4 * std::sin(kTwoPi * ph2)) * std::exp(-t / 0.008) +
                0.4 * a.Run(rng.Bipolar(), 2) * std::exp(-t / 0.004);
        } else if (d == "block") {
            double base = e.pitch > 0 ? e.pitch : 1250.0;
            ph1 = Wrap(ph1 + base / rate);
            ph2 = Wrap(ph2 + base * 2.3 / rate);
            x = 0.8 * std::sin(kTwoPi * ph1) * std::exp(-t / (tau > 0 ? tau : 0.03)) +
                0.3 * std::sin(kTwoPi * ph2) * std::exp(-t / 0.01);
        }
        mix.Add(first + i, x * e.amp, e.patch.pan);
    }
}

// ---- Crowd ----

// One voice of a crowd: a sung vowel with a pitch contour (semitones over
// the voice's length, 0..1), gliding from one vowel to another.
struct CrowdVoice {
    double start = 0, length = 1, f0 = 200, amp = 1, pan = 0;
    double attack = 0.05, release = 0.25;
    double vibRate = 5.5, vibDepth = 0.25;
    double breath = 0.15;
    char vowelFrom = 'a', vowelTo = 'a';
    double rise = 0, riseAt = 0.15, fall = 0;  // contour: up by rise until riseAt, then down by fall
    double pulseRate = 0;                      // laughter: the voice breaks into syllables
};

void RenderCrowdVoice(Mix& mix, const CrowdVoice& v, Rng& rng) {
    const int rate = mix.rate;
    long long first = (long long)std::llround(v.start * rate);
    long long count = (long long)((v.length + v.release) * rate);
    Formants fa = Vowel(v.vowelFrom), fb = Vowel(v.vowelTo);
    Svf bank[3];
    double ph = rng.Uniform(), vibPhase = rng.Uniform();
    double wobble = rng.Range(0.6, 1.6);
    for (long long i = 0; i < count; ++i) {
        double t = (double)i / rate;
        double u = std::min(1.0, t / std::max(v.length, 0.01));
        if ((i & 15) == 0) {
            for (int k = 0; k < 3; ++k) bank[k].Set(fa.f[k] + (fb.f[k] - fa.f[k]) * u, 5.0 + 2.5 * k, rate);
        }
        double semis;
        if (u < v.riseAt) semis = v.rise * (u / v.riseAt);
        else semis = v.rise - v.fall * ((u - v.riseAt) / std::max(1e-6, 1.0 - v.riseAt));
        semis += v.vibDepth * std::sin(kTwoPi * (v.vibRate * t + vibPhase));
        semis += 0.15 * std::sin(kTwoPi * wobble * t);
        double f = v.f0 * std::pow(2.0, semis / 12.0);
        double dt = std::min(f / rate, 0.5);
        double src = Saw(ph, dt) + v.breath * rng.Bipolar();
        ph = Wrap(ph + f / rate);
        double s = 0;
        for (int k = 0; k < 3; ++k) s += (fa.g[k] + (fb.g[k] - fa.g[k]) * u) * bank[k].Run(src, 1);
        double env;
        if (t < v.attack) env = t / v.attack;
        else if (t < v.length) env = 1.0;
        else env = std::max(0.0, 1.0 - (t - v.length) / std::max(v.release, 0.01));
        env *= env;
        if (v.pulseRate > 0) {
            double syl = Wrap(v.pulseRate * t);
            env *= syl < 0.55 ? std::sin(kPi * syl / 0.55) : 0.0;
        }
        mix.Add(first + i, s * env * v.amp, v.pan);
    }
}

double Trapezoid(double t, double len, double in, double out) {
    if (t < 0 || t > len) return 0;
    double e = 1.0;
    if (in > 0 && t < in) e = t / in;
    if (out > 0 && t > len - out) e = std::min(e, (len - t) / out);
    return std::max(0.0, e);
}

void RenderCrowd(Mix& mix, const Event& e) {
    const int rate = mix.rate;
    Rng rng(e.seed);
    const std::string& kind = e.name;
    char vowel = e.patch.vowel.empty() ? 'a' : e.patch.vowel[0];
    if (kind == "applause") {
        // Many single claps, each a short burst of band-passed noise.
        int candidates = (int)(e.density * e.length) + 1;
        for (int c = 0; c < candidates; ++c) {
            double t = rng.Uniform() * e.length;
            double env = Trapezoid(t, e.length, e.fadeIn, e.fadeOut);
            if (rng.Uniform() > env) continue;
            Svf f;
            f.Set(rng.Range(700, 2600), rng.Range(0.8, 1.8), rate);
            double tau = rng.Range(0.005, 0.014);
            double amp = rng.Range(0.35, 1.0) * e.amp * 1.8;
            double pan = e.spread * rng.Bipolar();
            long long first = (long long)std::llround((e.start + t) * rate);
            long long n = (long long)(tau * 7 * rate);
            for (long long i = 0; i < n; ++i) {
                double u = (double)i / rate;
                double x = f.Run(rng.Bipolar(), 1) * std::exp(-u / tau) * std::min(1.0, u / 0.0008);
                mix.Add(first + i, x * amp, pan);
            }
        }
        // The room under the claps.
        Pink pink;
        Svf lp;
        lp.Set(2800, 0.7, rate);
        long long first = (long long)std::llround(e.start * rate);
        long long n = (long long)(e.length * rate);
        double level = 0.05 * e.amp * std::min(1.0, e.density / 20.0);
        for (long long i = 0; i < n; ++i) {
            double t = (double)i / rate;
            double x = lp.Run(pink.Next(rng), 0) * Trapezoid(t, e.length, e.fadeIn, e.fadeOut);
            mix.Add(first + i, x * level * 4.0, 0.0);
        }
        return;
    }
    if (kind == "whistle") {
        for (int k = 0; k < e.count; ++k) {
            double start = e.start + rng.Uniform() * std::max(0.0, e.length - 0.6);
            double len = rng.Range(0.35, 0.7);
            double f0 = rng.Range(1700, 2500);
            double pan = e.spread * rng.Bipolar();
            bool wolf = rng.Uniform() < 0.5;
            long long first = (long long)std::llround(start * rate);
            long long n = (long long)(len * rate);
            double ph = 0;
            for (long long i = 0; i < n; ++i) {
                double u = (double)i / n;
                double shape = wolf ? (u < 0.4 ? 0.8 + 0.45 * (u / 0.4) : 1.25 - 0.6 * (u - 0.4) / 0.6)
                                    : 1.0 + 0.25 * std::sin(kPi * u);
                ph = Wrap(ph + f0 * shape / rate);
                double env = std::sin(kPi * u);
                double x = std::sin(kTwoPi * ph) + 0.05 * rng.Bipolar();
                mix.Add(first + i, x * env * 0.35 * e.amp, pan);
            }
        }
        return;
    }
    if (kind == "murmur") {
        // People talking: short random syllables from many voices.
        for (int k = 0; k < e.count; ++k) {
            double t = rng.Uniform() * 0.3;
            double base = e.pitch * std::pow(2.0, rng.Range(-0.5, 1.0));
            double pan = e.spread * rng.Bipolar();
            while (t < e.length) {
                double len = rng.Range(0.08, 0.25);
                CrowdVoice v;
                static const char vowels[] = "aeiou";
                v.start = e.start + t;
                v.length = len;
                v.f0 = base * std::pow(2.0, rng.Range(-0.2, 0.3));
                v.vowelFrom = vowels[rng.Next() % 5];
                v.vowelTo = vowels[rng.Next() % 5];
                v.attack = 0.02;
                v.release = 0.05;
                v.vibDepth = 0.0;
                v.rise = rng.Range(-2, 2);
                v.fall = rng.Range(0, 3);
                v.pan = pan;
                v.amp = 0.12 * e.amp * Trapezoid(t, e.length, e.fadeIn, e.fadeOut);
                RenderCrowdVoice(mix, v, rng);
                t += len + rng.Range(0.03, 0.3);
            }
        }
        return;
    }
    // Sung reactions: cheer, groan, ooh, laugh.
    for (int k = 0; k < e.count; ++k) {
        CrowdVoice v;
        v.pan = e.spread * rng.Bipolar();
        v.f0 = e.pitch * std::pow(2.0, rng.Range(0.0, 1.1));
        v.amp = e.amp * rng.Range(0.5, 1.0) * 0.5;
        v.vibRate = rng.Range(4.5, 7.0);
        if (kind == "cheer") {
            static const char vowels[] = "aeo";
            double onset = rng.Uniform() * std::min(0.5, e.length * 0.3);
            v.start = e.start + onset;
            v.length = std::max(0.3, (e.length - onset) * rng.Range(0.45, 1.0));
            v.vowelFrom = vowels[rng.Next() % 3];
            v.vowelTo = rng.Uniform() < 0.5 ? v.vowelFrom : 'a';
            v.rise = rng.Range(2.0, 5.0);
            v.riseAt = rng.Range(0.1, 0.25);
            v.fall = rng.Range(3.0, 7.0);
            v.vibDepth = rng.Range(0.2, 0.5);
            v.attack = 0.04;
            v.release = rng.Range(0.15, 0.4);
        } else if (kind == "groan") {
            double onset = rng.Uniform() * 0.15;
            v.start = e.start + onset;
            v.length = std::max(0.3, (e.length - onset) * rng.Range(0.75, 1.0));
            v.vowelFrom = vowel;
            v.vowelTo = vowel == 'a' ? 'o' : 'u';
            double drop = e.pitchTo > 0 ? 12.0 * std::log2(e.pitch / e.pitchTo) : 5.0;
            v.rise = rng.Range(0.0, 1.5);
            v.riseAt = 0.15;
            v.fall = drop + rng.Range(-1.0, 1.5);
            v.vibDepth = 0.15;
            v.attack = 0.12;
            v.release = 0.35;
        } else if (kind == "ooh") {
            double onset = rng.Uniform() * 0.12;
            v.start = e.start + onset;
            v.length = std::max(0.3, (e.length - onset) * rng.Range(0.8, 1.0));
            v.vowelFrom = vowel;
            v.vowelTo = 'o';
            v.rise = rng.Range(3.0, 6.0);
            v.riseAt = rng.Range(0.4, 0.6);
            v.fall = rng.Range(4.0, 8.0);
            v.vibDepth = 0.2;
            v.attack = 0.1;
            v.release = 0.3;
        } else {  // laugh
            double onset = rng.Uniform() * 0.3;
            v.start = e.start + onset;
            v.length = std::max(0.3, (e.length - onset) * rng.Range(0.5, 1.0));
            v.vowelFrom = 'a';
            v.vowelTo = rng.Uniform() < 0.5 ? 'a' : 'e';
            v.rise = 1.0;
            v.fall = rng.Range(3.0, 6.0);
            v.pulseRate = rng.Range(4.5, 6.5);
            v.breath = 0.5;
            v.attack = 0.02;
            v.release = 0.15;
        }
        RenderCrowdVoice(mix, v, rng);
    }
    // A breath of the room under the voices.
    Pink pink;
    Svf bp;
    bp.Set(900, 0.8, rate);
    long long first = (long long)std::llround(e.start * rate);
    long long n = (long long)(e.length * rate);
    for (long long i = 0; i < n; ++i) {
        double t = (double)i / rate;
        double x = bp.Run(pink.Next(rng), 1) * Trapezoid(t, e.length, 0.1, e.length * 0.5);
        mix.Add(first + i, x * 0.15 * e.amp, 0.0);
    }
}

double EventEnd(const Event& e) {
    switch (e.kind) {
    case EVENT_TONE: return e.start + e.length + std::max(0.0, e.patch.release);
    case EVENT_DRUM: return e.start + DrumLength(e.name);
    case EVENT_CROWD: return e.start + e.length + 0.6;
    }
    return e.start;
}

// ---- Effects ----

// A small stereo room: eight damped combs and two all-passes a side.
void Reverb(Mix& mix, const Effect& fx) {
    const double scale = mix.rate / 44100.0;
    static const int combs[4] = {1116, 1188, 1277, 1356};
    static const int passes[2] = {556, 441};
    double feedback = 0.7 + 0.28 * std::clamp(fx.room, 0.0, 1.0);
    double damp = std::clamp(fx.damp, 0.0, 1.0) * 0.4;
    size_t n = mix.left.size();
    std::vector<float> wetL(n, 0.0f), wetR(n, 0.0f);
    for (int side = 0; side < 2; ++side) {
        const std::vector<float>& dry = side ? mix.right : mix.left;
        std::vector<float>& wet = side ? wetR : wetL;
        int spread = side ? 23 : 0;
        for (int c = 0; c < 4; ++c) {
            size_t len = (size_t)((combs[c] + spread) * scale);
            std::vector<double> line(std::max<size_t>(len, 1), 0.0);
            double store = 0;
            size_t j = 0;
            for (size_t i = 0; i < n; ++i) {
                double out = line[j];
                store = out * (1.0 - damp) + store * damp;
                line[j] = dry[i] * 0.5 + store * feedback;
                j = (j + 1) % line.size();
                wet[i] += (float)(out * 0.25);
            }
        }
        for (int a = 0; a < 2; ++a) {
            size_t len = (size_t)((passes[a] + spread) * scale);
            std::vector<double> line(std::max<size_t>(len, 1), 0.0);
            size_t j = 0;
            for (size_t i = 0; i < n; ++i) {
                double buffered = line[j];
                double in = wet[i];
                line[j] = in + buffered * 0.5;
                wet[i] = (float)(buffered - in);
                j = (j + 1) % line.size();
            }
        }
    }
    for (size_t i = 0; i < n; ++i) {
        mix.left[i] += (float)(fx.mix * wetL[i]);
        mix.right[i] += (float)(fx.mix * wetR[i]);
    }
}

// Echo: the right side repeats a little later than the left.
void Echo(Mix& mix, const Effect& fx) {
    size_t n = mix.left.size();
    size_t dl = std::max<size_t>(1, (size_t)(fx.time * mix.rate));
    size_t dr = std::max<size_t>(1, (size_t)(fx.time * 1.5 * mix.rate));
    std::vector<float> l = mix.left, r = mix.right;
    for (size_t i = 0; i < n; ++i) {
        if (i >= dl) l[i] += (float)(fx.feedback * l[i - dl]);
        if (i >= dr) r[i] += (float)(fx.feedback * r[i - dr]);
    }
    for (size_t i = 0; i < n; ++i) {
        mix.left[i] += (float)(fx.mix * (l[i] - mix.left[i]));
        mix.right[i] += (float)(fx.mix * (r[i] - mix.right[i]));
    }
}

}  // namespace

bool RenderRecipe(const Recipe& r, Audio& out, std::string& error) {
    double end = 0;
    for (const Event& e : r.events) end = std::max(end, EventEnd(e));
    double effectTail = 0;
    for (const Effect& fx : r.effects)
        effectTail += fx.kind == "reverb" ? 1.5 + 2.0 * fx.room : fx.time * 1.5 * 12.0 * (0.2 + fx.feedback);
    double length = r.length > 0 ? r.length : end + r.tail;
    double rendered = std::max(length, end) + effectTail + 0.1;
    if (rendered > 300.0) {
        error = r.file + ":" + std::to_string(r.line) + ": cue " + r.cue + " runs longer than five minutes";
        return false;
    }

    Mix mix;
    mix.rate = r.rate;
    size_t frames = (size_t)(rendered * r.rate) + 1;
    mix.left.assign(frames, 0.0f);
    mix.right.assign(frames, 0.0f);
    for (const Event& e : r.events) {
        if (e.kind == EVENT_TONE) RenderTone(mix, e);
        else if (e.kind == EVENT_DRUM) RenderDrum(mix, e);
        else RenderCrowd(mix, e);
    }
    for (const Effect& fx : r.effects) {
        if (fx.kind == "reverb") Reverb(mix, fx);
        else Echo(mix, fx);
    }

    size_t keep = (size_t)std::llround(length * r.rate);
    keep = std::max<size_t>(1, std::min(keep, frames));
    if (r.loop) {
        // What rings past the end of a loop sounds again at its start.
        for (size_t i = keep; i < frames; ++i) {
            mix.left[i % keep] += mix.left[i];
            mix.right[i % keep] += mix.right[i];
        }
    } else {
        if (r.length <= 0) {
            // Let the sound ring out (reverb and echo too), up to where it
            // has fallen 60 dB below its peak.
            float loudest = 0.0f;
            for (size_t i = 0; i < frames; ++i)
                loudest = std::max(loudest, std::max(std::fabs(mix.left[i]), std::fabs(mix.right[i])));
            size_t last = 0;
            for (size_t i = frames; i-- > 0;)
                if (std::max(std::fabs(mix.left[i]), std::fabs(mix.right[i])) > loudest * 0.001f) {
                    last = i;
                    break;
                }
            keep = std::max(keep, std::min(frames, last + (size_t)(0.01 * r.rate)));
        }
        // Close the end with a short fade.
        size_t fade = std::min<size_t>(keep, (size_t)(0.01 * r.rate));
        for (size_t k = 0; k < fade; ++k) {
            float g = (float)k / (float)fade;
            mix.left[keep - 1 - k] *= g;
            mix.right[keep - 1 - k] *= g;
        }
    }
    mix.left.resize(keep);
    mix.right.resize(keep);

    out.rate = r.rate;
    out.channels = r.channels;
    out.samples.assign(keep * r.channels, 0.0f);
    double peak = 0;
    for (size_t i = 0; i < keep; ++i) {
        if (r.channels == 1) {
            out.samples[i] = 0.5f * (mix.left[i] + mix.right[i]);
        } else {
            out.samples[2 * i] = mix.left[i];
            out.samples[2 * i + 1] = mix.right[i];
        }
    }
    for (float s : out.samples) peak = std::max(peak, (double)std::fabs(s));
    if (!(peak > 1e-6) || !std::isfinite(peak)) {
        error = r.file + ":" + std::to_string(r.line) + ": cue " + r.cue + " renders as silence";
        return false;
    }
    float gain = (float)(r.peak / peak);
    for (float& s : out.samples) s *= gain;
    return true;
}
