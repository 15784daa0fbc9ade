// PNG and JPEG decoding into pixel buffers laid out as the device asks:
// padded to powers of two or at the image's own size, red or blue first.
//
// Both libraries report damage by jumping back to a recovery point set here,
// so a corrupt, truncated or unsupported image only fails its load. Nothing
// that needs a destructor lives in the frames a jump can cross: the state a
// failed decode must clean up sits in a heap record that the recovery code
// reaches through a pointer set before the jump point.
#include "texture.h"

#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <new>

#include <png.h>

#include "file_system.h"
#include "jpeg_source.h"
#include "math3d.h"
#include "render_device.h"

#include <jerror.h>

namespace {

struct DecodedImage {
    unsigned width;        // the buffer's size: power-of-two or the image's
    unsigned height;
    unsigned imageWidth;
    unsigned imageHeight;
    unsigned bytesPerPixel;
    unsigned char* pixels;
};

// Sizes the texture for an image and allocates its pixels (not cleared:
// the image and the padding cover every byte). false for sizes we refuse.
bool AllocatePixels(DecodedImage& image, unsigned w, unsigned h, unsigned bytesPerPixel, bool powerOfTwo) {
    if (w == 0 || h == 0 || w > kMaxImageSide || h > kMaxImageSide) return false;
    image.imageWidth = w;
    image.imageHeight = h;
    image.width = powerOfTwo ? NextPowerOfTwo(w) : w;
    image.height = powerOfTwo ? NextPowerOfTwo(h) : h;
    image.bytesPerPixel = bytesPerPixel;
    // At most 4096 x 4096 x 4 bytes: no overflow in 32 bits.
    size_t bytes = (size_t)image.width * image.height * bytesPerPixel;
    image.pixels = static_cast<unsigned char*>(std::malloc(bytes));
    return image.pixels != nullptr;
}

// ---- PNG ----

struct PngState {
    FileHandle* file;
    png_structp png;
    png_infop info;
    png_bytep* rows;
    DecodedImage image;
};

void PngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

void PngWarning(png_structp, png_const_charp) {}

void PngRead(png_structp png, png_bytep data, png_size_t n) {
    PngState* state = static_cast<PngState*>(png_get_io_ptr(png));
    if (n > 0xFFFFFFFFu || g_fileSystem.Read(data, (unsigned)n, state->file) != n)
        png_error(png, "file ends early");
}

// Decodes after the 8 signature bytes. On success the image's pixels belong
// to the caller.
bool DecodePng(FileHandle* file, DecodedImage& out, bool powerOfTwo) {
    PngState* state = new (std::nothrow) PngState();
    if (!state) return false;
    state->file = file;
    state->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, state, PngError, PngWarning);
    if (state->png) state->info = png_create_info_struct(state->png);
    if (!state->png || !state->info) {
        png_destroy_read_struct(state->png ? &state->png : nullptr, nullptr, nullptr);
        delete state;
        return false;
    }
    if (setjmp(png_jmpbuf(state->png))) {
        png_destroy_read_struct(&state->png, &state->info, nullptr);
        std::free(state->rows);
        std::free(state->image.pixels);
        delete state;
        return false;
    }
    png_structp png = state->png;
    png_infop info = state->info;
    png_set_user_limits(png, kMaxImageSide, kMaxImageSide);
    png_set_read_fn(png, state, PngRead);
    png_set_sig_bytes(png, 8);
    png_read_info(png, info);

    png_uint_32 w = 0, h = 0;
    int depth = 0, colour = 0, interlace = 0;
    png_get_IHDR(png, info, &w, &h, &depth, &colour, &interlace, nullptr, nullptr);
    // Everything becomes 8-bit RGB or RGBA.
    if (depth == 16) png_set_scale_16(png);
    if (colour == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (colour == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
    if (colour == PNG_COLOR_TYPE_GRAY || colour == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);

    unsigned channels = png_get_channels(png, info);
    if (png_get_bit_depth(png, info) != 8 || (channels != 3 && channels != 4) ||
        png_get_rowbytes(png, info) != (png_size_t)w * channels)
        png_error(png, "unexpected pixel layout");
    if (!AllocatePixels(state->image, w, h, channels, powerOfTwo)) png_error(png, "image too large");

    state->rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * h));
    if (!state->rows) png_error(png, "out of memory");
    size_t stride = (size_t)state->image.width * channels;
    for (png_uint_32 y = 0; y < h; ++y) state->rows[y] = state->image.pixels + y * stride;
    png_read_image(png, state->rows);
    png_read_end(png, nullptr);

    out = state->image;
    png_destroy_read_struct(&state->png, &state->info, nullptr);
    std::free(state->rows);
    delete state;
    return true;
}

// ---- JPEG ----

struct JpegErrors {
    jpeg_error_mgr pub;
    jmp_buf jump;
    bool damaged;  // a warning that means the picture is not whole
};

struct JpegState {
    jpeg_decompress_struct cinfo;
    JpegErrors errors;
    unsigned char* row;  // one CMYK scanline
    DecodedImage image;
};

void JpegErrorExit(j_common_ptr cinfo) { longjmp(reinterpret_cast<JpegErrors*>(cinfo->err)->jump, 1); }

void JpegEmitMessage(j_common_ptr cinfo, int level) {
    if (level >= 0) return;  // trace messages
    JpegErrors* errors = reinterpret_cast<JpegErrors*>(cinfo->err);
    switch (errors->pub.msg_code) {
    case JWRN_JPEG_EOF:       // the file ends inside the image
    case JWRN_HIT_MARKER:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_MUST_RESYNC:
    case JWRN_NOT_SEQUENTIAL:
    case JWRN_BOGUS_PROGRESSION:
        errors->damaged = true;
        break;
    default:
        break;
    }
    ++errors->pub.num_warnings;
}

void JpegOutputMessage(j_common_ptr) {}

size_t JpegReadFileSystem(void* buffer, size_t n, void* handle) {
    if (!handle || n > 0xFFFFFFFFu) return 0;
    return g_fileSystem.Read(buffer, (unsigned)n, static_cast<FileHandle*>(handle));
}

// CMYK as Adobe writes it (inverted) or plain, to RGB.
void CmykToRgb(const unsigned char* cmyk, unsigned char* rgb, unsigned count, bool inverted) {
    for (unsigned i = 0; i < count; ++i, cmyk += 4, rgb += 3) {
        unsigned k = inverted ? cmyk[3] : 255u - cmyk[3];
        for (int c = 0; c < 3; ++c) {
            unsigned v = inverted ? cmyk[c] : 255u - cmyk[c];
            rgb[c] = (unsigned char)((v * k + 127) / 255);
        }
    }
}

bool DecodeJpeg(FileHandle* file, DecodedImage& out, bool powerOfTwo) {
    JpegState* state = new (std::nothrow) JpegState();
    if (!state) return false;
    jpeg_decompress_struct* cinfo = &state->cinfo;
    cinfo->err = jpeg_std_error(&state->errors.pub);
    state->errors.pub.error_exit = JpegErrorExit;
    state->errors.pub.emit_message = JpegEmitMessage;
    state->errors.pub.output_message = JpegOutputMessage;
    if (setjmp(state->errors.jump)) {
        jpeg_destroy_decompress(&state->cinfo);
        std::free(state->row);
        std::free(state->image.pixels);
        delete state;
        return false;
    }
    jpeg_create_decompress(cinfo);
    SetJpegSource(cinfo, file);
    jpeg_read_header(cinfo, TRUE);
    if (cinfo->image_width == 0 || cinfo->image_height == 0 || cinfo->image_width > kMaxImageSide ||
        cinfo->image_height > kMaxImageSide)
        ERREXIT(cinfo, JERR_IMAGE_TOO_BIG);
    bool cmyk = false;
    switch (cinfo->jpeg_color_space) {
    case JCS_GRAYSCALE:
    case JCS_YCbCr:
    case JCS_RGB:
        cinfo->out_color_space = JCS_RGB;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        cinfo->out_color_space = JCS_CMYK;
        cmyk = true;
        break;
    default:
        ERREXIT(cinfo, JERR_CONVERSION_NOTIMPL);
    }
    jpeg_start_decompress(cinfo);
    if (cinfo->output_components != (cmyk ? 4 : 3)) ERREXIT(cinfo, JERR_CONVERSION_NOTIMPL);
    if (!AllocatePixels(state->image, cinfo->output_width, cinfo->output_height, 3, powerOfTwo))
        ERREXIT(cinfo, JERR_IMAGE_TOO_BIG);
    if (cmyk) {
        state->row = static_cast<unsigned char*>(std::malloc((size_t)cinfo->output_width * 4));
        if (!state->row) ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
    }
    size_t stride = (size_t)state->image.width * 3;
    while (cinfo->output_scanline < cinfo->output_height) {
        unsigned y = cinfo->output_scanline;
        JSAMPROW target = cmyk ? state->row : state->image.pixels + y * stride;
        // Our data source never suspends, so no scanline is a damaged file.
        if (jpeg_read_scanlines(cinfo, &target, 1) != 1) ERREXIT(cinfo, JERR_INPUT_EOF);
        if (cmyk)
            CmykToRgb(state->row, state->image.pixels + y * stride, cinfo->output_width,
                      cinfo->saw_Adobe_marker != 0);
    }
    jpeg_finish_decompress(cinfo);
    if (state->errors.damaged) ERREXIT(cinfo, JERR_INPUT_EOF);

    out = state->image;
    jpeg_destroy_decompress(cinfo);
    std::free(state->row);
    delete state;
    return true;
}

// The first and third byte of every image pixel exchanged (R G B [A] to
// B G R [A]); the padding is made from the image afterwards.
void ExchangeRedBlue(const DecodedImage& image) {
    const size_t stride = (size_t)image.width * image.bytesPerPixel;
    for (unsigned y = 0; y < image.imageHeight; ++y) {
        unsigned char* p = image.pixels + y * stride;
        for (unsigned x = 0; x < image.imageWidth; ++x, p += image.bytesPerPixel) {
            unsigned char r = p[0];
            p[0] = p[2];
            p[2] = r;
        }
    }
}

void FillTexture(Texture* t, const DecodedImage& image, bool blueFirst) {
    t->width = image.width;
    t->height = image.height;
    t->imageWidth = image.imageWidth;
    t->imageHeight = image.imageHeight;
    t->uScale = (float)image.imageWidth / (float)image.width;
    t->vScale = (float)image.imageHeight / (float)image.height;
    t->bytesPerPixel = image.bytesPerPixel;
    t->pixelFormat = image.bytesPerPixel == 4 ? kTextureFormatARGB : kTextureFormatXRGB;
    t->kind = image.bytesPerPixel == 4 ? kTextureKindAlpha : kTextureKindColour;
    t->pixels = image.pixels;
    if (blueFirst) ExchangeRedBlue(image);
    PadTexturePixels(t->pixels, t->width, t->height, t->imageWidth, t->imageHeight, t->bytesPerPixel);
}

// Enters a decoded image in the cache as the texture name; the pixels are
// freed when no entry can be made. The entry is made only for a whole
// image, so a failed load never leaves an empty texture in the cache.
Texture* EnterTexture(ResourceManager& manager, const char* name, const DecodedImage& image) {
    Texture* texture = static_cast<Texture*>(manager.CreateEntry(name, RESOURCE_TEXTURE));
    if (!texture) {
        std::free(image.pixels);
        return nullptr;
    }
    FillTexture(texture, image, DeviceTextureLayout().blueFirst);
    return texture;
}

} // namespace

void PadTexturePixels(unsigned char* pixels, unsigned width, unsigned height, unsigned imageWidth,
                      unsigned imageHeight, unsigned bytesPerPixel) {
    if (!pixels || imageWidth == 0 || imageHeight == 0 || imageWidth > width || imageHeight > height) return;
    size_t stride = (size_t)width * bytesPerPixel;
    for (unsigned y = 0; y < imageHeight; ++y) {
        unsigned char* row = pixels + y * stride;
        const unsigned char* last = row + (size_t)(imageWidth - 1) * bytesPerPixel;
        for (unsigned x = imageWidth; x < width; ++x)
            std::memcpy(row + (size_t)x * bytesPerPixel, last, bytesPerPixel);
    }
    const unsigned char* lastRow = pixels + (size_t)(imageHeight - 1) * stride;
    for (unsigned y = imageHeight; y < height; ++y) std::memcpy(pixels + y * stride, lastRow, stride);
}

Texture* ResourceManager::LoadPngTexture(const char* name) {
    FileHandle* file = OpenFile(name);
    if (!file) return nullptr;
    unsigned char signature[8];
    if (g_fileSystem.Read(signature, 8, file) != 8 || png_sig_cmp(signature, 0, 8) != 0) {
        // Not a PNG: the JPEG loader gets its turn.
        g_fileSystem.Close(file);
        return nullptr;
    }
    DecodedImage image = {};
    bool decoded = DecodePng(file, image, DeviceTextureLayout().powerOfTwo);
    g_fileSystem.Close(file);
    if (!decoded) return nullptr;
    return EnterTexture(*this, name, image);
}

Texture* ResourceManager::LoadJpegTexture(const char* name) {
    FileHandle* file = OpenFile(name);
    if (!file) return nullptr;
    JpegReadFunction savedHook = JpegReadHook;
    JpegReadHook = JpegReadFileSystem;
    DecodedImage image = {};
    bool decoded = DecodeJpeg(file, image, DeviceTextureLayout().powerOfTwo);
    JpegReadHook = savedHook;
    g_fileSystem.Close(file);
    if (!decoded) return nullptr;
    return EnterTexture(*this, name, image);
}
