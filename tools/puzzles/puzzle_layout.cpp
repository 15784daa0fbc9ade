#include "puzzle_layout.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

const char* const kCategories[][2] = {
    // category, the host's line
    {"PHRASE", "Here's a phrase you have surely heard before."},
    {"THING", "It's a thing. Can you name it?"},
    {"THINGS", "A few things go together here."},
    {"PLACE", "It's a place. Where could it be?"},
    {"PERSON", "Somebody you may well know."},
    {"PEOPLE", "A whole group of people."},
    {"EVENT", "Something happens here. What is it?"},
    {"TITLE", "A title to read, watch or hear."},
    {"FOOD & DRINK", "Hungry? Something to eat or drink."},
    {"OCCUPATION", "Somebody's line of work."},
    {"LANDMARK", "A landmark worth the trip."},
    {"FUN & GAMES", "Time to have some fun."},
    {"AROUND THE HOUSE", "You'll find it around the house."},
    {"ON THE MAP", "Look for it on the map."},
    {"WHAT ARE YOU DOING?", "So, what are you doing?"},
    {"BEFORE & AFTER", "Two phrases share a word in the middle."},
    {"SAME NAME", "One name, two different things."},
    {"RHYME TIME", "Listen for the rhyme."},
    {"LIVING THING", "It's alive! What is it?"},
    {"FICTIONAL CHARACTER", "A character straight out of a story."},
    {"SONG TITLE", "Name that tune."},
    {"BOOK TITLE", "A book you could find on the shelf."},
    {"MOVIE TITLE", "Lights, camera, action!"},
    {"HUSBAND & WIFE", "A famous pair of sweethearts."},
    {"CLASSIC TV", "Straight from the television of years past."},
};

struct Candidate {
    std::vector<std::string> lines;
    int first_row = 0;
    long sum_squares = 0;
    int outer_length = 0;
};

// true when a is the better layout of the same number of rows.
bool Better(const Candidate& a, const Candidate& b) {
    // Balanced rows first, then as little as possible on the outer rows,
    // then longer lines before shorter ones, then the higher placement.
    if (a.sum_squares != b.sum_squares) return a.sum_squares < b.sum_squares;
    if (a.outer_length != b.outer_length) return a.outer_length < b.outer_length;
    for (size_t i = 0; i < a.lines.size() && i < b.lines.size(); ++i)
        if (a.lines[i].size() != b.lines[i].size()) return a.lines[i].size() > b.lines[i].size();
    return a.first_row < b.first_row;
}

int RowCapacity(int row, bool spare_corners) {
    return (spare_corners && (row == 0 || row == kBoardRows - 1)) ? kOuterRowCols : kBoardCols;
}

// Tries every way to cut the words into `count` lines, each placed at first_row + i.
void Search(const std::vector<std::string>& words, size_t next, int count, int first_row,
            bool spare_corners, std::vector<std::string>& lines, bool& found, Candidate& best) {
    int row = first_row + (int)lines.size();
    if ((int)lines.size() == count) {
        if (next != words.size()) return;
        Candidate c;
        c.lines = lines;
        c.first_row = first_row;
        for (size_t i = 0; i < lines.size(); ++i) {
            long n = (long)lines[i].size();
            c.sum_squares += n * n;
            int r = first_row + (int)i;
            if (r == 0 || r == kBoardRows - 1) c.outer_length += (int)n;
        }
        if (!found || Better(c, best)) {
            best = c;
            found = true;
        }
        return;
    }
    int lines_left = count - (int)lines.size();
    if (words.size() - next < (size_t)lines_left) return;
    std::string line;
    // This line takes words next..end-1; the lines after it need a word each.
    for (size_t end = next + 1; end + (lines_left - 1) <= words.size(); ++end) {
        if (!line.empty()) line += ' ';
        line += words[end - 1];
        if ((int)line.size() > RowCapacity(row, spare_corners)) break;
        lines.push_back(line);
        Search(words, end, count, first_row, spare_corners, lines, found, best);
        lines.pop_back();
    }
}

std::vector<std::string> SplitWords(const std::string& phrase) {
    std::vector<std::string> words;
    std::string cur;
    for (char c : phrase) {
        if (c == ' ') {
            if (!cur.empty()) words.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) words.push_back(cur);
    return words;
}

}  // namespace

bool IsPhraseChar(char c) {
    return (c >= 'A' && c <= 'Z') || std::strchr(" '-&.,?!", c) != nullptr;
}

bool IsKnownCategory(const std::string& category) {
    for (const auto& entry : kCategories)
        if (category == entry[0]) return true;
    return false;
}

std::string HostLineFor(const std::string& category) {
    for (const auto& entry : kCategories)
        if (category == entry[0]) return entry[1];
    return std::string();
}

std::string DuplicateKey(const std::string& phrase) {
    std::string key;
    for (char c : phrase)
        if (c >= 'A' && c <= 'Z') key += c;
    return key;
}

std::string CheckPhraseText(const std::string& phrase) {
    if (phrase.empty()) return "empty phrase";
    bool has_letter = false;
    for (size_t i = 0; i < phrase.size(); ++i) {
        char c = phrase[i];
        if (c >= 'a' && c <= 'z') return std::string("lower-case letter '") + c + "' (write phrases in capitals)";
        if (!IsPhraseChar(c)) {
            char buf[64];
            if ((unsigned char)c < 32 || (unsigned char)c > 126)
                std::snprintf(buf, sizeof(buf), "character 0x%02X is not allowed", (unsigned char)c);
            else
                std::snprintf(buf, sizeof(buf), "character '%c' is not allowed", c);
            return buf;
        }
        if (c >= 'A' && c <= 'Z') has_letter = true;
        if (c == ' ' && i + 1 < phrase.size() && phrase[i + 1] == ' ') return "two spaces in a row";
    }
    if (phrase.front() == ' ' || phrase.back() == ' ') return "space at the start or end of the phrase";
    if (!has_letter) return "no letter to guess";
    for (const std::string& w : SplitWords(phrase))
        if ((int)w.size() > kBoardCols)
            return "word \"" + w + "\" has " + std::to_string(w.size()) + " characters, more than the " +
                   std::to_string(kBoardCols) + " of a row";
    return std::string();
}

bool LayoutPhrase(const std::string& phrase, BoardRows& rows, std::string& why) {
    std::string problem = CheckPhraseText(phrase);
    if (!problem.empty()) {
        why = problem;
        return false;
    }
    std::vector<std::string> words = SplitWords(phrase);
    bool found = false;
    Candidate best;
    // First with the corners of the outer rows left empty, then with every cell.
    for (int pass = 0; pass < 2 && !found; ++pass) {
        bool spare_corners = pass == 0;
        for (int count = 1; count <= kBoardRows && !found; ++count) {
            // One line on the second row, two on the middle rows, three on the
            // top or bottom three, four on all.
            std::vector<int> starts;
            if (count == 1 || count == 2) starts = {1};
            else if (count == 3) starts = {0, 1};
            else starts = {0};
            for (int first_row : starts) {
                std::vector<std::string> lines;
                Search(words, 0, count, first_row, spare_corners, lines, found, best);
            }
        }
    }
    if (!found) {
        why = "does not fit on the board (" + std::to_string(phrase.size()) + " characters; at most " +
              std::to_string(kBoardRows) + " rows of " + std::to_string(kBoardCols) + ")";
        return false;
    }
    for (int r = 0; r < kBoardRows; ++r) rows[r] = std::string(kBoardCols, kEmptyCell);
    for (size_t i = 0; i < best.lines.size(); ++i) {
        const std::string& line = best.lines[i];
        size_t left = (kBoardCols - line.size()) / 2;
        std::string& row = rows[best.first_row + i];
        for (size_t k = 0; k < line.size(); ++k)
            row[left + k] = line[k] == ' ' ? kEmptyCell : line[k];
    }
    return true;
}

// ---------------------------------------------------------------------------

namespace {

int g_failures = 0;

void Expect(bool ok, const std::string& what) {
    if (!ok) {
        std::fprintf(stderr, "self-test: FAILED: %s\n", what.c_str());
        ++g_failures;
    }
}

std::string Show(const BoardRows& rows) {
    std::string s;
    for (const std::string& r : rows) s += "[" + r + "]";
    return s;
}

// The general rules every layout must keep, whatever the phrase.
void CheckRules(const std::string& phrase) {
    BoardRows rows;
    std::string why;
    if (!LayoutPhrase(phrase, rows, why)) {
        Expect(false, "\"" + phrase + "\" should fit: " + why);
        return;
    }
    std::string joined;
    int used = 0, first = -1, last = -1;
    for (int r = 0; r < kBoardRows; ++r) {
        Expect(rows[r].size() == (size_t)kBoardCols, "\"" + phrase + "\": every row has 14 cells " + Show(rows));
        // Text of the row: its cells with the empty ones as spaces, trimmed.
        std::string text;
        for (char c : rows[r]) text += c == kEmptyCell ? ' ' : c;
        size_t a = text.find_first_not_of(' ');
        if (a == std::string::npos) continue;
        size_t b = text.find_last_not_of(' ');
        ++used;
        if (first < 0) first = r;
        last = r;
        // Centred: the empty cells on either side differ by at most one.
        int left = (int)a, right = kBoardCols - 1 - (int)b;
        Expect(left == right || left + 1 == right, "\"" + phrase + "\": row centred " + Show(rows));
        if (!joined.empty()) joined += ' ';
        joined += text.substr(a, b - a + 1);
    }
    // The rows read back as the phrase: no word split, none lost, in order.
    Expect(joined == phrase, "\"" + phrase + "\": rows read back as the phrase " + Show(rows));
    Expect(last - first + 1 == used, "\"" + phrase + "\": used rows are together " + Show(rows));
}

void ExpectLayout(const std::string& phrase, const BoardRows& want) {
    BoardRows rows;
    std::string why;
    bool ok = LayoutPhrase(phrase, rows, why);
    Expect(ok && rows == want, "\"" + phrase + "\" lays out as " + Show(want) + ", got " +
                                   (ok ? Show(rows) : why));
}

void ExpectReject(const std::string& phrase, const std::string& reason_part) {
    BoardRows rows;
    std::string why;
    bool ok = LayoutPhrase(phrase, rows, why);
    Expect(!ok && why.find(reason_part) != std::string::npos,
           "\"" + phrase + "\" is rejected with \"" + reason_part + "\", got " + (ok ? Show(rows) : why));
}

}  // namespace

int RunLayoutSelfTest() {
    g_failures = 0;
    const std::string E(kBoardCols, kEmptyCell);
    // One row: the second row, centred.
    ExpectLayout("HELLO, WORLD", {E, "%HELLO,%WORLD%", E, E});
    ExpectLayout("CAT", {E, "%%%%%CAT%%%%%%", E, E});
    // A word of 14 fills a row.
    ExpectLayout("ABCDEFGHIJKLMN", {E, "ABCDEFGHIJKLMN", E, E});
    // Two rows: the middle two.
    ExpectLayout("STATUE OF LIBERTY", {E, "%%STATUE%OF%%%", "%%%LIBERTY%%%%", E});
    // Balanced rather than greedy.
    ExpectLayout("A PENNY SAVED IS A PENNY EARNED",
                 {"%%%A%PENNY%%%%", "%%SAVED%IS%A%%", "%PENNY%EARNED%", E});
    // Four rows, the outer ones within the twelve middle cells.
    CheckRules("THE QUICK BROWN FOX JUMPS OVER THE LAZY DOG");
    {
        BoardRows rows;
        std::string why;
        bool ok = LayoutPhrase("THE QUICK BROWN FOX JUMPS OVER THE LAZY DOG", rows, why);
        Expect(ok && rows[0][0] == kEmptyCell && rows[0][13] == kEmptyCell && rows[3][0] == kEmptyCell &&
                   rows[3][13] == kEmptyCell,
               "outer rows keep their corners empty when they can " + Show(rows));
    }
    // The corners are used when nothing else fits.
    CheckRules("ABCDEFGHIJKLM ABCDEFGHIJKLM ABCDEFGHIJKLM ABCDEFGHIJKLM");
    // Punctuation takes a cell and stays with its word.
    CheckRules("WHAT'S UP, DOC?");
    CheckRules("ROCK & ROLL");
    CheckRules("FORGET-ME-NOT");
    CheckRules("MERRY-GO-ROUND AT THE COUNTY FAIR");
    CheckRules("I");
    // Rejections.
    ExpectReject("ABCDEFGHIJKLMNO", "more than the 14");
    ExpectReject("JACK-IN-THE-BOX", "more than the 14");  // hyphens do not break a word
    ExpectReject("ABCDEFGHIJKLM ABCDEFGHIJKLM ABCDEFGHIJKLM ABCDEFGHIJKLM A", "does not fit");
    ExpectReject("HELLO  WORLD", "two spaces");
    ExpectReject(" HELLO", "space at the start");
    ExpectReject("Hello", "lower-case");
    ExpectReject("50 CENTS", "character '5'");
    ExpectReject("A;B", "character ';'");
    ExpectReject("A%B", "character '%'");
    ExpectReject("?!", "no letter");
    ExpectReject("", "empty");
    // Categories, host lines and duplicates.
    Expect(IsKnownCategory("FOOD & DRINK") && IsKnownCategory("WHAT ARE YOU DOING?"), "known categories");
    Expect(!IsKnownCategory("Phrase") && !IsKnownCategory("SLOGAN"), "unknown categories");
    for (const auto& entry : kCategories)
        Expect(!HostLineFor(entry[0]).empty(), std::string("host line for ") + entry[0]);
    Expect(DuplicateKey("WHAT'S UP, DOC?") == DuplicateKey("WHATS UP DOC"), "duplicate key ignores punctuation");
    Expect(DuplicateKey("SUN-DAY") == DuplicateKey("SUNDAY"), "duplicate key ignores hyphens and spaces");
    if (g_failures == 0) std::printf("qvpuzzles: self-test passed\n");
    return g_failures;
}
