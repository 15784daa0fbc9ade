// The callbacks of the menus that the "GUI" document names.
#pragma once

class CallbackRegistry;
class PlayerProfile;

// Registers the 64 menu callbacks, in their fixed order.
void RegisterMenuCallbacks(CallbackRegistry& registry);

// The profile of entry k (0..9) of the profile list as last filled; null for
// an empty entry.
PlayerProfile* ProfileListEntry(int entry);

// Callbacks that the game screens also call directly.
bool StartGame(void* sender, const char* mode);
bool GotoRoadTrip(void* sender, const char* argument);

// The callbacks kept in menu_modes.cpp (registered with the others).
bool OpenEditProfile(void* sender, const char* which);
bool InitEditProfile(void* sender, const char* argument);
bool ChangeGender(void* sender, const char* gender);
bool ChangeSkinColor(void* sender, const char* colour);
bool ChangeHairColor(void* sender, const char* colour);
bool ChangeHairStyle(void* sender, const char* argument);
bool ChangeClothingStyle(void* sender, const char* argument);
bool ToggleGlasses(void* sender, const char* argument);
bool ChangeFaceHair(void* sender, const char* argument);
bool Randomize(void* sender, const char* argument);
bool CancelEditPlayer(void* sender, const char* argument);
bool FinishEditPlayer(void* sender, const char* argument);
bool CheckCities(void* sender, const char* argument);
bool OpenCityInfo(void* sender, const char* city);
bool CloseCityInfo(void* sender, const char* argument);
bool InitGroupPlay(void* sender, const char* argument);
bool InitGroupPlayDropDownYellow(void* sender, const char* argument);
bool SelectYellowPlayer(void* sender, const char* argument);
bool InitGroupPlayDropDownBlue(void* sender, const char* argument);
bool SelectBluePlayer(void* sender, const char* argument);
bool SetCurrentYearMonthToPuzzle(void* sender, const char* argument);
bool InitPuzzleMode(void* sender, const char* argument);
bool SetMonth(void* sender, const char* month);
bool ChangeYear(void* sender, const char* years);
bool StartPuzzleOfTheDay(void* sender, const char* cell);
bool OpenDebugAI(void* sender, const char* argument);
bool EditAIParam(void* sender, const char* argument);

// A random computer contestant of a level other than `other`; null when the
// list holds none such (the search is bounded).
PlayerProfile* DrawComputerOfLevel(int level, const PlayerProfile* other);
