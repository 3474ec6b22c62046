#include "core/trace.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace core {

bool TraceEnabled() {
  static const bool enabled = [] {
    const char* v = std::getenv("DSPTUNER_TRACE");
    return v != nullptr && std::strcmp(v, "1") == 0;
  }();
  return enabled;
}

void Trace(std::string_view text) {
  if (!TraceEnabled()) return;
  static std::mutex mutex;
  std::lock_guard lock(mutex);
  std::fwrite(text.data(), 1, text.size(), stderr);
  if (text.empty() || text.back() != '\n') std::fputc('\n', stderr);
  std::fflush(stderr);
}

}  // namespace core
