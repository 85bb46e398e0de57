// Sector encoding speed, in user-data bytes per second: what the virtual
// CD writer and the raw recording modes pay per sector.

#include <benchmark/benchmark.h>

#include <array>
#include <random>

#include "sector/cd_sector.h"

namespace {

using namespace emberline::sector;

template <std::size_t N>
std::array<std::uint8_t, N> randomBytes() {
  std::mt19937 rng(7);
  std::array<std::uint8_t, N> a{};
  for (auto& b : a) b = static_cast<std::uint8_t>(rng());
  return a;
}

void Edc2048(benchmark::State& state) {
  const auto data = randomBytes<kUserDataSize>();
  for (auto _ : state) benchmark::DoNotOptimize(edc(data));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kUserDataSize);
}
BENCHMARK(Edc2048);

void Mode1(benchmark::State& state) {
  const auto user = randomBytes<kUserDataSize>();
  std::array<std::uint8_t, kRawSectorSize> raw{};
  std::int32_t lba = 0;
  for (auto _ : state) {
    encodeMode1(lba++, user, raw);
    benchmark::DoNotOptimize(raw.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kUserDataSize);
}
BENCHMARK(Mode1);

void Mode2Form1(benchmark::State& state) {
  const auto user = randomBytes<kUserDataSize>();
  std::array<std::uint8_t, kRawSectorSize> raw{};
  std::int32_t lba = 0;
  for (auto _ : state) {
    encodeMode2Form1(lba++, Subheader{0, 0, submode::kData, 0}, user, raw);
    benchmark::DoNotOptimize(raw.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kUserDataSize);
}
BENCHMARK(Mode2Form1);

void Mode2Form2(benchmark::State& state) {
  const auto user = randomBytes<kForm2DataSize>();
  std::array<std::uint8_t, kRawSectorSize> raw{};
  std::int32_t lba = 0;
  for (auto _ : state) {
    encodeMode2Form2(lba++, Subheader{1, 1, submode::kVideo | submode::kRealTime, 0x0F}, user, raw);
    benchmark::DoNotOptimize(raw.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kForm2DataSize);
}
BENCHMARK(Mode2Form2);

}  // namespace

BENCHMARK_MAIN();
