// qvai: writes the computer contestants file (Quorvane.ai) from its text
// source, and checks the "GAME" document against it.
//
//   qvai <contestants.txt> <Quorvane.ai> [--check-game <game.xml>]
//
// The file: the number of contestants (int32), then one record each:
// gender, name length, name bytes, character, six (style, colour) pairs,
// kind 1, 27 statistics (all 0), level and seven chances (float); every
// number little-endian.
#include "file_util.h"
#include "xml_reader.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

const int kPartCount = 6;
const char* const kPartKeys[kPartCount] = {"hair", "head", "hands", "torso", "face_hair", "glasses"};
const int kPartColours[kPartCount] = {4, 4, 4, 10, 4, 1};
const int kMaxStyle = 19;
const int kChanceCount = 7;
const int kStatCount = 27;
const int kMinContestants = 10;
const int kMinPerLevel = 2;
const size_t kMaxName = 40;
const char* const kLevelNames[3] = {"easy", "medium", "hard"};
// Chance 5 is the chance to spin again on a bad wedge: 100 would spin for ever.
const int kSpinAgainChance = 5;

struct Contestant {
    std::string name;
    int line = 0;
    int level = -1;
    int gender = -1;
    int character = 0;
    int style[kPartCount];
    int colour[kPartCount];
    bool partSet[kPartCount] = {};
};

struct Source {
    bool levelSet[3] = {};
    float chances[3][kChanceCount] = {};
    std::vector<Contestant> contestants;
};

std::string g_file;

bool Fail(int line, const std::string& message) {
    if (line > 0)
        std::fprintf(stderr, "qvai: %s:%d: %s\n", g_file.c_str(), line, message.c_str());
    else
        std::fprintf(stderr, "qvai: %s: %s\n", g_file.c_str(), message.c_str());
    return false;
}

std::string Trim(const std::string& s) {
    size_t a = s.find_first_not_of(" \t\r");
    if (a == std::string::npos) return std::string();
    size_t b = s.find_last_not_of(" \t\r");
    return s.substr(a, b - a + 1);
}

std::vector<std::string> Words(const std::string& s) {
    std::vector<std::string> out;
    size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
        size_t start = i;
        while (i < s.size() && s[i] != ' ' && s[i] != '\t') ++i;
        if (i > start) out.push_back(s.substr(start, i - start));
    }
    return out;
}

bool ParseInt(const std::string& s, int& out) {
    if (s.empty()) return false;
    char* end = nullptr;
    long v = std::strtol(s.c_str(), &end, 10);
    if (*end || v < -1000000 || v > 1000000) return false;
    out = (int)v;
    return true;
}

int LevelNumber(const std::string& s) {
    for (int i = 0; i < 3; ++i)
        if (s == kLevelNames[i]) return i;
    return -1;
}

bool ReadPart(Contestant& c, int part, const std::string& value, int line) {
    if (c.partSet[part]) return Fail(line, std::string(kPartKeys[part]) + " given twice");
    c.partSet[part] = true;
    if (value == "none") {
        if (part != 4 && part != 5) return Fail(line, std::string("every contestant has a ") + kPartKeys[part]);
        c.style[part] = c.colour[part] = -1;
        return true;
    }
    std::vector<std::string> w = Words(value);
    if (w.size() != 2 || !ParseInt(w[0], c.style[part]) || !ParseInt(w[1], c.colour[part]))
        return Fail(line, std::string(kPartKeys[part]) + ": give \"style colour\" or none");
    if (c.style[part] < 0 || c.style[part] > kMaxStyle)
        return Fail(line, std::string(kPartKeys[part]) + ": style must be 0 to " + std::to_string(kMaxStyle));
    if (c.colour[part] < 0 || c.colour[part] >= kPartColours[part])
        return Fail(line, std::string(kPartKeys[part]) + ": colour must be 0 to " +
                              std::to_string(kPartColours[part] - 1));
    return true;
}

bool ReadSource(const std::string& text, Source& src) {
    enum { NONE, LEVEL, CONTESTANT } section = NONE;
    int level = -1;
    int line = 0;
    for (std::string raw : SplitLines(text)) {
        ++line;
        size_t hash = raw.find('#');
        if (hash != std::string::npos) raw.erase(hash);
        std::string s = Trim(raw);
        if (s.empty()) continue;
        if (s[0] == '[') {
            if (s.back() != ']') return Fail(line, "section header without ']'");
            std::vector<std::string> w = Words(s.substr(1, s.size() - 2));
            if (w.size() == 2 && w[0] == "level") {
                level = LevelNumber(w[1]);
                if (level < 0) return Fail(line, "levels are easy, medium and hard");
                if (src.levelSet[level]) return Fail(line, "level " + w[1] + " given twice");
                section = LEVEL;
            } else if (w.size() == 1 && w[0] == "contestant") {
                src.contestants.emplace_back();
                src.contestants.back().line = line;
                section = CONTESTANT;
            } else {
                return Fail(line, "unknown section " + s);
            }
            continue;
        }
        size_t eq = s.find('=');
        if (eq == std::string::npos) return Fail(line, "expected key = value");
        std::string key = Trim(s.substr(0, eq));
        std::string value = Trim(s.substr(eq + 1));
        if (section == LEVEL) {
            if (key != "chances") return Fail(line, "a level has only chances");
            std::vector<std::string> w = Words(value);
            if (w.size() != kChanceCount) return Fail(line, "a level has seven chances");
            for (int i = 0; i < kChanceCount; ++i) {
                int v;
                if (!ParseInt(w[i], v) || v < 0 || v > 100) return Fail(line, "chances are percentages 0 to 100");
                if (i == kSpinAgainChance && v >= 100) return Fail(line, "chance 5 must be below 100");
                src.chances[level][i] = (float)v;
            }
            src.levelSet[level] = true;
        } else if (section == CONTESTANT) {
            Contestant& c = src.contestants.back();
            if (key == "name") {
                if (value.empty() || value.size() > kMaxName) return Fail(line, "a name has 1 to 40 characters");
                for (unsigned char ch : value)
                    if (ch < 32 || ch > 126) return Fail(line, "a name is plain printable text");
                c.name = value;
            } else if (key == "level") {
                c.level = LevelNumber(value);
                if (c.level < 0) return Fail(line, "levels are easy, medium and hard");
            } else if (key == "gender") {
                if (value == "male") c.gender = 0;
                else if (value == "female") c.gender = 1;
                else return Fail(line, "gender is male or female");
            } else if (key == "character") {
                if (!ParseInt(value, c.character) || c.character < 0) return Fail(line, "character is a number from 0");
            } else {
                int part = -1;
                for (int i = 0; i < kPartCount; ++i)
                    if (key == kPartKeys[i]) part = i;
                if (part < 0) return Fail(line, "unknown key " + key);
                if (!ReadPart(c, part, value, line)) return false;
            }
        } else {
            return Fail(line, "a key outside any section");
        }
    }
    return true;
}

bool CheckSource(const Source& src) {
    for (int l = 0; l < 3; ++l)
        if (!src.levelSet[l]) return Fail(0, std::string("no chances for level ") + kLevelNames[l]);
    if ((int)src.contestants.size() < kMinContestants)
        return Fail(0, "at least " + std::to_string(kMinContestants) + " contestants are needed");
    if (src.contestants.size() > 1000) return Fail(0, "too many contestants");
    int perLevel[3] = {};
    std::set<std::string> names;
    for (const Contestant& c : src.contestants) {
        if (c.name.empty()) return Fail(c.line, "contestant without a name");
        if (!names.insert(c.name).second) return Fail(c.line, "name " + c.name + " is used twice");
        if (c.level < 0) return Fail(c.line, c.name + " has no level");
        if (c.gender < 0) return Fail(c.line, c.name + " has no gender");
        for (int p = 0; p < kPartCount; ++p)
            if (!c.partSet[p]) return Fail(c.line, c.name + " has no " + kPartKeys[p] + " line");
        if (c.gender == 1 && c.style[4] != -1) return Fail(c.line, c.name + ": female contestants have no face hair");
        ++perLevel[c.level];
    }
    for (int l = 0; l < 3; ++l)
        if (perLevel[l] < kMinPerLevel)
            return Fail(0, std::string("fewer than two contestants of level ") + kLevelNames[l]);
    return true;
}

void PutInt(std::vector<unsigned char>& out, int v) {
    unsigned u = (unsigned)v;
    for (int i = 0; i < 4; ++i) out.push_back((unsigned char)(u >> (8 * i)));
}

void PutFloat(std::vector<unsigned char>& out, float f) {
    int bits;
    std::memcpy(&bits, &f, 4);
    PutInt(out, bits);
}

std::vector<unsigned char> Encode(const Source& src) {
    std::vector<unsigned char> out;
    PutInt(out, (int)src.contestants.size());
    for (const Contestant& c : src.contestants) {
        PutInt(out, c.gender);
        PutInt(out, (int)c.name.size());
        out.insert(out.end(), c.name.begin(), c.name.end());
        PutInt(out, c.character);
        for (int p = 0; p < kPartCount; ++p) {
            PutInt(out, c.style[p]);
            PutInt(out, c.colour[p]);
        }
        PutInt(out, 1);
        for (int i = 0; i < kStatCount; ++i) PutInt(out, 0);
        PutInt(out, c.level);
        for (int i = 0; i < kChanceCount; ++i) PutFloat(out, src.chances[c.level][i]);
    }
    return out;
}

// ---- The "GAME" document ----

bool CheckFail(const std::string& message) {
    std::fprintf(stderr, "qvai: %s: %s\n", g_file.c_str(), message.c_str());
    return false;
}

bool AttrInt(const XmlElement& e, const char* name, int& out) {
    const std::string* v = e.Attribute(name);
    return v && ParseInt(*v, out);
}

bool CheckTours(const XmlElement& roadtrip, const char* name, size_t length, size_t count) {
    std::set<std::vector<int>> seen;
    size_t found = 0;
    for (const XmlElement& t : roadtrip.children) {
        if (t.name != name) continue;
        ++found;
        const std::string* cities = t.Attribute("cities");
        std::string where = std::string(name) + " at line " + std::to_string(t.line);
        if (!cities) return CheckFail(where + " has no cities");
        std::vector<int> list;
        std::set<int> distinct;
        size_t start = 0;
        for (;;) {
            size_t comma = cities->find(',', start);
            int v;
            if (!ParseInt(Trim(cities->substr(start, comma == std::string::npos ? std::string::npos : comma - start)), v) ||
                v < 0 || v > 9)
                return CheckFail(where + ": cities are numbers 0 to 9");
            list.push_back(v);
            distinct.insert(v);
            if (comma == std::string::npos) break;
            start = comma + 1;
        }
        if (list.size() != length) return CheckFail(where + " needs " + std::to_string(length) + " cities");
        if (distinct.size() != length) return CheckFail(where + " visits a city twice");
        if (!seen.insert(list).second) return CheckFail(where + " repeats another tour");
    }
    if (found != count) return CheckFail(std::string("expected ") + std::to_string(count) + " " + name + " elements");
    return true;
}

bool CheckGame(const std::string& path, int contestants) {
    g_file = path;
    std::string text;
    if (!ReadFileText(path, text)) return CheckFail("cannot read");
    XmlElement root;
    std::string error;
    if (!ParseXml(text, root, error)) return CheckFail(error);
    static const char* const kCities[10] = {"LAS_VEGAS", "DALLAS",   "NEW_ORLEANS", "NASHVILLE", "WASHINGTON_DC",
                                            "NEW_YORK",  "BOSTON",   "CHICAGO",     "SEATTLE",   "SAN_FRANCISCO"};
    const XmlElement* roadtrip = nullptr;
    const XmlElement* ai = nullptr;
    for (const XmlElement& e : root.children) {
        if (e.name == "roadtrip") roadtrip = &e;
        if (e.name == "ai") ai = &e;
    }
    if (!ai || !ai->Attribute("easy") || !ai->Attribute("normal") || !ai->Attribute("hard"))
        return CheckFail("<ai> needs easy, normal and hard");
    if (!roadtrip) return CheckFail("no <roadtrip>");
    int city = 0;
    for (const XmlElement& c : roadtrip->children) {
        if (c.name != "city") continue;
        const std::string* id = c.Attribute("id");
        if (city >= 10 || !id || *id != kCities[city])
            return CheckFail("city at line " + std::to_string(c.line) + " is out of order (expected " +
                             (city < 10 ? kCities[city] : "no more") + ")");
        const std::string* pos = c.Attribute("info_pos");
        float x, y, z;
        char extra;
        if (!pos || std::sscanf(pos->c_str(), "%f,%f,%f%c", &x, &y, &z, &extra) != 3)
            return CheckFail("city " + *id + ": info_pos needs x,y,z");
        ++city;
    }
    if (city != 10) return CheckFail("expected 10 cities");
    if (!CheckTours(*roadtrip, "tour3", 3, 15) || !CheckTours(*roadtrip, "tour5", 5, 10) ||
        !CheckTours(*roadtrip, "tour7", 7, 10))
        return false;
    static const char* const kTables[4] = {"hiquickplay", "hiroadtrip", "higroupplay", "hialoneplay"};
    for (const char* table : kTables) {
        const XmlElement* t = nullptr;
        for (const XmlElement& e : root.children)
            if (e.name == table) t = &e;
        if (!t) return CheckFail(std::string("no <") + table + ">");
        std::set<int> scores;
        int rows = 0;
        int last = 0;
        for (const XmlElement& h : t->children) {
            if (h.name != "highscore") continue;
            std::string where = std::string(table) + " line " + std::to_string(h.line);
            int id, score, month, day, year;
            if (!AttrInt(h, "ai_id", id) || !AttrInt(h, "score", score) || !AttrInt(h, "month", month) ||
                !AttrInt(h, "day", day) || !AttrInt(h, "year", year))
                return CheckFail(where + ": needs ai_id, score, month, day and year");
            if (id < 0 || id >= contestants) return CheckFail(where + ": no computer contestant " + std::to_string(id));
            if (score <= 0) return CheckFail(where + ": scores are positive");
            if (!scores.insert(score).second) return CheckFail(where + ": score used twice in the table");
            if (rows > 0 && score > last) return CheckFail(where + ": list the scores from the highest");
            if (month < 1 || month > 12 || day < 1 || day > 31 || year < 1990 || year > 2100)
                return CheckFail(where + ": not a date");
            last = score;
            ++rows;
        }
        if (rows != 10) return CheckFail(std::string(table) + " needs 10 high scores");
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && !(argc == 5 && std::strcmp(argv[3], "--check-game") == 0)) {
        std::fprintf(stderr, "usage: qvai <contestants.txt> <out.ai> [--check-game <game.xml>]\n");
        return 2;
    }
    g_file = argv[1];
    std::string text;
    if (!ReadFileText(argv[1], text)) {
        std::fprintf(stderr, "qvai: cannot read %s\n", argv[1]);
        return 1;
    }
    Source src;
    if (!ReadSource(text, src) || !CheckSource(src)) return 1;
    if (argc == 5 && !CheckGame(argv[4], (int)src.contestants.size())) return 1;
    std::vector<unsigned char> out = Encode(src);
    if (!WriteFileBytes(argv[2], out.data(), out.size())) {
        std::fprintf(stderr, "qvai: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
