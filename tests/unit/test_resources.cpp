// The resource cache, PNG and JPEG textures, model packs, model instances
// and mesh drawing on a real Direct3D 9 device.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <png.h>
#include <zlib.h>

#include "file_system.h"
#include "jpeg_source.h"
#include "model.h"
#include "model_instance.h"
#include "renderer.h"
#include "d3d_test_util.h"
#include "renderer_d3d9.h"
#include "resource_manager.h"
#include "test_support.h"
#include "texture.h"

namespace {

const Vector3 kView = kTestView;
const unsigned kClientWidth = 256;
const unsigned kClientHeight = 192;

// One device for the whole program, on a hidden window.
::testing::Environment* const g_device =
    ::testing::AddGlobalTestEnvironment(new DeviceTestWindow("QvResourceTest", kClientWidth, kClientHeight));

// ---- Byte helpers ----

std::string Le32(unsigned v) {
    return std::string{(char)(v & 0xFF), (char)((v >> 8) & 0xFF), (char)((v >> 16) & 0xFF), (char)(v >> 24)};
}
std::string Be32(unsigned v) {
    return std::string{(char)(v >> 24), (char)((v >> 16) & 0xFF), (char)((v >> 8) & 0xFF), (char)(v & 0xFF)};
}
std::string F32(float f) {
    unsigned bits;
    std::memcpy(&bits, &f, 4);
    return Le32(bits);
}
void Patch(std::string& s, size_t at, const std::string& bytes) { s.replace(at, bytes.size(), bytes); }

unsigned g_seed = 12345;
unsigned Rand() {
    g_seed = g_seed * 214013u + 2531011u;
    return (g_seed >> 16) & 0x7FFF;
}

// ---- PNG writing ----

void PngWriteToString(png_structp png, png_bytep data, png_size_t n) {
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<char*>(data), n);
}
void PngFlush(png_structp) {}

struct PngImage {
    int w, h, colourType, depth;
    bool interlace;
    std::vector<unsigned> samples;  // w * h * channels, at the sample depth
    std::vector<png_color> palette;
    std::vector<unsigned char> paletteAlpha;
    bool hasKey = false;
    png_color_16 key = {};
};

int Channels(int colourType) {
    switch (colourType) {
    case PNG_COLOR_TYPE_RGB: return 3;
    case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
    case PNG_COLOR_TYPE_RGB_ALPHA: return 4;
    default: return 1;
    }
}

std::string EncodePng(const PngImage& im) {
    std::string out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return std::string();
    }
    png_set_write_fn(png, &out, PngWriteToString, PngFlush);
    png_set_IHDR(png, info, im.w, im.h, im.depth, im.colourType,
                 im.interlace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!im.palette.empty()) png_set_PLTE(png, info, im.palette.data(), (int)im.palette.size());
    if (!im.paletteAlpha.empty())
        png_set_tRNS(png, info, im.paletteAlpha.data(), (int)im.paletteAlpha.size(), nullptr);
    if (im.hasKey) png_set_tRNS(png, info, nullptr, 0, const_cast<png_color_16*>(&im.key));
    png_write_info(png, info);
    int passes = png_set_interlace_handling(png);
    int ch = Channels(im.colourType);
    std::vector<std::vector<unsigned char>> rows(im.h);
    for (int y = 0; y < im.h; ++y) {
        std::vector<unsigned char>& row = rows[y];
        row.assign((size_t)(im.w * ch * im.depth + 7) / 8, 0);
        for (int i = 0; i < im.w * ch; ++i) {
            unsigned s = im.samples[(size_t)y * im.w * ch + i];
            if (im.depth == 16) {
                row[i * 2] = (unsigned char)(s >> 8);
                row[i * 2 + 1] = (unsigned char)s;
            } else if (im.depth == 8) {
                row[i] = (unsigned char)s;
            } else {
                int bit = i * im.depth;
                row[bit / 8] |= (unsigned char)(s << (8 - im.depth - bit % 8));
            }
        }
    }
    for (int p = 0; p < passes; ++p)
        for (int y = 0; y < im.h; ++y) png_write_row(png, rows[y].data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

// A simple RGBA picture (8 bits) as a PNG.
std::string RgbaPng(int w, int h, const std::function<unsigned(int, int)>& argb, bool alpha = true) {
    PngImage im{w, h, alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, 8, false, {}, {}, {}};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            unsigned c = argb(x, y);
            im.samples.push_back((c >> 16) & 0xFF);
            im.samples.push_back((c >> 8) & 0xFF);
            im.samples.push_back(c & 0xFF);
            if (alpha) im.samples.push_back(c >> 24);
        }
    return EncodePng(im);
}

// ---- JPEG writing ----

std::string EncodeJpeg(int w, int h, int components, J_COLOR_SPACE space, const std::vector<unsigned char>& pixels,
                       bool progressive = false) {
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &buffer, &size);
    c.image_width = w;
    c.image_height = h;
    c.input_components = components;
    c.in_color_space = space;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 100, TRUE);
    if (progressive) jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
    for (int y = 0; y < h; ++y) {
        JSAMPROW row = const_cast<unsigned char*>(&pixels[(size_t)y * w * components]);
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    std::string out(reinterpret_cast<char*>(buffer), size);
    jpeg_destroy_compress(&c);
    std::free(buffer);
    return out;
}

// Four solid quadrants: red, green / blue, white.
std::string QuadrantJpeg(int w, int h, bool progressive = false) {
    std::vector<unsigned char> px;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            bool right = x >= w / 2, bottom = y >= h / 2;
            unsigned c = bottom ? (right ? 0xFFFFFF : 0x0000FF) : (right ? 0x00FF00 : 0xFF0000);
            px.push_back((unsigned char)(c >> 16));
            px.push_back((unsigned char)(c >> 8));
            px.push_back((unsigned char)c);
        }
    return EncodeJpeg(w, h, 3, JCS_RGB, px, progressive);
}

// ---- Model pack writing ----

struct PackMesh {
    std::vector<float> pos;  // empty: share the previous mesh's positions
    std::vector<unsigned short> posIndex;
    std::vector<float> uv;
    std::vector<unsigned short> uvIndex;
};
struct PackClip {
    std::string name;
    unsigned frames = 1;
    std::vector<PackMesh> meshes;
    std::vector<float> posKeys = {0, 0, 0}, rotKeys = {0, 0, 0, 1}, scaleKeys = {1, 1, 1};
};
struct PackPart {
    std::string name;
    bool hasBox = false;
    float box[6] = {0, 0, 0, 0, 0, 0};
    std::vector<PackClip> clips;
};

std::string Floats(const std::vector<float>& v) {
    std::string s;
    for (float f : v) s += F32(f);
    return s;
}

std::string BuildPack(const std::vector<PackPart>& parts) {
    std::string data = "QVMP";  // anything may precede the parts
    std::vector<unsigned> offsets;
    for (const PackPart& part : parts) {
        offsets.push_back((unsigned)data.size());
        if (part.hasBox) data += Floats(std::vector<float>(part.box, part.box + 6));
        data += Le32((unsigned)part.clips.size());
        for (const PackClip& clip : part.clips) {
            std::string name = clip.name;
            name.resize(64, '\0');
            data += name + Le32(clip.frames) + Le32((unsigned)clip.meshes.size());
            for (const PackMesh& m : clip.meshes) {
                data += Le32((unsigned)m.pos.size() / 3);
                if (!m.pos.empty()) {
                    data += Floats(m.pos) + Le32((unsigned)m.posIndex.size() / 3);
                    for (unsigned short i : m.posIndex) data += std::string{(char)(i & 0xFF), (char)(i >> 8)};
                }
                data += Le32((unsigned)m.uv.size() / 2);
                if (!m.uv.empty()) {
                    data += Floats(m.uv) + Le32((unsigned)m.uvIndex.size() / 3);
                    for (unsigned short i : m.uvIndex) data += std::string{(char)(i & 0xFF), (char)(i >> 8)};
                }
            }
            data += Le32((unsigned)clip.posKeys.size() / 3) + Floats(clip.posKeys);
            data += Le32((unsigned)clip.rotKeys.size() / 4) + Floats(clip.rotKeys);
            data += Le32((unsigned)clip.scaleKeys.size() / 3) + Floats(clip.scaleKeys);
        }
    }
    unsigned directory = (unsigned)data.size();
    data += Le32((unsigned)parts.size());
    for (size_t i = 0; i < parts.size(); ++i) {
        std::string name = parts[i].name;
        name.resize(64, '\0');
        if (parts[i].hasBox) name[63] = '#';
        data += name + Le32(offsets[i]);
    }
    return data + Le32(directory);
}

// A unit square centred on the origin, counter-clockwise as seen, with the
// image upright on it.
PackMesh Square(float half = 0.5f) {
    PackMesh m;
    m.pos = {-half, -half, 0, half, -half, 0, half, half, 0, -half, half, 0};
    m.posIndex = {0, 1, 2, 0, 2, 3};
    m.uv = {0, 1, 1, 1, 1, 0, 0, 0};
    m.uvIndex = {0, 1, 2, 0, 2, 3};
    return m;
}

// ---- Fixture: a game folder with its manifest ----

class Resources : public ::testing::Test {
protected:
    void SetUp() override {
        dir = MakeTempDir("res");
        g_resourceManager.Init();
    }
    void TearDown() override {
        g_resourceManager.Shutdown();
        g_fileSystem.Shutdown();
    }
    // Writes the files and a manifest that lists them by label.
    void Files(const std::vector<std::pair<std::string, std::string>>& files) {
        std::string xml = "<manifest res_path=\"" + dir + "\"><group path=\"\">";
        for (const auto& f : files) {
            ASSERT_TRUE(WriteWholeFile(dir + f.first, f.second));
            xml += "<file label=\"" + f.first + "\" path=\"" + f.first + "\"/>";
        }
        ASSERT_TRUE(WriteWholeFile(dir + "m.xml", xml + "</group></manifest>"));
        ASSERT_TRUE(g_fileSystem.Load((dir + "m.xml").c_str()));
    }
    std::string Error() { return g_resourceManager.GetError(); }
    unsigned Textures() { return g_resourceManager.Count(RESOURCE_TEXTURE); }
    unsigned Models() { return g_resourceManager.Count(RESOURCE_MODEL); }
    std::string dir;
};

// ---- PNG decoding ----

struct PngCase {
    const char* what;
    int colourType, depth;
    bool interlace, transparency;
};

TEST_F(Resources, PngOfEveryColourTypeAndDepthDecodesToRgbOrRgba) {
    const PngCase cases[] = {
        {"grey 1", PNG_COLOR_TYPE_GRAY, 1, false, false},
        {"grey 2", PNG_COLOR_TYPE_GRAY, 2, false, false},
        {"grey 4 interlaced", PNG_COLOR_TYPE_GRAY, 4, true, false},
        {"grey 8", PNG_COLOR_TYPE_GRAY, 8, false, false},
        {"grey 16", PNG_COLOR_TYPE_GRAY, 16, false, false},
        {"grey 8 colour key", PNG_COLOR_TYPE_GRAY, 8, false, true},
        {"rgb 8", PNG_COLOR_TYPE_RGB, 8, false, false},
        {"rgb 8 interlaced", PNG_COLOR_TYPE_RGB, 8, true, false},
        {"rgb 16", PNG_COLOR_TYPE_RGB, 16, false, false},
        {"rgb 8 colour key", PNG_COLOR_TYPE_RGB, 8, false, true},
        {"palette 1", PNG_COLOR_TYPE_PALETTE, 1, false, false},
        {"palette 2", PNG_COLOR_TYPE_PALETTE, 2, false, false},
        {"palette 4", PNG_COLOR_TYPE_PALETTE, 4, false, false},
        {"palette 8", PNG_COLOR_TYPE_PALETTE, 8, false, false},
        {"palette 8 alpha interlaced", PNG_COLOR_TYPE_PALETTE, 8, true, true},
        {"grey+alpha 8", PNG_COLOR_TYPE_GRAY_ALPHA, 8, false, false},
        {"grey+alpha 16", PNG_COLOR_TYPE_GRAY_ALPHA, 16, false, false},
        {"rgba 8", PNG_COLOR_TYPE_RGB_ALPHA, 8, false, false},
        {"rgba 16 interlaced", PNG_COLOR_TYPE_RGB_ALPHA, 16, true, false},
    };
    const int w = 7, h = 5;
    std::vector<std::pair<std::string, std::string>> files;
    std::vector<std::vector<unsigned char>> expected;
    std::vector<bool> alphaExpected;
    for (const PngCase& c : cases) {
        PngImage im{w, h, c.colourType, c.depth, c.interlace, {}, {}, {}};
        const int ch = Channels(c.colourType);
        const unsigned max8 = c.depth >= 8 ? 255 : (1u << c.depth) - 1;
        const bool palette = c.colourType == PNG_COLOR_TYPE_PALETTE;
        if (palette) {
            for (unsigned i = 0; i <= max8 && i < 256; ++i)
                im.palette.push_back(png_color{(png_byte)Rand(), (png_byte)Rand(), (png_byte)Rand()});
            if (c.transparency)
                for (unsigned i = 0; i < im.palette.size() / 2; ++i) im.paletteAlpha.push_back((png_byte)(i * 7));
        }
        std::vector<unsigned char> want;
        bool alpha = c.transparency || (c.colourType & PNG_COLOR_MASK_ALPHA);
        for (int p = 0; p < w * h; ++p) {
            unsigned v[4];
            for (int k = 0; k < ch; ++k) v[k] = Rand() % (max8 + 1);  // 8-bit value or index
            if (c.transparency && !palette && p == 3) {
                // This pixel takes the key colour and becomes clear.
                for (int k = 0; k < ch; ++k) v[k] = 77;
            }
            for (int k = 0; k < ch; ++k) im.samples.push_back(c.depth == 16 ? v[k] * 257 : v[k]);
            unsigned char rgba[4];
            if (palette) {
                const png_color& col = im.palette[v[0]];
                rgba[0] = col.red, rgba[1] = col.green, rgba[2] = col.blue;
                rgba[3] = v[0] < im.paletteAlpha.size() ? im.paletteAlpha[v[0]] : 255;
            } else {
                unsigned scaled[4];
                for (int k = 0; k < ch; ++k) scaled[k] = v[k] * 255 / max8;
                bool grey = ch <= 2;
                for (int k = 0; k < 3; ++k) rgba[k] = (unsigned char)scaled[grey ? 0 : k];
                rgba[3] = (c.colourType & PNG_COLOR_MASK_ALPHA) ? (unsigned char)scaled[ch - 1] : 255;
                if (c.transparency) {
                    bool key = true;
                    for (int k = 0; k < ch; ++k) key = key && v[k] == 77;
                    rgba[3] = key ? 0 : 255;
                }
            }
            want.insert(want.end(), rgba, rgba + (alpha ? 4 : 3));
        }
        if (c.transparency && !palette) {
            im.hasKey = true;
            im.key.gray = 77;
            im.key.red = im.key.green = im.key.blue = 77;
        }
        std::string name = "case" + std::to_string(files.size()) + ".png";
        files.push_back({name, EncodePng(im)});
        ASSERT_FALSE(files.back().second.empty()) << c.what;
        expected.push_back(want);
        alphaExpected.push_back(alpha);
    }
    Files(files);
    for (size_t i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(cases[i].what);
        Texture* t = g_resourceManager.LoadPngTexture(files[i].first.c_str());
        ASSERT_NE(nullptr, t) << Error();
        unsigned bpp = alphaExpected[i] ? 4 : 3;
        EXPECT_EQ(bpp, t->bytesPerPixel);
        EXPECT_EQ(bpp == 4 ? kTextureFormatARGB : kTextureFormatXRGB, t->pixelFormat);
        EXPECT_EQ(8u, t->width);
        EXPECT_EQ(8u, t->height);
        std::vector<unsigned char> got;
        for (int y = 0; y < h; ++y)
            got.insert(got.end(), t->pixels + y * 8 * bpp, t->pixels + y * 8 * bpp + w * bpp);
        EXPECT_EQ(expected[i], got);
        g_resourceManager.Free(t);
    }
    EXPECT_EQ(0u, Textures());
}

TEST_F(Resources, ImagesArePaddedToPowersOfTwoWithTheirEdgesRepeated) {
    auto colour = [](int x, int y) { return 0xFF000000u | (unsigned)(x << 16) | (unsigned)(y << 8) | 0x40u; };
    Files({{"wide.png", RgbaPng(100, 30, colour, false)}, {"dot.png", RgbaPng(1, 1, colour)}});
    Texture* t = g_resourceManager.LoadPngTexture("wide.png");
    ASSERT_NE(nullptr, t);
    EXPECT_EQ(128u, t->width);
    EXPECT_EQ(32u, t->height);
    EXPECT_FLOAT_EQ(0.78125f, t->uScale);
    EXPECT_FLOAT_EQ(0.9375f, t->vScale);
    auto px = [&](int x, int y) { return std::string((char*)t->pixels + (y * 128 + x) * 3, 3); };
    for (int y = 0; y < 32; ++y)
        for (int x = 100; x < 128; ++x) ASSERT_EQ(px(99, y < 30 ? y : 29), px(x, y)) << x << "," << y;
    for (int x = 0; x < 128; ++x) ASSERT_EQ(px(x, 29), px(x, 31)) << x;
    EXPECT_EQ(std::string("\x63\x1d\x40", 3), px(99, 29));

    Texture* dot = g_resourceManager.LoadPngTexture("dot.png");
    ASSERT_NE(nullptr, dot);
    EXPECT_EQ(1u, dot->width);
    EXPECT_EQ(1u, dot->height);
    EXPECT_FLOAT_EQ(1.0f, dot->uScale);
}

// ---- Damaged images ----

std::string WithCrc(const std::string& type, const std::string& body) {
    std::string chunk = type + body;
    unsigned crc = crc32(0, reinterpret_cast<const Bytef*>(chunk.data()), (uInt)chunk.size());
    return Be32((unsigned)body.size()) + chunk + Be32(crc);
}

TEST_F(Resources, DamagedOrAbsurdImagesFailTheLoadAndLeaveNoEntry) {
    std::string png = RgbaPng(16, 16, [](int x, int y) { return 0xFF000000u | (unsigned)(x * y); });
    const std::string sig = png.substr(0, 8);
    std::string badCrc = png;
    badCrc[45] ^= 0x55;  // inside the image data
    std::string huge = sig + WithCrc("IHDR", Be32(5000) + Be32(10) + std::string("\x08\x06\x00\x00\x00", 5)) +
                       png.substr(33);
    std::string zeroWide = sig + WithCrc("IHDR", Be32(0) + Be32(10) + std::string("\x08\x06\x00\x00\x00", 5)) +
                           png.substr(33);
    std::string badType = sig + WithCrc("IHDR", Be32(16) + Be32(16) + std::string("\x08\x05\x00\x00\x00", 5)) +
                          png.substr(33);

    std::string jpeg = QuadrantJpeg(32, 32);
    std::string progressive = QuadrantJpeg(64, 64, true);
    std::string bigJpeg = jpeg;
    size_t sof = bigJpeg.find("\xFF\xC0");
    ASSERT_NE(std::string::npos, sof);
    Patch(bigJpeg, sof + 5, std::string("\xEA\x60\xEA\x60", 4));  // 60000 x 60000
    std::string garbage(300, '\0');
    for (char& c : garbage) c = (char)Rand();

    const std::vector<std::pair<std::string, std::string>> bad = {
        {"empty.png", ""},
        {"signature.png", sig},
        {"header.png", png.substr(0, 33)},
        {"half.png", png.substr(0, png.size() / 2)},
        {"noend.png", png.substr(0, png.size() - 1)},
        {"crc.png", badCrc},
        {"huge.png", huge},
        {"zero.png", zeroWide},
        {"type5.png", badType},
        {"half.jpg", jpeg.substr(0, jpeg.size() / 2)},
        {"soi.jpg", jpeg.substr(0, 2)},
        {"headers.jpg", jpeg.substr(0, 200)},
        {"progressive.jpg", progressive.substr(0, progressive.size() * 2 / 3)},
        {"big.jpg", bigJpeg},
        {"garbage.jpg", std::string("\xFF\xD8", 2) + garbage},
        {"text.png", "just some text, neither kind of image"},
    };
    Files(bad);
    for (const auto& f : bad) {
        SCOPED_TRACE(f.first);
        EXPECT_EQ(nullptr, g_resourceManager.Get(f.first.c_str(), RESOURCE_TEXTURE));
        EXPECT_EQ("<" + f.first + "> texture not loaded.", Error());
        EXPECT_EQ(0u, Textures()) << "a failed load leaves no entry";
    }
}

TEST_F(Resources, JpegColourSpacesBecomeRgb) {
    std::vector<unsigned char> grey, cmyk;
    for (int i = 0; i < 16 * 16; ++i) grey.push_back((unsigned char)((i % 16) < 8 ? 40 : 200));
    // Adobe CMYK is stored inverted: 255 means no ink.
    const unsigned char inks[4][4] = {{255, 255, 255, 255}, {255, 0, 0, 255}, {0, 255, 255, 255}, {255, 255, 255, 0}};
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const unsigned char* ink = inks[(y / 8) * 2 + x / 8];
            cmyk.insert(cmyk.end(), ink, ink + 4);
        }
    Files({{"rgb.jpg", QuadrantJpeg(48, 24)},
           {"grey.jpg", EncodeJpeg(16, 16, 1, JCS_GRAYSCALE, grey)},
           {"cmyk.jpg", EncodeJpeg(16, 16, 4, JCS_CMYK, cmyk)},
           {"progressive.jpg", QuadrantJpeg(48, 24, true)}});
    auto closeTo = [](const unsigned char* p, unsigned rgb) {
        for (int k = 0; k < 3; ++k) {
            int want = (rgb >> (16 - 8 * k)) & 0xFF;
            if (std::abs(p[k] - want) > 8) return false;
        }
        return true;
    };
    for (const char* name : {"rgb.jpg", "progressive.jpg"}) {
        SCOPED_TRACE(name);
        Texture* t = g_resourceManager.LoadJpegTexture(name);
        ASSERT_NE(nullptr, t) << Error();
        EXPECT_EQ(3u, t->bytesPerPixel);
        EXPECT_EQ(kTextureFormatXRGB, t->pixelFormat);
        EXPECT_EQ(64u, t->width);
        EXPECT_EQ(32u, t->height);
        EXPECT_FLOAT_EQ(0.75f, t->uScale);
        auto at = [&](int x, int y) { return t->pixels + (y * 64 + x) * 3; };
        EXPECT_TRUE(closeTo(at(6, 6), 0xFF0000));
        EXPECT_TRUE(closeTo(at(40, 6), 0x00FF00));
        EXPECT_TRUE(closeTo(at(6, 18), 0x0000FF));
        EXPECT_TRUE(closeTo(at(40, 18), 0xFFFFFF));
        EXPECT_TRUE(closeTo(at(60, 30), 0xFFFFFF)) << "padding repeats the last pixel";
    }
    Texture* g = g_resourceManager.LoadJpegTexture("grey.jpg");
    ASSERT_NE(nullptr, g) << Error();
    EXPECT_TRUE(closeTo(g->pixels + (4 * 16 + 2) * 3, 0x282828));
    EXPECT_TRUE(closeTo(g->pixels + (4 * 16 + 12) * 3, 0xC8C8C8));
    Texture* c = g_resourceManager.LoadJpegTexture("cmyk.jpg");
    ASSERT_NE(nullptr, c) << Error();
    auto cat = [&](int x, int y) { return c->pixels + (y * 16 + x) * 3; };
    EXPECT_TRUE(closeTo(cat(3, 3), 0xFFFFFF));
    EXPECT_TRUE(closeTo(cat(12, 3), 0xFF0000));
    EXPECT_TRUE(closeTo(cat(3, 12), 0x00FFFF));
    EXPECT_TRUE(closeTo(cat(12, 12), 0x000000));
    EXPECT_EQ(4u, Textures());
}

// ---- The cache ----

TEST_F(Resources, TexturesAreSharedCountedAndFreedWithTheLastRelease) {
    Files({{"a.png", RgbaPng(4, 4, [](int, int) { return 0xFF102030u; })},
           {"photo", QuadrantJpeg(8, 8)}});
    Resource* first = g_resourceManager.Get("a.png", RESOURCE_TEXTURE);
    ASSERT_NE(nullptr, first) << Error();
    Texture* t = static_cast<Texture*>(first);
    EXPECT_NE(nullptr, t->deviceTexture);
    EXPECT_EQ(nullptr, t->pixels) << "decoded pixels go once uploaded";
    EXPECT_STREQ("a.png", t->key);
    EXPECT_EQ(first, g_resourceManager.Get("a.png", RESOURCE_TEXTURE));
    EXPECT_EQ(2u, first->refCount);
    EXPECT_EQ(1u, Textures());

    // A JPEG is found whatever its name says.
    Texture* photo = g_resourceManager.GetTexture("photo");
    ASSERT_NE(nullptr, photo) << Error();
    EXPECT_EQ(kTextureFormatXRGB, photo->pixelFormat);
    EXPECT_EQ(first, g_resourceManager.First(RESOURCE_TEXTURE));
    EXPECT_EQ(photo, first->next);
    EXPECT_EQ(first, photo->prev);

    g_resourceManager.Release(first);
    EXPECT_EQ(2u, Textures());
    g_resourceManager.Release(first);
    EXPECT_EQ(1u, Textures());
    EXPECT_EQ(photo, g_resourceManager.First(RESOURCE_TEXTURE));
    EXPECT_EQ(nullptr, g_resourceManager.Find("a.png", RESOURCE_TEXTURE));

    // The tail moved back: a new entry links after the one left.
    Resource* again = g_resourceManager.Get("a.png", RESOURCE_TEXTURE);
    ASSERT_NE(nullptr, again);
    EXPECT_EQ(again, photo->next);
    EXPECT_EQ(1u, again->refCount);

    // A count already at zero frees rather than wrapping round.
    again->refCount = 0;
    g_resourceManager.Release(again);
    EXPECT_EQ(1u, Textures());
    g_resourceManager.Release(nullptr);

    EXPECT_EQ(nullptr, g_resourceManager.Get(nullptr, RESOURCE_TEXTURE));
    EXPECT_EQ(nullptr, g_resourceManager.Get("a.png", 7));
    EXPECT_EQ("Invalid resource (a.png) type <7>.", Error());
    EXPECT_EQ(nullptr, g_resourceManager.Get("a.png", RESOURCE_UNUSED));
    EXPECT_EQ("Invalid resource (a.png) type <2>.", Error());
    EXPECT_EQ(nullptr, g_resourceManager.CreateEntry("x", 5));
    EXPECT_EQ("Invalid resource (x) type <5>.", Error());

    g_resourceManager.Shutdown();
    EXPECT_EQ(0u, Textures());
    EXPECT_EQ(nullptr, g_resourceManager.Find("photo", RESOURCE_TEXTURE));
}

TEST_F(Resources, AMissingFileIsReportedAndRetriedLater) {
    Files({{"there.png", RgbaPng(2, 2, [](int, int) { return 0xFFFFFFFFu; })}});
    EXPECT_EQ(nullptr, g_resourceManager.Get("NOLABEL", RESOURCE_TEXTURE));
    EXPECT_EQ("<NOLABEL> texture not loaded.", Error());
    // The loaders alone leave the file system's message.
    EXPECT_EQ(nullptr, g_resourceManager.LoadPngTexture("NOLABEL"));
    EXPECT_NE(std::string::npos, Error().find("not found")) << Error();

    ASSERT_TRUE(DeleteFileA((dir + "there.png").c_str()));
    EXPECT_EQ(nullptr, g_resourceManager.Get("there.png", RESOURCE_TEXTURE));
    EXPECT_EQ(0u, Textures());
    ASSERT_TRUE(WriteWholeFile(dir + "there.png", RgbaPng(2, 2, [](int, int) { return 0xFFFFFFFFu; })));
    EXPECT_NE(nullptr, g_resourceManager.Get("there.png", RESOURCE_TEXTURE)) << Error();
}

// ---- Model packs ----

PackPart TilePart(const char* name, bool box) {
    PackPart p;
    p.name = name;
    p.hasBox = box;
    const float b[6] = {-0.5f, -0.25f, -0.1f, 0.5f, 0.25f, 0.1f};
    std::memcpy(p.box, b, sizeof(b));
    PackClip idle;
    idle.name = "idle";
    idle.meshes = {Square()};
    PackClip flip;
    flip.name = "flip";
    flip.frames = 3;
    PackMesh second;  // same positions, other coordinates
    second.uv = {0.5f, 0.5f, 1, 0.5f, 1, 0};
    second.uvIndex = {0, 1, 2};
    PackMesh third;  // other positions, same coordinates
    third.pos = {0, 0, 0, 1, 0, 0, 1, 1, 0};
    third.posIndex = {0, 1, 2};
    flip.meshes = {Square(), second, third};
    flip.posKeys = {0, 0, 0, 1, 2, 3};
    flip.rotKeys = {0, 0, 0, 1, 90, 0, 1, 0};
    flip.scaleKeys = {1, 1, 1, 2, 2, 2};
    PackClip unnamed;
    unnamed.meshes = {Square()};
    p.clips = {idle, flip, unnamed};
    return p;
}

std::vector<float> ReadBuffer(void* buffer, unsigned floats) {
    std::vector<float> out(floats);
    void* data = nullptr;
    IDirect3DVertexBuffer9* vb = D3DVertexBufferOf(buffer);
    if (!vb || FAILED(vb->Lock(0, floats * 4, &data, D3DLOCK_READONLY)) || !data) return {};
    std::memcpy(out.data(), data, floats * 4);
    vb->Unlock();
    return out;
}

TEST_F(Resources, ModelPacksRoundTripClipsFramesKeysAndSharedBuffers) {
    Files({{"tiles.mdl", BuildPack({TilePart("tile", true), TilePart("tile2", false)})}});
    Model* m = g_resourceManager.GetModel("tiles.mdl", "tile");
    ASSERT_NE(nullptr, m) << Error();
    EXPECT_STREQ("tiles.mdl|tile", m->key);
    ASSERT_NE(nullptr, m->box);
    EXPECT_FLOAT_EQ(-0.25f, m->box[1]);
    EXPECT_FLOAT_EQ(0.1f, m->box[5]);
    ASSERT_EQ(3u, m->clips.count);
    EXPECT_EQ(&m->clips.items[1], m->FindClip("flip"));
    EXPECT_EQ(nullptr, m->FindClip("Flip"));
    EXPECT_EQ(nullptr, m->FindClip(""));
    EXPECT_EQ(nullptr, m->clips.items[2].name) << "an unnamed clip";

    const ModelClip& flip = m->clips.items[1];
    EXPECT_EQ(3u, flip.frameCount);
    ASSERT_EQ(3u, flip.meshes.count);
    ASSERT_EQ(2u, flip.positionKeyCount);
    EXPECT_FLOAT_EQ(3.0f, flip.positionKeys[1].z);
    ASSERT_EQ(2u, flip.rotationKeyCount);
    EXPECT_FLOAT_EQ(90.0f, flip.rotationKeys[1].angle);
    EXPECT_FLOAT_EQ(1.0f, flip.rotationKeys[1].axis.y);
    EXPECT_FLOAT_EQ(2.0f, flip.scaleKeys[1].x);

    const Mesh* mesh = flip.meshes.items;
    EXPECT_EQ(kMeshTriangleList, mesh[0].primitiveMode);
    EXPECT_EQ(6u, mesh[0].vertexCount);
    EXPECT_EQ(kMeshOwnsPositions | kMeshOwnsTexCoords, mesh[0].ownership);
    // Indexed data comes out as a plain triangle list.
    std::vector<float> pos = ReadBuffer(mesh[0].positionBuffer, 18);
    std::vector<float> want = {-0.5f, -0.5f, 0, 0.5f, -0.5f, 0, 0.5f, 0.5f, 0,
                               -0.5f, -0.5f, 0, 0.5f, 0.5f,  0, -0.5f, 0.5f, 0};
    EXPECT_EQ(want, pos);
    std::vector<float> uv = ReadBuffer(mesh[0].texCoordBuffer, 12);
    EXPECT_EQ((std::vector<float>{0, 1, 1, 1, 1, 0, 0, 1, 1, 0, 0, 0}), uv);

    EXPECT_EQ(mesh[0].positionBuffer, mesh[1].positionBuffer);
    EXPECT_EQ(kMeshOwnsTexCoords, mesh[1].ownership);
    EXPECT_EQ(3u, mesh[1].vertexCount) << "never more than the smaller buffer holds";
    EXPECT_EQ(mesh[1].texCoordBuffer, mesh[2].texCoordBuffer);
    EXPECT_EQ(kMeshOwnsPositions, mesh[2].ownership);
    EXPECT_EQ(3u, mesh[2].vertexCount);

    // One entry per file and part; part names are exact.
    Model* m2 = g_resourceManager.GetModel("tiles.mdl", "tile2");
    ASSERT_NE(nullptr, m2);
    EXPECT_NE(m, m2);
    EXPECT_EQ(nullptr, m2->box);
    EXPECT_EQ(m, g_resourceManager.GetModel("tiles.mdl", "tile"));
    EXPECT_EQ(2u, m->refCount);
    EXPECT_EQ(nullptr, g_resourceManager.GetModel("tiles.mdl", "Tile"));
    EXPECT_EQ("<tiles.mdl|Tile> model not loaded.", Error());
    EXPECT_EQ(nullptr, g_resourceManager.GetModel("none.mdl", "tile"));
    EXPECT_EQ("<none.mdl|tile> model not loaded.", Error());
    EXPECT_EQ(2u, Models());
}

TEST_F(Resources, TruncatedOrGarbledPacksFailCleanly) {
    const std::string good = BuildPack({TilePart("tile", false)});
    const size_t dirOffset = good.size() - 4 - 4 - 68;
    const size_t part = 4, clip = part + 4, mesh = clip + 72;
    std::vector<std::pair<std::string, std::string>> files;
    for (size_t n = 0; n < good.size(); n += (n < 200 ? 1 : 7)) files.push_back({"cut" + std::to_string(n), good.substr(0, n)});
    auto patched = [&](size_t at, unsigned v) {
        std::string s = good;
        Patch(s, at, Le32(v));
        return s;
    };
    files.push_back({"dir", patched(good.size() - 4, 0x7FFFFFF0u)});
    files.push_back({"entries", patched(dirOffset, 0xFFFFFFFFu)});
    files.push_back({"data", patched(dirOffset + 4 + 64, (unsigned)good.size() + 10)});
    files.push_back({"clips", patched(part, 0xFFFFFFFFu)});
    files.push_back({"meshes", patched(clip + 68, 0x40000000u)});
    files.push_back({"positions", patched(mesh, 0x20000000u)});
    files.push_back({"triangles", patched(mesh + 4 + 48, 0x10000000u)});
    std::string badIndex = good;
    badIndex[mesh + 4 + 48 + 4] = 9;  // a position index past the four stored
    files.push_back({"index", badIndex});
    Files(files);
    for (const auto& f : files) {
        SCOPED_TRACE(f.first);
        EXPECT_EQ(nullptr, g_resourceManager.GetModel(f.first.c_str(), "tile"));
        EXPECT_EQ("<" + f.first + "|tile> model not loaded.", Error());
        ASSERT_EQ(0u, Models());
    }

    // Random damage: the load either works or fails, never more.
    std::vector<std::pair<std::string, std::string>> noisy;
    for (int i = 0; i < 150; ++i) {
        std::string s = good;
        for (int k = 0; k < 1 + i % 4; ++k) s[Rand() % s.size()] = (char)Rand();
        noisy.push_back({"noise" + std::to_string(i), s});
    }
    Files(noisy);
    for (const auto& f : noisy) {
        Model* m = g_resourceManager.GetModel(f.first.c_str(), "tile");
        if (m) g_resourceManager.Release(m);
        ASSERT_EQ(0u, Models()) << f.first;
    }
}

// ---- Model instances ----

class Instances : public Resources {
protected:
    void SetUp() override {
        Resources::SetUp();
        PackPart p = TilePart("body", true);
        PackClip four;
        four.name = "four";
        four.frames = 4;
        four.meshes = {Square()};
        four.posKeys = {0, 0, 0, 0.5f, 0, 0};
        four.scaleKeys = {1, 1, 1, 2, 3, 1};
        four.rotKeys = {0, 0, 0, 1, 30, 0, 0, 1};
        PackClip one;
        one.name = "one";
        one.meshes = {Square()};
        p.clips.push_back(four);
        p.clips.push_back(one);
        Files({{"m.mdl", BuildPack({p, TilePart("plain", false)})},
               {"t.png", RgbaPng(4, 4, [](int, int) { return 0xFFFFFFFFu; })}});
        g_renderer.frameCounter = 100;
        g_renderer.frameTime = 1.0f / 35.0f;
        g_renderer.defaultFrameTime = 1.0f / 35.0f;
    }
    // Advance once a frame for n frames.
    std::vector<int> Run(ModelInstance& mi, int n) {
        std::vector<int> out;
        for (int i = 0; i < n; ++i) {
            ++g_renderer.frameCounter;
            out.push_back(mi.Advance());
        }
        return out;
    }
};

TEST_F(Instances, PlayModesStepOncePerDrawnFrame) {
    ModelInstance mi("m.mdl", "body", "t.png");
    ASSERT_EQ(OWN_MODEL_AND_TEXTURE_REF, mi.ownership) << Error();

    mi.PlayAnimation("four", PLAY_ONCE, 0.0f);
    EXPECT_EQ(ADVANCE_LEFT_FIRST, mi.Advance()) << "may step in the frame it starts";
    EXPECT_EQ(ADVANCE_NOT_DUE, mi.Advance()) << "at most one step a frame";
    EXPECT_EQ((std::vector<int>{4, 4, 2, 2}), Run(mi, 4));
    EXPECT_EQ(3u, mi.frame);
    EXPECT_TRUE(mi.finished);

    mi.PlayAnimation("four", PLAY_LOOP, 0.0f);
    EXPECT_EQ((std::vector<int>{1, 4, 4, 2, 1}), Run(mi, 5));
    mi.PlayAnimation("one", PLAY_LOOP, 0.0f);
    EXPECT_EQ((std::vector<int>{2, 2, 2}), Run(mi, 3));

    mi.PlayAnimation("four", PLAY_BACKWARDS, 0.0f);
    EXPECT_EQ(3u, mi.frame);
    EXPECT_EQ((std::vector<int>{1, 4, 4, 2, 2}), Run(mi, 5));
    EXPECT_EQ(0u, mi.frame);
    mi.PlayAnimation("one", PLAY_BACKWARDS, 0.0f);
    EXPECT_EQ((std::vector<int>{2}), Run(mi, 1));
    EXPECT_TRUE(mi.finished);

    mi.PlayAnimation("four", PLAY_STILL, 0.0f);
    EXPECT_TRUE(mi.finished);
    EXPECT_EQ((std::vector<int>{3, 3}), Run(mi, 2));

    mi.PlayAnimation("four", PLAY_ONCE_GONE, 0.0f);
    EXPECT_EQ((std::vector<int>{1, 4, 4, 2}), Run(mi, 4));
    EXPECT_EQ(nullptr, mi.clip);
    EXPECT_EQ(ADVANCE_NONE, mi.Draw());

    // Unknown names keep the clip but finish it; a null name drops it.
    mi.PlayAnimation("four", PLAY_LOOP, 0.0f);
    mi.PlayAnimation("missing", PLAY_LOOP, 0.0f);
    EXPECT_EQ(mi.model->FindClip("four"), mi.clip);
    EXPECT_TRUE(mi.finished);
    mi.PlayAnimation(nullptr, PLAY_LOOP, 0.0f);
    EXPECT_EQ(nullptr, mi.clip);
}

TEST_F(Instances, SlowClipsWaitAndTheRestIsNotCarried) {
    ModelInstance mi("m.mdl", "body", "t.png");
    mi.PlayAnimation("four", PLAY_LOOP, 10.0f);
    // 1/35 s frames against 1/10 s: a step every fourth frame.
    EXPECT_EQ((std::vector<int>{3, 3, 3, 1, 3, 3, 3, 4}), Run(mi, 8));
    mi.PlayAnimation("four", PLAY_LOOP, 0.0f);
    g_renderer.frameTime = 0.0f;
    EXPECT_EQ((std::vector<int>{3, 3}), Run(mi, 2));
}

TEST_F(Instances, KeepModeFoldsTheLastKeysIntoTheInstance) {
    ModelInstance mi("m.mdl", "body", "t.png");
    mi.SetPosition(1, 1, 0);
    mi.PlayAnimation("four", PLAY_ONCE_KEEP, 0.0f);
    EXPECT_EQ((std::vector<int>{1, 4, 4, 2}), Run(mi, 4));
    EXPECT_TRUE(mi.finished);
    EXPECT_EQ(0u, mi.frame);
    EXPECT_FLOAT_EQ(1.5f, mi.position.x);
    EXPECT_FLOAT_EQ(2.0f, mi.scale.x);
    EXPECT_FLOAT_EQ(3.0f, mi.scale.y);
    EXPECT_NEAR(30.0f, mi.rotation.angle, 1e-3f);
    EXPECT_NEAR(1.0f, mi.rotation.axis.z, 1e-5f);
    // The hit box follows: 1.5 + 2 x [-0.5, 0.5] in x.
    EXPECT_FLOAT_EQ(0.5f, mi.worldBox[0]);
    EXPECT_FLOAT_EQ(2.5f, mi.worldBox[3]);
}

TEST_F(Instances, HitBoxesFollowPositionAndScale) {
    ModelInstance mi("m.mdl", "body", "t.png");
    EXPECT_FLOAT_EQ(-0.5f, mi.worldBox[0]) << "the box as it is after binding";
    mi.SetPosition(1.0f, 2.0f, 3.0f);
    mi.SetScale(2.0f, 4.0f, 1.0f);
    EXPECT_FLOAT_EQ(0.0f, mi.worldBox[0]);
    EXPECT_FLOAT_EQ(1.0f, mi.worldBox[1]);
    EXPECT_FLOAT_EQ(2.9f, mi.worldBox[2]);
    EXPECT_FLOAT_EQ(2.0f, mi.worldBox[3]);
    EXPECT_FLOAT_EQ(3.0f, mi.worldBox[4]);
    Vector3 out;
    EXPECT_TRUE(mi.HitTest(0.5f, 2.5f, 99.0f, &out)) << "z is not tested";
    EXPECT_FLOAT_EQ(0.25f, out.x);
    EXPECT_FLOAT_EQ(0.75f, out.y);
    EXPECT_FALSE(mi.HitTest(0.0f, 2.0f, 3.0f)) << "edges are outside";
    EXPECT_FALSE(mi.HitTest(2.5f, 2.0f, 3.0f, &out));
    EXPECT_FLOAT_EQ(1.25f, out.x) << "out is filled on a miss too";
    mi.SetScale(-2.0f, 4.0f, 0.0f);
    EXPECT_TRUE(mi.HitTest(1.5f, 2.0f, 0.0f)) << "a mirroring scale keeps the box the right way round";
    EXPECT_FLOAT_EQ(0.0f, mi.worldBox[0]);

    // Without a box nothing is ever hit.
    ModelInstance plain("m.mdl", "plain", "t.png");
    EXPECT_FALSE(plain.HitTest(0.0f, 0.0f, 0.0f));
}

TEST_F(Instances, BindingHoldsAndGivesBackReferences) {
    {
        ModelInstance a("m.mdl", "body", "t.png");
        ModelInstance b("m.mdl", "body", "t.png");
        EXPECT_EQ(a.model, b.model);
        EXPECT_EQ(2u, a.model->refCount);
        EXPECT_EQ(2u, a.texture->refCount);

        ModelInstance noTexture("m.mdl", "body", "absent.png");
        EXPECT_EQ(OWN_MODEL_REF, noTexture.ownership);
        EXPECT_EQ(3u, a.model->refCount);
        EXPECT_EQ(nullptr, noTexture.texture);

        ModelInstance noModel("m.mdl", "nothing", "t.png");
        EXPECT_EQ(OWN_NOTHING, noModel.ownership);
        EXPECT_EQ(nullptr, noModel.model);
        noModel.PlayAnimation("idle", PLAY_LOOP, 0.0f);
        EXPECT_EQ(ADVANCE_NONE, noModel.Draw());

        // Binding again gives back what the first bind took.
        EXPECT_TRUE(b.Bind("m.mdl", "plain", "t.png"));
        EXPECT_EQ(2u, a.model->refCount);
        b.SetPivot(1.0f, 2.0f, 3.0f);
        EXPECT_NE(&b.position, b.pivot);
    }
    EXPECT_EQ(0u, Models());
    EXPECT_EQ(0u, Textures());
}

// ---- Drawing on the device ----

using Picture = D3DPicture;
Picture Render(const std::function<void()>& draw) { return RenderD3D(draw); }
bool Close(unsigned got, unsigned want, int tolerance = 6) { return ColoursClose(got, want, tolerance); }

TEST_F(Resources, MeshesDrawTexturedOnTheDevice) {
    // A 48 x 40 image (a 64 x 64 texture) of four quadrants.
    auto quadrants = [](int x, int y) {
        return y < 20 ? (x < 24 ? 0xFFFF0000u : 0xFF00FF00u) : (x < 24 ? 0xFF0000FFu : 0xFFFFFFFFu);
    };
    PackPart quad;
    quad.name = "body";
    quad.hasBox = true;
    PackClip idle;
    idle.name = "idle";
    idle.meshes = {Square()};
    PackClip spin = idle;
    spin.name = "spin";
    spin.rotKeys = {180, 0, 0, 1};
    PackClip clockwise = idle;
    clockwise.name = "clockwise";
    clockwise.meshes[0].posIndex = {0, 2, 1, 0, 3, 2};
    clockwise.meshes[0].uvIndex = {0, 2, 1, 0, 3, 2};
    quad.clips = {idle, spin, clockwise};
    Files({{"q.mdl", BuildPack({quad})}, {"q.png", RgbaPng(48, 40, quadrants)}});

    ModelInstance mi("q.mdl", "body", "q.png");
    ASSERT_EQ(OWN_MODEL_AND_TEXTURE_REF, mi.ownership) << Error();
    EXPECT_FLOAT_EQ(0.75f, mi.texture->uScale);
    EXPECT_FLOAT_EQ(0.625f, mi.texture->vScale);
    mi.SetPosition(0.5f, 0.25f, 1.0f);  // covers x 0..1, y -0.25..0.75
    mi.PlayAnimation("idle", PLAY_LOOP, 0.0f);
    Picture pic = Render([&] { mi.Draw(); });
    ASSERT_EQ(kClientWidth, pic.w);
    EXPECT_EQ(1u, g_renderer.StackDepth()) << "pushes and pops balance";
    EXPECT_TRUE(Close(pic.At(0.2f, 0.6f), 0xFF0000)) << std::hex << pic.At(0.2f, 0.6f);
    EXPECT_TRUE(Close(pic.At(0.8f, 0.6f), 0x00FF00)) << std::hex << pic.At(0.8f, 0.6f);
    EXPECT_TRUE(Close(pic.At(0.2f, -0.1f), 0x0000FF)) << std::hex << pic.At(0.2f, -0.1f);
    EXPECT_TRUE(Close(pic.At(0.8f, -0.1f), 0xFFFFFF)) << std::hex << pic.At(0.8f, -0.1f);
    // Only the image, not its padding, spans the quad: just left of the
    // middle is still red (unscaled coordinates would show green there).
    EXPECT_TRUE(Close(pic.At(0.45f, 0.6f), 0xFF0000)) << std::hex << pic.At(0.45f, 0.6f);
    EXPECT_TRUE(Close(pic.At(0.2f, 0.3f), 0xFF0000)) << std::hex << pic.At(0.2f, 0.3f);
    EXPECT_EQ(0u, pic.At(-0.5f, 0.25f)) << "nothing outside the quad";
    EXPECT_EQ(0u, pic.At(1.1f, 0.25f));

    // The global alpha blends over the black background.
    g_renderer.SetGlobalAlpha(0.5f);
    pic = Render([&] { mi.Draw(); });
    g_renderer.SetGlobalAlpha(1.0f);
    EXPECT_TRUE(Close(pic.At(0.8f, -0.1f), 0x7F7F7F, 8)) << std::hex << pic.At(0.8f, -0.1f);

    // Clip rotation acts about the pivot: by default the instance's place.
    mi.PlayAnimation("spin", PLAY_LOOP, 0.0f);
    pic = Render([&] { mi.Draw(); });
    EXPECT_TRUE(Close(pic.At(0.2f, 0.6f), 0xFFFFFF)) << std::hex << pic.At(0.2f, 0.6f);
    EXPECT_TRUE(Close(pic.At(0.8f, -0.1f), 0xFF0000)) << std::hex << pic.At(0.8f, -0.1f);
    // A pivot of its own at the quad's left edge swings it over to the left.
    mi.SetPivot(0.0f, 0.25f, 1.0f);
    pic = Render([&] { mi.Draw(); });
    EXPECT_EQ(0u, pic.At(0.5f, 0.25f));
    EXPECT_TRUE(Close(pic.At(-0.8f, 0.6f), 0xFFFFFF)) << std::hex << pic.At(-0.8f, 0.6f);

    // Clockwise faces are culled.
    mi.PlayAnimation("clockwise", PLAY_LOOP, 0.0f);
    pic = Render([&] { mi.Draw(); });
    EXPECT_EQ(0u, pic.At(-0.8f, 0.6f));
    EXPECT_EQ(0u, pic.At(0.5f, 0.25f));

    // A glyph-style mesh of quads with a default texture.
    Mesh glyph;
    const float xyz[] = {-0.5f, 0.5f, 0, -0.5f, -0.5f, 0, 0.5f, -0.5f, 0, 0.5f, 0.5f, 0, 9, 9, 9};
    const float uv[] = {0, 0, 0, 1, 1, 1, 1, 0, 0, 0};
    ASSERT_TRUE(glyph.SetPositions(xyz, 5));
    ASSERT_TRUE(glyph.SetTexCoords(uv, 5));
    glyph.primitiveMode = kMeshQuads;
    glyph.defaultTexture = mi.texture;
    pic = Render([&] {
        g_renderer.PushMatrix();
        g_renderer.Translate(-0.6f, 0.0f, 1.0f);
        glyph.Draw(nullptr);
        g_renderer.PopMatrix();
    });
    EXPECT_TRUE(Close(pic.At(-0.8f, 0.3f), 0xFF0000)) << std::hex << pic.At(-0.8f, 0.3f);
    EXPECT_TRUE(Close(pic.At(-0.4f, -0.3f), 0xFFFFFF)) << std::hex << pic.At(-0.4f, -0.3f);
    glyph.defaultTexture = nullptr;
    pic = Render([&] { glyph.Draw(nullptr); });
    EXPECT_EQ(0u, pic.At(0.0f, 0.0f)) << "no texture, nothing drawn";
}

// A square of side 1 around (x, y) at depth z, as a triangle list wound
// counter-clockwise (front) or clockwise.
void SquareMesh(Mesh& mesh, float x, float y, float z, bool clockwise) {
    float a[] = {x - 0.5f, y - 0.5f, z, x + 0.5f, y - 0.5f, z, x + 0.5f, y + 0.5f, z,
                 x - 0.5f, y - 0.5f, z, x + 0.5f, y + 0.5f, z, x - 0.5f, y + 0.5f, z};
    float uv[] = {0, 1, 1, 1, 1, 0, 0, 1, 1, 0, 0, 0};
    if (clockwise) {
        for (int t = 0; t < 2; ++t) {
            for (int c = 0; c < 3; ++c) std::swap(a[t * 9 + 3 + c], a[t * 9 + 6 + c]);
            for (int c = 0; c < 2; ++c) std::swap(uv[t * 6 + 2 + c], uv[t * 6 + 4 + c]);
        }
    }
    ASSERT_TRUE(mesh.SetPositions(a, 6));
    ASSERT_TRUE(mesh.SetTexCoords(uv, 6));
}

TEST_F(Resources, DepthPassesCullModesAndGlyphBatchesOnTheDevice) {
    Files({{"r.png", RgbaPng(8, 8, [](int, int) { return 0xFFFF0000u; })},
           {"g.png", RgbaPng(8, 8, [](int, int) { return 0xFF00FF00u; })}});
    Texture* red = g_resourceManager.GetTexture("r.png");
    Texture* green = g_resourceManager.GetTexture("g.png");
    ASSERT_TRUE(red && green) << Error();
    Mesh nearSquare, farSquare, mirrored;
    SquareMesh(nearSquare, 0.0f, 0.0f, 2.0f, false);
    SquareMesh(farSquare, 0.3f, 0.0f, 1.0f, false);
    SquareMesh(mirrored, -0.8f, 0.0f, 1.0f, true);

    // Without depth the last drawn wins; inside a depth pass the nearer.
    auto both = [&] {
        nearSquare.Draw(red);
        farSquare.Draw(green);
    };
    EXPECT_TRUE(Close(Render(both).At(0.1f, 0.0f), 0x00FF00));
    Picture pic = Render([&] {
        g_renderer.BeginDepthPass();
        both();
        g_renderer.EndDepthPass();
        farSquare.Draw(red);  // depth is off again: drawn over everything
    });
    EXPECT_TRUE(Close(pic.At(0.1f, 0.0f), 0xFF0000)) << std::hex << pic.At(0.1f, 0.0f);
    EXPECT_TRUE(Close(pic.At(0.7f, 0.0f), 0xFF0000)) << std::hex << pic.At(0.7f, 0.0f);
    EXPECT_FALSE(g_renderer.InDepthPass());

    // A clockwise square shows only while counter-clockwise faces are culled.
    EXPECT_EQ(0u, Render([&] { mirrored.Draw(red); }).At(-0.8f, 0.0f));
    pic = Render([&] {
        g_renderer.SetCullMode(kCullCounterClockwise);
        mirrored.Draw(red);
        nearSquare.Draw(green);
        g_renderer.SetCullMode(kCullClockwise);
    });
    EXPECT_TRUE(Close(pic.At(-0.8f, 0.0f), 0xFF0000)) << std::hex << pic.At(-0.8f, 0.0f);
    EXPECT_EQ(0u, pic.At(0.1f, 0.0f)) << "the front face is culled meanwhile";

    // Glyph quads gathered in a batch land where they would alone, in
    // order, and a change of alpha inside the batch applies from there on.
    Mesh glyph;
    const float xyz[] = {-0.25f, 0.25f, 0, -0.25f, -0.25f, 0, 0.25f, -0.25f, 0, 0.25f, 0.25f, 0};
    const float uv[] = {0, 0, 0, 1, 1, 1, 1, 0};
    ASSERT_TRUE(glyph.SetPositions(xyz, 4));
    ASSERT_TRUE(glyph.SetTexCoords(uv, 4));
    glyph.primitiveMode = kMeshQuads;
    pic = Render([&] {
        g_renderer.BeginBatch();
        for (int i = 0; i < 3; ++i) {
            g_renderer.PushMatrix();
            g_renderer.Translate(-0.5f + 0.5f * i, 0.0f, 1.0f);
            if (i == 2) g_renderer.SetGlobalAlpha(0.5f);
            glyph.Draw(i == 1 ? green : red);
            g_renderer.PopMatrix();
        }
        g_renderer.SetGlobalAlpha(1.0f);
        g_renderer.EndBatch();
    });
    EXPECT_TRUE(Close(pic.At(-0.5f, 0.1f), 0xFF0000)) << std::hex << pic.At(-0.5f, 0.1f);
    EXPECT_TRUE(Close(pic.At(0.0f, -0.1f), 0x00FF00)) << std::hex << pic.At(0.0f, -0.1f);
    EXPECT_TRUE(Close(pic.At(0.5f, 0.1f), 0x7F0000, 8)) << std::hex << pic.At(0.5f, 0.1f);
    EXPECT_EQ(0u, pic.At(0.8f, 0.1f));

    // Whole meshes too: overlapping squares of two textures keep their
    // order, culling still applies to what was gathered, and the depth
    // pass draws what was gathered before it.
    pic = Render([&] {
        g_renderer.BeginBatch();
        nearSquare.Draw(red);
        farSquare.Draw(green);
        mirrored.Draw(green);  // clockwise: culled
        nearSquare.Draw(red);
        g_renderer.BeginDepthPass();
        g_renderer.EndDepthPass();
        g_renderer.EndBatch();
    });
    EXPECT_TRUE(Close(pic.At(0.1f, 0.0f), 0xFF0000)) << std::hex << pic.At(0.1f, 0.0f);
    EXPECT_TRUE(Close(pic.At(0.7f, 0.0f), 0x00FF00)) << std::hex << pic.At(0.7f, 0.0f);
    EXPECT_EQ(0u, pic.At(-0.8f, 0.3f));
    g_resourceManager.Release(red);
    g_resourceManager.Release(green);
}

} // namespace

// ---- The game's own images and models ----

// The groups of a manifest fragment, as text.
std::string Groups(const std::string& fragment) {
    std::string out;
    for (size_t at = fragment.find("<group"); at != std::string::npos; at = fragment.find("<group", at)) {
        size_t end = fragment.find("</group>", at);
        if (end == std::string::npos) break;
        out += fragment.substr(at, end + 8 - at);
        at = end;
    }
    return out;
}

TEST_F(Resources, TheGeneratedArtLoadsAndDraws) {
    // The build writes it beside the tests: <build>/generated/content.
    char full[MAX_PATH];
    if (!GetFullPathNameA("..\\generated\\content\\", MAX_PATH, full, nullptr)) GTEST_SKIP();
    std::string root = full;
    std::string images = ReadWholeFile(root + "images.xml"), models = ReadWholeFile(root + "models.xml");
    if (images.empty() || models.empty()) GTEST_SKIP() << "no generated art in " << root;
    ASSERT_TRUE(WriteWholeFile(dir + "m.xml", "<manifest res_path=\"" + root + "\">" + Groups(images) +
                                                   Groups(models) + "</manifest>"));
    ASSERT_TRUE(g_fileSystem.Load((dir + "m.xml").c_str()));

    const char* textures[] = {"IMG_MENU_BACK", "IMG_BUTTON", "IMG_TILE", "IMG_WHEEL"};
    for (const char* label : textures) {
        Texture* t = g_resourceManager.GetTexture(label);
        ASSERT_NE(nullptr, t) << Error();
        bool opaque = std::string(label) == "IMG_MENU_BACK" || std::string(label) == "IMG_TILE";
        EXPECT_EQ(opaque ? kTextureFormatXRGB : kTextureFormatARGB, t->pixelFormat) << label;
    }
    struct Expect {
        const char* file;
        const char* part;
        bool box;
    };
    const Expect parts[] = {{"MDL_BUTTON", "body", true}, {"MDL_BUTTON", "highlight", false},
                            {"MDL_TILE", "body", true},   {"MDL_WHEEL", "body", true},
                            {"MDL_BACKDROP", "body", false}};
    for (const Expect& e : parts) {
        SCOPED_TRACE(std::string(e.file) + "|" + e.part);
        Model* m = g_resourceManager.GetModel(e.file, e.part);
        ASSERT_NE(nullptr, m) << Error();
        EXPECT_EQ(e.box, m->box != nullptr);
        ModelClip* idle = m->FindClip("idle");
        ASSERT_NE(nullptr, idle);
        for (unsigned c = 0; c < m->clips.count; ++c) {
            const ModelClip& clip = m->clips.items[c];
            EXPECT_GE(clip.frameCount, 1u);
            ASSERT_GE(clip.meshes.count, 1u);
            for (unsigned i = 0; i < clip.meshes.count; ++i) EXPECT_GT(clip.meshes.items[i].vertexCount, 0u);
            EXPECT_GE(clip.positionKeyCount, 1u);
            EXPECT_GE(clip.rotationKeyCount, 1u);
            EXPECT_GE(clip.scaleKeyCount, 1u);
        }
    }
    for (const char* clip : {"open", "close", "inactive", "hover_start", "hover", "hover_end", "select"})
        EXPECT_NE(nullptr, g_resourceManager.GetModel("MDL_BUTTON", "body")->FindClip(clip)) << clip;
    for (const char* clip : {"off", "on", "guess", "solve"})
        EXPECT_NE(nullptr, g_resourceManager.GetModel("MDL_TILE", "body")->FindClip(clip)) << clip;

    // Drawn: an orange button, a green tile, the wheel with its gold hub.
    ModelInstance button("MDL_BUTTON", "body", "IMG_BUTTON");
    ModelInstance tile("MDL_TILE", "body", "IMG_TILE");
    ModelInstance wheel("MDL_WHEEL", "body", "IMG_WHEEL");
    button.SetPosition(-0.8f, 0.7f, 1.0f);
    tile.SetPosition(-0.8f, -0.3f, 1.0f);
    wheel.SetPosition(0.5f, 0.0f, 1.0f);
    button.PlayAnimation("idle", PLAY_LOOP, 0.0f);
    tile.PlayAnimation("off", PLAY_ONCE, 0.0f);
    wheel.PlayAnimation("idle", PLAY_LOOP, 0.0f);
    EXPECT_TRUE(button.HitTest(-0.8f, 0.7f, 0.0f));
    EXPECT_FALSE(button.HitTest(-0.8f, 0.8f, 0.0f));
    EXPECT_TRUE(wheel.HitTest(0.5f, 0.7f, 0.0f));
    Picture pic = Render([&] {
        button.Draw();
        tile.Draw();
        wheel.Draw();
    });
    auto channel = [](unsigned c, int shift) { return (int)((c >> shift) & 0xFF); };
    unsigned b = pic.At(-0.8f, 0.68f), t = pic.At(-0.8f, -0.3f), hub = pic.At(0.5f, -0.1f), edge = pic.At(0.5f, 0.65f);
    EXPECT_TRUE(channel(b, 16) > 200 && channel(b, 8) > 60 && channel(b, 0) < 80) << std::hex << b;
    EXPECT_TRUE(channel(t, 8) > channel(t, 16) + 30 && channel(t, 8) > channel(t, 0)) << std::hex << t;
    EXPECT_TRUE(channel(hub, 16) > 150 && channel(hub, 8) > 100 && channel(hub, 0) < channel(hub, 16) - 60)
        << std::hex << hub;
    EXPECT_NE(0u, edge) << "a wedge, not the background";
    EXPECT_EQ(0u, pic.At(0.5f, 0.9f)) << "outside the wheel";
}
