/*
 * Rasterly: PNG files to and from Windows device-independent bitmaps.
 *
 * Reading takes three calls so that the caller can size its pixel buffer:
 *
 *     PngHandle *h = NULL;
 *     RASTERLY_BITMAPINFO256 info;           // cleared by the caller
 *     int32_t size = 0;
 *     if (mLoadPNG(path, &h, (BITMAPINFO *)&info, &size) == 1) {
 *         void *pixels = calloc(1, size);
 *         mGetPNGData(&h, pixels);            // rows top first, stride % 4 == 0
 *         mEndPNG(&h);
 *     }
 *
 * Results: 1 success; 3 file, read or memory failure (an image over the
 * caller's row limit included, see mLoadPNGLimit); 4 malformed or
 * unsupported PNG; 0 a null handle (mGetPNGData, mEndPNG) or any failure of
 * mWritePNG.
 *
 * Plain C interface, usable from C and C++. The library keeps no state
 * between calls other than the handles it hands out, and two threads may use
 * two different handles at the same time.
 */
#ifndef RASTERLY_RASTERLY_H
#define RASTERLY_RASTERLY_H

#include <stdint.h>

/*
 * Calling convention. On 32-bit Windows the exports use the standard-call
 * convention (the callee pops its arguments). x86-64 (Linux System V and
 * Win64 alike) has a single calling convention, and that one convention
 * stands for standard-call there: the macro is empty.
 */
#if defined(_WIN32) && !defined(_WIN64)
#define RASTERLY_STDCALL __stdcall
#else
#define RASTERLY_STDCALL
#endif

#if defined(_WIN32)
#if defined(RASTERLY_BUILDING)
#define RASTERLY_API __declspec(dllexport)
#else
#define RASTERLY_API __declspec(dllimport)
#endif
#else
#define RASTERLY_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/*
 * The Windows bitmap structures, field for field. On Windows the system's
 * own definitions (wingdi.h) are used when they are already present.
 */
#if !defined(_WINGDI_)
typedef struct tagBITMAPINFOHEADER {
    uint32_t biSize;          /* 40 */
    int32_t  biWidth;
    int32_t  biHeight;        /* negative: rows stored top row first */
    uint16_t biPlanes;        /* 1 */
    uint16_t biBitCount;      /* 1, 4, 8, 24 or 32 */
    uint32_t biCompression;   /* 0: uncompressed */
    uint32_t biSizeImage;
    int32_t  biXPelsPerMeter;
    int32_t  biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
} BITMAPINFOHEADER;

typedef struct tagRGBQUAD {
    uint8_t rgbBlue;
    uint8_t rgbGreen;
    uint8_t rgbRed;
    uint8_t rgbReserved;
} RGBQUAD;

/* As on Windows: the colour table runs on past the one declared entry. */
typedef struct tagBITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD          bmiColors[1];
} BITMAPINFO;
#endif

/* A BITMAPINFO with room for the full colour table: the 1064 bytes that
 * mLoadPNG fills and that mWritePNG reads for 8-bit bitmaps. */
typedef struct RASTERLY_BITMAPINFO256 {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD          bmiColors[256];
} RASTERLY_BITMAPINFO256;

#if defined(__cplusplus)
static_assert(sizeof(BITMAPINFOHEADER) == 40, "BITMAPINFOHEADER is 40 bytes");
static_assert(sizeof(RGBQUAD) == 4, "RGBQUAD is 4 bytes");
static_assert(sizeof(BITMAPINFO) == 44, "BITMAPINFO is the header and one entry");
static_assert(sizeof(RASTERLY_BITMAPINFO256) == 1064, "header and 256 entries");
#elif defined(__STDC_VERSION__) && __STDC_VERSION__ >= 201112L
_Static_assert(sizeof(BITMAPINFOHEADER) == 40, "BITMAPINFOHEADER is 40 bytes");
_Static_assert(sizeof(RGBQUAD) == 4, "RGBQUAD is 4 bytes");
_Static_assert(sizeof(BITMAPINFO) == 44, "BITMAPINFO is the header and one entry");
_Static_assert(sizeof(RASTERLY_BITMAPINFO256) == 1064, "header and 256 entries");
#endif

/* Decoder state, from a successful mLoadPNG to mEndPNG. */
typedef struct PngHandle PngHandle;

/*
 * Reads and checks the whole file, decodes the image and fills infoOut (at
 * least 1064 bytes: header and 256 colour entries; entries the image has no
 * use for keep the caller's values) and *sizeOut (bytes of the pixel block).
 * handleOut, infoOut and sizeOut are written only on success; on failure
 * there is nothing to end.
 */
RASTERLY_API int32_t RASTERLY_STDCALL mLoadPNG(const char *path, PngHandle **handleOut,
                                               BITMAPINFO *infoOut, int32_t *sizeOut);

/*
 * mLoadPNG with a cap on the memory an image may take: a file whose decoded
 * rows (the inflated scanlines, or the pixel block the caller allocates)
 * would need more than maxRowBytes bytes is refused with result 3 as soon
 * as its IHDR is read, before anything is allocated for its rows. A caller
 * that shows small pictures sets a cap of its own, so that a tiny file
 * declaring a huge image costs nothing. mLoadPNG is this call with
 * RASTERLY_DEFAULT_ROW_LIMIT; a maxRowBytes of 0 or less, or above the
 * default, means the default.
 */
#define RASTERLY_DEFAULT_ROW_LIMIT 2147483647 /* what fits in 2 GiB */
RASTERLY_API int32_t RASTERLY_STDCALL mLoadPNGLimit(const char *path, PngHandle **handleOut,
                                                    BITMAPINFO *infoOut, int32_t *sizeOut,
                                                    int64_t maxRowBytes);

/*
 * Writes the pixel rows (top row first, each row padded to a multiple of 4
 * bytes; the padding is not written) into pixelsOut, which must hold the
 * size mLoadPNG reported and be zeroed, as calloc gives it: rows that the
 * file's image data stopped short of are all zeros and are not written
 * either, so a tiny file declaring a tall image costs neither time nor the
 * memory of its empty rows. May be repeated; the handle stays valid.
 */
RASTERLY_API int32_t RASTERLY_STDCALL mGetPNGData(PngHandle **handleRef, void *pixelsOut);

/* Frees the decoder. Does not clear *handleRef. */
RASTERLY_API int32_t RASTERLY_STDCALL mEndPNG(PngHandle **handleRef);

/*
 * Stores an 8-, 24- or 32-bit bitmap (biHeight not negative; rows are taken
 * in memory order, the first row in memory becoming the top row) as a PNG
 * with 8 bits per sample: palette, RGB or RGBA. interlace != 0 writes Adam7. For 8 bits per
 * pixel info must hold 256 colour entries. Returns 1 when the whole file was
 * written, 0 otherwise.
 */
RASTERLY_API int32_t RASTERLY_STDCALL mWritePNG(const char *path, const void *pixels,
                                                const BITMAPINFO *info, int32_t interlace);

#ifdef __cplusplus
}
#endif

#endif /* RASTERLY_RASTERLY_H */
