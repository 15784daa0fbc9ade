// PNG and JPEG through the texture loaders: any bytes as an image file, laid
// out as each kind of device asks; a texture that loads is copied whole by
// the stand-in device, and the pixels the Lite keeps are read whole.
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
    // As the full edition's devices take images (padded, red first), then as
    // the Lite's (own size, blue first, the pixels kept and drawn from).
    for (bool lite : {false, true}) {
        g_fuzzTextureLayout = lite ? TextureLayout{false, true, true} : TextureLayout{true, false, false};
        Texture* t = g_resourceManager.GetTexture("IMAGE");
        if (t) {
            if (t->imageWidth > t->width || t->imageHeight > t->height) __builtin_trap();
            if (lite && (t->width != t->imageWidth || t->height != t->imageHeight || !t->pixels ||
                         t->bytesPerPixel != (t->kind == kTextureKindAlpha ? 4u : 3u)))
                __builtin_trap();
            if (lite) TouchBytes(t->pixels, (size_t)t->width * t->height * t->bytesPerPixel);
            g_resourceManager.Release(t);
        }
        g_resourceManager.Shutdown();
    }
    return 0;
}
