// Turned sprites: a model of the full edition drawn head-on (or leaning
// back) at a number of turns about its own axis, each turn one frame of a
// Lite sprite pack: the wheels as frame sequences, the things that ride on
// them, and pointers swinging on their hinges.
#pragma once
#include <string>
#include <vector>

#include "image_io.h"
#include "manifest_group.h"
#include "sprite_sheet.h"

struct TurnClip {
    std::string name;
    std::vector<float> turns;  // degrees clockwise, one a frame
};

struct TurnJob {
    std::string modelLabel, output, pack, image, sheetLabel, where;
    std::vector<TurnClip> clips;
    float at = 0;         // degrees clockwise added to every turn
    float scale = 1;      // pixels: model units x 300 x scale
    float tilt = 0;       // degrees the picture leans back about x, after turning
    bool fold = false;    // the image's slice foldFrom .. foldFrom + foldSpan squeezed into each foldInto
    float foldFrom = 0, foldSpan = 0, foldInto = 0;
    bool crop = false;    // only x0..x1, y0..y1 (view units about the origin, y up)
    float crop0x = 0, crop0y = 0, crop1x = 0, crop1y = 0;
    int jpegQuality = 0;  // 0: PNG with alpha, frames trimmed; else opaque JPEG frames of the whole crop
    unsigned char backdrop[3] = {0, 0, 0};
    double limitBytes = 0;  // the sheet's memory once loaded; 0: no limit
};

// Reads the words after "turn" on a list line; false with the reason.
bool ParseTurnJob(const std::vector<std::string>& words, const std::string& where, TurnJob& job, std::string& error);

// A frame mesh of the model, and the picture drawn at each turn of a job,
// all on one canvas: (originX, originY) is the pixel of the model's origin.
struct TurnCanvas {
    int x0 = 0, y0 = 0, w = 0, h = 0;  // pixels, x right, y up from the origin: x0 .. x0 + w, y0 .. y0 + h
    float OriginX() const { return (float)-x0; }
    float OriginY() const { return (float)(y0 + h); }
};
TurnCanvas CanvasFor(const PackTriangles& mesh, const TurnJob& job);
RgbaImage DrawTurn(const PackTriangles& mesh, const RgbaImage& texture, const TurnJob& job, const TurnCanvas& canvas,
                   float turn);
// The image with the slice of foldSpan degrees clockwise from foldFrom (of
// the top, about the image's middle) squeezed into every foldInto degrees.
RgbaImage FoldImage(const RgbaImage& image, float from, float span, float into);

// Draws, lays out, writes and checks one job's pack and sheet. Prints what
// it made; false with the reason in error.
bool BakeTurnJob(const TurnJob& job, const std::string& in, const std::string& outDir, ManifestGroupWriter& group,
                 std::string& error);

// The rotation checks run after every build of qvsprite; 0 when they pass.
int TurnSelfTest();
