#include "desktop/main_window.h"

#include "base/message_keys.h"

#include "desktop/about_window.h"
#include "desktop/desktop_context.h"
#include "desktop/history_window.h"
#include "desktop/links.h"
#include "desktop/logos.h"
#include "desktop/procedures_window.h"
#include "analysis/module_kinds.h"
#include "output/snapshot_store.h"
#include "widgets/busy_box.h"
#include "widgets/design_layout.h"
#include "widgets/fitted_label.h"
#include "widgets/gui_font.h"
#include "widgets/gui_text.h"
#include "widgets/icon_button.h"
#include "widgets/results_model.h"
#include "widgets/results_view.h"
#include "widgets/text_fit.h"
#include "widgets/window_keys.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLineEdit>

namespace zorvika {

namespace {

constexpr int kDesignWidth = 10515;  // right edge of the list (75 + 10350) and 90
constexpr int kDesignHeight = 8685;  // bottom of the picture buttons (8295 + 300) and 90
constexpr QRect kFrame(75, 1065, 10350, 2610); // twips

// The eight property boxes inside the frame: caption key, box left, top,
// width, caption left (twips).
struct PropertyPlace {
    std::string_view key;
    int left, top, width, labelLeft;
    QRect box() const { return twipRect(left, top, width, 300); }
};
constexpr std::array<PropertyPlace, 8> kProperties = {{
    {keys::NameLabel, 1440, 270, 3120, 945},
    {keys::VersionLabel, 5265, 270, 540, 4650},
    {keys::ProductLabel, 6990, 270, 3270, 5895},
    {keys::DescriptionLabel, 1440, 660, 8820, 555},
    {keys::CommentsLabel, 1440, 1050, 8820, 600},
    {keys::CompanyLabel, 1440, 1440, 8820, 225},
    {keys::CopyrightLabel, 1440, 1830, 8820, 225},
    {keys::TrademarksLabel, 1440, 2220, 8820, 90},
}};
constexpr int kVersionBox = 1;

using Command = MainWindow::Command;

struct ButtonPlace {
    Command command;
    int left, top, width, height;
    const char* icon;
    std::string_view key; // the caption, or the tooltip of a button that shows only its icon
    bool iconOnly;
};
constexpr std::array<ButtonPlace, 12> kButtons = {{
    {Command::Choose, 90, 570, 2010, 405, "open", keys::Choose, false},
    {Command::History, 2190, 570, 1905, 405, "history", keys::VersionHistory, false},
    {Command::Export, 4185, 570, 1890, 405, "export", keys::Export, false},
    {Command::Exit, 6150, 570, 1335, 405, "exit", keys::Exit, false},
    {Command::Previous, 1980, 1065, 195, 195, nullptr, {}, false},
    {Command::Next, 2640, 1065, 195, 195, nullptr, {}, false},
    {Command::Help, 90, 8295, 300, 300, "help", keys::HelpTip, true},
    {Command::Forum, 480, 8295, 300, 300, "forum", keys::ForumTip, true},
    {Command::Home, 870, 8295, 300, 300, "home", keys::HomeTip, true},
    {Command::Mail, 1260, 8295, 300, 300, "mail", keys::MailTip, true},
    {Command::VersionCheck, 1650, 8295, 300, 300, "update", keys::UpdateTip, true},
    {Command::About, 2040, 8295, 300, 300, "about", keys::AboutTip, true},
}};

// The message key that says why a chosen file gives no selection.
std::string_view selectionErrorKey(SelectionError error)
{
    switch (error) {
    case SelectionError::Missing: return keys::OpenMissing;
    case SelectionError::NotRegular: return keys::OpenNotFile;
    case SelectionError::Unreadable: return keys::OpenFailed;
    case SelectionError::TooLarge: return keys::OpenTooLarge;
    case SelectionError::CopyNotWritten: return keys::CopyNotWritten;
    case SelectionError::NotGroup: return keys::NotGroup;
    case SelectionError::NotProject: return keys::NotProject;
    }
    return keys::NoProjects;
}


} // namespace

MainWindow::MainWindow(DesktopContext& context, QWidget* parent) : QWidget(parent), context_(context)
{
    makeControls();
    ensureWorkFiles(context_.folder());
    setTexts();
}

MainWindow::~MainWindow() = default;

QSize MainWindow::designSize() { return QSize(px(kDesignWidth), px(kDesignHeight)); }

void MainWindow::makeControls()
{
    setFont(windowFont());
    setWindowIcon(productIcon());
    // At its design size the window shows the design; it may grow, the list
    // taking the room, and never shrinks below it.
    layout_ = new DesignLayout(this, designSize());

    descriptionLabel_ = new FittedLabel(this);
    layout_->addWidget(descriptionLabel_, QRect(px(90), px(90), 0, 0), Follow::OwnSize);

    frame_ = new QGroupBox(this);
    frame_->setFont(windowFont(true));
    const QRect frame = twipRect(kFrame.x(), kFrame.y(), kFrame.width(), kFrame.height());
    frame_->setGeometry(frame);
    frameLayout_ = new DesignLayout(frame_, frame.size(), true);
    layout_->addWidget(frame_, frame, Follow::Wider, [this] { return frameLayout_->minimumSize().width(); });

    for (const ButtonPlace& b : kButtons) {
        auto* button = new IconButton(b.icon, this);
        const bool arrow = b.command == Command::Previous || b.command == Command::Next;
        button->setFont(windowFont(arrow));
        if (arrow) {
            button->setText(b.command == Command::Previous ? QStringLiteral("<") : QStringLiteral(">"));
            button->setStyleSheet(QStringLiteral("padding: 0px;"));
        }
        const Command command = b.command;
        connect(button, &QPushButton::clicked, this, [this, command] { run(command); });
        layout_->addWidget(button, twipRect(b.left, b.top, b.width, b.height),
                           b.top > kFrame.bottom() ? Follows(Follow::Bottom) : Follows(Follow::None));
        buttons_[static_cast<std::size_t>(command)] = button;
    }

    positionBox_ = new QLineEdit(frame_);
    positionBox_->setFont(windowFont(true));
    positionBox_->setFrame(false);
    positionBox_->setReadOnly(true);
    positionBox_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    positionBox_->setTextMargins(0, 0, 0, 0);
    positionBox_->setFocusPolicy(Qt::NoFocus);
    frameLayout_->addWidget(positionBox_, twipRect(2100, 0, 645, 195));

    for (std::size_t i = 0; i < kProperties.size(); ++i) {
        const PropertyPlace& p = kProperties[i];
        auto* label = new FittedLabel(frame_); // placed with its text
        label->move(px(p.labelLeft), px(p.top + 60));
        propertyLabels_[i] = label;
        auto* box = new QLineEdit(frame_);
        box->setFont(windowFont());
        box->setReadOnly(true);
        const QRect place = p.box();
        box->setGeometry(place);
        box->installEventFilter(this);
        const bool wholeRow = p.width > 5000;
        if (i == kVersionBox) {
            // The version shows whole: a long one widens its box, and the
            // rest of the row moves over.
            frameLayout_->addWidget(box, place, Follow::None, [box] { return neededWidth(box); });
        } else {
            frameLayout_->addWidget(box, place, wholeRow ? Follows(Follow::Wider) : Follows(Follow::None));
        }
        propertyBoxes_[i] = box;
        tipWhenCut(box);
    }

    model_ = new ResultsModel(this);
    view_ = new ResultsView(model_, this);
    layout_->addWidget(view_, twipRect(75, 3765, 10350, 4155), Follow::Wider | Follow::Taller);
    connect(view_, &ResultsView::columnClick, this, [this](int header) { model_->columnClicked(header - 1); });
    connect(view_, &ResultsView::openRow, this, [this](int row) { context_.runCommand(this, [&] { showProcedures(row); }); });

    totalsLabel_ = new FittedLabel(this, true);
    layout_->addWidget(totalsLabel_, QRect(px(75), px(8010), 0, 0), Follow::OwnSize | Follow::Bottom);
    promptLabel_ = new FittedLabel(this, true);
    // The hint's room ends where the list does; a longer one widens the window.
    layout_->addWidget(promptLabel_, QRect(px(2430), px(8355), px(kDesignWidth - 90) - px(2430), 0),
                       Follow::OwnSize | Follow::Bottom, [this] { return promptLabel_->neededWidth(); });

    // The arrows stand on the frame's top edge, over the progress box's neighbours.
    button(Command::Previous)->raise();
    button(Command::Next)->raise();

    addCommandKey(this, QKeySequence(Qt::Key_F1), [this] { run(Command::Help); });
    addCommandKey(this, QKeySequence::Open, [this] { run(Command::Choose); });
    addCommandKey(this, QKeySequence(Qt::CTRL | Qt::Key_E), [this] { run(Command::Export); });
    addCommandKey(this, QKeySequence(Qt::CTRL | Qt::Key_H), [this] { run(Command::History); });
    resize(designSize());
    layout_->activate();
    setReadingTabOrder(this);
}

void MainWindow::setTexts()
{
    setWindowTitle(context_.text(keys::Title));
    descriptionLabel_->setFittedText(context_.text(keys::Description));
    frame_->setTitle(context_.text(keys::Project));
    for (const ButtonPlace& b : kButtons) {
        if (b.key.empty())
            continue;
        IconButton* button = buttons_[static_cast<std::size_t>(b.command)];
        if (b.iconOnly)
            button->setIconOnlyText(context_.text(b.key));
        else
            button->setText(context_.text(b.key));
    }
    for (std::size_t i = 0; i < kProperties.size(); ++i) {
        const PropertyPlace& p = kProperties[i];
        propertyLabels_[i]->setFittedText(context_.text(p.key));
        // A long caption may reach to the frame's edge or the box before it in the row.
        const bool firstInRow = p.left == kProperties[0].left;
        const int leftmost = firstInRow ? px(60) : kProperties[i - 1].box().right() + px(60);
        propertyLabels_[i]->placeBefore(*frameLayout_, p.box().left(), leftmost);
    }
    promptLabel_->setFittedText(context_.text(keys::SortPrompt));
    model_->setLeadCaptions(context_.text(keys::ModuleColumn), context_.text(keys::TypeColumn));
    setListCommandTexts(view_, context_, true);
    positionBox_->setText(qtext(positionText(0, 0)));
    totalsLabel_->setFittedText(QString());
    relayout();
}

void MainWindow::relayout()
{
    frameLayout_->invalidate();
    layout_->invalidate();
    layout_->activate();
    frameLayout_->activate();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    ensureWorkFiles(context_.folder());
    context_.closeHelp();
    event->accept();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn)
        if (auto* box = qobject_cast<QLineEdit*>(watched))
            box->setSelection(0, static_cast<int>(box->text().size()));
    return QWidget::eventFilter(watched, event);
}

QString MainWindow::projectName() const { return propertyBoxes_[0]->text(); }
QString MainWindow::projectVersion() const { return propertyBoxes_[kVersionBox]->text(); }

void MainWindow::run(Command command)
{
    context_.runCommand(this, [&] { dispatch(command); });
}

void MainWindow::dispatch(Command command)
{
    switch (command) {
    case Command::Choose: chooseProject(); break;
    case Command::History: showHistory(); break;
    case Command::Export: exportResults(); break;
    case Command::Exit: close(); break;
    case Command::Previous: stepTo(previousStep(utf8(positionBox_->text()))); break;
    case Command::Next: stepTo(nextStep(utf8(positionBox_->text()), selection_.size())); break;
    case Command::Help: context_.openHelp(this); break;
    case Command::Forum: context_.openLink(this, links::kForum); break;
    case Command::Home: context_.openLink(this, links::kProductHome); break;
    case Command::Mail: context_.openLink(this, links::kSupportMail); break;
    case Command::VersionCheck: context_.openLink(this, links::kVersionCheck); break;
    case Command::About: showAbout(); break;
    }
}

void MainWindow::chooseProject()
{
    const QString chosen =
        context_.services().chooseFileToOpen(this, context_.text(keys::OpenTitle), projectFileTypes(context_));
    if (!chosen.isEmpty())
        chooseFile(chosen);
}

void MainWindow::chooseFile(const QString& fileName)
{
    BusyCursor busy;
    Result<Selection, SelectionError> result = makeSelection(localPath(fileName), context_.folder());
    if (!result || result->empty()) {
        // The earlier selection and its results stay; the user learns why nothing changed.
        // A working copy that could not be written says why: the system's reason.
        const bool copyFailed = !result && result.kind() == SelectionError::CopyNotWritten;
        context_.services().showMessage(this,
                                        context_.framedText(result ? keys::NoProjects : selectionErrorKey(result.kind()),
                                                            fileName, copyFailed ? qtext(context_.said(result.failure())) : QString()),
                                        MessageIcon::Warning);
        return;
    }
    selection_ = std::move(result).value();
    positionBox_->setText(qtext(positionText(1, selection_.size())));
    countProjectAt(0);
}

void MainWindow::stepTo(const std::optional<Step>& step)
{
    if (!step || step->index >= selection_.size())
        return;
    BusyCursor busy;
    countProjectAt(step->index);
    positionBox_->setText(qtext(step->progressText));
}

void MainWindow::countProjectAt(std::size_t k)
{
    if (k >= selection_.size())
        return;
    // The same road as the command line: one reading of this run's own
    // working-copy text gives the properties and the rows.
    shownProject_ = k;
    ProjectRun run = runProject(selection_, k, context_.messages());
    showProperties(run.info);
    showResults(run);
    if (!run.readable) {
        // Nothing of this project could be read: nothing to store.
        context_.warn(this, keys::ProjectUnreadable, run.readable.failure());
        return;
    }
    saveShownSnapshot();
}

void MainWindow::showProperties(const ProjectInfo& info)
{
    for (std::size_t i = 0; i < propertyBoxes_.size(); ++i) {
        propertyBoxes_[i]->setText(qtext(info.values[i]));
        propertyBoxes_[i]->setCursorPosition(0);
    }
    // The version box takes the width its text needs at once.
    relayout();
}

void MainWindow::showResults(ProjectRun& run)
{
    model_->clear();
    model_->setSortingEnabled(false);
    model_->appendRows(std::move(run.rows));
    totalsLabel_->setFittedText(qtext(run.totalsText));
    model_->setSortingEnabled(true);
}

void MainWindow::saveShownSnapshot()
{
    if (const auto saved = saveSnapshot(context_.folder(), utf8(projectName()), utf8(projectVersion()),
                                        model_->displayRows(), utf8(totalsLabel_->text()));
        !saved)
        context_.warn(this, keys::NotStored, saved.failure());
}

void MainWindow::exportResults()
{
    context_.exportResults(this, model_->displayRows(), utf8(projectName()), utf8(projectVersion()),
                           utf8(totalsLabel_->text()), countInputs(selection_, shownProject_, context_.folder().messageTable()));
}

void MainWindow::showHistory()
{
    HistoryWindow window(context_, utf8(projectName()), this);
    context_.services().showModal(window);
}

void MainWindow::showProcedures(int row)
{
    if (row < 0 || row >= model_->rowCount() || shownProject_ >= selection_.size())
        return;
    const ModuleRow& shown = model_->displayRow(row);
    ProceduresWindow window(context_, selection_.projectTexts[shownProject_],
                            selection_.projectFolders[shownProject_], shown.cells[ColModule],
                            shown.cells[ColType] == kTypeInvalid, utf8(projectName()),
                            countInputs(selection_, shownProject_, context_.folder().messageTable()), this);
    context_.services().showModal(window);
}

void MainWindow::showAbout()
{
    AboutWindow window(context_, this);
    context_.services().showModal(window);
}

} // namespace zorvika
