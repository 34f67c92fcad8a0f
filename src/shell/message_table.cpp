#include "shell/message_table.h"

#include "analysis/results.h"
#include "base/file_io.h"
#include "base/text_codec.h"
#include "components/ini_reader.h"

namespace zorvika {

std::string MessageTable::get(std::string_view key) const
{
    return toDisplayText(ReadIniValue(folder_.messageTable(), kMessageSection, key));
}

std::string MessageTable::problem() const
{
    const auto read = readRegularFile(folder_.messageTable());
    return read || read.kind() == ReadKind::Missing ? std::string()
                                                    : read.failure().about(folder_.messageTable().string()).reason;
}

TotalsWords MessageTable::totalsWords() const
{
    return {get("TOTAL"), get("MODULES"), get("ORDER")};
}

} // namespace zorvika
