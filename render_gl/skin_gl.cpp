// Skinned characters through OpenGL client arrays, straight from the skin's
// working arrays, with the depth handling of the character scenes.
#include <cstdint>

#include "renderer.h"
#include "renderer_gl.h"
#include "sk_resource.h"
#include "skin_device.h"
#include "texture.h"

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
    if (skin->indices) {
        uint32_t n = skin->indexCount - skin->indexCount % 3;
        if (n) glDrawElements(GL_TRIANGLES, (GLsizei)n, GL_UNSIGNED_INT, skin->indices);
    } else {
        glDrawArrays(GL_TRIANGLES, 0, (GLsizei)(skin->vertexCount - skin->vertexCount % 3));
    }

    // Leave nothing switched on that the flat GUI meshes do not expect.
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    if (!textured) glEnable(GL_TEXTURE_2D);
    glColor4fv(current);
}
