#include "profiles.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "record_io.h"
#include "sk_character.h"
#include "strings.h"

const int kPartColourCount[PART_COUNT] = {4, 4, 4, 10, 4, 1};

const char* PartTextureName(int gender, int part, int colour) {
    static const char* const kParts[PART_COUNT] = {"HAIR_", "HEAD_", "HANDS_", "TORSO_", "FACE_HAIR_", "GLASSES_"};
    if (gender < 0 || gender > 1 || part < 0 || part >= PART_COUNT || colour < 0 || colour > 39) return nullptr;
    if (gender == GENDER_FEMALE && part == PART_FACE_HAIR) return nullptr;
    static char name[64];
    std::snprintf(name, sizeof(name), "TEX_%s%s%d", gender == GENDER_MALE ? "MALE_" : "FEMALE_", kParts[part],
                  colour + 1);
    return name;
}

const char* PartModelName(int gender, int part, int style) {
    static const char* const kParts[PART_COUNT] = {"hair", "body_head", "body_hands", "body_torso", "facehair",
                                                   "glasses"};
    if (gender < 0 || gender > 1 || part < 0 || part >= PART_COUNT) return nullptr;
    const char* prefix = gender == GENDER_MALE ? "hi_m_" : "hi_f_";
    static char name[64];
    bool numbered = part == PART_HAIR || part == PART_FACE_HAIR || part == PART_GLASSES;
    if (!numbered) {
        std::snprintf(name, sizeof(name), "%s%s", prefix, kParts[part]);
        return name;
    }
    if (style < 0) return nullptr;
    std::snprintf(name, sizeof(name), "%s%s%d", prefix, kParts[part], style + 1);
    return name;
}

// ---- AvatarAppearance ----

AvatarAppearance::AvatarAppearance() {
    for (int i = 0; i < PART_COUNT; ++i) style[i] = colour[i] = -1;
}

AvatarAppearance::~AvatarAppearance() { SetString(name, nullptr); }

void AvatarAppearance::SetGender(int g) { gender = (g == GENDER_MALE || g == GENDER_FEMALE) ? g : GENDER_MALE; }

// Longer names would not load again.
void AvatarAppearance::SetName(const char* text) {
    if (StringLength(text) <= (unsigned)kMaxNameLength) {
        SetString(name, text);
        return;
    }
    char cut[kMaxNameLength + 1];
    CopyString(cut, sizeof(cut), text);
    SetString(name, cut);
}

void AvatarAppearance::SetPart(int s, int part) {
    if (part >= 0 && part < PART_COUNT) style[part] = s;
}

int AvatarAppearance::GetPart(int part) const { return part >= 0 && part < PART_COUNT ? style[part] : -1; }

void AvatarAppearance::SetColour(int c, int part) {
    if (part >= 0 && part < PART_COUNT) colour[part] = c;
}

int AvatarAppearance::GetColour(int part) const { return part >= 0 && part < PART_COUNT ? colour[part] : -1; }

void AvatarAppearance::CopyTo(AvatarAppearance& other) const {
    if (&other == this) return;
    other.SetGender(gender);
    other.SetName(name);
    for (int i = 0; i < PART_COUNT; ++i) {
        other.style[i] = style[i];
        other.colour[i] = colour[i];
    }
    other.character = 0;
}

void AvatarAppearance::ApplyTo(SkCharacter* target) const {
    if (!target) return;
    unsigned bodies = g_skLibrary.GetCount(SK_CHARACTER);
    if (bodies == 0) return;
    unsigned index = character >= 0 && (unsigned)character < bodies ? (unsigned)character : 0;
    const SkCharacter* body = static_cast<const SkCharacter*>(g_skLibrary.Get(SK_CHARACTER, index));
    if (body->skeleton != target->skeleton) target->SetSkeleton(body->skeleton);
    for (int part = 0; part < PART_COUNT; ++part) {
        SkSlot& slot = target->slots[part];
        // Head, hands and torso come in one style, worn whatever the number.
        bool numbered = part == PART_HAIR || part == PART_FACE_HAIR || part == PART_GLASSES;
        int s = numbered ? style[part] : 0;
        // A style outside 0..19 is a part not worn (no face hair, no
        // glasses): the slot empties, so a character passed on to another
        // contestant never keeps the last one's beard.
        const char* model = s >= 0 && s <= 19 ? PartModelName(gender, part, s) : nullptr;
        slot.skin = model ? static_cast<Skin*>(g_skLibrary.Find(SK_SKIN, model)) : nullptr;
        int c = colour[part];
        if (slot.skin && c >= 0 && c < kPartColourCount[part] && c < 40)
            slot.skin->texture = AvatarPartTexture(gender, part, c);
    }
}

bool AvatarAppearance::Read(RecordReader& in) {
    gender = in.Int();
    unsigned length = in.UInt();
    if (length > (unsigned)kMaxNameLength) in.Fail();
    char text[kMaxNameLength + 1];
    in.Bytes(text, in.Ok() ? length : 0);
    text[in.Ok() ? length : 0] = 0;
    SetString(name, text);
    character = in.Int();
    for (int i = 0; i < PART_COUNT; ++i) {
        style[i] = in.Int();
        colour[i] = in.Int();
    }
    return in.Ok();
}

void AvatarAppearance::Write(RecordWriter& out) const {
    out.Int(gender);
    unsigned length = StringLength(name);
    out.UInt(length);
    out.Bytes(name, length);
    out.Int(character);
    for (int i = 0; i < PART_COUNT; ++i) {
        out.Int(style[i]);
        out.Int(colour[i]);
    }
}

bool AiParams::Roll(int i) const { return (float)(std::rand() % 100) < GetChance(i); }

// ---- PlayerProfile ----

PlayerProfile::PlayerProfile(int k) : kind(KIND_HUMAN) {
    std::memset(stats, 0, sizeof(stats));
    std::memset(usedPuzzles, 0, sizeof(usedPuzzles));
    std::memset(tourName, 0, sizeof(tourName));
    std::memset(tour3Used, 0, sizeof(tour3Used));
    std::memset(tour5Used, 0, sizeof(tour5Used));
    std::memset(tour7Used, 0, sizeof(tour7Used));
    std::memset(cityPick1, 0, sizeof(cityPick1));
    std::memset(cityPick2, 0, sizeof(cityPick2));
    std::memset(cityStats, 0, sizeof(cityStats));
    calendarDate = {0, 0, 0};
    for (CalendarDay& d : calendar) d = {nullptr, nullptr, -1, {0, 0, 0}};
    for (OpponentSlot& o : opponents) o = {nullptr, -1, KIND_NONE};
    SetKind(k);
}

PlayerProfile::~PlayerProfile() {
    delete ai;
    std::free(tourCities);
    for (CalendarDay& d : calendar) {
        SetString(d.text1, nullptr);
        SetString(d.text2, nullptr);
    }
}

void PlayerProfile::SetKind(int k) {
    kind = k;
    if (kind == KIND_COMPUTER) {
        if (!ai) ai = new AiParams();
    } else {
        delete ai;
        ai = nullptr;
    }
}

TrophyRecord* PlayerProfile::FindTrophy(int trophyId) {
    for (unsigned i = 0; i < trophies.Count(); ++i) {
        TrophyRecord* r = trophies.At(i);
        if (r && r->trophyId == trophyId) return r;
    }
    return nullptr;
}

TrophyRecord* PlayerProfile::AwardTrophy(int trophyId) {
    TrophyRecord* r = FindTrophy(trophyId);
    if (r) {
        // Won before: it counts once more, but this match did not win it.
        r->timesWon += 1.0f;
        return r;
    }
    if (trophies.Count() >= (unsigned)kMaxTrophyRecords) return nullptr;
    TrophyRecord fresh = {trophyId, 0.0f, {0, 0, 0}};
    GetToday(fresh.date);
    r = trophies.Append(fresh);
    if (!r) return nullptr;
    newAwards.Append(r);
    return r;
}

void PlayerProfile::SetTour(const int* cities, int count) {
    if (count < 0 || !cities) count = 0;
    if (count > kMaxTourLength) count = kMaxTourLength;
    std::free(tourCities);
    tourCities = nullptr;
    tourLength = 0;
    if (count == 0) return;
    tourCities = static_cast<int*>(std::malloc(sizeof(int) * count));
    if (!tourCities) return;
    std::memcpy(tourCities, cities, sizeof(int) * count);
    tourLength = count;
}

int PlayerProfile::GetTourCity(int leg) const {
    return leg >= 0 && leg < tourLength ? tourCities[leg] : -1;
}

static void SetCutText(char*& slot, const char* text) {
    char cut[kCalendarTextMax + 1];
    CopyString(cut, sizeof(cut), text);
    SetString(slot, cut);
}

void PlayerProfile::SetCalendarTexts(int day, const char* text1, const char* text2) {
    if (day < 0 || day >= kCalendarDays) return;
    SetCutText(calendar[day].text1, text1);
    SetCutText(calendar[day].text2, text2);
}

void PlayerProfile::SetOpponent(int slot, PlayerProfile* profile, int index) {
    OpponentSlot* o = GetOpponent(slot);
    if (!o) return;
    o->profile = profile;
    o->index = profile ? index : -1;
    o->kind = profile ? profile->GetKind() : KIND_NONE;
}

void PlayerProfile::ClearOpponent(int slot) {
    if (OpponentSlot* o = GetOpponent(slot)) *o = {nullptr, -1, KIND_NONE};
}

static void ReadCalendarText(RecordReader& in, char*& slot) {
    unsigned length = in.Byte();
    char text[256];
    in.Bytes(text, length);
    text[length < (unsigned)kCalendarTextMax ? length : kCalendarTextMax] = 0;
    SetString(slot, in.Ok() ? text : nullptr);
}

static void WriteCalendarText(RecordWriter& out, const char* text) {
    unsigned length = StringLength(text);
    if (length > 255) length = 255;
    out.Byte((unsigned char)length);
    out.Bytes(text, length);
}

static void ReadDate(RecordReader& in, GameDate& d) {
    d.day = in.Int();
    d.month = in.Int();
    d.year = in.Int();
}

static void WriteDate(RecordWriter& out, const GameDate& d) {
    out.Int(d.day);
    out.Int(d.month);
    out.Int(d.year);
}

bool PlayerProfile::Read(RecordReader& in) {
    appearance.Read(in);
    int k = in.Int();
    if (k != KIND_HUMAN && k != KIND_COMPUTER) in.Fail();
    for (int& s : stats) s = in.Int();
    if (!in.Ok()) return false;
    SetKind(k);
    if (kind == KIND_COMPUTER) {
        int level = in.Int();
        if (level < AI_EASY || level > AI_HARD) in.Fail();
        ai->SetLevel(level);
        for (int i = 0; i < kAiChanceCount; ++i) {
            float v = in.Float();
            if (!std::isfinite(v)) in.Fail();
            ai->SetChance(i, v);
        }
    } else {
        ReadHumanPart(in);
    }
    return in.Ok();
}

void PlayerProfile::ReadHumanPart(RecordReader& in) {
    in.Bytes(usedPuzzles, sizeof(usedPuzzles));
    int count = in.Int();
    if (count < 0 || count > kMaxTrophyRecords) in.Fail();
    trophies.Clear();
    newAwards.Clear();
    for (int i = 0; i < count && in.Ok(); ++i) {
        TrophyRecord r;
        r.trophyId = in.Int();
        r.timesWon = in.Float();
        ReadDate(in, r.date);
        if (in.Ok() && !trophies.Append(r)) in.Fail();
    }
    int length = in.Int();
    if (length < 0 || length > kMaxTourLength) in.Fail();
    if (!in.Ok()) return;
    int cities[kMaxTourLength];
    for (int i = 0; i < length; ++i) cities[i] = in.Int();
    SetTour(cities, length);
    if (tourLength != length) in.Fail();
    currentLeg = in.Int();
    in.Bytes(tourName, sizeof(tourName));
    tourName[kTourNameSize - 1] = 0;
    for (auto& city : cityStats)
        for (int& v : city) v = in.Int();
    in.Bytes(tour3Used, sizeof(tour3Used));
    in.Bytes(tour5Used, sizeof(tour5Used));
    in.Bytes(tour7Used, sizeof(tour7Used));
    for (int& v : cityPick1) v = in.Int();
    for (int& v : cityPick2) v = in.Int();
    for (CalendarDay& d : calendar) {
        if (!in.Ok()) return;
        ReadCalendarText(in, d.text1);
        ReadCalendarText(in, d.text2);
        d.result = in.Int();
        ReadDate(in, d.date);
    }
    ReadDate(in, calendarDate);
    opponents[0].index = in.Int();
    opponents[1].index = in.Int();
    opponents[0].kind = in.Int();
    opponents[1].kind = in.Int();
    opponents[0].profile = opponents[1].profile = nullptr;
}

void PlayerProfile::Write(RecordWriter& out) const {
    appearance.Write(out);
    out.Int(kind);
    for (int s : stats) out.Int(s);
    if (kind == KIND_COMPUTER) {
        out.Int(ai ? ai->GetLevel() : 0);
        for (int i = 0; i < kAiChanceCount; ++i) out.Float(ai ? ai->GetChance(i) : 0.0f);
        return;
    }
    out.Bytes(usedPuzzles, sizeof(usedPuzzles));
    out.Int((int)trophies.Count());
    for (const auto* n = trophies.Sentinel()->next; n; n = n->next) {
        out.Int(n->value.trophyId);
        out.Float(n->value.timesWon);
        WriteDate(out, n->value.date);
    }
    out.Int(tourLength);
    for (int i = 0; i < tourLength; ++i) out.Int(tourCities[i]);
    out.Int(currentLeg);
    out.Bytes(tourName, sizeof(tourName));
    for (const auto& city : cityStats)
        for (int v : city) out.Int(v);
    out.Bytes(tour3Used, sizeof(tour3Used));
    out.Bytes(tour5Used, sizeof(tour5Used));
    out.Bytes(tour7Used, sizeof(tour7Used));
    for (int v : cityPick1) out.Int(v);
    for (int v : cityPick2) out.Int(v);
    for (const CalendarDay& d : calendar) {
        WriteCalendarText(out, d.text1);
        WriteCalendarText(out, d.text2);
        out.Int(d.result);
        WriteDate(out, d.date);
    }
    WriteDate(out, calendarDate);
    out.Int(opponents[0].index);
    out.Int(opponents[1].index);
    out.Int(opponents[0].kind);
    out.Int(opponents[1].kind);
}

// ---- ProfileManager ----

ProfileManager::ProfileManager() { lists.Allocate(kProfileListCount); }

ProfileManager::~ProfileManager() {
    ReleaseEditedProfiles(2);
    for (unsigned l = 0; l < lists.count; ++l) Clear((int)l);
}

IndexedList<void*>* ProfileManager::List(int list) {
    if (list == LIST_CURRENT) list = currentList;
    if (list < 0 || (unsigned)list >= lists.count) return nullptr;
    return &lists.lists[list];
}

PlayerProfile* ProfileManager::Get(int index, int list) {
    IndexedList<void*>* l = List(list);
    if (!l || index < 0 || (unsigned)index >= l->Count()) return nullptr;
    return static_cast<PlayerProfile*>(*l->At((unsigned)index));
}

int ProfileManager::GetCount(int list) {
    IndexedList<void*>* l = List(list);
    return l ? (int)l->Count() : 0;
}

int ProfileManager::IndexOf(const PlayerProfile* profile) {
    if (!profile) return -1;
    IndexedList<void*>* l = List(profile->GetKind());
    if (!l) return -1;
    for (unsigned i = 0; i < l->Count(); ++i)
        if (*l->At(i) == profile) return (int)i;
    return -1;
}

PlayerProfile* ProfileManager::FindByName(const char* name, int list) {
    int count = GetCount(list);
    for (int i = 0; i < count; ++i) {
        PlayerProfile* p = Get(i, list);
        if (p && StringEquals(p->GetName(), name)) return p;
    }
    return nullptr;
}

bool ProfileManager::Add(PlayerProfile* profile, int list) {
    IndexedList<void*>* l = List(list);
    return profile && l && l->Count() < (unsigned)kMaxProfiles && l->Append(profile);
}

void ProfileManager::Remove(int index, int list) {
    if (list == LIST_CURRENT) list = currentList;
    PlayerProfile* removed = Get(index, list);
    if (!removed) return;
    lists.lists[list].RemoveAt((unsigned)index);
    // Opponent slots hold an index into the list of their own kind: only
    // slots of this list's kind move, and only those behind the removed one.
    auto adjust = [&](PlayerProfile* p) {
        if (!p) return;
        for (int slot = 1; slot <= 2; ++slot) {
            OpponentSlot* o = p->GetOpponent(slot);
            if (o->profile == removed || (o->kind == list && o->index == index))
                p->ClearOpponent(slot);
            else if (o->kind == list && o->index > index)
                --o->index;
        }
    };
    for (unsigned l = 0; l < lists.count; ++l) {
        int count = GetCount((int)l);
        for (int i = 0; i < count; ++i) adjust(Get(i, (int)l));
    }
    adjust(scratch[0]);
    adjust(scratch[1]);
    delete removed;
}

void ProfileManager::Clear(int list) {
    IndexedList<void*>* l = List(list);
    if (!l) return;
    for (unsigned i = 0; i < l->Count(); ++i) delete static_cast<PlayerProfile*>(*l->At(i));
    l->Clear();
}

void ProfileManager::CreateScratch(int list) {
    if (list == LIST_CURRENT) list = currentList;
    ReleaseEditedProfiles(2);
    int kind = list == LIST_COMPUTERS ? KIND_COMPUTER : KIND_HUMAN;
    scratch[0] = new (std::nothrow) PlayerProfile(kind);
    scratch[1] = new (std::nothrow) PlayerProfile(kind);
}

PlayerProfile* ProfileManager::CommitScratch(int which, int list) {
    PlayerProfile* p = GetScratch(which);
    if (!p || !Add(p, list)) return nullptr;
    scratch[which] = nullptr;
    return p;
}

void ProfileManager::ReleaseEditedProfiles(int which) {
    for (int i = 0; i < 2; ++i) {
        if (which != i && which != 2) continue;
        delete scratch[i];
        scratch[i] = nullptr;
    }
}
