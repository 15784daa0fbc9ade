// A placed, animated use of a cached model and texture: what the GUI
// controls and game objects draw.
#pragma once
#include "math3d.h"

struct Model;
struct ModelClip;
struct Texture;
struct TextBlock;
struct Font;
struct TextLayout;

// Play modes of PlayAnimation.
enum PlayMode {
    PLAY_STILL = 0,      // show frame 0, finished at once
    PLAY_ONCE = 1,       // to the last frame, then finished
    PLAY_ONCE_GONE = 2,  // once, then no clip (nothing drawn)
    PLAY_ONCE_KEEP = 3,  // once, then the last keys are folded into the instance
    PLAY_LOOP = 4,
    PLAY_BACKWARDS = 5   // from the last frame down to frame 0
};

// Results of Advance (and of Draw, which advances).
enum AdvanceResult {
    ADVANCE_NONE = 0,           // nothing drawn (Draw without a clip)
    ADVANCE_LEFT_FIRST = 1,     // stepped off the first frame
    ADVANCE_ENDED = 2,          // reached its end, or already finished
    ADVANCE_NOT_DUE = 3,        // nothing to do this time
    ADVANCE_STEPPED = 4
};

// What the destructor gives back.
enum ModelOwnership {
    OWN_NOTHING = 0,
    OWN_MODEL_REF = 1,             // the model, to the cache
    OWN_MODEL_AND_TEXTURE_REF = 2, // model and texture, to the cache
    OWN_MODEL = 3,                 // the model itself (not cached)
    OWN_MODEL_TEXTURE_REF = 4,     // the model itself and the texture to the cache
    OWN_SHARED_COPY = 5            // a copy (CopyFrom): the source's model and texture, nothing given back
};

// Draws a text block at (x, y, z) in the current frame. The font manager
// sets it; until then DrawWithText draws no text.
typedef void (*TextBlockDrawFunction)(TextBlock* block, float x, float y, float z, Font* font,
                                      TextLayout* layout);
extern TextBlockDrawFunction g_drawTextBlock;

class ModelInstance {
public:
    // Binds at once (see Bind); a failed bind leaves an instance that
    // draws as far as it got.
    ModelInstance(const char* modelFile, const char* part, const char* textureFile);
    ~ModelInstance();
    ModelInstance(const ModelInstance&) = delete;
    ModelInstance& operator=(const ModelInstance&) = delete;

    // Model and texture from the cache; false when either is missing.
    bool Bind(const char* modelFile, const char* part, const char* textureFile);

    // Each also moves the world box when the model has a box.
    void SetPosition(float x, float y, float z);
    void SetScale(float x, float y, float z);
    // A pivot of the instance's own (the default pivot is its position).
    void SetPivot(float x, float y, float z);

    // Strictly inside the world box in x and y. out, when given, gets the
    // point relative to the box (0..1 inside), also on a miss.
    bool HitTest(float x, float y, float z, Vector3* out = nullptr) const;

    void PlayAnimation(const char* clipName, int mode, float framesPerSecond);
    int Advance();

    // Makes this instance a copy of source that shares its model and
    // texture without references of its own (the source must outlive it):
    // place, scale, turn, box, clip and play mode are taken, the pivot is
    // its own; the copy stands finished on frame 0 until PlayAnimation
    // starts it. Whatever the instance held before is given back first; a
    // null source leaves an instance that draws nothing.
    void CopyFrom(const ModelInstance* source);
    // Changes the play mode of the current clip without restarting it:
    // still (0) is finished, once and loop (1 to 4) run to the last frame,
    // backwards (5) down to frame 0. Without a clip only the mode is kept.
    void SetPlayMode(int mode);
    // Frames a second; 0, a negative rate or not a number is the renderer's
    // default frame time.
    void SetSpeed(float framesPerSecond);
    // Shows the frame at fraction t (0..1) of the current clip, as far as
    // the play mode allows: still sets it as its end; once and loop only
    // up to their end frame, backwards only down to it; loop mode 4 never.
    // A t of 1 or more is taken as 0.99; below 0 (or not a number) as 0.
    // Nothing happens without a clip or with a clip of no frames.
    void SetFrameFraction(float t);
    int Draw();
    int DrawWithText(TextBlock* block, Font* font, TextLayout* layout);

    int ownership = OWN_MODEL_AND_TEXTURE_REF;
    Model* model = nullptr;
    Texture* texture = nullptr;
    Vector3 position = {0.0f, 0.0f, 0.0f};
    Vector3 scale = {1.0f, 1.0f, 1.0f};
    Rotation rotation = {0.0f, {0.0f, 0.0f, 0.0f}};
    Vector3* pivot;       // &position unless an own pivot was set
    float worldBox[6] = {0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f};
    ModelClip* clip = nullptr;
    int playMode = PLAY_STILL;
    bool finished = true;
    unsigned frame = 0;
    unsigned endFrame = 0;
    float accumulator = 0.0f;
    float frameDuration = 0.0f;
    unsigned lastSteppedFrame = 0;

private:
    void ReleaseBound();
    void UpdateWorldBox();
    void ComputeWorldBox(float* box) const;
    // Push, place, draw the clip frame; the caller pops.
    void DrawTransformed();
};
