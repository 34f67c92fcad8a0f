#pragma once
// A picture that reports a click of the left button released over it.
#include <QLabel>

namespace zorvika {

class ClickablePicture : public QLabel {
    Q_OBJECT
public:
    explicit ClickablePicture(QWidget* parent);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace zorvika
