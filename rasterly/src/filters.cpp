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
template <unsigned Step>
inline __m128i loadPixel(const unsigned char *p)
{
    uint64_t v = 0;
    std::memcpy(&v, p, Step);
    return _mm_unpacklo_epi8(_mm_cvtsi64_si128(static_cast<long long>(v)), _mm_setzero_si128());
}

template <unsigned Step>
inline void storePixel(unsigned char *p, __m128i v16)
{
    const uint64_t v = static_cast<uint64_t>(_mm_cvtsi128_si64(_mm_packus_epi16(v16, v16)));
    std::memcpy(p, &v, Step);
}

inline __m128i abs16(__m128i x)
{
    return _mm_max_epi16(x, _mm_sub_epi16(_mm_setzero_si128(), x));
}

inline __m128i select16(__m128i mask, __m128i whenSet, __m128i otherwise)
{
    return _mm_or_si128(_mm_and_si128(mask, whenSet), _mm_andnot_si128(mask, otherwise));
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

} // namespace

void unfilterRow(unsigned type, unsigned char *row, const unsigned char *prev, std::size_t len,
                 unsigned step)
{
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
