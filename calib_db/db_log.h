// Log lines of the calibration database: tag "Rimbolt", and every line
// starts with the operation's name and the source line.
#ifndef CALIB_DB_DB_LOG_H_
#define CALIB_DB_DB_LOG_H_

#include <android/log.h>

#define RIMBOLT_LOG_TAG "Rimbolt"

#define DB_LOG(prio, op, fmt, ...)                                   \
  __android_log_print(prio, RIMBOLT_LOG_TAG, "%s():%d " fmt, op, __LINE__, \
                      ##__VA_ARGS__)

// |op| is given explicitly so that a helper can log for the operation that
// called it.
#define DB_LOGE(op, fmt, ...) DB_LOG(ANDROID_LOG_ERROR, op, fmt, ##__VA_ARGS__)
#define DB_LOGI(op, fmt, ...) DB_LOG(ANDROID_LOG_INFO, op, fmt, ##__VA_ARGS__)

// How a root element pointer shows after "root_node:": 0 when null, else 1.
inline int RootNodeNumber(const void *root_node) {
  return root_node != nullptr ? 1 : 0;
}

#endif  // CALIB_DB_DB_LOG_H_
