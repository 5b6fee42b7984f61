// Transparent edging: gives the transparent pixels near opaque ones the
// colour of those neighbours, so that a filter which blurs or scales the
// picture does not pull black fringes in from the transparent area. Alpha
// values and opaque pixels never change.
#pragma once

#include "work_image.h"

namespace tinta {

// Results of ApplyTransparentEdging.
constexpr int kEdgingDone = 0;
constexpr int kEdgingNotRgba = -1;   // colour model word is not "RGBA"
constexpr int kEdgingNotBgra = -2;   // channel sequence word is not "BGRA"
constexpr int kEdgingNoPixels = -3;  // the image has no pixel block
// The scratch image could not be made (size beyond the work image limit or
// no memory). The image is untouched.
constexpr int kEdgingNoScratch = -4;

// Spreads each opaque pixel's colour into the transparent pixels next to it:
// first along the rows (up to reach pixels to the right, reach - 1 to the
// left), then down the columns from every pixel that is opaque or was filled
// by the rows (reach down, reach - 1 up). The spread colours are collected in
// a scratch image and finally added to the image with saturation, so a
// transparent pixel that already had a colour gets the channel-wise sum.
//
// Deliberate properties of the walk: the pixel that ended a spread is passed
// over without being examined; a pure black spread cannot be told from an
// unfilled pixel; a spread to the left overwrites a spread to the right.
// On a failure the image is untouched.
int ApplyTransparentEdging(WorkImage& image, int reach);

}  // namespace tinta
