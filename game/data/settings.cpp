#include "settings.h"

#include <cmath>
#include <cstring>

#include "binary_file.h"

Settings::Settings() : values(new float[SETTING_COUNT]) {
    for (int i = 0; i < SETTING_COUNT; ++i) values[i] = 0.0f;
}

Settings::~Settings() { delete[] values; }

// A damaged file must not give the window a NaN or absurd size.
static bool Plausible(const float* v) {
    for (int i = 0; i < SETTING_COUNT; ++i)
        if (!std::isfinite(v[i])) return false;
    return v[SETTING_WIDTH] >= 320.0f && v[SETTING_WIDTH] <= 16384.0f && v[SETTING_HEIGHT] >= 200.0f &&
           v[SETTING_HEIGHT] <= 16384.0f;
}

void Settings::SetDefaults() {
    static const float defaults[9] = {0.5f, 0.5f, 1.0f, 800.0f, 600.0f, 32.0f, 60.0f, 1.0f, 0.5f};
    for (int i = 0; i < 9; ++i) values[i] = defaults[i];
}

void Settings::Load(BinaryFile& file) {
    float read[SETTING_COUNT];
    if (file.GetMode() == BinaryFile::Reading && file.Read(read, sizeof(float), SETTING_COUNT) &&
        Plausible(read))
        std::memcpy(values, read, sizeof(read));
    else
        SetDefaults();
}

bool Settings::Save(BinaryFile& file) const {
    if (file.GetMode() != BinaryFile::Writing) return false;
    return file.Write(values, sizeof(float), SETTING_COUNT);
}

void Settings::CopyFrom(const Settings& other) {
    std::memcpy(values, other.values, sizeof(float) * SETTING_COUNT);
}
