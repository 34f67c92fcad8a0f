#include "widgets/text_fit.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
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


// Keeps a box's tooltip at its whole text while the text does not fit:
// checked when the text changes and again when the pointer rests on it,
// since the box may be filled while its signals are blocked.
class CutTextTip final : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::ToolTip || event->type() == QEvent::Show)
            update(watched);
        return QObject::eventFilter(watched, event);
    }

    static void update(QObject* watched)
    {
        if (auto* line = qobject_cast<QLineEdit*>(watched))
            line->setToolTip(textIsCut(line) ? line->text() : QString());
        if (auto* combo = qobject_cast<QComboBox*>(watched)) {
            combo->setToolTip(textIsCut(combo) ? combo->currentText() : QString());
            fitPopup(combo);
        }
    }
};

} // namespace

bool textIsCut(const QLineEdit* box) { return box->fontMetrics().horizontalAdvance(box->text()) > textRoom(box); }

bool textIsCut(const QComboBox* box) { return box->fontMetrics().horizontalAdvance(box->currentText()) > textRoom(box); }

void tipWhenCut(QLineEdit* box)
{
    box->installEventFilter(new CutTextTip(box));
    QObject::connect(box, &QLineEdit::textChanged, box, [box] { CutTextTip::update(box); });
}

void tipWhenCut(QComboBox* box)
{
    box->installEventFilter(new CutTextTip(box));
    QObject::connect(box, &QComboBox::currentTextChanged, box, [box] { CutTextTip::update(box); });
    // The list's own signals reach the box even while the box's are blocked.
    QObject::connect(box->model(), &QAbstractItemModel::rowsInserted, box, [box] { CutTextTip::update(box); });
}

int neededWidth(const QLineEdit* box)
{
    return box->width() - textRoom(box) + box->fontMetrics().horizontalAdvance(box->text());
}

int neededWidth(const QComboBox* box)
{
    return box->width() - textRoom(box) + box->fontMetrics().horizontalAdvance(box->currentText());
}

} // namespace zorvika
