// Random text through JsonDocument::Parse, then reads of random paths: nothing
// may crash, hang or read out of bounds, the tree must keep its shape (node 1
// is the root, every child count matches its children), and whatever a path
// finds must be found again by the path of that node.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "json/json_document.h"

namespace {

void CheckShape(const quillark::ValueCollection& values) {
    std::vector<quillark::ValueNode> nodes;
    values.CopyNodes(nodes);
    if (nodes.empty() || nodes[0].name != "JSON" || nodes[0].level != 1) {
        std::abort();
    }
    for (size_t i = 1; i < nodes.size(); ++i) {
        if (nodes[i].level < 2 || nodes[i].level > nodes[i - 1].level + 1) {
            std::abort();
        }
        const int parent = values.ParentOf(static_cast<int>(i) + 1);
        if (parent < 1 || values.NodeLevel(parent) + 1 != nodes[i].level ||
            nodes[i].ordinal > values.ChildCount(parent)) {
            std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The input is the text, then paths after each 0x01 byte.
    std::string input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t cut = input.find('\x01'); cut != std::string::npos;
         start = cut + 1, cut = input.find('\x01', start)) {
        parts.push_back(input.substr(start, cut - start));
    }
    parts.push_back(input.substr(start));

    quillark::JsonDocument document;
    document.Parse(parts[0], !parts[0].empty() && parts[0].back() == '0');
    const quillark::ValueCollection values = document.CopyValues();
    CheckShape(values);
    for (size_t i = 1; i < parts.size(); ++i) {
        document.GetText(parts[i]);
        document.GetText(parts[i], static_cast<int>(i));
        int node = 0;
        document.GetCount(parts[i], node);
    }
    // A node whose path has only plain names is found again by its path (or an
    // earlier node of the same name is).
    for (int node = 2; node <= values.NodeCount() && node < 200; ++node) {
        const std::string path = document.PathOf(node);
        if (path.empty() ||
            path.find_first_not_of("abcdefghijklmnopqrstuvwxyz"
                                   "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_[].") !=
                std::string::npos ||
            std::count(path.begin(), path.end(), '.') + 2 != values.NodeLevel(node)) {
            continue;  // an empty name leaves no segment in the path
        }
        int found = -1;
        document.GetCount(path, found);
        if (found != -1) {
            if (found > node || values.NodeName(found) != values.NodeName(node)) {
                std::abort();
            }
            continue;
        }
        // Not found: only when an earlier namesake of an ancestor hides the way.
        const int parent = values.ParentOf(node);
        int parent_found = parent == 1 ? 1 : -1;
        if (parent != 1) {
            document.GetCount(document.PathOf(parent), parent_found);
        }
        if (parent_found == parent) {
            std::abort();
        }
    }
    return 0;
}
