#pragma once
// A one-line label that sizes itself to its text and keeps its left edge.
// Where its parent ends before the text does, the label ends 6 pixels short
// of the parent's right edge, shows the text cut with an ellipsis and the
// whole text as its tooltip; text() always holds the whole text. It fits
// itself again whenever it moves or its parent changes size, so a window
// made wider shows a text it had to cut.
#include <QLabel>

namespace zorvika {

class DesignLayout;

class FittedLabel : public QLabel {
    Q_OBJECT
public:
    explicit FittedLabel(QWidget* parent, bool bold = false);
    void setFittedText(const QString& text);
    bool isCut() const { return cut_; }
    // The width that shows the whole text.
    int neededWidth() const { return sizeHint().width(); }
    // Puts the label in `layout` as the caption of the control whose left
    // edge is `nextLeft` (pixels of the design size): a text that would reach
    // within 4 pixels of it moves the label's left edge, as far as
    // `leftmost`; a text longer still moves the control, and the rest of its
    // row, over by as much.
    void placeBefore(DesignLayout& layout, int nextLeft, int leftmost);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void fit();
    bool cut_ = false;
};

} // namespace zorvika
