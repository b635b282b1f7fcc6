// The Diagrams listing's rows as numbers, and every text made of them: the
// listing the window shows, and the table for other programs (clipboard
// text, CSV). Each number is written the one way the listing shows it.
#pragma once

#include <string>
#include <vector>

namespace diagrams {

// One listing row: time, length, height and speed.
struct Row {
    float t, x, y, v;
};

// The listing: a line per row, "t\tx\ty\tv\t" (time with 2 decimals, the
// others with 3, each number followed by a tab), lines joined by "\n" with
// none after the last.
std::string ListingText(const std::vector<Row>& rows);

// A header line, then a line per row with its four numbers, tab-separated,
// every line (the last one too) ended by "\n": what a spreadsheet takes as
// rows and columns when pasted.
std::string TableText(const std::vector<Row>& rows);

// A CSV file: UTF-8 with a byte-order mark (so that spreadsheet programs
// read the Cyrillic header), comma-separated, "." as the decimal point, the
// header's fields quoted (they hold commas); the same lines as TableText.
std::string TableCsv(const std::vector<Row>& rows);

}  // namespace diagrams
