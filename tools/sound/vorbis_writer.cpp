#include "vorbis_writer.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>

bool EncodeVorbis(const Audio& audio, double quality, int serial, const std::string& title,
                  std::vector<unsigned char>& out) {
    out.clear();
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, audio.channels, audio.rate, (float)quality) != 0) {
        vorbis_info_clear(&vi);
        return false;
    }
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_comment_add_tag(&vc, "TITLE", title.c_str());
    vorbis_dsp_state vd;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block vb;
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, serial);

    ogg_page page;
    auto take = [&]() {
        out.insert(out.end(), page.header, page.header + page.header_len);
        out.insert(out.end(), page.body, page.body + page.body_len);
    };
    ogg_packet id, comment, books;
    vorbis_analysis_headerout(&vd, &vc, &id, &comment, &books);
    ogg_stream_packetin(&os, &id);
    ogg_stream_packetin(&os, &comment);
    ogg_stream_packetin(&os, &books);
    // The audio starts on a page of its own.
    while (ogg_stream_flush(&os, &page)) take();

    const size_t frames = audio.Frames();
    const int channels = audio.channels;
    size_t pos = 0;
    for (;;) {
        size_t n = std::min<size_t>(1024, frames - pos);
        if (n == 0) {
            vorbis_analysis_wrote(&vd, 0);
        } else {
            float** buffer = vorbis_analysis_buffer(&vd, (int)n);
            for (size_t i = 0; i < n; ++i)
                for (int c = 0; c < channels; ++c) {
                    float s = audio.samples[(pos + i) * channels + c];
                    buffer[c][i] = std::max(-1.0f, std::min(1.0f, s));
                }
            vorbis_analysis_wrote(&vd, (int)n);
        }
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&vd, &packet)) {
                ogg_stream_packetin(&os, &packet);
                while (ogg_stream_pageout(&os, &page)) take();
            }
        }
        if (n == 0) break;
        pos += n;
    }
    while (ogg_stream_flush(&os, &page)) take();
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return !out.empty();
}

void EncodeWav(const Audio& audio, std::vector<unsigned char>& out) {
    out.clear();
    auto u32 = [&](unsigned v) {
        for (int k = 0; k < 4; ++k) out.push_back((unsigned char)(v >> (8 * k)));
    };
    auto u16 = [&](unsigned v) {
        out.push_back((unsigned char)v);
        out.push_back((unsigned char)(v >> 8));
    };
    unsigned data = (unsigned)(audio.samples.size() * 2);
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    u32(36 + data);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    u32(16);
    u16(1);
    u16((unsigned)audio.channels);
    u32((unsigned)audio.rate);
    u32((unsigned)(audio.rate * audio.channels * 2));
    u16((unsigned)(audio.channels * 2));
    u16(16);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    u32(data);
    for (float s : audio.samples) {
        int v = (int)std::lround(std::max(-1.0f, std::min(1.0f, s)) * 32767.0f);
        u16((unsigned)(v & 0xFFFF));
    }
}
