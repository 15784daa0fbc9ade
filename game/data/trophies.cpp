#include "trophies.h"

#include <tinyxml.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <new>

#include "file_system.h"
#include "game_data.h"
#include "profiles.h"
#include "strings.h"

void TrophyTable::Clear() {
    for (int i = 0; i < count; ++i) {
        SetString(defs[i].messageKey, nullptr);
        SetString(defs[i].nameKey, nullptr);
        SetString(defs[i].textureId, nullptr);
        SetString(defs[i].modelId, nullptr);
    }
    delete[] defs;
    defs = nullptr;
    count = 0;
}

static bool ParseValue(const char* text, int& value) {
    if (!text) return false;
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(text, &end, 10);
    if (end == text || errno == ERANGE || v < INT_MIN || v > INT_MAX) return false;
    value = (int)v;
    return true;
}

// The first element of that name in document order, at any depth.
static const TiXmlElement* FindElement(const TiXmlNode* node, const char* name) {
    for (const TiXmlElement* e = node->FirstChildElement(); e; e = e->NextSiblingElement()) {
        if (e->ValueStr() == name) return e;
        if (const TiXmlElement* inner = FindElement(e, name)) return inner;
    }
    return nullptr;
}

bool TrophyTable::Load(const char* label, TextLookup lookup) {
    int fileId = g_fileSystem.GetFileId(label);
    if (!fileId) return false;
    TiXmlDocument doc;
    if (!g_fileSystem.LoadXml(fileId, &doc)) return false;

    const TiXmlElement* group = FindElement(&doc, "trophy_group");
    int found = 0;
    if (group)
        for (const TiXmlElement* e = group->FirstChildElement("trophy"); e; e = e->NextSiblingElement("trophy"))
            ++found;
    TrophyDef* fresh = found ? new (std::nothrow) TrophyDef[found]() : nullptr;
    if (found && !fresh) return false;

    Clear();
    defs = fresh;
    count = found;
    int i = 0;
    for (const TiXmlElement* e = group ? group->FirstChildElement("trophy") : nullptr; e && i < count;
         e = e->NextSiblingElement("trophy"), ++i) {
        TrophyDef& d = defs[i];
        SetString(d.messageKey, e->Attribute("message"));
        SetString(d.nameKey, e->Attribute("name"));
        d.hasValue = ParseValue(e->Attribute("value"), d.value);
        SetString(d.textureId, e->Attribute("tex_id"));
        SetString(d.modelId, e->Attribute("model_id"));
        d.index = i;
    }
    ResolveTexts(lookup);
    return true;
}

void TrophyTable::ResolveTexts(TextLookup lookup) {
    for (int i = 0; i < count; ++i) {
        defs[i].message = lookup && defs[i].messageKey ? lookup(defs[i].messageKey) : nullptr;
        defs[i].name = lookup && defs[i].nameKey ? lookup(defs[i].nameKey) : nullptr;
    }
}

void CheckTrophies(GameData& data, PlayerProfile* profile, int mode, int matchTotal) {
    if (!profile || profile->GetKind() != KIND_HUMAN) return;
    const TrophyTable& table = data.trophies;
    // A trophy the table lacks is never awarded.
    auto award = [&](int id) {
        if (table.At(id)) profile->AwardTrophy(id);
    };
    auto reached = [&](int id, int amount) {
        const TrophyDef* d = table.At(id);
        return d && d->hasValue && amount >= d->value;
    };
    auto tiers = [&](int first, int tierCount, int amount) {
        for (int id = first; id < first + tierCount; ++id)
            if (reached(id, amount)) award(id);
    };

    int tourWins = profile->GetStat(STAT_TOUR_WINS);
    switch (profile->GetTourLength()) {
    case 3: if (reached(TROPHY_TOUR_3, tourWins)) award(TROPHY_TOUR_3); break;
    case 5: if (reached(TROPHY_TOUR_5, tourWins)) award(TROPHY_TOUR_5); break;
    case 7: if (reached(TROPHY_TOUR_7, tourWins)) award(TROPHY_TOUR_7); break;
    default: break;
    }
    if (reached(TROPHY_TOURS_WON, profile->GetStat(STAT_TOURS_WON))) award(TROPHY_TOURS_WON);
    award(TROPHY_MATCH_PLAYED);
    if (profile->GetStat(STAT_MODES_PLAYED) == 7) award(TROPHY_ALL_MODES);
    // The score goes into the table whether or not the trophy exists.
    if (data.AddHighScore(profile, matchTotal, mode)) award(TROPHY_HIGH_SCORE);
    tiers(TROPHY_MATCHES_WON, 3, profile->GetStat(STAT_MATCHES_WON));
    tiers(TROPHY_SOLO_WINS, 3, profile->GetStat(STAT_SOLO_WINS));
    tiers(TROPHY_COMPUTER_WINS, 3, profile->GetStat(STAT_COMPUTER_WINS));
    tiers(TROPHY_BONUS_WINS, 3, profile->GetStat(STAT_BONUS_WINS));
    tiers(TROPHY_MATCH_TOTAL, 4, profile->GetStat(STAT_LAST_MATCH_TOTAL));
    tiers(TROPHY_JACKPOTS, 3, profile->GetStat(STAT_JACKPOTS_WON));
    tiers(TROPHY_MONEY, 3, profile->GetStat(STAT_MONEY_WON));
    tiers(TROPHY_HOURS, 3, profile->GetStat(STAT_MINUTES_PLAYED) / 60);
    tiers(TROPHY_PUZZLES_OF_THE_DAY, 3, profile->GetStat(STAT_PUZZLES_OF_THE_DAY));
    if (reached(TROPHY_COLLECTOR, (int)profile->GetTrophyCount())) award(TROPHY_COLLECTOR);
}

void AwardAllTrophies(const TrophyTable& table, PlayerProfile* profile) {
    if (!profile || profile->GetTrophyCount() >= (unsigned)table.GetCount()) return;
    for (int i = 0; i < table.GetCount(); ++i) profile->AwardTrophy(i);
}
