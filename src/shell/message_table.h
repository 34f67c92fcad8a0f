#pragma once
// The program folder, its working folders and the message table.
#include <filesystem>
#include <string>
#include <string_view>

namespace zorvika {

struct TotalsWords;

// The folder that holds the program, with the items that lie in it.
struct ProgramFolder {
    std::filesystem::path root;

    std::filesystem::path messageTable() const { return root / "tips.dll"; }
    std::filesystem::path workingCopies() const { return root / "tempprjfiles"; }
    std::filesystem::path store() const { return root / "verhis"; }
    std::filesystem::path help() const { return root / "help" / "index.html"; }

    // The folder of the running executable.
    static ProgramFolder ofExecutable();
};

// Every caption and message comes from section "Message & Text" of
// "tips.dll". Each lookup reads the file afresh; a missing file, section or
// key gives the empty text. Texts are UTF-8 (a table in Windows-1252 is
// converted).
class MessageTable {
public:
    explicit MessageTable(ProgramFolder folder) : folder_(std::move(folder)) {}
    // `upfGetMsg`
    std::string get(std::string_view key) const;
    TotalsWords totalsWords() const;
    // Why the table file that is there cannot be used (unreadable, too
    // large); empty when it can, or when there is none (every text is then
    // empty, as the lookup rule says).
    std::string problem() const;
    const ProgramFolder& folder() const { return folder_; }

private:
    ProgramFolder folder_;
};

inline constexpr std::string_view kMessageSection = "Message & Text";

// `upsEnsureWorkFiles`: creates "tempprjfiles" and "verhis" when missing and
// an empty "tips.dll" when there is none. Existing contents are never
// touched. Each step is tried on its own.
// It also removes temporary files that killed snapshot writes left in the
// store folder (those older than ten minutes).
void ensureWorkFiles(const ProgramFolder& folder);
void removeStaleTemporaryFiles(const std::filesystem::path& store);

} // namespace zorvika
