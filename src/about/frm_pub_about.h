#pragma once
// The about window: the product's name, logos, version, copyright and
// description, and the links to the home pages and the support mailbox.
#include "widgets/fitted_label.h"

#include <QDialog>

class QFrame;
class QGroupBox;
class QLabel;

namespace zorvika {

class frmPubMain;
class SuperButton;
class ClickLabel;

class frmPubAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmPubAbout(frmPubMain& main);
    ~frmPubAbout() override;

    // The client size that the layout gives: 6480 by 3045 twips.
    static QSize clientSize();

    void imgCompLogo_Click(int index);
    void imgProdLogo_Click(int index);
    void sbtWeb_Click();
    void sbtMailer_Click();
    void sbtClose_Click();

    QGroupBox* fra() const { return fra_; }
    ClickLabel* imgProdLogo() const { return imgProdLogo_; }
    ClickLabel* imgCompLogo() const { return imgCompLogo_; }
    FittedLabel* Label1() const { return Label1_; }
    FittedLabel* lblMem() const { return lblMem_; }
    FittedLabel* lblVer() const { return lblVer_; }
    FittedLabel* lblCopy() const { return lblCopy_; }
    QLabel* lblDesc() const { return lblDesc_; }
    SuperButton* sbtWeb() const { return sbtWeb_; }
    SuperButton* sbtMailer() const { return sbtMailer_; }
    SuperButton* sbtClose() const { return sbtClose_; }

private:
    void buildLayout();
    void Form_Load();

    frmPubMain& main_;
    QGroupBox* fra_ = nullptr;
    ClickLabel* imgProdLogo_ = nullptr;
    ClickLabel* imgCompLogo_ = nullptr;
    FittedLabel* Label1_ = nullptr;
    FittedLabel* lblMem_ = nullptr;
    FittedLabel* lblVer_ = nullptr;
    FittedLabel* lblCopy_ = nullptr;
    QLabel* lblDesc_ = nullptr;
    SuperButton* sbtWeb_ = nullptr;
    SuperButton* sbtMailer_ = nullptr;
    SuperButton* sbtClose_ = nullptr;
};

} // namespace zorvika
