#pragma once
// The program folder, its working folders and the message table.
#include <filesystem>
#include <string>
#include <string_view>

namespace zorvika {

struct TotalsWords;

// The folder that holds the program, with the items that lie in it. A
// program that runs from its build folder or an unpacked copy keeps
// everything beside itself (`data` empty); an installed one reads its
// message tables and help from <prefix>/share/zorvika and keeps its
// working copies and store in the user's data folder.
struct ProgramFolder {
    std::filesystem::path root; // the message tables and the help
    std::filesystem::path data = {}; // the working folders; empty: `root`

    const std::filesystem::path& dataRoot() const { return data.empty() ? root : data; }
    std::filesystem::path messageTable() const { return root / "tips.dll"; }
    std::filesystem::path workingCopies() const { return dataRoot() / "tempprjfiles"; }
    std::filesystem::path store() const { return dataRoot() / "verhis"; }
    std::filesystem::path help() const { return root / "help" / "index.html"; }

    // The folders of the running executable.
    static ProgramFolder ofExecutable();
};

// Where a program in `executableFolder` finds its files. It counts as
// installed when it lies in <prefix>/bin beside a <prefix>/share/zorvika
// that holds the message table, or when the user cannot write its folder;
// then `data` is $XDG_DATA_HOME/zorvika (`xdgDataHome` when absolute,
// else `home`/.local/share/zorvika).
ProgramFolder programFolderFor(const std::filesystem::path& executableFolder, std::string_view xdgDataHome,
                               std::string_view home);

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

// `upsEnsureWorkFiles`: creates the data folder, "tempprjfiles" and "verhis" when missing and
// an empty "tips.dll" when there is none. Existing contents are never
// touched. Each step is tried on its own.
// It also removes temporary files that killed snapshot writes left in the
// store folder (those older than ten minutes).
void ensureWorkFiles(const ProgramFolder& folder);
void removeStaleTemporaryFiles(const std::filesystem::path& store);

} // namespace zorvika
