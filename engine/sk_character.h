// An animated avatar: a skeleton dressed in up to six skins, playing keyed
// animations with cross-fades, skinned on the CPU each update.
//
// Character documents (".skc", root "character"):
//   <character name="...">
//     <skeleton name="..."/>
//     <skins> <Hair skin="..." color="r g b a"/> ... </skins>
//     <animation name="..."/>
//   </character>
#pragma once
#include "sk_resource.h"

const int kSkSlotCount = 6;
// Element names of the slots, in slot order.
extern const char* const kSkSlotNames[kSkSlotCount];

struct SkSlot {
    Skin* skin = nullptr;
    float colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
};

struct SkBoneMatrices {
    Matrix4 skinning;  // inverse bind x posed
    Matrix4 posed;
};

class SkCharacter : public SkResource {
public:
    SkCharacter() = default;
    ~SkCharacter() override;
    SkResourceKind Kind() const override { return SK_CHARACTER; }
    const char* Magic() const override { return "SkCharacter1.00"; }
    // The XML text, without a binary header.
    int WriteRecord(FILE* file) override;
    int ReadBody(FILE* file) override;
    int WriteBody(FILE* file) override;

    int SetSkeleton(Skeleton* s);
    // mode 0 once, 1 looped; start -1 starts at the next update; blend > 0
    // cross-fades from the running animation. -501 when the animation
    // needs more bones than the skeleton has.
    int Play(SkAnimation* anim, int mode, float start, float blend);
    void Update(float t);

    int LoadFromFile(const char* path);
    int LoadFromFile(const char* path, const SkLibrary& library);
    int LoadXml(const char* text, const SkLibrary& library);
    // The document as text (caller frees with delete[]); null when out of memory.
    char* SaveXml() const;

    bool finished = false;
    Skeleton* skeleton = nullptr;
    SkKey* pose = nullptr;
    unsigned poseCount = 0;
    SkBoneMatrices* matrices = nullptr;
    SkSlot slots[kSkSlotCount];
    SkAnimation* animation = nullptr;
    int mode = 1;
    float startTime = -1.0f;
    float keyRate = 0.0f;
    SkKey* target = nullptr;
    SkKey* blendFrom = nullptr;
    bool capturePending = false;
    float blendTime = 0.0f;
    float blendEnd = 0.0f;

private:
    // Writes the animation at tau seconds since its start into out.
    void Sample(float tau, SkKey* out);
    void ComputeMatrices();
    void SkinSlots();
    bool ResizePose(unsigned count);
};
