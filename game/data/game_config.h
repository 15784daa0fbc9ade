// The "GAME" configuration: computer difficulty values and the road trip's
// cities and tours. (Its default high scores go to HighScoreTables.)
#pragma once
#include "math3d.h"
#include "profiles.h"

class TiXmlElement;

enum Difficulty { DIFFICULTY_EASY = 0, DIFFICULTY_NORMAL = 1, DIFFICULTY_HARD = 2 };

// The road-trip cities in city-number order; also the first part of their
// puzzle labels.
extern const char* const kCityNames[kCityCount];

struct GameConfig {
    float difficulty[3];
    Vector3 cityInfoPos[kCityCount];
    int tour3[kTour3Count][3];
    int tour5[kTour5Count][5];
    int tour7[kTour7Count][7];

    GameConfig() { Clear(); }
    void Clear();
    // Reads what the document's root holds; missing attributes and elements
    // leave their values. A tour naming a city outside 0..9 is ignored.
    void Load(const TiXmlElement* root);

    // The cities of tour number (from 0) of a length of 3, 5 or 7; null for
    // another length or a number out of range.
    const int* GetTour(int length, int number) const;
    // 15, 10 or 10; 0 for another length.
    static int GetTourCount(int length);
};
