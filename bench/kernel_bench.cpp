// In-memory throughput of every hash kernel this CPU can run, per family and dispatch level.
// Usage: tarvolin_kernel_bench [--runs N] [--mib N] [family...]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "bench_data.h"
#include "hash/blake2.h"
#include "hash/blake3.h"
#include "hash/md5.h"
#include "hash/murmurhash3.h"
#include "hash/sha1.h"
#include "hash/sha2.h"
#include "hash/sha3.h"
#include "hash/xxhash64.h"
#include "platform/cpu_features.h"

namespace {

using namespace tarvolin;

struct TFamily {
  const char* Name;
  /// A fresh engine and the name of the kernel it runs, at the level in force.
  std::function<std::pair<hash::IHashPtr, std::string_view>()> Make;
};

template <typename Engine>
std::pair<hash::IHashPtr, std::string_view> Make() {
  auto engine = std::make_shared<Engine>();
  return {engine, engine->KernelName()};
}

/// A family with one kernel, the portable code.
template <typename Engine>
std::pair<hash::IHashPtr, std::string_view> MakePortable() {
  return {std::make_shared<Engine>(), "portable"};
}

const std::vector<TFamily>& Families() {
  static const std::vector<TFamily> families = {
      {"MD5", Make<hash::TMD5>},
      {"SHA1", Make<hash::TSHA1>},
      {"SHA2_256", Make<hash::TSHA2_256>},
      {"SHA2_384", Make<hash::TSHA2_384>},
      {"SHA2_512", Make<hash::TSHA2_512>},
      {"SHA3_256", Make<hash::TSHA3_256>},
      {"SHA3_384", Make<hash::TSHA3_384>},
      {"SHA3_512", Make<hash::TSHA3_512>},
      {"Blake2S", Make<hash::TBlake2S>},
      {"Blake2B", Make<hash::TBlake2B>},
      {"Blake3", Make<hash::TBlake3>},
      {"XXHash64", Make<hash::TXXHash64>},
      {"MurmurHash3_x86_128", MakePortable<hash::TMurmurHash3_x86_128>},
      {"MurmurHash3_x64_128", MakePortable<hash::TMurmurHash3_x64_128>},
  };
  return families;
}

/// Best time of `runs` whole-buffer hashes, in seconds of processor time: on a shared machine
/// the wall clock also counts the time other processes hold the core.
double BestSeconds(hash::IHash& engine, const std::vector<std::uint8_t>& buffer, int runs) {
  double best = 1e30;
  for (int run = 0; run < runs; ++run) {
    const std::clock_t start = std::clock();
    const auto result = engine.HashMemory(buffer.data(), static_cast<std::int64_t>(buffer.size()));
    const std::clock_t end = std::clock();
    if (result->View().empty()) std::abort();  // keeps the result observed
    best = std::min(best, static_cast<double>(end - start) / CLOCKS_PER_SEC);
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 5;
  std::size_t mib = 256;
  std::vector<std::string> wanted;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--runs" && i + 1 < argc) {
      runs = std::max(1, std::atoi(argv[++i]));
    } else if (arg == "--mib" && i + 1 < argc) {
      mib = static_cast<std::size_t>(std::max(1, std::atoi(argv[++i])));
    } else {
      wanted.emplace_back(arg);
    }
  }

  const std::vector<std::uint8_t> buffer = bench::PseudoRandomBytes(mib << 20);

  std::printf("CPU features: %s\n", std::string(platform::DetectedCpuFeatureNames()).c_str());
  std::printf("Detected level: %s; %zu MiB buffer, best of %d runs\n\n",
              std::string(platform::CpuLevelName(platform::DetectedCpuLevel())).c_str(), mib, runs);
  std::printf("%-20s %-9s %-9s %8s %8s\n", "family", "level", "kernel", "GB/s", "speedup");

  const platform::TCpuLevel initial = platform::CpuLevel();
  for (const TFamily& family : Families()) {
    if (!wanted.empty() && std::find(wanted.begin(), wanted.end(), family.Name) == wanted.end()) {
      continue;
    }
    std::vector<std::string_view> seen;
    double portable = 0;
    for (const platform::TCpuLevel level : platform::AvailableCpuLevels()) {
      platform::ForceCpuLevel(level);
      auto [engine, kernel] = family.Make();
      // A level that adds nothing to this family runs a kernel already measured.
      if (std::find(seen.begin(), seen.end(), kernel) != seen.end()) continue;
      seen.push_back(kernel);
      const double gbps =
          static_cast<double>(buffer.size()) / BestSeconds(*engine, buffer, runs) / 1e9;
      if (portable == 0) portable = gbps;
      std::printf("%-20s %-9s %-9s %8.3f %7.2fx\n", family.Name,
                  std::string(platform::CpuLevelName(level)).c_str(), std::string(kernel).c_str(),
                  gbps, gbps / portable);
      std::fflush(stdout);
    }
  }
  platform::ForceCpuLevel(initial);
  return 0;
}
