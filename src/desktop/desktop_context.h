#pragma once
// What every window of the desktop program is given: the message table's
// texts, the program folder, the desktop services (dialogs, links, message
// boxes), the export of lists and the busy indicator. The windows know this
// and not each other, so each one can be built and tested alone.
#include "base/program_folder.h"
#include "base/result.h"
#include "components/spreadsheet.h"
#include "output/export.h"
#include "shell/message_table.h"
#include "widgets/desktop_services.h"

#include <QPointer>
#include <QString>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QWidget;

namespace zorvika {

class HelpWindow;

using SpreadsheetMaker = std::function<std::unique_ptr<Spreadsheet>()>;
// Writes one list's export file at the chosen path.
using ListWriter = std::function<Result<void, ExportError>(const std::filesystem::path&, Spreadsheet&)>;

class DesktopContext {
public:
    // `folder` holds the message table, the working copies and the store;
    // `services` answers the dialogs, links and message boxes; `spreadsheets`
    // makes the spreadsheet component of an export (the system's by default).
    DesktopContext(ProgramFolder folder, DesktopServices& services, SpreadsheetMaker spreadsheets = {});
    ~DesktopContext();
    DesktopContext(const DesktopContext&) = delete;
    DesktopContext& operator=(const DesktopContext&) = delete;

    // The message table's text for `key` (empty when there is none).
    QString text(std::string_view key) const;
    // The text of `key`, then the subject (a file) and the reason, each on a line of its own.
    QString framedText(std::string_view key, const QString& subject, const QString& reason = QString()) const;

    const ProgramFolder& folder() const { return folder_; }
    const MessageTable& messages() const { return messages_; }
    DesktopServices& services() const { return services_; }

    // A warning box over `owner`: the text of `key`, then `detail`.
    void warn(QWidget* owner, std::string_view key, const std::string& detail) const;
    // The same with a failure's reason, said as `said` says it.
    template <typename Kind>
    void warn(QWidget* owner, std::string_view key, const Failure<Kind>& failure) const
    {
        warn(owner, key, said(failure));
    }
    // A failure's reason with the system's common reasons (no such file,
    // permission denied, ...) in the table's words; the rest as the system
    // worded it.
    template <typename Kind>
    std::string said(const Failure<Kind>& failure) const
    {
        const std::string words = causeWords(failure.cause);
        return words.empty() ? failure.reason : failure.reasonSaying(words);
    }
    // The table's words for a common reason; empty for the others, or where the table has none.
    std::string causeWords(Cause cause) const;
    // Runs one command of a window over `owner`; an error it raises ends it
    // with a warning box instead of ending the program.
    void runCommand(QWidget* owner, const std::function<void()>& command) const;
    // Opens a web or mail link; when the desktop cannot, a warning over
    // `owner` says so and names the address, so the user can open it by hand.
    void openLink(QWidget* owner, const QString& target) const;

    // The help window ("ZORVIKA Help"): opened over `owner`, or brought
    // forward when it is open already. Its page is the help in the table's
    // language ("help/index.de.html") where there is one.
    void openHelp(QWidget* owner);
    HelpWindow* helpWindow() const;
    void closeHelp();

    // The export of a result list (the main window's or a snapshot's): the
    // save dialog proposing "<name>_<version>_<date>", the rows and totals
    // line written, and the user told how that went.
    void exportResults(QWidget* owner, const std::vector<ModuleRow>& rows, const std::string& name,
                       const std::string& version, const std::string& totalsText, const CountInputs& inputs);
    // The export of any list: "NO RECORD" when it is empty, else the save
    // dialog proposing `proposed`, the file written by `write`, and the
    // message that says how that went, shown over `owner`. The dialog opens
    // on the type chosen last in this run. A chosen file that the list was
    // read from (`inputs`, the message table among them) is refused with a
    // warning and stays as it was.
    void exportList(QWidget* owner, bool empty, const QString& proposed, const ListWriter& write,
                    CountInputs inputs = {});

private:
    ProgramFolder folder_;
    MessageTable messages_;
    DesktopServices& services_;
    SpreadsheetMaker spreadsheets_;
    int exportType_ = 0; // the save dialog's type chosen last
    QPointer<HelpWindow> help_;
};

class ResultsView;
// The texts of a list's context menu, from the message table; `opens` adds
// the command that opens a row (the procedures of a module).
void setListCommandTexts(ResultsView* view, const DesktopContext& context, bool opens = false);

// The export dialog's file types: text, CSV, the two spreadsheets, every file.
FileTypes exportFileTypes(const DesktopContext& context);
// The open dialog's file types: projects and groups together, then each.
FileTypes projectFileTypes(const DesktopContext& context);

} // namespace zorvika
