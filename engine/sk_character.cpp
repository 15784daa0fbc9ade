#include "sk_character.h"

#include <tinyxml.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include <cmath>
#include <cstring>
#include <new>

#include "strings.h"

const char* const kSkSlotNames[kSkSlotCount] = {"Hair", "Head", "Hands", "Torso", "Face_Hair", "Glasses"};

SkCharacter::~SkCharacter() {
    delete[] pose;
    delete[] target;
    delete[] blendFrom;
    delete[] matrices;
}

bool SkCharacter::ResizePose(unsigned count) {
    SkKey* p = new (std::nothrow) SkKey[count];
    SkKey* t = new (std::nothrow) SkKey[count];
    SkKey* f = new (std::nothrow) SkKey[count];
    if (!p || !t || !f) {
        delete[] p;
        delete[] t;
        delete[] f;
        return false;
    }
    // Entries that were there keep their values; new ones start from the
    // bone's bind pose.
    for (unsigned i = 0; i < count; ++i) {
        SkKey bind = {skeleton->bones[i].position, skeleton->bones[i].rotation};
        p[i] = i < poseCount ? pose[i] : bind;
        t[i] = i < poseCount ? target[i] : bind;
        f[i] = i < poseCount ? blendFrom[i] : bind;
    }
    delete[] pose;
    delete[] target;
    delete[] blendFrom;
    pose = p;
    target = t;
    blendFrom = f;
    poseCount = count;
    return true;
}

int SkCharacter::SetSkeleton(Skeleton* s) {
    skeleton = s;
    delete[] matrices;
    matrices = nullptr;
    if (!s || s->boneCount == 0) {
        poseCount = 0;
        return SK_OK;
    }
    if (!ResizePose(s->boneCount)) {
        skeleton = nullptr;
        poseCount = 0;
        return SK_ERR_MEMORY;
    }
    matrices = new (std::nothrow) SkBoneMatrices[s->boneCount];
    if (!matrices) {
        skeleton = nullptr;
        poseCount = 0;
        return SK_ERR_MEMORY;
    }
    for (unsigned i = 0; i < s->boneCount; ++i) {
        MatrixIdentity(matrices[i].skinning);
        matrices[i].posed = s->bones[i].local;
    }
    if (animation && animation->highestBone >= s->boneCount) {
        animation = nullptr;
        mode = 1;
        startTime = -1.0f;
        finished = false;
        keyRate = 0.0f;
        blendTime = 0.2f;
        capturePending = true;
    }
    return SK_OK;
}

int SkCharacter::Play(SkAnimation* anim, int playMode, float start, float blend) {
    if (anim && skeleton && anim->UsableTracks() && anim->highestBone >= skeleton->boneCount) return SK_ERR_RANGE;
    if (blend > 0.0f && animation) {
        blendTime = blend;
        capturePending = true;
        blendEnd = start != -1.0f ? start + blend : 0.0f;
    } else {
        blendTime = 0.0f;
        blendEnd = 0.0f;
        capturePending = false;
    }
    keyRate = anim && anim->keysPerTrack && anim->duration != 0.0f ? (anim->keysPerTrack - 1) / anim->duration : 0.0f;
    animation = anim;
    startTime = start;
    finished = false;
    mode = playMode;
    return SK_OK;
}

void SkCharacter::Sample(float tau, SkKey* out) {
    const SkAnimation* a = animation;
    unsigned tracks = a->UsableTracks();
    unsigned keys = a->keysPerTrack;
    if (tau < 0.0f || !std::isfinite(tau)) tau = 0.0f;
    if (mode == 0) {
        if (tau >= a->duration) {
            finished = true;
            for (unsigned t = 0; t < tracks; ++t)
                if (a->trackBones[t] < poseCount) out[a->trackBones[t]] = a->Keys(t)[keys - 1];
            return;
        }
    } else {
        finished = false;
        if (a->duration <= 0.0f) {
            // Nothing to loop over: one pose.
            finished = true;
            tau = 0.0f;
        } else if (tau >= a->duration) {
            float wraps = std::floor(tau / a->duration);
            finished = true;
            tau -= wraps * a->duration;
            startTime += wraps * a->duration;
            if (tau >= a->duration || tau < 0.0f) tau = 0.0f;
        }
    }
    float f = tau * keyRate;
    // Past the last key (or no number at all) wraps to key 0, before any
    // conversion that could overflow.
    unsigned k0 = f >= 0.0f && f < (float)keys ? (unsigned)f : 0;
    unsigned k1 = k0 + 1;
    if (k1 >= keys) k1 = 0;
    float w0 = (float)k1 - f, w1;
    if (w0 > 0.0f && w0 < 1.0f) {
        w1 = f - (float)k0;
    } else if (w0 >= 1.0f) {
        w0 = 1.0f;
        w1 = 0.0f;
    } else {
        w0 = 0.0f;
        w1 = 1.0f;
    }
    for (unsigned t = 0; t < tracks; ++t) {
        unsigned b = a->trackBones[t];
        if (b >= poseCount) continue;
        const SkKey* k = a->Keys(t);
        const SkKey& a0 = k[k0];
        const SkKey& a1 = k[k1];
        out[b].position = Vector3{w0 * a0.position.x + w1 * a1.position.x, w0 * a0.position.y + w1 * a1.position.y,
                                  w0 * a0.position.z + w1 * a1.position.z};
        QuaternionSlerp(a0.rotation, a1.rotation, w1, out[b].rotation);
    }
}

void SkCharacter::Update(float t) {
    if (!animation || !skeleton || poseCount == 0) return;
    if (startTime == -1.0f) {
        startTime = t;
        finished = false;
        if (blendTime > 0.0f) blendEnd = t + blendTime;
    }
    if (t < blendEnd && blendTime > 0.0f) {
        if (capturePending) {
            Sample(blendEnd - startTime, target);
            std::memcpy(blendFrom, pose, sizeof(SkKey) * poseCount);
            capturePending = false;
        }
        float w = (blendEnd - t) / blendTime;
        if (w > 1.0f) w = 1.0f;
        for (unsigned i = 0; i < animation->UsableTracks(); ++i) {
            unsigned b = animation->trackBones[i];
            if (b >= poseCount) continue;
            const SkKey& from = blendFrom[b];
            const SkKey& to = target[b];
            pose[b].position = Vector3{w * from.position.x + (1 - w) * to.position.x,
                                       w * from.position.y + (1 - w) * to.position.y,
                                       w * from.position.z + (1 - w) * to.position.z};
            QuaternionSlerp(from.rotation, to.rotation, 1.0f - w, pose[b].rotation);
        }
    } else {
        Sample(t - startTime, pose);
    }
    ComputeMatrices();
    SkinSlots();
}

void SkCharacter::ComputeMatrices() {
    for (unsigned i = 0; i < poseCount; ++i) {
        RigidMatrix(pose[i].position, pose[i].rotation, matrices[i].posed);
        MatrixMultiply(skeleton->bones[i].inverseLocal, matrices[i].posed, matrices[i].skinning);
    }
}

void SkCharacter::SkinSlots() {
    for (int s = 0; s < kSkSlotCount; ++s) {
        Skin* skin = slots[s].skin;
        if (!skin || !skin->positions || !skin->influenceCounts) continue;
        for (uint32_t v = 0; v < skin->vertexCount; ++v) {
            const float* p = skin->positions + v * 3;
            const float* n = skin->normals ? skin->normals + v * 3 : nullptr;
            float px = 0, py = 0, pz = 0, nx = 0, ny = 0, nz = 0;
            uint32_t first = skin->influenceStart[v];
            for (unsigned k = 0; k < skin->influenceCounts[v]; ++k) {
                unsigned bone = skin->influenceBones[first + k];
                if (bone >= poseCount) continue;  // a bone this skeleton lacks
                float w = skin->influenceWeights[first + k];
                const float* m = matrices[bone].skinning.m;
                px += w * (p[0] * m[0] + p[1] * m[4] + p[2] * m[8] + m[12]);
                py += w * (p[0] * m[1] + p[1] * m[5] + p[2] * m[9] + m[13]);
                pz += w * (p[0] * m[2] + p[1] * m[6] + p[2] * m[10] + m[14]);
                if (n) {
                    nx += w * (n[0] * m[0] + n[1] * m[4] + n[2] * m[8]);
                    ny += w * (n[0] * m[1] + n[1] * m[5] + n[2] * m[9]);
                    nz += w * (n[0] * m[2] + n[1] * m[6] + n[2] * m[10]);
                }
            }
            float* out = skin->workPositions + v * 3;
            out[0] = px;
            out[1] = py;
            out[2] = pz;
            if (n && skin->workNormals) {
                float* on = skin->workNormals + v * 3;
                on[0] = nx;
                on[1] = ny;
                on[2] = nz;
            }
        }
    }
}

// ---- documents -------------------------------------------------------------

int SkCharacter::LoadFromFile(const char* path) { return LoadFromFile(path, g_skLibrary); }

static int LoadDocument(SkCharacter& c, TiXmlDocument& doc, const SkLibrary& library) {
    TiXmlElement* root = doc.RootElement();
    if (!root || std::strcmp(root->Value(), "character") != 0) return SK_OK;
    c.SetName(root->Attribute("name"));
    for (TiXmlElement* e = root->FirstChildElement(); e; e = e->NextSiblingElement()) {
        const char* tag = e->Value();
        if (std::strcmp(tag, "skeleton") == 0) {
            c.SetSkeleton(static_cast<Skeleton*>(library.Find(SK_SKELETON, e->Attribute("name"))));
        } else if (std::strcmp(tag, "skins") == 0) {
            for (int s = 0; s < kSkSlotCount; ++s) {
                TiXmlElement* slot = e->FirstChildElement(kSkSlotNames[s]);
                if (!slot) continue;
                c.slots[s].skin = static_cast<Skin*>(library.Find(SK_SKIN, slot->Attribute("skin")));
                const char* colour = slot->Attribute("color");
                if (colour) {
                    float v[4];
                    int n = std::sscanf(colour, "%f %f %f %f", &v[0], &v[1], &v[2], &v[3]);
                    for (int i = 0; i < n && i < 4; ++i) c.slots[s].colour[i] = v[i];
                }
            }
        } else if (std::strcmp(tag, "animation") == 0) {
            c.Play(static_cast<SkAnimation*>(library.Find(SK_ANIMATION, e->Attribute("name"))), 1, -1.0f, 0.2f);
        }
    }
    return SK_OK;
}

// The XML parser steps over a whole multi-byte character at a time: a text
// cut inside one must not carry it past the end, so every document is
// parsed from a copy that ends in several zero bytes.
static const size_t kXmlTerminator = 4;

int SkCharacter::LoadFromFile(const char* path, const SkLibrary& library) {
    FILE* f = path ? std::fopen(path, "rb") : nullptr;
    if (!f) return SK_ERR_MALFORMED;
    std::vector<char> text;
    char chunk[4096];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof(chunk), f)) > 0) text.insert(text.end(), chunk, chunk + n);
    bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) return SK_ERR_MALFORMED;
    text.resize(text.size() + kXmlTerminator, 0);
    TiXmlDocument doc;
    doc.Parse(text.data());
    if (doc.Error()) return SK_ERR_MALFORMED;
    return LoadDocument(*this, doc, library);
}

int SkCharacter::LoadXml(const char* text, const SkLibrary& library) {
    std::vector<char> copy(text ? text : "", text ? text + std::strlen(text) : "");
    copy.resize(copy.size() + kXmlTerminator, 0);
    TiXmlDocument doc;
    doc.Parse(copy.data());
    if (doc.Error()) return SK_ERR_MALFORMED;
    return LoadDocument(*this, doc, library);
}

char* SkCharacter::SaveXml() const {
    TiXmlDocument doc;
    TiXmlElement* root = new TiXmlElement("character");
    if (name) root->SetAttribute("name", name);
    doc.LinkEndChild(root);
    if (skeleton && skeleton->GetName()) {
        TiXmlElement* e = new TiXmlElement("skeleton");
        e->SetAttribute("name", skeleton->GetName());
        root->LinkEndChild(e);
    }
    TiXmlElement* skins = new TiXmlElement("skins");
    root->LinkEndChild(skins);
    for (int s = 0; s < kSkSlotCount; ++s) {
        if (!slots[s].skin || !slots[s].skin->GetName()) continue;
        TiXmlElement* e = new TiXmlElement(kSkSlotNames[s]);
        e->SetAttribute("skin", slots[s].skin->GetName());
        char colour[128];
        std::snprintf(colour, sizeof(colour), "%f %f %f %f", slots[s].colour[0], slots[s].colour[1],
                      slots[s].colour[2], slots[s].colour[3]);
        e->SetAttribute("color", colour);
        skins->LinkEndChild(e);
    }
    if (animation && animation->GetName()) {
        TiXmlElement* e = new TiXmlElement("animation");
        e->SetAttribute("name", animation->GetName());
        root->LinkEndChild(e);
    }
    TiXmlPrinter printer;
    doc.Accept(&printer);
    size_t n = printer.Size();
    char* text = new (std::nothrow) char[n + 1];
    if (!text) return nullptr;
    std::memcpy(text, printer.CStr(), n);
    text[n] = '\0';
    return text;
}

int SkCharacter::WriteBody(FILE* file) {
    char* text = SaveXml();
    if (!text) return SK_ERR_MEMORY;
    size_t n = std::strlen(text);
    bool ok = std::fwrite(text, 1, n, file) == n;
    delete[] text;
    return ok ? SK_OK : SK_ERR_CREATE;
}

int SkCharacter::WriteRecord(FILE* file) { return WriteBody(file); }

int SkCharacter::ReadBody(FILE* file) {
    TiXmlDocument doc;
    if (!doc.LoadFile(file)) return SK_ERR_MALFORMED;
    return LoadDocument(*this, doc, g_skLibrary);
}
