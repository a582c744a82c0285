// Saving: what an interrupted, concurrent or unprivileged save leaves and
// what it keeps of the file it replaces.
#include "calib_db/document_file.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <random>

#include "tests/unit/unit_util.h"

namespace rimbolt_test {
namespace {

// A document of one element holding |size| copies of |fill|.
std::unique_ptr<tinyxml2::XMLDocument> Document(char fill, size_t size) {
  auto doc = std::make_unique<tinyxml2::XMLDocument>();
  doc->InsertEndChild(doc->NewElement("Calib_Data"))
      ->InsertEndChild(doc->NewText(std::string(size, fill).c_str()));
  return doc;
}

std::string Saved(char fill, size_t size) {
  tinyxml2::XMLPrinter printer(nullptr, false);
  Document(fill, size)->Print(&printer);
  return printer.CStr();
}

std::vector<std::string> Names(const std::string &folder) {
  std::vector<std::string> names;
  DIR *dir = opendir(folder.c_str());
  while (struct dirent *entry = dir != nullptr ? readdir(dir) : nullptr) {
    std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  if (dir != nullptr) closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

// Runs |save| in a child process; its status, or -1 when killed.
template <typename F>
pid_t Fork(F &&save) {
  pid_t pid = fork();
  if (pid == 0) _exit(save() == 0 ? 0 : 1);
  return pid;
}

int Wait(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class DocumentFileTest : public testing::Test {
 protected:
  TempDir dir_;
  const std::string path_ = dir_.File("out.xml");
};

TEST_F(DocumentFileTest, KilledSavesLeaveTheOldOrNewFileAndNoLeftovers) {
  const size_t kSize = 4 << 20;
  auto old_doc = Document('o', kSize);
  ASSERT_EQ(tavo::SaveDocument(old_doc.get(), path_.c_str()), 0);
  const std::string old_text = Saved('o', kSize), new_text = Saved('n', kSize);
  // A name an interrupted run of an older build could have left.
  WriteFile(path_ + ".tmp-Ab12Cd", "partial");
  std::mt19937 random(7);
  auto new_doc = Document('n', kSize);
  for (int round = 0; round < 20; ++round) {
    pid_t pid = Fork([&] {
      for (;;) tavo::SaveDocument(new_doc.get(), path_.c_str());
      return 0;
    });
    usleep(std::uniform_int_distribution<int>(0, 40000)(random));
    kill(pid, SIGKILL);
    Wait(pid);
    std::string text = ReadFile(path_);
    ASSERT_TRUE(text == old_text || text == new_text) << "round " << round;
  }
  ASSERT_EQ(tavo::SaveDocument(new_doc.get(), path_.c_str()), 0);
  EXPECT_EQ(ReadFile(path_), new_text);
  EXPECT_EQ(Names(dir_.path()), std::vector<std::string>{"out.xml"});
}

TEST_F(DocumentFileTest, ConcurrentSavesBothSucceedAndARunningOneIsLeftAlone) {
  auto a = Document('a', 1 << 20), b = Document('b', 1 << 20);
  for (int round = 0; round < 5; ++round) {
    pid_t first = Fork([&] { return tavo::SaveDocument(a.get(), path_.c_str()); });
    pid_t second =
        Fork([&] { return tavo::SaveDocument(b.get(), path_.c_str()); });
    EXPECT_EQ(Wait(first), 0);
    EXPECT_EQ(Wait(second), 0);
    std::string text = ReadFile(path_);
    EXPECT_TRUE(text == Saved('a', 1 << 20) || text == Saved('b', 1 << 20));
  }
  EXPECT_EQ(Names(dir_.path()), std::vector<std::string>{"out.xml"});

  // While another save holds the folder, a file that may be its own stays.
  WriteFile(path_ + ".tmp-running", "in progress");
  int folder = open(dir_.path().c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_EQ(flock(folder, LOCK_SH), 0);
  EXPECT_EQ(tavo::SaveDocument(a.get(), path_.c_str()), 0);
  EXPECT_TRUE(FileExists(path_ + ".tmp-running"));
  close(folder);
}

TEST_F(DocumentFileTest, KeepsOwnerGroupModeAndLinks) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to give files away";
  const std::string elsewhere = dir_.File("elsewhere");
  ASSERT_EQ(mkdir(elsewhere.c_str(), 0755), 0);
  const std::string real = elsewhere + "/real.xml";
  WriteFile(real, "old");
  ASSERT_EQ(chown(real.c_str(), 1234, 2345), 0);
  ASSERT_EQ(chmod(real.c_str(), 0640), 0);
  ASSERT_EQ(symlink("elsewhere/real.xml", path_.c_str()), 0);

  auto doc = Document('x', 10);
  ASSERT_EQ(tavo::SaveDocument(doc.get(), path_.c_str()), 0);
  struct stat link_info, info;
  ASSERT_EQ(lstat(path_.c_str(), &link_info), 0);
  EXPECT_TRUE(S_ISLNK(link_info.st_mode));
  ASSERT_EQ(stat(real.c_str(), &info), 0);
  EXPECT_EQ(info.st_uid, 1234u);
  EXPECT_EQ(info.st_gid, 2345u);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(ReadFile(real), Saved('x', 10));
  EXPECT_EQ(Names(elsewhere), std::vector<std::string>{"real.xml"});
}

// A user who may write the output but not its folder: the file is rewritten
// in place, as a plain write would.
TEST_F(DocumentFileTest, WritableOutputInAFolderTheUserMayNotWrite) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to run as another user";
  ASSERT_EQ(chmod(dir_.path().c_str(), 0755), 0);
  WriteFile(path_, "old");
  ASSERT_EQ(chmod(path_.c_str(), 0666), 0);
  auto doc = Document('u', 100);
  pid_t pid = Fork([&] {
    if (setgid(65534) != 0 || setuid(65534) != 0) return 1;
    return tavo::SaveDocument(doc.get(), path_.c_str());
  });
  EXPECT_EQ(Wait(pid), 0);
  EXPECT_EQ(ReadFile(path_), Saved('u', 100));
  EXPECT_EQ(Names(dir_.path()), std::vector<std::string>{"out.xml"});

  // Without the output's write permission nothing is written.
  ASSERT_EQ(chmod(path_.c_str(), 0644), 0);
  auto other = Document('v', 100);
  pid = Fork([&] {
    if (setgid(65534) != 0 || setuid(65534) != 0) return 0;
    return tavo::SaveDocument(other.get(), path_.c_str());
  });
  EXPECT_EQ(Wait(pid), 1);
  EXPECT_EQ(ReadFile(path_), Saved('u', 100));
}

// Without /proc the unnamed file cannot be named; a named one takes its
// place, and nothing else is left.
TEST_F(DocumentFileTest, SavesWithoutProc) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to unmount /proc privately";
  WriteFile(path_, "old");
  auto doc = Document('p', 1000);
  pid_t pid = Fork([&] {
    // Private first, so that the unmount stays in the child's namespace.
    if (unshare(CLONE_NEWNS) != 0 ||
        mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        umount2("/proc", MNT_DETACH) != 0 || access("/proc/self", F_OK) == 0) {
      _exit(3);
    }
    return tavo::SaveDocument(doc.get(), path_.c_str());
  });
  int status = Wait(pid);
  ASSERT_NE(status, 3) << "could not unmount /proc in a mount namespace";
  EXPECT_EQ(status, 0);
  EXPECT_EQ(ReadFile(path_), Saved('p', 1000));
  EXPECT_EQ(Names(dir_.path()), std::vector<std::string>{"out.xml"});
}

// Run as root, a save follows another user's link neither at the output
// path nor as a later hop: the link and what it names stay as they were.
TEST_F(DocumentFileTest, AsRootFollowsOnlyRootsLinks) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to make another user's link";
  const std::string victim = dir_.File("victim.conf"), hop = dir_.File("hop");
  WriteFile(victim, "root's own");
  auto doc = Document('r', 10);
  for (const std::string &foreign : {path_, hop}) {
    SCOPED_TRACE(foreign);
    ASSERT_EQ(symlink("victim.conf", foreign.c_str()), 0);
    ASSERT_EQ(lchown(foreign.c_str(), 65534, 65534), 0);
    if (foreign == hop) {
      ASSERT_EQ(symlink("hop", path_.c_str()), 0);
    }
    const std::vector<std::string> names = Names(dir_.path());

    EXPECT_EQ(tavo::LinkRefusedAt(path_.c_str()), foreign);
    EXPECT_EQ(tavo::SaveDocument(doc.get(), path_.c_str()), -22);
    tavo::XmlDatabaseTest db(tavo::kFileTypeFactory, path_.c_str());
    EXPECT_EQ(LogOf([&] { EXPECT_EQ(db.EditFile(), -22); }),
              Lines{Error("EditFile", "Not following symbolic link " + foreign +
                                          ", which root does not own: "
                                          "nothing is written.")});
    EXPECT_EQ(ReadFile(victim), "root's own");
    struct stat info;
    ASSERT_EQ(lstat(foreign.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 65534u);
    EXPECT_EQ(std::filesystem::read_symlink(foreign), "victim.conf");
    EXPECT_EQ(Names(dir_.path()), names);
    unlink(path_.c_str());
  }
  // Root's own links, two hops of them, are followed.
  ASSERT_EQ(symlink("hop", path_.c_str()), 0);
  ASSERT_EQ(unlink(hop.c_str()), 0);
  ASSERT_EQ(symlink("victim.conf", hop.c_str()), 0);
  EXPECT_EQ(tavo::SaveDocument(doc.get(), path_.c_str()), 0);
  EXPECT_EQ(ReadFile(victim), Saved('r', 10));
  EXPECT_EQ(Names(dir_.path()),
            (std::vector<std::string>{"hop", "out.xml", "victim.conf"}));
}

// What a save into a target left there, or passed on through it.
struct Target {
  std::string path;
  std::function<std::string()> read_back;  // unset for a device
};

std::string Drain(int fd) {
  std::string bytes;
  char buffer[4096];
  for (ssize_t n; (n = read(fd, buffer, sizeof(buffer))) > 0;) {
    bytes.append(buffer, n);
  }
  close(fd);
  return bytes;
}

// The save's result, with errno for a failure, as 65534:65534 when
// |as_nobody|.
std::pair<int, int> SaveAs(bool as_nobody, const std::string &path,
                           const tavo::FilePrinter &print) {
  if (!as_nobody) {
    errno = 0;
    int result = tavo::SaveFileContent(path.c_str(), print);
    return {result, result == 0 ? 0 : errno};
  }
  pid_t pid = fork();
  if (pid == 0) {
    if (setresgid(65534, 65534, 65534) != 0 ||
        setresuid(65534, 65534, 65534) != 0) {
      _exit(255);
    }
    errno = 0;
    int result = tavo::SaveFileContent(path.c_str(), print);
    _exit(result == 0 ? 0 : errno != 0 ? errno : 254);
  }
  int status = Wait(pid);
  EXPECT_NE(status, 255) << "could not become nobody";
  return {status == 0 ? 0 : -22, status};
}

// Devices, FIFOs and pipes are written into and stay what they were; an
// existing file is replaced only where a plain open for writing is allowed.
TEST_F(DocumentFileTest, WritesIntoDevicesAndReplacesOnlyWritableFiles) {
  const std::string kOld = "old bytes", kNew = "new content\n";
  const bool as_root = geteuid() == 0;
  // Root makes its own device nodes, so that a save that replaced them
  // would not replace the system's; another user cannot replace those.
  auto device = [&](const char *name, dev_t number) -> Target {
    std::string path = dir_.File(name);
    if (!as_root) return {std::string("/dev/") + name, nullptr};
    EXPECT_EQ(mknod(path.c_str(), S_IFCHR | 0666, number), 0);
    return {path, nullptr};
  };
  auto file = [&](const char *name, uid_t owner, mode_t mode) -> Target {
    std::string path = dir_.File(name);
    WriteFile(path, kOld);
    EXPECT_EQ(chmod(path.c_str(), mode), 0);
    if (owner != geteuid()) {
      EXPECT_EQ(chown(path.c_str(), owner, owner), 0);
    }
    return {path, [path] { return ReadFile(path); }};
  };
  // The reader is open before the save, and the content fits the pipe's
  // buffer: nothing waits, and a FIFO that was replaced reads empty.
  auto fifo = [&]() -> Target {
    std::string path = dir_.File("fifo");
    EXPECT_EQ(mkfifo(path.c_str(), 0600), 0);
    int reader = open(path.c_str(), O_RDONLY | O_NONBLOCK);
    return {path, [reader] { return Drain(reader); }};
  };
  // As /dev/stdout: a link whose target reads "pipe:[N]".
  auto pipe_fd = [&]() -> Target {
    int ends[2];
    EXPECT_EQ(pipe(ends), 0);
    return {"/proc/self/fd/" + std::to_string(ends[1]), [ends] {
              close(ends[1]);
              return Drain(ends[0]);
            }};
  };
  struct Case {
    const char *name;
    std::function<Target()> make;
    bool as_nobody;
    int error;  // errno of a refused save; 0 when it succeeds
  };
  const Case cases[] = {
      {"null", [&] { return device("null", makedev(1, 3)); }, false, 0},
      {"full", [&] { return device("full", makedev(1, 7)); }, false, ENOSPC},
      {"fifo", fifo, false, 0},
      {"pipe", pipe_fd, false, 0},
      // Root writes a 0444 file as a plain write would.
      {"own 0444 file", [&] { return file("mine", geteuid(), 0444); }, false,
       as_root ? 0 : EACCES},
      // Rows that need root to be another user come last.
      {"root's file in a shared folder",
       [&] {
         EXPECT_EQ(chmod(dir_.path().c_str(), 0777), 0);
         return file("roots", 0, 0644);
       },
       true, EACCES},
      {"nobody's 0444 file", [&] { return file("nobodys", 65534, 0444); }, true,
       EACCES},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    if (c.as_nobody && !as_root) {
      GTEST_SKIP() << "needs root to save as another user";
    }
    Target target = c.make();
    struct stat before, after;
    ASSERT_EQ(stat(target.path.c_str(), &before), 0);
    auto [result, error] = SaveAs(c.as_nobody, target.path, [&](FILE *out) {
      return fwrite(kNew.data(), 1, kNew.size(), out) == kNew.size();
    });
    EXPECT_EQ(result, c.error == 0 ? 0 : -22);
    EXPECT_EQ(error, c.error);
    ASSERT_EQ(stat(target.path.c_str(), &after), 0);
    EXPECT_EQ(after.st_mode, before.st_mode);  // type and permissions
    EXPECT_EQ(after.st_uid, before.st_uid);
    // Only a regular file that was saved is a new inode.
    if (c.error != 0 || !S_ISREG(before.st_mode)) {
      EXPECT_EQ(after.st_ino, before.st_ino);
    }
    if (target.read_back) {
      EXPECT_EQ(target.read_back(), c.error == 0 ? kNew : kOld);
    }
  }
}

}  // namespace
}  // namespace rimbolt_test
