// PNG and JPEG through the texture loaders: any bytes as an image file; a
// texture that loads is copied whole by the stand-in device.
#include "fuzz_support.h"
#include "resource_manager.h"
#include "texture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = false;
    if (!ready) {
        LoadFuzzManifest({{"IMAGE", "image"}});
        g_resourceManager.Init();
        ready = true;
    }
    WriteFuzzFile("image", data, size);
    Texture* t = g_resourceManager.GetTexture("IMAGE");
    if (t) {
        if (t->imageWidth > t->width || t->imageHeight > t->height) __builtin_trap();
        g_resourceManager.Release(t);
    }
    g_resourceManager.Shutdown();
    return 0;
}
