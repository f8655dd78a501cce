#include "json/value_collection.h"

#include <algorithm>
#include <functional>

#include "platform/pending_events_hook.h"

namespace quillark {
namespace {

SharedText CopyText(std::string_view text) {
    return text.empty() ? SharedText() : SharedText(std::string(text));
}

}  // namespace

int ValueCollection::SetLevels(std::vector<ValueNode>& list, int level, int delta) {
    for (ValueNode& node : list) {
        node.level = delta != 0 ? node.level + delta : level;
    }
    return static_cast<int>(list.size());
}

ValueCollection::StoredNode ValueCollection::Stored(const ValueNode& node) {
    StoredNode stored;
    stored.name = node.name;
    stored.kind = node.kind;
    stored.value = CopyText(node.value);
    stored.level = node.level;
    stored.child_count = node.child_count;
    stored.ordinal = node.ordinal;
    return stored;
}

int ValueCollection::AddNode(int parent, std::string_view name, int kind, std::string_view value,
                             int position, std::vector<ValueNode>* list, bool insert_list,
                             bool set_levels) {
    const bool use_list = insert_list && list != nullptr;
    if (!use_list && position == 0) {
        return AddSharedNode(parent, name, kind, CopyText(value));
    }
    auto placed_nodes = [&](int level) {
        std::vector<StoredNode> placed;
        if (use_list) {
            for (const ValueNode& node : *list) {
                placed.push_back(Stored(node));
            }
        } else {
            StoredNode node;
            node.name.assign(name);
            node.kind = kind;
            node.value = CopyText(value);
            node.level = level;
            placed.push_back(std::move(node));
        }
        return placed;
    };

    if (!IsValid(parent)) {
        if (use_list && set_levels) {
            SetLevels(*list, 1, 0);
        }
        if (top_count_ != 0 && position >= 1 && position <= top_count_) {
            int at = NthAtLevel(1, position, 0);
            if (at == -1) {
                at = NodeCount() + 1;  // the counts disagree with the list: append
            }
            PlaceNodes(at, placed_nodes(1));
            RenumberChildren(0, position);
            return at;
        }
        if (!use_list) {
            return AddSharedNode(0, name, kind, CopyText(value));
        }
        for (size_t k = 0; k < list->size(); ++k) {
            (*list)[k].ordinal = top_count_ + 1 + static_cast<int>(k);
        }
        top_count_ += static_cast<int>(list->size());
        PlaceNodes(NodeCount() + 1, placed_nodes(1));
        return NodeCount();
    }

    const int child_level = At(parent).level + 1;
    if (use_list && set_levels) {
        SetLevels(*list, child_level, 0);
    }
    const int child_count = At(parent).child_count;
    if (child_count != 0 && position >= 1 && position <= child_count) {
        int at = NthAtLevel(child_level, position, parent);
        if (at == -1) {
            at = SubtreeEnd(parent);
            at = at == -1 ? NodeCount() + 1 : at;
        }
        PlaceNodes(at, placed_nodes(child_level));
        RenumberChildren(parent, position);
        return at;
    }
    if (!use_list) {
        return AddSharedNode(parent, name, kind, CopyText(value));
    }
    int at = SubtreeEnd(parent);
    at = at == -1 ? NodeCount() + 1 : at;
    for (size_t k = 0; k < list->size(); ++k) {
        (*list)[k].ordinal = child_count + 1 + static_cast<int>(k);
    }
    At(parent).child_count += static_cast<int>(list->size());
    PlaceNodes(at, placed_nodes(child_level));
    return at;
}

int ValueCollection::AddSharedNode(int parent, std::string_view name, int kind, SharedText value) {
    if (!IsValid(parent)) {
        StoredNode node;
        node.name.assign(name);
        node.kind = kind;
        node.value = std::move(value);
        node.level = 1;
        node.ordinal = ++top_count_;
        nodes_.push_back(std::move(node));
        IndexAppended(NodeCount());
        return NodeCount();
    }
    int at = SubtreeEnd(parent);
    at = at == -1 ? NodeCount() + 1 : at;
    StoredNode node;
    node.name.assign(name);
    node.kind = kind;
    node.value = std::move(value);
    node.level = At(parent).level + 1;
    node.ordinal = ++At(parent).child_count;
    node.parent = parent;
    if (at == NodeCount() + 1) {
        nodes_.push_back(std::move(node));
        IndexAppended(at);
        return at;
    }
    std::vector<StoredNode> placed;
    placed.push_back(std::move(node));
    return PlaceNodes(at, std::move(placed));
}

int ValueCollection::PlaceNodes(int at, std::vector<StoredNode> placed) {
    at = std::clamp(at, 1, NodeCount() + 1);
    // Any placement but the plain append breaks the append-only shape the name
    // index relies on.
    DropIndex();
    nodes_.insert(nodes_.begin() + (at - 1), std::make_move_iterator(placed.begin()),
                  std::make_move_iterator(placed.end()));
    return at;
}

int ValueCollection::SubtreeEnd(int index) const {
    if (!IsValid(index)) {
        return -1;
    }
    if (SubtreeRunsToEnd(index)) {
        return -1;
    }
    return SubtreeEndUnindexed(index);
}

int ValueCollection::SubtreeEndUnindexed(int index) const {
    const int level = At(index).level;
    int i = index + 1;
    while (i <= NodeCount() && At(i).level > level) {
        // In an indexed (append-built) list the child counts are exact, so
        // whole subtrees can be skipped.
        i += indexed_ ? 1 + std::max(At(i).child_count, 0) : 1;
    }
    return i <= NodeCount() ? i : -1;
}

bool ValueCollection::SubtreeRunsToEnd(int parent) const {
    if (!indexed_ || !IsValid(parent)) {
        return false;
    }
    const size_t level = static_cast<size_t>(At(parent).level);
    return level >= 1 && level <= open_path_.size() && open_path_[level - 1] == parent;
}

void ValueCollection::RenumberChildren(int parent, int from_ordinal) {
    DropIndex();
    std::vector<int> children;
    if (IsValid(parent)) {
        CollectAtLevel(At(parent).level + 1, children, parent);
    } else {
        CollectAtLevel(1, children, parent);
    }
    for (int k = std::max(from_ordinal, 1); k <= static_cast<int>(children.size()); ++k) {
        At(children[static_cast<size_t>(k - 1)]).ordinal = k;
    }
    if (IsValid(parent)) {
        At(parent).child_count = static_cast<int>(children.size());
    } else {
        top_count_ = static_cast<int>(children.size());
    }
}

template <typename Visit>
bool ValueCollection::WalkLevel(int level, int from, Visit visit) const {
    int i = from >= 1 ? from + 1 : 1;
    while (i <= NodeCount()) {
        PendingEventsHook::Run();
        const StoredNode& node = At(i);
        if (node.level == level) {
            if (!visit(i)) {
                return false;
            }
            ++i;
        } else if (node.level < level) {
            return false;
        } else {
            i += 1 + std::max(node.child_count, 0);
        }
    }
    return true;
}

int ValueCollection::CollectAtLevel(int level, std::vector<int>& indexes_out, int from) const {
    indexes_out.clear();
    const bool reached_end = WalkLevel(level, from, [&](int i) {
        indexes_out.push_back(i);
        return true;
    });
    return reached_end ? static_cast<int>(indexes_out.size()) : 0;
}

int ValueCollection::NthAtLevel(int level, int n, int from) const {
    if (n < 1) {
        return -1;
    }
    int seen = 0;
    int found = -1;
    WalkLevel(level, from, [&](int i) {
        if (++seen == n) {
            found = i;
            return false;
        }
        return true;
    });
    return found;
}

int ValueCollection::FindByName(int level, std::string_view name, int from) const {
    const bool children_of_node = IsValid(from) && level == At(from).level + 1;
    const bool top_level = from <= 0 && level == 1;
    if (indexed_ && (children_of_node || top_level)) {
        PendingEventsHook::Run();
        return IndexedChild(top_level ? 0 : from, name);
    }
    int found = -1;
    WalkLevel(level, from, [&](int i) {
        if (At(i).name == name) {
            found = i;
            return false;
        }
        return true;
    });
    return found;
}

int ValueCollection::NodeLevel(int index) const {
    return IsValid(index) ? At(index).level : -1;
}

int ValueCollection::ParentOf(int index) const {
    if (!IsValid(index)) {
        return -1;
    }
    const int level = At(index).level;
    if (level == 1) {
        return 0;
    }
    while (true) {
        // An ordinal below 1 can only come from a caller's list; stepping back
        // at least one node keeps the walk finite.
        index -= std::max(At(index).ordinal, 1);
        if (index == 0) {
            return 0;
        }
        if (index < 0) {
            return -1;
        }
        if (At(index).level + 1 == level) {
            return index;
        }
        if (At(index).level + 1 < level || level == 0) {
            return -1;
        }
    }
}

int ValueCollection::ParentAtLevel(int index, int level) const {
    if (IsValid(index)) {
        level = At(index).level;
    }
    if (level == 1) {
        return 0;
    }
    while (true) {
        const int r = IsValid(index) ? index - std::max(At(index).ordinal, 1) : index - 1;
        if (r == 0) {
            return 0;
        }
        if (r < 0) {
            return -1;
        }
        if (IsValid(r)) {
            if (At(r).level + 1 == level) {
                return r;
            }
            if (At(r).level + 1 < level) {
                return -1;
            }
        }
        if (level == 0) {
            return -1;
        }
        // Far past the end nothing can be found before the last node.
        index = r > NodeCount() + 1 ? NodeCount() + 1 : r;
    }
}

bool ValueCollection::HasChildren(int index) const {
    return IsValid(index) && At(index).child_count != 0;
}

int ValueCollection::ChildCount(int index) const {
    return IsValid(index) ? At(index).child_count : -1;
}

std::string ValueCollection::NodeName(int index) const {
    return IsValid(index) ? At(index).name : std::string();
}

int ValueCollection::NodeKind(int index) const {
    return IsValid(index) ? At(index).kind : -1;
}

std::string ValueCollection::NodeValue(int index) const {
    return std::string(NodeValueView(index));
}

std::string_view ValueCollection::NodeValueView(int index) const {
    return IsValid(index) ? At(index).value.view() : std::string_view();
}

bool ValueCollection::SetNodeName(int index, std::string_view name) {
    if (!IsValid(index)) {
        return false;
    }
    DropIndex();
    At(index).name.assign(name);
    return true;
}

bool ValueCollection::SetNodeKind(int index, int kind) {
    if (!IsValid(index)) {
        return false;
    }
    At(index).kind = kind;
    return true;
}

bool ValueCollection::SetNodeValue(int index, std::string_view value) {
    if (!IsValid(index)) {
        return false;
    }
    At(index).value = CopyText(value);
    return true;
}

bool ValueCollection::RemoveNode(int index, bool keep_children) {
    if (!IsValid(index)) {
        return false;
    }
    const int level = At(index).level;
    int stretch_end = index + 1;
    while (stretch_end <= NodeCount() && At(stretch_end).level > level) {
        ++stretch_end;
    }
    const bool has_descendants = stretch_end > index + 1;
    const int parent = ParentOf(index);
    const int ordinal = At(index).ordinal;
    int previous = -1;
    if (keep_children && has_descendants && ordinal > 1) {
        previous = NthAtLevel(level, ordinal - 1, parent);
    }
    DropIndex();
    const int remove_end = (keep_children && ordinal > 1) ? index + 1 : stretch_end;
    nodes_.erase(nodes_.begin() + (index - 1), nodes_.begin() + (remove_end - 1));
    RenumberChildren(parent, std::max(ordinal, 1));
    if (previous != -1) {
        RenumberChildren(previous, At(previous).child_count + 1);
    }
    return true;
}

void ValueCollection::ClearNodes() {
    nodes_.clear();
    nodes_.shrink_to_fit();
    top_count_ = 0;
    std::vector<NameSlot>().swap(name_slots_);
    named_children_ = 0;
    open_path_.clear();
    indexed_ = true;
}

int ValueCollection::CopyNodes(std::vector<ValueNode>& list_out) const {
    list_out.clear();
    list_out.reserve(nodes_.size());
    for (const StoredNode& node : nodes_) {
        list_out.push_back(ValueNode{node.name, node.kind, std::string(node.value.view()),
                                     node.level, node.child_count, node.ordinal});
    }
    return NodeCount();
}

uint64_t ValueCollection::NameKey(int parent, std::string_view name) {
    uint64_t key = std::hash<std::string_view>{}(name) ^
                   static_cast<uint64_t>(static_cast<uint32_t>(parent)) * 0x9E3779B97F4A7C15ULL;
    // Final mix so that the low bits, which pick the slot, depend on every bit.
    key ^= key >> 31;
    key *= 0xBF58476D1CE4E5B9ULL;
    key ^= key >> 29;
    return key;
}

int ValueCollection::IndexedChild(int parent, std::string_view name) const {
    if (name_slots_.empty()) {
        return -1;
    }
    const uint64_t key = NameKey(parent, name);
    const size_t mask = name_slots_.size() - 1;
    for (size_t slot = key & mask; name_slots_[slot].index != 0; slot = (slot + 1) & mask) {
        const NameSlot& entry = name_slots_[slot];
        if (entry.key == key) {
            const StoredNode& node = At(entry.index);
            if (node.parent == parent && node.name == name) {
                return entry.index;
            }
        }
    }
    return -1;
}

void ValueCollection::IndexAppended(int index) {
    if (!indexed_) {
        return;
    }
    const StoredNode& node = At(index);
    open_path_.resize(static_cast<size_t>(node.level - 1));
    open_path_.push_back(index);
    if (IndexedChild(node.parent, node.name) != -1) {
        return;  // an earlier sibling of that name is found first
    }
    if ((named_children_ + 1) * 2 > name_slots_.size()) {
        std::vector<NameSlot> old_slots(std::max<size_t>(16, name_slots_.size() * 2));
        old_slots.swap(name_slots_);
        const size_t mask = name_slots_.size() - 1;
        for (const NameSlot& entry : old_slots) {
            if (entry.index != 0) {
                size_t slot = entry.key & mask;
                while (name_slots_[slot].index != 0) {
                    slot = (slot + 1) & mask;
                }
                name_slots_[slot] = entry;
            }
        }
    }
    const uint64_t key = NameKey(node.parent, node.name);
    const size_t mask = name_slots_.size() - 1;
    size_t slot = key & mask;
    while (name_slots_[slot].index != 0) {
        slot = (slot + 1) & mask;
    }
    name_slots_[slot] = NameSlot{key, index};
    ++named_children_;
}

void ValueCollection::DropIndex() {
    if (!indexed_) {
        return;
    }
    indexed_ = false;
    std::vector<NameSlot>().swap(name_slots_);
    named_children_ = 0;
    std::vector<int>().swap(open_path_);
}

}  // namespace quillark
