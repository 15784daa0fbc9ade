#include "high_scores.h"

#include <tinyxml.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "record_io.h"

void GetToday(GameDate& date) {
    std::time_t now = std::time(nullptr);
    std::tm* local = std::localtime(&now);
    if (!local) {
        date = {1, 1, 2000};
        return;
    }
    date.day = local->tm_mday;
    date.month = local->tm_mon + 1;
    date.year = local->tm_year + 1900;
}

static void FormatDatePart(char* out, size_t size, int value) {
    std::snprintf(out, size, value < 10 ? "0%d" : "%d", value);
}

const char* FormatDate(const GameDate& date) {
    static char text[48];
    char month[16], day[16], year[16];
    FormatDatePart(month, sizeof(month), date.month);
    FormatDatePart(day, sizeof(day), date.day);
    FormatDatePart(year, sizeof(year), date.year);
    std::snprintf(text, sizeof(text), "%s/%s/%s", month, day, year);
    return text;
}

// Where each game mode's table is stored.
static const int kTableOfMode[kHighScoreTables] = {0, 3, 1, 2};

void HighScoreTables::Clear() {
    for (auto& table : tables)
        for (HighScoreEntry& e : table) e = {0, {0, 0, 0}, -1, KIND_NONE};
}

HighScoreEntry* HighScoreTables::GetTable(int mode) {
    if (mode < 0 || mode >= kHighScoreTables) return nullptr;
    return tables[kTableOfMode[mode]];
}

const HighScoreEntry* HighScoreTables::GetTable(int mode) const {
    if (mode < 0 || mode >= kHighScoreTables) return nullptr;
    return tables[kTableOfMode[mode]];
}

void HighScoreTables::RemoveEntry(int index, int mode) {
    HighScoreEntry* table = GetTable(mode);
    if (!table || index < 0 || index >= kHighScoreRows) return;
    for (int i = index; i < kHighScoreRows - 1; ++i) table[i] = table[i + 1];
    HighScoreEntry& last = table[kHighScoreRows - 1];
    last.score = 0;
    last.profileIndex = -1;
    last.kind = KIND_NONE;
}

static void ReadIntAttribute(const TiXmlElement* e, const char* name, int& field) {
    if (const char* v = e->Attribute(name)) field = std::atoi(v);
}

void HighScoreTables::LoadDefaults(const TiXmlElement* root) {
    if (!root) return;
    static const char* const kElements[kHighScoreTables] = {"hiquickplay", "hiroadtrip", "higroupplay",
                                                            "hialoneplay"};
    for (int t = 0; t < kHighScoreTables; ++t) {
        const TiXmlElement* group = root->FirstChildElement(kElements[t]);
        if (!group) continue;
        int row = 0;
        for (const TiXmlElement* e = group->FirstChildElement("highscore"); e && row < kHighScoreRows;
             e = e->NextSiblingElement("highscore"), ++row) {
            HighScoreEntry& entry = tables[t][row];
            ReadIntAttribute(e, "ai_id", entry.profileIndex);
            ReadIntAttribute(e, "score", entry.score);
            ReadIntAttribute(e, "month", entry.date.month);
            ReadIntAttribute(e, "day", entry.date.day);
            ReadIntAttribute(e, "year", entry.date.year);
            entry.kind = KIND_COMPUTER;
        }
    }
}

bool HighScoreTables::Read(BinaryFile& file) {
    RecordReader in(file);
    HighScoreEntry read[kHighScoreTables][kHighScoreRows];
    for (auto& table : read)
        for (HighScoreEntry& e : table) {
            e.score = in.Int();
            e.date.day = in.Int();
            e.date.month = in.Int();
            e.date.year = in.Int();
            e.profileIndex = in.Int();
            e.kind = in.Int();
            if (e.kind < KIND_NONE || e.kind > KIND_COMPUTER) in.Fail();
        }
    if (!in.Ok()) return false;
    std::memcpy(tables, read, sizeof(tables));
    return true;
}

bool HighScoreTables::Write(BinaryFile& file) const {
    RecordWriter out(file);
    for (const auto& table : tables)
        for (const HighScoreEntry& e : table) {
            out.Int(e.score);
            out.Int(e.date.day);
            out.Int(e.date.month);
            out.Int(e.date.year);
            out.Int(e.profileIndex);
            out.Int(e.kind);
        }
    return out.Ok();
}

bool HighScoreTables::operator==(const HighScoreTables& other) const {
    return std::memcmp(tables, other.tables, sizeof(tables)) == 0;
}
