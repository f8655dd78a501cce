#include "cli/list_printer.h"

#include <algorithm>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "listview/row_colours.h"
#include "listview/server_list_columns.h"
#include "platform/terminal_width.h"
#include "platform/text_codec.h"

namespace quillark {
namespace {

std::string ColourName(const std::vector<RowColour>& colours, int row) {
    if (row < 0 || static_cast<size_t>(row) >= colours.size()) {
        return "default";
    }
    const RowColour& colour = colours[static_cast<size_t>(row)];
    if (colour.isSet != 1 || colour.textColour == kClrDefault) {
        return "default";
    }
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", RedOf(colour.textColour),
                  GreenOf(colour.textColour), BlueOf(colour.textColour));
    return text;
}

std::string EscapeTsvCell(const std::string& cell) {
    std::string out;
    out.reserve(cell.size());
    for (char c : cell) {
        switch (c) {
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\\':
                out += "\\\\";
                break;
            default:
                out += c;
        }
    }
    return out;
}

// Control characters would break the table's lines; they show as spaces.
std::string PrintableCell(std::string cell) {
    for (char& c : cell) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            c = ' ';
        }
    }
    return cell;
}

std::string Pad(const std::string& text, int width, ColumnAlignment alignment) {
    std::string padding(static_cast<size_t>(std::max(0, width - TerminalWidth(text))), ' ');
    return alignment == ColumnAlignment::kRight ? padding + text : text + padding;
}

std::string AnsiColour(const std::string& colour) {
    if (colour == "default" || colour.size() != 7) {
        return {};
    }
    unsigned red = 0, green = 0, blue = 0;
    std::sscanf(colour.c_str(), "#%2x%2x%2x", &red, &green, &blue);
    if (red == 0 && green == 0 && blue == 0) {
        return {};  // black is the terminal's own text colour
    }
    return "\x1b[38;2;" + std::to_string(red) + ";" + std::to_string(green) + ";" +
           std::to_string(blue) + "m";
}

}  // namespace

std::vector<PrintedRow> ListPrinter::Snapshot(ListControl& list) {
    std::vector<PrintedRow> rows;
    const std::vector<RowColour> colours = RowColoursOf(list.ListWindow());
    const int count = list.RowCount();
    for (int row = 0; row < count; ++row) {
        PrintedRow printed;
        printed.picture = list.GetStateImage(row);
        printed.colour = ColourName(colours, row);
        for (int column = 0; column < server_list::kColumnCount; ++column) {
            printed.cells.push_back(TextCodec::GbkToUtf8(list.GetCellText(row, column)));
        }
        rows.push_back(std::move(printed));
    }
    return rows;
}

std::string ListPrinter::Tsv(const std::vector<PrintedRow>& rows) {
    std::string out;
    for (const PrintedRow& row : rows) {
        out += std::to_string(row.picture) + "\t" + row.colour;
        for (const std::string& cell : row.cells) {
            out += "\t" + EscapeTsvCell(cell);
        }
        out += "\n";
    }
    return out;
}

std::string ListPrinter::Json(const std::vector<PrintedRow>& rows) {
    static constexpr const char* kKeys[server_list::kColumnCount] = {
        "name", "region", "host", "address", "latency", "status", "location"};
    nlohmann::json array = nlohmann::json::array();
    for (const PrintedRow& row : rows) {
        nlohmann::json object = {{"picture", row.picture}, {"colour", row.colour}};
        for (size_t column = 0; column < row.cells.size() && column < std::size(kKeys); ++column) {
            object[kKeys[column]] = row.cells[column];
        }
        array.push_back(std::move(object));
    }
    // Cells are valid UTF-8 (converted from GBK); replace rather than throw regardless.
    return array.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

std::string ListPrinter::Table(const std::vector<PrintedRow>& rows, bool ansi_colours) {
    std::vector<int> widths;
    for (const ColumnSpec& column : server_list::kColumns) {
        widths.push_back(TerminalWidth(column.titleUtf8));
    }
    std::vector<std::vector<std::string>> cells;
    for (const PrintedRow& row : rows) {
        std::vector<std::string> printable;
        for (size_t column = 0; column < row.cells.size(); ++column) {
            printable.push_back(PrintableCell(row.cells[column]));
            widths[column] = std::max(widths[column], TerminalWidth(printable.back()));
        }
        cells.push_back(std::move(printable));
    }
    auto line = [&](const std::vector<std::string>& texts) {
        std::string out;
        for (size_t column = 0; column < texts.size(); ++column) {
            out += (column == 0 ? "" : "  ") +
                   Pad(texts[column], widths[column], server_list::kColumns[column].alignment);
        }
        return out;
    };
    std::vector<std::string> titles;
    for (const ColumnSpec& column : server_list::kColumns) {
        titles.emplace_back(column.titleUtf8);
    }
    std::string out = line(titles) + "\n";
    for (size_t row = 0; row < rows.size(); ++row) {
        std::string colour = ansi_colours ? AnsiColour(rows[row].colour) : std::string();
        out += colour + line(cells[row]) + (colour.empty() ? "" : "\x1b[0m") + "\n";
    }
    return out;
}

std::string ListPrinter::Format(const std::vector<PrintedRow>& rows, HeadlessOptions::Format format,
                                bool ansi_colours) {
    switch (format) {
        case HeadlessOptions::Format::kTsv:
            return Tsv(rows);
        case HeadlessOptions::Format::kJson:
            return Json(rows);
        case HeadlessOptions::Format::kTable:
            break;
    }
    return Table(rows, ansi_colours);
}

}  // namespace quillark
