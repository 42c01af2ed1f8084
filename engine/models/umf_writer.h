// Writing a model record as a UMF file (see umf.h for the format).
//
// The record is written as ReadUmf produces it; the fields LoadModel and the
// drawing derive (Textured, BitsPerPixel, First/LastTexture, boxes, Drawable)
// are ignored. Reading the bytes back gives the same record. Chunks with a
// count of 0 and empty tracks are left out. Written order: header, materials,
// objects with the lights and cameras chunks after them. Every item tag byte
// is UmfWriterTag, which collides with no chunk tag.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/models/umf.h"

constexpr std::uint8_t UmfWriterTag = 0x80;

// std::invalid_argument when the record cannot be written as it is: a count
// that differs from its array's size, or a track that holds neither 0 nor
// FrameCount entries (a light or camera track must hold FrameCount).
std::vector<std::uint8_t> WriteUmf(const TModel& model);
// WriteUmf to a file; TIoError when the file cannot be written.
void SaveUmf(const std::string& path, const TModel& model);
