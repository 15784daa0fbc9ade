// The device operations of the skinned characters. Each game library links
// one implementation (in its device folder), as with render_device.h.
#pragma once

class Skin;
struct Texture;

// A scene with depth of its own drawn over the flat GUI: clears the depth
// buffer, tests less-or-equal with depth writes on, and turns the alpha
// test off.
void DeviceBeginDepthScene();
// The alpha test back on (the GUI's own setting) inside the scene.
void DeviceRestoreAlphaTest();
// Depth test and depth writes off again; the alpha test stays on.
void DeviceEndDepthScene();

// Draws the skin's skinned positions as an indexed triangle list on the top
// of the renderer's matrix stack, with its texture coordinates and vertex
// colours (when it has them) and the texture (none: the colours alone).
void DeviceDrawSkin(const Skin* skin, Texture* texture);
