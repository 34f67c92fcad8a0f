// The snapshot line reader, the totals-text split of the export, and the
// trend's one-pass reading of a snapshot against the rows the history shows.
#include "analysis/results.h"
#include "base/text_codec.h"
#include "fuzz_input.h"
#include "history/history_store.h"
#include "history/trend.h"
#include "output/export.h"
#include "output/snapshot_format.h"

using namespace zorvika;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text = fuzz::asText(data, size);
    const Snapshot snapshot = snapshotFromText(text, "Total");
    for (const ModuleRow& row : snapshot.rows) {
        // A row read back writes the same line again, and reads the same.
        const auto again = parseSnapshotLine(snapshotLine(row));
        fuzz::require(again.has_value() && again->cells == row.cells);
    }
    const TotalsWords words{"Total: ", "modules: ", "(P, A, C, B, P - C, P - B, P - C - B, A - C, A - B, A - C - B)"};
    if (const auto values = totalsValues(text, words))
        for (const std::string& v : *values)
            fuzz::require(v.find(", ") == std::string::npos);
    fuzz::require(isValidUtf8(snapshot.totalsLabel));

    const TrendPoint direct = trendPointOfText("v", text, words, "Total");
    const TrendPoint viaRows = trendPointOf("v", snapshot, words);
    fuzz::require(direct.totals == viaRows.totals && direct.fromTotalsLine == viaRows.fromTotalsLine);
    // The point of the file's end alone, where it gives one, is the same
    // (the end cut at the first byte's choice).
    const std::size_t tailLength = size == 0 ? 0 : data[0] % (size + 1);
    if (const auto fromTail = trendPointOfTail("v", text.substr(size - tailLength), tailLength == size, words, "Total"))
        fuzz::require(fromTail->totals == direct.totals && direct.fromTotalsLine);
    return 0;
}
