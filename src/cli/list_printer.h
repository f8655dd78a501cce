#pragma once

#include <string>
#include <vector>

#include "cli/headless_options.h"
#include "listview/list_control.h"

namespace quillark {

// One row of the server list as the headless front end prints it, in UTF-8.
struct PrintedRow {
    int picture = -1;
    std::string colour;  // "#RRGGBB", or "default" for the list's own colour
    std::vector<std::string> cells;
};

// Reads a list (cells, state pictures and row colours) and prints it as an
// aligned table, as TSV or as JSON.
class ListPrinter {
  public:
    static std::vector<PrintedRow> Snapshot(ListControl& list);

    // TSV: picture, colour and the seven cells, tab-separated, one line per
    // row; tab, CR, LF and backslash in a cell are written \t \r \n \\.
    static std::string Tsv(const std::vector<PrintedRow>& rows);
    static std::string Json(const std::vector<PrintedRow>& rows);
    // Columns padded to their widest cell (CJK characters take two columns);
    // with `ansi_colours`, each row in its own text colour.
    static std::string Table(const std::vector<PrintedRow>& rows, bool ansi_colours);

    static std::string Format(const std::vector<PrintedRow>& rows, HeadlessOptions::Format format,
                              bool ansi_colours);
};

}  // namespace quillark
