#include "game_config.h"

#include <tinyxml.h>

#include <cstdlib>
#include <cstring>

#include "strings.h"

const char* const kCityNames[kCityCount] = {"LAS_VEGAS", "DALLAS",   "NEW_ORLEANS", "NASHVILLE", "WASHINGTON_DC",
                                            "NEW_YORK",  "BOSTON",   "CHICAGO",     "SEATTLE",   "SAN_FRANCISCO"};

void GameConfig::Clear() {
    for (float& d : difficulty) d = 0.0f;
    for (Vector3& v : cityInfoPos) v = {0.0f, 0.0f, 0.0f};
    std::memset(tour3, 0, sizeof(tour3));
    std::memset(tour5, 0, sizeof(tour5));
    std::memset(tour7, 0, sizeof(tour7));
}

int GameConfig::GetTourCount(int length) {
    switch (length) {
    case 3: return kTour3Count;
    case 5: return kTour5Count;
    case 7: return kTour7Count;
    default: return 0;
    }
}

const int* GameConfig::GetTour(int length, int number) const {
    if (number < 0 || number >= GetTourCount(length)) return nullptr;
    switch (length) {
    case 3: return tour3[number];
    case 5: return tour5[number];
    default: return tour7[number];
    }
}

static void ReadFloat(const TiXmlElement* e, const char* name, float& field) {
    if (const char* v = e->Attribute(name)) field = (float)std::atof(v);
}

// Up to length city numbers from "cities"; the tour keeps its old cities
// when one of them is no city.
static void ReadTour(const TiXmlElement* e, int* tour, int length) {
    const char* text = e->Attribute("cities");
    if (!text) return;
    int cities[7];
    std::memcpy(cities, tour, sizeof(int) * length);
    int count = 0;
    ParseIntList(text, cities, &count, length);
    for (int i = 0; i < length; ++i)
        if (cities[i] < 0 || cities[i] >= kCityCount) return;
    std::memcpy(tour, cities, sizeof(int) * length);
}

template <int N>
static void ReadTours(const TiXmlElement* roadtrip, const char* name, int (*tours)[N], int capacity) {
    int k = 0;
    for (const TiXmlElement* e = roadtrip->FirstChildElement(name); e && k < capacity;
         e = e->NextSiblingElement(name), ++k)
        ReadTour(e, tours[k], N);
}

void GameConfig::Load(const TiXmlElement* root) {
    if (!root) return;
    if (const TiXmlElement* ai = root->FirstChildElement("ai")) {
        ReadFloat(ai, "easy", difficulty[DIFFICULTY_EASY]);
        ReadFloat(ai, "normal", difficulty[DIFFICULTY_NORMAL]);
        ReadFloat(ai, "hard", difficulty[DIFFICULTY_HARD]);
    }
    const TiXmlElement* roadtrip = root->FirstChildElement("roadtrip");
    if (!roadtrip) return;
    int c = 0;
    for (const TiXmlElement* e = roadtrip->FirstChildElement("city"); e && c < kCityCount;
         e = e->NextSiblingElement("city"), ++c)
        cityInfoPos[c].Parse(e->Attribute("info_pos"));
    ReadTours<3>(roadtrip, "tour3", tour3, kTour3Count);
    ReadTours<5>(roadtrip, "tour5", tour5, kTour5Count);
    ReadTours<7>(roadtrip, "tour7", tour7, kTour7Count);
}
