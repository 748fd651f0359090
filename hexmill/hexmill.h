// CHexmill: turns bytes into escaped text and back. Every byte outside a set
// of plain characters becomes an escape text followed by two lower-case
// hexadecimal digits, and a space may travel as "+". With the escape "%" this
// is URL encoding; with "=" it is the byte form of quoted-printable.
//
// Members that return long give zero or a length on success and a negative
// code on failure: a BasekitError passed through unchanged, or one of the
// HexmillError codes below.
//
// A coder owns its result buffer and its plain set; it cannot be copied (two
// objects would own the same buffers). It also keeps one spare buffer the
// size of a recent result, so that repeated calls do not allocate, and the
// tables of its last Encode. Use one
// object per thread at a time.
#pragma once

#include "basekit.h"
#include "hexmill_export.h"

#include <cstdint>

enum HexmillError : long {
    HEXMILL_ENCODE_FAILED = -1, // Encode was given no text for a non-zero length
    HEXMILL_BAD_DIGIT = -8,     // a character after the escape text is not a hex digit
    HEXMILL_BAD_ARGUMENT = -11, // a null text, path or out pointer, or a line width of 0
    HEXMILL_TOO_LONG = -12,     // the result would be larger than a length can express
};

class HEXMILL_EXPORT CHexmill : public CBasekit {
public:
    CHexmill();
    ~CHexmill() override;
    CHexmill(const CHexmill &) = delete;
    CHexmill &operator=(const CHexmill &) = delete;

    // Escapes `length` bytes of `text`. A byte is copied when it is not 0 and
    // occurs in `plain` (null: no plain bytes); otherwise a space becomes "+"
    // when spaceMode is 0; otherwise the byte becomes `escape` (null: none)
    // and its two lower-case hex digits. The result, NUL-terminated, is in
    // GetMyMemOut(); the return value is its length.
    long Encode(const char *text, uint32_t length, int16_t spaceMode, const char *plain,
                const char *escape);

    // Resolves the escapes of the NUL-terminated `text`: "+" gives a space
    // when spaceMode is 0; `escape` and two hex digits give one byte (null or
    // empty escape: every position starts a pair of digits); anything else
    // is copied. Hex digits are read by the low five bits of their code, so
    // both cases are accepted. Returns the byte count in GetMyMemOut();
    // HEXMILL_BAD_DIGIT leaves the previous result in place.
    long Decode(const char *text, int16_t spaceMode, const char *escape);

    // Encodes (direction 0) or decodes (any other direction) the file at
    // inPath into outPath. Decoding stops at the first NUL byte of the file.
    // Returns 0 or a negative code; outPath is untouched on failure.
    long FileEncode(const char *inPath, const char *outPath, int16_t direction, int16_t spaceMode,
                    const char *plain, const char *escape);

    // The result of the last successful Encode or Decode (null until then).
    // Owned by the coder; valid until the next call or the coder's end.
    char *GetMyMemOut();
    // The default plain set: ASCII letters and digits.
    char *GetChars();

    // Lays `hexText` out as space-separated pairs; a line ends with CR LF
    // once its pairs take more than lineWidth characters. The new text is
    // stored in *out, to be released by the caller with Sfree; *out is not
    // released first. Returns the length of the text.
    long PlasticHexData(const char *hexText, uint32_t lineWidth, char **out);

private:
    // Characters one escaped byte takes: the escape's length + 2.
    long HeaderLength(const char *escape);
    // Where a call writes its result: the spare buffer when it is large
    // enough (and not far too large) and the call does not read from it,
    // else a new one.
    struct Target {
        char *buffer;
        size_t capacity;
        bool fresh;
    };
    long acquire(size_t size, const char *text, size_t textLength, const char *plain,
                 const char *escape, Target &target);
    // Success: the target becomes the result and the old result the spare.
    void commit(const Target &target);
    // Failure: the result stays as it was.
    void abandon(Target &target);

    // What Encode made for its last plain set, space mode and escape of up
    // to two characters, kept for the next call with the same ones (short
    // texts would otherwise spend most of their time making them).
    struct EncodeTables {
        bool valid = false;
        unsigned char escapeLength = 0;
        char escape[2] = {};
        // 0 plain, 1 "+", 2 escaped.
        unsigned char kind[256] = {};
        // Per byte: its characters in the low bytes, their count in the top.
        uint64_t word[256] = {};
        // Plain bytes as bitmaps by low nibble, for bytes below 0x80 and
        // from 0x80 on (the vector loop's lookup).
        alignas(16) unsigned char plainLow[16] = {};
        alignas(16) unsigned char plainHigh[16] = {};
    };
    void prepareEncodeTables(const unsigned char *kind, const char *escape, size_t escapeLength);

    EncodeTables encodeTables;
    char *outBuffer = nullptr;
    size_t outCapacity = 0;
    char *spareBuffer = nullptr;
    size_t spareCapacity = 0;
    char *plainChars = nullptr;
};
