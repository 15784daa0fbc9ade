// Skeletal records, the library and the animated character.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "sk_character.h"
#include "sk_resource.h"
#include "profiles.h"
#include "strings.h"
#include "test_support.h"

namespace {

Quaternion AxisAngle(float ax, float ay, float az, float degrees) {
    float h = degrees * kDegToRad * 0.5f;
    return Quaternion{ax * std::sin(h), ay * std::sin(h), az * std::sin(h), std::cos(h)};
}

// Root at the origin, a child one unit up.
Skeleton* TwoBones(const char* name) {
    Skeleton* s = new Skeleton();
    s->SetName(name);
    Vector3 p[2] = {{0, 0, 0}, {0, 1, 0}};
    Quaternion q[2] = {{0, 0, 0, 1}, {0, 0, 0, 1}};
    uint16_t parent[2] = {kSkNoParent, 0};
    EXPECT_EQ(s->SetBones(2, p, q, parent), 0);
    return s;
}

// A triangle bound to bone 1, with texture coordinates and a texture name.
Skin* Triangle(const char* name) {
    Skin* k = new Skin();
    k->SetName(name);
    k->vertexCount = 3;
    k->indexCount = 3;
    k->positions = new float[9]{0, 1, 0, 1, 1, 0, 0, 2, 0};
    k->workPositions = new float[9]();
    k->texCoords = new float[6]{0.0f, 0.25f, 1.0f, 0.5f, 0.5f, 1.0f};
    k->indices = new uint32_t[3]{0, 1, 2};
    k->influenceCounts = new uint16_t[3]{1, 1, 2};
    k->influenceStart = new uint32_t[3]{0, 1, 2};
    k->influenceBones = new uint16_t[4]{1, 1, 1, 7};  // bone 7 is past any skeleton here
    k->influenceWeights = new float[4]{1, 1, 1, 1};
    k->influenceTotal = 4;
    SetString(k->textureName, "TEX_TEST");
    return k;
}

// Tracks for both bones; bone 1 turns 0 -> 90 degrees about z over 1 s.
SkAnimation* Turn(const char* name, unsigned keys = 3, float duration = 1.0f) {
    SkAnimation* a = new SkAnimation();
    a->SetName(name);
    uint16_t bones[2] = {0, 1};
    EXPECT_EQ(a->Create(2, keys, bones), 0);
    a->duration = duration;
    for (unsigned k = 0; k < keys; ++k) {
        float f = keys > 1 ? (float)k / (keys - 1) : 0.0f;
        a->Keys(0)[k] = SkKey{{0, 0, 0}, {0, 0, 0, 1}};
        a->Keys(1)[k] = SkKey{{0, 1, 0}, AxisAngle(0, 0, 1, 90.0f * f)};
    }
    return a;
}

std::string SaveBytes(SkResource& r, const std::string& dir, const char* file) {
    std::string path = dir + file;
    EXPECT_EQ(r.SaveToFile(path.c_str()), 0);
    return ReadWholeFile(path);
}

TEST(SkeletalMath, SlerpEndsAndShorterArc) {
    Quaternion a = AxisAngle(0, 1, 0, 10), b = AxisAngle(0, 1, 0, 130), out;
    QuaternionSlerp(a, b, 0.0f, out);
    EXPECT_NEAR(out.y, a.y, 1e-5f);
    EXPECT_NEAR(out.w, a.w, 1e-5f);
    QuaternionSlerp(a, b, 1.0f, out);
    EXPECT_NEAR(out.y, b.y, 1e-5f);
    EXPECT_NEAR(out.w, b.w, 1e-5f);
    QuaternionSlerp(a, b, 0.5f, out);
    Quaternion mid = AxisAngle(0, 1, 0, 70);
    EXPECT_NEAR(out.y, mid.y, 1e-4f);
    EXPECT_NEAR(out.w, mid.w, 1e-4f);
    // The negated end is the same rotation: the half-way point is still 70 degrees.
    QuaternionSlerp(a, Quaternion{-b.x, -b.y, -b.z, -b.w}, 0.5f, out);
    EXPECT_NEAR(std::fabs(out.w), mid.w, 1e-4f);
    // Equal ends take the linear path without dividing by zero.
    QuaternionSlerp(a, a, 0.3f, out);
    EXPECT_FALSE(std::isnan(out.w));
    EXPECT_NEAR(out.w, a.w, 1e-5f);
}

TEST(SkeletalRecords, RoundTripsAndSeveralRecordsInOneFile) {
    std::string dir = MakeTempDir("skrecords");
    Skeleton* s = TwoBones("bones");
    SkAnimation* a = Turn("turn");
    Skin* k = Triangle("tri");
    std::string skeletonBytes = SaveBytes(*s, dir, "a.ske");
    std::string animationBytes = SaveBytes(*a, dir, "b.ska");
    std::string skinBytes = SaveBytes(*k, dir, "c.ski");
    EXPECT_EQ(skeletonBytes.substr(0, 16), "Skeleton1.00    ");
    EXPECT_EQ(skeletonBytes.substr(16, 2), std::string("\x05\x00", 2));
    EXPECT_EQ(skeletonBytes.substr(18, 5), "bones");
    // v is stored one below what is drawn.
    float v0;
    std::memcpy(&v0, skinBytes.data() + 16 + 2 + 3 + 1 + 8 + 36 + 4, 4);
    EXPECT_FLOAT_EQ(v0, 0.25f - 1.0f);

    ASSERT_TRUE(WriteWholeFile(dir + "all.ske", skeletonBytes + animationBytes + skinBytes));
    SkLibrary lib;
    ASSERT_EQ(lib.LoadFile((dir + "all.ske").c_str()), 0);
    ASSERT_EQ(lib.GetCount(SK_SKELETON), 1u);
    ASSERT_EQ(lib.GetCount(SK_ANIMATION), 1u);
    ASSERT_EQ(lib.GetCount(SK_SKIN), 1u);
    Skin* loaded = static_cast<Skin*>(lib.Find(SK_SKIN, "tri"));
    ASSERT_TRUE(loaded);
    EXPECT_FLOAT_EQ(loaded->texCoords[1], 0.25f);
    EXPECT_FLOAT_EQ(loaded->texCoords[5], 1.0f);
    EXPECT_STREQ(loaded->textureName, "TEX_TEST");
    SkAnimation* la = static_cast<SkAnimation*>(lib.Find(SK_ANIMATION, "turn"));
    ASSERT_TRUE(la);
    EXPECT_EQ(la->highestBone, 1);
    EXPECT_NEAR(la->Keys(1)[2].rotation.z, AxisAngle(0, 0, 1, 90).z, 1e-6f);
    Skeleton* ls = static_cast<Skeleton*>(lib.Find(SK_SKELETON, "bones"));
    ASSERT_TRUE(ls);
    ASSERT_EQ(ls->bones[0].childCount, 1);
    EXPECT_EQ(ls->bones[0].children[0], 1);

    // Saving what was loaded gives the same bytes: a load and save never
    // moves the picture.
    EXPECT_EQ(SaveBytes(*loaded, dir, "again.ski"), skinBytes);
    EXPECT_EQ(SaveBytes(*la, dir, "again.ska"), animationBytes);
    EXPECT_EQ(SaveBytes(*ls, dir, "again.ske"), skeletonBytes);

    // A later record of the same name replaces the skin at its index, and a
    // character wearing the old one loses it.
    SkCharacter* c = new SkCharacter();
    c->slots[1].skin = loaded;
    ASSERT_EQ(lib.Add(c), 0);
    EXPECT_EQ(lib.Add(c), SK_ERR_PRESENT);
    ASSERT_EQ(lib.LoadFile((dir + "again.ski").c_str()), 0);
    EXPECT_EQ(lib.GetCount(SK_SKIN), 1u);
    EXPECT_EQ(c->slots[1].skin, nullptr);
    EXPECT_EQ(lib.RemoveByName(SK_SKIN, "none"), SK_ERR_NOT_FOUND);
    EXPECT_EQ(lib.RemoveAt(SK_SKIN, 5), SK_ERR_RANGE);
    delete s;
    delete a;
    delete k;
}

TEST(SkeletalRecords, DamagedFilesGiveTheirCodes) {
    std::string dir = MakeTempDir("skdamaged");
    Skeleton* s = TwoBones("bones");
    SkAnimation* a = Turn("turn");
    Skin* k = Triangle("tri");
    const std::string records[3] = {SaveBytes(*s, dir, "s"), SaveBytes(*a, dir, "a"), SaveBytes(*k, dir, "k")};
    delete s;
    delete a;
    delete k;

    // Every truncation of every record is refused as short, never taken.
    for (const std::string& whole : records)
        for (size_t cut = 1; cut < whole.size(); ++cut) {
            ASSERT_TRUE(WriteWholeFile(dir + "cut", whole.substr(0, cut)));
            SkLibrary lib;
            ASSERT_EQ(lib.LoadFile((dir + "cut").c_str()), SK_ERR_SHORT) << whole.substr(0, 12) << " cut at " << cut;
            EXPECT_EQ(lib.GetCount(SK_SKELETON) + lib.GetCount(SK_ANIMATION) + lib.GetCount(SK_SKIN), 0u);
        }

    auto load = [&](std::string bytes) {
        WriteWholeFile(dir + "bad", bytes);
        SkLibrary lib;
        return lib.LoadFile((dir + "bad").c_str());
    };
    auto put32 = [](std::string& b, size_t at, uint32_t v) { std::memcpy(&b[at], &v, 4); };
    const size_t skinBody = 16 + 2 + 3;
    std::string skin = records[2];
    // Huge vertex or index counts.
    std::string b = skin;
    put32(b, skinBody + 1, 0x40000000u);
    EXPECT_EQ(load(b), SK_ERR_SHORT);
    b = skin;
    put32(b, skinBody + 5, 0xFFFFFFFFu);
    EXPECT_EQ(load(b), SK_ERR_SHORT);
    // An index naming a vertex that is not there.
    b = skin;
    put32(b, skinBody + 9 + 36 + 24 + 4, 3);
    EXPECT_EQ(load(b), SK_ERR_RANGE);
    // A texture name longer than the limit.
    b = skin;
    b[skinBody + 9 + 36 + 24 + 12 + 1] = 0x7F;
    EXPECT_EQ(load(b), SK_ERR_MALFORMED);
    // Influence counts that run past the file.
    b = skin;
    size_t counts = skinBody + 9 + 36 + 24 + 12 + 2 + 8;
    b[counts] = (char)0xFF;
    b[counts + 1] = (char)0xFF;
    EXPECT_EQ(load(b), SK_ERR_SHORT);
    // A skeleton child index past the bone count, a track count past the file.
    b = records[0];
    b[16 + 2 + 5 + 2 + 28 + 4] = 9;
    EXPECT_EQ(load(b), SK_ERR_RANGE);
    b = records[1];
    b[16 + 2 + 4 + 4 + 1] = (char)0xFF;
    EXPECT_EQ(load(b), SK_ERR_SHORT);
    EXPECT_EQ(load("NotARecord123456\0\0"), SK_ERR_MAGIC);
    SkLibrary lib;
    EXPECT_EQ(lib.LoadFile((dir + "missing.ske").c_str()), SK_ERR_OPEN);
}

TEST(SkeletalCharacter, ClapSampledMidwayAndSkinned) {
    Skeleton* s = TwoBones("bones");
    SkAnimation* a = Turn("turn");
    Skin* k = Triangle("tri");
    SkCharacter c;
    ASSERT_EQ(c.SetSkeleton(s), 0);
    c.slots[0].skin = k;
    ASSERT_EQ(c.Play(a, 0, -1.0f, 0.0f), 0);
    c.Update(10.0f);  // the start is fixed here
    c.Update(10.5f);  // half-way: 45 degrees
    Quaternion q = AxisAngle(0, 0, 1, 45);
    EXPECT_NEAR(c.pose[1].rotation.z, q.z, 1e-4f);
    EXPECT_NEAR(c.pose[1].rotation.w, q.w, 1e-4f);
    EXPECT_FALSE(c.finished);
    // The vertex at (1, 1, 0), one unit right of bone 1, swings about it.
    float r = std::sqrt(0.5f);
    EXPECT_NEAR(k->workPositions[3], r, 1e-4f);
    EXPECT_NEAR(k->workPositions[4], 1.0f - r, 1e-4f);
    // The vertex with an influence on a bone the skeleton lacks takes the rest.
    EXPECT_NEAR(k->workPositions[6], r, 1e-4f);
    EXPECT_NEAR(k->workPositions[7], 1.0f + r, 1e-4f);
    c.Update(11.5f);
    EXPECT_TRUE(c.finished);
    EXPECT_NEAR(c.pose[1].rotation.z, AxisAngle(0, 0, 1, 90).z, 1e-5f);

    // Looped: wraps move the start on by whole durations.
    SkCharacter loop;
    loop.SetSkeleton(s);
    loop.Play(a, 1, 0.0f, 0.0f);
    loop.Update(1.5f);
    EXPECT_TRUE(loop.finished);
    EXPECT_FLOAT_EQ(loop.startTime, 1.0f);
    loop.Update(1.75f);
    EXPECT_FALSE(loop.finished);
    // Before the start: the first key, never a pose from before it.
    loop.Play(a, 1, 5.0f, 0.0f);
    loop.Update(4.0f);
    EXPECT_NEAR(loop.pose[1].rotation.z, 0.0f, 1e-6f);

    // A looped animation of no length is one pose; one key poses always.
    SkAnimation* still = Turn("still", 1, 0.0f);
    still->Keys(1)[0].rotation = AxisAngle(0, 0, 1, 30);
    loop.Play(still, 1, -1.0f, 0.0f);
    loop.Update(7.0f);
    loop.Update(9.0f);
    EXPECT_NEAR(loop.pose[1].rotation.z, AxisAngle(0, 0, 1, 30).z, 1e-6f);

    // A cross-fade runs from the old pose to the new animation's pose.
    loop.Play(a, 0, 20.0f, 0.2f);
    loop.Update(20.0f);  // w = 1: still the old pose
    EXPECT_NEAR(loop.pose[1].rotation.z, AxisAngle(0, 0, 1, 30).z, 1e-5f);
    loop.Update(20.1f);  // half-way to the pose at 0.2 s (18 degrees)
    Quaternion half;
    QuaternionSlerp(AxisAngle(0, 0, 1, 30), AxisAngle(0, 0, 1, 18), 0.5f, half);
    EXPECT_NEAR(loop.pose[1].rotation.z, half.z, 1e-3f);

    // An animation needing more bones than there are is refused; a smaller
    // skeleton under it drops it.
    uint16_t far[1] = {4};
    SkAnimation wide;
    wide.Create(1, 2, far);
    wide.duration = 1;
    EXPECT_EQ(c.Play(&wide, 1, -1, 0), SK_ERR_RANGE);
    EXPECT_EQ(c.animation, a);
    SkCharacter d;
    d.Play(&wide, 1, -1, 0);
    d.SetSkeleton(s);
    EXPECT_EQ(d.animation, nullptr);
    delete still;
    delete a;
    delete k;
    delete s;
}

TEST(SkeletalCharacter, DocumentsAndFolders) {
    std::string dir = MakeTempDir("skfolder");
    Skeleton* s = TwoBones("bones");
    SkAnimation* a = Turn("turn");
    Skin* k = Triangle("tri");
    SaveBytes(*s, dir, "body.ske");
    SaveBytes(*a, dir, "turn.ska");
    SaveBytes(*k, dir, "tri.ski");
    delete s;
    delete a;
    delete k;
    ASSERT_TRUE(WriteWholeFile(dir + "guy.skc",
                               "<character name=\"guy\"><skeleton name=\"bones\"/><skins>"
                               "<Head skin=\"tri\" color=\"0.5 0.25 1 1\"/><Hair skin=\"nosuch\" color=\"0 0 0 0.5\"/>"
                               "</skins><animation name=\"turn\"/></character>"));
    ASSERT_TRUE(WriteWholeFile(dir + "broken.skc", "<character name="));
    ASSERT_TRUE(WriteWholeFile(dir + "junk.ski", "Skin1.00        \x03\x00"));
    std::string folder = dir.substr(0, dir.size() - 1);
    SkLibrary lib;
    // The damaged files are reported, the good ones loaded.
    EXPECT_LT(lib.LoadFolder(folder.c_str()), 0);
    ASSERT_EQ(lib.GetCount(SK_CHARACTER), 1u);
    SkCharacter* c = static_cast<SkCharacter*>(lib.Get(SK_CHARACTER, 0));
    EXPECT_STREQ(c->GetName(), "guy");
    EXPECT_EQ(c->skeleton, lib.Find(SK_SKELETON, "bones"));
    EXPECT_EQ(c->slots[1].skin, lib.Find(SK_SKIN, "tri"));
    EXPECT_FLOAT_EQ(c->slots[1].colour[1], 0.25f);
    EXPECT_EQ(c->slots[0].skin, nullptr);
    EXPECT_FLOAT_EQ(c->slots[0].colour[3], 0.5f);
    EXPECT_EQ(c->animation, lib.Find(SK_ANIMATION, "turn"));

    char* text = c->SaveXml();
    ASSERT_TRUE(text);
    SkCharacter again;
    EXPECT_EQ(again.LoadXml(text, lib), 0);
    delete[] text;
    EXPECT_EQ(again.slots[1].skin, c->slots[1].skin);
    EXPECT_EQ(again.animation, c->animation);
    EXPECT_EQ(again.LoadXml("<character name=\"x", lib), SK_ERR_MALFORMED);

    // Removing the playing animation leaves the character without one.
    c->Update(1.0f);
    EXPECT_EQ(lib.RemoveByName(SK_ANIMATION, "turn"), 0);
    EXPECT_EQ(c->animation, nullptr);
    c->Update(2.0f);
    EXPECT_EQ(lib.Remove(c), 0);
    EXPECT_EQ(lib.GetCount(SK_CHARACTER), 0u);
}

#ifdef QV_GAME_DIR
// What qvcharacter wrote for the game, loaded with the game's own reader.
// Skipped before the game folder has been assembled.
class CharacterContent : public ::testing::Test {
protected:
    void SetUp() override {
        game = std::string("Z:") + QV_GAME_DIR;
        for (char& c : game)
            if (c == '/') c = '\\';
        if (!FileExists(game + "\\data\\Characters\\contestant.skc")) GTEST_SKIP() << "no characters in " << game;
        ASSERT_EQ(lib.LoadFolder((game + "\\data\\Characters").c_str()), 0);
    }
    SkAnimation* Anim(const char* name) { return static_cast<SkAnimation*>(lib.Find(SK_ANIMATION, name)); }

    std::string game;
    SkLibrary lib;
};

// The tool's skeleton puts the wrists (the hand bones) here.
const unsigned kRightHand = 8, kLeftHand = 12;

TEST_F(CharacterContent, EveryPartStyleAndAnimationTheGameNamesIsThere) {
    ASSERT_EQ(lib.GetCount(SK_SKELETON), 1u);
    ASSERT_EQ(lib.GetCount(SK_CHARACTER), 1u);
    Skeleton* skeleton = static_cast<Skeleton*>(lib.Get(SK_SKELETON, 0));
    SkCharacter* body = static_cast<SkCharacter*>(lib.Get(SK_CHARACTER, 0));
    EXPECT_EQ(body->skeleton, skeleton);
    ASSERT_TRUE(body->animation);
    const char* const names[19] = {"spin_bonus", "avatar_idle_01", "avatar_idle_02", "avatar_idle_03", "brevanto",
                                   "butterchurn", "raiseroof", "wave", "handslap", "sob", "annoyed", "headslap", "spin",
                                   "spin_slow", "spin_fast", "clap", "board2wheel", "idle_random_handonhand",
                                   "idle_random_movehand"};
    for (const char* name : names) {
        SkAnimation* a = Anim(name);
        ASSERT_TRUE(a) << name;
        EXPECT_GT(a->duration, 0.0f) << name;
        EXPECT_GE(a->keysPerTrack, 1) << name;
        ASSERT_EQ(a->trackCount, skeleton->boneCount) << name;
        for (unsigned b = 0; b < skeleton->boneCount; ++b) EXPECT_EQ(a->trackBones[b], b) << name;
    }
    // The styles the computer contestants wear, and every part of both genders.
    const int need[PART_COUNT] = {4, 1, 1, 1, 3, 1};
    for (int g = 0; g < 2; ++g)
        for (int part = 0; part < PART_COUNT; ++part)
            for (int style = 0; style < need[part]; ++style) {
                if (g == GENDER_FEMALE && part == PART_FACE_HAIR) continue;
                const char* name = PartModelName(g, part, style);
                Skin* skin = static_cast<Skin*>(lib.Find(SK_SKIN, name));
                ASSERT_TRUE(skin) << name;
                EXPECT_GT(skin->indexCount, 0u) << name;
                EXPECT_EQ(skin->indexCount % 3, 0u) << name;
                ASSERT_TRUE(skin->texCoords) << name;
                for (uint32_t i = 0; i < skin->influenceTotal; ++i)
                    ASSERT_LT(skin->influenceBones[i], skeleton->boneCount) << name;
                for (uint32_t v = 0; v < skin->vertexCount; ++v) {
                    ASSERT_GE(skin->texCoords[v * 2 + 1], 0.0f) << name;
                    ASSERT_LE(skin->texCoords[v * 2 + 1], 1.0f) << name;
                }
            }
    // Every part texture the game loads is in the manifest.
    std::string manifest = ReadWholeFile(game + "\\Quorvane.xml");
    for (int g = 0; g < 2; ++g)
        for (int part = 0; part < PART_COUNT; ++part)
            for (int c = 0; c < kPartColourCount[part]; ++c) {
                const char* label = PartTextureName(g, part, c);
                if (label) {
                    EXPECT_NE(manifest.find(std::string("\"") + label + "\""), std::string::npos) << label;
                }
            }
}

TEST_F(CharacterContent, AClapIsAClapAndASpinPullsTheWheel) {
    SkCharacter c;
    ASSERT_EQ(c.SetSkeleton(static_cast<Skeleton*>(lib.Get(SK_SKELETON, 0))), 0);
    c.slots[3].skin = static_cast<Skin*>(lib.Find(SK_SKIN, "hi_m_body_torso"));
    ASSERT_TRUE(c.slots[3].skin);
    SkAnimation* clap = Anim("clap");
    ASSERT_EQ(c.Play(clap, 0, 0.0f, 0.0f), 0);
    // Hands meet and part again, in front of the chest, several times.
    int claps = 0;
    bool apart = true;
    for (int step = 0; step * 0.01f <= clap->duration + 0.02f; ++step) {
        c.Update(step * 0.01f);
        Vector3 r = c.pose[kRightHand].position, l = c.pose[kLeftHand].position;
        float gap = std::sqrt((r.x - l.x) * (r.x - l.x) + (r.y - l.y) * (r.y - l.y) + (r.z - l.z) * (r.z - l.z));
        if (apart && gap < 0.15f) {
            ++claps;
            apart = false;
            EXPECT_GT(r.y, 1.05f);  // at the chest, not hanging at the sides
            EXPECT_LT(r.z, -0.2f);  // in front of the body
        } else if (!apart && gap > 0.25f) {
            apart = true;
        }
    }
    EXPECT_GE(claps, 3);
    EXPECT_TRUE(c.finished);
    // The skinned body stands about as tall as a person, nothing flies off.
    const Skin* torso = c.slots[3].skin;
    float low = 1e9f, high = -1e9f;
    for (uint32_t v = 0; v < torso->vertexCount; ++v) {
        float y = torso->workPositions[v * 3 + 1];
        ASSERT_TRUE(std::isfinite(y));
        low = std::min(low, y);
        high = std::max(high, y);
    }
    EXPECT_LT(low, 0.1f);
    EXPECT_GT(high, 1.4f);
    EXPECT_LT(high, 1.7f);

    // A spin: the right hand reaches forward and pulls across the body.
    SkAnimation* spin = Anim("spin");
    ASSERT_EQ(c.Play(spin, 0, 10.0f, 0.0f), 0);
    float most = -1e9f, least = 1e9f;
    for (float t = 10.0f; t <= 10.0f + spin->duration; t += 0.02f) {
        c.Update(t);
        most = std::max(most, c.pose[kRightHand].position.x);
        least = std::min(least, c.pose[kRightHand].position.x);
    }
    EXPECT_GT(most - least, 0.3f);
}
#endif

} // namespace
