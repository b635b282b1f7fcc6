// The Diagrams listing as a table for other programs: a header line, then a
// line per listing row with its four numbers exactly as the listing shows
// them.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace diagrams {

using TableRow = std::array<std::string, 4>;

// The rows of a listing: its fields in fours (each field ends with a tab).
// A last row left incomplete is dropped.
std::vector<TableRow> ListingRows(const std::string& listing);

// Tab-separated, every line (the last one too) ended by "\n": what a
// spreadsheet takes as rows and columns when pasted.
std::string TableText(const std::string& listing);

// A CSV file: UTF-8 with a byte-order mark (so that spreadsheet programs
// read the Cyrillic header), comma-separated, "." as the decimal point,
// fields holding a comma or a quote in quotes; the same lines as TableText.
std::string TableCsv(const std::string& listing);

}  // namespace diagrams
