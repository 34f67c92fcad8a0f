#include "history/frm_pub_his.h"

#include "components/qt/utility.h"
#include "components/qt/window_text.h"
#include "history/frm_pub_trend.h"
#include "history/history_store.h"
#include "shell/frm_pub_main.h"
#include "widgets/fitted_label.h"
#include "widgets/gui_font.h"
#include "widgets/gui_text.h"
#include "widgets/results_model.h"
#include "widgets/results_view.h"
#include "widgets/super_button.h"
#include "widgets/text_fit.h"
#include "widgets/window_keys.h"

#include <QComboBox>

#include <algorithm>
#include <QSignalBlocker>

namespace zorvika {

namespace {

constexpr int kClientWidth = 10530;  // right edge of the list (90 + 10350) and 90
constexpr int kClientHeight = 5115;  // bottom of the totals line (4830 + 195) and 90

QByteArray nameData(const std::string& name) { return QByteArray(name.data(), static_cast<qsizetype>(name.size())); }

} // namespace

frmPubHis::frmPubHis(frmPubMain& main) : QDialog(&main), main_(main)
{
    buildLayout();
    Form_Load();
}

frmPubHis::~frmPubHis() = default;

QSize frmPubHis::clientSize() { return QSize(px(kClientWidth), px(kClientHeight)); }

void frmPubHis::buildLayout()
{
    makeFixedDialog(*this, clientSize());
    setWindowIcon(main_.windowIcon());

    const std::array<int, 2> labelLeft = {90, 3105};
    const std::array<QRect, 2> boxes = {twipRect(690, 135, 1935, 315), twipRect(3720, 135, 855, 315)};
    for (std::size_t i = 0; i < 2; ++i) {
        lbl_[i] = new FittedLabel(this);
        lbl_[i]->move(px(labelLeft[i]), px(195));
        cbb_[i] = new QComboBox(this);
        cbb_[i]->setFont(windowFont());
        cbb_[i]->setEditable(false);
        cbb_[i]->setGeometry(boxes[i]);
        const int index = static_cast<int>(i);
        connect(cbb_[i], &QComboBox::currentIndexChanged, this, [this, index] { cbb_Click(index); });
    }
    // Below the boxes' own height the drop-down lists would clip their text.
    for (QComboBox* box : cbb_)
        box->setMinimumHeight(px(315));

    struct Place {
        int left, top, width, height;
        const char* icon;
    };
    const std::array<Place, 5> places = {{
        {5055, 90, 1890, 405, "export"},
        {7035, 90, 1440, 405, "close"},
        {2715, 142, 300, 300, "delete-project"},
        {4665, 142, 300, 300, "delete-version"},
        {8565, 90, 1875, 405, "growth"},
    }};
    for (std::size_t i = 0; i < places.size(); ++i) {
        const Place& p = places[i];
        auto* button = new SuperButton(static_cast<int>(i), this);
        button->setFont(windowFont());
        button->setGeometry(twipRect(p.left, p.top, p.width, p.height));
        button->setProgramIcon(p.icon);
        connect(button, &SuperButton::clickedIndex, this, &frmPubHis::sbt_Click);
        sbt_[i] = button;
    }

    model_ = new ResultsModel(this);
    lsv_ = new ResultsView(model_, this);
    lsv_->setGeometry(twipRect(90, 585, 10350, 4155));
    connect(lsv_, &ResultsView::columnClick, this, &frmPubHis::lsv_ColumnClick);

    lblT_ = new FittedLabel(this, true);
    lblT_->move(px(105), px(4830));
    lblT_->setFittedText(QString());

    for (QComboBox* box : cbb_)
        tipWhenCut(box);
    addCommandKey(this, QKeySequence(Qt::CTRL | Qt::Key_E), [this] { sbt_Click(HisExport); });
    setReadingTabOrder(this);
}

void frmPubHis::Form_Load()
{
    setWindowTitle(main_.upfGetMsg(QStringLiteral("HIS")));
    lbl_[0]->setFittedText(main_.upfGetMsg(QStringLiteral("PROJECT2")));
    lbl_[1]->setFittedText(main_.upfGetMsg(QStringLiteral("VERSION2")));
    // A long caption takes the room it needs before its box, not beyond the button before it.
    lbl_[0]->keepBefore(cbb_[0], px(60));
    lbl_[1]->keepBefore(cbb_[1], sbt_[HisDeleteProject]->geometry().right() + px(60));
    sbt_[HisExport]->setText(main_.upfGetMsg(QStringLiteral("OUTPUT")));
    sbt_[HisClose]->setText(main_.upfGetMsg(QStringLiteral("CW")));
    sbt_[HisTrend]->setText(main_.upfGetMsg(QStringLiteral("TREND")));
    sbt_[HisDeleteProject]->setIconOnlyText(main_.upfGetMsg(QStringLiteral("TIP DELPROJECT")));
    sbt_[HisDeleteVersion]->setIconOnlyText(main_.upfGetMsg(QStringLiteral("TIP DELVERSION")));
    model_->setLeadCaptions(main_.upfGetMsg(QStringLiteral("MODULE")), main_.upfGetMsg(QStringLiteral("TYPE")));
    main_.setListCommandTexts(lsv_);
    ApplyWindowTexts(this, main_.folder().messageTable());

    {
        const QSignalBlocker block(cbb_[0]);
        cbb_[0]->clear();
        for (const std::string& project : listProjects(main_.folder()))
            cbb_[0]->addItem(qtext(project), nameData(project));
    }
    selectFirst(0);
}

void frmPubHis::selectFirst(int index)
{
    QComboBox* box = cbb(index);
    if (box->count() == 0)
        return;
    {
        const QSignalBlocker block(box);
        box->setCurrentIndex(0);
    }
    cbb_Click(index);
}

std::string frmPubHis::selectedName(int index) const
{
    const QComboBox* box = cbb(index);
    if (box->currentIndex() < 0)
        return {};
    const QByteArray raw = box->currentData().toByteArray();
    return std::string(raw.constData(), static_cast<std::size_t>(raw.size()));
}

void frmPubHis::cbb_Click(int index)
{
    const std::string project = selectedName(0);
    if (index == 0) {
        {
            const QSignalBlocker block(cbb_[1]);
            cbb_[1]->clear();
            if (!project.empty()) {
                for (const std::string& version : listVersions(main_.folder(), project))
                    cbb_[1]->addItem(qtext(version), nameData(version));
            }
        }
        model_->clear();
        selectFirst(1);
        return;
    }
    model_->clear();
    model_->setSortingEnabled(false);
    lblT_->setFittedText(QString());
    const std::string version = selectedName(1);
    if (!project.empty() && !version.empty()) {
        Snapshot snapshot =
            loadSnapshot(main_.folder(), project, version, utf8(main_.upfGetMsg(QStringLiteral("TOTAL2"))));
        if (!snapshot.error.empty())
            main_.warn(this, "NOREAD", snapshot.error);
        model_->appendRows(std::move(snapshot.rows));
        lblT_->setFittedText(qtext(snapshot.totalsLabel));
    }
    model_->setSortingEnabled(true);
}

void frmPubHis::sbt_Click(int index)
{
    main_.runCommand(this, [&] { dispatch(index); });
}

void frmPubHis::dispatch(int index)
{
    switch (index) {
    case HisExport:
        main_.upsOutput(QStringLiteral("H"));
        break;
    case HisClose:
        close();
        break;
    case HisDeleteProject: {
        // A whole history goes at one click: the user says yes first.
        if (cbb_[0]->currentIndex() >= 0
            && !main_.utility().AskQuestion(this, main_.upfGetMsg(QStringLiteral("ASK DELPROJECT"))))
            return;
        if (!deleteProject(main_.folder(), selectedName(0))) {
            main_.utility().ShowMessage(this, main_.upfGetMsg(QStringLiteral("DEL")), MessageIcon::Exclamation);
            return;
        }
        {
            const QSignalBlocker block(cbb_[0]);
            cbb_[0]->removeItem(cbb_[0]->currentIndex());
        }
        model_->clear();
        if (cbb_[0]->count() > 0) {
            selectFirst(0);
        } else {
            // Nothing left to show: no version of a deleted project, no totals of a deleted snapshot.
            const QSignalBlocker block(cbb_[1]);
            cbb_[1]->clear();
            lblT_->setFittedText(QString());
        }
        break;
    }
    case HisDeleteVersion: {
        if (!deleteVersion(main_.folder(), selectedName(0), selectedName(1))) {
            main_.utility().ShowMessage(this, main_.upfGetMsg(QStringLiteral("DEL")), MessageIcon::Exclamation);
            return;
        }
        if (cbb_[1]->currentIndex() >= 0) {
            const QSignalBlocker block(cbb_[1]);
            cbb_[1]->removeItem(cbb_[1]->currentIndex());
        }
        model_->clear();
        if (cbb_[1]->count() > 0)
            selectFirst(1);
        else
            lblT_->setFittedText(QString());
        break;
    }
    case HisTrend:
        openTrend();
        break;
    default:
        break;
    }
}

void frmPubHis::openTrend()
{
    const std::string project = selectedName(0);
    if (project.empty()) {
        main_.utility().ShowMessage(this, main_.upfGetMsg(QStringLiteral("NO RECORD")), MessageIcon::Information);
        return;
    }
    frmPubTrend window(main_, project, this);
    connect(&window, &frmPubTrend::historyChanged, this, &frmPubHis::relist);
    main_.utility().ShowModal(window);
}

void frmPubHis::relist()
{
    const std::string project = selectedName(0);
    const std::string version = selectedName(1);
    {
        const QSignalBlocker block(cbb_[0]);
        cbb_[0]->clear();
        for (const std::string& name : listProjects(main_.folder()))
            cbb_[0]->addItem(qtext(name), nameData(name));
        cbb_[0]->setCurrentIndex(std::max(0, cbb_[0]->findData(nameData(project))));
    }
    cbb_Click(0);
    const int kept = cbb_[1]->findData(nameData(version));
    if (kept > 0) {
        {
            const QSignalBlocker block(cbb_[1]);
            cbb_[1]->setCurrentIndex(kept);
        }
        cbb_Click(1);
    }
}

void frmPubHis::lsv_ColumnClick(int header) { model_->columnClicked(header - 1); }

std::vector<ModuleRow> frmPubHis::displayRows() const { return model_->displayRows(); }
QString frmPubHis::projectText() const { return cbb_[0]->currentText(); }
QString frmPubHis::versionText() const { return cbb_[1]->currentText(); }
QString frmPubHis::totalsText() const { return lblT_->text(); }

} // namespace zorvika
