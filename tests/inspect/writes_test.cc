// Every file rimbolt-inspect writes lands in what its path names, only where
// a plain write there would be allowed, and a refusal leaves every file as
// it was.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tests/run/fixtures.h"
#include "tests/test_util.h"

namespace rimbolt_test {
namespace {

// Absolute: the runs are started in another folder, and an installed test
// names its files relative to its own.
const std::string kExamples =
    std::filesystem::absolute(RIMBOLT_SOURCE_DIR "/examples/").string();
constexpr uid_t kNobody = 65534;

// What a name is after a run: its type, file, owner and bytes.
struct State {
  mode_t type = 0;
  ino_t inode = 0;
  uid_t owner = 0;
  std::string bytes;
  bool operator==(const State &other) const {
    return type == other.type && inode == other.inode && owner == other.owner &&
           bytes == other.bytes;
  }
};

State StateOf(const std::string &path) {
  State state;
  struct stat info;
  if (lstat(path.c_str(), &info) != 0) return state;
  state.type = info.st_mode & S_IFMT;
  state.inode = info.st_ino;
  state.owner = info.st_uid;
  if (S_ISREG(info.st_mode)) state.bytes = ReadFile(path);
  return state;
}

// One of the commands that write a file, given the target it writes;
// --in-place writes over its FILE.
struct Writer {
  const char *name;
  std::vector<std::string> (*args)(const std::string &target);
  bool in_place = false;
};

const Writer kWriters[] = {
    {"normalize -o",
     [](const std::string &target) {
       return std::vector<std::string>{"normalize", "clean.xml", "-o", target};
     }},
    {"extract -o",
     [](const std::string &target) {
       return std::vector<std::string>{"extract", "clean.xml", "--lut",
                                       "0",       "-o",        target};
     }},
    {"inject -o",
     [](const std::string &target) {
       return std::vector<std::string>{"inject", "clean.xml", "--lut", "0",
                                       "--from", "lut.bin",   "-o",    target};
     }},
    {"normalize --in-place",
     [](const std::string &target) {
       return std::vector<std::string>{"normalize", target, "--in-place"};
     },
     true},
};

// A target of a write, made in the run's folder before the run, and what
// must hold of it and of the run after.
struct Target {
  const char *name;
  bool needs_root;
  // A calibration file that --in-place may be given as well.
  bool also_in_place;
  std::function<void(const std::string &folder)> make;
  const char *path;
  // The shell around the command ("$@"); "" runs it as it is.
  const char *script;
  bool as_nobody;
  int status;
  // Text of the message on standard error; "" for none.
  const char *says;
  // The file that must then hold what the command writes to standard
  // output with -o -; null where the target must stay as it was.
  const char *receives;
};

class WritesTest : public RunFilesTest {
 protected:
  void SetUp() override {
    // Another user may pass through to the run's folder and write in it.
    ASSERT_EQ(chmod(dir_.path().c_str(), 0755), 0);
    folder_ = dir_.File("w");
    ASSERT_EQ(mkdir(folder_.c_str(), 0777), 0);
    ASSERT_EQ(chmod(folder_.c_str(), 0777), 0);
    // The binary where another user may run it: the build may lie in a
    // folder only root may enter.
    binary_ = dir_.File("rimbolt-inspect");
    WriteFile(binary_, ReadFile(RIMBOLT_INSPECT_BINARY));
    ASSERT_EQ(chmod(binary_.c_str(), 0755), 0);
    // A file whose rewrite loses nothing, and its LUT's bytes.
    ASSERT_EQ(
        Inspect({"normalize", kExamples + "qa_modes.xml", "-o", "clean.xml"})
            .status,
        0);
    ASSERT_EQ(
        Inspect({"extract", "clean.xml", "--lut", "0", "-o", "lut.bin"}).status,
        0);
    for (const char *name : {"clean.xml", "lut.bin"}) {
      ASSERT_EQ(chmod((folder_ + "/" + name).c_str(), 0644), 0);
    }
  }

  // rimbolt-inspect |args| in the run's folder, inside |script| where it is
  // not "", as the user nobody where |as_nobody|.
  ProcessResult Inspect(const std::vector<std::string> &args,
                        const std::string &script = "",
                        bool as_nobody = false) {
    std::vector<std::string> command;
    if (as_nobody) {
      command = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534",
                 "--clear-groups"};
    }
    const std::string body = script.empty() ? "exec \"$@\"" : script;
    for (const std::string &word :
         {std::string("/bin/bash"), std::string("-c"),
          "cd \"$0\" || exit 99; set -o pipefail; " + body, folder_}) {
      command.push_back(word);
    }
    for (const std::string &word : EmulatedCommand(binary_)) {
      command.push_back(word);
    }
    command.insert(command.end(), args.begin(), args.end());
    return RunProcess(command, scratch_.path());
  }

  // |name| in the run's folder, or itself where it is absolute.
  std::string At(const std::string &name) const {
    return name[0] == '/' ? name : folder_ + "/" + name;
  }

  TempDir scratch_;
  std::string folder_;
  std::string binary_;
};

void MakeDevice(const std::string &path, unsigned minor) {
  ASSERT_EQ(mknod(path.c_str(), S_IFCHR | 0666, makedev(1, minor)), 0);
}

// A copy of the file whose rewrite loses nothing.
void MakeOwnedBy(const std::string &path, uid_t owner, mode_t mode) {
  WriteFile(path, ReadFile(path.substr(0, path.rfind('/')) + "/clean.xml"));
  ASSERT_EQ(chown(path.c_str(), owner, owner), 0);
  ASSERT_EQ(chmod(path.c_str(), mode), 0);
}

TEST_F(WritesTest, EveryWriteLandsWhereThePathPointsOrNowhere) {
  const bool root = geteuid() == 0;
  const Target targets[] = {
      {"a null device", true, false,
       [](const std::string &w) { MakeDevice(w + "/null", 3); }, "null", "",
       false, 0, "", nullptr},
      {"a full device", true, false,
       [](const std::string &w) { MakeDevice(w + "/full", 7); }, "full", "",
       false, 2, "full not written: No space left on device", nullptr},
      {"a FIFO with a reader", false, false,
       [](const std::string &w) {
         ASSERT_EQ(mkfifo((w + "/fifo").c_str(), 0644), 0);
       },
       "fifo", "timeout 60 cat fifo > got & \"$@\"; s=$?; wait; exit $s", false,
       0, "", "got"},
      {"/dev/stdout into a pipe", false, false, [](const std::string &) {},
       "/dev/stdout", "\"$@\" | cat > got", false, 0, "", "got"},
      {"FILE through a symbolic link", false, false,
       [](const std::string &w) {
         ASSERT_EQ(symlink("clean.xml", (w + "/link.xml").c_str()), 0);
       },
       "link.xml", "", false, 2, "link.xml not written: it is clean.xml itself",
       nullptr},
      {"FILE through a hard link", false, false,
       [](const std::string &w) {
         ASSERT_EQ(link((w + "/clean.xml").c_str(), (w + "/hard.xml").c_str()),
                   0);
       },
       "hard.xml", "", false, 2, "hard.xml not written: it is clean.xml itself",
       nullptr},
      {"a file of two hard links", false, true,
       [](const std::string &w) {
         MakeOwnedBy(w + "/two.xml", 0, 0644);
         ASSERT_EQ(link((w + "/two.xml").c_str(), (w + "/other.xml").c_str()),
                   0);
       },
       "two.xml", "", false, 2,
       "two.xml not written: it is one of 2 hard links to one file", nullptr},
      {"root's file, written as another user", true, true,
       [](const std::string &w) { MakeOwnedBy(w + "/roots.xml", 0, 0644); },
       "roots.xml", "", true, 2, "roots.xml not written: Permission denied",
       nullptr},
      {"a read-only file of the user's own", true, true,
       [](const std::string &w) {
         MakeOwnedBy(w + "/mine.xml", kNobody, 0444);
       },
       "mine.xml", "", true, 2, "mine.xml not written: Permission denied",
       nullptr},
  };
  for (const Writer &writer : kWriters) {
    ProcessResult printed;
    if (!writer.in_place) {
      printed = Inspect(writer.args("-"));
      ASSERT_EQ(printed.status, 0) << writer.name << printed.err;
    }
    for (const Target &target : targets) {
      SCOPED_TRACE(std::string(writer.name) + " to " + target.name);
      if ((target.needs_root && !root) ||
          (writer.in_place && !target.also_in_place)) {
        continue;
      }
      target.make(folder_);
      const std::vector<std::string> names = {target.path, "clean.xml",
                                              "lut.bin", "other.xml"};
      std::vector<State> before;
      for (const std::string &name : names) before.push_back(StateOf(At(name)));
      ProcessResult result =
          Inspect(writer.args(target.path), target.script, target.as_nobody);
      EXPECT_EQ(result.status, target.status) << result.err;
      EXPECT_NE(result.err.find(target.says), std::string::npos) << result.err;
      if (target.status == 0) {
        EXPECT_EQ(result.err.find("not written"), std::string::npos);
      }
      for (size_t i = 0; i < names.size(); ++i) {
        EXPECT_TRUE(StateOf(At(names[i])) == before[i]) << names[i];
      }
      if (target.receives != nullptr) {
        EXPECT_EQ(ReadFile(At(target.receives)), printed.out);
      }
      for (const char *name :
           {"null", "full", "fifo", "link.xml", "hard.xml", "two.xml",
            "other.xml", "roots.xml", "mine.xml", "got"}) {
        unlink(At(name).c_str());
      }
    }
  }
}

TEST_F(WritesTest, NothingIsLostOrMisreadWithoutAWord) {
  // Standard output that does not take what is printed is trouble.
  for (const std::vector<std::string> &args :
       std::vector<std::vector<std::string>>{
           {"show", "--json", "clean.xml"},
           {"check", "clean.xml"},
           {"diff", kExamples + "qa_modes.xml",
            kExamples + "factory_modes.xml"},
           {"--help"},
           {"--version"}}) {
    ProcessResult result = Inspect(args, "\"$@\" > /dev/full");
    EXPECT_EQ(result.status, 2) << args[0];
    EXPECT_NE(result.err.find("standard output not written: No space left on "
                              "device\n"),
              std::string::npos)
        << result.err;
  }
  // --in-place loses nothing unless told to.
  WriteFile(At("lossy.xml"), ReadFile(kExamples + "qa_modes.xml"));
  ProcessResult refused = Inspect({"normalize", "lossy.xml", "--in-place"});
  EXPECT_EQ(refused.status, 2);
  EXPECT_NE(refused.err.find("lossy.xml:6: warning: WhitePoint=\"6500\" is "
                             "not read"),
            std::string::npos);
  EXPECT_NE(refused.err.find("normalize: nothing written: rewriting lossy.xml "
                             "in place would lose what 4 findings above say; "
                             "give --lossy"),
            std::string::npos)
      << refused.err;
  EXPECT_EQ(ReadFile(At("lossy.xml")), ReadFile(kExamples + "qa_modes.xml"));
  EXPECT_EQ(Inspect({"normalize", "lossy.xml", "--in-place", "--lossy"}).status,
            0);
  EXPECT_EQ(ReadFile(At("lossy.xml")), ReadFile(At("clean.xml")));
  // An empty BIN is no payload unless told so, from a file or a pipe.
  WriteFile(At("empty.bin"), "");
  for (const std::string script : {"exec \"$@\"", ": | \"$@\""}) {
    const std::string from = script[0] == ':' ? "-" : "empty.bin";
    ProcessResult empty = Inspect(
        {"inject", "clean.xml", "--lut", "0", "--from", from, "-o", "o.xml"},
        script);
    EXPECT_EQ(empty.status, 2);
    EXPECT_EQ(empty.err, "inject: nothing written: " + from +
                             " is empty: nothing to inject; give --allow-empty "
                             "to set a payload of 0 bytes\n");
    EXPECT_EQ(StateOf(At("o.xml")).type, 0u);
  }
  EXPECT_EQ(Inspect({"inject", "clean.xml", "--lut", "0", "--from", "empty.bin",
                     "--allow-empty", "-o", "o.xml"})
                .status,
            0);
  EXPECT_NE(ReadFile(At("o.xml")).find("NumPackets=\"0\""), std::string::npos);
  // A path the tool would cut names no other file.
  const std::string cut(255, 'x');
  WriteFile(At(cut), ReadFile(At("clean.xml")));
  ProcessResult long_path = Inspect({"show", cut + "yyyyy"});
  EXPECT_EQ(long_path.status, 2);
  EXPECT_EQ(long_path.out, "");
  EXPECT_NE(long_path.err.find(": error: the tool fails: Couldn't load file: "
                               "its path is 260 bytes long, and the tool keeps "
                               "only the first 255 bytes of a path"),
            std::string::npos)
      << long_path.err;
}

}  // namespace
}  // namespace rimbolt_test
