// Solid rectangle fills. Callers clip: the rectangle lies inside the image. Every fill
// starts row y at base + y * pitch + x * bytesPerPixel and fills width pixels in each of
// height rows with the raw colour value of the image's type.
#pragma once

#include <cstdint>

using FillRectKernel = void (*)(std::uint8_t* base, std::int32_t pitch, std::int32_t x,
                                std::int32_t y, std::int32_t width, std::int32_t height,
                                std::uint32_t colour);

// Depths 1, 2 and 4: pixels packed most significant bits first. The colour's low depth
// bits are replicated across a byte; partial bytes at either end are merged under masks
// so that pixels outside the rectangle keep their bits.
void FillRectPacked(std::uint8_t* base, std::int32_t pitch, std::int32_t x, std::int32_t y,
                    std::int32_t width, std::int32_t height, std::uint32_t colour,
                    std::uint32_t depth);

void FillRect8(std::uint8_t* base, std::int32_t pitch, std::int32_t x, std::int32_t y,
               std::int32_t width, std::int32_t height, std::uint32_t colour);
void FillRect16(std::uint8_t* base, std::int32_t pitch, std::int32_t x, std::int32_t y,
                std::int32_t width, std::int32_t height, std::uint32_t colour);
// Memory order colour & 0xff, (colour >> 8) & 0xff, (colour >> 16) & 0xff.
void FillRect24(std::uint8_t* base, std::int32_t pitch, std::int32_t x, std::int32_t y,
                std::int32_t width, std::int32_t height, std::uint32_t colour);
void FillRect32(std::uint8_t* base, std::int32_t pitch, std::int32_t x, std::int32_t y,
                std::int32_t width, std::int32_t height, std::uint32_t colour);
