#include "components/xlsx_workbook.h"

#include "base/file_io.h"
#include "base/platform.h"
#include "base/scratch_folder.h"
#include "base/shared_library.h"
#include "base/text_codec.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <cmath>

namespace zorvika {

namespace fs = std::filesystem;

namespace {

bool isWide(char32_t c)
{
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) || (c >= 0x3041 && c <= 0x33FF)
           || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF)
           || (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F)
           || (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

bool isCombining(char32_t c)
{
    return (c >= 0x0300 && c <= 0x036F) || (c >= 0x1AB0 && c <= 0x1AFF) || (c >= 0x1DC0 && c <= 0x1DFF)
           || (c >= 0x20D0 && c <= 0x20FF) || (c >= 0xFE20 && c <= 0xFE2F);
}


// The system's package that holds the library, named when it cannot be loaded.
#ifndef ZORVIKA_XLSXWRITER_PACKAGE
#define ZORVIKA_XLSXWRITER_PACKAGE ""
#endif

// libxlsxwriter and what it pulls in (libcrypto, minizip, zlib) are loaded
// at the first workbook, not at every start of the programs: only an
// ".xlsx" export needs them. The header gives the functions' types.
#define ZORVIKA_XLSXWRITER_FUNCTIONS(X) \
    X(workbook_new_opt) \
    X(workbook_add_worksheet) \
    X(workbook_add_format) \
    X(format_set_font_name) \
    X(format_set_font_size) \
    X(worksheet_set_column) \
    X(worksheet_write_string) \
    X(worksheet_write_number) \
    X(workbook_close) \
    X(lxw_workbook_free) \
    X(lxw_strerror)

#ifdef ZORVIKA_XLSXWRITER_LINKED
// Linked into the program (the Windows build, which is one file).
#define ZORVIKA_XLSXWRITER_LINKED_POINTER(name) decltype(&::name) name = &::name;
struct XlsxWriterApi {
    ZORVIKA_XLSXWRITER_FUNCTIONS(ZORVIKA_XLSXWRITER_LINKED_POINTER)
    Outcome loaded;
};
#undef ZORVIKA_XLSXWRITER_LINKED_POINTER
#else
struct XlsxWriterApi {
    ZORVIKA_XLSXWRITER_FUNCTIONS(ZORVIKA_LIBRARY_POINTER)
    // Nothing, or why the library cannot be used.
    Outcome loaded = loadLibraryFunctions(ZORVIKA_XLSXWRITER_LIBRARY, ZORVIKA_XLSXWRITER_PACKAGE,
                                          {ZORVIKA_XLSXWRITER_FUNCTIONS(ZORVIKA_LIBRARY_FUNCTION)});
};
#endif

// Loaded once, on the first thread that asks.
const XlsxWriterApi& xlsxWriter()
{
    static const XlsxWriterApi api;
    return api;
}

// Frees a workbook that is abandoned before it was closed.
struct WorkbookGuard {
    const XlsxWriterApi& api;
    lxw_workbook* book;
    ~WorkbookGuard()
    {
        if (book)
            api.lxw_workbook_free(book);
    }
};

} // namespace

std::size_t displayColumns(std::string_view text)
{
    std::size_t columns = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        if (i + length > text.size())
            length = 1;
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k)
            c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        i += length;
        if (!isCombining(c))
            columns += isWide(c) ? 2 : 1;
    }
    return columns;
}

double fittedWidth(std::string_view text)
{
    // Courier New 9 pt advances 7.2 pixels per character at 96 dots per inch;
    // the width unit is the default font's digit width, 7 pixels. One unit
    // more keeps the text clear of the cell's borders, as a fitted column is.
    const double width = (7.2 * static_cast<double>(displayColumns(text)) + 7.0) / 7.0;
    return std::min(kMaxColumnWidth, std::ceil(width * 100.0) / 100.0);
}

std::array<double, kFittedColumns> fittedColumnWidths(const SheetCells& cells)
{
    std::array<double, kFittedColumns> widths;
    widths.fill(fittedWidth(""));
    for (const auto& row : cells)
        for (std::size_t c = 0; c < std::min(row.size(), kFittedColumns); ++c)
            widths[c] = std::max(widths[c], fittedWidth(row[c]));
    return widths;
}

std::optional<double> figureNumber(std::string_view text)
{
    std::string_view digits = text;
    if (!digits.empty() && digits.front() == '-')
        digits.remove_prefix(1);
    if (digits.empty() || digits.size() > 15 || (digits.front() == '0' && (digits.size() > 1 || text.size() > 1)))
        return std::nullopt;
    double value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return text.front() == '-' ? -value : value;
}

Outcome writeWorkbookFile(const fs::path& file, const SheetCells& cells, const fs::path& scratchDir,
                          SheetFigures figures)
{
    if (cells.size() > LXW_ROW_MAX) {
        return Outcome::failure("more rows than a sheet holds");
    }
    const XlsxWriterApi& api = xlsxWriter();
    if (!api.loaded)
        return api.loaded;
    // The library opens its files by narrow paths (the workbook's own name
    // is the caller's, in the scratch folder).
    std::string tmpdir;
    if (!scratchDir.empty()) {
        const std::optional<std::string> narrow = narrowFolderPath(scratchDir);
        if (!narrow)
            return Outcome::failure(scratchDir.string() + ": no path the workbook writer can open");
        tmpdir = *narrow;
    }
    const std::optional<std::string> bookFolder = narrowFolderPath(file.parent_path().empty() ? fs::path(".")
                                                                                              : file.parent_path());
    if (!bookFolder)
        return Outcome::failure(file.string() + ": no path the workbook writer can open");
    const std::string bookPath = utf8Of(pathFromUtf8(*bookFolder) / file.filename());
    lxw_workbook_options options {};
    options.constant_memory = LXW_FALSE;
    options.tmpdir = tmpdir.empty() ? nullptr : tmpdir.data();
    options.use_zip64 = LXW_FALSE;
    WorkbookGuard guard {api, api.workbook_new_opt(bookPath.c_str(), &options)};
    if (!guard.book) {
        return Outcome::failure("cannot make a workbook");
    }
    lxw_worksheet* sheet = api.workbook_add_worksheet(guard.book, nullptr);
    lxw_format* font = api.workbook_add_format(guard.book);
    if (!sheet || !font) {
        return Outcome::failure("cannot make a worksheet");
    }
    api.format_set_font_name(font, kSheetFontName);
    api.format_set_font_size(font, kSheetFontSize);

    // The font also goes on every column, so that the empty cells of the
    // sheet have it too; the columns after J keep the standard width.
    const auto widths = fittedColumnWidths(cells);
    for (std::size_t c = 0; c < kFittedColumns; ++c)
        api.worksheet_set_column(sheet, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c), widths[c], font);
    api.worksheet_set_column(sheet, kFittedColumns, LXW_COL_MAX - 1, LXW_DEF_COL_WIDTH, font);

    for (std::size_t r = 0; r < cells.size(); ++r) {
        const auto& row = cells[r];
        if (row.size() > LXW_COL_MAX) {
            return Outcome::failure("more columns than a sheet holds");
        }
        for (std::size_t c = 0; c < row.size(); ++c) {
            const auto at = static_cast<lxw_row_t>(r);
            const auto column = static_cast<lxw_col_t>(c);
            const std::optional<double> number =
                figures == SheetFigures::AsNumbers ? figureNumber(row[c]) : std::nullopt;
            const std::string text = number ? std::string() : toDisplayText(row[c]);
            const lxw_error e = number ? api.worksheet_write_number(sheet, at, column, *number, font)
                                       : api.worksheet_write_string(sheet, at, column, text.c_str(), font);
            if (e != LXW_NO_ERROR) {
                return Outcome::failure("row " + std::to_string(r + 1) + ", column " + std::to_string(c + 1) + ": "
                                    + api.lxw_strerror(e));
            }
        }
    }
    lxw_workbook* book = guard.book;
    guard.book = nullptr; // closing frees it, also on failure
    const lxw_error e = api.workbook_close(book);
    if (e != LXW_NO_ERROR) {
        return Outcome::failure(file.string() + ": " + api.lxw_strerror(e));
    }
    return {};
}

Outcome withScratchWorkbook(const fs::path& target, const char* purpose, const SheetCells& cells, SheetFigures figures,
                            const std::function<Outcome(const fs::path& workbook, const fs::path& scratch)>& finish)
{
    if (isReadOnlyFile(target)) {
        return systemFailure(EACCES);
    }
    const ScratchFolder scratch(purpose);
    if (!scratch.ok())
        return scratch.made();
    const fs::path workbook = scratch.path() / "sheet.xlsx";
    if (Outcome written = writeWorkbookFile(workbook, cells, scratch.path(), figures); !written)
        return written;
    return finish(workbook, scratch.path());
}

Outcome writeXlsxWorkbook(const fs::path& target, const SheetCells& cells)
{
    return withScratchWorkbook(target, "zorvika-xlsx", cells, SheetFigures::AsNumbers,
                               [&](const fs::path& built, const fs::path&) {
                                   const auto bytes = readRegularFile(built);
                                   if (!bytes)
                                       return Outcome::failure(built.string() + ": cannot read the workbook back");
                                   return writeOutputFile(target, *bytes);
                               });
}

} // namespace zorvika
