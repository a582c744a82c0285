// The hex payload codec at a feature's and at a PCC LUT's largest size,
// each beside a memcpy of the same hex text, which bounds what any encoder
// or decoder of that text can do.
#include <fcntl.h>
#include <malloc.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <map>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/calib_gen.h"
#include "bench/summary.h"
#include "calib_db/hex_kernels.h"
#include "tests/hex_kernel_list.h"
#include "calib_db/xml_database_test.h"

namespace rimbolt_bench {
namespace {

namespace hk = tavo::hex_kernels;

constexpr int64_t kFeatureBytes = tavo::kMaxPayloadSize;
constexpr int64_t kLutBytes = 16 * static_cast<int64_t>(tavo::kMaxPayloadSize);
constexpr int kRepetitions = 5;

struct Sample {
  std::vector<uint8_t> bytes;
  std::string hex;  // upper-case, as the encoder writes it
};

const Sample &SampleOf(int64_t count) {
  static std::map<int64_t, Sample> samples;
  Sample &sample = samples[count];
  if (sample.bytes.empty()) {
    uint64_t state = 0x1234567u + static_cast<uint64_t>(count);
    sample.bytes.resize(static_cast<size_t>(count));
    for (uint8_t &byte : sample.bytes) {
      state = state * 6364136223846793005ull + 1442695040888963407ull;
      byte = static_cast<uint8_t>(state >> 56);
    }
    const char *digits = "0123456789ABCDEF";
    for (uint8_t byte : sample.bytes) {
      sample.hex += digits[byte >> 4];
      sample.hex += digits[byte & 0x0f];
    }
  }
  return sample;
}

// Every benchmark counts the hex text it covers, so that the rates compare.
void SetHexBytes(benchmark::State &state) {
  state.SetBytesProcessed(state.iterations() * 2 * state.range(0));
}

void BM_MemcpyHex(benchmark::State &state) {
  const Sample &sample = SampleOf(state.range(0));
  std::vector<char> copy(sample.hex.size(), 1);
  for (auto _ : state) {
    memcpy(copy.data(), sample.hex.data(), sample.hex.size());
    benchmark::ClobberMemory();
  }
  SetHexBytes(state);
}

// The encoder as the writers call it: a new text node of the open
// document. The document keeps the texts of its nodes, so it is opened
// afresh, untimed, before every encoding, which then starts alike.
void BM_Encode(benchmark::State &state) {
  const Sample &sample = SampleOf(state.range(0));
  TempDir dir;
  tavo::XmlDatabaseTest db(tavo::kFileTypeFactory,
                           dir.File("doc.xml").c_str());
  if (dir.path().empty() || db.EditFile() != 0) {
    state.SkipWithError("no document to encode into");
    return;
  }
  for (auto _ : state) {
    tinyxml2::XMLText *node = db.ConvertUINT8ArrayToCharArray(
        sample.bytes.data(), static_cast<uint32_t>(sample.bytes.size()));
    benchmark::DoNotOptimize(node);
    state.PauseTiming();
    db.EditFile();
    state.ResumeTiming();
  }
  SetHexBytes(state);
}

// The share of encoding that is tinyxml2's own: a text node made from the
// finished hex text, which the library measures and copies.
void BM_NewTextHex(benchmark::State &state) {
  const Sample &sample = SampleOf(state.range(0));
  tinyxml2::XMLDocument doc(true, tinyxml2::PRESERVE_WHITESPACE);
  for (auto _ : state) {
    tinyxml2::XMLText *node = doc.NewText(sample.hex.c_str());
    benchmark::DoNotOptimize(node);
    doc.DeleteNode(node);
  }
  SetHexBytes(state);
}

void BM_Decode(benchmark::State &state) {
  const Sample &sample = SampleOf(state.range(0));
  std::vector<uint8_t> bytes(sample.bytes.size(), 1);
  for (auto _ : state) {
    tavo::XmlDatabaseTest::ConvertCharArrayToUINT8Array(
        sample.hex.c_str(), bytes.data(), static_cast<uint32_t>(bytes.size()));
    benchmark::ClobberMemory();
  }
  if (bytes != sample.bytes) state.SkipWithError("decoded bytes differ");
  SetHexBytes(state);
}

// What finding the text's end costs the decoder, which must not read past
// it.
void BM_StrnlenHex(benchmark::State &state) {
  const Sample &sample = SampleOf(state.range(0));
  for (auto _ : state) {
    benchmark::DoNotOptimize(strnlen(sample.hex.c_str(), sample.hex.size()));
  }
  SetHexBytes(state);
}

// The kernels alone, without the document or the length check.
void BM_EncodeKernel(benchmark::State &state,
                     void (*encode)(const uint8_t *, size_t, char *)) {
  const Sample &sample = SampleOf(state.range(0));
  std::vector<char> text(sample.hex.size(), 1);
  for (auto _ : state) {
    encode(sample.bytes.data(), sample.bytes.size(), text.data());
    benchmark::ClobberMemory();
  }
  if (std::string(text.begin(), text.end()) != sample.hex) {
    state.SkipWithError("encoded text differs");
  }
  SetHexBytes(state);
}

void BM_DecodeKernel(benchmark::State &state,
                     void (*decode)(const char *, size_t, uint8_t *)) {
  const Sample &sample = SampleOf(state.range(0));
  std::vector<uint8_t> bytes(sample.bytes.size(), 1);
  for (auto _ : state) {
    decode(sample.hex.data(), bytes.size(), bytes.data());
    benchmark::ClobberMemory();
  }
  if (bytes != sample.bytes) state.SkipWithError("decoded bytes differ");
  SetHexBytes(state);
}

#define CODEC_BENCHMARK(...)                                        \
  BENCHMARK(__VA_ARGS__)                                            \
      ->Arg(kFeatureBytes)                                          \
      ->Arg(kLutBytes)                                              \
      ->Repetitions(kRepetitions)                                   \
      ->DisplayAggregatesOnly(true)                                 \
      ->MinTime(0.2)

CODEC_BENCHMARK(BM_MemcpyHex);
CODEC_BENCHMARK(BM_Encode);
CODEC_BENCHMARK(BM_NewTextHex);
CODEC_BENCHMARK(BM_Decode);
CODEC_BENCHMARK(BM_StrnlenHex);

// Each kernel of the list, as BM_Encode<Name> and BM_Decode<Name>.
void Configure(benchmark::internal::Benchmark *benchmark) {
  benchmark->Arg(kFeatureBytes)
      ->Arg(kLutBytes)
      ->Repetitions(kRepetitions)
      ->DisplayAggregatesOnly(true)
      ->MinTime(0.2);
}

const bool kKernelsRegistered = [] {
  for (const rimbolt_test::HexKernel &kernel : rimbolt_test::AllHexKernels()) {
    std::string name = kernel.name;
    if (name == "Dispatched") continue;  // BM_Encode and BM_Decode
    Configure(benchmark::RegisterBenchmark(("BM_Encode" + name).c_str(),
                                           BM_EncodeKernel, kernel.encode));
    Configure(benchmark::RegisterBenchmark(("BM_Decode" + name).c_str(),
                                           BM_DecodeKernel, kernel.decode));
  }
  return true;
}();

void PrintSummary(const SummaryReporter &report) {
  printf(
      "\nHex codec, median of %d repetitions; GB/s of hex text, ratio = time "
      "/ memcpy time of the same hex text\n",
      kRepetitions);
  printf("%-9s %-16s %9s %9s %7s\n", "bytes", "operation", "ms", "GB/s",
         "ratio");
  std::vector<std::string> rows = {"BM_MemcpyHex", "BM_Encode",
                                   "BM_NewTextHex", "BM_Decode",
                                   "BM_StrnlenHex"};
  for (const rimbolt_test::HexKernel &kernel : rimbolt_test::AllHexKernels()) {
    if (std::string(kernel.name) == "Dispatched") continue;
    rows.push_back(std::string("BM_Encode") + kernel.name);
    rows.push_back(std::string("BM_Decode") + kernel.name);
  }
  for (int64_t count : {kFeatureBytes, kLutBytes}) {
    std::string args = "/" + std::to_string(count);
    double memcpy_seconds = report.Seconds("BM_MemcpyHex" + args);
    for (const std::string &row : rows) {
      double seconds = report.Seconds(row + args);
      if (seconds <= 0) continue;
      printf("%-9lld %-16s %9.3f %9.2f %7.2f\n",
             static_cast<long long>(count), row.c_str() + 3, seconds * 1e3,
             2.0 * count / seconds / 1e9,
             memcpy_seconds > 0 ? seconds / memcpy_seconds : 0.0);
    }
  }
}

}  // namespace
}  // namespace rimbolt_bench

int main(int argc, char **argv) {
  // Freed memory stays with the process: each encoding's temporary buffer
  // and text node then reuse pages, as the memcpy reuses its destination,
  // instead of timing the kernel's page faults for fresh memory every
  // iteration. The whole-run benchmark counts those where they happen.
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 256 << 20);
  // The database's log lines would drown the table.
  int null_fd = open("/dev/null", O_WRONLY);
  if (null_fd >= 0) dup2(null_fd, STDERR_FILENO);
  return rimbolt_bench::RunAndSummarize(argc, argv,
                                        rimbolt_bench::PrintSummary);
}
