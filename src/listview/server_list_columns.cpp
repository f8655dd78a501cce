#include "listview/server_list_columns.h"

#include "platform/text_codec.h"

namespace quillark::server_list {

const std::string& ColumnTitleGbk(int column) {
    static const std::array<std::string, kColumnCount> titles = [] {
        std::array<std::string, kColumnCount> converted;
        for (const ColumnSpec& spec : kColumns) {
            converted[static_cast<size_t>(spec.index)] = TextCodec::Utf8ToGbk(spec.titleUtf8);
        }
        return converted;
    }();
    static const std::string empty;
    if (column < 0 || column >= kColumnCount) {
        return empty;
    }
    return titles[static_cast<size_t>(column)];
}

}  // namespace quillark::server_list
