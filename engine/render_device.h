// The few device operations behind textures and meshes. Decoding, caching
// and model reading are shared by every game library; each library links
// one implementation of these (in its own folder), which is the only code
// that touches its device.
#pragma once

struct Texture;

// Makes the device texture of texture->width x texture->height from the
// decoded pixels (rows top first, R G B [A], texture->bytesPerPixel a
// pixel) and stores its handle in texture->deviceTexture. The pixels stay
// with the caller. false when the device cannot take it (nothing is kept).
bool DeviceCreateTexture(Texture* texture);
// Gives the device texture back; nothing when there is none.
void DeviceReleaseTexture(Texture* texture);

// A vertex buffer holding floatCount floats copied from data; null on
// failure (no device, out of memory, floatCount 0).
void* DeviceCreateVertexBuffer(const float* data, unsigned floatCount);
void DeviceReleaseVertexBuffer(void* buffer);

// Mesh::Draw (model.h) is the last one: each device draws in its own way.
