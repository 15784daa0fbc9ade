#include "fuzz_support.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <png.h>

#include "file_system.h"
#include "model.h"
#include "render_device.h"
#include "renderer.h"
#include "texture.h"

const std::string& FuzzFolder() {
    static std::string folder;
    if (folder.empty()) {
        char pattern[] = "/tmp/qvfuzz.XXXXXX";
        const char* made = mkdtemp(pattern);
        if (!made) std::abort();
        folder = std::string(made) + "/";
        // Relative paths (the computer contestants' file, a manifest's
        // archive) stay inside it.
        if (chdir(made) != 0) std::abort();
    }
    return folder;
}

std::string WriteFuzzFile(const std::string& name, const uint8_t* data, size_t size) {
    std::string path = FuzzFolder() + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    if (size && std::fwrite(data, 1, size, f) != size) std::abort();
    std::fclose(f);
    return path;
}

void LoadFuzzManifest(const std::vector<std::pair<std::string, std::string>>& files, const std::string& archive) {
    FuzzFolder();  // the working folder, where the relative paths lead
    std::string xml = "<manifest res_path=\"\"";
    if (!archive.empty()) xml += " dat_path=\"" + archive + "\"";
    xml += "><group path=\"\">";
    for (const auto& f : files) xml += "<file label=\"" + f.first + "\" path=\"" + f.second + "\"/>";
    xml += "</group></manifest>";
    std::string path = WriteFuzzFile("manifest.xml", reinterpret_cast<const uint8_t*>(xml.data()), xml.size());
    if (!g_fileSystem.Load(path.c_str())) std::abort();
}

void WriteFuzzPng(const std::string& name, unsigned width, unsigned height) {
    png_image image;
    std::memset(&image, 0, sizeof(image));
    image.version = PNG_IMAGE_VERSION;
    image.width = width;
    image.height = height;
    image.format = PNG_FORMAT_RGBA;
    std::vector<unsigned char> pixels((size_t)width * height * 4, 0xFF);
    if (!png_image_write_to_file(&image, (FuzzFolder() + name).c_str(), 0, pixels.data(), 0, nullptr)) std::abort();
}

unsigned TouchBytes(const void* data, size_t n) {
    const volatile unsigned char* p = static_cast<const volatile unsigned char*>(data);
    unsigned sum = 0;
    for (size_t i = 0; i < n; ++i) sum += p[i];
    return sum;
}

// ---- The device half, as a device would take it ----------------------------
// Textures and vertex buffers are copied whole, so a buffer shorter than the
// loader claims shows up here.

TextureLayout g_fuzzTextureLayout = {true, false, false};

TextureLayout DeviceTextureLayout() { return g_fuzzTextureLayout; }

bool DeviceCreateTexture(Texture* t) {
    if (!t || !t->pixels || !t->width || !t->height) return false;
    size_t n = (size_t)t->width * t->height * t->bytesPerPixel;
    void* copy = std::malloc(n);
    if (!copy) return false;
    std::memcpy(copy, t->pixels, n);
    t->deviceTexture = copy;
    return true;
}

void DeviceReleaseTexture(Texture* t) {
    if (!t) return;
    std::free(t->deviceTexture);
    t->deviceTexture = nullptr;
}

void* DeviceCreateVertexBuffer(const float* data, unsigned floatCount) {
    if (!data || !floatCount) return nullptr;
    void* copy = std::malloc(sizeof(float) * floatCount);
    if (copy) std::memcpy(copy, data, sizeof(float) * floatCount);
    return copy;
}

void DeviceReleaseVertexBuffer(void* buffer) { std::free(buffer); }

void Mesh::Draw(Texture*) const {}

// The renderer without a device: the matrix operations do nothing and
// nothing is drawn.
Renderer g_renderer;
Renderer::Renderer() { error[0] = 0; }
Renderer::~Renderer() {}
void Renderer::Translate(float, float, float) {}
void Renderer::Rotate(float, float, float, float) {}
void Renderer::Scale(float, float, float) {}
void Renderer::PushMatrix() {}
void Renderer::PopMatrix() {}
void Renderer::SetGlobalAlpha(float) {}
const Matrix4& Renderer::Top() const {
    static const Matrix4 identity = Matrix4::Identity();
    return identity;
}
float Renderer::GetCappedFrameTime() const { return defaultFrameTime < frameTime ? defaultFrameTime : frameTime; }
void Renderer::BeginBatch() {}
void Renderer::EndBatch() {}
bool Renderer::DrawsOneToOne() const { return false; }
Vector3 Renderer::PictureBoxScale() const { return Vector3{1.0f, 1.0f, 1.0f}; }
const char* Renderer::FrameRateFormat() const { return "FPS: %.0f, FrameTime: %.0f ms, Min: %.0f ms, Max: %.0f ms"; }
