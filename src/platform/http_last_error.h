#pragma once

#include <string>
#include <string_view>

namespace quillark {

// Why the most recent HTTP call on this thread failed; empty after a success.
// Each thread has its own text, so a reason is read on the thread that failed.
class HttpLastError {
  public:
    static const std::string& Get();
    static void Set(std::string_view reason);
    static void Clear();
};

}  // namespace quillark
