#include "components/spreadsheet_factory.h"

#include "components/libreoffice_spreadsheet.h"

namespace zorvika {

std::unique_ptr<Spreadsheet> makeSystemSpreadsheet()
{
    return std::make_unique<LibreOfficeSpreadsheet>();
}

} // namespace zorvika
