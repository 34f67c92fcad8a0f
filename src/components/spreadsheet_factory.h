#pragma once
// The spreadsheet application of this system, for the ".xls" export.
#include "components/spreadsheet.h"

#include <memory>

namespace zorvika {

std::unique_ptr<Spreadsheet> makeSystemSpreadsheet();

} // namespace zorvika
