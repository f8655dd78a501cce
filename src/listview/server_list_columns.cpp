#include "listview/server_list_columns.h"

#include "platform/text_codec.h"

namespace quillark::server_list {

const std::string& ColumnTitleGbk(int column) {
    static const std::array<std::string, kColumnCount> titles = [] {
        std::array<std::string, kColumnCount> converted;
        for (const ColumnSpec& column : kColumns) {
            converted[static_cast<size_t>(column.index)] = TextCodec::Utf8ToGbk(column.titleUtf8);
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
