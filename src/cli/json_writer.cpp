#include "cli/json_writer.h"

#include <cstdio>

namespace zorvika {

std::string jsonString(std::string_view text)
{
    std::string out = "\"";
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20 || c == 0x7F) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out += ch;
            }
        }
    }
    out += '"';
    return out;
}

std::string jsonStrings(const std::vector<std::string>& texts)
{
    std::string out = "[";
    for (std::size_t i = 0; i < texts.size(); ++i)
    {
        if (i)
            out += ',';
        out += jsonString(texts[i]);
    }
    return out + "]";
}

std::string jsonFigure(std::string_view text)
{
    const auto figure = parseFigure(text);
    return figure ? figureText(*figure) : "null";
}

std::string jsonRows(const std::vector<ModuleRow>& rows)
{
    std::string out = "[";
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const ModuleRow& row = rows[r];
        out += (r ? ",{\"module\":" : "{\"module\":") + jsonString(row.cells[ColModule])
               + ",\"type\":" + jsonString(row.cells[ColType]);
        for (std::size_t k = 0; k < kFigureCaptions.size(); ++k)
            out += ",\"" + std::string(kFigureCaptions[k]) + "\":" + jsonFigure(row.cells[ColP + k]);
        out += '}';
    }
    return out + "]";
}

std::string jsonTotals(const std::array<std::int64_t, 10>& totals)
{
    std::string out = "{";
    for (std::size_t k = 0; k < totals.size(); ++k)
        out += (k ? ",\"" : "\"") + std::string(kFigureCaptions[k]) + "\":" + figureText(totals[k]);
    return out + "}";
}

} // namespace zorvika
