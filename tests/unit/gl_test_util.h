// Reading back what the OpenGL device drew, for the device tests.
#pragma once
#include <GL/gl.h>

#include <functional>
#include <vector>

#include "device_test_util.h"

// The back buffer after draw(), as RGBA bytes in OpenGL's bottom-up rows.
struct GLPicture {
    std::vector<unsigned char> rgba;
    unsigned w = 0, h = 0;
    // The colour (0xRRGGBB) under a point in view units.
    unsigned At(float x, float y) const {
        int px = (int)((x / kTestView.x + 0.5f) * w);
        int py = (int)((0.5f - y / kTestView.y) * h);
        const unsigned char* p = &rgba[((size_t)(h - 1 - py) * w + px) * 4];
        return ((unsigned)p[0] << 16) | ((unsigned)p[1] << 8) | p[2];
    }
};

// Clears a width x height viewport (the depth buffer too when asked), runs
// draw() and reads the back buffer.
inline GLPicture RenderGL(const std::function<void()>& draw, unsigned width, unsigned height,
                          bool clearDepth = true) {
    GLPicture pic;
    glViewport(0, 0, width, height);
    glClear(GL_COLOR_BUFFER_BIT | (clearDepth ? GL_DEPTH_BUFFER_BIT : 0));
    draw();
    glFinish();
    pic.w = width;
    pic.h = height;
    pic.rgba.resize((size_t)width * height * 4);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pic.rgba.data());
    return pic;
}
