// The linear tree build against the level-by-level build with the pattern
// objects doing the clean-ups: for any text both must give the same nodes,
// names, kinds, values, levels, child counts and ordinals, and the same reads.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "json/json_document.h"

namespace {

std::vector<quillark::ValueNode> Nodes(const quillark::JsonDocument& document) {
    std::vector<quillark::ValueNode> nodes;
    document.CopyValues().CopyNodes(nodes);
    return nodes;
}

bool Same(const quillark::ValueNode& a, const quillark::ValueNode& b) {
    return a.name == b.name && a.kind == b.kind && a.value == b.value && a.level == b.level &&
           a.child_count == b.child_count && a.ordinal == b.ordinal;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const bool zero_based = size > 0 && (data[0] & 1) != 0;
    quillark::JsonDocument fast;
    fast.Parse(text, zero_based);
    quillark::JsonDocument reference(quillark::CleanupEngine::kPatterns);
    reference.ParseBySplitting(text, zero_based);
    const std::vector<quillark::ValueNode> fast_nodes = Nodes(fast);
    const std::vector<quillark::ValueNode> reference_nodes = Nodes(reference);
    if (fast_nodes.size() != reference_nodes.size()) {
        std::abort();
    }
    for (size_t i = 0; i < fast_nodes.size(); ++i) {
        if (!Same(fast_nodes[i], reference_nodes[i])) {
            std::abort();
        }
    }
    for (int node = 1; node <= static_cast<int>(fast_nodes.size()) && node < 50; ++node) {
        const std::string path = fast.PathOf(node);
        if (fast.GetText(path) != reference.GetText(path) ||
            fast.GetCount(path) != reference.GetCount(path)) {
            std::abort();
        }
    }
    return 0;
}
