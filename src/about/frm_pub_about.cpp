#include "about/frm_pub_about.h"

#include "about/logos.h"
#include "components/qt/utility.h"
#include "components/qt/window_text.h"
#include "shell/frm_pub_main.h"
#include "shell/links.h"
#include "widgets/click_label.h"
#include "widgets/fitted_label.h"
#include "widgets/gui_font.h"
#include "widgets/super_button.h"
#include "widgets/window_keys.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>

namespace zorvika {

namespace {

constexpr int kClientWidth = 6480;   // the frame's right edge (90 + 6300) and 90
constexpr int kClientHeight = 3045;  // the frame's bottom edge (0 + 2955) and 90

FittedLabel* makeLabel(QWidget* parent, int left, int top, bool bold = false)
{
    auto* label = new FittedLabel(parent, bold);
    label->move(px(left), px(top));
    return label;
}

} // namespace

frmPubAbout::frmPubAbout(frmPubMain& main) : QDialog(&main), main_(main)
{
    buildLayout();
    Form_Load();
}

frmPubAbout::~frmPubAbout() = default;

QSize frmPubAbout::clientSize() { return QSize(px(kClientWidth), px(kClientHeight)); }

void frmPubAbout::buildLayout()
{
    makeFixedDialog(*this, clientSize());

    fra_ = new QGroupBox(this);
    fra_->setFont(windowFont());
    fra_->setGeometry(twipRect(90, 0, 6300, 2955));

    imgProdLogo_ = new ClickLabel(0, fra_);
    imgProdLogo_->setGeometry(twipRect(90, 180, 780, 780));
    imgProdLogo_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    imgProdLogo_->setPixmap(productLogo(48));
    connect(imgProdLogo_, &ClickLabel::clickedIndex, this, &frmPubAbout::imgProdLogo_Click);

    Label1_ = makeLabel(fra_, 960, 180, true);
    Label1_->setFittedText(QStringLiteral("ZORVIKA"));
    lblMem_ = makeLabel(fra_, 960, 465);
    lblVer_ = makeLabel(fra_, 960, 750);

    imgCompLogo_ = new ClickLabel(1, fra_);
    imgCompLogo_->setGeometry(twipRect(4170, 90, 2115, 840));
    imgCompLogo_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    imgCompLogo_->setPixmap(companyLogo());
    connect(imgCompLogo_, &ClickLabel::clickedIndex, this, &frmPubAbout::imgCompLogo_Click);

    lblCopy_ = makeLabel(fra_, 90, 1035);
    lblDesc_ = new QLabel(fra_);
    lblDesc_->setFont(windowFont());
    lblDesc_->move(px(90), px(1320));
    lblDesc_->setWordWrap(true);
    lblDesc_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    for (int top : {1995, 2370}) {
        auto* line = new QFrame(fra_);
        line->setFrameShape(QFrame::HLine);
        line->setFrameShadow(QFrame::Sunken);
        line->setGeometry(0, px(top) - 1, px(6280), 2);
    }

    struct Place {
        SuperButton** button;
        int left;
        const char* icon;
    };
    const Place places[] = {
        {&sbtWeb_, 2385, "home"},
        {&sbtMailer_, 3690, "mail"},
        {&sbtClose_, 4995, "close"},
    };
    for (const Place& p : places) {
        *p.button = new SuperButton(0, fra_);
        (*p.button)->setFont(windowFont());
        (*p.button)->setGeometry(twipRect(p.left, 2460, 1215, 405));
        (*p.button)->setProgramIcon(p.icon);
    }
    connect(sbtWeb_, &SuperButton::clicked, this, &frmPubAbout::sbtWeb_Click);
    connect(sbtMailer_, &SuperButton::clicked, this, &frmPubAbout::sbtMailer_Click);
    connect(sbtClose_, &SuperButton::clicked, this, &frmPubAbout::sbtClose_Click);
    setReadingTabOrder(this);
}

void frmPubAbout::Form_Load()
{
    setWindowIcon(main_.windowIcon());
    ApplyWindowTexts(this, main_.folder().messageTable());
    setWindowTitle(main_.upfGetMsg(QStringLiteral("ABOUT")) + main_.upfGetMsg(QStringLiteral("TITLE")));
    lblCopy_->setFittedText(main_.upfGetMsg(QStringLiteral("COPYRIGHT")));
    lblMem_->setFittedText(main_.upfGetMsg(QStringLiteral("MEMBER")));
    lblVer_->setFittedText(main_.upfGetMsg(QStringLiteral("VERS")));
    // The description wraps within its width and grows downwards.
    lblDesc_->setText(main_.upfGetMsg(QStringLiteral("ABOUT DESC")));
    lblDesc_->resize(px(6135), std::max(px(195), lblDesc_->heightForWidth(px(6135))));
    sbtClose_->setText(main_.upfGetMsg(QStringLiteral("CLOSE")));
    sbtMailer_->setText(main_.upfGetMsg(QStringLiteral("BACK")));
    sbtWeb_->setText(main_.upfGetMsg(QStringLiteral("HOME")));
}

void frmPubAbout::imgCompLogo_Click(int) { main_.openLink(this, links::kCompanyHome); }
void frmPubAbout::imgProdLogo_Click(int) { main_.openLink(this, links::kProductHome); }
void frmPubAbout::sbtWeb_Click() { imgCompLogo_Click(1); }
void frmPubAbout::sbtMailer_Click() { main_.openLink(this, links::kSupportMail); }
void frmPubAbout::sbtClose_Click() { close(); }

} // namespace zorvika
