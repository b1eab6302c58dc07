#pragma once

#include <cstdint>

// What the centroid search reads: a picture it can refresh and query point by point.
class StarPicture {
public:
    virtual ~StarPicture() = default;
    virtual void refresh() = 0;
    // Colour value 0x00BBGGRR of the pixel at column x, row y; -1 outside the picture.
    virtual int32_t Point(float x, float y) const = 0;
};

// Brightness 0..255 of a colour value: nearest integer to 0.587 G + 0.299 R + 0.114 B, halves
// to even. -1 (outside the picture) gives 255.
uint8_t luminance(int32_t colour);

// Finds the brightness-weighted centre of the star in the R x R window around (x, y), with
// R = Globals::searchRadius, and leaves it in Globals::starX/starY (frame pixels), or 0, 0
// when no pixel qualifies. A pixel counts when it is brighter than the window's mean by more
// than 15 and at least three of its four edge neighbours are too; the window's outermost rows
// and columns never count. R of 0 or above 100 cannot be searched: starX/starY are left as
// they were. x and y are read before anything is written, so they may be starX and starY.
void findStar(StarPicture& picture, const float& x, const float& y);
