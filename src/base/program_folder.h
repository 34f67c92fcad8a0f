#pragma once
// The program folder and the working folders beside it.
#include <filesystem>
#include <string>
#include <string_view>

namespace zorvika {

// The folder that holds the program, with the items that lie in it. A
// program that runs from its build folder or an unpacked copy keeps
// everything beside itself (`data` empty); an installed one reads its
// message tables and help from <prefix>/share/zorvika and keeps its
// working copies and store in the user's data folder.
struct ProgramFolder {
    std::filesystem::path root; // the message tables and the help
    std::filesystem::path data = {}; // the working folders; empty: `root`
    // The message table chosen for this run (a language's shipped table, the
    // user's own); empty: "tips.dll" in `root`, as below.
    std::filesystem::path table = {};
    // An installed program's own folder of message tables, for a `root`
    // given by the user (`--program-folder`): its table is read where
    // `root` has none. Empty otherwise.
    std::filesystem::path shipped = {};
    // Why there is no place for the working folders (an installed program
    // without a home folder); empty when there is. Nothing may be made or
    // stored then.
    std::string unusable = {};

    const std::filesystem::path& dataRoot() const { return data.empty() ? root : data; }
    // The message table that is read: the one chosen, else "tips.dll" in
    // `root`, or the shipped one where `root` holds none and `shipped` is set.
    std::filesystem::path messageTable() const;
    std::filesystem::path workingCopies() const { return dataRoot() / "tempprjfiles"; }
    std::filesystem::path store() const { return dataRoot() / "verhis"; }
    std::filesystem::path help() const { return root / "help" / "index.html"; }

    // The folders of the running executable.
    static ProgramFolder ofExecutable();
};

// The file that the Windows setup program writes beside the programs it
// installs: a folder that holds it is an install, though the user may
// write to it (an installer can put a folder anywhere, and Wine lets
// every folder be written).
inline constexpr const char* kInstallMarker = "installed.txt";

// Where a program in `executableFolder` finds its files. It counts as
// installed when it lies in <prefix>/bin beside a <prefix>/share/zorvika
// that holds the message table, when its folder holds `kInstallMarker`, or
// when the user cannot write its folder; then `data` is
// $XDG_DATA_HOME/zorvika, on Windows %LOCALAPPDATA%\zorvika (`xdgDataHome`
// when absolute, else `home`/.local/share/zorvika, `home` being absolute).
// Without either the folder is `unusable`: never one relative to the
// current folder. Without a share folder the tables and the help are read
// beside the program.
ProgramFolder programFolderFor(const std::filesystem::path& executableFolder, std::string_view xdgDataHome,
                               std::string_view home);

// The folders given as `--program-folder DIR` to a program whose own are
// `own`: DIR for everything, with `own`'s table read where DIR has none when
// the program is installed.
ProgramFolder givenProgramFolder(const std::filesystem::path& dir, const ProgramFolder& own);

// Creates the data folder, "tempprjfiles" and "verhis" when missing and
// an empty "tips.dll" when there is none (and no other table was chosen or
// shipped one is read). An `unusable` folder is left alone. Existing contents are never
// touched. Each step is tried on its own.
// It also removes temporary files that killed snapshot writes left in the
// store folder (those older than ten minutes).
void ensureWorkFiles(const ProgramFolder& folder);
void removeStaleTemporaryFiles(const std::filesystem::path& store);

} // namespace zorvika
