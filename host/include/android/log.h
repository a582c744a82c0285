// The Android log interface for builds on a development machine: the part
// of the NDK's <android/log.h> (API level 30) that this project uses.
#ifndef HOST_INCLUDE_ANDROID_LOG_H_
#define HOST_INCLUDE_ANDROID_LOG_H_

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef enum android_LogPriority {
  ANDROID_LOG_UNKNOWN = 0,
  ANDROID_LOG_DEFAULT,
  ANDROID_LOG_VERBOSE,
  ANDROID_LOG_DEBUG,
  ANDROID_LOG_INFO,
  ANDROID_LOG_WARN,
  ANDROID_LOG_ERROR,
  ANDROID_LOG_FATAL,
  ANDROID_LOG_SILENT,
} android_LogPriority;

typedef enum log_id {
  LOG_ID_MIN = 0,
  LOG_ID_MAIN = 0,
  LOG_ID_RADIO = 1,
  LOG_ID_EVENTS = 2,
  LOG_ID_SYSTEM = 3,
  LOG_ID_CRASH = 4,
  LOG_ID_STATS = 5,
  LOG_ID_SECURITY = 6,
  LOG_ID_KERNEL = 7,
  LOG_ID_MAX,
  LOG_ID_DEFAULT = 0x7FFFFFFF
} log_id_t;

// One message on its way to the logger.
struct __android_log_message {
  size_t struct_size;  // sizeof(struct __android_log_message)
  int32_t buffer_id;   // a log_id_t
  int32_t priority;    // an android_LogPriority
  const char *tag;
  const char *file;  // may be null
  uint32_t line;
  const char *message;
};

typedef void (*__android_logger_function)(
    const struct __android_log_message *log_message);

// Every message, from __android_log_print as from
// __android_log_write_log_message, goes to the logger set last; a null
// |logger| restores the default, __android_log_logd_logger.
void __android_log_set_logger(__android_logger_function logger);

// The default logger. A development machine has no logd: it writes one line
// "<letter>/<tag>: <message>" to standard error, in logcat's tag format, as
// __android_log_stderr_logger does.
void __android_log_logd_logger(const struct __android_log_message *log_message);
void __android_log_stderr_logger(
    const struct __android_log_message *log_message);

// Hands |log_message| to the logger.
void __android_log_write_log_message(
    struct __android_log_message *log_message);

// Formats a message and hands it to the logger. Returns 1, as liblog does
// once a message is handed over, or a negative value when it cannot be
// formatted.
int __android_log_print(int prio, const char *tag, const char *fmt, ...)
    __attribute__((format(printf, 3, 4)));

#ifdef __cplusplus
}
#endif

#endif  // HOST_INCLUDE_ANDROID_LOG_H_
