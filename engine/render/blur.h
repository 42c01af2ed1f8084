// The byte-grid blur routines of the glow, and the byte routines of the
// screen filters. Pure memory work: no OpenGL, no allocation.
//
// The blurs treat an image as `height` rows of width x bytesPerPixel bytes
// and blur bytes, not pixels: the left and right neighbours of a byte are
// the bytes just before and after it in its row (for RGB data the other
// channels of the same or the next pixel), the upper and lower neighbours
// are the same byte of the rows above and below. The first and last rows
// and the first and last pixel of every row are copied unchanged. Images
// narrower or lower than 3 pixels are copied whole.
#pragma once

#include <cstddef>
#include <cstdint>

// destination := the mean of the eight byte neighbours (the byte itself
// left out), i.e. their sum shifted right by 3. source and destination hold
// width x height x bytesPerPixel bytes each and must not overlap.
void RingBlur(std::uint16_t width, std::uint16_t height, std::uint16_t bytesPerPixel,
              const std::uint8_t* source, std::uint8_t* destination);
// The same with the four diagonal neighbours, their sum shifted right by 2.
void DiagonalBlur(std::uint16_t width, std::uint16_t height, std::uint16_t bytesPerPixel,
                  const std::uint8_t* source, std::uint8_t* destination);

// Screen filters over `pixels` RGB pixels (3 bytes each) in place.
// Grey: v = (R + G / 2 + B) / 2 (halving shifts), capped at 255, into all
// three channels. InvertedGrey: 255 - v. Negative: every byte b := 255 - b.
void GreyScreen(std::uint8_t* rgb, std::size_t pixels);
void InvertedGreyScreen(std::uint8_t* rgb, std::size_t pixels);
void NegativeScreen(std::uint8_t* rgb, std::size_t pixels);
