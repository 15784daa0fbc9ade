#include "recipe.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <map>
#include <sstream>

namespace {

struct Statement {
    std::string verb;
    std::vector<std::string> words;                           // plain words after the verb
    std::vector<std::pair<std::string, std::string>> pairs;  // key=value, in order
    std::vector<std::string> tail;                            // after a lone ':'
    bool hasTail = false;
    int line = 0;
};

std::string Lower(std::string s) {
    for (char& c : s) c = (char)std::tolower((unsigned char)c);
    return s;
}

unsigned HashName(const std::string& s) {
    unsigned h = 2166136261u;
    for (unsigned char c : s) h = (h ^ c) * 16777619u;
    return h;
}

bool ToNumber(const std::string& text, double& out) {
    if (text.empty()) return false;
    char* end = nullptr;
    out = std::strtod(text.c_str(), &end);
    return end && *end == 0 && std::isfinite(out);
}

class Parser {
public:
    Parser(const std::string& path, std::vector<Recipe>& out, std::string& error)
        : path(path), out(out), error(error) {}

    bool Run(const std::string& text) {
        std::istringstream in(text);
        std::string raw;
        int line = 0;
        while (std::getline(in, raw)) {
            ++line;
            // A comment starts with '#' at the start of a line or after a
            // space; C#4 is a note.
            for (size_t k = 0; k < raw.size(); ++k)
                if (raw[k] == '#' && (k == 0 || std::isspace((unsigned char)raw[k - 1]))) {
                    raw.erase(k);
                    break;
                }
            Statement st;
            st.line = line;
            std::istringstream words(raw);
            std::string w;
            while (words >> w) {
                if (st.hasTail) {
                    st.tail.push_back(w);
                } else if (w == ":") {
                    st.hasTail = true;
                } else if (st.verb.empty()) {
                    st.verb = Lower(w);
                } else {
                    size_t eq = w.find('=');
                    if (eq != std::string::npos && eq > 0)
                        st.pairs.push_back({Lower(w.substr(0, eq)), w.substr(eq + 1)});
                    else
                        st.words.push_back(w);
                }
            }
            if (st.verb.empty()) continue;
            if (!Statement_(st)) return false;
        }
        return Finish();
    }

private:
    bool Fail(int line, const std::string& message) {
        error = path + ":" + std::to_string(line) + ": " + message;
        return false;
    }

    Recipe* Current(const Statement& st) {
        if (out.size() <= first) {
            Fail(st.line, "\"" + st.verb + "\" before the first \"cue\"");
            return nullptr;
        }
        return &out.back();
    }

    bool Number(const Statement& st, const std::string& text, double& v) {
        if (!ToNumber(text, v)) return Fail(st.line, "\"" + text + "\" is not a number");
        return true;
    }

    // Seconds, or beats with a 'b' suffix.
    bool Time(const Statement& st, std::string text, double& seconds, bool beatsByDefault) {
        bool beats = beatsByDefault;
        if (!text.empty() && (text.back() == 'b' || text.back() == 's')) {
            beats = text.back() == 'b';
            text.pop_back();
        }
        double v;
        if (!Number(st, text, v)) return false;
        seconds = beats ? v * 60.0 / recipe->tempo : v;
        return true;
    }

    bool ApplyPatchKey(const Statement& st, Patch& p, const std::string& key, const std::string& value,
                       bool& known) {
        known = true;
        double v = 0;
        auto num = [&](double& slot) { return Number(st, value, v) && ((slot = v), true); };
        if (key == "wave") {
            static const char* waves[] = {"sine", "triangle", "square", "saw", "pulse", "noise", "pink",
                                          "brown", "fm", "bell", "pluck", "organ", "choir"};
            for (const char* w : waves)
                if (value == w) {
                    p.wave = value;
                    return true;
                }
            return Fail(st.line, "unknown wave \"" + value + "\"");
        }
        if (key == "filter") {
            if (value != "none" && value != "lowpass" && value != "highpass" && value != "bandpass")
                return Fail(st.line, "unknown filter \"" + value + "\"");
            p.filter = value;
            return true;
        }
        if (key == "vowel") {
            if (value.size() != 1 || std::string("aeiou").find(value[0]) == std::string::npos)
                return Fail(st.line, "vowel must be one of a e i o u");
            p.vowel = value;
            return true;
        }
        if (key == "adsr" || key == "vibrato") {
            std::vector<double> parts;
            std::stringstream ss(value);
            std::string item;
            while (std::getline(ss, item, ':')) {
                if (!Number(st, item, v)) return false;
                parts.push_back(v);
            }
            if (key == "adsr") {
                if (parts.size() != 4) return Fail(st.line, "adsr=attack:decay:sustain:release");
                p.attack = parts[0];
                p.decay = parts[1];
                p.sustain = parts[2];
                p.release = parts[3];
            } else {
                if (parts.size() < 2 || parts.size() > 3) return Fail(st.line, "vibrato=rate:depth[:delay]");
                p.vibRate = parts[0];
                p.vibDepth = parts[1];
                p.vibDelay = parts.size() > 2 ? parts[2] : 0.0;
            }
            return true;
        }
        if (key == "voices") {
            if (!Number(st, value, v)) return false;
            if (v < 1 || v > 16) return Fail(st.line, "voices must be 1 to 16");
            p.voices = (int)v;
            return true;
        }
        if (key == "attack") return num(p.attack);
        if (key == "decay") return num(p.decay);
        if (key == "sustain") return num(p.sustain);
        if (key == "release") return num(p.release);
        if (key == "gain" || key == "amp") return num(p.gain);
        if (key == "pan") return num(p.pan);
        if (key == "cutoff") return num(p.cutoff);
        if (key == "q") return num(p.q);
        if (key == "sweep") return num(p.sweep);
        if (key == "sweeptime") return num(p.sweepTime);
        if (key == "cutto") return num(p.cutTo);
        if (key == "detune") return num(p.detune);
        if (key == "ratio") return num(p.ratio);
        if (key == "index") return num(p.index);
        if (key == "width") return num(p.width);
        if (key == "bend") return num(p.bend);
        if (key == "bendtime") return num(p.bendTime);
        if (key == "gate") return num(p.gate);
        if (key == "transpose") return num(p.transpose);
        if (key == "drive") return num(p.drive);
        known = false;
        return true;
    }

    bool ApplyPatch(const Statement& st, Patch& p, const std::vector<std::string>& allowedExtra) {
        for (const auto& kv : st.pairs) {
            bool known = false;
            if (!ApplyPatchKey(st, p, kv.first, kv.second, known)) return false;
            if (known) continue;
            bool extra = false;
            for (const std::string& a : allowedExtra) extra = extra || a == kv.first;
            if (!extra) return Fail(st.line, "unknown setting \"" + kv.first + "\" for \"" + st.verb + "\"");
        }
        return true;
    }

    const std::string* Pair(const Statement& st, const char* key) {
        for (const auto& kv : st.pairs)
            if (kv.first == key) return &kv.second;
        return nullptr;
    }

    bool PairNumber(const Statement& st, const char* key, double& v) {
        const std::string* s = Pair(st, key);
        return !s || Number(st, *s, v);
    }

    bool PairTime(const Statement& st, const char* key, double& seconds, bool beatsByDefault) {
        const std::string* s = Pair(st, key);
        return !s || Time(st, *s, seconds, beatsByDefault);
    }

    // Beats, with or without a 'b' suffix.
    bool PairBeats(const Statement& st, const char* key, double& beats) {
        const std::string* s = Pair(st, key);
        if (!s) return true;
        std::string text = *s;
        if (!text.empty() && text.back() == 'b') text.pop_back();
        return Number(st, text, beats);
    }

    bool BasePatch(const Statement& st, Patch& p) {
        const std::string* inst = Pair(st, "inst");
        if (!inst) return true;
        auto it = instruments.find(*inst);
        if (it == instruments.end()) return Fail(st.line, "unknown instrument \"" + *inst + "\"");
        p = it->second;
        return true;
    }

    Event NewEvent(const Statement& st, EventKind kind) {
        Event e;
        e.kind = kind;
        e.line = st.line;
        e.seed = 0;  // mixed with the cue's seed once the cue is complete
        return e;
    }

    bool Statement_(const Statement& st) {
        if (st.verb == "cue") {
            if (st.words.size() != 1) return Fail(st.line, "cue NAME");
            if (!Finish()) return false;
            Recipe r;
            r.file = path;
            r.line = st.line;
            r.cue = st.words[0];
            r.seed = HashName(r.cue);
            out.push_back(r);
            recipe = &out.back();
            instruments.clear();
            return true;
        }
        if (!Current(st)) return false;
        recipe = &out.back();
        Recipe& r = *recipe;
        const std::string arg = st.words.empty() ? std::string() : st.words[0];
        double v = 0;

        if (st.verb == "kind") {
            if (arg != "sound" && arg != "stream") return Fail(st.line, "kind sound|stream");
            r.kind = arg;
            return true;
        }
        if (st.verb == "channels") {
            if (arg != "1" && arg != "2") return Fail(st.line, "channels 1|2");
            r.channels = arg == "1" ? 1 : 2;
            return true;
        }
        if (st.verb == "rate") {
            if (!Number(st, arg, v) || v < 8000 || v > 48000) return Fail(st.line, "rate 8000..48000");
            r.rate = (int)v;
            return true;
        }
        if (st.verb == "quality") {
            if (!Number(st, arg, v) || v < -0.1 || v > 1.0) return Fail(st.line, "quality -0.1..1");
            r.quality = v;
            return true;
        }
        if (st.verb == "seed") {
            if (!Number(st, arg, v)) return false;
            r.seed = (unsigned)(long long)v;
            r.seedSet = true;
            return true;
        }
        if (st.verb == "length") {
            if (!Time(st, arg, v, false) || v <= 0 || v > 120) return Fail(st.line, "length 0..120 seconds");
            r.length = v;
            return true;
        }
        if (st.verb == "bars") {
            if (!Number(st, arg, v) || v <= 0) return Fail(st.line, "bars N");
            r.length = v * r.meter * 60.0 / r.tempo;
            return true;
        }
        if (st.verb == "loop") {
            r.loop = true;
            return true;
        }
        if (st.verb == "tail") return Number(st, arg, r.tail);
        if (st.verb == "peak") {
            if (!Number(st, arg, v) || v <= 0 || v > 1) return Fail(st.line, "peak 0..1");
            r.peak = v;
            return true;
        }
        if (st.verb == "tempo") {
            if (!Number(st, arg, v) || v < 20 || v > 400) return Fail(st.line, "tempo 20..400");
            r.tempo = v;
            return true;
        }
        if (st.verb == "meter") {
            if (!Number(st, arg, v) || v < 1 || v > 16) return Fail(st.line, "meter 1..16");
            r.meter = (int)v;
            return true;
        }
        if (st.verb == "reverb" || st.verb == "echo") {
            Effect fx;
            fx.kind = st.verb;
            if (!PairNumber(st, "mix", fx.mix) || !PairNumber(st, "room", fx.room) ||
                !PairNumber(st, "damp", fx.damp) || !PairNumber(st, "feedback", fx.feedback) ||
                !PairTime(st, "time", fx.time, false))
                return false;
            if (fx.feedback < 0 || fx.feedback > 0.95) return Fail(st.line, "feedback 0..0.95");
            r.effects.push_back(fx);
            return true;
        }
        if (st.verb == "instrument") {
            if (st.words.size() != 1) return Fail(st.line, "instrument NAME key=value ...");
            Patch p;
            if (!BasePatch(st, p) || !ApplyPatch(st, p, {"inst"})) return false;
            instruments[st.words[0]] = p;
            return true;
        }
        if (st.verb == "tone" || st.verb == "noise") {
            Event e = NewEvent(st, EVENT_TONE);
            if (st.verb == "noise") e.patch.wave = "noise";
            if (!BasePatch(st, e.patch) || !ApplyPatch(st, e.patch, {"inst", "at", "len", "freq", "note", "to"}))
                return false;
            if (!PairTime(st, "at", e.start, false) || !PairTime(st, "len", e.length, false)) return false;
            if (e.length <= 0) return Fail(st.line, "len must be above 0");
            if (const std::string* note = Pair(st, "note")) {
                e.freq = NoteFrequency(*note);
                if (e.freq <= 0) return Fail(st.line, "unknown note \"" + *note + "\"");
            }
            if (!PairNumber(st, "freq", e.freq)) return false;
            if (const std::string* to = Pair(st, "to")) {
                e.freqTo = NoteFrequency(*to);
                if (e.freqTo <= 0 && !Number(st, *to, e.freqTo)) return false;
            }
            e.patch.gate = 1.0;
            r.events.push_back(e);
            return true;
        }
        if (st.verb == "hit") {
            static const char* voices[] = {"kick", "snare", "hat", "ohat", "clap", "tom", "ltom", "htom",
                                           "crash", "ride", "shaker", "rim", "block", "timpani"};
            bool ok = false;
            for (const char* d : voices) ok = ok || arg == d;
            if (!ok) return Fail(st.line, "unknown drum \"" + arg + "\"");
            Event e = NewEvent(st, EVENT_DRUM);
            e.name = arg;
            if (!PairTime(st, "at", e.start, false) || !PairNumber(st, "amp", e.amp) ||
                !PairNumber(st, "pan", e.patch.pan) || !PairNumber(st, "pitch", e.pitch) ||
                !PairNumber(st, "decay", e.patch.decay))
                return false;
            if (!Pair(st, "pitch")) e.pitch = 0;
            if (!Pair(st, "decay")) e.patch.decay = 0;
            r.events.push_back(e);
            return true;
        }
        if (st.verb == "crowd") {
            static const char* kinds[] = {"applause", "cheer", "groan", "ooh", "murmur", "whistle", "laugh"};
            bool ok = false;
            for (const char* k : kinds) ok = ok || arg == k;
            if (!ok) return Fail(st.line, "unknown crowd sound \"" + arg + "\"");
            Event e = NewEvent(st, EVENT_CROWD);
            e.name = arg;
            e.patch.vowel = arg == "groan" ? "o" : arg == "ooh" ? "u" : "a";
            double count = e.count;
            if (!PairTime(st, "at", e.start, false) || !PairTime(st, "len", e.length, false) ||
                !PairNumber(st, "amp", e.amp) || !PairNumber(st, "density", e.density) ||
                !PairNumber(st, "count", count) || !PairNumber(st, "pitch", e.pitch) ||
                !PairNumber(st, "to", e.pitchTo) || !PairTime(st, "fadein", e.fadeIn, false) ||
                !PairTime(st, "fadeout", e.fadeOut, false) || !PairNumber(st, "spread", e.spread))
                return false;
            if (const std::string* vowel = Pair(st, "vowel")) e.patch.vowel = *vowel;
            if (const std::string* s = Pair(st, "seed")) {
                if (!Number(st, *s, v)) return false;
                e.seed = (unsigned)(long long)v;
            }
            for (const auto& kv : st.pairs) {
                static const char* keys[] = {"at", "len", "amp", "density", "count", "pitch", "to",
                                             "fadein", "fadeout", "spread", "vowel", "seed"};
                bool known = false;
                for (const char* k : keys) known = known || kv.first == k;
                if (!known) return Fail(st.line, "unknown setting \"" + kv.first + "\" for \"crowd\"");
            }
            if (e.length <= 0) return Fail(st.line, "len must be above 0");
            if (count < 1 || count > 200) return Fail(st.line, "count 1..200");
            e.count = (int)count;
            r.events.push_back(e);
            return true;
        }
        if (st.verb == "notes" || st.verb == "chords") return Sequence(st);
        if (st.verb == "drums") return Drums(st);
        return Fail(st.line, "unknown statement \"" + st.verb + "\"");
    }

    // notes INSTR [at=] [repeat=] [vel=] : C5/0.5 D5 [C4,E4,G4]/2 r/1 ...
    // chords INSTR [at=] [repeat=] [octave=4] [style=block|stab|arp|strum] [step=] [offset=] : C/4 Am ...
    bool Sequence(const Statement& st) {
        bool chords = st.verb == "chords";
        if (st.words.size() != 1 || !st.hasTail) return Fail(st.line, st.verb + " INSTRUMENT ... : items");
        auto it = instruments.find(st.words[0]);
        if (it == instruments.end()) return Fail(st.line, "unknown instrument \"" + st.words[0] + "\"");
        const Patch& patch = it->second;
        double at = 0, repeat = 1, vel = 1, octave = 4, step = 0.5, offset = 0;
        std::string style = "block";
        if (const std::string* s = Pair(st, "style")) style = *s;
        if (style != "block" && style != "stab" && style != "arp" && style != "strum")
            return Fail(st.line, "style block|stab|arp|strum");
        if (!PairBeats(st, "at", at) || !PairNumber(st, "repeat", repeat) || !PairNumber(st, "vel", vel) ||
            !PairNumber(st, "octave", octave) || !PairNumber(st, "step", step) ||
            !PairNumber(st, "offset", offset))
            return false;
        for (const auto& kv : st.pairs) {
            static const char* keys[] = {"at", "repeat", "vel", "octave", "step", "offset", "style"};
            bool known = false;
            for (const char* k : keys) known = known || kv.first == k;
            if (!known) return Fail(st.line, "unknown setting \"" + kv.first + "\" for \"" + st.verb + "\"");
        }
        if (repeat < 1 || repeat > 256 || step <= 0) return Fail(st.line, "repeat 1..256, step above 0");

        struct Item {
            std::vector<double> freqs;
            double beats;
            double accent;
        };
        std::vector<Item> items;
        double dur = chords ? 4.0 : 1.0;
        double total = 0;
        for (std::string tok : st.tail) {
            Item item;
            item.accent = 1.0;
            if (!tok.empty() && tok.back() == '!') {
                item.accent = 1.3;
                tok.pop_back();
            }
            size_t slash = tok.rfind('/');
            std::string head = tok.substr(0, slash);
            if (slash != std::string::npos) {
                if (!Number(st, tok.substr(slash + 1), dur) || dur <= 0)
                    return Fail(st.line, "bad length in \"" + tok + "\"");
            }
            item.beats = dur;
            if (head == "r" || head.empty()) {
                // a rest
            } else if (chords) {
                int root = 0;
                std::vector<int> iv;
                if (!ChordNotes(head, root, iv)) return Fail(st.line, "unknown chord \"" + head + "\"");
                int base = root + ((int)octave - 4) * 12;
                for (int i : iv) item.freqs.push_back(440.0 * std::pow(2.0, (base + i - 69) / 12.0));
            } else if (head.front() == '[' && head.back() == ']') {
                std::stringstream ss(head.substr(1, head.size() - 2));
                std::string n;
                while (std::getline(ss, n, ',')) {
                    double f = NoteFrequency(n);
                    if (f <= 0) return Fail(st.line, "unknown note \"" + n + "\"");
                    item.freqs.push_back(f);
                }
            } else {
                double f = NoteFrequency(head);
                if (f <= 0) return Fail(st.line, "unknown note \"" + head + "\"");
                item.freqs.push_back(f);
            }
            items.push_back(item);
            total += item.beats;
        }
        double beat = 60.0 / recipe->tempo;
        for (int rep = 0; rep < (int)repeat; ++rep) {
            double t = at + rep * total;
            for (const Item& item : items) {
                auto add = [&](double startBeats, double lengthBeats, double freq, double delay) {
                    Event e = NewEvent(st, EVENT_TONE);
                    e.patch = patch;
                    e.start = startBeats * beat + delay;
                    e.length = lengthBeats * beat * patch.gate;
                    e.freq = freq;
                    e.amp = vel * item.accent;
                    recipe->events.push_back(e);
                };
                if (!chords || style == "block") {
                    for (double f : item.freqs) add(t, item.beats, f, 0.0);
                } else if (style == "strum") {
                    for (size_t k = 0; k < item.freqs.size(); ++k) add(t, item.beats, item.freqs[k], 0.018 * k);
                } else if (style == "stab") {
                    for (double s = offset; s < item.beats - 1e-9; s += step)
                        for (double f : item.freqs) add(t + s, step, f, 0.0);
                } else if (!item.freqs.empty()) {  // arp: up through the chord and an octave above
                    std::vector<double> seq = item.freqs;
                    for (double f : item.freqs) seq.push_back(f * 2.0);
                    size_t k = 0;
                    for (double s = offset; s < item.beats - 1e-9; s += step) add(t + s, step, seq[k++ % seq.size()], 0.0);
                }
                t += item.beats;
            }
        }
        return true;
    }

    // drums [at=] [repeat=] [step=0.25] [amp=] : kick=x...x... snare=....x... hat=x.x.x.x.
    bool Drums(const Statement& st) {
        double at = 0, repeat = 1, step = 0.25, amp = 1.0;
        if (!PairBeats(st, "at", at) || !PairNumber(st, "repeat", repeat) || !PairNumber(st, "step", step) ||
            !PairNumber(st, "amp", amp))
            return false;
        if (!st.hasTail || st.tail.empty()) return Fail(st.line, "drums ... : lane=pattern ...");
        if (repeat < 1 || repeat > 256 || step <= 0) return Fail(st.line, "repeat 1..256, step above 0");
        static const char* voices[] = {"kick", "snare", "hat", "ohat", "clap", "tom", "ltom", "htom",
                                       "crash", "ride", "shaker", "rim", "block", "timpani"};
        size_t longest = 0;
        std::vector<std::pair<std::string, std::string>> lanes;
        for (const std::string& lane : st.tail) {
            size_t eq = lane.find('=');
            if (eq == std::string::npos) return Fail(st.line, "drum lane \"" + lane + "\" is not voice=pattern");
            std::string voice = lane.substr(0, eq), pattern;
            bool ok = false;
            for (const char* d : voices) ok = ok || voice == d;
            if (!ok) return Fail(st.line, "unknown drum \"" + voice + "\"");
            for (char c : lane.substr(eq + 1)) {
                if (c == '|') continue;
                if (std::string("xXo.-").find(c) == std::string::npos)
                    return Fail(st.line, std::string("drum steps are x X o . - | (found '") + c + "')");
                pattern += c;
            }
            if (pattern.size() > longest) longest = pattern.size();
            lanes.push_back({voice, pattern});
        }
        double beat = 60.0 / recipe->tempo;
        for (int rep = 0; rep < (int)repeat; ++rep) {
            for (const auto& lane : lanes) {
                for (size_t i = 0; i < lane.second.size(); ++i) {
                    char c = lane.second[i];
                    if (c == '.' || c == '-') continue;
                    Event e = NewEvent(st, EVENT_DRUM);
                    e.name = lane.first;
                    e.start = (at + (rep * longest + i) * step) * beat;
                    e.amp = amp * (c == 'X' ? 1.0 : c == 'x' ? 0.75 : 0.4);
                    e.pitch = 0;
                    e.patch.decay = 0;
                    recipe->events.push_back(e);
                }
            }
        }
        return true;
    }

    // Checks the cue just read.
    bool Finish() {
        if (out.size() <= first) return true;
        Recipe& r = out.back();
        if (r.loop && r.length <= 0) return Fail(r.line, "a loop needs a length (length or bars)");
        if (r.events.empty()) return Fail(r.line, "cue " + r.cue + " makes no sound");
        // Every event draws its own random numbers: the same recipe always
        // gives the same samples.
        unsigned k = 0;
        for (Event& e : r.events) e.seed = r.seed * 2654435761u + (k++) * 40503u + e.seed * 2246822519u + 1u;
        return true;
    }

    std::string path;
    std::vector<Recipe>& out;
    std::string& error;
    size_t first = out.size();
    Recipe* recipe = nullptr;
    std::map<std::string, Patch> instruments;
};

}  // namespace

double NoteFrequency(const std::string& text) {
    if (text.size() < 2) return 0;
    static const int steps[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    char letter = (char)std::toupper((unsigned char)text[0]);
    if (letter < 'A' || letter > 'G') return 0;
    int semis = steps[letter - 'A'];
    size_t i = 1;
    while (i < text.size() && (text[i] == '#' || text[i] == 'b')) semis += text[i++] == '#' ? 1 : -1;
    if (i >= text.size()) return 0;
    char* end = nullptr;
    long octave = std::strtol(text.c_str() + i, &end, 10);
    if (!end || *end || octave < 0 || octave > 9) return 0;
    int midi = (int)(octave + 1) * 12 + semis;
    return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

bool ChordNotes(const std::string& symbol, int& root, std::vector<int>& intervals) {
    if (symbol.empty()) return false;
    static const int steps[7] = {9, 11, 0, 2, 4, 5, 7};
    char letter = symbol[0];
    if (letter < 'A' || letter > 'G') return false;
    int semis = steps[letter - 'A'];
    size_t i = 1;
    if (i < symbol.size() && (symbol[i] == '#' || symbol[i] == 'b')) semis += symbol[i++] == '#' ? 1 : -1;
    root = 60 + semis;
    std::string q = symbol.substr(i);
    static const std::map<std::string, std::vector<int>> qualities = {
        {"", {0, 4, 7}},          {"m", {0, 3, 7}},         {"7", {0, 4, 7, 10}},    {"maj7", {0, 4, 7, 11}},
        {"m7", {0, 3, 7, 10}},    {"dim", {0, 3, 6}},       {"dim7", {0, 3, 6, 9}},  {"aug", {0, 4, 8}},
        {"sus4", {0, 5, 7}},      {"sus2", {0, 2, 7}},      {"6", {0, 4, 7, 9}},     {"m6", {0, 3, 7, 9}},
        {"9", {0, 4, 7, 10, 14}}, {"add9", {0, 4, 7, 14}},  {"m9", {0, 3, 7, 10, 14}}, {"5", {0, 7, 12}},
        {"7sus4", {0, 5, 7, 10}},
    };
    auto it = qualities.find(q);
    if (it == qualities.end()) return false;
    intervals = it->second;
    return true;
}

bool ParseRecipes(const std::string& path, const std::string& text, std::vector<Recipe>& out, std::string& error) {
    Parser parser(path, out, error);
    return parser.Run(text);
}
