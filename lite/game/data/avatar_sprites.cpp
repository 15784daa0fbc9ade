#include "avatar_sprites.h"

#include <cstdio>
#include <new>

#include "model_instance.h"
#include "profiles.h"

AvatarSpriteSet g_avatarSprites = {};

namespace {

const char* const kGenderWords[2] = {"MALE", "FEMALE"};
const char* const kModelWords[AVATAR_ANIMATION_COUNT] = {"IDLE", "IDLE_SMALL", "IDLE_VERYSMALL",
                                                         "CLAP", "CLAP_LOOP",  "CLAP_END"};
// The three clap sequences are drawn from the one clap sheet.
const char* const kTextureWords[AVATAR_ANIMATION_COUNT] = {"IDLE", "IDLE_SMALL", "IDLE_VERYSMALL",
                                                           "CLAP", "CLAP",       "CLAP"};
const char kPart[] = "body";

bool InSet(int gender, int animation) {
    return gender >= 0 && gender < 2 && animation >= 0 && animation < AVATAR_ANIMATION_COUNT;
}

// "<prefix>_<gender>_<word>" in a buffer of its own per kind of label.
const char* Label(char (&buffer)[48], const char* prefix, int gender, const char* word) {
    std::snprintf(buffer, sizeof(buffer), "%s_%s_%s", prefix, kGenderWords[gender], word);
    return buffer;
}

} // namespace

const char* AvatarSpriteModelLabel(int gender, int animation) {
    static char buffer[48];
    return InSet(gender, animation) ? Label(buffer, "MDL", gender, kModelWords[animation]) : nullptr;
}

const char* AvatarSpriteTextureLabel(int gender, int animation) {
    static char buffer[48];
    return InSet(gender, animation) ? Label(buffer, "TEX", gender, kTextureWords[animation]) : nullptr;
}

void BuildAvatarSprites(AvatarSpriteSet& set) {
    FreeAvatarSprites(set);
    for (int gender = 0; gender < 2; ++gender)
        for (int animation = 0; animation < AVATAR_ANIMATION_COUNT; ++animation) {
            ModelInstance* sprite = new (std::nothrow) ModelInstance(
                AvatarSpriteModelLabel(gender, animation), kPart, AvatarSpriteTextureLabel(gender, animation));
            // Half made (no pack, or no sheet) is not made: what it did
            // take goes back to the cache with it.
            if (sprite && (!sprite->model || !sprite->texture)) {
                delete sprite;
                sprite = nullptr;
            }
            set.sprites[gender * AVATAR_ANIMATION_COUNT + animation] = sprite;
        }
}

void FreeAvatarSprites(AvatarSpriteSet& set) {
    for (ModelInstance*& sprite : set.sprites) {
        delete sprite;
        sprite = nullptr;
    }
}

ModelInstance* AvatarSpriteFor(int gender, int animation, const AvatarSpriteSet& set) {
    if (animation < 0 || animation >= AVATAR_ANIMATION_COUNT) return nullptr;
    // A damaged save may hold any number: clamp it into the two sets.
    const int g = gender < GENDER_MALE ? GENDER_MALE : gender > GENDER_FEMALE ? GENDER_FEMALE : gender;
    return set.sprites[g * AVATAR_ANIMATION_COUNT + animation];
}

ModelInstance* AvatarSpriteFor(const PlayerProfile* profile, int animation, const AvatarSpriteSet& set) {
    return profile ? AvatarSpriteFor(profile->appearance.GetGender(), animation, set) : nullptr;
}
