#pragma once

#include <string>

#include "json/value_collection.h"

namespace quillark {

// Builds the value tree of a JSON text in time that grows with the text, with
// exactly the nodes that cutting it level by level with JsonTextParser gives
// (JsonDocument::ParseBySplitting): the text is loaded and indexed once, and a
// nested value that would load to the same bytes is cut in place from the
// loaded text instead of being copied and loaded again; its node keeps a view
// of that text. Nesting depth costs heap, not stack.
class JsonTreeBuilder {
  public:
    // Replaces the content of `values` with the tree of `text`: the root
    // "JSON" as node 1, then every member and element in document order;
    // elements are named [1], [2], ... or, when zero_based, [0], [1], ...
    static void Build(const std::string& text, bool zero_based, ValueCollection& values);
};

}  // namespace quillark
