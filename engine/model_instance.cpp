#include "model_instance.h"

#include <new>

#include "model.h"
#include "renderer.h"
#include "resource_manager.h"
#include "texture.h"

TextBlockDrawFunction g_drawTextBlock = nullptr;

static float Quotient(float value, float divisor) { return divisor == 0.0f ? 0.0f : value / divisor; }

ModelInstance::ModelInstance(const char* modelFile, const char* part, const char* textureFile)
    : pivot(&position) {
    Bind(modelFile, part, textureFile);
}

ModelInstance::~ModelInstance() {
    if (pivot != &position) delete pivot;
    ReleaseBound();
}

void ModelInstance::ReleaseBound() {
    switch (ownership) {
    case OWN_MODEL_REF:
        g_resourceManager.Release(model);
        break;
    case OWN_MODEL_AND_TEXTURE_REF:
        g_resourceManager.Release(model);
        g_resourceManager.Release(texture);
        break;
    case OWN_MODEL:
        g_resourceManager.Free(model);
        break;
    case OWN_MODEL_TEXTURE_REF:
        g_resourceManager.Release(texture);
        g_resourceManager.Free(model);
        break;
    default:
        break;
    }
    model = nullptr;
    texture = nullptr;
    ownership = OWN_NOTHING;
}

bool ModelInstance::Bind(const char* modelFile, const char* part, const char* textureFile) {
    // A second bind gives back what the first one took.
    ReleaseBound();
    clip = nullptr;
    finished = true;
    for (float& f : worldBox) f = 0.0f;
    model = g_resourceManager.GetModel(modelFile, part);
    if (!model) {
        ownership = OWN_NOTHING;
        return false;
    }
    texture = g_resourceManager.GetTexture(textureFile);
    if (!texture) {
        ownership = OWN_MODEL_REF;
        return false;
    }
    ownership = OWN_MODEL_AND_TEXTURE_REF;
    if (model->box)
        for (int i = 0; i < 6; ++i) worldBox[i] = model->box[i];
    return true;
}

void ModelInstance::UpdateWorldBox() { ComputeWorldBox(worldBox); }

void ModelInstance::ComputeWorldBox(float* box) const {
    if (!model || !model->box) return;
    const float p[3] = {position.x, position.y, position.z};
    // A device that draws 1:1 never scales what it draws: the box keeps
    // the drawn size (the picture's size at the client size), so that a
    // swelling button never answers outside its picture. It always starts
    // from the bound box: no placement drifts it.
    const bool drawnScaled = !g_renderer.DrawsOneToOne();
    const Vector3 picture = drawnScaled ? Vector3{1.0f, 1.0f, 1.0f} : g_renderer.PictureBoxScale();
    const float s[3] = {drawnScaled ? scale.x : picture.x, drawnScaled ? scale.y : picture.y,
                        drawnScaled ? scale.z : picture.z};
    for (int i = 0; i < 3; ++i) {
        float a = p[i] + s[i] * model->box[i];
        float b = p[i] + s[i] * model->box[i + 3];
        // A mirroring scale must not turn the box inside out.
        box[i] = a < b ? a : b;
        box[i + 3] = a < b ? b : a;
    }
}

void ModelInstance::SetPosition(float x, float y, float z) {
    position = Vector3{x, y, z};
    UpdateWorldBox();
}

void ModelInstance::SetScale(float x, float y, float z) {
    scale = Vector3{x, y, z};
    UpdateWorldBox();
}

void ModelInstance::SetPivot(float x, float y, float z) {
    if (pivot == &position) {
        pivot = new (std::nothrow) Vector3;
        if (!pivot) {
            pivot = &position;
            return;
        }
    }
    *pivot = Vector3{x, y, z};
}

bool ModelInstance::HitTest(float x, float y, float z, Vector3* out) const {
    Vector3 p = {x, y, z};
    if (!model || !model->box)
        p = Vector3{x - position.x, y - position.y, z - position.z}.Divide(scale.x, scale.y, scale.z);
    // Drawn 1:1, a picture's size follows the client size: its box too.
    float current[6];
    const float* box = worldBox;
    if (model && model->box && g_renderer.DrawsOneToOne()) {
        for (int i = 0; i < 6; ++i) current[i] = worldBox[i];
        ComputeWorldBox(current);
        box = current;
    }
    if (out)
        *out = Vector3{p.x - box[0], p.y - box[1], p.z - box[2]}.Divide(box[3] - box[0], box[4] - box[1],
                                                                       box[5] - box[2]);
    return box[0] < p.x && p.x < box[3] && box[1] < p.y && p.y < box[4];
}

void ModelInstance::PlayAnimation(const char* clipName, int mode, float framesPerSecond) {
    if (!clipName || !model) {
        clip = nullptr;
        finished = true;
        return;
    }
    ModelClip* found = model->FindClip(clipName);
    if (!found) {
        finished = true;
        return;
    }
    clip = found;
    playMode = mode;
    finished = false;
    accumulator = 0.0f;
    frameDuration = framesPerSecond == 0.0f ? g_renderer.defaultFrameTime : 1.0f / framesPerSecond;
    lastSteppedFrame = g_renderer.frameCounter - 1;  // may step in this very frame
    unsigned last = clip->frameCount ? clip->frameCount - 1 : 0;
    if (mode <= PLAY_STILL) {
        frame = 0;
        endFrame = 0;
        finished = true;
    } else if (mode == PLAY_BACKWARDS) {
        frame = last;
        endFrame = 0;
    } else {
        frame = 0;
        endFrame = last;
    }
}

void ModelInstance::CopyFrom(const ModelInstance* source) {
    if (source == this) return;
    ReleaseBound();
    if (pivot != &position) delete pivot;
    pivot = &position;
    clip = nullptr;
    frame = 0;
    endFrame = 0;
    finished = true;
    if (!source) return;
    ownership = OWN_SHARED_COPY;
    model = source->model;
    texture = source->texture;
    position = source->position;
    scale = source->scale;
    rotation = source->rotation;
    for (int i = 0; i < 6; ++i) worldBox[i] = source->worldBox[i];
    clip = source->clip;
    playMode = source->playMode;
    if (source->pivot && source->pivot != &source->position) SetPivot(source->pivot->x, source->pivot->y, source->pivot->z);
}

void ModelInstance::SetPlayMode(int mode) {
    playMode = mode;
    if (!clip) return;
    const unsigned last = clip->frameCount ? clip->frameCount - 1 : 0;
    if (mode == PLAY_STILL) {
        finished = true;
    } else if (mode >= PLAY_ONCE && mode <= PLAY_LOOP) {
        finished = false;
        endFrame = last;
    } else if (mode == PLAY_BACKWARDS) {
        finished = false;
        endFrame = 0;
    }
}

void ModelInstance::SetSpeed(float framesPerSecond) {
    frameDuration = framesPerSecond > 0.0f ? 1.0f / framesPerSecond : g_renderer.defaultFrameTime;
}

void ModelInstance::SetFrameFraction(float t) {
    if (!clip || clip->frameCount == 0) return;
    if (!(t >= 0.0f)) t = 0.0f;
    if (t >= 1.0f) t = 0.99f;
    unsigned f = (unsigned)((float)clip->frameCount * (t + 1e-6f));
    if (f >= clip->frameCount) f = clip->frameCount - 1;
    switch (playMode) {
    case PLAY_STILL:
        frame = endFrame = f;
        break;
    case PLAY_ONCE:
    case PLAY_ONCE_GONE:
    case PLAY_ONCE_KEEP:
        if (endFrame >= f) {
            finished = false;
            frame = f;
        }
        break;
    case PLAY_LOOP: break;
    case PLAY_BACKWARDS:
        if (endFrame <= f) {
            finished = false;
            frame = f;
        }
        break;
    default:
        finished = false;
        frame = f;
        break;
    }
}

int ModelInstance::Advance() {
    if (playMode <= PLAY_STILL) return ADVANCE_NOT_DUE;
    if (finished || !clip) return ADVANCE_ENDED;
    if (lastSteppedFrame == g_renderer.frameCounter) return ADVANCE_NOT_DUE;
    lastSteppedFrame = g_renderer.frameCounter;
    accumulator += g_renderer.frameTime;
    if (accumulator < frameDuration) return ADVANCE_NOT_DUE;
    accumulator = 0.0f;  // the rest is not carried over

    unsigned old = frame;
    switch (playMode) {
    case PLAY_ONCE:
        if (frame == endFrame) {
            finished = true;
            return ADVANCE_ENDED;
        }
        break;
    case PLAY_ONCE_GONE:
        if (frame == endFrame) {
            finished = true;
            clip = nullptr;
            return ADVANCE_ENDED;
        }
        break;
    case PLAY_ONCE_KEEP:
        if (frame == endFrame) {
            finished = true;
            frame = 0;
            if (clip->positionKeyCount > 1) {
                const Vector3& k = clip->positionKeys[clip->positionKeyCount - 1];
                position.Add(k.x, k.y, k.z);
            }
            if (clip->scaleKeyCount > 1) {
                const Vector3& k = clip->scaleKeys[clip->scaleKeyCount - 1];
                scale.Multiply(k.x, k.y, k.z);
            }
            if (clip->rotationKeyCount > 1) {
                const Rotation& k = clip->rotationKeys[clip->rotationKeyCount - 1];
                rotation.Rotate(k.angle, k.axis.x, k.axis.y, k.axis.z);
            }
            // The hit box follows where the clip left the instance.
            UpdateWorldBox();
            return ADVANCE_ENDED;
        }
        break;
    case PLAY_LOOP:
        if (frame == endFrame) {
            frame = 0;
            return ADVANCE_ENDED;
        }
        break;
    case PLAY_BACKWARDS: {
        if (frame == 0) {
            finished = true;
            return ADVANCE_ENDED;
        }
        --frame;
        unsigned last = clip->frameCount ? clip->frameCount - 1 : 0;
        return old == last ? ADVANCE_LEFT_FIRST : ADVANCE_STEPPED;
    }
    default:
        return ADVANCE_STEPPED;
    }
    ++frame;
    return old == 0 ? ADVANCE_LEFT_FIRST : ADVANCE_STEPPED;
}

void ModelInstance::DrawTransformed() {
    g_renderer.PushMatrix();
    g_renderer.Translate(position.x, position.y, position.z);
    g_renderer.Rotate(rotation.angle, rotation.axis.x, rotation.axis.y, rotation.axis.z);
    g_renderer.Scale(scale.x, scale.y, scale.z);
    if (clip) {
        // DrawFrame turns and scales about the negated point it is given,
        // so (position - pivot) / scale makes the key act about the pivot's
        // world place.
        const Vector3& p = *pivot;
        clip->DrawFrame(frame, texture, Quotient(position.x - p.x, scale.x), Quotient(position.y - p.y, scale.y),
                        Quotient(position.z - p.z, scale.z));
    }
}

int ModelInstance::Draw() {
    if (!clip) return ADVANCE_NONE;
    DrawTransformed();
    g_renderer.PopMatrix();
    return Advance();
}

int ModelInstance::DrawWithText(TextBlock* block, Font* font, TextLayout* layout) {
    if (!block) return ADVANCE_NONE;
    DrawTransformed();
    if (g_drawTextBlock) g_drawTextBlock(block, 0.0f, 0.0f, 0.0f, font, layout);
    g_renderer.PopMatrix();
    return Advance();
}
