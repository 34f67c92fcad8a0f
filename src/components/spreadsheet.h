#pragma once
// The spreadsheet application that writes ".xls" workbooks. The export
// hands it the sheet's cells, all texts, row by row.
#include "base/result.h"

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
    // Writes the workbook to `path`; on failure a file that was at `path`
    // stays as it was.
    virtual Outcome write(const std::filesystem::path& path, const SheetCells& cells) = 0;
};

// No spreadsheet application on this system.
class NoSpreadsheet final : public Spreadsheet {
public:
    bool available() override { return false; }
    Outcome write(const std::filesystem::path&, const SheetCells&) override
    {
        return Outcome::failure("no spreadsheet application");
    }
};

} // namespace zorvika
