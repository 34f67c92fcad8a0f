#include "shell/message_table.h"

#include "base/message_keys.h"

#include "analysis/results.h"
#include "base/file_io.h"
#include "base/text_codec.h"
#include "components/ini_reader.h"

namespace zorvika {

std::string MessageTable::get(std::string_view key) const
{
    return toDisplayText(ReadIniValue(folder_.messageTable(), kMessageSection, key));
}

Outcome MessageTable::usable() const
{
    const auto read = readRegularFile(folder_.messageTable());
    if (read || read.kind() == ReadError::Missing)
        return {};
    return read.failure().about(utf8Of(folder_.messageTable())).as(Failed::Failed);
}

TotalsWords MessageTable::totalsWords() const
{
    return {get(keys::TotalsStart), get(keys::TotalsModules), get(keys::TotalsOrder)};
}

} // namespace zorvika
