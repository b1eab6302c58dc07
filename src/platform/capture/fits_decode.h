#pragma once

#include "platform/capture/raw_frame.h"

#include <QString>
#include <cstddef>

// Reads a FITS image as INDI cameras send it: a primary header of 80-character cards in
// 2880-byte blocks, then the data. Accepted: BITPIX 8 (unsigned) or 16 (signed, big-endian),
// NAXIS 2 (or 3 with NAXIS3 = 1), with the physical value BZERO + BSCALE * stored, rounded
// and held to 0..65535 (0..255 for 8-bit data), which is also the frame's maxValue. Rows are kept
// in data order: INDI writes ROWORDER 'TOP-DOWN', so the first row is the top one; only an explicit
// 'BOTTOM-UP' is turned over.
//
// Colour cameras (a BAYERPAT card) are made mono at full size: each pixel becomes the mean of
// the 2 x 2 cell it starts (itself, its right, lower and lower-right neighbour; the last row and
// column repeat their neighbour), so every output pixel holds one red, two green and one blue
// sample and the pattern's checkerboard is gone. The centroid of a star moves by the same
// half pixel right and down in every frame, so guiding is not affected.
//
// On failure returns false and says why in `error`; `frame` is then unspecified.
bool decodeFits(const char* data, size_t size, RawFrame& frame, QString& error);
