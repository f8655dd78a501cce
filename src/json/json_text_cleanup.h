#pragma once

#include <string>
#include <string_view>

namespace quillark {

// Hand-written equivalents of the JSON reader's four clean-up expressions,
// giving byte-for-byte the results the pattern objects give for the same text
// (JsonTextParser holds the expressions themselves):
//
//   StripQuotes   [\s　]+"|"[\s　]+|^[ 　"\t]+|[ 　"\t]+$   -> ""
//   TrimBlanks    ^[ 　\t]+|[ 　\t]+$                      -> ""
//   CompactText   [\s　]+(\[|{|")  -> "$1", then  (\]|}|")[\s　]+  -> "$1"
//
// each applied globally and multi-line (^ and $ at every CR or LF), with \s
// the ASCII white space and 　 the full-width space. Like the pattern objects
// they work on characters: a text that does not survive a GBK round trip
// unchanged is matched in UTF-16 and converted back, so stray bytes come out
// exactly as the pattern objects would give them.
class JsonTextCleanup {
  public:
    static std::string StripQuotes(std::string_view text);
    static std::string TrimBlanks(std::string_view text);
    static std::string CompactText(std::string_view text);

    // True when converting the text to UTF-16 and back gives the same bytes:
    // ASCII and double-byte characters the code page maps both ways.
    static bool IsRoundTripStable(std::string_view text);
};

}  // namespace quillark
