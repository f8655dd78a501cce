#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quillark {

// What a stored value is: its kind decides whether it has children.
struct ValueKind {
    static constexpr int kPlain = 0;
    static constexpr int kObject = 1;
    static constexpr int kArray = 2;
};

// One node of a value tree as callers see it (lists passed to and from
// ValueCollection hold these).
struct ValueNode {
    std::string name;
    int kind = ValueKind::kPlain;
    std::string value;
    int level = 0;        // 1 for a top-level node, parent's level + 1 otherwise
    int child_count = 0;  // direct children
    int ordinal = 0;      // 1-based position among its siblings
};

// Immutable text shared between nodes: a stretch of a buffer that several
// values may point into, so that a nested value costs no copy of its text.
class SharedText {
  public:
    SharedText() = default;
    explicit SharedText(std::string text)
        : buffer_(std::make_shared<const std::string>(std::move(text))),
          length_(static_cast<uint32_t>(buffer_->size())) {}
    SharedText(std::shared_ptr<const std::string> buffer, size_t offset, size_t length)
        : buffer_(std::move(buffer)),
          offset_(static_cast<uint32_t>(offset)),
          length_(static_cast<uint32_t>(length)) {}

    std::string_view view() const {
        return buffer_ ? std::string_view(*buffer_).substr(offset_, length_) : std::string_view();
    }

  private:
    std::shared_ptr<const std::string> buffer_;
    uint32_t offset_ = 0;
    uint32_t length_ = 0;
};

// A tree of named values kept as one flat list in document order, depth
// first: every node is followed by all of its descendants. Nodes are addressed
// by their 1-based position (the node index); -1 means "not found" and 0 "no
// parent" (the top level). Tree questions are answered by walking the list and
// jumping over subtrees with each node's child count.
//
// While the list has only grown by appending at its end (as a parser builds
// it), the collection also keeps an index from (parent, name) to the first
// such child, so that FindByName answers a parent's child by name without a
// walk; any other change drops the index and the walks answer alone.
class ValueCollection {
  public:
    ValueCollection() = default;
    ValueCollection(const ValueCollection& other) = default;
    ValueCollection& operator=(const ValueCollection& other) = default;
    ValueCollection(ValueCollection&& other) noexcept = default;
    ValueCollection& operator=(ValueCollection&& other) noexcept = default;

    // Works on the caller's list: adds `delta` to every level, or sets every
    // level to `level` when delta is 0. Returns the list's length.
    static int SetLevels(std::vector<ValueNode>& list, int level, int delta);

    // Places a new node (or, with insert_list, copies of the nodes of `list`)
    // under `parent` (top level when parent is not a node): at the 1-based
    // child `position` when that child exists, else after the parent's last
    // descendant. Returns the index of the node placed.
    int AddNode(int parent, std::string_view name, int kind, std::string_view value,
                int position = 0, std::vector<ValueNode>* list = nullptr, bool insert_list = false,
                bool set_levels = false);
    // AddNode with no position and no list, keeping `value` shared instead of copied.
    int AddSharedNode(int parent, std::string_view name, int kind, SharedText value);

    // Index of the first node after index's subtree; -1 when the subtree runs
    // to the end of the list.
    int SubtreeEnd(int index) const;
    void RenumberChildren(int parent, int from_ordinal);
    // Walks from just after `from` over the nodes of `level` until a shallower
    // node; indexes_out receives them. Returns their number when the walk ran
    // to the end of the list, 0 when a shallower node stopped it.
    int CollectAtLevel(int level, std::vector<int>& indexes_out, int from) const;
    int NthAtLevel(int level, int n, int from) const;
    int FindByName(int level, std::string_view name, int from) const;

    int NodeLevel(int index) const;
    int ParentOf(int index) const;
    int ParentAtLevel(int index, int level) const;
    bool HasChildren(int index) const;
    int ChildCount(int index) const;
    std::string NodeName(int index) const;
    int NodeKind(int index) const;
    std::string NodeValue(int index) const;
    // The stored value without a copy; valid until the node changes.
    std::string_view NodeValueView(int index) const;
    bool SetNodeName(int index, std::string_view name);
    bool SetNodeKind(int index, int kind);
    bool SetNodeValue(int index, std::string_view value);
    int NodeCount() const { return static_cast<int>(nodes_.size()); }
    // Makes room for `count` nodes in all, so that building does not regrow the list.
    void Reserve(size_t count) { nodes_.reserve(count); }
    bool RemoveNode(int index, bool keep_children);
    void ClearNodes();
    int CopyNodes(std::vector<ValueNode>& list_out) const;

  private:
    struct StoredNode {
        std::string name;
        int kind = ValueKind::kPlain;
        SharedText value;
        int level = 0;
        int child_count = 0;
        int ordinal = 0;
        int parent = 0;  // kept only while the name index is in use
    };

    bool IsValid(int index) const { return index >= 1 && index <= NodeCount(); }
    StoredNode& At(int index) { return nodes_[static_cast<size_t>(index - 1)]; }
    const StoredNode& At(int index) const { return nodes_[static_cast<size_t>(index - 1)]; }

    // The shared walk: calls visit(i) for every node of `level` after `from`
    // until visit returns false. Returns true when the walk reached the end of
    // the list, false when a shallower node or visit stopped it.
    template <typename Visit>
    bool WalkLevel(int level, int from, Visit visit) const;

    int AppendPlain(int parent, std::string_view name, int kind, SharedText value);
    int PlaceNodes(int at, std::vector<StoredNode> placed);
    int SubtreeEndUnindexed(int index) const;
    // True when a new child of `parent` would go at the end of the list.
    bool SubtreeRunsToEnd(int parent) const;
    void IndexAppended(int index);
    void DropIndex();
    static uint64_t NameKey(int parent, std::string_view name);
    // The first child of `parent` named `name`, or -1; from the index.
    int IndexedChild(int parent, std::string_view name) const;
    static StoredNode Stored(const ValueNode& node);

    std::vector<StoredNode> nodes_;
    int top_count_ = 0;

    bool indexed_ = true;
    // Open-addressing table of the first child of each (parent, name): slots
    // hold the key and the node index (0 for an empty slot).
    struct NameSlot {
        uint64_t key = 0;
        int index = 0;
    };
    std::vector<NameSlot> name_slots_;
    size_t named_children_ = 0;
    // Last node of every level on the path to the last node of the list: the
    // nodes whose subtrees run to the end.
    std::vector<int> open_path_;
};

}  // namespace quillark
