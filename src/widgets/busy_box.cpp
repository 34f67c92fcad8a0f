#include "widgets/busy_box.h"

#include "widgets/desktop_services.h"
#include "widgets/gui_font.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include <exception>
#include <thread>

namespace zorvika {

BusyBox::BusyBox(QWidget* owner, const QString& text) : QDialog(owner), label_(new QLabel(text, this))
{
    setWindowTitle(messageBoxTitle());
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowModality(Qt::ApplicationModal);
    setFont(windowFont());
    auto* bar = new QProgressBar(this);
    bar->setRange(0, 0); // no end known: the bar runs
    bar->setTextVisible(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label_);
    layout->addWidget(bar);
    setMinimumWidth(px(4500));
}

BusyCursor::BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
BusyCursor::~BusyCursor() { QApplication::restoreOverrideCursor(); }

QString BusyBox::text() const { return label_->text(); }

void BusyBox::reject()
{
    if (!running_)
        QDialog::reject();
}

void BusyBox::closeEvent(QCloseEvent* event)
{
    if (running_)
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void BusyBox::runWhile(const std::function<void()>& work)
{
    running_ = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    show();
    // The box and the window under it paint before the work starts.
    QApplication::processEvents();

    QEventLoop loop;
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();

    running_ = false;
    QApplication::restoreOverrideCursor();
    hide();
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace zorvika
