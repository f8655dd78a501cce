// The hand-written clean-ups against the pattern objects they replace, on
// arbitrary bytes (invalid GBK included): the results must be identical.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "json/json_text_cleanup.h"
#include "json/json_text_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const quillark::JsonTextParser patterns(quillark::CleanupEngine::kPatterns);
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (quillark::JsonTextCleanup::StripQuotes(text) != patterns.StripQuotes(text) ||
        quillark::JsonTextCleanup::TrimBlanks(text) != patterns.TrimBlanks(text) ||
        quillark::JsonTextCleanup::CompactText(text) != patterns.CompactText(text)) {
        std::abort();
    }
    return 0;
}
