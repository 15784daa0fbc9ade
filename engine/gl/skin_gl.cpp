// Skinned characters through OpenGL client arrays, straight from the skin's
// working arrays, with the depth handling of the character scenes.
//
// The triangles that face away are left out here rather than by the
// driver: a software driver transforms, assembles and sets up every
// triangle it is handed on the game's own thread, facing away or not, and
// about half of a character's triangles face away at any time. Judging a
// triangle here costs a few multiplications; handing it over costs tens of
// nanoseconds in such a driver.
#include <cstdint>
#include <vector>

#include "renderer.h"
#include "renderer_gl.h"
#include "sk_resource.h"
#include "skin_device.h"
#include "texture.h"

namespace {

std::vector<float> s_screen;     // x, y of each vertex in the view
std::vector<uint32_t> s_facing;  // the triangles drawn

// The triangles of the skin (its indices, or its vertices three by three)
// that the device would not cull as the renderer's cull mode stands: with
// back faces culled, those that turn counter-clockwise on screen (OpenGL's
// front faces); a mirrored copy shows both faces, so all of them. Indices
// past the vertices are left out with their triangle. Returns the count.
uint32_t FacingTriangles(const Skin* skin) {
    const uint32_t v = skin->vertexCount;
    const uint32_t n = skin->indices ? skin->indexCount - skin->indexCount % 3 : v - v % 3;
    const bool both = g_renderer.GetCullMode() == kCullCounterClockwise;
    s_facing.resize(n);
    uint32_t kept = 0;
    if (both) {
        for (uint32_t i = 0; i < n; i += 3) {
            uint32_t a = skin->indices ? skin->indices[i] : i, b = skin->indices ? skin->indices[i + 1] : i + 1,
                     c = skin->indices ? skin->indices[i + 2] : i + 2;
            if (a >= v || b >= v || c >= v) continue;
            s_facing[kept++] = a;
            s_facing[kept++] = b;
            s_facing[kept++] = c;
        }
        return kept;
    }
    // The orthographic view keeps the turn of x and y after the world matrix.
    const float* m = g_renderer.Top().m;
    s_screen.resize((size_t)v * 2);
    const float* p = skin->workPositions;
    float* out = s_screen.data();
    for (uint32_t i = 0; i < v; ++i, p += 3, out += 2) {
        out[0] = p[0] * m[0] + p[1] * m[4] + p[2] * m[8] + m[12];
        out[1] = p[0] * m[1] + p[1] * m[5] + p[2] * m[9] + m[13];
    }
    const float* xy = s_screen.data();
    for (uint32_t i = 0; i < n; i += 3) {
        uint32_t a = skin->indices ? skin->indices[i] : i, b = skin->indices ? skin->indices[i + 1] : i + 1,
                 c = skin->indices ? skin->indices[i + 2] : i + 2;
        if (a >= v || b >= v || c >= v) continue;
        const float* pa = xy + a * 2;
        const float* pb = xy + b * 2;
        const float* pc = xy + c * 2;
        float turn = (pb[0] - pa[0]) * (pc[1] - pa[1]) - (pc[0] - pa[0]) * (pb[1] - pa[1]);
        if (!(turn > 0.0f)) continue;
        s_facing[kept++] = a;
        s_facing[kept++] = b;
        s_facing[kept++] = c;
    }
    return kept;
}

} // namespace

void DeviceBeginDepthScene() {
    if (!GLContextCurrent()) return;
    // The mask also governs clearing: it must be on before the clear.
    glDepthMask(GL_TRUE);
    // Each avatar stands in a depth of its own: nothing of an earlier scene
    // (or frame) hides it.
    glClear(GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDisable(GL_ALPHA_TEST);
}

void DeviceRestoreAlphaTest() {
    if (GLContextCurrent()) glEnable(GL_ALPHA_TEST);
}

void DeviceEndDepthScene() {
    if (!GLContextCurrent()) return;
    // Without the test nothing is written to depth; the mask stays on so
    // the frame's clear reaches the depth buffer.
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_ALPHA_TEST);
}

void DeviceDrawSkin(const Skin* skin, Texture* texture) {
    if (!GLContextCurrent() || !skin || !skin->workPositions || skin->vertexCount < 3 || g_renderer.StackDepth() == 0)
        return;
    GLfloat current[4];
    glGetFloatv(GL_CURRENT_COLOR, current);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(g_renderer.Top().m);
    bool textured = texture && texture->deviceTexture;
    if (textured) glBindTexture(GL_TEXTURE_2D, (GLuint)(uintptr_t)texture->deviceTexture);
    else glDisable(GL_TEXTURE_2D);
    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    if (textured) glScalef(texture->uScale, texture->vScale, 1.0f);

    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, skin->workPositions);
    if (skin->workNormals) {
        glEnableClientState(GL_NORMAL_ARRAY);
        glNormalPointer(GL_FLOAT, 0, skin->workNormals);
    } else {
        glDisableClientState(GL_NORMAL_ARRAY);
    }
    if (skin->colours) {
        glEnableClientState(GL_COLOR_ARRAY);
        glColorPointer(4, GL_FLOAT, 0, skin->colours);
    } else {
        glDisableClientState(GL_COLOR_ARRAY);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    }
    if (skin->texCoords) {
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, 0, skin->texCoords);
    } else {
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
    glShadeModel(GL_SMOOTH);
    if (uint32_t n = FacingTriangles(skin)) glDrawElements(GL_TRIANGLES, (GLsizei)n, GL_UNSIGNED_INT, s_facing.data());

    // Leave nothing switched on that the flat GUI meshes do not expect.
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    if (!textured) glEnable(GL_TEXTURE_2D);
    glColor4fv(current);
}
