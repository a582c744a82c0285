#include <android/log.h>

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

namespace {

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

extern "C" int __android_log_print(int prio, const char *tag, const char *fmt,
                                   ...) {
  va_list args;
  va_start(args, fmt);
  char *message = nullptr;
  int length = vasprintf(&message, fmt, args);
  va_end(args);
  if (length < 0) return -1;

  char *line = nullptr;
  int line_length = asprintf(&line, "%c/%s: %s\n", PriorityLetter(prio),
                             tag != nullptr ? tag : "", message);
  free(message);
  if (line_length < 0) return -1;
  // One write, so that a line is never split by other output.
  fflush(stderr);
  ssize_t written = write(STDERR_FILENO, line, static_cast<size_t>(line_length));
  free(line);
  return written < 0 ? -1 : static_cast<int>(written);
}
