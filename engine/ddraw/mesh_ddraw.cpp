// Meshes in the Lite edition are sprites: each quad of a mesh (four vertices
// of a glyph, six of two triangles) names a rectangle of its texture by its
// texture coordinates and a place on screen by its positions on the top
// matrix. The rectangle is copied 1:1 by the blitter, its centre where the
// matrix's translation puts the quad's own centre: nothing is rotated or
// scaled, and a scale does not move a quad's place either (a button's caps
// stay on its middle while it swells). A quad scaled to nothing is not drawn
// (hidden parts of the full edition), and a matrix that turns y upside down
// draws the rectangle mirrored (the reflections of the full edition).
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "model.h"
#include "render_device.h"
#include "renderer.h"
#include "renderer_ddraw.h"
#include "texture.h"

namespace {

struct VertexArray {
    unsigned floatCount;
    unsigned reserved[3];
    const float* Data() const { return reinterpret_cast<const float*>(this + 1); }
    float* Data() { return reinterpret_cast<float*>(this + 1); }
};

float Clamp01(float v) { return v > 0.0f ? (v < 1.0f ? v : 1.0f) : 0.0f; }  // NaN gives 0

// The 565 copy of an image, made once for 16-bit surfaces.
void Ensure565(LiteImage* image) {
    if (image->pixels565) return;
    const size_t count = (size_t)image->image.width * image->image.height;
    image->pixels565 = static_cast<uint16_t*>(std::malloc(count * 2));
    if (!image->pixels565) return;  // the blitter converts as it goes
    if (const uint32_t* words = image->image.pixels) {
        for (size_t i = 0; i < count; ++i) image->pixels565[i] = To565(words[i]);
    } else {
        const unsigned char* p = image->image.pixels24;
        for (size_t i = 0; i < count; ++i, p += 3)
            image->pixels565[i] = (uint16_t)((p[2] >> 3) << 11 | (p[1] >> 2) << 5 | p[0] >> 3);
    }
    image->image.pixels565 = image->pixels565;
}

// The vertices first .. first + n - 1 as one sprite.
void DrawSprite(const RendererDevice& d, const LiteImage& image, const Texture& t, const float* xyz, const float* uv,
                unsigned first, unsigned n) {
    const float* m = g_renderer.Top().m;
    float x0 = 1e30f, x1 = -1e30f, y0 = 1e30f, y1 = -1e30f;  // on screen
    float lx0 = 1e30f, lx1 = -1e30f, ly0 = 1e30f, ly1 = -1e30f;  // the quad's own
    float u0 = 1.0f, u1 = 0.0f, v0 = 1.0f, v1 = 0.0f;
    for (unsigned i = first; i < first + n; ++i) {
        const float* p = xyz + i * 3;
        float x = p[0] * m[0] + p[1] * m[4] + p[2] * m[8] + m[12];
        float y = p[0] * m[1] + p[1] * m[5] + p[2] * m[9] + m[13];
        if (x < x0) x0 = x;
        if (x > x1) x1 = x;
        if (y < y0) y0 = y;
        if (y > y1) y1 = y;
        if (p[0] < lx0) lx0 = p[0];
        if (p[0] > lx1) lx1 = p[0];
        if (p[1] < ly0) ly0 = p[1];
        if (p[1] > ly1) ly1 = p[1];
        float u = Clamp01(uv[i * 2]), v = Clamp01(uv[i * 2 + 1]);
        if (u < u0) u0 = u;
        if (u > u1) u1 = u;
        if (v < v0) v0 = v;
        if (v > v1) v1 = v;
    }
    if (!(x1 >= x0) || !(y1 >= y0) || u1 <= u0 || v1 <= v0) return;
    // The rectangle in image pixels (the texture coordinates span the image).
    const int sx = (int)(u0 * t.imageWidth + 1e-3f), sy = (int)(v0 * t.imageHeight + 1e-3f);
    const int w = (int)(u1 * t.imageWidth + 1e-3f) - sx, h = (int)(v1 * t.imageHeight + 1e-3f) - sy;
    if (w <= 0 || h <= 0) return;
    // Its centre on screen, in pixels.
    const float W = (float)d.surface.width, H = (float)d.surface.height;
    const Vector3& view = g_renderer.viewSize;
    if (!(view.x > 0.0f) || !(view.y > 0.0f)) return;
    // Scaled to (almost) nothing on screen: hidden.
    if ((x1 - x0) * W / view.x < 0.5f || (y1 - y0) * H / view.y < 0.5f) return;
    const bool mirrored = m[5] < 0.0f;
    const float centreX = m[12] + (lx0 + lx1) * 0.5f;
    const float centreY = m[13] + (mirrored ? -1.0f : 1.0f) * (ly0 + ly1) * 0.5f;
    const float cx = W / view.x * centreX + W * 0.5f;
    const float cy = H * 0.5f - H / view.y * centreY;
    const float left = std::floor(cx - w * 0.5f + 0.5f), top = std::floor(cy - h * 0.5f + 0.5f);
    if (!(left > -1e6f && left < 1e6f && top > -1e6f && top < 1e6f)) return;
    BlitRegion(d.surface, (int)left, (int)top, image.image, sx, sy, w, h, mirrored != g_renderer.mirrorRows);
}

} // namespace

void* DeviceCreateVertexBuffer(const float* data, unsigned floatCount) {
    if (!data || floatCount == 0 || floatCount > 0x3FFFFFFFu) return nullptr;
    size_t bytes = (size_t)floatCount * sizeof(float);
    VertexArray* array = static_cast<VertexArray*>(std::malloc(sizeof(VertexArray) + bytes));
    if (!array) return nullptr;
    std::memset(array, 0, sizeof(VertexArray));
    array->floatCount = floatCount;
    std::memcpy(array->Data(), data, bytes);
    return array;
}

void DeviceReleaseVertexBuffer(void* buffer) { std::free(buffer); }

void Mesh::Draw(Texture* texture) const {
    Texture* t = texture ? texture : defaultTexture;
    RendererDevice* d = GetDDrawState();
    if (!t || !t->deviceTexture || !d || !d->surface.pixels || !(d->globalAlpha > 0.0f)) return;
    if (!positionBuffer || !texCoordBuffer || vertexCount == 0 || g_renderer.StackDepth() == 0) return;
    const VertexArray* pos = static_cast<const VertexArray*>(positionBuffer);
    const VertexArray* uv = static_cast<const VertexArray*>(texCoordBuffer);
    unsigned count = vertexCount;
    if (count > pos->floatCount / 3) count = pos->floatCount / 3;
    if (count > uv->floatCount / 2) count = uv->floatCount / 2;
    LiteImage* image = static_cast<LiteImage*>(t->deviceTexture);
    if (d->surface.bytesPerPixel == 2) Ensure565(image);
    // Quads: each four vertices; triangle lists: each two triangles, or the
    // whole mesh when it is not made of such pairs.
    const unsigned step = primitiveMode == kMeshQuads ? 4 : (count % 6 == 0 ? 6 : count);
    if (primitiveMode != kMeshQuads && primitiveMode != kMeshTriangleList) return;
    for (unsigned first = 0; step > 0 && first + step <= count; first += step)
        DrawSprite(*d, *image, *t, pos->Data(), uv->Data(), first, step);
}
