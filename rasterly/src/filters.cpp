#include "filters.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace rasterly {
namespace {

void unfilterSub(unsigned char *row, std::size_t len, unsigned step)
{
    for (std::size_t i = step; i < len; ++i)
        row[i] = static_cast<unsigned char>(row[i] + row[i - step]);
}

void unfilterUp(unsigned char *__restrict row, const unsigned char *__restrict prev, std::size_t len)
{
    for (std::size_t i = 0; i < len; ++i)
        row[i] = static_cast<unsigned char>(row[i] + prev[i]);
}

void unfilterAverage(unsigned char *row, const unsigned char *prev, std::size_t len, unsigned step)
{
    const std::size_t lead = step < len ? step : len;
    if (!prev) {
        for (std::size_t i = step; i < len; ++i)
            row[i] = static_cast<unsigned char>(row[i] + (row[i - step] >> 1));
        return;
    }
    for (std::size_t i = 0; i < lead; ++i)
        row[i] = static_cast<unsigned char>(row[i] + (prev[i] >> 1));
    for (std::size_t i = lead; i < len; ++i)
        row[i] = static_cast<unsigned char>(row[i] + ((row[i - step] + prev[i]) >> 1));
}

inline unsigned char paethPredict(int a, int b, int c)
{
    const int pa = b > c ? b - c : c - b;
    const int pb = a > c ? a - c : c - a;
    const int pab = a + b - 2 * c;
    const int pc = pab < 0 ? -pab : pab;
    // Ties go to the left neighbour, then to the one above.
    if (pa <= pb && pa <= pc)
        return static_cast<unsigned char>(a);
    return static_cast<unsigned char>(pb <= pc ? b : c);
}

void unfilterPaethScalar(unsigned char *row, const unsigned char *prev, std::size_t len, unsigned step)
{
    const std::size_t lead = step < len ? step : len;
    for (std::size_t i = 0; i < lead; ++i) // no left neighbour: the predictor is the byte above
        row[i] = static_cast<unsigned char>(row[i] + prev[i]);
    for (std::size_t i = lead; i < len; ++i)
        row[i] = static_cast<unsigned char>(row[i] + paethPredict(row[i - step], prev[i], prev[i - step]));
}

#if defined(__SSE2__)
// Pixel loads and stores through integer registers: a 3- or 6-byte memcpy
// through the stack would stall on store forwarding at every pixel.
template <unsigned Step>
inline uint64_t loadInt(const unsigned char *p)
{
    uint64_t v = 0;
    if constexpr (Step == 3 || Step == 6) {
        uint16_t tail;
        std::memcpy(&tail, p + Step - 2, 2);
        if constexpr (Step == 3) {
            v = uint64_t(p[0]) | (uint64_t(tail) << 8);
        } else {
            uint32_t head;
            std::memcpy(&head, p, 4);
            v = uint64_t(head) | (uint64_t(tail) << 32);
        }
    } else {
        std::memcpy(&v, p, Step);
    }
    return v;
}

template <unsigned Step>
inline void storeInt(unsigned char *p, uint64_t v)
{
    if constexpr (Step == 3) {
        p[0] = static_cast<unsigned char>(v);
        const auto tail = static_cast<uint16_t>(v >> 8);
        std::memcpy(p + 1, &tail, 2);
    } else if constexpr (Step == 6) {
        const auto head = static_cast<uint32_t>(v);
        const auto tail = static_cast<uint16_t>(v >> 32);
        std::memcpy(p, &head, 4);
        std::memcpy(p + 4, &tail, 2);
    } else {
        std::memcpy(p, &v, Step);
    }
}

template <unsigned Step>
inline __m128i loadBytes(const unsigned char *p)
{
    return _mm_cvtsi64_si128(static_cast<long long>(loadInt<Step>(p)));
}

template <unsigned Step>
inline void storeBytes(unsigned char *p, __m128i v)
{
    storeInt<Step>(p, static_cast<uint64_t>(_mm_cvtsi128_si64(v)));
}

// One pixel widened to 16-bit lanes.
template <unsigned Step>
inline __m128i loadPixel(const unsigned char *p)
{
    return _mm_unpacklo_epi8(loadBytes<Step>(p), _mm_setzero_si128());
}

template <unsigned Step>
inline void storePixel(unsigned char *p, __m128i v16)
{
    storeBytes<Step>(p, _mm_packus_epi16(v16, v16));
}

inline __m128i abs16(__m128i x)
{
    return _mm_max_epi16(x, _mm_sub_epi16(_mm_setzero_si128(), x));
}

inline __m128i select16(__m128i mask, __m128i whenSet, __m128i otherwise)
{
    return _mm_or_si128(_mm_and_si128(mask, whenSet), _mm_andnot_si128(mask, otherwise));
}

// One whole pixel per step: the chain through the left neighbour is one
// add per pixel instead of one per byte.
template <unsigned Step>
void unfilterSubSse2(unsigned char *row, std::size_t len)
{
    __m128i a = _mm_setzero_si128();
    for (std::size_t i = 0; i + Step <= len; i += Step) {
        a = _mm_add_epi8(loadBytes<Step>(row + i), a);
        storeBytes<Step>(row + i, a);
    }
}

// floor((left + above) / 2) as the rounding-up average minus the lost bit.
// Without a row above, `above` is zero and this is left / 2.
template <unsigned Step>
void unfilterAverageSse2(unsigned char *row, const unsigned char *prev, std::size_t len)
{
    const __m128i one = _mm_set1_epi8(1);
    __m128i a = _mm_setzero_si128();
    for (std::size_t i = 0; i + Step <= len; i += Step) {
        const __m128i b = prev ? loadBytes<Step>(prev + i) : _mm_setzero_si128();
        const __m128i avg = _mm_sub_epi8(_mm_avg_epu8(a, b), _mm_and_si128(_mm_xor_si128(a, b), one));
        a = _mm_add_epi8(loadBytes<Step>(row + i), avg);
        storeBytes<Step>(row + i, a);
    }
}

// All channels of one pixel at a time, in 16-bit lanes; the chain through
// the left neighbour keeps it one pixel per step.
template <unsigned Step>
void unfilterPaethSse2(unsigned char *row, const unsigned char *prev, std::size_t len)
{
    const __m128i lowByte = _mm_set1_epi16(0xFF);
    __m128i a = _mm_setzero_si128(); // left
    __m128i c = _mm_setzero_si128(); // upper left
    std::size_t i = 0;
    for (; i + Step <= len; i += Step) {
        const __m128i b = loadPixel<Step>(prev + i);
        const __m128i x = loadPixel<Step>(row + i);
        __m128i pa = _mm_sub_epi16(b, c);
        __m128i pb = _mm_sub_epi16(a, c);
        __m128i pc = abs16(_mm_add_epi16(pa, pb));
        pa = abs16(pa);
        pb = abs16(pb);
        const __m128i smallest = _mm_min_epi16(pc, _mm_min_epi16(pa, pb));
        __m128i nearest = select16(_mm_cmpeq_epi16(smallest, pb), b, c);
        nearest = select16(_mm_cmpeq_epi16(smallest, pa), a, nearest);
        a = _mm_and_si128(_mm_add_epi16(x, nearest), lowByte);
        storePixel<Step>(row + i, a);
        c = b;
    }
    for (; i < len; ++i) // a partial pixel cannot occur for these steps, kept for safety
        row[i] = static_cast<unsigned char>(row[i] + paethPredict(row[i - Step], prev[i], prev[i - Step]));
}
#endif

void unfilterPaeth(unsigned char *row, const unsigned char *prev, std::size_t len, unsigned step)
{
    if (!prev) { // with the row above all zeros, Paeth always picks the left neighbour
        unfilterSub(row, len, step);
        return;
    }
#if defined(__SSE2__)
    switch (step) {
    case 2: unfilterPaethSse2<2>(row, prev, len); return;
    case 3: unfilterPaethSse2<3>(row, prev, len); return;
    case 4: unfilterPaethSse2<4>(row, prev, len); return;
    case 6: unfilterPaethSse2<6>(row, prev, len); return;
    case 8: unfilterPaethSse2<8>(row, prev, len); return;
    default: break;
    }
#endif
    unfilterPaethScalar(row, prev, len, step);
}

#if defined(__SSE2__)
// Whole-pixel versions for the steps of 8- and 16-bit pixels; rows of those
// are always whole pixels.
bool unfilterWide(unsigned type, unsigned char *row, const unsigned char *prev, std::size_t len, unsigned step)
{
    if (len % step != 0)
        return false;
    if (type == 1) {
        switch (step) {
        case 2: unfilterSubSse2<2>(row, len); return true;
        case 3: unfilterSubSse2<3>(row, len); return true;
        case 4: unfilterSubSse2<4>(row, len); return true;
        case 6: unfilterSubSse2<6>(row, len); return true;
        case 8: unfilterSubSse2<8>(row, len); return true;
        default: return false;
        }
    }
    if (type == 3) {
        switch (step) {
        case 2: unfilterAverageSse2<2>(row, prev, len); return true;
        case 3: unfilterAverageSse2<3>(row, prev, len); return true;
        case 4: unfilterAverageSse2<4>(row, prev, len); return true;
        case 6: unfilterAverageSse2<6>(row, prev, len); return true;
        case 8: unfilterAverageSse2<8>(row, prev, len); return true;
        default: return false;
        }
    }
    return false;
}
#endif

} // namespace

void unfilterRow(unsigned type, unsigned char *row, const unsigned char *prev, std::size_t len,
                 unsigned step)
{
#if defined(__SSE2__)
    if (step > 1 && (type == 1 || type == 3) && unfilterWide(type, row, prev, len, step))
        return;
#endif
    switch (type) {
    case 1: unfilterSub(row, len, step); break;
    case 2:
        if (prev)
            unfilterUp(row, prev, len);
        break;
    case 3: unfilterAverage(row, prev, len, step); break;
    case 4: unfilterPaeth(row, prev, len, step); break;
    default: break; // None, and unknown types, leave the row unchanged
    }
}

} // namespace rasterly
