// qvpuzzles: turns the plain-text puzzle sources into the game's puzzle
// documents and their manifest fragment.
//
//   qvpuzzles --src <content/puzzles> --out <generated content> [--allow-short] [--stats]
//   qvpuzzles --self-test
//
// Sources (one puzzle a line, CATEGORY|PHRASE; blank lines and lines starting
// with '#' are skipped):
//   main_round_a.txt, main_round_b.txt  MAIN_ROUND_PUZZLE_1..1995, a first
//   main_bonus.txt                      MAIN_BONUS_PUZZLE_1..665
//   cities/<CITY>.txt                   sections [TOSSUP] (20), [ROUND] (30),
//                                       [BONUS] (10): <CITY>_TOSSUP_PUZZLE_n ...
// Output: <out>/puzzles/<name>.xml, one document per puzzle, and
// <out>/puzzles.xml, the manifest group that lists them. Files are written only
// when their bytes change; documents of puzzles that no longer exist go.
//
// --allow-short accepts sets with fewer puzzles than the game looks up (or a
// missing source file), to try a part of the puzzles; the build never uses it.
#include "file_util.h"
#include "puzzle_layout.h"
#include "xml_reader.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

const int kMainRoundCount = 1995;
const int kMainBonusCount = 665;
const int kTossupCount = 20;
const int kRoundCount = 30;
const int kBonusCount = 10;
const char* const kCities[] = {"LAS_VEGAS", "DALLAS",   "NEW_ORLEANS", "NASHVILLE", "WASHINGTON_DC",
                               "NEW_YORK",  "BOSTON",   "CHICAGO",     "SEATTLE",   "SAN_FRANCISCO"};
const char* const kGroupPath = "puzzles/";

struct Puzzle {
    std::string source;  // file:line
    std::string category;
    std::string phrase;
    BoardRows rows;
};

struct PuzzleSet {
    std::string what;          // for messages: "main round", "BOSTON [ROUND]"
    std::string sources;       // the files it comes from, for messages
    std::string label_prefix;  // label = prefix + "PUZZLE_" + number
    std::string file_prefix;   // document = file_prefix + number + ".xml"
    int expected = 0;
    std::vector<Puzzle> puzzles;

    std::string Label(int n) const { return label_prefix + "PUZZLE_" + std::to_string(n); }
    std::string FileName(int n) const { return file_prefix + std::to_string(n) + ".xml"; }
};

std::vector<std::string> g_errors;
std::vector<std::string> g_warnings;

void Error(const std::string& text) { g_errors.push_back(text); }

bool FileExists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirExists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::vector<std::string> ListDir(const std::string& path) {
    std::vector<std::string> names;
    if (DIR* d = opendir(path.c_str())) {
        while (dirent* e = readdir(d)) {
            std::string name = e->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = (char)(c - 'A' + 'a');
    return s;
}

// Every phrase seen so far, by its duplicate key, with where it was.
std::map<std::string, std::string> g_seen;

// One puzzle line: checks it and adds it to the set.
void AddPuzzleLine(const std::string& where, const std::string& line, PuzzleSet& set) {
    size_t bar = line.find('|');
    if (bar == std::string::npos) {
        Error(where + ": no '|' between the category and the phrase");
        return;
    }
    if (line.find('|', bar + 1) != std::string::npos) {
        Error(where + ": more than one '|'");
        return;
    }
    Puzzle p;
    p.source = where;
    p.category = line.substr(0, bar);
    p.phrase = line.substr(bar + 1);
    if (!IsKnownCategory(p.category)) {
        Error(where + ": unknown category \"" + p.category + "\"");
        return;
    }
    std::string why;
    if (!LayoutPhrase(p.phrase, p.rows, why)) {
        Error(where + ": \"" + p.phrase + "\": " + why);
        return;
    }
    std::string key = DuplicateKey(p.phrase);
    auto it = g_seen.find(key);
    if (it != g_seen.end()) {
        Error(where + ": \"" + p.phrase + "\" is already a puzzle at " + it->second);
        return;
    }
    g_seen[key] = where;
    set.puzzles.push_back(p);
}

// Reads the lines of a source: each non-blank, non-comment line with its
// number goes to take(). false when the file cannot be read.
template <typename Take>
bool ReadSource(const std::string& path, Take take) {
    std::string text;
    if (!ReadFileText(path, text)) return false;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
    int number = 0;
    for (std::string line : SplitLines(text)) {
        ++number;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.pop_back();
        size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos) continue;
        if (line[first] == '#') continue;
        take(path + ":" + std::to_string(number), line);
    }
    return true;
}

void ReadPlainSet(const std::string& src, const std::vector<std::string>& files, PuzzleSet& set, bool allow_short) {
    for (const std::string& name : files) {
        std::string path = JoinPath(src, name);
        if (!set.sources.empty()) set.sources += " and ";
        set.sources += name;
        if (!FileExists(path)) {
            std::string text = path + ": missing (the " + set.what + " puzzles)";
            if (allow_short) g_warnings.push_back(text);
            else Error(text);
            continue;
        }
        bool ok = ReadSource(path, [&](const std::string& where, const std::string& line) {
            if (line[0] == '[') {
                Error(where + ": sections belong only in the city files");
                return;
            }
            AddPuzzleLine(where, line, set);
        });
        if (!ok) Error(path + ": cannot read");
    }
}

void ReadCity(const std::string& src, const std::string& city, PuzzleSet sets[3], bool allow_short) {
    const char* const sections[3] = {"TOSSUP", "ROUND", "BONUS"};
    const int counts[3] = {kTossupCount, kRoundCount, kBonusCount};
    std::string name = std::string("cities/") + city + ".txt";
    std::string path = JoinPath(src, name);
    for (int i = 0; i < 3; ++i) {
        sets[i].what = city + " [" + sections[i] + "]";
        sets[i].sources = name;
        sets[i].label_prefix = city + "_" + sections[i] + "_";
        sets[i].file_prefix = Lower(city + "_" + sections[i]) + "_";
        sets[i].expected = counts[i];
    }
    if (!FileExists(path)) {
        std::string text = path + ": missing (the " + city + " puzzles)";
        if (allow_short) g_warnings.push_back(text);
        else Error(text);
        return;
    }
    int current = -1;
    bool seen[3] = {false, false, false};
    bool ok = ReadSource(path, [&](const std::string& where, const std::string& line) {
        if (line[0] == '[') {
            current = -1;
            for (int i = 0; i < 3; ++i)
                if (line == std::string("[") + sections[i] + "]") current = i;
            if (current < 0) {
                Error(where + ": unknown section " + line + " (use [TOSSUP], [ROUND] or [BONUS])");
                current = -2;
            } else if (seen[current]) {
                Error(where + ": section " + line + " appears twice");
                current = -2;
            } else {
                seen[current] = true;
            }
            return;
        }
        if (current == -1) {
            Error(where + ": puzzle before the first section ([TOSSUP], [ROUND] or [BONUS])");
            current = -2;
            return;
        }
        if (current < 0) return;  // under a bad section header, already reported
        AddPuzzleLine(where, line, sets[current]);
    });
    if (!ok) Error(path + ": cannot read");
}

void CheckCount(const PuzzleSet& set, bool allow_short) {
    int n = (int)set.puzzles.size();
    if (n == set.expected) return;
    std::string text = set.what + ": " + std::to_string(n) + " puzzles in " + set.sources + ", but the game looks up " +
                       std::to_string(set.expected) + " (" + set.Label(1) + " to " + set.Label(set.expected) + ")";
    if (n < set.expected && allow_short) g_warnings.push_back(text);
    else Error(text);
}

// Source files that no set reads are mistakes (a misspelt city, say): report them.
void CheckStrayFiles(const std::string& src) {
    std::set<std::string> known = {"main_round_a.txt", "main_round_b.txt", "main_bonus.txt"};
    for (const std::string& name : ListDir(src))
        if (EndsWith(name, ".txt") && !known.count(name))
            Error(JoinPath(src, name) + ": not a puzzle source (expected main_round_a.txt, main_round_b.txt, "
                                        "main_bonus.txt or cities/<CITY>.txt)");
    std::set<std::string> cities;
    for (const char* c : kCities) cities.insert(std::string(c) + ".txt");
    std::string dir = JoinPath(src, "cities");
    for (const std::string& name : ListDir(dir))
        if (EndsWith(name, ".txt") && !cities.count(name))
            Error(JoinPath(dir, name) + ": not one of the ten cities (LAS_VEGAS, DALLAS, NEW_ORLEANS, NASHVILLE, "
                                        "WASHINGTON_DC, NEW_YORK, BOSTON, CHICAGO, SEATTLE, SAN_FRANCISCO)");
}

std::string PuzzleDocument(const Puzzle& p) {
    std::string s = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<PUZZLE>\n";
    s += "  <HINT>" + XmlEscapeKeepApostrophes(p.category) + "</HINT>\n";
    s += "  <MESSAGE>" + XmlEscapeKeepApostrophes(HostLineFor(p.category)) + "</MESSAGE>\n";
    for (const std::string& row : p.rows) s += "  <LINE aValue=\"" + XmlEscapeKeepApostrophes(row) + "\"/>\n";
    s += "</PUZZLE>\n";
    return s;
}

void PrintStats(const std::vector<PuzzleSet>& sets) {
    for (const PuzzleSet& set : sets) {
        if (set.puzzles.empty()) continue;
        std::map<std::string, int> categories;
        int rows_used[kBoardRows + 1] = {0};
        for (const Puzzle& p : set.puzzles) {
            ++categories[p.category];
            int used = 0;
            for (const std::string& r : p.rows)
                if (r.find_first_not_of(kEmptyCell) != std::string::npos) ++used;
            ++rows_used[used];
        }
        std::printf("%s: %d puzzles; rows 1/2/3/4: %d/%d/%d/%d\n", set.what.c_str(), (int)set.puzzles.size(),
                    rows_used[1], rows_used[2], rows_used[3], rows_used[4]);
        std::vector<std::pair<int, std::string>> order;
        for (const auto& c : categories) order.push_back({-c.second, c.first});
        std::sort(order.begin(), order.end());
        for (const auto& c : order) std::printf("    %4d  %s\n", -c.first, c.second.c_str());
    }
}

int Usage() {
    std::fprintf(stderr,
                 "usage: qvpuzzles --src <puzzle sources> --out <generated content folder> [--allow-short] [--stats]\n"
                 "       qvpuzzles --self-test\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string src, out;
    bool allow_short = false, stats = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--self-test") return RunLayoutSelfTest() == 0 ? 0 : 1;
        if (a == "--src" && i + 1 < argc) src = argv[++i];
        else if (a == "--out" && i + 1 < argc) out = argv[++i];
        else if (a == "--allow-short") allow_short = true;
        else if (a == "--stats") stats = true;
        else return Usage();
    }
    if (src.empty() || out.empty()) return Usage();
    if (!DirExists(src)) {
        std::fprintf(stderr, "qvpuzzles: %s: no such folder\n", src.c_str());
        return 1;
    }

    std::vector<PuzzleSet> sets;
    {
        PuzzleSet main_round;
        main_round.what = "main round";
        main_round.label_prefix = "MAIN_ROUND_";
        main_round.file_prefix = "main_round_";
        main_round.expected = kMainRoundCount;
        ReadPlainSet(src, {"main_round_a.txt", "main_round_b.txt"}, main_round, allow_short);
        sets.push_back(main_round);
        PuzzleSet main_bonus;
        main_bonus.what = "main bonus";
        main_bonus.label_prefix = "MAIN_BONUS_";
        main_bonus.file_prefix = "main_bonus_";
        main_bonus.expected = kMainBonusCount;
        ReadPlainSet(src, {"main_bonus.txt"}, main_bonus, allow_short);
        sets.push_back(main_bonus);
        for (const char* city : kCities) {
            PuzzleSet city_sets[3];
            ReadCity(src, city, city_sets, allow_short);
            for (PuzzleSet& s : city_sets) sets.push_back(s);
        }
    }
    CheckStrayFiles(src);
    for (const PuzzleSet& set : sets) CheckCount(set, allow_short);

    for (const std::string& w : g_warnings) std::fprintf(stderr, "qvpuzzles: warning: %s\n", w.c_str());
    if (!g_errors.empty()) {
        const size_t kShown = 200;
        for (size_t i = 0; i < g_errors.size() && i < kShown; ++i)
            std::fprintf(stderr, "qvpuzzles: error: %s\n", g_errors[i].c_str());
        if (g_errors.size() > kShown)
            std::fprintf(stderr, "qvpuzzles: ... and %d more errors\n", (int)(g_errors.size() - kShown));
        std::fprintf(stderr, "qvpuzzles: %d errors; nothing written\n", (int)g_errors.size());
        return 1;
    }
    if (stats) PrintStats(sets);

    std::string dir = JoinPath(out, kGroupPath);
    if (!MakeDirs(dir.substr(0, dir.size() - 1))) {
        std::fprintf(stderr, "qvpuzzles: cannot make %s\n", dir.c_str());
        return 1;
    }
    std::string manifest =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!-- Made by qvpuzzles from the puzzle sources: edit those, not this. -->\n"
        "<manifest>\n  <group path=\"" + std::string(kGroupPath) + "\">\n";
    std::set<std::string> made;
    int total = 0, written = 0, removed = 0;
    for (const PuzzleSet& set : sets) {
        for (size_t i = 0; i < set.puzzles.size(); ++i) {
            int n = (int)i + 1;
            std::string name = set.FileName(n);
            made.insert(name);
            manifest += "    <file label=\"" + set.Label(n) + "\" path=\"" + name + "\"/>\n";
            bool changed = false;
            if (!WriteFileIfChanged(dir + name, PuzzleDocument(set.puzzles[i]), &changed)) {
                std::fprintf(stderr, "qvpuzzles: cannot write %s%s\n", dir.c_str(), name.c_str());
                return 1;
            }
            if (changed) ++written;
            ++total;
        }
    }
    manifest += "  </group>\n</manifest>\n";
    // Documents of puzzles that are gone (a shorter set) would stay in the
    // archive's source folder; take them away.
    for (const std::string& name : ListDir(dir.substr(0, dir.size() - 1))) {
        if ((EndsWith(name, ".xml") || EndsWith(name, ".xml.part")) && !made.count(name)) {
            if (std::remove((dir + name).c_str()) == 0) ++removed;
        }
    }
    std::string manifest_path = JoinPath(out, "puzzles.xml");
    bool manifest_written = false;
    if (!WriteFileIfChanged(manifest_path, manifest, &manifest_written)) {
        std::fprintf(stderr, "qvpuzzles: cannot write %s\n", manifest_path.c_str());
        return 1;
    }
    std::printf("qvpuzzles: %d puzzles (%d documents written, %d unchanged, %d removed)%s\n", total, written,
                total - written, removed, manifest_written ? "; manifest written" : "");
    return 0;
}
