// Random answers of the location service: escape decoding and the result line
// never read out of bounds, and decoding never makes the text longer than
// the escapes it replaced allow.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "catalogue/server_location_lookup.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string decoded = quillark::ServerLocationLookup::UnescapeUnicode(text);
    // Each six-byte escape becomes at most four GBK bytes (two code units).
    if (decoded.size() > text.size()) {
        std::abort();
    }
    quillark::ServerLocationLookup::DescribeAnswer(text);
    return 0;
}
