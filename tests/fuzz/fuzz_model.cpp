// Model packs: any bytes as a pack; each part name of the game is asked for,
// and every frame of every clip of a part that loads is stepped through.
#include "fuzz_support.h"
#include "model.h"
#include "resource_manager.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = false;
    if (!ready) {
        LoadFuzzManifest({{"PACK", "pack"}});
        g_resourceManager.Init();
        ready = true;
    }
    WriteFuzzFile("pack", data, size);
    for (const char* part : {"body", "highlight", "extra", "mark", "point", "element_1", "wheel", "panel"}) {
        Model* m = g_resourceManager.GetModel("PACK", part);
        if (!m) continue;
        for (unsigned c = 0; c < m->clips.count; ++c) {
            const ModelClip& clip = m->clips.items[c];
            m->FindClip(clip.name);
            for (unsigned f = 0; f <= clip.frameCount + 1 && f < 64; ++f) clip.DrawFrame(f, nullptr, 0.1f, 0.2f, 0.3f);
        }
        g_resourceManager.Release(m);
    }
    g_resourceManager.Shutdown();
    return 0;
}
