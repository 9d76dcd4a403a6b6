// The engines under test, by the section names of the known-answer files.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "hash/hash.h"
#include "platform/cpu_features.h"

namespace tarvolin::test {

/// Runs `action` and checks that it raises `E` with this message and kind.
template <typename E = hash::EHashError, typename F>
void ExpectError(F&& action, const std::string& message, hash::THashErrorKind kind) {
  try {
    action();
    ADD_FAILURE() << "no error raised; expected: " << message;
  } catch (const E& error) {
    EXPECT_EQ(error.what(), message);
    EXPECT_EQ(error.Kind(), kind);
  }
}

struct TEngineInfo {
  std::string Section;     ///< name used in the known-answer files, e.g. "SHA2_256"
  std::string PythonName;  ///< hashlib's name, empty when hashlib has no such algorithm
  std::function<hash::IHashPtr()> Make;
  /// The compression kernel an engine of this family runs; empty for families with one kernel.
  std::function<std::string(const hash::IHash&)> KernelOf = nullptr;
  friend void PrintTo(const TEngineInfo& info, std::ostream* os) { *os << info.Section; }
};

/// One engine at one CPU level: every kernel of a family that this CPU can run appears once,
/// at the lowest level that selects it. Engines must be made after forcing `Level`.
struct TEngineKernel {
  const TEngineInfo* Engine = nullptr;
  platform::TCpuLevel Level = platform::TCpuLevel::Portable;
  std::string Kernel;  ///< empty for families with one kernel
  /// "SHA1_shani", or the section alone for families with one kernel.
  std::string Name() const {
    return Kernel.empty() ? Engine->Section : Engine->Section + "_" + Kernel;
  }
  friend void PrintTo(const TEngineKernel& k, std::ostream* os) { *os << k.Name(); }
};

/// Every engine with each of its kernels available here, in output order.
const std::vector<TEngineKernel>& AllEngineKernels();

/// The kernels of one known-answer section.
std::vector<TEngineKernel> KernelsOf(const std::string& section);

/// Forces a CPU level for its lifetime and restores the level it found.
class TCpuLevelScope {
 public:
  explicit TCpuLevelScope(platform::TCpuLevel level) : previous_(platform::CpuLevel()) {
    platform::ForceCpuLevel(level);
  }
  ~TCpuLevelScope() { platform::ForceCpuLevel(previous_); }
  TCpuLevelScope(const TCpuLevelScope&) = delete;
  TCpuLevelScope& operator=(const TCpuLevelScope&) = delete;

 private:
  platform::TCpuLevel previous_;
};

/// Every engine of the program, in output order.
const std::vector<TEngineInfo>& AllEngines();

/// The engine for a known-answer section; null when none has that name.
hash::IHashPtr MakeEngine(const std::string& section);

}  // namespace tarvolin::test
