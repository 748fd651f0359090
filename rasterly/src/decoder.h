// Decoder state behind the opaque PngHandle, and the steps of loading.
#pragma once

#include <cstdint>

#include "rasterly/rasterly.h"

namespace rasterly {

// Internal causes. 10-14 are reported as result 3, 21-39 as result 4.
enum Error : int32_t {
    ErrNone = 0,
    ErrOpen = 10,          // the file cannot be opened (or no path / out-pointer given)
    ErrShortRead = 11,     // a read came up short: chunk length, type, data or CRC
    ErrNoMemory = 12,      // an allocation failed
    ErrGrowIdat = 13,      // the joined IDAT data could not be grown
    ErrOverLimit = 14,     // the image's rows would take more than the caller's limit
    ErrCrc = 21,           // a chunk's CRC differs from the stored one
    ErrSignature = 22,     // the signature is missing, short or wrong
    ErrShortIhdr = 23,     // IHDR has fewer than 13 data bytes
    ErrZeroSize = 24,      // width or height is 0
    ErrSecondIhdr = 25,
    ErrSecondPlte = 26,
    ErrBitDepth = 27,      // bit depth not allowed for the colour type
    ErrTooLarge = 28,      // a row, stride or image size does not fit 31 bits
    ErrColourType = 29,
    ErrPlteLength = 30,    // PLTE length not a multiple of 3
    ErrPlteBeforeIhdr = 31,
    ErrPlteInGrey = 32,
    ErrPlteTooLong = 33,
    ErrBeforeIhdr = 34,    // IDAT or IEND before IHDR
    ErrNoPlte = 35,        // IDAT or IEND in a palette image with no PLTE so far
    ErrNoIdat = 36,        // IEND with no IDAT before it
    ErrInflateInit = 37,
    ErrInflate = 38,       // inflate did not reach the end of the stream in one call
    ErrInflateEnd = 39,
};

inline int32_t resultFor(int32_t error)
{
    if (error == ErrNone)
        return 1;
    return error < 20 ? 3 : 4;
}

} // namespace rasterly

// Field order follows the decoder's bookkeeping; the handle is opaque to
// callers, so the extras at the end are free to change.
struct PngHandle {
    int32_t width;
    int32_t height;
    int32_t bitDepth;
    int32_t colourType;
    int32_t compressionMethod; // stored, never checked
    int32_t filterMethod;      // stored, never checked
    int32_t interlaceMethod;   // exactly 1 means Adam7
    unsigned char *palette;    // 1024 bytes, blue green red 0; null until PLTE
    unsigned char *imageData;  // inflated scanlines, unfiltered in place
    int32_t imageCapacity;
    int32_t rawRowLength;      // bytes of one raw row, without its filter byte
    int32_t outputSize;        // height * outputStride
    int32_t outputStride;      // multiple of 4
    int32_t outputBits;
    int32_t filterStep;        // bytes per complete pixel for the filters, at least 1
    unsigned char *idatData;
    int32_t idatLength;
    bool ihdrSeen;
    bool plteSeen;
    bool idatSeen;
    bool iendSeen;
    int32_t lastError;

    uint32_t idatCapacity;     // bytes allocated behind idatData
    int32_t bitsPerPixel;      // bit depth times samples per pixel
    int32_t inflatedBytes;     // image data bytes the stream filled; the rest stay 0
    int64_t rowLimit;          // the most bytes the image data or the pixel block may take
};
