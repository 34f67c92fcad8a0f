#include "xlsx_reader.h"

#include <pugixml.hpp>
#include <zip.h>

#include <cstdlib>
#include <memory>

namespace zorvika::test {

namespace {

struct ZipCloser {
    void operator()(zip_t* z) const { zip_discard(z); }
};

std::optional<std::string> member(zip_t* zip, const std::string& name)
{
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat(zip, name.c_str(), 0, &st) != 0)
        return std::nullopt;
    zip_file_t* file = zip_fopen(zip, name.c_str(), 0);
    if (!file)
        return std::nullopt;
    std::string data(static_cast<std::size_t>(st.size), '\0');
    const zip_int64_t got = zip_fread(file, data.data(), st.size);
    zip_fclose(file);
    if (got < 0 || static_cast<zip_uint64_t>(got) != st.size)
        return std::nullopt;
    return data;
}

bool parse(zip_t* zip, const std::string& name, pugi::xml_document& doc)
{
    const auto data = member(zip, name);
    return data && doc.load_buffer(data->data(), data->size());
}

// The text of a shared string or an inline string: all its runs, without
// phonetic hints.
std::string runsText(const pugi::xml_node& node)
{
    std::string text;
    for (const pugi::xml_node& child : node.children()) {
        const std::string name = child.name();
        if (name == "t")
            text += child.text().get();
        else if (name == "r")
            text += child.child("t").text().get();
    }
    return text;
}

// "BC12" to column 54, row 11 (both 0-based).
bool cellPosition(const std::string& ref, std::size_t& row, std::size_t& col)
{
    std::size_t i = 0, c = 0;
    while (i < ref.size() && ref[i] >= 'A' && ref[i] <= 'Z')
        c = c * 26 + static_cast<std::size_t>(ref[i++] - 'A' + 1);
    if (i == 0 || i == ref.size())
        return false;
    const long r = std::strtol(ref.c_str() + i, nullptr, 10);
    if (r < 1)
        return false;
    row = static_cast<std::size_t>(r - 1);
    col = c - 1;
    return true;
}

// "xl/worksheets/sheet1.xml" for the workbook's first sheet.
std::string firstSheetName(zip_t* zip)
{
    pugi::xml_document book, rels;
    if (!parse(zip, "xl/workbook.xml", book) || !parse(zip, "xl/_rels/workbook.xml.rels", rels))
        return "xl/worksheets/sheet1.xml";
    const std::string id = book.child("workbook").child("sheets").child("sheet").attribute("r:id").value();
    for (const pugi::xml_node& rel : rels.child("Relationships").children("Relationship"))
        if (id == rel.attribute("Id").value()) {
            const std::string target = rel.attribute("Target").value();
            return target.starts_with("/") ? target.substr(1) : "xl/" + target;
        }
    return "xl/worksheets/sheet1.xml";
}

} // namespace

const ReadColumn* ReadSheet::column(std::size_t index) const
{
    for (const ReadColumn& c : columns)
        if (index >= c.first && index <= c.last)
            return &c;
    return nullptr;
}

std::string ReadSheet::text(std::size_t row, std::size_t col) const
{
    if (row >= rows.size() || col >= rows[row].size())
        return {};
    return rows[row][col].text;
}

std::optional<ReadSheet> readXlsx(const std::filesystem::path& path, std::string* error)
{
    auto fail = [&](std::string why) -> std::optional<ReadSheet> {
        if (error)
            *error = path.string() + ": " + why;
        return std::nullopt;
    };
    int zipError = 0;
    std::unique_ptr<zip_t, ZipCloser> zip(zip_open(path.c_str(), ZIP_RDONLY, &zipError));
    if (!zip)
        return fail("not a zip archive (libzip error " + std::to_string(zipError) + ")");

    std::vector<std::string> shared;
    pugi::xml_document strings;
    if (parse(zip.get(), "xl/sharedStrings.xml", strings))
        for (const pugi::xml_node& si : strings.child("sst").children("si"))
            shared.push_back(runsText(si));

    std::vector<CellFont> fonts;
    std::vector<std::size_t> xfFont;
    pugi::xml_document styles;
    if (!parse(zip.get(), "xl/styles.xml", styles))
        return fail("no styles");
    const pugi::xml_node sheetStyles = styles.child("styleSheet");
    for (const pugi::xml_node& font : sheetStyles.child("fonts").children("font"))
        fonts.push_back({font.child("name").attribute("val").value(), font.child("sz").attribute("val").as_double()});
    for (const pugi::xml_node& xf : sheetStyles.child("cellXfs").children("xf"))
        xfFont.push_back(xf.attribute("fontId").as_ullong());
    auto fontOfStyle = [&](std::size_t style) -> CellFont {
        if (style < xfFont.size() && xfFont[style] < fonts.size())
            return fonts[xfFont[style]];
        return {};
    };

    pugi::xml_document sheetDoc;
    const std::string sheetName = firstSheetName(zip.get());
    if (!parse(zip.get(), sheetName, sheetDoc))
        return fail("no worksheet " + sheetName);
    const pugi::xml_node ws = sheetDoc.child("worksheet");

    ReadSheet sheet;
    sheet.defaultFont = fontOfStyle(0);
    const pugi::xml_node format = ws.child("sheetFormatPr");
    if (format.attribute("defaultColWidth"))
        sheet.defaultColumnWidth = format.attribute("defaultColWidth").as_double();
    if (format.attribute("baseColWidth"))
        sheet.baseColumnWidth = format.attribute("baseColWidth").as_double();
    for (const pugi::xml_node& col : ws.child("cols").children("col")) {
        ReadColumn c;
        c.first = col.attribute("min").as_ullong() - 1;
        c.last = col.attribute("max").as_ullong() - 1;
        if (col.attribute("width")) {
            c.storedWidth = col.attribute("width").as_double();
            c.width = (*c.storedWidth * 7.0 - 5.0) / 7.0;
        }
        const std::string custom = col.attribute("customWidth").value();
        c.customWidth = custom == "1" || custom == "true";
        if (col.attribute("style"))
            c.font = fontOfStyle(col.attribute("style").as_ullong());
        sheet.columns.push_back(c);
    }
    for (const pugi::xml_node& row : ws.child("sheetData").children("row")) {
        for (const pugi::xml_node& c : row.children("c")) {
            std::size_t r = 0, col = 0;
            if (!cellPosition(c.attribute("r").value(), r, col))
                return fail(std::string("bad cell reference ") + c.attribute("r").value());
            if (sheet.rows.size() <= r)
                sheet.rows.resize(r + 1);
            if (sheet.rows[r].size() <= col)
                sheet.rows[r].resize(col + 1);
            ReadCell& cell = sheet.rows[r][col];
            cell.present = true;
            cell.font = fontOfStyle(c.attribute("s").as_ullong());
            const std::string type = c.attribute("t").value();
            if (type == "s") {
                const auto index = static_cast<std::size_t>(c.child("v").text().as_ullong());
                if (index >= shared.size())
                    return fail("shared string out of range");
                cell.isText = true;
                cell.text = shared[index];
            } else if (type == "inlineStr") {
                cell.isText = true;
                cell.text = runsText(c.child("is"));
            } else if (type == "str") {
                cell.isText = true;
                cell.text = c.child("v").text().get();
            } else {
                cell.text = c.child("v").text().get();
            }
        }
    }
    return sheet;
}

} // namespace zorvika::test
