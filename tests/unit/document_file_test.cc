// Saving: what an interrupted, concurrent or unprivileged save leaves and
// what it keeps of the file it replaces.
#include "calib_db/document_file.h"

#include <dirent.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

}  // namespace
}  // namespace rimbolt_test
