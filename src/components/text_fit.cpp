#include "components/text_fit.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionComboBox>

#include <algorithm>

namespace zorvika {

namespace {

// The room a line edit gives its text: the contents less its frame and margins.
int textRoom(const QLineEdit* box)
{
    const QMargins margins = box->textMargins();
    // QLineEdit keeps two pixels on each side of the text inside its frame.
    const int frame = box->hasFrame() ? box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, box) : 0;
    return box->contentsRect().width() - margins.left() - margins.right() - 2 * frame - 4;
}

int textRoom(const QComboBox* box)
{
    QStyleOptionComboBox option;
    option.initFrom(box);
    option.editable = box->isEditable();
    const QRect field = box->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, box);
    return field.width() - 4;
}

void fitPopup(QComboBox* box)
{
    int widest = 0;
    for (int i = 0; i < box->count(); ++i)
        widest = std::max(widest, box->fontMetrics().horizontalAdvance(box->itemText(i)));
    QAbstractItemView* view = box->view();
    view->setMinimumWidth(widest + 2 * view->frameWidth() + box->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 12);
}

} // namespace

bool textIsCut(const QLineEdit* box) { return box->fontMetrics().horizontalAdvance(box->text()) > textRoom(box); }

bool textIsCut(const QComboBox* box) { return box->fontMetrics().horizontalAdvance(box->currentText()) > textRoom(box); }

void tipWhenCut(QLineEdit* box)
{
    QObject::connect(box, &QLineEdit::textChanged, box,
                     [box](const QString& text) { box->setToolTip(textIsCut(box) ? text : QString()); });
}

void tipWhenCut(QComboBox* box)
{
    QObject::connect(box, &QComboBox::currentTextChanged, box, [box](const QString& text) {
        box->setToolTip(textIsCut(box) ? text : QString());
        fitPopup(box);
    });
}

} // namespace zorvika
