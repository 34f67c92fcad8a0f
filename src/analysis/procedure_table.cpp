#include "analysis/procedure_table.h"

#include "analysis/module_row.h"

#include <algorithm>

namespace zorvika {

namespace {

// The order of `count` rows by the texts of their sort column, as every
// list sorts. Neighbouring rows of the same text (the procedures of one
// module, for the module column) stay together and in their order in a
// stable sort, so each run of them is sorted as one row and then laid out
// again.
template <typename TextOf>
std::vector<std::size_t> sortedOrderOfTexts(std::size_t count, bool descending, const TextOf& textOf)
{
    std::vector<std::size_t> runStarts;
    for (std::size_t i = 0; i < count; ++i)
        if (i == 0 || textOf(i) != textOf(i - 1))
            runStarts.push_back(i);
    if (runStarts.size() == count)
        return sortedOrderBy(count, descending, [&](std::size_t i) -> std::string_view { return textOf(i); });
    const std::vector<std::size_t> runOrder =
        sortedOrderBy(runStarts.size(), descending,
                      [&](std::size_t r) -> std::string_view { return textOf(runStarts[r]); });
    std::vector<std::size_t> order;
    order.reserve(count);
    for (std::size_t r : runOrder) {
        const std::size_t end = r + 1 < runStarts.size() ? runStarts[r + 1] : count;
        for (std::size_t i = runStarts[r]; i < end; ++i)
            order.push_back(i);
    }
    return order;
}

std::size_t columnIndex(int column)
{
    return static_cast<std::size_t>(std::clamp(column, 0, kProcedureColumnCount - 1));
}

} // namespace

void fillProcedureRow(ProcedureRow& row, const std::string& module, const ProcedureMetrics& p,
                      std::string_view twiceMark)
{
    row.resize(kProcedureColumnCount);
    row[ProcModule] = module;
    row[ProcName] = p.name;
    if (p.definedTwice && !twiceMark.empty())
        row[ProcName].append(" ").append(twiceMark);
    row[ProcKind] = procedureKindText(p.kind);
    const std::int64_t figures[] = {p.firstLine, p.span, p.codeLines, p.lloc, p.statements, p.cc, p.cc2, p.depth};
    for (std::size_t k = 0; k < std::size(figures); ++k)
        row[ProcFirstLine + k] = figureText(figures[k]);
}

std::vector<std::string> procedureColumn(const std::vector<ModuleAnalysis>& modules, int column,
                                         std::string_view twiceMark)
{
    const std::size_t c = columnIndex(column);
    std::vector<std::string> texts;
    ProcedureRow row;
    for (const ModuleAnalysis& module : modules) {
        if (!module.metrics)
            continue;
        for (const ProcedureMetrics& p : module.metrics->procedures) {
            fillProcedureRow(row, module.module, p, twiceMark);
            texts.push_back(std::move(row[c]));
        }
    }
    return texts;
}

std::vector<std::size_t> sortedProcedureOrder(const std::vector<std::string>& columnTexts, bool descending)
{
    return sortedOrderOfTexts(columnTexts.size(), descending,
                              [&](std::size_t i) -> const std::string& { return columnTexts[i]; });
}

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
        for (const ProcedureMetrics& p : module.metrics->procedures)
            fillProcedureRow(rows.emplace_back(), module.module, p, twiceMark);
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
    const std::size_t column = columnIndex(sort.column);
    return sortedOrderOfTexts(rows.size(), sort.descending,
                              [&](std::size_t i) -> const std::string& { return rows[i][column]; });
}

std::vector<ProcedureRow> sortedProcedureRows(const std::vector<ProcedureRow>& rows, const SortState& sort)
{
    return rowsInOrder(rows, sortedProcedureOrder(rows, sort));
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
