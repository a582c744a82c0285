// The tool's whole run on large generated files, beside a floor program
// that only parses both files and saves the QA document, as any run must.
// Each is a child process, so that its peak resident memory is its own.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/calib_gen.h"
#include "bench/summary.h"

namespace rimbolt_bench {
namespace {

constexpr int kRepetitions = 7;
// Modes per file; the LUT grows with them so that the whole file scales.
constexpr int kSweep[] = {1, 2, 4, 8, 16};
constexpr int kFullSize = 8;

struct Measure {
  bool exited_zero = false;
  int exit_status = -1;  // -1 when the program did not exit
  double wall_seconds = 0;
  double cpu_seconds = 0;
  double peak_rss_bytes = 0;
  double minor_faults = 0;
};

double Now() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + now.tv_nsec * 1e-9;
}

// Runs |args| with its output thrown away and returns how it went. With
// |huge_pages|, the child's malloc asks for transparent huge pages, where
// the system offers them: fresh memory then costs a fault per 2 MiB instead
// of per 4 KiB, which shows how much of a time is page faults.
Measure RunChild(const std::vector<std::string> &args, bool huge_pages) {
  std::vector<char *> argv;
  for (const std::string &arg : args) {
    argv.push_back(const_cast<char *>(arg.c_str()));
  }
  argv.push_back(nullptr);
  static char kTunable[] = "GLIBC_TUNABLES=glibc.malloc.hugetlb=1";
  std::vector<char *> envp;
  for (char **var = environ; *var != nullptr; ++var) {
    if (!huge_pages || strncmp(*var, "GLIBC_TUNABLES=", 15) != 0) {
      envp.push_back(*var);
    }
  }
  if (huge_pages) envp.push_back(kTunable);
  envp.push_back(nullptr);
  Measure measure;
  double start = Now();
  pid_t pid = fork();
  if (pid == 0) {
    int null_fd = open("/dev/null", O_WRONLY);
    if (null_fd >= 0) {
      dup2(null_fd, STDOUT_FILENO);
      dup2(null_fd, STDERR_FILENO);
    }
    execve(argv[0], argv.data(), envp.data());
    _exit(127);
  }
  if (pid < 0) return measure;
  int status = 0;
  rusage usage;
  if (wait4(pid, &status, 0, &usage) != pid) return measure;
  measure.wall_seconds = Now() - start;
  measure.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  measure.exited_zero = measure.exit_status == 0;
  measure.cpu_seconds = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec * 1e-6 +
                        usage.ru_stime.tv_sec + usage.ru_stime.tv_usec * 1e-6;
  measure.peak_rss_bytes = usage.ru_maxrss * 1024.0;  // kilobytes on Linux
  measure.minor_faults = static_cast<double>(usage.ru_minflt);
  return measure;
}

struct Inputs {
  TempDir dir;
  CalibFiles files;
  bool ok = false;
  double MegaBytes() const {
    return (files.qa_bytes + files.factory_bytes) / 1e6;
  }
};

// The files of each size, made once and kept until the program ends.
Inputs &InputsOf(int modes) {
  static std::map<int, std::unique_ptr<Inputs>> made;
  std::unique_ptr<Inputs> &inputs = made[modes];
  if (!inputs) {
    inputs.reset(new Inputs);
    CalibShape shape;
    shape.modes = modes;
    shape.lut_packets = shape.lut_packets / kFullSize * modes;
    inputs->ok = !inputs->dir.path().empty() &&
                 WriteCalibFiles(inputs->dir.path(), shape, &inputs->files);
  }
  return *inputs;
}

// One repetition runs the floor program and the tool once each, in turns
// of order, so that a machine busy with something else slows both alike;
// the time reported is the tool's and the floor's goes into counters.
void BM_RunBesideFloor(benchmark::State &state) {
  Inputs &inputs = InputsOf(static_cast<int>(state.range(0)));
  const bool huge_pages = state.range(1) != 0;
  // A repeat run finds the output of an earlier one, as every run on a
  // device but the first does; its floor parses that output too.
  const bool repeat = state.range(2) != 0;
  if (!inputs.ok) {
    state.SkipWithError("cannot write the input files");
    return;
  }
  const std::string output = inputs.dir.File("combined.xml");
  const std::vector<std::string> run_args = {
      RIMBOLT_RUN_PROGRAM, inputs.files.qa, inputs.files.factory, output};
  std::vector<std::string> floor_args = {RIMBOLT_FLOOR_PROGRAM, inputs.files.qa,
                                         inputs.files.factory,
                                         inputs.dir.File("floor.xml")};
  if (repeat) {
    unlink(output.c_str());
    if (!RunChild(run_args, huge_pages).exited_zero) {
      state.SkipWithError("the first run failed");
      return;
    }
    floor_args.push_back(output);
  }
  static int turn = 0;
  Measure run, floor;
  for (auto _ : state) {
    bool floor_first = turn++ % 2 == 0;
    if (floor_first) floor = RunChild(floor_args, huge_pages);
    // A first run creates its output afresh.
    if (!repeat) unlink(output.c_str());
    run = RunChild(run_args, huge_pages);
    if (!floor_first) floor = RunChild(floor_args, huge_pages);
    if (!run.exited_zero || !floor.exited_zero) {
      state.SkipWithError("a program failed");
      return;
    }
    state.SetIterationTime(run.wall_seconds);
  }
  double input_bytes = inputs.MegaBytes() * 1e6;
  state.SetBytesProcessed(static_cast<int64_t>(input_bytes));
  state.counters["input_MB"] = input_bytes / 1e6;
  state.counters["floor_ms"] = floor.wall_seconds * 1e3;
  state.counters["ratio"] = run.wall_seconds / floor.wall_seconds;
  state.counters["run_cpu_ms"] = run.cpu_seconds * 1e3;
  state.counters["floor_cpu_ms"] = floor.cpu_seconds * 1e3;
  state.counters["cpu_ratio"] = run.cpu_seconds / floor.cpu_seconds;
  state.counters["run_rss_MB"] = run.peak_rss_bytes / 1e6;
  state.counters["floor_rss_MB"] = floor.peak_rss_bytes / 1e6;
  state.counters["run_faults"] = run.minor_faults;
  state.counters["floor_faults"] = floor.minor_faults;
}

// rimbolt-inspect's commands, each on the full-size files as an engineer
// runs it, with the status it must end with (the files have WhitePoint,
// which check reports).
struct InspectCommand {
  const char *name;
  int status;
};
constexpr InspectCommand kInspectCommands[] = {
    {"show", 0},      {"check", 1},   {"diff", 1},
    {"normalize", 0}, {"extract", 0}, {"inject", 0}};

// The payload extract writes and inject sets: the first mode's first
// feature, of the largest size.
const std::vector<std::string> kPayload = {"--display", "0", "--mode", "0",
                                           "--feature", "0"};

std::vector<std::string> InspectArgs(const char *command, const Inputs &inputs,
                                     const std::string &output) {
  std::string name = command;
  std::vector<std::string> args = {RIMBOLT_INSPECT_PROGRAM, command,
                                   inputs.files.qa};
  if (name == "check") args.push_back(inputs.files.factory);
  if (name == "diff") args.push_back(output);
  if (name == "normalize") {
    args.insert(args.end(), {"-o", inputs.dir.File("normalized.xml")});
  }
  if (name == "extract" || name == "inject") {
    args.insert(args.end(), kPayload.begin(), kPayload.end());
  }
  if (name == "extract") {
    args.insert(args.end(), {"-o", inputs.dir.File("payload.bin")});
  }
  if (name == "inject") {
    args.insert(args.end(), {"--from", inputs.dir.File("payload.bin"), "-o",
                             inputs.dir.File("injected.xml")});
  }
  return args;
}

// One repetition runs the tool and an inspect command once each, in turns
// of order; the time reported is the command's, the tool's goes into
// counters. The command should take about the time the tool takes to read.
void BM_InspectBesideRun(benchmark::State &state) {
  const InspectCommand &command = kInspectCommands[state.range(0)];
  Inputs &inputs = InputsOf(kFullSize);
  const std::string output = inputs.dir.File("inspected.xml");
  const std::vector<std::string> run_args = {
      RIMBOLT_RUN_PROGRAM, inputs.files.qa, inputs.files.factory, output};
  // inject's binary is what extract writes.
  if (!inputs.ok || !RunChild(run_args, false).exited_zero ||
      !RunChild(InspectArgs("extract", inputs, output), false).exited_zero) {
    state.SkipWithError("cannot make the files to inspect");
    return;
  }
  const std::vector<std::string> args =
      InspectArgs(command.name, inputs, output);
  static int turn = 0;
  Measure run, inspect;
  for (auto _ : state) {
    bool inspect_first = turn++ % 2 == 0;
    if (inspect_first) inspect = RunChild(args, false);
    run = RunChild(run_args, false);
    if (!inspect_first) inspect = RunChild(args, false);
    if (!run.exited_zero || inspect.exit_status != command.status) {
      state.SkipWithError("a program ended with another status");
      return;
    }
    state.SetIterationTime(inspect.wall_seconds);
  }
  state.counters["run_ms"] = run.wall_seconds * 1e3;
  state.counters["ratio"] = inspect.wall_seconds / run.wall_seconds;
  state.counters["inspect_rss_MB"] = inspect.peak_rss_bytes / 1e6;
  state.counters["run_rss_MB"] = run.peak_rss_bytes / 1e6;
}

void Register() {
  auto add = [](int modes, int huge_pages, int repeat) {
    benchmark::RegisterBenchmark("BM_RunBesideFloor", BM_RunBesideFloor)
        ->Args({modes, huge_pages, repeat})
        ->ArgNames({"modes", "huge_pages", "repeat"})
        ->UseManualTime()
        ->Iterations(1)
        ->Repetitions(kRepetitions)
        ->Unit(benchmark::kMillisecond);
  };
  for (int modes : kSweep) add(modes, 0, 0);
  add(kFullSize, 0, 1);
  add(kFullSize, 1, 0);
  for (size_t i = 0; i < sizeof(kInspectCommands) / sizeof(kInspectCommands[0]);
       ++i) {
    benchmark::RegisterBenchmark(
        (std::string("BM_InspectBesideRun/") + kInspectCommands[i].name)
            .c_str(),
        BM_InspectBesideRun)
        ->Arg(static_cast<int>(i))
        ->UseManualTime()
        ->Iterations(1)
        ->Repetitions(kRepetitions)
        ->Unit(benchmark::kMillisecond);
  }
}

void PrintRow(const SummaryReporter &report, int modes, int huge_pages,
              int repeat) {
  std::string name = "BM_RunBesideFloor/modes:" + std::to_string(modes) +
                     "/huge_pages:" + std::to_string(huge_pages) +
                     "/repeat:" + std::to_string(repeat);
  double run_ms = report.Seconds(name) * 1e3;
  double floor_ms = report.CounterMedian(name, "floor_ms");
  double input = report.CounterMax(name, "input_MB");
  if (run_ms <= 0 || floor_ms <= 0 || input <= 0) return;
  double run_rss = report.CounterMax(name, "run_rss_MB");
  printf(
      "%5d%s %8.1f %8.1f %8.1f %6.2f %9.2f %9.2f %6.2f %8.1f %9.2f %8.1f "
      "%8.1f %8.1f\n",
      modes,
      huge_pages ? "h"
      : repeat   ? "r"
                 : " ",
      input, run_ms, floor_ms, report.CounterMedian(name, "ratio"),
      run_ms / input, floor_ms / input, report.CounterMedian(name, "cpu_ratio"),
      run_rss, run_rss / input, report.CounterMax(name, "floor_rss_MB"),
      report.CounterMedian(name, "run_faults") / 1e3,
      report.CounterMedian(name, "floor_faults") / 1e3);
}

void PrintSummary(const SummaryReporter &report) {
  printf(
      "\nWhole run vs floor (parse both files, save the QA document), run in "
      "pairs: medians of %d pairs (ratios are medians of the pairs' "
      "ratios), largest peak RSS, page faults in thousands; MB = 10^6 "
      "bytes\n",
      kRepetitions);
  printf("%6s %8s %8s %8s %6s %9s %9s %6s %8s %9s %8s %8s %8s\n", "modes",
         "input_MB", "run_ms", "floor_ms", "ratio", "run_ms/MB", "flr_ms/MB",
         "cpu_r", "run_RSS", "RSS/input", "flr_RSS", "run_kflt", "flr_kflt");
  for (int modes : kSweep) PrintRow(report, modes, 0, 0);
  PrintRow(report, kFullSize, 0, 1);
  PrintRow(report, kFullSize, 1, 0);
  printf(
      "(r: a repeat run, which finds an earlier output, beside a floor that "
      "also parses it; h: both with transparent huge pages for malloc, where "
      "the system has them)\n");

  printf(
      "\nrimbolt-inspect beside a run of the tool on the %d-mode files "
      "(check reads both inputs, diff the QA file and the output; "
      "normalize, extract and inject the QA file, vs_show their ratio to "
      "show): "
      "medians of %d pairs\n",
      kFullSize, kRepetitions);
  printf("%9s %10s %8s %6s %11s %8s %8s %8s\n", "command", "inspect_ms",
         "run_ms", "ratio", "inspect_RSS", "run_RSS", "vs_show", "RSS_show");
  auto name_of = [](size_t i) {
    return std::string("BM_InspectBesideRun/") + kInspectCommands[i].name +
           "/" + std::to_string(i);
  };
  // show comes first in the list: the others are measured against it.
  double show_ms = report.Seconds(name_of(0)) * 1e3;
  double show_rss = report.CounterMax(name_of(0), "inspect_rss_MB");
  for (size_t i = 0; i < sizeof(kInspectCommands) / sizeof(kInspectCommands[0]);
       ++i) {
    std::string name = name_of(i);
    double inspect_ms = report.Seconds(name) * 1e3;
    if (inspect_ms <= 0) continue;
    double inspect_rss = report.CounterMax(name, "inspect_rss_MB");
    printf("%9s %10.1f %8.1f %6.2f %11.1f %8.1f %8.2f %8.2f\n",
           kInspectCommands[i].name, inspect_ms,
           report.CounterMedian(name, "run_ms"),
           report.CounterMedian(name, "ratio"), inspect_rss,
           report.CounterMax(name, "run_rss_MB"),
           show_ms > 0 ? inspect_ms / show_ms : 0.0,
           show_rss > 0 ? inspect_rss / show_rss : 0.0);
  }
}

}  // namespace
}  // namespace rimbolt_bench

int main(int argc, char **argv) {
  rimbolt_bench::Register();
  return rimbolt_bench::RunAndSummarize(argc, argv,
                                        rimbolt_bench::PrintSummary);
}
