#include "cli/json_writer.h"

#include "analysis/procedure_metrics.h"
#include "base/text_codec.h"

#include <cstdio>

namespace zorvika {

std::string jsonString(std::string_view bytes)
{
    // Texts from outside (folder names of the store, paths) are decoded as
    // cells are, so that every document is valid UTF-8.
    std::string decoded;
    const std::string_view text = isValidUtf8(bytes) ? bytes : (decoded = windows1252ToUtf8(bytes));
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

std::string jsonRows(const std::vector<ModuleRow>& rows, const std::vector<const ModuleMetrics*>* metrics)
{
    std::string out = "[";
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const ModuleRow& row = rows[r];
        out += (r ? ",{\"module\":" : "{\"module\":") + jsonString(row.cells[ColModule])
               + ",\"type\":" + jsonString(row.cells[ColType]);
        for (std::size_t k = 0; k < kFigureCaptions.size(); ++k)
            out += ",\"" + std::string(kFigureCaptions[k]) + "\":" + jsonFigure(row.cells[ColP + k]);
        if (metrics) {
            const ModuleMetrics* m = r < metrics->size() ? (*metrics)[r] : nullptr;
            out += ",\"procedures\":" + (m ? jsonModuleMetrics(*m) : std::string("null"));
        }
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

namespace zorvika {

namespace {

std::string field(const char* name, std::int64_t value, bool first = false)
{
    return std::string(first ? "" : ",") + "\"" + name + "\":" + std::to_string(value);
}

} // namespace

std::string jsonModuleMetrics(const ModuleMetrics& m)
{
    static constexpr const char* kKinds[kProcedureKindCount] = {"sub", "function", "propertyGet", "propertyLet",
                                                                "propertySet"};
    std::string out = "{";
    for (int k = 0; k < kProcedureKindCount; ++k)
        out += field(kKinds[k], m.byKind[static_cast<std::size_t>(k)], k == 0);
    out += field("declares", m.declares) + field("events", m.events) + field("lloc", m.lloc)
           + field("statements", m.statements) + field("totalCc", m.totalCc) + field("highestCc", m.highestCc);
    out += ",\"longest\":";
    if (m.longestName.empty())
        out += "null";
    else
        out += "{\"name\":" + jsonString(m.longestName) + field("span", m.longestSpan) + "}";
    return out + "}";
}

std::string jsonProcedure(std::string_view module, const ProcedureMetrics& p)
{
    return "{\"module\":" + jsonString(module) + ",\"name\":" + jsonString(p.name)
           + ",\"kind\":" + jsonString(procedureKindText(p.kind)) + field("firstLine", p.firstLine)
           + field("span", p.span) + field("codeLines", p.codeLines) + field("lloc", p.lloc)
           + field("statements", p.statements) + field("cc", p.cc) + field("cc2", p.cc2) + field("depth", p.depth)
           + ",\"definedTwice\":" + (p.definedTwice ? "true" : "false") + "}";
}

} // namespace zorvika
