#include <android/log.h>

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>

namespace {

std::atomic<__android_logger_function> g_logger{__android_log_logd_logger};

char PriorityLetter(int prio) {
  switch (prio) {
    case ANDROID_LOG_VERBOSE: return 'V';
    case ANDROID_LOG_DEBUG: return 'D';
    case ANDROID_LOG_INFO: return 'I';
    case ANDROID_LOG_WARN: return 'W';
    case ANDROID_LOG_ERROR: return 'E';
    case ANDROID_LOG_FATAL: return 'F';
    default: return '?';
  }
}

}  // namespace

extern "C" void __android_log_set_logger(__android_logger_function logger) {
  g_logger.store(logger != nullptr ? logger : __android_log_logd_logger);
}

extern "C" void __android_log_stderr_logger(
    const struct __android_log_message *log_message) {
  char *line = nullptr;
  int length = asprintf(&line, "%c/%s: %s\n",
                        PriorityLetter(log_message->priority),
                        log_message->tag != nullptr ? log_message->tag : "",
                        log_message->message);
  if (length < 0) return;
  // One write, so that a line is never split by other output.
  fflush(stderr);
  ssize_t written = write(STDERR_FILENO, line, static_cast<size_t>(length));
  (void)written;
  free(line);
}

extern "C" void __android_log_logd_logger(
    const struct __android_log_message *log_message) {
  __android_log_stderr_logger(log_message);
}

extern "C" void __android_log_write_log_message(
    struct __android_log_message *log_message) {
  if (log_message == nullptr || log_message->message == nullptr) return;
  g_logger.load()(log_message);
}

extern "C" int __android_log_print(int prio, const char *tag, const char *fmt,
                                   ...) {
  va_list args;
  va_start(args, fmt);
  char *message = nullptr;
  int length = vasprintf(&message, fmt, args);
  va_end(args);
  if (length < 0) return -1;
  struct __android_log_message log_message = {
      sizeof(log_message), LOG_ID_MAIN, prio, tag, nullptr, 0, message};
  __android_log_write_log_message(&log_message);
  free(message);
  return 1;
}
