#include "components/spreadsheet_factory.h"

namespace zorvika {

std::unique_ptr<Spreadsheet> makeSystemSpreadsheet()
{
    return std::make_unique<NoSpreadsheet>();
}

} // namespace zorvika
