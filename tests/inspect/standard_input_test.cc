// A FILE of "-": rimbolt-inspect reads standard input, piped in as a user
// pipes a file from a device, and names it "-".
#include "inspect/base/standard_input.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "inspect/model/calib_file.h"
#include "tests/run/fixtures.h"
#include "tests/test_util.h"

namespace rimbolt_test {
namespace {

// |text| with every |path| in it shown as "-".
std::string AsStandardInput(std::string text, const std::string &path) {
  for (size_t at = text.find(path); at != std::string::npos;
       at = text.find(path, at + 1)) {
    text.replace(at, path.size(), "-");
  }
  return text;
}

class StandardInputTest : public RunFilesTest {
 protected:
  // rimbolt-inspect |args| run by the shell |script|, which gets the
  // command as "$@".
  ProcessResult InShell(const std::string &script,
                        const std::vector<std::string> &args) {
    std::vector<std::string> command = {"/bin/sh", "-c", script, "sh"};
    for (const std::string &word : EmulatedCommand(RIMBOLT_INSPECT_BINARY)) {
      command.push_back(word);
    }
    command.insert(command.end(), args.begin(), args.end());
    return RunProcess(command, dir_.path());
  }

  // |args| with qa_ piped in for "-", and with qa_ in its place.
  void ExpectSameAsTheFile(std::vector<std::string> args) {
    SCOPED_TRACE(args[0] + " " + args[1]);
    ProcessResult piped = InShell("cat '" + qa_ + "' | exec \"$@\"", args);
    for (std::string &arg : args) {
      if (arg == "-") arg = qa_;
    }
    ProcessResult named = InShell("exec \"$@\"", args);
    ASSERT_NE(named.status, 2) << named.out << named.err;
    ASSERT_NE(named.out, "");
    EXPECT_EQ(piped.status, named.status);
    EXPECT_EQ(piped.out, AsStandardInput(named.out, qa_));
    EXPECT_EQ(piped.err, AsStandardInput(named.err, qa_));
  }
};

TEST_F(StandardInputTest, ShowCheckAndDiffReadAPipeAsTheFile) {
  WriteFile(qa_, kQaFile);
  WriteFile(output_, kCombinedFile);
  ExpectSameAsTheFile({"show", "-"});
  ExpectSameAsTheFile({"show", "--json", "-"});
  // Both read the one standard input.
  ExpectSameAsTheFile({"check", "-", "-"});
  ExpectSameAsTheFile({"check", "--json", "-"});
  ExpectSameAsTheFile({"diff", "-", output_});
  ExpectSameAsTheFile({"diff", "--json", output_, "-"});
}

TEST_F(StandardInputTest, AnEmptyOrUnreadableInputIsAnUnreadableFile) {
  const std::string empty = dir_.File("empty.xml");
  WriteFile(empty, "");
  ProcessResult nothing = InShell("exec \"$@\" < /dev/null", {"check", "-"});
  EXPECT_EQ(nothing.status, 2);
  EXPECT_EQ(
      nothing.out,
      AsStandardInput(InShell("exec \"$@\"", {"check", empty}).out, empty));
  for (const char *redirect : {"< /", "<&-"}) {
    SCOPED_TRACE(redirect);
    ProcessResult show =
        InShell(std::string("exec \"$@\" ") + redirect, {"show", "-"});
    EXPECT_EQ(show.status, 2);
    EXPECT_EQ(show.err.find("-: error: the tool fails: Couldn't read standard "
                            "input ("),
              0u)
        << show.err;
  }
  ProcessResult json = InShell("exec \"$@\" < /", {"diff", "--json", "-", qa_});
  EXPECT_EQ(json.status, 2);
  EXPECT_EQ(json.out.find(R"({"errors":[{"file":"-","line":null,)"
                          R"("severity":"error","code":"unreadable",)"
                          R"("message":"the tool fails: Couldn't read )"
                          R"(standard input (Is a directory)"),
            0u)
      << json.out;
}

// An input past the bound is refused unread: a file or standard input
// whose size says so at once, a device or a pipe at the first byte past it
// (shown with a smaller bound).
TEST_F(StandardInputTest, InputsPastTheBoundAreNotRead) {
  WriteFile(qa_, kQaFile);
  const std::string big = dir_.File("big.xml");
  WriteFile(big, "");
  // Sparse: nothing of it is written to disk.
  ASSERT_EQ(truncate(big.c_str(), inspect::kMaxInputBytes + 1), 0);
  const std::string tail =
      "is larger than 1 GiB, the most rimbolt-inspect reads [unreadable]\n";
  EXPECT_EQ(InShell("exec \"$@\"", {"check", big}).out,
            big + ": error: the file " + tail);
  ProcessResult piped = InShell("exec \"$@\" < '" + big + "'", {"show", "-"});
  EXPECT_EQ(piped.status, 2);
  EXPECT_EQ(piped.err, "-: error: standard input " + tail);
  ProcessResult from = InShell(
      "exec \"$@\"", {"inject", qa_, "--lut", "0", "--from", big, "-o", "-"});
  EXPECT_EQ(from.status, 2);
  EXPECT_EQ(from.err, "inject: nothing written: " + big +
                          " cannot be read: larger than 1 GiB, the most "
                          "rimbolt-inspect reads\n");
  // The bound itself is read.
  ASSERT_EQ(truncate(big.c_str(), 4096), 0);
  std::string bytes;
  EXPECT_EQ(inspect::ReadWholeFile(big, &bytes, 4096), "");
  EXPECT_EQ(bytes.size(), 4096u);
  EXPECT_EQ(inspect::ReadWholeFile(big, &bytes, 4095), inspect::kTooLarge);
  EXPECT_EQ(inspect::ReadWholeFile("/dev/zero", &bytes, 4096),
            inspect::kTooLarge);
  EXPECT_EQ(bytes, "");
  int pipe_ends[2];
  ASSERT_EQ(pipe(pipe_ends), 0);
  ASSERT_EQ(write(pipe_ends[1], std::string(4097, 'x').data(), 4097), 4097);
  close(pipe_ends[1]);
  int kept = open(dir_.File("kept").c_str(), O_WRONLY | O_CREAT, 0600);
  EXPECT_EQ(inspect::CopyToEnd(pipe_ends[0], kept, 4096), inspect::kTooLarge);
  close(pipe_ends[0]);
  int whole = open(big.c_str(), O_RDONLY);
  EXPECT_EQ(inspect::CopyToEnd(whole, kept, 4096), "");
  close(whole);
  close(kept);
  // The pipe's one block past the bound was not kept; all of the file was.
  EXPECT_EQ(ReadFile(dir_.File("kept")).size(), 4096u);
}

// Without /proc, standard input is kept in a file under $TMPDIR, which is
// gone when the run ends, also when a signal ends it.
TEST_F(StandardInputTest, WithoutProcLeavesNoTemporaryFile) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to unmount /proc privately";
  if (std::string(RIMBOLT_EMULATOR) != "") {
    GTEST_SKIP() << "the emulator itself needs /proc";
  }
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer's runtime itself needs /proc";
#endif
  WriteFile(qa_, kQaFile);
  const std::string temporary = dir_.File("tmp");
  const std::string fifo = dir_.File("fifo");
  ASSERT_EQ(mkdir(temporary.c_str(), 0700), 0);
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::string script =
      "umount -l /proc && ! [ -e /proc/self ] || exit 3\n"
      "export TMPDIR='" +
      temporary +
      "'\n"
      "cat '" +
      qa_ +
      "' | \"$@\" check -\n"
      "echo \"left: $(ls -A \"$TMPDIR\")\"\n"
      // A run ended while it reads: its file is there, then gone.
      "\"$@\" check - < '" +
      fifo +
      "' & pid=$!\n"
      "exec 3> '" +
      fifo +
      "'\n"
      "cat '" +
      qa_ +
      "' >&3\n"
      "i=0; while [ -z \"$(ls -A \"$TMPDIR\")\" ] && [ $i -lt 100 ]; do\n"
      "  sleep 0.1; i=$((i + 1)); done\n"
      "echo \"reading: $(ls -A \"$TMPDIR\")\"\n"
      "kill -TERM $pid; wait $pid; echo \"status $?\"\n"
      "exec 3>&-\n"
      "echo \"left: $(ls -A \"$TMPDIR\")\"\n";
  const std::string script_path = dir_.File("run.sh");
  WriteFile(script_path, script);
  ProcessResult run =
      InShell("exec unshare --mount --propagation private /bin/sh '" +
                  script_path + "' \"$@\"",
              {});
  ASSERT_NE(run.status, 3) << "could not unmount /proc in a mount namespace";
  ProcessResult named = InShell("exec \"$@\"", {"check", qa_});
  ASSERT_EQ(named.status, 1);
  const std::string checked = AsStandardInput(named.out, qa_);
  ASSERT_EQ(run.out.substr(0, checked.size()), checked) << run.out << run.err;
  const std::string reading = "left: \nreading: rimbolt-inspect-stdin-";
  EXPECT_EQ(run.out.substr(checked.size(), reading.size()), reading) << run.out;
  const std::string end = "\nstatus 143\nleft: \n";
  ASSERT_GE(run.out.size(), end.size());
  EXPECT_EQ(run.out.substr(run.out.size() - end.size()), end) << run.out;
}

}  // namespace
}  // namespace rimbolt_test
