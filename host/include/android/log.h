// The Android log interface for builds on a development machine.
#ifndef HOST_INCLUDE_ANDROID_LOG_H_
#define HOST_INCLUDE_ANDROID_LOG_H_

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

// Writes one line "<letter>/<tag>: <message>" to standard error, in
// logcat's tag format.
int __android_log_print(int prio, const char *tag, const char *fmt, ...)
    __attribute__((format(printf, 3, 4)));

#ifdef __cplusplus
}
#endif

#endif  // HOST_INCLUDE_ANDROID_LOG_H_
