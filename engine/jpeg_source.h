// A libjpeg data source whose reads go through a replaceable hook, so JPEG
// images can be decoded from loose files and archive entries alike.
#pragma once
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

// read(buffer, n, handle) -> bytes read; 0 at the end of the data.
typedef size_t (*JpegReadFunction)(void* buffer, size_t n, void* handle);

// Starts as JpegReadStdio; the texture loader points it at the FileSystem.
extern JpegReadFunction JpegReadHook;

// fread from the FILE* passed as handle.
size_t JpegReadStdio(void* buffer, size_t n, void* handle);

// Makes decompressor read from handle through JpegReadHook.
void SetJpegSource(j_decompress_ptr decompressor, void* handle);
