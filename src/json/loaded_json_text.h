#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quillark {

// A JSON text loaded the way JsonTextParser loads it (escaped quotes masked,
// white space around brackets and quotes removed, strings blanked in a scan
// copy), with the positions of its structural characters indexed so that the
// parser's searches and balance counts cost a binary search instead of a scan.
// Positions are 1-based, as in the parser.
class LoadedJsonText {
  public:
    enum Delimiter { kOpenBrace, kCloseBrace, kOpenBracket, kCloseBracket, kQuote, kColon, kComma };

    // Loads `text` exactly as JsonTextParser::LoadText does.
    static std::shared_ptr<const LoadedJsonText> Load(std::string_view text);

    const std::shared_ptr<const std::string>& source() const { return source_; }
    int length() const { return static_cast<int>(source_->size()); }

    // True when a balanced stretch of this text, trimmed of its edge blanks,
    // loads to exactly the same bytes and the same blanked strings: the text
    // is ASCII outside its strings, its strings are all closed, and it
    // survives the GBK round trip. Nested values can then be cut from this
    // text in place instead of being loaded again.
    bool reusable() const { return reusable_; }

    // How many nodes a tree of this text has when it is well-formed JSON: the
    // root, one per comma (every member or element but the last of its
    // parent) and one more per object or array.
    size_t ExpectedNodeCount() const {
        return 1 + positions_[kComma].size() + positions_[kOpenBrace].size() +
               positions_[kOpenBracket].size();
    }

    // First position of `delimiter` in [from, last], or -1.
    int Find(Delimiter delimiter, int from, int last) const;
    // Last position of `delimiter` strictly between `after` and `before`, or -1.
    int LastBetween(Delimiter delimiter, int after, int before) const;
    bool IsAt(Delimiter delimiter, int position) const;
    // The parser's balance test: braces and brackets balance and quotes are
    // even strictly between the two positions.
    bool IsBalanced(int from, int to) const;
    // First comma, closing brace or closing bracket strictly between `after`
    // and `before` that IsBalanced(start, it) accepts, or -1.
    int FirstBalanced(Delimiter delimiter, int start, int after, int before) const;
    // True when a run of blanks next to a line break (which TrimBlanks would
    // remove inside a value) lies within [first, last].
    bool HasLineEdgeBlank(int first, int last) const;

  private:
    // Brace and bracket depth and quote parity of a prefix of the scan text.
    struct Balance {
        int braces = 0;
        int brackets = 0;
        int quotes_odd = 0;
        auto operator<=>(const Balance&) const = default;
    };
    struct BalancedPosition {
        Balance before;  // balance of the text up to, not including, the position
        int position = 0;
        auto operator<=>(const BalancedPosition&) const = default;
    };

    explicit LoadedJsonText(std::string source);
    Balance BalanceThrough(int position) const;
    const std::vector<BalancedPosition>* BalancedList(Delimiter delimiter) const;
    void FindLineEdgeBlanks();

    std::shared_ptr<const std::string> source_;
    std::array<std::vector<int>, 7> positions_;
    // Every delimiter position in order, with the balance just after it.
    std::vector<int> all_positions_;
    std::vector<Balance> balance_after_;
    std::vector<BalancedPosition> commas_;
    std::vector<BalancedPosition> closing_braces_;
    std::vector<BalancedPosition> closing_brackets_;
    // Sorted, disjoint [first, last] byte ranges of line-edge blank runs.
    std::vector<std::pair<int, int>> line_edge_blanks_;
    bool reusable_ = false;
};

}  // namespace quillark
