// Sprite sheets and packs of the Lite edition, shared by the tools that
// bake its pictures (qvsprite, qvcharacter's avatars): frames trimmed to
// their pixels, laid out on a sheet, and written as a model pack of one
// part "body" whose clips hold one quad a frame.
#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "image_io.h"

const float kSpritePixelsPerUnit = 300.0f;  // 600 screen pixels for the view's 2 units

struct PixelRect {
    int x0, y0, x1, y1;  // x1, y1 past the last column and row
    int W() const { return x1 - x0; }
    int H() const { return y1 - y0; }
};

// The rectangle that holds every pixel with some alpha (1 x 1 at the
// top-left corner when none has).
PixelRect TrimToAlpha(const RgbaImage& f);

// A frame's place: its rectangle on the picture it was drawn on, and on the
// sheet; key tells frames alike apart (their pixels and place).
struct SheetCell {
    PixelRect source;
    int x = 0, y = 0;
    std::vector<unsigned char> key;
};

// The cell of a trimmed frame, keyed by its pixels and its place.
SheetCell TrimmedCell(const RgbaImage& f);

// The index of the cell alike c in cells (same pixels, same place), c
// added at the end when there is none.
size_t FindOrAddCell(std::vector<SheetCell>& cells, SheetCell c);

// Shelves of cells, a clear pixel around each, in their order; the width of
// 256, 512, 1024 and 2048 that needs the least memory once the sheet is
// padded to powers of two (then the least without padding). width and
// height become the sheet's size.
void LayoutShelves(std::vector<SheetCell>& cells, int& width, int& height);

// The sheet of width x height pixels with each cell copied from its
// picture (pictureOf(k) for cell k).
RgbaImage PaintSheet(const std::vector<SheetCell>& cells, int width, int height,
                     const std::function<const RgbaImage&(size_t)>& pictureOf);

// Little-endian pack bytes.
struct PackBytes {
    std::vector<unsigned char> b;
    void U16(unsigned v);
    void U32(unsigned v);
    void F32(float f);
    void Bytes(const std::string& s) { b.insert(b.end(), s.begin(), s.end()); }
    // 64 bytes: the name, zeros, and last as the 64th byte.
    void Name(const std::string& s, char last = 0);
};

struct SpriteClip {
    std::string name;
    std::vector<const SheetCell*> frames;
};

// The pack: part "body" with the box around every frame, the clips in
// order, each frame one quad of its own size placed where it lies on the
// picture it was drawn on, whose pixel (originX, originY) is the model's
// origin, textured by its cell of a sheetW x sheetH sheet; one neutral key
// of each kind a clip.
std::vector<unsigned char> WriteSpritePack(const std::vector<SpriteClip>& clips, float originX, float originY,
                                           int sheetW, int sheetH);

// A frame mesh of a model pack as triangles: for each corner its position
// (x, y, z) and texture coordinates (u, v).
struct PackTriangles {
    std::vector<float> xyz, uv;
    size_t Corners() const { return uv.size() / 2; }
};

// The first frame of the first clip of the pack's part, with the clips'
// names and frame counts; false with the reason in error when the pack has
// no such part or is damaged.
struct PackSummary {
    bool box = false;
    std::vector<std::pair<std::string, unsigned>> clips;  // name, frame count
    // Every frame's texture rectangle: u0, v0, u1, v1, clip by clip.
    std::vector<std::vector<float>> rects;
};
bool ReadPackPart(const std::vector<unsigned char>& bytes, const std::string& part, PackTriangles& first,
                  PackSummary& summary, std::string& error);
