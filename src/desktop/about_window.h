#pragma once
// The about window: the product's name, logos, version, copyright and
// description, and the links to the home pages and the support mailbox.
#include "desktop/program_dialog.h"

class QGroupBox;
class QLabel;

namespace zorvika {

class ClickablePicture;
class FittedLabel;
class IconButton;

class AboutWindow : public ProgramDialog {
    Q_OBJECT
public:
    AboutWindow(DesktopContext& context, QWidget* parent);
    ~AboutWindow() override;

    // The client size of the design: 6480 by 3045 twips.
    static QSize designSize();

    QGroupBox* frame() const { return frame_; }
    ClickablePicture* productLogo() const { return productLogo_; }
    ClickablePicture* companyLogo() const { return companyLogo_; }
    FittedLabel* productLabel() const { return productLabel_; }
    FittedLabel* memberLabel() const { return memberLabel_; }
    FittedLabel* versionLabel() const { return versionLabel_; }
    FittedLabel* copyrightLabel() const { return copyrightLabel_; }
    QLabel* descriptionLabel() const { return descriptionLabel_; }
    IconButton* homeButton() const { return homeButton_; }
    IconButton* mailButton() const { return mailButton_; }
    IconButton* closeButton() const { return closeButton_; }

private:
    void makeControls();

    QGroupBox* frame_ = nullptr;
    ClickablePicture* productLogo_ = nullptr;
    ClickablePicture* companyLogo_ = nullptr;
    FittedLabel* productLabel_ = nullptr;
    FittedLabel* memberLabel_ = nullptr;
    FittedLabel* versionLabel_ = nullptr;
    FittedLabel* copyrightLabel_ = nullptr;
    QLabel* descriptionLabel_ = nullptr;
    IconButton* homeButton_ = nullptr;
    IconButton* mailButton_ = nullptr;
    IconButton* closeButton_ = nullptr;
};

} // namespace zorvika
