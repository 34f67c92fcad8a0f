#pragma once
// The layout of the program's windows: every control has its place at the
// window's design size (in pixels), and says how it follows a larger window:
// it grows wider or taller by the room added, or moves with the right or
// bottom edge. The window cannot be made smaller than its design size. A
// control whose content needs more width than its place gets it, and the
// controls to its right in the same row move over by as much, the window
// growing with them (a control that keeps its own size, such as a caption,
// only moves them); so a long text shows whole and every short one stands
// exactly where the design puts it.
#include <QFlags>
#include <QLayout>
#include <QRect>

#include <functional>
#include <vector>

namespace zorvika {

enum class Follow {
    None = 0,
    Wider = 1,   // the width grows by the room added on the right
    Taller = 2,  // the height grows by the room added below
    Right = 4,   // moves with the right edge
    Bottom = 8,  // moves with the bottom edge
    OwnSize = 16 // placed, never sized: the control keeps the size it gives itself
};
Q_DECLARE_FLAGS(Follows, Follow)
Q_DECLARE_OPERATORS_FOR_FLAGS(Follows)

class DesignLayout final : public QLayout {
public:
    // `design`: the size of the parent's client area that the places are
    // laid out in, from the parent's own top left corner (a group box's
    // title takes none of it). A window cannot be made smaller than the
    // layout; a layout inside a control of a window (`nested`) leaves the
    // control's size to the window's layout.
    DesignLayout(QWidget* parent, QSize design, bool nested = false);
    ~DesignLayout() override;

    // Puts `widget` at `place` (pixels of the design size). `neededWidth`,
    // when given, says how wide the control must be to show its content whole.
    // A widget the layout holds already takes its new place.
    void addWidget(QWidget* widget, QRect place, Follows follows = Follow::None,
                   std::function<int()> neededWidth = {});
    // The design size and every place's widening, as the layout computes them.
    QSize designSize() const { return design_; }

    void addItem(QLayoutItem* item) override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    int count() const override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect& rect) override;
    Qt::Orientations expandingDirections() const override { return Qt::Horizontal | Qt::Vertical; }

private:
    struct Entry {
        QLayoutItem* item;
        QRect place;
        Follows follows;
        std::function<int()> neededWidth;
    };
    // How far each entry moves right for the widened controls before it in
    // its row, and how much wider it is; the widest row's extra width.
    struct Widening {
        std::vector<int> shift, extra;
        int total = 0;
    };
    Widening widening(int addedWidth) const;

    QSize design_;
    std::vector<Entry> entries_;
};

} // namespace zorvika
