// The 2D edition has no skinned characters: its avatars are sprite
// animations of their own. The shared avatar control still links against
// these operations, and draws nothing through them here.
#include "skin_device.h"

void DeviceBeginDepthScene() {}
void DeviceRestoreAlphaTest() {}
void DeviceEndDepthScene() {}
void DeviceDrawSkin(const Skin*, Texture*) {}
