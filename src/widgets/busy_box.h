#pragma once
// A small modal box that says the program is busy, with a running bar and
// the wait cursor, shown while a long step (writing a spreadsheet through
// the spreadsheet application) runs on a worker thread. The windows keep
// painting meanwhile, and nothing else takes input until the step is done.
#include <QDialog>

#include <functional>
#include <type_traits>

class QLabel;

namespace zorvika {

class BusyBox final : public QDialog {
    Q_OBJECT
public:
    BusyBox(QWidget* owner, const QString& text);
    QString text() const;
    // Shows the box, runs `work` on a worker thread and returns when it has
    // ended; an exception it raised is raised again here.
    void runWhile(const std::function<void()>& work);

protected:
    // Neither Escape nor the window's close control ends the box before the step.
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    QLabel* label_;
    bool running_ = false;
};

// The wait cursor while a short command runs inside its click.
class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// Runs `work` under a busy box over `owner` and returns its result.
template <class Work>
auto runBusy(QWidget* owner, const QString& text, Work&& work)
{
    std::invoke_result_t<Work> result{};
    BusyBox box(owner, text);
    box.runWhile([&] { result = work(); });
    return result;
}

} // namespace zorvika
