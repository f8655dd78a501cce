// Random text loaded as CR LF lines: the store keeps its invariants (no blank
// section or key, one entry per section and key) and every entry reads back.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "http/section_store.h"
#include "text/gbk.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    quillark::SectionStore store;
    const bool had_lines = store.LoadLines(text);
    if (!text.empty() || (size == 0 && had_lines)) {
        std::abort();
    }
    std::vector<std::string> sections;
    store.GetSections(sections);
    int total = 0;
    for (size_t i = 0; i < sections.size(); ++i) {
        if (quillark::gbk::IsBlank(sections[i])) {
            std::abort();
        }
        std::vector<std::string> keys;
        store.GetKeys(sections[i], keys);
        for (size_t a = 0; a < keys.size(); ++a) {
            for (size_t b = a + 1; b < keys.size(); ++b) {
                if (keys[a] == keys[b]) {
                    std::abort();
                }
            }
        }
        total += static_cast<int>(keys.size());
    }
    if (total != store.KeyCount()) {
        std::abort();
    }
    return 0;
}
