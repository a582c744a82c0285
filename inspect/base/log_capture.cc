#include "inspect/base/log_capture.h"

#include <android/log.h>
#include <ctype.h>
#include <string.h>

namespace inspect {

namespace {

// The logger hook takes a plain function, so what it collects lives here.
std::string g_problems;

// |message| after its "Operation():123 " prefix, when it has one.
const char *Reason(const char *message) {
  const char *mark = strstr(message, "():");
  if (mark == nullptr) return message;
  const char *p = mark + 3;
  if (!isdigit(static_cast<unsigned char>(*p))) return message;
  while (isdigit(static_cast<unsigned char>(*p))) ++p;
  return *p == ' ' ? p + 1 : message;
}

void CollectProblems(const struct __android_log_message *log_message) {
  if (log_message->priority < ANDROID_LOG_WARN) return;
  if (!g_problems.empty()) g_problems += "; ";
  g_problems += Reason(log_message->message);
}

}  // namespace

LogCapture::LogCapture() {
  g_problems.clear();
  __android_log_set_logger(CollectProblems);
}

LogCapture::~LogCapture() {
  __android_log_set_logger(__android_log_logd_logger);
}

std::string LogCapture::Problems() const { return g_problems; }

}  // namespace inspect
