// Large calibration files for the benchmarks, made on the spot: the same
// shape always gives the same bytes, so a timing can be repeated anywhere.
#ifndef BENCH_CALIB_GEN_H_
#define BENCH_CALIB_GEN_H_

#include <stdint.h>

#include <string>

#include "tests/temp_dir.h"

namespace rimbolt_bench {

struct CalibShape {
  int modes = 8;
  // QA modes hold features 0 to qa_features - 1, factory modes features 0
  // to factory_features - 1: each QA mode takes over the factory features
  // it lacks when it combines.
  int qa_features = 28;
  int factory_features = 29;
  uint32_t payload_size = 122023;
  uint32_t lut_packets = 122023;  // of 16 bytes, in the QA file only
};

struct CalibFiles {
  std::string qa;
  std::string factory;
  uint64_t qa_bytes = 0;
  uint64_t factory_bytes = 0;
};

// Writes "qa.xml" and "factory.xml" of |shape| into |dir|. Factory mode j
// describes the same display target as QA mode modes - 1 - j, so every QA
// mode combines, after failing against the factory modes listed before
// its own. False when a file could not be written.
bool WriteCalibFiles(const std::string &dir, const CalibShape &shape,
                     CalibFiles *files);

using rimbolt_test::TempDir;

}  // namespace rimbolt_bench

#endif  // BENCH_CALIB_GEN_H_
