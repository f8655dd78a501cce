// Random pattern, flags, subject and replacement: every operation answers
// with a defined result and nothing reads out of bounds or hangs.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "regex/lite_pattern.h"
#include "regex/pattern_object.h"

namespace {

// Input layout: one flag byte, then pattern, subject and replacement
// separated by NUL bytes.
struct Pieces {
    uint8_t flags = 0;
    std::string_view pattern, subject, replacement;
};

Pieces Cut(std::string_view input) {
    Pieces pieces;
    if (input.empty()) {
        return pieces;
    }
    pieces.flags = static_cast<uint8_t>(input[0]);
    input.remove_prefix(1);
    auto next = [&input]() {
        size_t end = input.find('\0');
        std::string_view piece = input.substr(0, end);
        input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
        return piece;
    };
    pieces.pattern = next();
    pieces.subject = next();
    pieces.replacement = next();
    return pieces;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Pieces p = Cut(std::string_view(reinterpret_cast<const char*>(data), size));
    bool ignore_case = p.flags & 1, multiline = p.flags & 2, global = p.flags & 4;

    quillark::PatternObject pattern;
    pattern.Create(p.pattern, ignore_case, multiline, global);
    int count = pattern.Execute(p.subject);
    if (count < 0 || (!global && count > 1)) {
        std::abort();
    }
    for (int n = 0; n <= count + 1; ++n) {
        int start = -1;
        pattern.MatchTextAt(n, &start);
        for (int g = 0; g <= pattern.SubMatchCount() + 1; ++g) {
            pattern.SubMatchTextAt(n, g, &start);
        }
    }
    pattern.Replace(p.subject, p.replacement);
    quillark::PatternObject::EscapeWildcard(p.pattern);
    quillark::PatternObject::EscapeKeepGroups(p.subject);

    // An escaped ASCII subject always finds itself. (Bytes of 0x80 and above
    // are not checked: a byte the GBK decoder takes alone, such as 0x80, can be
    // followed by a special character that the double-byte scan stepped over.)
    bool ascii = !p.subject.empty();
    for (char c : p.subject) {
        ascii = ascii && c > 0 && static_cast<unsigned char>(c) < 0x80;
    }
    if (ascii) {
        quillark::LitePattern literal;
        literal.Create(quillark::PatternObject::EscapeLiteral(p.subject), false, false, false);
        if (literal.Execute(p.subject) != 1 || literal.MatchText(1) != p.subject) {
            std::abort();
        }
    }
    return 0;
}
