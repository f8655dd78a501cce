#include "json/json_document.h"

#include "json/json_tree_builder.h"
#include "platform/pending_events_hook.h"
#include "text/gbk.h"

namespace quillark {

JsonDocument::JsonDocument(CleanupEngine engine) : parser_(engine) {}

void JsonDocument::Parse(const std::string& text, bool zero_based) {
    zero_based_ = zero_based;
    JsonTreeBuilder::Build(text, zero_based, values_);
}

void JsonDocument::ParseBySplitting(const std::string& text, bool zero_based) {
    zero_based_ = zero_based;
    values_.ClearNodes();
    std::vector<MemberPair> members;
    std::vector<std::string> elements;
    int kind = 0;
    parser_.SplitTop(text, members, elements, kind);
    values_.AddNode(0, "JSON", kind == 2 ? ValueKind::kArray : ValueKind::kObject, text);
    if (kind == 2) {
        AddElements(elements, 1);
    } else {
        AddMembers(members, 1);
    }
}

std::string JsonDocument::ElementName(size_t one_based) const {
    return "[" + std::to_string(zero_based_ ? one_based - 1 : one_based) + "]";
}

void JsonDocument::AddElements(const std::vector<std::string>& elements, int parent_index) {
    AddNested({}, elements, true, parent_index);
}

void JsonDocument::AddMembers(const std::vector<MemberPair>& members, int parent_index) {
    AddNested(members, {}, false, parent_index);
}

void JsonDocument::AddNested(std::vector<MemberPair> members, std::vector<std::string> elements,
                             bool are_elements, int parent_index) {
    struct Pending {
        std::vector<MemberPair> members;
        std::vector<std::string> elements;
        bool are_elements;
        int parent;
        size_t next = 0;
    };
    std::vector<Pending> stack;
    stack.push_back(Pending{std::move(members), std::move(elements), are_elements, parent_index});
    while (!stack.empty()) {
        Pending& top = stack.back();
        const size_t count = top.are_elements ? top.elements.size() : top.members.size();
        if (top.next == count) {
            stack.pop_back();
            continue;
        }
        const size_t i = top.next++;
        const bool member = !top.are_elements;
        const std::string name = member ? top.members[i].name : ElementName(i + 1);
        // The value is moved out: the split lists below are complete before the
        // nested level is added, and nothing reads the value again.
        const std::string value =
            member ? std::move(top.members[i].value) : std::move(top.elements[i]);
        const int parent = top.parent;
        const int kind = JsonTextParser::KindOf(value);
        if (kind == ValueKind::kObject) {
            std::vector<MemberPair> sub_members;
            parser_.SplitObject(value, true, sub_members);
            const int index = values_.AddNode(parent, name, ValueKind::kObject, value);
            stack.push_back(Pending{std::move(sub_members), {}, false, index});
        } else if (kind == ValueKind::kArray) {
            std::vector<std::string> sub_elements;
            parser_.SplitArray(value, true, sub_elements);
            const int index = values_.AddNode(parent, name, ValueKind::kArray, value);
            stack.push_back(Pending{{}, std::move(sub_elements), true, index});
        } else {
            values_.AddNode(parent, name, ValueKind::kPlain, value);
        }
        if (member) {
            PendingEventsHook::Run();
        }
    }
}

bool JsonDocument::SplitsToSegments(const std::string& path) {
    return !path.empty() && parser_.SplitPath(path) != 0;
}

std::string JsonDocument::GetText(const std::string& path, int start_node) {
    const std::string p = zero_based_ ? parser_.NormalizePath(path, 1) : path;
    if (!SplitsToSegments(p)) {
        return parser_.CompactText(values_.NodeValueView(1));
    }
    int cur = 1;
    int skip = 0;
    if (start_node >= 1) {
        cur = start_node;
        skip = values_.NodeLevel(start_node);
    }
    const std::vector<std::string>& segments = parser_.segments();
    for (int i = 1; i <= static_cast<int>(segments.size()); ++i) {
        if (skip != 0 && i < skip) {
            continue;
        }
        cur = values_.FindByName(i + 1, segments[static_cast<size_t>(i - 1)], cur);
        if (cur == -1) {
            return {};
        }
    }
    if (start_node >= 1 && cur == start_node) {
        return {};
    }
    return CleanValue(values_.NodeValueView(cur));
}

void JsonDocument::SetText(const std::string& path, std::string_view value, int kind) {
    const std::string p = zero_based_ ? parser_.NormalizePath(path, 1) : path;
    // An empty path writes the root, as it reads the root in GetText and
    // GetCount, rather than walking whatever path was split before.
    std::vector<std::string> segments;
    if (!p.empty()) {
        parser_.SplitPath(p);
        segments = parser_.segments();
    }
    int cur = 1;
    for (size_t i = 0; i < segments.size(); ++i) {
        const int found = values_.FindByName(static_cast<int>(i) + 2, segments[i], cur);
        if (found == -1) {
            for (size_t j = i; j < segments.size(); ++j) {
                cur = values_.AddNode(cur, segments[j], ValueKind::kPlain, "");
            }
            break;
        }
        cur = found;
    }
    values_.SetNodeKind(cur, kind);
    values_.SetNodeValue(cur, value);
}

int JsonDocument::GetCount(const std::string& path, int& node_index_out) {
    if (!SplitsToSegments(path)) {
        return values_.ChildCount(1);
    }
    int cur = 1;
    const std::vector<std::string>& segments = parser_.segments();
    for (size_t i = 0; i < segments.size(); ++i) {
        cur = values_.FindByName(static_cast<int>(i) + 2, segments[i], cur);
        if (cur == -1) {
            return 0;
        }
    }
    node_index_out = cur;
    return values_.ChildCount(cur);
}

int JsonDocument::GetCount(const std::string& path) {
    int ignored = 0;
    return GetCount(path, ignored);
}

std::string JsonDocument::CleanValue(std::string_view text) const {
    std::string stripped = parser_.StripQuotes(text);
    return JsonTextParser::RestoreQuotes(stripped);
}

std::string JsonDocument::Capitalize(std::string_view text) {
    std::string out = gbk::AsciiLower(text);
    if (!out.empty() && out[0] >= 'a' && out[0] <= 'z') {
        out[0] = static_cast<char>(out[0] - 'a' + 'A');
    }
    return out;
}

std::string JsonDocument::PathOf(int node_index) const {
    std::string path;
    for (int parent = values_.ParentOf(node_index); parent > 0;
         node_index = parent, parent = values_.ParentOf(node_index)) {
        std::string name = values_.NodeName(node_index);
        if (name.find('.') != std::string::npos) {
            name = "\"" + name + "\"";
        }
        path = path.empty() ? name : name + "." + path;
    }
    return path;
}

}  // namespace quillark
