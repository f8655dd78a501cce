#include "platform/http_last_error.h"

namespace quillark {
namespace {

std::string& ThreadReason() {
    thread_local std::string reason;
    return reason;
}

}  // namespace

const std::string& HttpLastError::Get() {
    return ThreadReason();
}

void HttpLastError::Set(std::string_view reason) {
    ThreadReason() = reason;
}

void HttpLastError::Clear() {
    ThreadReason().clear();
}

}  // namespace quillark
