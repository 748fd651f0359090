// Hexmill throughput on 64 MiB: Encode and Decode of mixed text (letters,
// digits, spaces, punctuation and CP932 double-byte characters), and the
// worst case where every byte is escaped. Figures are MB/s of input.
#include "hexmill.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <string>

namespace {

constexpr size_t kSize = size_t(64) << 20;

// Text-like bytes: about half plain, the rest spaces, punctuation and CP932
// pairs, as a schedule full of Japanese notes would give.
const std::string &mixedBytes()
{
    static const std::string bytes = [] {
        std::mt19937 rng(42);
        const std::string plain = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
        const std::string punct = " .,-:/()=+!?\r\n";
        std::string s;
        s.reserve(kSize + 2);
        while (s.size() < kSize) {
            const unsigned r = rng() % 100;
            if (r < 50) {
                s += plain[rng() % plain.size()];
            } else if (r < 65) {
                s += punct[rng() % punct.size()];
            } else {
                s += char(0x81 + rng() % 0x1F); // lead byte
                s += char(0x40 + rng() % 0xBC); // trail byte
            }
        }
        s.resize(kSize);
        return s;
    }();
    return bytes;
}

const std::string &randomBytes()
{
    static const std::string bytes = [] {
        std::mt19937_64 rng(7);
        std::string s(kSize, '\0');
        for (size_t i = 0; i < kSize; i += 8) {
            const uint64_t v = rng();
            std::memcpy(&s[i], &v, 8);
        }
        return s;
    }();
    return bytes;
}

std::string encodedOf(const std::string &bytes, const char *plain)
{
    CHexmill m;
    const long n = m.Encode(bytes.data(), uint32_t(bytes.size()), 0, plain ? plain : nullptr, "=");
    return std::string(m.GetMyMemOut(), size_t(n));
}

void BM_EncodeMixed(benchmark::State &state)
{
    const std::string &in = mixedBytes();
    CHexmill m;
    long n = 0;
    for (auto _ : state) {
        n = m.Encode(in.data(), uint32_t(in.size()), 0, m.GetChars(), "=");
        benchmark::DoNotOptimize(m.GetMyMemOut());
    }
    if (n < 0)
        state.SkipWithError("Encode failed");
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(in.size()));
    state.counters["out_MiB"] = double(n) / (1 << 20);
}

void BM_DecodeMixed(benchmark::State &state)
{
    CHexmill probe;
    const std::string in = encodedOf(mixedBytes(), probe.GetChars());
    CHexmill m;
    long n = 0;
    for (auto _ : state) {
        n = m.Decode(in.c_str(), 0, "=");
        benchmark::DoNotOptimize(m.GetMyMemOut());
    }
    if (n != long(kSize))
        state.SkipWithError("Decode did not give the input back");
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(in.size()));
    state.counters["in_MiB"] = double(in.size()) / (1 << 20);
}

void BM_EncodeAllEscaped(benchmark::State &state)
{
    const std::string &in = randomBytes();
    CHexmill m;
    for (auto _ : state) {
        m.Encode(in.data(), uint32_t(in.size()), 1, nullptr, "=");
        benchmark::DoNotOptimize(m.GetMyMemOut());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(in.size()));
}

void BM_DecodeAllEscaped(benchmark::State &state)
{
    const std::string in = encodedOf(randomBytes(), nullptr);
    CHexmill m;
    for (auto _ : state) {
        m.Decode(in.c_str(), 1, "=");
        benchmark::DoNotOptimize(m.GetMyMemOut());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(in.size()));
}

} // namespace

BENCHMARK(BM_EncodeMixed)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_DecodeMixed)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_EncodeAllEscaped)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_DecodeAllEscaped)->Unit(benchmark::kMillisecond)->MinTime(1.0);

BENCHMARK_MAIN();
