#include "tests/test_util.h"

#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <android/log.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

extern char **environ;

namespace rimbolt_test {

void WriteFile(const std::string &path, const std::string &content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
  ASSERT_TRUE(out.good()) << "cannot write " << path;
}

std::string ReadFile(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

bool FileExists(const std::string &path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

namespace {

// What the capturing logger has taken since the capture began; null when no
// capture is active.
std::vector<std::string> *g_captured = nullptr;

char PriorityLetter(int32_t priority) {
  switch (priority) {
    case ANDROID_LOG_INFO: return 'I';
    case ANDROID_LOG_WARN: return 'W';
    case ANDROID_LOG_ERROR: return 'E';
    default: return '?';
  }
}

void CaptureMessage(const struct __android_log_message *log_message) {
  if (g_captured == nullptr) return;
  std::string line(1, PriorityLetter(log_message->priority));
  line += '/';
  line += log_message->tag != nullptr ? log_message->tag : "";
  line += ": ";
  line += log_message->message;
  g_captured->push_back(line);
}

}  // namespace

LogCapture::LogCapture() : active_(true) {
  g_captured = &lines_;
  __android_log_set_logger(CaptureMessage);
}

LogCapture::~LogCapture() { Stop(); }

void LogCapture::Stop() {
  if (!active_) return;
  active_ = false;
  __android_log_set_logger(__android_log_logd_logger);
  g_captured = nullptr;
}

std::vector<std::string> LogCapture::Lines() {
  Stop();
  return lines_;
}

std::string WithoutLineNumber(const std::string &line) {
  size_t colon = line.find("():");
  if (colon == std::string::npos) return line;
  size_t digits = colon + 3;
  size_t end = digits;
  while (end < line.size() && isdigit(static_cast<unsigned char>(line[end]))) {
    ++end;
  }
  if (end == digits || end == line.size() || line[end] != ' ') return line;
  return line.substr(0, colon + 2) + line.substr(end);
}

std::vector<std::string> WithoutLineNumbers(
    const std::vector<std::string> &lines) {
  std::vector<std::string> result;
  for (const std::string &line : lines) {
    result.push_back(WithoutLineNumber(line));
  }
  return result;
}

ProcessResult RunProcess(const std::vector<std::string> &args,
                         const std::string &scratch_dir) {
  ProcessResult result{-1, "", ""};
  std::string out_path = scratch_dir + "/.stdout";
  std::string err_path = scratch_dir + "/.stderr";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null",
                                   O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out_path.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err_path.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  std::vector<char *> argv;
  for (const std::string &arg : args) {
    argv.push_back(const_cast<char *>(arg.c_str()));
  }
  argv.push_back(nullptr);
  pid_t pid;
  int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(),
                            environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    ADD_FAILURE() << "cannot run " << args[0];
    return result;
  }
  int wait_status = 0;
  waitpid(pid, &wait_status, 0);
  if (WIFEXITED(wait_status)) result.status = WEXITSTATUS(wait_status);
  result.out = ReadFile(out_path);
  result.err = ReadFile(err_path);
  unlink(out_path.c_str());
  unlink(err_path.c_str());
  return result;
}

std::string Hex(const std::vector<unsigned char> &bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (unsigned char byte : bytes) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0x0f];
  }
  return text;
}

}  // namespace rimbolt_test
