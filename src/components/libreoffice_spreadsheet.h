#pragma once
// The ".xls" spreadsheet through LibreOffice: the workbook is written with
// libxlsxwriter, and LibreOffice Calc, run headless and invisible with a
// private temporary user profile, converts it to Excel 97. An office program
// the user has open is neither used nor disturbed.
#include "components/spreadsheet.h"

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>

namespace zorvika {

// How long one conversion may take before LibreOffice is ended.
inline constexpr std::chrono::milliseconds kOfficeTimeLimit {60000};

// LibreOffice's program on PATH: "soffice", else "libreoffice".
std::optional<std::filesystem::path> findOfficeProgram();

// Converts `input` with LibreOffice `program` into `outDir` by the filter
// `convertTo` (as for --convert-to, e.g. "xls:MS Excel 97"); the result is
// named as `input` with the extension of `convertTo`. A fresh user profile
// is made in `profileDir` and left there for the caller to remove.
// On success `converted` names the converted file.
Outcome convertWithOffice(const std::filesystem::path& program, const std::filesystem::path& input,
                          const std::string& convertTo, const std::filesystem::path& outDir,
                          const std::filesystem::path& profileDir, std::chrono::milliseconds timeLimit,
                          std::filesystem::path& converted);

class LibreOfficeSpreadsheet final : public Spreadsheet {
public:
    // Looks LibreOffice up on PATH at every call.
    LibreOfficeSpreadsheet() = default;
    // Uses this program, and this time limit for one conversion.
    explicit LibreOfficeSpreadsheet(std::filesystem::path program,
                                    std::chrono::milliseconds timeLimit = kOfficeTimeLimit);

    // True when the program is there to be started.
    bool available() override;
    // Writes an Excel 97 workbook; a file that was at `path` is replaced only
    // by a whole new one, and every temporary file and profile is removed.
    Outcome write(const std::filesystem::path& path, const SheetCells& cells) override;

private:
    std::optional<std::filesystem::path> program() const;

    std::optional<std::filesystem::path> program_;
    std::chrono::milliseconds timeLimit_ = kOfficeTimeLimit;
};

} // namespace zorvika
