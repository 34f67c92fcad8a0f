// The procedure metrics on any module text: procedures follow each other
// without overlapping below the header, their figures hold together and
// sum to no more than the module's, and names are display text; fed in
// pieces (of a size the input chooses), the figures are the same.
#include "analysis/line_counter.h"
#include "analysis/procedure_metrics.h"
#include "base/text_codec.h"
#include "fuzz_input.h"

using namespace zorvika;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text = fuzz::asText(data, size);
    const bool standard = size > 0 && (data[0] & 1);
    const ModuleScan scan = scanModuleText(text);
    const std::int64_t header = headerLinesOf(text, standard);
    fuzz::require(header == figuresFromScan(scan, standard).headerLines);
    const ModuleMetrics m = analyzeModuleText(text, header);
    std::int64_t after = header, statements = 0, lloc = 0;
    for (const ProcedureMetrics& p : m.procedures) {
        fuzz::require(p.firstLine > after && p.span >= 1 && p.firstLine + p.span - 1 <= scan.lines);
        fuzz::require(p.codeLines >= 0 && p.codeLines <= p.span);
        fuzz::require(p.lloc >= 1 && p.lloc <= p.span && p.statements >= 0);
        fuzz::require(p.cc >= 1 && p.cc2 >= p.cc && p.depth >= 0);
        fuzz::require(isValidUtf8(p.name));
        after = p.firstLine + p.span - 1;
        statements += p.statements;
        lloc += p.lloc;
    }
    fuzz::require(statements <= m.statements && m.lloc <= scan.lines);
    fuzz::require(m.highestCc <= m.totalCc);

    const std::size_t piece = size > 1 ? 1 + data[1] % 17 : 1;
    ModuleAnalyzer pieces = ModuleAnalyzer::byHeaderRule(standard);
    for (std::size_t at = 0; at < text.size(); at += piece)
        pieces.feed(text.substr(at, piece));
    const ModuleMetrics p = pieces.finish();
    fuzz::require(p.statements == m.statements && p.lloc == m.lloc && p.totalCc == m.totalCc
                  && p.procedures.size() == m.procedures.size());
    for (std::size_t i = 0; i < p.procedures.size(); ++i) {
        const ProcedureMetrics& a = p.procedures[i];
        const ProcedureMetrics& b = m.procedures[i];
        fuzz::require(a.name == b.name && a.firstLine == b.firstLine && a.span == b.span && a.codeLines == b.codeLines
                      && a.lloc == b.lloc && a.statements == b.statements && a.cc == b.cc && a.cc2 == b.cc2
                      && a.depth == b.depth && a.definedTwice == b.definedTwice);
    }
    return 0;
}
