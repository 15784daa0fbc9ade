// A helper the end-to-end tests run under Wine, in the game folder, to write
// a player file the way the game itself writes one: it loads what the game
// would load from the data folder, changes it, and saves through the game's
// own save code. With -lite after the folder it works on the Lite's files
// ("Quorvane Lite.set", "Quorvane Lite.gam", "Quorvane Lite.ai").
//
//   playertool DATA_FOLDER\ human NAME [female]
//       adds a human player (made current); exits 1 when the name is taken
//   playertool DATA_FOLDER\ opponents I J
//       the current player's group-play opponents: computer contestants I and J
//   playertool DATA_FOLDER\ puzzles MAIN BONUS
//       the current player's next main-round puzzle is number MAIN and the
//       next bonus puzzle number BONUS (every other one counts as played)
//   playertool DATA_FOLDER\ show
//       prints one line per human: its name, then its 27 statistics
//   playertool DATA_FOLDER\ appearance
//       prints one line per human: its name, gender, then style/colour by part
//   playertool DATA_FOLDER\ trip
//       the current player's tour: length, leg, name, then statistics 10, 11, 13
//   playertool DATA_FOLDER\ today
//       the current player's puzzle of the day for today: result and the date stamped
//   playertool DATA_FOLDER\ trophies
//       the current player's trophies: their count, then one line each
//       (id, times won, day, month, year)
//   playertool DATA_FOLDER\ sample
//       fills every kind of field the player file keeps for the current
//       player (statistics, trophies, a tour, a calendar day, high scores in
//       every mode), with values no default has
//   playertool DATA_FOLDER\ resave
//       loads the settings and player files and saves them unchanged
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "game_data.h"
#include "menu_rules.h"
#include "puzzle.h"
#include "strings.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: playertool DATA_FOLDER\\ human NAME [female] | opponents I J | puzzles MAIN BONUS"
                             " | show | appearance | trip | today | trophies\n");
        return 2;
    }
    g_gameData.SetSaveDirectory(argv[1]);
    if (std::strcmp(argv[2], "-lite") == 0 && argc >= 4) {
        g_gameData.settingsFile = "Quorvane Lite.set";
        g_gameData.gameFile = "Quorvane Lite.gam";
        g_gameData.computerFile = "Quorvane Lite.ai";
        argv[2] = argv[1];
        ++argv;
        --argc;
    }
    g_gameData.LoadAll();
    ProfileManager& profiles = g_gameData.profiles;
    const char* command = argv[2];

    if (std::strcmp(command, "human") == 0 && argc >= 4) {
        if (profiles.FindByName(argv[3], LIST_HUMANS)) return 1;
        PlayerProfile* p = new PlayerProfile(KIND_HUMAN);
        p->appearance.SetName(argv[3]);
        p->appearance.SetGender(argc >= 5 && std::strcmp(argv[4], "female") == 0 ? 1 : 0);
        if (!profiles.Add(p, LIST_HUMANS)) {
            delete p;
            return 1;
        }
        g_gameData.currentProfile = p;
    } else if (std::strcmp(command, "opponents") == 0 && argc >= 5) {
        PlayerProfile* p = g_gameData.currentProfile;
        int a = std::atoi(argv[3]), b = std::atoi(argv[4]);
        PlayerProfile* first = profiles.Get(a, LIST_COMPUTERS);
        PlayerProfile* second = profiles.Get(b, LIST_COMPUTERS);
        if (!p || !first || !second) return 1;
        p->SetOpponent(1, first, a);
        p->SetOpponent(2, second, b);
    } else if (std::strcmp(command, "puzzles") == 0 && argc >= 5) {
        PlayerProfile* p = g_gameData.currentProfile;
        if (!p) return 1;
        const int roundTypes[2] = {ROUND_ONE, ROUND_BONUS};
        for (int k = 0; k < 2; ++k) {
            PuzzleRange range = GetPuzzleRange(MODE_QUICK_PLAY, 0, roundTypes[k]);
            int keep = std::atoi(argv[3 + k]) - 1;
            for (int i = 0; i < range.count; ++i)
                i == keep ? ClearBit(p->usedPuzzles, range.firstBit + i) : SetBit(p->usedPuzzles, range.firstBit + i);
        }
    } else if (std::strcmp(command, "show") == 0) {
        for (int i = 0; i < profiles.GetCount(LIST_HUMANS); ++i) {
            PlayerProfile* p = profiles.Get(i, LIST_HUMANS);
            std::printf("%s", p->GetName());
            for (int s = 0; s < kStatCount; ++s) std::printf(" %d", p->GetStat(s));
            std::printf("\n");
        }
        return 0;
    } else if (std::strcmp(command, "appearance") == 0) {
        // Each human: name, gender, then every part's style and colour.
        for (int i = 0; i < profiles.GetCount(LIST_HUMANS); ++i) {
            const AvatarAppearance& look = profiles.Get(i, LIST_HUMANS)->appearance;
            std::printf("%s %d", look.GetName() ? look.GetName() : "", look.GetGender());
            for (int part = 0; part < PART_COUNT; ++part)
                std::printf(" %d/%d", look.GetPart(part), look.GetColour(part));
            std::printf("\n");
        }
        return 0;
    } else if (std::strcmp(command, "trip") == 0) {
        PlayerProfile* p = g_gameData.currentProfile;
        if (!p) return 1;
        std::printf("%d %d %s %d %d %d\n", p->GetTourLength(), p->currentLeg, p->tourName[0] ? p->tourName : "-",
                    p->GetStat(STAT_TOUR_WINS), p->GetStat(STAT_TOURS_WON), p->GetStat(STAT_TOUR_RUNNING));
        return 0;
    } else if (std::strcmp(command, "today") == 0) {
        PlayerProfile* p = g_gameData.currentProfile;
        if (!p) return 1;
        GameDate today;
        GetToday(today);
        int inYear = DayOfYear(today.year, today.month - 1, today.day - 1);
        int record = (today.year - p->calendarDate.year) * kCalendarDaysPerYear + inYear;
        if (inYear < 0 || record < 0 || record >= kCalendarDays) return 1;
        const CalendarDay& day = p->calendar[record];
        std::printf("%d %d %d %d %s\n", day.result, day.date.day, day.date.month, day.date.year,
                    day.text1 ? day.text1 : "-");
        return 0;
    } else if (std::strcmp(command, "trophies") == 0) {
        PlayerProfile* p = g_gameData.currentProfile;
        if (!p) return 1;
        std::printf("%u\n", p->GetTrophyCount());
        for (unsigned i = 0; i < p->GetTrophyCount(); ++i) {
            const TrophyRecord* t = p->GetTrophy(i);
            std::printf("%d %.1f %d %d %d\n", t->trophyId, t->timesWon, t->date.day, t->date.month, t->date.year);
        }
        return 0;
    } else if (std::strcmp(command, "sample") == 0) {
        PlayerProfile* p = g_gameData.currentProfile;
        if (!p) return 1;
        for (int s = 0; s < kStatCount; ++s) p->SetStat(s, 1000 * s + 17);
        for (int id : {3, 11, 11, 29}) {
            TrophyRecord* t = p->AwardTrophy(id);
            if (!t) return 1;
            t->date = GameDate{7, 3, 2026};
        }
        const int cities[5] = {4, 0, 9, 2, 7};
        p->SetTour(cities, 5);
        p->currentLeg = 2;
        std::snprintf(p->tourName, sizeof(p->tourName), "%s", "Five cities");
        p->calendar[40].result = 12345;
        p->calendar[40].date = GameDate{10, 2, 2026};
        for (int mode = 0; mode < kHighScoreTables; ++mode)
            if (!g_gameData.AddHighScore(p, 5000 + 250 * mode, mode)) return 1;
    } else if (std::strcmp(command, "resave") == 0) {
    } else {
        std::fprintf(stderr, "playertool: unknown command %s\n", command);
        return 2;
    }
    return g_gameData.Save() ? 0 : 1;
}
