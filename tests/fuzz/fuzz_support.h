// What every fuzz target shares: a private working folder, the input written
// there as a file, and a manifest that gives those files their labels.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "render_device.h"

// The target's own folder (made on first use, the working folder from then
// on), with a slash at the end.
const std::string& FuzzFolder();
// Writes bytes to name in that folder; the full path.
std::string WriteFuzzFile(const std::string& name, const uint8_t* data, size_t size);
// Loads a manifest into the file system that gives each (label, file name)
// in the folder its file ID, in order from 1; an archive path when not empty.
void LoadFuzzManifest(const std::vector<std::pair<std::string, std::string>>& files,
                      const std::string& archive = std::string());
// Writes a white RGBA PNG of that size to name in the folder.
void WriteFuzzPng(const std::string& name, unsigned width, unsigned height);
// Reads every byte of n bytes, so the sanitizers see a buffer that is short.
unsigned TouchBytes(const void* data, size_t n);

// What the stand-in device answers to DeviceTextureLayout: at first the
// full edition's (padded, red first, pixels freed after upload).
extern TextureLayout g_fuzzTextureLayout;
