#pragma once
// The spreadsheet application that writes ".xls" workbooks. The export
// hands it the sheet's cells, all texts, row by row.
#include <filesystem>
#include <string>
#include <vector>

namespace zorvika {

using SheetCells = std::vector<std::vector<std::string>>;

class Spreadsheet {
public:
    virtual ~Spreadsheet() = default;
    // False when the application cannot be started ("EXCEL").
    virtual bool available() = 0;
    // Writes the workbook to `path`; on failure `error` holds the reason and
    // a file that was at `path` stays as it was.
    virtual bool write(const std::filesystem::path& path, const SheetCells& cells, std::string* error) = 0;
};

// No spreadsheet application on this system.
class NoSpreadsheet final : public Spreadsheet {
public:
    bool available() override { return false; }
    bool write(const std::filesystem::path&, const SheetCells&, std::string* error) override
    {
        if (error)
            *error = "no spreadsheet application";
        return false;
    }
};

} // namespace zorvika
