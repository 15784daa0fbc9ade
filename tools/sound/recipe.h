// The sound recipes under content/audio: plain text, one statement a line,
// '#' starts a comment. A file holds one or more cues, each opened by
// "cue NAME". See content/audio/README.txt for the full language.
#pragma once
#include <string>
#include <vector>

// How one voice sounds: the oscillator, its envelope, filter and motion.
struct Patch {
    std::string wave = "sine";  // sine triangle square saw pulse noise pink brown fm bell pluck organ choir
    double attack = 0.005, decay = 0.1, sustain = 0.7, release = 0.05;  // seconds, level 0..1
    double gain = 0.5;
    double pan = 0.0;                 // -1 left .. 1 right
    std::string filter = "none";      // none lowpass highpass bandpass
    double cutoff = 0.0, q = 0.707;   // Hz
    double sweep = 0.0;               // the cutoff starts this many Hz higher ...
    double sweepTime = 0.0;           // ... and falls back over this time (0: the decay)
    double cutTo = 0.0;               // or glides to this cutoff over the note (0: no glide)
    double vibRate = 0.0, vibDepth = 0.0, vibDelay = 0.0;  // Hz, semitones, seconds
    double detune = 0.0;              // cents between unison voices
    int voices = 1;
    double ratio = 2.0, index = 0.0;  // fm
    double width = 0.5;               // pulse
    double bend = 0.0, bendTime = 0.05;  // semitones at the start, decaying
    double gate = 0.9;                // share of a note's length that it is held
    double transpose = 0.0;           // semitones
    double drive = 0.0;               // soft saturation, 0 none
    std::string vowel = "a";          // choir: a e i o u
};

enum EventKind {
    EVENT_TONE,   // a pitched voice
    EVENT_DRUM,   // one drum hit
    EVENT_CROWD,  // crowd noise: applause, cheer, groan, ooh, murmur, whistle
};

struct Event {
    EventKind kind = EVENT_TONE;
    double start = 0.0;  // seconds
    double length = 0.0; // seconds held (before the release)
    double freq = 440.0;
    double freqTo = 0.0; // glide target over the length (0: none)
    double amp = 1.0;
    Patch patch;
    std::string name;    // drum voice or crowd kind
    // Crowd parameters.
    double density = 12.0, pitch = 220.0, pitchTo = 0.0, fadeIn = 0.2, fadeOut = 0.6, spread = 0.8;
    int count = 8;
    unsigned seed = 0;
    int line = 0;
};

struct Effect {
    std::string kind;  // reverb echo
    double mix = 0.2, room = 0.5, damp = 0.4, time = 0.3, feedback = 0.3;
};

struct Recipe {
    std::string file;
    int line = 0;
    std::string cue;
    std::string kind = "sound";  // sound | stream
    int channels = 1;
    int rate = 22050;
    double quality = 0.3;
    unsigned seed = 0;
    bool seedSet = false;
    double length = 0.0;  // seconds; 0: up to the last sound plus the tail
    bool loop = false;
    double tail = 0.3;
    double peak = 0.89;
    double tempo = 120.0;
    int meter = 4;
    std::vector<Effect> effects;
    std::vector<Event> events;
};

// Parses one file into its cues; false with "file:line: message" in error.
bool ParseRecipes(const std::string& path, const std::string& text, std::vector<Recipe>& out, std::string& error);

// Frequency of a note name such as "C4", "F#5", "Bb2" (A4 = 440 Hz); 0 when
// the text is no note.
double NoteFrequency(const std::string& text);
// The notes (as semitones above the root) of a chord symbol such as "Am",
// "G7", "Fmaj7", "Bdim", "Dsus4"; root is set to the root's MIDI number in
// octave 4. false for an unknown symbol.
bool ChordNotes(const std::string& symbol, int& root, std::vector<int>& intervals);
