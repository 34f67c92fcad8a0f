#pragma once
// The main window: every command, the project's properties, the results
// list and its totals line. It lives as long as the program.
#include "shell/project_run.h"
#include "shell/selection.h"

#include <QWidget>

#include <array>
#include <optional>
#include <string>
#include <vector>

class QGroupBox;
class QLineEdit;

namespace zorvika {

class DesktopContext;
class DesignLayout;
class FittedLabel;
class IconButton;
class ResultsModel;
class ResultsView;
class HistoryWindow;

class MainWindow : public QWidget {
    Q_OBJECT
public:
    // The window's commands, each on a button of its own.
    enum class Command { Choose, History, Export, Exit, Previous, Next, Help, Forum, Home, Mail, VersionCheck, About };

    explicit MainWindow(DesktopContext& context, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The client size at which the layout shows the design: 10515 by 8685 twips.
    static QSize designSize();

    // Opens a project or group file as choosing it in the open dialog does.
    void chooseFile(const QString& fileName);
    // Runs a command as its button does.
    void run(Command command);

    // The shown project's name and version, as the property boxes show them.
    QString projectName() const;
    QString projectVersion() const;

    // Controls, for tests.
    IconButton* button(Command command) const { return buttons_.at(static_cast<std::size_t>(command)); }
    QLineEdit* propertyBox(int index) const { return propertyBoxes_.at(static_cast<std::size_t>(index)); }
    FittedLabel* propertyLabel(int index) const { return propertyLabels_.at(static_cast<std::size_t>(index)); }
    QLineEdit* positionBox() const { return positionBox_; }
    ResultsView* resultsView() const { return view_; }
    ResultsModel* results() const { return model_; }
    FittedLabel* totalsLabel() const { return totalsLabel_; }
    FittedLabel* descriptionLabel() const { return descriptionLabel_; }
    FittedLabel* promptLabel() const { return promptLabel_; }
    QGroupBox* projectFrame() const { return frame_; }
    DesktopContext& context() const { return context_; }
    const Selection& selection() const { return selection_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void makeControls();
    void setTexts();
    // Places every control again after a text changed the room it needs.
    void relayout();
    void dispatch(Command command);

    void chooseProject();
    void stepTo(const std::optional<Step>& step);
    void countProjectAt(std::size_t k);
    void showProperties(const ProjectInfo& info);
    void showResults(ProjectRun& run);
    void saveShownSnapshot();
    void exportResults();
    void showHistory();
    void showAbout();
    // The procedures of the module on row `row` of the list.
    void showProcedures(int row);

    DesktopContext& context_;
    Selection selection_;
    std::size_t shownProject_ = 0; // the project of the selection whose rows the list shows

    DesignLayout* layout_ = nullptr;
    std::array<IconButton*, 12> buttons_{};
    std::array<QLineEdit*, 8> propertyBoxes_{};
    std::array<FittedLabel*, 8> propertyLabels_{};
    FittedLabel* descriptionLabel_ = nullptr;
    QGroupBox* frame_ = nullptr;
    DesignLayout* frameLayout_ = nullptr;
    QLineEdit* positionBox_ = nullptr;
    ResultsModel* model_ = nullptr;
    ResultsView* view_ = nullptr;
    FittedLabel* totalsLabel_ = nullptr;
    FittedLabel* promptLabel_ = nullptr;
};

} // namespace zorvika
