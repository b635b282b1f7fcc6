#include "diagram_table.h"

namespace diagrams {
namespace {

const TableRow kHeader = {"Время, с", "Длина, м", "Высота, м", "Скорость, м/с"};

std::string CsvField(const std::string& field) {
    if (field.find_first_of(",\"\n") == std::string::npos) return field;
    std::string quoted = "\"";
    for (char c : field) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string Lines(const std::string& listing, char separator, std::string (*field)(const std::string&)) {
    std::string out;
    const auto line = [&](const TableRow& row) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i > 0) out += separator;
            out += field(row[i]);
        }
        out += '\n';
    };
    line(kHeader);
    for (const TableRow& row : ListingRows(listing)) line(row);
    return out;
}

std::string AsIs(const std::string& field) { return field; }

}  // namespace

std::vector<TableRow> ListingRows(const std::string& listing) {
    std::vector<TableRow> rows;
    TableRow row;
    std::size_t column = 0;
    std::size_t start = 0;
    for (std::size_t tab = listing.find('\t'); tab != std::string::npos; tab = listing.find('\t', start)) {
        row[column] = listing.substr(start, tab - start);
        start = tab + 1;
        if (++column == row.size()) {
            rows.push_back(row);
            column = 0;
        }
    }
    return rows;
}

std::string TableText(const std::string& listing) { return Lines(listing, '\t', AsIs); }

std::string TableCsv(const std::string& listing) { return "\xEF\xBB\xBF" + Lines(listing, ',', CsvField); }

}  // namespace diagrams
