// Mesh vertex arrays and drawing through OpenGL client arrays. The arrays
// are plain memory that remembers its own length, so a draw never reads
// past either of them whatever the mesh's vertex count says.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "model.h"
#include "render_device.h"
#include "renderer.h"
#include "renderer_gl.h"
#include "texture.h"

namespace {

// The array's header; the floats follow it, 16-byte aligned.
struct VertexArray {
    unsigned floatCount;
    unsigned reserved[3];

    const float* Data() const { return reinterpret_cast<const float*>(this + 1); }
    float* Data() { return reinterpret_cast<float*>(this + 1); }
};
static_assert(sizeof(VertexArray) == 16, "the floats start 16 bytes in");

unsigned FloatsOf(const void* buffer) { return static_cast<const VertexArray*>(buffer)->floatCount; }

const float* DataOf(const void* buffer) { return static_cast<const VertexArray*>(buffer)->Data(); }

} // namespace

void* DeviceCreateVertexBuffer(const float* data, unsigned floatCount) {
    if (!data || floatCount == 0 || floatCount > 0x3FFFFFFFu) return nullptr;
    size_t bytes = (size_t)floatCount * sizeof(float);
    if (bytes > SIZE_MAX - sizeof(VertexArray)) return nullptr;
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
    if (!t || !t->deviceTexture || !GLContextCurrent()) return;
    if (!positionBuffer || !texCoordBuffer || vertexCount == 0 || g_renderer.StackDepth() == 0) return;

    unsigned count = vertexCount;
    if (count > FloatsOf(positionBuffer) / 3) count = FloatsOf(positionBuffer) / 3;
    if (count > FloatsOf(texCoordBuffer) / 2) count = FloatsOf(texCoordBuffer) / 2;
    // Only whole primitives.
    if (primitiveMode == kMeshTriangleList) count -= count % 3;
    else if (primitiveMode == kMeshQuads) count -= count % 4;
    else return;
    if (count == 0) return;

    glBindTexture(GL_TEXTURE_2D, (GLuint)(uintptr_t)t->deviceTexture);
    glMatrixMode(GL_MODELVIEW);
    // Row-major with the translation in the last row is OpenGL's
    // column-major layout: the sixteen floats go in as they lie.
    glLoadMatrixf(g_renderer.Top().m);
    // Only the image's part of the padded texture is addressed.
    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glScalef(t->uScale, t->vScale, 1.0f);

    // One colour for every vertex: the current colour (the global alpha).
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, 0, DataOf(texCoordBuffer));
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, DataOf(positionBuffer));
    if (primitiveMode == kMeshTriangleList) {
        glDrawArrays(GL_TRIANGLES, 0, (GLsizei)count);
    } else {
        // Each four vertices a fan of two triangles, as the glyphs are laid out.
        for (unsigned start = 0; start < count; start += 4) glDrawArrays(GL_TRIANGLE_FAN, (GLint)start, 4);
    }

    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}
