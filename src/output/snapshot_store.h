#pragma once
// The snapshot store: one file "verhis/<project name>/<version>" per project
// name and version, holding the snapshot's text (`output/snapshot_format`).
#include "analysis/module_row.h"
#include "base/file_io.h"
#include "base/result.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace zorvika {

struct ProgramFolder;

// A name that can stand as one folder or file name under "verhis": not
// empty, not "." or "..", without "/", "\" or a control character, and not
// beginning as the program's temporary files do.
bool isStorableName(std::string_view name);

// A name that the store's listing can give back and that names one entry
// inside its folder, as a stored project or version is read and deleted by:
// not empty, not "." or "..", without a NUL or a separator of the system,
// and not beginning as the program's temporary files do. Every storable
// name is one; so is a name the store holds but would not make ("a\b" on a
// system whose separator is "/" alone).
bool isStoredEntryName(std::string_view name);

// Why a snapshot was not stored: no "verhis" folder, a project name or a
// version that cannot name a folder or a file, a read-only snapshot there,
// or the system's refusal.
enum class SaveError { NoStore, BadName, BadVersion, ReadOnly, Failed };

// Replaces the snapshot of (name, version) whole, through
// a temporary file in "verhis" and a rename, so that a crash leaves either the
// old snapshot or the new one. The project folder is created when missing
// (never "verhis" itself; a folder made by another run at the same moment is
// used as it is); a project folder that is a symbolic link is never written
// through; a read-only snapshot is left as it is. A failure's reason names
// the snapshot and says why it was not stored.
Result<void, SaveError> saveSnapshot(const ProgramFolder& folder, std::string_view name, std::string_view version,
                                     const std::vector<ModuleRow>& rows, std::string_view totalsText,
                                     Durability durability = Durability::Synced);

} // namespace zorvika
