#include "jpeg_source.h"

#include <jerror.h>

namespace {

const size_t kInputBufferSize = 4096;

struct HookSource {
    jpeg_source_mgr pub;
    void* handle;
    JOCTET* buffer;
    boolean start_of_file;
};

void InitSource(j_decompress_ptr cinfo) {
    HookSource* src = reinterpret_cast<HookSource*>(cinfo->src);
    // Only an empty first read is an error; later ones are a short file.
    src->start_of_file = TRUE;
}

boolean FillInputBuffer(j_decompress_ptr cinfo) {
    HookSource* src = reinterpret_cast<HookSource*>(cinfo->src);
    size_t n = JpegReadHook(src->buffer, kInputBufferSize, src->handle);
    if (n == 0 || n > kInputBufferSize) {
        if (src->start_of_file) ERREXIT(cinfo, JERR_INPUT_EMPTY);
        // A file that ends early: warn and finish the image with an EOI marker.
        WARNMS(cinfo, JWRN_JPEG_EOF);
        src->buffer[0] = (JOCTET)0xFF;
        src->buffer[1] = (JOCTET)JPEG_EOI;
        n = 2;
    }
    src->pub.next_input_byte = src->buffer;
    src->pub.bytes_in_buffer = n;
    src->start_of_file = FALSE;
    return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long num_bytes) {
    jpeg_source_mgr* src = cinfo->src;
    if (num_bytes <= 0) return;
    while (num_bytes > (long)src->bytes_in_buffer) {
        num_bytes -= (long)src->bytes_in_buffer;
        // Never returns FALSE: this source does not suspend.
        (void)src->fill_input_buffer(cinfo);
    }
    src->next_input_byte += (size_t)num_bytes;
    src->bytes_in_buffer -= (size_t)num_bytes;
}

void TermSource(j_decompress_ptr) {}

} // namespace

size_t JpegReadStdio(void* buffer, size_t n, void* handle) {
    return handle ? std::fread(buffer, 1, n, static_cast<FILE*>(handle)) : 0;
}

JpegReadFunction JpegReadHook = JpegReadStdio;

void SetJpegSource(j_decompress_ptr cinfo, void* handle) {
    // Reuse our own manager across images; anything else (another kind of
    // source) is too small to be taken over.
    if (!cinfo->src || cinfo->src->init_source != InitSource) {
        HookSource* src = static_cast<HookSource*>((*cinfo->mem->alloc_small)(
            reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, sizeof(HookSource)));
        src->buffer = static_cast<JOCTET*>((*cinfo->mem->alloc_small)(
            reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, kInputBufferSize * sizeof(JOCTET)));
        cinfo->src = &src->pub;
    }
    HookSource* src = reinterpret_cast<HookSource*>(cinfo->src);
    src->pub.init_source = InitSource;
    src->pub.fill_input_buffer = FillInputBuffer;
    src->pub.skip_input_data = SkipInputData;
    src->pub.resync_to_restart = jpeg_resync_to_restart;
    src->pub.term_source = TermSource;
    src->handle = handle;
    src->pub.bytes_in_buffer = 0;
    src->pub.next_input_byte = nullptr;
}
