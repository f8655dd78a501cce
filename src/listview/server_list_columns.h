#pragma once

// The server list's seven columns, defined once. Every other part
// of the program refers to a column by its 0-based index.

#include <array>
#include <string>
#include <string_view>

namespace quillark {

enum class ColumnAlignment { kLeft, kRight };

struct ColumnSpec {
    int index;
    std::string_view titleUtf8;
    int width;
    ColumnAlignment alignment;
};

namespace server_list {

constexpr int kColumnName = 0;      // 服务器名称: display name of the region
constexpr int kColumnRegion = 1;    // 大区名称: the publisher's region name
constexpr int kColumnHost = 2;      // 域名: host name
constexpr int kColumnAddress = 3;   // IP地址: dotted IPv4 address
constexpr int kColumnLatency = 4;   // 延迟: latency
constexpr int kColumnStatus = 5;    // 大区状态: advertised state
constexpr int kColumnLocation = 6;  // 服务器机房地理位置: host location
constexpr int kColumnCount = 7;

inline constexpr std::array<ColumnSpec, kColumnCount> kColumns = {{
    {kColumnName, "服务器名称", 100, ColumnAlignment::kLeft},
    {kColumnRegion, "大区名称", 80, ColumnAlignment::kLeft},
    {kColumnHost, "域名", 170, ColumnAlignment::kLeft},
    {kColumnAddress, "IP地址", 110, ColumnAlignment::kLeft},
    {kColumnLatency, "延迟", 80, ColumnAlignment::kRight},
    {kColumnStatus, "大区状态", 80, ColumnAlignment::kRight},
    {kColumnLocation, "服务器机房地理位置", 200, ColumnAlignment::kRight},
}};

// State pictures shown left of column 0.
constexpr int kStateAnswered = 0;     // green square
constexpr int kStateNoAnswer = 1;     // grey square
constexpr int kStateNotMeasured = 2;  // amber square

// The placeholder row the list is created with.
inline constexpr std::string_view kPlaceholderNameUtf8 = "测试主机";
inline constexpr std::string_view kPlaceholderAddress = "192.168.1.1";

// GBK title of a column, empty for an index out of range.
const std::string& ColumnTitleGbk(int column);

}  // namespace server_list

// The list on the "全球Ping" tab (超级列表框1): three left-aligned columns.
namespace global_ping_list {
constexpr int kColumnCount = 3;
inline constexpr std::array<ColumnSpec, kColumnCount> kColumns = {{
    {0, "服务器名称", 200, ColumnAlignment::kLeft},
    {1, "KEY", 100, ColumnAlignment::kLeft},
    {2, "测试状态", 100, ColumnAlignment::kLeft},
}};
}  // namespace global_ping_list

}  // namespace quillark
