// Texture upload to OpenGL: one level, kept in R G B [A] order, linear
// filtering, clamped at the edges.
#include <cstdint>

#include "render_device.h"
#include "renderer_gl.h"
#include "texture.h"

static bool PowerOfTwo(unsigned n) { return n && (n & (n - 1)) == 0; }

static GLuint NameOf(const Texture* t) { return (GLuint)(uintptr_t)t->deviceTexture; }

// OpenGL 1.2 takes power-of-two sides only; it copies the pixels.
TextureLayout DeviceTextureLayout() { return TextureLayout{true, false, false}; }

bool DeviceCreateTexture(Texture* t) {
    if (!t || !t->pixels || !GLContextCurrent()) return false;
    // OpenGL 1.2 takes only power-of-two sides; the decoder pads to them.
    if (!PowerOfTwo(t->width) || !PowerOfTwo(t->height)) return false;
    GLenum format;
    if (t->bytesPerPixel == 4 && t->pixelFormat == kTextureFormatARGB) format = GL_RGBA;
    else if (t->bytesPerPixel == 3 && t->pixelFormat == kTextureFormatXRGB) format = GL_RGB;
    else return false;
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    if (largest > 0 && (t->width > (unsigned)largest || t->height > (unsigned)largest)) return false;

    // Whatever an earlier call left in the error flags is not ours.
    for (int i = 0; i < 32 && glGetError() != GL_NO_ERROR; ++i) {
    }
    GLuint name = 0;
    glGenTextures(1, &name);
    if (name == 0) return false;
    glBindTexture(GL_TEXTURE_2D, name);
    // Rows are packed tight: a narrow RGB image has rows of 3 or 6 bytes,
    // which the default 4-byte row alignment would read skewed and past the
    // end of the pixels.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, (GLsizei)t->width, (GLsizei)t->height, 0, format, GL_UNSIGNED_BYTE,
                 t->pixels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    // A texture the driver could not take (out of memory) must not pass
    // for loaded: it would draw as nothing, or as white.
    if (glGetError() != GL_NO_ERROR) {
        glDeleteTextures(1, &name);
        glBindTexture(GL_TEXTURE_2D, 0);
        return false;
    }
    t->deviceTexture = (void*)(uintptr_t)name;
    return true;
}

void DeviceReleaseTexture(Texture* t) {
    if (!t || !t->deviceTexture) return;
    // Once the context is gone its textures went with it.
    if (GLContextCurrent()) {
        GLuint name = NameOf(t);
        glDeleteTextures(1, &name);
    }
    t->deviceTexture = nullptr;
}
