#pragma once
// The main window: every command, the project's properties, the results
// list and its totals line. It lives as long as the program.
#include "analysis/module_row.h"
#include "components/spreadsheet.h"
#include "output/export.h"
#include "shell/message_table.h"
#include "shell/project_run.h"
#include "shell/selection.h"
#include "widgets/fitted_label.h"

#include <QPointer>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QGroupBox;
class QLineEdit;

namespace zorvika {

class Utility;
class SuperButton;
class ResultsModel;
class ResultsView;
class HelpWindow;
class frmPubHis;

using SpreadsheetMaker = std::function<std::unique_ptr<Spreadsheet>()>;
// Writes one list's export file at the chosen path.
using ListWriter = std::function<ExportOutcome(const std::filesystem::path&, Spreadsheet&)>;

// Button indexes of `sbt`.
enum MainButton : int {
    BtnChoose = 0,
    BtnHistory = 1,
    BtnHelp = 2,
    BtnForum = 3,
    BtnHome = 4,
    BtnMail = 5,
    BtnExport = 7,
    BtnVersionCheck = 8,
    BtnAbout = 9,
    BtnPrevious = 10,
    BtnNext = 11,
    BtnExit = 12,
};

class frmPubMain : public QWidget {
    Q_OBJECT
public:
    // `folder` holds the message table, the working copies and the store;
    // `utility` answers the dialogs, links and message boxes.
    frmPubMain(ProgramFolder folder, Utility& utility, SpreadsheetMaker spreadsheets = {}, QWidget* parent = nullptr);
    ~frmPubMain() override;

    // The client size that the layout gives: 10515 by 8685 twips.
    static QSize clientSize();

    // `upfGetMsg`: the message table's text for a key (empty when there is none).
    QString upfGetMsg(const QString& astrKeyName) const;
    // The click of button `index` of `sbt`.
    void sbt_Click(int index);
    // `upsOutput`: exports the main window's list ("M") or the history window's ("H").
    void upsOutput(const QString& astrWindow);
    // The export of any list: "NO RECORD" when it is empty, else the save
    // dialog proposing `proposed`, the file written by `write`, and the
    // message that says how that went, shown over `owner`.
    void exportList(QWidget* owner, bool empty, const QString& proposed, const ListWriter& write);
    // The text of `key`, then the subject (a file) and the reason, each on a line of its own.
    QString framedMsg(const char* key, const QString& subject, const QString& reason = QString()) const;
    // The texts of a list's context menu, from the message table.
    void setListCommandTexts(ResultsView* view) const;
    // Opens a web or mail link; when the desktop cannot, a warning over `owner` says so.
    void openLink(QWidget* owner, const QString& target);
    // Opens a project or group file as choosing it in the open dialog does.
    void chooseFile(const QString& fileName);
    // The open dialog's file types: projects and groups together, then each.
    QString projectFileFilter() const;
    // Runs one command of a window over `owner`; an error it raises ends it
    // with a warning box instead of ending the program.
    void runCommand(QWidget* owner, const std::function<void()>& command);
    // A warning box over `owner`: the message table's text for `key`, then `detail`.
    void warn(QWidget* owner, const char* key, const std::string& detail);

    // Controls, for the windows that read them and for tests.
    SuperButton* sbt(int index) const;
    QLineEdit* txt(int index) const { return txt_.at(static_cast<std::size_t>(index)); }
    QLineEdit* txtCount() const { return txtCount_; }
    ResultsView* lsv() const { return lsv_; }
    ResultsModel* results() const { return model_; }
    FittedLabel* lblT() const { return lblT_; }
    FittedLabel* lblDesc() const { return lblDesc_; }
    FittedLabel* lblComment() const { return lblComment_; }
    FittedLabel* propertyLabel(int index) const { return propertyLabels_.at(static_cast<std::size_t>(index)); }
    QGroupBox* fra() const { return fra_; }
    frmPubHis* history() const { return history_; }
    HelpWindow* helpWindow() const;

    const ProgramFolder& folder() const { return folder_; }
    const MessageTable& messages() const { return messages_; }
    Utility& utility() const { return utility_; }
    const Selection& selection() const { return selection_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();
    void dispatch(int index);
    void Form_Load();
    void Form_Unload();
    void txt_GotFocus(int index);
    void lsv_ColumnClick(int header);

    void choose();
    void previous();
    void next();
    void stepTo(const std::optional<Step>& step);
    void countProjectAt(std::size_t k);
    void upsShowProjectInfo(const ProjectInfo& info);
    void upsCountProject(ProjectRun& run);
    void upsSaveSnapshot();


    void openHelp();
    void openHistory();
    void openAbout();
    // A double click on row `row` of the list: the procedures of its module.
    void openProcedures(int row);

    ProgramFolder folder_;
    MessageTable messages_;
    Utility& utility_;
    SpreadsheetMaker spreadsheets_;
    Selection selection_;

    std::array<SuperButton*, 13> sbt_{};
    std::array<QLineEdit*, 8> txt_{};
    std::array<FittedLabel*, 8> propertyLabels_{};
    FittedLabel* lblDesc_ = nullptr;
    QGroupBox* fra_ = nullptr;
    QLineEdit* txtCount_ = nullptr;
    ResultsModel* model_ = nullptr;
    ResultsView* lsv_ = nullptr;
    FittedLabel* lblT_ = nullptr;
    FittedLabel* lblComment_ = nullptr;
    frmPubHis* history_ = nullptr;
    QPointer<HelpWindow> help_;
    std::size_t shownProject_ = 0; // the project of the selection whose rows the list shows
};

} // namespace zorvika
