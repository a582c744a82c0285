// libFuzzer target: arbitrary bytes as a file for rimbolt-inspect. Every
// command runs on it (their output is thrown away); nothing may crash, leak
// or touch memory it does not own; check must call the file an error
// exactly when the tool's reader refuses it; normalize's rewrite of a file
// the reader takes must be saved and read back by the reader; and the scan
// that inject edits by must find every element where tinyxml2 does. What
// the commands print on stderr is muted unless RIMBOLT_FUZZ_LOG is set
// (fuzz/quiet_stderr.h).
#include <errno.h>
#include <fcntl.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "calib_db/temp_folder.h"
#include "fuzz/quiet_stderr.h"
#include "inspect/cli/command_line.h"
#include "inspect/commands/command_table.h"
#include "inspect/edit/element_scan.h"
#include "inspect/edit/rewrite.h"
#include "inspect/model/calib_file.h"
#include "inspect/model/findings.h"
#include "inspect/rules/check_file.h"

namespace {

std::string g_dir;
std::string g_input;
std::string g_output;

void RemoveFiles() {
  unlink(g_input.c_str());
  unlink(g_output.c_str());
  rmdir(g_dir.c_str());
}

// normalize without its report on stderr, which libFuzzer keeps: the
// rewrite, saved into the folder, and what the reader makes of it.
void Normalize(const inspect::CalibFile &file) {
  inspect::RewrittenFile rewritten;
  std::string problem = rewritten.Fill(file);
  if (problem.empty()) problem = rewritten.WriteTo(g_output);
  if (problem.empty() && inspect::ReadCalibFile(g_output)->modes == nullptr) {
    problem = "the reader refuses the rewrite";
  }
  if (!problem.empty()) {
    dprintf(rimbolt_fuzz::g_report_fd, "inspect_fuzz: normalize: %s\n",
            problem.c_str());
    abort();
  }
}

// Runs the command of |words|, as main does; a null last word is none.
void RunCommand(std::vector<const char *> words) {
  if (words.back() == nullptr) words.pop_back();
  words.insert(words.begin(), "rimbolt-inspect");
  inspect::Args args;
  const inspect::Command *command = inspect::FindCommand(words[1]);
  if (!inspect::ParseArgs(static_cast<int>(words.size()), words.data(),
                          inspect::AllOptions(), &args)
           .empty() ||
      !inspect::CheckCommand(command->syntax, args).empty()) {
    abort();
  }
  command->run(args);
}

void WriteInput(const uint8_t *data, size_t size) {
  FILE *file = fopen(g_input.c_str(), "wb");
  if (file == nullptr || (size > 0 && fwrite(data, 1, size, file) != size) ||
      fclose(file) != 0) {
    dprintf(rimbolt_fuzz::g_report_fd, "inspect_fuzz: cannot write %s: %s\n",
            g_input.c_str(), strerror(errno));
    abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
  std::string pattern = tavo::TempBase() + "/rimbolt-inspect-fuzz.XXXXXX";
  if (mkdtemp(&pattern[0]) == nullptr) {
    dprintf(rimbolt_fuzz::g_report_fd, "inspect_fuzz: mkdtemp %s: %s\n",
            pattern.c_str(), strerror(errno));
    abort();
  }
  g_dir = pattern;
  g_input = g_dir + "/calib.xml";
  g_output = g_dir + "/normalized.xml";
  atexit(RemoveFiles);
  // The commands' output is not what is tested.
  int null_fd = open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (null_fd >= 0) dup2(null_fd, STDOUT_FILENO);
  rimbolt_fuzz::QuietStderr(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  WriteInput(data, size);
  std::unique_ptr<inspect::CalibFile> file = inspect::ReadCalibFile(g_input);
  bool refused = file->modes == nullptr;
  if (!refused) Normalize(*file);
  bool error = false;
  for (const inspect::Finding &finding : inspect::CheckFile(g_input)) {
    error = error || finding.is_error;
  }
  if (error != refused) {
    dprintf(rimbolt_fuzz::g_report_fd,
            "inspect_fuzz: the reader %s the file, check %s\n",
            refused ? "refuses" : "reads", error ? "fails it" : "passes it");
    abort();
  }
  tinyxml2::XMLDocument doc(true, tinyxml2::PRESERVE_WHITESPACE);
  std::string bytes(reinterpret_cast<const char *>(data), size);
  std::vector<const tinyxml2::XMLElement *> order;
  std::vector<inspect::ElementSpan> spans;
  if (doc.Parse(bytes.data(), bytes.size()) == tinyxml2::XML_SUCCESS &&
      !inspect::MatchElements(bytes, doc, &order, &spans)) {
    dprintf(rimbolt_fuzz::g_report_fd,
            "inspect_fuzz: tinyxml2 finds %zu elements, the scan %zu\n",
            order.size(), spans.size());
    abort();
  }
  const char *path = g_input.c_str();
  for (const char *json : {"--json", static_cast<const char *>(nullptr)}) {
    RunCommand({"show", path, json});
    RunCommand({"check", path, json});
    RunCommand({"diff", path, path, json});
  }
  fflush(stdout);
  return 0;
}
