#include "components/libreoffice_spreadsheet.h"

#include "base/child_process.h"
#include "base/file_io.h"
#include "base/platform.h"
#include "base/scratch_folder.h"
#include "components/xlsx_workbook.h"

#include <cerrno>
#include <system_error>

namespace zorvika {

namespace fs = std::filesystem;

namespace {


// A file URL for a local folder, every byte outside the unreserved set and
// "/" percent-encoded.
std::string fileUrl(const fs::path& folder)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string url = "file://";
    for (unsigned char c : folder.string()) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-'
                           || c == '.' || c == '_' || c == '~' || c == '/';
        if (plain) {
            url += static_cast<char>(c);
        } else {
            url += '%';
            url += hex[c >> 4];
            url += hex[c & 15];
        }
    }
    return url;
}

// The last non-empty line of what the program printed, to tell the user why.
std::string lastLogLine(const fs::path& log)
{
    auto read = readRegularFile(log);
    if (!read)
        return {};
    std::string& text = *read;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    const auto start = text.find_last_of("\r\n");
    return start == std::string::npos ? text : text.substr(start + 1);
}

bool isOleCompoundFile(std::string_view bytes)
{
    static constexpr unsigned char kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    if (bytes.size() < sizeof kSignature)
        return false;
    for (std::size_t i = 0; i < sizeof kSignature; ++i)
        if (static_cast<unsigned char>(bytes[i]) != kSignature[i])
            return false;
    return true;
}

} // namespace

std::optional<fs::path> findOfficeProgram()
{
    if (auto found = findProgramOnPath({"soffice", "libreoffice"}))
        return found;
    if constexpr (kWindowsFileSystem) {
        // LibreOffice's installer does not put itself on the PATH.
        for (const char* programs : {"ProgramFiles", "ProgramW6432", "ProgramFiles(x86)"}) {
            const std::optional<std::string> folder = environmentVariable(programs);
            if (!folder || folder->empty())
                continue;
            const fs::path candidate = pathFromUtf8(*folder) / "LibreOffice" / "program" / "soffice.exe";
            if (isRunnableFile(candidate))
                return candidate;
        }
    }
    return std::nullopt;
}

Outcome convertWithOffice(const fs::path& program, const fs::path& input, const std::string& convertTo,
                          const fs::path& outDir, const fs::path& profileDir, std::chrono::milliseconds timeLimit,
                          fs::path& converted)
{
    std::error_code ec;
    fs::create_directories(profileDir, ec);
    if (!ec)
        fs::create_directories(outDir, ec);
    if (ec) {
        return Outcome::failure(ec.message());
    }
    const std::string extension = convertTo.substr(0, convertTo.find(':'));
    const fs::path result = outDir / (input.stem().string() + "." + extension);
    fs::remove(result, ec);
    const fs::path log = profileDir / "conversion.log";
    const std::vector<std::string> args = {"--headless", "--invisible", "--nologo", "--norestore", "--nolockcheck",
                                           "--nodefault", "-env:UserInstallation=" + fileUrl(profileDir / "user"),
                                           "--convert-to", convertTo, "--outdir", outDir.string(), input.string()};
    const ChildExit run = runChild(program, args, timeLimit, log);
    if (!run) {
        return run.failure().as(Failed::Failed);
    }
    if (!isRegularFile(result) || fs::file_size(result, ec) == 0 || ec) {
        std::string reason = program.filename().string() + " wrote no " + extension + " file";
        if (*run != 0)
            reason += " (exit status " + std::to_string(*run) + ")";
        const std::string said = lastLogLine(log);
        if (!said.empty())
            reason += ": " + said;
        return Outcome::failure(reason);
    }
    converted = result;
    return {};
}

LibreOfficeSpreadsheet::LibreOfficeSpreadsheet(fs::path program, std::chrono::milliseconds timeLimit)
    : program_(std::move(program)), timeLimit_(timeLimit)
{
}

std::optional<fs::path> LibreOfficeSpreadsheet::program() const
{
    if (!program_)
        return findOfficeProgram();
    if (!isRunnableFile(*program_))
        return std::nullopt;
    return program_;
}

bool LibreOfficeSpreadsheet::available()
{
    return program().has_value();
}

Outcome LibreOfficeSpreadsheet::write(const fs::path& path, const SheetCells& cells)
{
    const auto office = program();
    if (!office) {
        return Outcome::failure(program_ ? program_->string() + ": cannot be started"
                                 : std::string("no soffice or libreoffice on PATH"));
    }
    return withScratchWorkbook(path, "zorvika-office", cells, SheetFigures::AsTexts,
                               [&](const fs::path& workbook, const fs::path& scratch) {
                                   fs::path converted;
                                   if (Outcome done = convertWithOffice(*office, workbook, "xls:MS Excel 97",
                                                                        scratch / "out", scratch / "profile",
                                                                        timeLimit_, converted);
                                       !done)
                                       return done;
                                   const auto bytes = readRegularFile(converted);
                                   if (!bytes || !isOleCompoundFile(*bytes))
                                       return Outcome::failure(office->filename().string()
                                                               + " wrote no Excel 97 workbook");
                                   return writeOutputFile(path, *bytes);
                               });
}

} // namespace zorvika
