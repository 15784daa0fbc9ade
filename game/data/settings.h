// The player's settings: ten floats stored whole in the 40-byte ".set" file.
#pragma once

class BinaryFile;

enum SettingIndex {
    SETTING_SOUND_VOLUME = 0,
    SETTING_MUSIC_VOLUME = 1,
    SETTING_FULL_SCREEN = 2,
    SETTING_WIDTH = 3,
    SETTING_HEIGHT = 4,
    SETTING_BITS_PER_PIXEL = 5,
    SETTING_REFRESH_RATE = 6,
    SETTING_VERTICAL_SYNC = 7,
    SETTING_VIDEO_OPTION_1 = 8,
    SETTING_VIDEO_OPTION_2 = 9,
    SETTING_COUNT = 10
};

class Settings {
public:
    Settings();
    ~Settings();
    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;

    float Get(int i) const { return values[i]; }
    void Set(int i, float v) { values[i] = v; }
    void SetDefaults();
    // Takes the ten values from an open file; the defaults when it is not
    // open or holds fewer than 40 bytes.
    void Load(BinaryFile& file);
    bool Save(BinaryFile& file) const;
    void CopyFrom(const Settings& other);

private:
    float* values;
};
