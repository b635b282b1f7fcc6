#include "diagram_table.h"

#include "cstring.h"

namespace diagrams {
namespace {

// About the bytes a written row takes, to size the text once.
constexpr std::size_t kRowBytes = 40;

// The row's four numbers, each followed by `separator`, the last by `end`.
void AppendRow(std::string& out, const Row& r, char separator, char end) {
    AppendFixed(out, r.t, 2);
    out += separator;
    AppendFixed(out, r.x, 3);
    out += separator;
    AppendFixed(out, r.y, 3);
    out += separator;
    AppendFixed(out, r.v, 3);
    out += end;
}

std::string Table(const std::vector<Row>& rows, const char* header, char separator) {
    std::string out = header;
    out.reserve(out.size() + rows.size() * kRowBytes);
    for (const Row& r : rows) AppendRow(out, r, separator, '\n');
    return out;
}

}  // namespace

std::string ListingText(const std::vector<Row>& rows) {
    std::string out;
    out.reserve(rows.size() * kRowBytes);
    for (const Row& r : rows) {
        if (!out.empty()) out += '\n';
        AppendRow(out, r, '\t', '\t');
    }
    return out;
}

std::string TableText(const std::vector<Row>& rows) {
    return Table(rows, "Время, с\tДлина, м\tВысота, м\tСкорость, м/с\n", '\t');
}

std::string TableCsv(const std::vector<Row>& rows) {
    return Table(rows, "\xEF\xBB\xBF\"Время, с\",\"Длина, м\",\"Высота, м\",\"Скорость, м/с\"\n", ',');
}

}  // namespace diagrams
