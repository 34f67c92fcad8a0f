#include "analysis/procedure_table.h"

#include "analysis/module_row.h"

#include <algorithm>

namespace zorvika {

std::vector<ProcedureRow> procedureRows(const std::vector<ModuleAnalysis>& modules, std::string_view twiceMark)
{
    std::vector<ProcedureRow> rows;
    std::size_t count = 0;
    for (const ModuleAnalysis& module : modules)
        count += module.metrics ? module.metrics->procedures.size() : 0;
    rows.reserve(count);
    for (const ModuleAnalysis& module : modules) {
        if (!module.metrics)
            continue;
        for (const ProcedureMetrics& p : module.metrics->procedures) {
            std::string name = p.name;
            if (p.definedTwice && !twiceMark.empty())
                name.append(" ").append(twiceMark);
            // Each text made once, in its place (a braced list would copy them all).
            ProcedureRow& row = rows.emplace_back();
            row.reserve(kProcedureColumnCount);
            row.push_back(module.module);
            row.push_back(std::move(name));
            row.emplace_back(procedureKindText(p.kind));
            for (const std::int64_t figure : {p.firstLine, p.span, p.codeLines, p.lloc, p.statements, p.cc, p.cc2,
                                              p.depth})
                row.push_back(figureText(figure));
        }
    }
    return rows;
}

ProcedureRow procedureTotalsRow(const std::vector<ModuleAnalysis>& modules, std::string_view totalWord)
{
    std::int64_t count = 0, span = 0, code = 0, lloc = 0, statements = 0, cc = 0, cc2 = 0, depth = 0;
    for (const ModuleAnalysis& module : modules) {
        if (!module.metrics)
            continue;
        for (const ProcedureMetrics& p : module.metrics->procedures) {
            ++count;
            span += p.span;
            code += p.codeLines;
            lloc += p.lloc;
            statements += p.statements;
            cc += p.cc;
            cc2 += p.cc2;
            depth = std::max(depth, p.depth);
        }
    }
    return {std::string(totalWord), figureText(count), std::string(), std::string(), figureText(span),
            figureText(code), figureText(lloc), figureText(statements), figureText(cc), figureText(cc2),
            figureText(depth)};
}

std::vector<std::size_t> sortedProcedureOrder(const std::vector<ProcedureRow>& rows, const SortState& sort)
{
    const auto column = static_cast<std::size_t>(std::clamp(sort.column, 0, kProcedureColumnCount - 1));
    // Neighbouring rows of the same text (the procedures of one module, for
    // the module column) stay together and in their order in a stable sort,
    // so each run of them is sorted as one row and then laid out again.
    std::vector<std::size_t> runStarts;
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (i == 0 || rows[i][column] != rows[i - 1][column])
            runStarts.push_back(i);
    if (runStarts.size() == rows.size())
        return sortedOrderBy(rows.size(), sort.descending,
                             [&](std::size_t i) -> std::string_view { return rows[i][column]; });
    const std::vector<std::size_t> runOrder =
        sortedOrderBy(runStarts.size(), sort.descending,
                      [&](std::size_t r) -> std::string_view { return rows[runStarts[r]][column]; });
    std::vector<std::size_t> order;
    order.reserve(rows.size());
    for (std::size_t r : runOrder) {
        const std::size_t end = r + 1 < runStarts.size() ? runStarts[r + 1] : rows.size();
        for (std::size_t i = runStarts[r]; i < end; ++i)
            order.push_back(i);
    }
    return order;
}

std::vector<ProcedureRow> sortedProcedureRows(const std::vector<ProcedureRow>& rows, const SortState& sort)
{
    std::vector<ProcedureRow> out;
    out.reserve(rows.size());
    for (std::size_t i : sortedProcedureOrder(rows, sort))
        out.push_back(rows[i]);
    return out;
}

ModuleMetrics summedMetrics(const std::vector<ModuleAnalysis>& modules)
{
    ModuleMetrics sum;
    for (const ModuleAnalysis& module : modules) {
        if (!module.metrics)
            continue;
        const ModuleMetrics& m = *module.metrics;
        for (std::size_t k = 0; k < sum.byKind.size(); ++k)
            sum.byKind[k] += m.byKind[k];
        sum.declares += m.declares;
        sum.events += m.events;
        sum.lloc += m.lloc;
        sum.statements += m.statements;
        sum.totalCc += m.totalCc;
        sum.highestCc = std::max(sum.highestCc, m.highestCc);
        if (m.longestSpan > sum.longestSpan) {
            sum.longestSpan = m.longestSpan;
            sum.longestName = m.longestName;
        }
    }
    return sum;
}

std::array<std::string, 2> summaryText(const ModuleMetrics& m, const SummaryWords& words)
{
    std::array<std::string, 2> out;
    for (int k = 0; k < kProcedureKindCount; ++k) {
        out[0] += std::string(procedureKindText(static_cast<ProcedureKind>(k))) + " "
                  + figureText(m.byKind[static_cast<std::size_t>(k)]) + ", ";
    }
    out[0] += words.declares + " " + figureText(m.declares) + ", " + words.events + " " + figureText(m.events);
    out[1] = words.lloc + " " + figureText(m.lloc) + ", " + words.statements + " " + figureText(m.statements) + ", "
             + words.totalCc + " " + figureText(m.totalCc) + ", " + words.highestCc + " " + figureText(m.highestCc);
    if (!m.longestName.empty())
        out[1] += ", " + words.longest + " " + m.longestName + " (" + figureText(m.longestSpan) + ")";
    return out;
}

} // namespace zorvika
