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

Outcome MessageTable::usable() const
{
    std::string text;
    const ReadStatus status = readRegularFile(folder_.messageTable(), text);
    if (status == ReadStatus::Ok || status == ReadStatus::Missing)
        return {};
    return Outcome::failure(describeRead(folder_.messageTable(), status));
}

TotalsWords MessageTable::totalsWords() const
{
    return {get("TOTAL"), get("MODULES"), get("ORDER")};
}

} // namespace zorvika
