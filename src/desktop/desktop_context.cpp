#include "desktop/desktop_context.h"

#include "base/message_keys.h"

#include "components/spreadsheet_factory.h"
#include "desktop/help_window.h"
#include "widgets/busy_box.h"
#include "widgets/gui_text.h"
#include "widgets/results_view.h"

#include "base/platform.h"

#include <QApplication>

namespace zorvika {

DesktopContext::DesktopContext(ProgramFolder folder, DesktopServices& services, SpreadsheetMaker spreadsheets)
    : folder_(std::move(folder)),
      messages_(folder_),
      services_(services),
      spreadsheets_(spreadsheets ? std::move(spreadsheets) : SpreadsheetMaker(makeSystemSpreadsheet))
{
}

DesktopContext::~DesktopContext() { closeHelp(); }

HelpWindow* DesktopContext::helpWindow() const { return help_.data(); }

void DesktopContext::openHelp(QWidget*)
{
    const QString title = QString::fromLatin1(kHelpTitle);
    if (services_.countWindowsTitled(title) >= 1) {
        // The help is open already: bring it forward instead of opening a second one.
        if (QWidget* open = findTopLevelWindow(title)) {
            if (open->isMinimized())
                open->showNormal();
            open->raise();
            open->activateWindow();
        }
        return;
    }
    std::filesystem::path page = folder_.help();
    const std::string language = messages_.get(keys::Language);
    if (!language.empty() && language.find_first_of("/\\.") == std::string::npos) {
        std::error_code ec;
        const std::filesystem::path translated = page.parent_path() / pathFromUtf8("index." + language + ".html");
        if (std::filesystem::is_regular_file(translated, ec))
            page = translated;
    }
    auto* window = new HelpWindow(page, text(keys::NoHelp));
    help_ = window;
    window->show();
}

void DesktopContext::closeHelp()
{
    if (help_)
        help_->close();
}

QString DesktopContext::text(std::string_view key) const { return qtext(messages_.get(key)); }

QString DesktopContext::framedText(std::string_view key, const QString& subject, const QString& reason) const
{
    QString framed = text(key);
    for (const QString& part : {subject, reason})
        if (!part.isEmpty())
            framed += QLatin1Char('\n') + part;
    return framed;
}

void DesktopContext::warn(QWidget* owner, std::string_view key, const std::string& detail) const
{
    services_.showMessage(owner, framedText(key, QString(), qtext(detail)), MessageIcon::Warning);
}

std::string DesktopContext::causeWords(Cause cause) const
{
    switch (cause) {
    case Cause::NoSuchFile:
        return messages_.get(keys::NoSuchFile);
    case Cause::PermissionDenied:
        return messages_.get(keys::PermissionDenied);
    case Cause::NotRegularFile:
        return messages_.get(keys::NotRegularFile);
    case Cause::DiskFull:
        return messages_.get(keys::DiskFull);
    case Cause::NotRepository:
        return messages_.get(keys::NotRepository);
    case Cause::Other:
        break;
    }
    return {};
}

void DesktopContext::runCommand(QWidget* owner, const std::function<void()>& command) const
{
    // A command that fails ends there, told in a warning; the windows and the stored snapshots stay.
    try {
        command();
    } catch (const std::exception& e) {
        services_.showMessage(owner, framedText(keys::CommandFailed, QString(), qtext(e.what())), MessageIcon::Warning);
    }
}

void DesktopContext::openLink(QWidget* owner, const QString& target) const
{
    if (services_.openLink(target))
        return;
    const bool mail = target.startsWith(QLatin1String("mailto:"));
    QString address = target;
    if (mail)
        address.remove(0, static_cast<qsizetype>(std::string_view("mailto:").size()));
    services_.showMessage(owner, framedText(mail ? keys::NoMailer : keys::NoBrowser, address), MessageIcon::Warning);
}

void setListCommandTexts(ResultsView* view, const DesktopContext& context, bool opens)
{
    view->setCommandTexts({context.text(keys::SortColumn), context.text(keys::SortNumbers), context.text(keys::SortBy),
                           context.text(keys::CopyRows), opens ? context.text(keys::OpenProcedures) : QString()});
}

FileTypes exportFileTypes(const DesktopContext& context)
{
    return {{context.text(keys::TextFileType), QStringLiteral("*.txt")},
            {context.text(keys::CsvFileType), QStringLiteral("*.csv")},
            {context.text(keys::XlsFileType), QStringLiteral("*.xls")},
            {context.text(keys::XlsxFileType), QStringLiteral("*.xlsx")},
            {context.text(keys::AllFilesType), QStringLiteral("*.*")}};
}

FileTypes projectFileTypes(const DesktopContext& context)
{
    return {{context.text(keys::ProjectFileTypes), QStringLiteral("*.vbp *.vbg")},
            {context.text(keys::ProjectFileType), QStringLiteral("*.vbp")},
            {context.text(keys::GroupFileType), QStringLiteral("*.vbg")}};
}

void DesktopContext::exportResults(QWidget* owner, const std::vector<ModuleRow>& rows, const std::string& name,
                                   const std::string& version, const std::string& totalsText,
                                   const CountInputs& inputs)
{
    const QString proposed = qtext(proposedFileName(name, version, todayText()));
    exportList(
        owner, rows.empty(), proposed,
        [&](const std::filesystem::path& file, Spreadsheet& sheet) {
            return writeExport(file, rows, totalsText, messages_.totalsWords(), sheet);
        },
        inputs);
}

void DesktopContext::exportList(QWidget* owner, bool empty, const QString& proposed, const ListWriter& write,
                                CountInputs inputs)
{
    if (empty) {
        services_.showMessage(owner, text(keys::NothingToExport), MessageIcon::Information);
        return;
    }
    int type = exportType_;
    const QString path = services_.chooseFileToSave(owner, text(keys::ExportTitle), proposed, exportFileTypes(*this), type);
    if (path.isEmpty())
        return;
    exportType_ = type;
    inputs.files.push_back(folder_.messageTable());
    if (const Outcome target = checkExportTarget(localPath(path), inputs); !target) {
        // Never written over what the list was read from.
        services_.showMessage(owner, framedText(keys::ExportFailed, path, qtext(said(target.failure()))), MessageIcon::Warning);
        return;
    }

    Result<void, ExportError> written;
    {
        BusyCursor busy;
        std::unique_ptr<Spreadsheet> sheet = spreadsheets_ ? spreadsheets_() : nullptr;
        NoSpreadsheet none;
        const std::filesystem::path file = localPath(path);
        const ExportFormat format = exportFormatFor(utf8Of(file));
        if (format == ExportFormat::Spreadsheet || format == ExportFormat::Xlsx) {
            // A spreadsheet takes seconds (the spreadsheet application starts):
            // a small modal box says so while the windows keep painting.
            written = runBusy(owner, text(keys::WritingSpreadsheet), [&] { return write(file, sheet ? *sheet : none); });
        } else {
            written = write(file, sheet ? *sheet : none);
        }
    }
    if (written) {
        services_.showMessage(owner, text(keys::Exported), MessageIcon::Information);
        return;
    }
    switch (written.kind()) {
    case ExportError::NoRecord:
        services_.showMessage(owner, text(keys::NothingToExport), MessageIcon::Information);
        break;
    case ExportError::NoSpreadsheet:
        services_.showMessage(owner, text(keys::NoSpreadsheet), MessageIcon::None);
        break;
    case ExportError::Failed:
        // The file and the system's reason, never a success that did not happen.
        services_.showMessage(owner, framedText(keys::ExportFailed, path, qtext(said(written.failure()))), MessageIcon::Warning);
        break;
    }
}

} // namespace zorvika
