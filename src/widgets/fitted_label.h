#pragma once
// A one-line label that sizes itself to its text and keeps its left edge.
// Where its parent ends before the text does, the label ends 6 pixels short
// of the parent's right edge, shows the text cut with an ellipsis and the
// whole text as its tooltip; text() always holds the whole text.
#include <QLabel>

namespace zorvika {

class FittedLabel : public QLabel {
    Q_OBJECT
public:
    explicit FittedLabel(QWidget* parent, bool bold = false);
    void setFittedText(const QString& text);
    bool isCut() const { return cut_; }
    // Ends at least 4 pixels before `next`: a text that would reach it moves
    // the label's left edge as far as `leftmost`; a text longer still is cut.
    void keepBefore(const QWidget* next, int leftmost);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool cut_ = false;
};

} // namespace zorvika
