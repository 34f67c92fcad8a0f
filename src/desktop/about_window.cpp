#include "desktop/about_window.h"

#include "base/message_keys.h"

#include "desktop/links.h"
#include "desktop/logos.h"
#include "widgets/clickable_picture.h"
#include "widgets/fitted_label.h"
#include "widgets/gui_font.h"
#include "widgets/icon_button.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>

namespace zorvika {

namespace {

constexpr int kDesignWidth = 6480;   // the frame's right edge (90 + 6300) and 90
constexpr int kDesignHeight = 3045;  // the frame's bottom edge (0 + 2955) and 90

FittedLabel* makeLabel(QWidget* parent, int left, int top, const QString& text, bool bold = false)
{
    auto* label = new FittedLabel(parent, bold);
    label->move(px(left), px(top));
    label->setFittedText(text);
    return label;
}

} // namespace

AboutWindow::AboutWindow(DesktopContext& context, QWidget* parent)
    : ProgramDialog(context, parent, designSize(), Sizing::Fixed)
{
    makeControls();
}

AboutWindow::~AboutWindow() = default;

QSize AboutWindow::designSize() { return QSize(px(kDesignWidth), px(kDesignHeight)); }

void AboutWindow::makeControls()
{
    setWindowTitle(text(keys::AboutTitle) + text(keys::Title));
    // The frame holds every control; it stands where the design puts it.
    frame_ = new QGroupBox(this);
    frame_->setFont(windowFont());
    frame_->setGeometry(twipRect(90, 0, 6300, 2955));
    place(frame_, frame_->geometry());

    productLogo_ = new ClickablePicture(frame_);
    productLogo_->setGeometry(twipRect(90, 180, 780, 780));
    productLogo_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    productLogo_->setPixmap(zorvika::productLogo(48));
    connect(productLogo_, &ClickablePicture::clicked, this, [this] { context().openLink(this, links::kProductHome); });

    productLabel_ = makeLabel(frame_, 960, 180, QStringLiteral("ZORVIKA"), true);
    memberLabel_ = makeLabel(frame_, 960, 465, text(keys::Tagline));
    versionLabel_ = makeLabel(frame_, 960, 750, text(keys::ProgramVersion));

    companyLogo_ = new ClickablePicture(frame_);
    companyLogo_->setGeometry(twipRect(4170, 90, 2115, 840));
    companyLogo_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    companyLogo_->setPixmap(zorvika::companyLogo());
    connect(companyLogo_, &ClickablePicture::clicked, this, [this] { context().openLink(this, links::kCompanyHome); });

    copyrightLabel_ = makeLabel(frame_, 90, 1035, text(keys::Copyright));
    // The description wraps within its width and grows downwards.
    descriptionLabel_ = new QLabel(text(keys::AboutText), frame_);
    descriptionLabel_->setFont(windowFont());
    descriptionLabel_->move(px(90), px(1320));
    descriptionLabel_->setWordWrap(true);
    descriptionLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    descriptionLabel_->resize(px(6135), std::max(px(195), descriptionLabel_->heightForWidth(px(6135))));

    for (int top : {1995, 2370}) {
        auto* line = new QFrame(frame_);
        line->setFrameShape(QFrame::HLine);
        line->setFrameShadow(QFrame::Sunken);
        line->setGeometry(0, px(top) - 1, px(6280), 2);
    }

    struct Place {
        IconButton** button;
        int left;
        const char* icon;
        std::string_view key;
        QString link; // empty: the button closes the window
    };
    const Place places[] = {
        {&homeButton_, 2385, "home", keys::Home, links::kCompanyHome},
        {&mailButton_, 3690, "mail", keys::Mail, links::kSupportMail},
        {&closeButton_, 4995, "close", keys::AboutClose, QString()},
    };
    for (const Place& p : places) {
        auto* button = new IconButton(p.icon, frame_);
        button->setFont(windowFont());
        button->setGeometry(twipRect(p.left, 2460, 1215, 405));
        button->setText(text(p.key));
        const QString link = p.link;
        connect(button, &QPushButton::clicked, this, [this, link] {
            if (link.isEmpty())
                close();
            else
                context().openLink(this, link);
        });
        *p.button = button;
    }
    finishControls();
}

} // namespace zorvika
