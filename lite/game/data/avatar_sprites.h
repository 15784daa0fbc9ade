// The Lite's avatars: twelve sprite sequences made once at start-up, two
// genders by six animations, that every 2D avatar copies its picture from.
#pragma once

class ModelInstance;
class PlayerProfile;

enum AvatarSpriteAnimation {
    AVATAR_IDLE = 0,
    AVATAR_IDLE_SMALL = 1,
    AVATAR_IDLE_VERYSMALL = 2,
    AVATAR_CLAP = 3,          // one clap; its first frame is the still pose
    AVATAR_CLAP_LOOP = 4,
    AVATAR_CLAP_END = 5,
    AVATAR_ANIMATION_COUNT = 6
};

const int kAvatarSpriteCount = 2 * AVATAR_ANIMATION_COUNT;

// Index = gender x 6 + animation; an entry that could not be made is null.
struct AvatarSpriteSet {
    ModelInstance* sprites[kAvatarSpriteCount];
};

extern AvatarSpriteSet g_avatarSprites;

// The model and texture labels of an entry ("MDL_MALE_CLAP_LOOP",
// "TEX_MALE_CLAP"); null outside the set.
const char* AvatarSpriteModelLabel(int gender, int animation);
const char* AvatarSpriteTextureLabel(int gender, int animation);

// Makes every entry, gender by gender, each from its model part "body" and
// its sheet. An entry whose pack or sheet is missing stays null; the others
// are made all the same. Entries made before are freed first.
void BuildAvatarSprites(AvatarSpriteSet& set = g_avatarSprites);
// Gives every entry back (its model and sheet references go with it) and
// leaves them all null.
void FreeAvatarSprites(AvatarSpriteSet& set = g_avatarSprites);

// The entry for a stored gender and an animation. Any gender but female
// counts as male, as the profiles treat it (a save may hold any number
// there); an animation outside 0..5 gives null.
ModelInstance* AvatarSpriteFor(int gender, int animation, const AvatarSpriteSet& set = g_avatarSprites);
// The entry for a contestant's stored gender; null without a contestant.
ModelInstance* AvatarSpriteFor(const PlayerProfile* profile, int animation,
                               const AvatarSpriteSet& set = g_avatarSprites);
