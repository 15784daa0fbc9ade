// Contestants: their looks, the computer contestants' chances, everything a
// player's profile remembers, and the lists that hold them.
#pragma once
#include "high_scores.h"
#include "indexed_list.h"

class RecordReader;
class RecordWriter;
class SkCharacter;
struct Texture;

enum BodyPart {
    PART_HAIR = 0,
    PART_HEAD = 1,
    PART_HANDS = 2,
    PART_TORSO = 3,
    PART_FACE_HAIR = 4,
    PART_GLASSES = 5,
    PART_COUNT = 6
};

enum Gender { GENDER_MALE = 0, GENDER_FEMALE = 1, GENDER_UNSET = 2 };

// Colours (textures) each body part comes in.
extern const int kPartColourCount[PART_COUNT];

// "TEX_MALE_TORSO_10" and the like; null for a bad gender, part or colour
// (0..39) and for female face hair.
const char* PartTextureName(int gender, int part, int colour);
// "hi_m_hair2", "hi_f_body_head"; null for a bad gender or part, or a
// negative style where the name takes a number.
const char* PartModelName(int gender, int part, int style);
// The loaded texture of a part in a colour, or null (game_data.cpp).
Texture* AvatarPartTexture(int gender, int part, int colour);

class AvatarAppearance {
public:
    AvatarAppearance();
    ~AvatarAppearance();
    AvatarAppearance(const AvatarAppearance&) = delete;
    AvatarAppearance& operator=(const AvatarAppearance&) = delete;

    int GetGender() const { return gender; }
    // A value outside 0..1 is stored as 0.
    void SetGender(int g);
    const char* GetName() const { return name; }
    void SetName(const char* text);
    void SetPart(int style, int part);
    int GetPart(int part) const;
    void SetColour(int colour, int part);
    int GetColour(int part) const;
    void SetCharacter(int index) { character = index; }
    int GetCharacter() const { return character; }
    // Gender, name, styles and colours; the other's character becomes 0.
    void CopyTo(AvatarAppearance& other) const;
    // Dresses a skeletal character: the body of the library character of
    // this appearance's index (the first one when the index is out of
    // range), then each part's model (none for a style outside 0..19) and,
    // for a colour within the part's range, its texture. Nothing without a
    // character library.
    void ApplyTo(SkCharacter* character) const;

    bool Read(RecordReader& in);
    void Write(RecordWriter& out) const;

private:
    char* name = nullptr;
    int gender = GENDER_UNSET;
    int character = -1;
    int style[PART_COUNT];
    int colour[PART_COUNT];
};

const int kAiChanceCount = 7;

enum AiLevel { AI_EASY = 0, AI_MEDIUM = 1, AI_HARD = 2 };

class AiParams {
public:
    float GetChance(int i) const { return i >= 0 && i < kAiChanceCount ? chance[i] : 0.0f; }
    void SetChance(int i, float v) {
        if (i >= 0 && i < kAiChanceCount) chance[i] = v;
    }
    int GetLevel() const { return level; }
    void SetLevel(int v) { level = v; }
    // True when rand() % 100 is below chance i.
    bool Roll(int i) const;

private:
    int level = AI_EASY;
    float chance[kAiChanceCount] = {};
};

const int kStatCount = 27;
const int kUsedPuzzleBytes = 408;
const int kCityCount = 10;
const int kCityStatCount = 5;
const int kMaxTourLength = kCityCount; // a tour visits each city at most once
const int kTourNameSize = 64;
const int kTour3Count = 15;
const int kTour5Count = 10;
const int kTour7Count = 10;
const int kCalendarYears = 4;
const int kCalendarDaysPerYear = 366;
const int kCalendarDays = kCalendarYears * kCalendarDaysPerYear;
const int kCalendarTextMax = 127;
const int kMaxNameLength = 1024;
const int kMaxTrophyRecords = 1024;

struct TrophyRecord {
    int trophyId;
    float timesWon; // 0 at the first award, one more at each further one
    GameDate date;  // of the first award
};
static_assert(sizeof(TrophyRecord) == 20, "a trophy record is five 32-bit words");

struct CalendarDay {
    char* text1; // the day's puzzle label
    char* text2; // the day's puzzle text
    int result;  // -1 not played
    GameDate date;
};

class PlayerProfile;

struct OpponentSlot {
    PlayerProfile* profile;
    int index; // in the list of its kind, -1 none
    int kind;  // -1 none
};

class PlayerProfile {
public:
    explicit PlayerProfile(int kind = KIND_HUMAN);
    virtual ~PlayerProfile();
    PlayerProfile(const PlayerProfile&) = delete;
    PlayerProfile& operator=(const PlayerProfile&) = delete;

    int GetKind() const { return kind; }
    const char* GetName() const { return appearance.GetName(); }

    int GetStat(int i) const { return i >= 0 && i < kStatCount ? stats[i] : 0; }
    void AddStat(int i, int n) {
        if (i >= 0 && i < kStatCount) stats[i] += n;
    }
    void SetStat(int i, int v) {
        if (i >= 0 && i < kStatCount) stats[i] = v;
    }

    // Null for a human.
    AiParams* GetAi() { return ai; }
    const AiParams* GetAi() const { return ai; }

    // Awards a trophy: a held one counts once more, a new one is dated
    // today and joins the awards of this match (what its results list).
    TrophyRecord* AwardTrophy(int trophyId);
    TrophyRecord* FindTrophy(int trophyId);
    unsigned GetTrophyCount() const { return trophies.Count(); }
    TrophyRecord* GetTrophy(unsigned i) { return i < trophies.Count() ? trophies.At(i) : nullptr; }
    unsigned GetNewAwardCount() const { return newAwards.Count(); }
    TrophyRecord* GetNewAward(unsigned i) { return i < newAwards.Count() ? *newAwards.At(i) : nullptr; }
    void ClearNewAwards() { newAwards.Clear(); }

    // The current road-trip tour; count is cut to kMaxTourLength.
    void SetTour(const int* cities, int count);
    int GetTourLength() const { return tourLength; }
    // The city of a leg, -1 outside the tour.
    int GetTourCity(int leg) const;

    // Texts longer than kCalendarTextMax are cut.
    void SetCalendarTexts(int day, const char* text1, const char* text2);

    // slot 1 or 2; also takes the opponent's kind (-1 for none).
    void SetOpponent(int slot, PlayerProfile* profile, int index);
    void ClearOpponent(int slot);
    OpponentSlot* GetOpponent(int slot) { return slot == 1 || slot == 2 ? &opponents[slot - 1] : nullptr; }

    // One record of the ".gam" or ".ai" file; the kind comes from the record.
    // false when it is short or a length is out of bounds; the profile is
    // then unusable and is to be deleted.
    bool Read(RecordReader& in);
    void Write(RecordWriter& out) const;

    AvatarAppearance appearance;
    unsigned char usedPuzzles[kUsedPuzzleBytes];
    int currentLeg = 0;
    char tourName[kTourNameSize];
    unsigned char tour3Used[kTour3Count];
    unsigned char tour5Used[kTour5Count];
    unsigned char tour7Used[kTour7Count];
    int cityPick1[kCityCount];
    int cityPick2[kCityCount];
    int cityStats[kCityCount][kCityStatCount];
    GameDate calendarDate; // its year is the calendar's first year
    CalendarDay calendar[kCalendarDays];

private:
    void SetKind(int k);
    void ReadHumanPart(RecordReader& in);

    int kind;
    int stats[kStatCount];
    AiParams* ai = nullptr;
    IndexedList<TrophyRecord> trophies;
    IndexedList<TrophyRecord*> newAwards;
    int* tourCities = nullptr;
    int tourLength = 0;
    OpponentSlot opponents[2];
};

const int kProfileListCount = 27;
enum { LIST_HUMANS = 0, LIST_COMPUTERS = 1, LIST_CURRENT = -1 };
const int kMaxProfiles = 1000;

class ProfileManager {
public:
    ProfileManager();
    ~ProfileManager();
    ProfileManager(const ProfileManager&) = delete;
    ProfileManager& operator=(const ProfileManager&) = delete;

    int GetCurrentList() const { return currentList; }
    void SetCurrentList(int list) { currentList = list; }

    // A list number of -1 means the current list. Null or 0 for a bad list
    // or index.
    PlayerProfile* Get(int index, int list = LIST_CURRENT);
    int GetCount(int list = LIST_CURRENT);
    // Index in the list of the profile's kind; -1 for null or not found.
    int IndexOf(const PlayerProfile* profile);
    PlayerProfile* FindByName(const char* name, int list = LIST_CURRENT);
    bool Add(PlayerProfile* profile, int list = LIST_CURRENT);
    // Deletes the profile. Opponent slots that named it are cleared, and those
    // naming a later profile of the same list move down with it.
    void Remove(int index, int list = LIST_CURRENT);
    // Deletes every profile of a list.
    void Clear(int list);

    // Two fresh profiles of the list's kind: 0 being created, 1 being edited.
    void CreateScratch(int list = LIST_CURRENT);
    PlayerProfile* GetScratch(int which) { return which == 0 || which == 1 ? scratch[which] : nullptr; }
    // Appends scratch profile 0 or 1 to the list and forgets it.
    PlayerProfile* CommitScratch(int which, int list = LIST_CURRENT);
    // Deletes scratch profile 0, 1 or both (2).
    void ReleaseEditedProfiles(int which);

private:
    IndexedList<void*>* List(int list);

    int currentList = LIST_HUMANS;
    ListArray lists;
    PlayerProfile* scratch[2] = {nullptr, nullptr};
};
