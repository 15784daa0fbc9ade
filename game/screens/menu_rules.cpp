#include "menu_rules.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "game_config.h"
#include "profiles.h"
#include "puzzle.h"
#include "round_controller.h"
#include "strings.h"
#include "trophies.h"

// ---- Player names ---------------------------------------------------------

int CheckPlayerName(const char* name, ProfileManager& profiles, int list) {
    if (!name || !name[0]) return NAME_EMPTY;
    bool blank = true;
    for (const char* c = name; *c && blank; ++c) blank = *c == ' ' || *c == '\t';
    if (blank) return NAME_EMPTY;
    return profiles.FindByName(name, list) ? NAME_TAKEN : NAME_OK;
}

// ---- Options ---------------------------------------------------------------

static int SliderIndex(float slider, int steps) {
    if (!(slider > 0.0001f)) return 0;  // also NaN
    int i = (int)((slider - 0.0001f) * (float)steps);
    return i < steps ? i : steps - 1;
}

int ResolutionIndex(float slider) { return SliderIndex(slider, 3); }
int RefreshIndex(float slider) { return SliderIndex(slider, 4); }

void ResolutionAt(int index, int* width, int* height) {
    static const int kWidths[3] = {640, 800, 1024};
    static const int kHeights[3] = {480, 600, 768};
    if (index < 0) index = 0;
    if (index > 2) index = 2;
    *width = kWidths[index];
    *height = kHeights[index];
}

int RefreshAt(int index) {
    static const int kRates[4] = {60, 75, 85, 100};
    if (index < 0) index = 0;
    if (index > 3) index = 3;
    return kRates[index];
}

// ---- Puzzle of the day -----------------------------------------------------

bool IsCalendarLeapYear(int year) { return ((year - 2004) % 4 + 4) % 4 == 0; }

int DaysInMonth(int year, int month) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 0 || month > 11) return 0;
    return month == 1 && IsCalendarLeapYear(year) ? 29 : kDays[month];
}

int DaysInYear(int year) { return IsCalendarLeapYear(year) ? 366 : 365; }

int DayOfYear(int year, int month, int day) {
    if (month < 0 || month > 11 || day < 0 || day >= DaysInMonth(year, month)) return -1;
    int n = day;
    for (int m = 0; m < month; ++m) n += DaysInMonth(year, m);
    return n;
}

int FirstCellOfMonth(int year, int month) {
    static const int kMonthShift[12] = {0, 3, 3, 6, 1, 4, 6, 2, 5, 0, 3, 5};
    if (month < 0 || month > 11) return 0;
    int leapFix = (month < 2 && IsCalendarLeapYear(year)) ? 1 : 0;
    int cell = (kMonthShift[month] + (year - 2004) / 4 + (year - 2006) - leapFix) % 7;
    return cell < 0 ? cell + 7 : cell;
}

// The same month and day in another year (the 29th of February becomes the
// 28th where there is none).
static int SameDateDayOfYear(int year, int month, int day) {
    int last = DaysInMonth(year, month) - 1;
    return DayOfYear(year, month, day < last ? day : last);
}

int CalendarRecordOf(const PlayerProfile& profile, int year, int month, int day) {
    const GameDate& start = profile.calendarDate;
    if (start.year < kFirstCalendarYear || DayOfYear(year, month, day) < 0) return -1;
    int date = DateKey(year, month, day);
    if (date < DateKey(start.year, start.month - 1, start.day - 1)) return -1;
    if (date >= DateKey(start.year + 3, start.month - 1, start.day - 1)) return -1;
    int record = (year - start.year) * kCalendarDaysPerYear + DayOfYear(year, month, day);
    return record >= 0 && record < kCalendarDays ? record : -1;
}

bool IsCalendarDayPlayed(const PlayerProfile& profile, int record) {
    return record >= 0 && record < kCalendarDays && profile.calendar[record].result > 0;
}

int BuildPuzzleCalendar(PlayerProfile& profile, const GameDate& today, CalendarPuzzleSource source) {
    profile.calendarDate = today;
    for (int i = 0; i < kCalendarDays; ++i) {
        profile.calendar[i].result = -1;
        profile.calendar[i].date = {0, 0, 0};
    }
    int firstDay = SameDateDayOfYear(today.year, today.month - 1, today.day - 1);
    int lastDay = SameDateDayOfYear(today.year + 3, today.month - 1, today.day - 1);
    if (firstDay < 0 || lastDay < 0 || !source) return 0;
    char label[kPuzzleIdSize];
    char text[kCalendarTextMax + 1];
    int filled = 0;
    for (int year = 0; year < kCalendarYears; ++year) {
        int from = year == 0 ? firstDay : 0;
        // Only real days: a year of 365 leaves its last record empty.
        int to = year == 3 ? lastDay : DaysInYear(today.year + year);
        for (int d = from; d < to; ++d) {
            label[0] = text[0] = 0;
            if (!source(profile.usedPuzzles, label, sizeof(label), text, sizeof(text))) continue;
            profile.SetCalendarTexts(year * kCalendarDaysPerYear + d, label, text);
            ++filled;
        }
    }
    return filled;
}

bool NextCalendarPuzzle(unsigned char* usedBits, char* label, int labelSize, char* text, int textSize) {
    static Puzzle puzzle;
    const char* id = puzzle.ChooseNext(usedBits, MODE_PUZZLE_OF_THE_DAY, 0, ROUND_ONE);
    CopyString(label, (size_t)labelSize, id);
    // The label alone plays the day; the category is only shown.
    if (puzzle.Load(label)) CopyString(text, (size_t)textSize, puzzle.GetHint());
    return true;
}

// ---- Road trip ---------------------------------------------------------------

bool DrawTour(PlayerProfile& profile, const GameConfig& config, int length, int computerCount) {
    int count = GameConfig::GetTourCount(length);
    unsigned char* played = length == 3 ? profile.tour3Used : length == 5 ? profile.tour5Used
                            : length == 7 ? profile.tour7Used : nullptr;
    if (!played || count <= 0) return false;
    int open[kTour3Count];
    int openCount = 0;
    for (int i = 0; i < count; ++i)
        if (!played[i]) open[openCount++] = i;
    if (openCount == 0) {
        std::memset(played, 0, (size_t)count);
        for (int i = 0; i < count; ++i) open[openCount++] = i;
    }
    int number = open[std::rand() % openCount];
    const int* cities = config.GetTour(length, number);
    if (!cities) return false;
    played[number] = 1;

    profile.SetStat(STAT_TOUR_RUNNING, length);
    profile.SetStat(STAT_TOUR_WINS, 0);
    profile.currentLeg = 0;
    std::snprintf(profile.tourName, sizeof(profile.tourName), "TOUR%i_%i", length, number + 1);
    profile.SetTour(cities, length);

    // Two different opponents a city, nobody more than twice in the tour.
    // Ten contestants for at most fourteen seats always leave a choice.
    if (computerCount > 10) computerCount = 10;
    int drawn[10] = {0};
    for (int leg = 0; leg < length; ++leg) {
        int city = cities[leg];
        if (city < 0 || city >= kCityCount) continue;
        int picks[2] = {-1, -1};
        for (int k = 0; k < 2; ++k) {
            int candidate = 0;
            for (int guard = 0; guard < 1000; ++guard) {
                candidate = std::rand() % 10;
                if (candidate < computerCount && candidate != picks[0] && drawn[candidate] < 2) break;
            }
            if (candidate >= computerCount || candidate == picks[0] || drawn[candidate] >= 2) {
                // The random draw kept missing: take the first one left.
                for (candidate = 0; candidate < computerCount; ++candidate)
                    if (candidate != picks[0] && drawn[candidate] < 2) break;
            }
            if (candidate >= computerCount) candidate = k;  // fewer than two contestants exist
            picks[k] = candidate;
            if (candidate < 10) ++drawn[candidate];
        }
        profile.cityPick1[city] = picks[0];
        profile.cityPick2[city] = picks[1];
    }
    return true;
}
