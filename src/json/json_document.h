#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "json/json_text_parser.h"
#include "json/value_collection.h"

namespace quillark {

// One JSON text as a tree of named values, read by dotted paths such as
// "[3].old_name" or "data.country". Array elements are named "[1]", "[2]", ...
// (or "[0]", "[1]", ... when parsed zero-based); a member name that contains a
// dot is written in double quotes in a path. Values are returned as the text
// stood, strings without their quotes; escape sequences are not decoded.
// Nothing is ever rejected: a path that leads nowhere reads as an empty text
// and counts 0.
class JsonDocument {
  public:
    explicit JsonDocument(CleanupEngine engine = CleanupEngine::kNative);

    ValueCollection CopyValues() const { return values_; }
    // Replaces the whole tree with the tree of `text`.
    void Parse(const std::string& text, bool zero_based = false);
    // Builds the same tree as Parse by cutting the text level by level with
    // the parser (AddElements and AddMembers); slower, kept as the reference
    // Parse is checked against.
    void ParseBySplitting(const std::string& text, bool zero_based = false);
    // The value at `path`, cleaned of quotes; with start_node >= 1 the path is
    // still written from the root but only the start node's descendants are
    // searched. An empty path gives the whole text, compacted.
    std::string GetText(const std::string& path, int start_node = 0);
    // Writes `value` and `kind` at `path`, creating the missing nodes of the path.
    void SetText(const std::string& path, std::string_view value, int kind);
    // Number of direct children at `path` (0 when it leads nowhere);
    // node_index_out receives the node the path leads to.
    int GetCount(const std::string& path, int& node_index_out);
    int GetCount(const std::string& path);
    void AddElements(const std::vector<std::string>& elements, int parent_index);
    void AddMembers(const std::vector<MemberPair>& members, int parent_index);
    std::string CleanValue(std::string_view text) const;
    static std::string Capitalize(std::string_view text);
    // The path that leads to a node; empty for the root.
    std::string PathOf(int node_index) const;

  private:
    // Appends the nodes of one list and, depth first, of every list nested in
    // it, with a stack of pending lists in place of recursion.
    void AddNested(std::vector<MemberPair> members, std::vector<std::string> elements,
                   bool are_elements, int parent_index);
    std::string ElementName(size_t one_based) const;
    // Splits the path; false when it addresses the root.
    bool SplitsToSegments(const std::string& path);

    bool zero_based_ = false;
    ValueCollection values_;
    JsonTextParser parser_;
};

}  // namespace quillark
