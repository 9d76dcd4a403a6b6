// Single-thread throughput of every engine: over a large buffer in memory and over a file
// (read once through the program's own file path), in GB/s.
//
//   tarvolin_bench [--file PATH] [--memory-mib N] [--only NAME]
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/algorithms.h"
#include "app/options.h"
#include "bench_data.h"
#include "hash/stream.h"

namespace {

using Clock = std::chrono::steady_clock;
using tarvolin::app::Algorithm;
using tarvolin::app::THashChoices;

/// Best throughput of several runs, each hashing `bytes` once.
template <typename F>
double BestGBps(std::uint64_t bytes, F&& run) {
  double best = 0;
  const auto deadline = Clock::now() + std::chrono::milliseconds(1500);
  for (int round = 0; round < 3 || (round < 20 && Clock::now() < deadline); ++round) {
    const auto start = Clock::now();
    run();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    best = std::max(best, static_cast<double>(bytes) / seconds / 1e9);
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  std::string file;
  std::string only;
  std::size_t memoryMiB = 256;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--file") == 0) file = argv[i + 1];
    if (std::strcmp(argv[i], "--memory-mib") == 0) memoryMiB = std::stoul(argv[i + 1]);
    if (std::strcmp(argv[i], "--only") == 0) only = argv[i + 1];
  }

  tarvolin::app::BuildAlgorithmTable(tarvolin::app::HashAlgorithms);
  tarvolin::app::CreateEngines(tarvolin::app::HashAlgorithms);

  const std::vector<std::uint8_t> data = tarvolin::bench::PseudoRandomBytes(memoryMiB << 20);

  std::printf("%-20s %12s %12s\n", "algorithm", "memory GB/s", file.empty() ? "" : "file GB/s");
  for (std::size_t c = 1; c < tarvolin::app::kChoiceCount; ++c) {
    const auto choice = static_cast<THashChoices>(c);
    auto& record = Algorithm(choice);
    if (!only.empty() && record.Name != only) continue;
    auto& engine = *record.Engine;
    const double memory = BestGBps(data.size(), [&] { (void)engine.HashBytes(data); });
    std::printf("%-20s %12.3f", record.Name.c_str(), memory);
    if (!file.empty()) {
      tarvolin::hash::TFileHasher hasher;
      tarvolin::hash::IHash* engines[] = {&engine};
      std::uint64_t size = 0;
      {
        std::FILE* f = std::fopen(file.c_str(), "rb");
        if (f != nullptr) {
          std::fseek(f, 0, SEEK_END);
          size = static_cast<std::uint64_t>(std::ftell(f));
          std::fclose(f);
        }
      }
      const double fromFile = BestGBps(size, [&] { (void)hasher.HashFile(file, engines); });
      std::printf(" %12.3f", fromFile);
    }
    std::printf("\n");
    std::fflush(stdout);
  }
  return 0;
}
