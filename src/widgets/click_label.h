#pragma once
// A picture that reports a click with its index in its array.
#include <QLabel>

namespace zorvika {

class ClickLabel : public QLabel {
    Q_OBJECT
public:
    ClickLabel(int index, QWidget* parent);
    int index() const { return index_; }

signals:
    void clickedIndex(int index);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int index_;
};

} // namespace zorvika
