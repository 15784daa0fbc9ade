#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>

#include "binary_file.h"
#include "game_data.h"
#include "settings.h"
#include "test_support.h"

namespace {

std::string Floats(std::initializer_list<float> v) {
    std::string s(v.size() * 4, '\0');
    std::memcpy(&s[0], v.begin(), s.size());
    return s;
}

void ExpectDefaults(const Settings& s) {
    const float want[9] = {0.5f, 0.5f, 1.0f, 800.0f, 600.0f, 32.0f, 60.0f, 1.0f, 0.5f};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(want[i], s.Get(i)) << "setting " << i;
}

TEST(Settings, RoundTripsFortyBytesExactly) {
    std::string dir = MakeTempDir("set");
    std::string path = dir + "a.set";
    std::string bytes = Floats({0.25f, 0.75f, 0.0f, 1024.0f, 768.0f, 16.0f, 75.0f, 0.0f, 0.125f, 0.3f});
    ASSERT_TRUE(WriteWholeFile(path, bytes));
    Settings s;
    BinaryFile in(path.c_str(), BinaryFile::Reading);
    s.Load(in);
    in.Close();
    EXPECT_EQ(1024.0f, s.Get(SETTING_WIDTH));
    BinaryFile out((dir + "b.set").c_str(), BinaryFile::Writing);
    ASSERT_TRUE(s.Save(out));
    ASSERT_EQ(0, out.Close());
    EXPECT_EQ(bytes, ReadWholeFile(dir + "b.set"));
}

TEST(Settings, MissingShortOrDamagedFilesGiveDefaults) {
    std::string dir = MakeTempDir("set");
    Settings s;
    s.Set(SETTING_VIDEO_OPTION_2, 0.75f);
    BinaryFile none((dir + "missing.set").c_str(), BinaryFile::Reading);
    s.Load(none);
    ExpectDefaults(s);
    EXPECT_EQ(0.75f, s.Get(SETTING_VIDEO_OPTION_2)) << "the defaults leave the last value alone";

    ASSERT_TRUE(WriteWholeFile(dir + "short.set", std::string(39, '\x01')));
    Settings t;
    BinaryFile shortFile((dir + "short.set").c_str(), BinaryFile::Reading);
    t.Load(shortFile);
    ExpectDefaults(t);

    const float nan = std::numeric_limits<float>::quiet_NaN();
    ASSERT_TRUE(WriteWholeFile(dir + "nan.set", Floats({0.5f, 0.5f, 0.0f, nan, 600.0f, 32, 60, 1, 0.5f, 0})));
    Settings u;
    BinaryFile nanFile((dir + "nan.set").c_str(), BinaryFile::Reading);
    u.Load(nanFile);
    ExpectDefaults(u);

    ASSERT_TRUE(WriteWholeFile(dir + "huge.set", Floats({0.5f, 0.5f, 0.0f, 1e9f, 600.0f, 32, 60, 1, 0.5f, 0})));
    Settings v;
    BinaryFile hugeFile((dir + "huge.set").c_str(), BinaryFile::Reading);
    v.Load(hugeFile);
    ExpectDefaults(v);
}

TEST(GameData, SavesSettingsIntoTheDataFolder) {
    std::string dir = MakeTempDir("gd");
    GameData gd;
    gd.SetSaveDirectory(dir.c_str());
    gd.LoadAll();
    ExpectDefaults(gd.settings);
    gd.settings.Set(SETTING_FULL_SCREEN, 0.0f);
    ASSERT_TRUE(gd.Save());
    std::string saved = ReadWholeFile(dir + "Quorvane.set");
    ASSERT_EQ(40u, saved.size());
    float w;
    std::memcpy(&w, &saved[12], 4);
    EXPECT_EQ(800.0f, w);

    // A folder that cannot take the file reports the failure.
    GameData bad;
    bad.SetSaveDirectory((dir + "missing\\").c_str());
    bad.LoadAll();
    EXPECT_FALSE(bad.Save());
}

}  // namespace
