#include "image_io.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>  // after <cstdio>: it needs FILE and size_t
#include <png.h>

#include "file_util.h"

namespace {

bool ReadPng(const std::vector<unsigned char>& bytes, RgbaImage& out) {
    png_image img;
    std::memset(&img, 0, sizeof(img));
    img.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&img, bytes.data(), bytes.size())) return false;
    img.format = PNG_FORMAT_RGBA;
    out.w = (int)img.width;
    out.h = (int)img.height;
    out.px.resize(PNG_IMAGE_SIZE(img));
    return png_image_finish_read(&img, nullptr, out.px.data(), 0, nullptr) != 0;
}

struct JpegError {
    jpeg_error_mgr mgr;
    jmp_buf jump;
};
void JpegFail(j_common_ptr c) { longjmp(reinterpret_cast<JpegError*>(c->err)->jump, 1); }

bool ReadJpeg(const std::vector<unsigned char>& bytes, RgbaImage& out) {
    jpeg_decompress_struct c;
    JpegError err;
    c.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = JpegFail;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&c);
        return false;
    }
    jpeg_create_decompress(&c);
    jpeg_mem_src(&c, const_cast<unsigned char*>(bytes.data()), bytes.size());
    jpeg_read_header(&c, TRUE);
    c.out_color_space = JCS_RGB;
    jpeg_start_decompress(&c);
    out.w = (int)c.output_width;
    out.h = (int)c.output_height;
    out.px.assign((size_t)out.w * out.h * 4, 255);
    std::vector<unsigned char> row((size_t)out.w * 3);
    while (c.output_scanline < c.output_height) {
        unsigned char* r = row.data();
        int y = (int)c.output_scanline;
        jpeg_read_scanlines(&c, &r, 1);
        for (int x = 0; x < out.w; ++x)
            for (int k = 0; k < 3; ++k) out.px[((size_t)y * out.w + x) * 4 + k] = row[x * 3 + k];
    }
    jpeg_finish_decompress(&c);
    jpeg_destroy_decompress(&c);
    return true;
}

void PngAppend(png_structp png, png_bytep data, png_size_t n) {
    auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + n);
}
void PngFlush(png_structp) {}

} // namespace

bool ReadImageFile(const std::string& path, RgbaImage& out, std::string& error) {
    std::vector<unsigned char> bytes;
    if (!ReadFileBytes(path, bytes)) {
        error = "cannot read " + path;
        return false;
    }
    const bool png = bytes.size() >= 8 && bytes[0] == 0x89 && bytes[1] == 'P';
    if (png ? ReadPng(bytes, out) : ReadJpeg(bytes, out)) return true;
    error = path + (png ? ": damaged PNG" : ": damaged JPEG");
    return false;
}

std::vector<unsigned char> EncodePngRows(int w, int h, bool alpha,
                                         const std::function<void(int, unsigned char*)>& fillRow) {
    std::vector<unsigned char> out;
    std::vector<unsigned char> row((size_t)w * (alpha ? 4 : 3));
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, PngAppend, PngFlush);
    png_set_IHDR(png, info, w, h, 8, alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 9);
    png_write_info(png, info);
    for (int y = 0; y < h; ++y) {
        fillRow(y, row.data());
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

std::vector<unsigned char> EncodeRgbaPng(const RgbaImage& img) {
    return EncodePngRows(img.w, img.h, true, [&](int y, unsigned char* row) {
        std::memcpy(row, img.At(0, y), (size_t)img.w * 4);
    });
}

std::vector<unsigned char> EncodeJpeg(const RgbaImage& img, int quality) {
    jpeg_compress_struct c;
    JpegError err;
    c.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = JpegFail;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&c);  // what the destination held is lost with the run
        return {};
    }
    jpeg_create_compress(&c);
    jpeg_mem_dest(&c, &buffer, &size);
    c.image_width = (JDIMENSION)img.w;
    c.image_height = (JDIMENSION)img.h;
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, quality, TRUE);
    for (int i = 0; i < c.num_components; ++i) c.comp_info[i].h_samp_factor = c.comp_info[i].v_samp_factor = 1;
    c.optimize_coding = TRUE;
    jpeg_start_compress(&c, TRUE);
    std::vector<unsigned char> row((size_t)img.w * 3);
    while (c.next_scanline < c.image_height) {
        const unsigned char* p = img.At(0, (int)c.next_scanline);
        for (int x = 0; x < img.w; ++x)
            for (int k = 0; k < 3; ++k) row[x * 3 + k] = p[x * 4 + k];
        unsigned char* r = row.data();
        jpeg_write_scanlines(&c, &r, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::vector<unsigned char> out(buffer, buffer + size);
    std::free(buffer);
    return out;
}
