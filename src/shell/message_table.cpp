#include "shell/message_table.h"

#include "analysis/results.h"
#include "components/file_io.h"
#include "components/ini_reader.h"
#include "components/text_codec.h"

#include <chrono>
#include <cstdio>
#include <system_error>
#include <unistd.h>

namespace zorvika {

namespace fs = std::filesystem;

ProgramFolder ProgramFolder::ofExecutable()
{
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec)
        return {fs::current_path(ec)};
    return {exe.parent_path()};
}

std::string MessageTable::get(std::string_view key) const
{
    return toDisplayText(ReadIniValue(folder_.messageTable(), kMessageSection, key));
}

std::string MessageTable::problem() const
{
    std::string text;
    const ReadStatus status = readRegularFile(folder_.messageTable(), text);
    return status == ReadStatus::Ok || status == ReadStatus::Missing ? std::string()
                                                                      : describeRead(folder_.messageTable(), status);
}

TotalsWords MessageTable::totalsWords() const
{
    return {get("TOTAL"), get("MODULES"), get("ORDER")};
}

void ensureWorkFiles(const ProgramFolder& folder)
{
    std::error_code ec;
    if (!fs::is_directory(folder.workingCopies(), ec))
        fs::create_directory(folder.workingCopies(), ec);
    if (!fs::is_directory(folder.store(), ec))
        fs::create_directory(folder.store(), ec);
    if (!fs::exists(fs::symlink_status(folder.messageTable(), ec))) {
        if (std::FILE* f = std::fopen(folder.messageTable().c_str(), "wb"))
            std::fclose(f);
    }
    removeStaleTemporaryFiles(folder.store());
    removeStaleTemporaryFiles(folder.workingCopies());
}

void removeStaleTemporaryFiles(const fs::path& store)
{
    // A write that was killed (SIGKILL, a crash) leaves its temporary file
    // beside its target; one older than ten minutes belongs to no running
    // write.
    std::error_code ec;
    const auto limit = fs::file_time_type::clock::now() - std::chrono::minutes(10);
    for (fs::directory_iterator it(store, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code fileError;
        if (it->path().filename().string().starts_with(kTempFilePrefix) && it->is_regular_file(fileError)
            && it->last_write_time(fileError) < limit && !fileError)
            fs::remove(it->path(), fileError);
    }
}

} // namespace zorvika
