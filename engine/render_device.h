// The few device operations behind textures and meshes. Decoding, caching
// and model reading are shared by every game library; each library links
// one implementation of these (in its own folder), which is the only code
// that touches its device.
#pragma once

struct Texture;

// How the device wants decoded images: the shared decoders lay the pixels
// out this way, so that no device copies or reorders a whole image again.
struct TextureLayout {
    bool powerOfTwo;  // padded to powers of two (the image top left, its
                      // edges repeated), else exactly the image's own size
    bool blueFirst;   // B G R [A] pixels, else R G B [A]
    bool keepPixels;  // the device draws from texture->pixels, which then
                      // stay with the texture until it is freed
};
TextureLayout DeviceTextureLayout();

// Makes the device texture of texture->width x texture->height from the
// decoded pixels (laid out as DeviceTextureLayout says, texture->
// bytesPerPixel a pixel) and stores its handle in texture->deviceTexture.
// The pixels stay with the caller. false when the device cannot take it
// (nothing is kept).
bool DeviceCreateTexture(Texture* texture);
// Gives the device texture back; nothing when there is none.
void DeviceReleaseTexture(Texture* texture);

// A vertex buffer holding floatCount floats copied from data; null on
// failure (no device, out of memory, floatCount 0).
void* DeviceCreateVertexBuffer(const float* data, unsigned floatCount);
void DeviceReleaseVertexBuffer(void* buffer);

// Mesh::Draw (model.h) is the last one: each device draws in its own way.
