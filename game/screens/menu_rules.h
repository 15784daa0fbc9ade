// The rules behind the menus that need no screen: player names, the video
// mode tables of the options, the puzzle-of-the-day calendar and the road
// trip's tour draw. The menu callbacks call these; the tests call them too.
#pragma once
#include "high_scores.h"

class PlayerProfile;
class ProfileManager;
struct GameConfig;

// ---- Player names ---------------------------------------------------------

enum NameCheck { NAME_OK = 0, NAME_EMPTY = 1, NAME_TAKEN = 2 };
// Empty or only blanks: NAME_EMPTY; the exact name of a profile of the list:
// NAME_TAKEN (a name that differs in letter case is another name).
int CheckPlayerName(const char* name, ProfileManager& profiles, int list);

// ---- Options ---------------------------------------------------------------

// Slider positions 0..1 to the mode tables: 640x480, 800x600, 1024x768 and
// 60, 75, 85, 100 Hz. Out-of-range positions give the nearest end.
int ResolutionIndex(float slider);
int RefreshIndex(float slider);
void ResolutionAt(int index, int* width, int* height);
int RefreshAt(int index);

// ---- Puzzle of the day -----------------------------------------------------

const int kFirstCalendarYear = 2006;  // the calendar shows nothing before it
const int kMonthCells = 37;           // seven to a week, Sunday first

bool IsCalendarLeapYear(int year);
int DaysInMonth(int year, int month);  // month 0..11; 0 outside
int DaysInYear(int year);
// Day of the year from 0, -1 for a month outside 0..11 or a day outside it
// (day from 0).
int DayOfYear(int year, int month, int day);
// The weekday (0 Sunday) of the first of the month: the cell of day 0.
int FirstCellOfMonth(int year, int month);

// Dates as one comparable number.
inline int DateKey(int year, int month, int day) { return (year * 12 + month) * 32 + day; }

// The day record of a date in the profile's calendar, or -1 outside its four
// calendar years (from the creation day up to the day before the same date
// three years later). month 0..11, day from 0.
int CalendarRecordOf(const PlayerProfile& profile, int year, int month, int day);
// A day counts as played only when it paid something.
bool IsCalendarDayPlayed(const PlayerProfile& profile, int record);

// Gives a puzzle label and its text for the next day of a calendar.
typedef bool (*CalendarPuzzleSource)(unsigned char* usedBits, char* label, int labelSize, char* text,
                                     int textSize);
// Dates the profile today and fills its calendar: one puzzle a day from
// today to the day before the same date three years later, picked among
// the profile's own unused puzzles. Returns the number of days filled.
int BuildPuzzleCalendar(PlayerProfile& profile, const GameDate& today, CalendarPuzzleSource source);
// The game's source: the next main-round puzzle and its category.
bool NextCalendarPuzzle(unsigned char* usedBits, char* label, int labelSize, char* text, int textSize);

// ---- Road trip ---------------------------------------------------------------

// Picks a tour of length 3, 5 or 7 for the profile: an unplayed one when
// there is any (else the flags start over), with its cities, leg 0, its name
// "TOURn_k" and two computer opponents per city, none drawn more than twice
// in the tour. false for another length or a missing tour.
bool DrawTour(PlayerProfile& profile, const GameConfig& config, int length, int computerCount);
