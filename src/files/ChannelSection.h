#pragma once
// The channel section body: the database block as a receiver model stores it.
// Models 1-3 keep each satellite's link and tuner words two bytes lower
// (packed form); the writer also forces the marker bits per model and gives
// free records the sentinels the receiver expects.

#include <cstdint>
#include <vector>

#include "db/DbImage.h"
#include "files/ModelTable.h"

namespace pelagor {

// Offsets of the two satellite words inside a packed record.
inline constexpr size_t kPackedSatLinkWord = 26;
inline constexpr size_t kPackedSatTunerWord = 30;

// Gives free records whose bytes look never used the "none" links.
void NormaliseFreeSlots(DbImage& copy);

// The body written for a model: conversion, marker bits, free-slot sentinels.
// The image itself is not changed.
[[nodiscard]] std::vector<uint8_t> BuildChannelBody(const DbImage& img, ModelId model);

// Reads kImageSize bytes of a body in the given form. Bytes 26-27 of a
// satellite record have no place in the packed form and read as 0.
void ReadChannelBody(const uint8_t* body, ChannelForm form, DbImage& out);

}  // namespace pelagor
