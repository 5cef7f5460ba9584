#include "tileview.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFocusEvent>
#include <QHelpEvent>
#include <QToolTip>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

#include "tilepictures.h"

TileView::TileView(const TilePictures &tiles, int columns, int count, QWidget *parent)
    : QWidget(parent), mTiles(tiles), mColumns(columns), mCount(count),
      mShown(static_cast<std::size_t>(count), -1)
{
    setMouseTracking(true);
    // It paints every pixel of its rectangle (the gaps in the panel's
    // colour), so that nothing beneath is painted with it.
    setAttribute(Qt::WA_OpaquePaintEvent);
    place({}, 100);
}

TileView::~TileView() = default;

void TileView::place(QPoint firstCell, int percent)
{
    mPercent = percent;
    const int rows = (mCount + mColumns - 1) / mColumns;
    setGeometry(firstCell.x() - gap(), firstCell.y() - gap(), mColumns * pitch() + gap(), rows * pitch() + gap());
    update();
}

QRect TileView::localRect(int n) const
{
    return {gap() + pitch() * ((n - 1) % mColumns), gap() + pitch() * ((n - 1) / mColumns), cellSize(), cellSize()};
}

QRect TileView::spanRect(int a, int b) const { return localRect(a).united(localRect(b)); }

int TileView::cellAt(QPoint p) const
{
    const int x = p.x() - gap(), y = p.y() - gap();
    if (x < 0 || y < 0)
        return 0;
    const int column = x / pitch(), row = y / pitch();
    if (column >= mColumns || x % pitch() >= cellSize() || y % pitch() >= cellSize())
        return 0;
    const int n = row * mColumns + column + 1;
    return n <= mCount ? n : 0;
}

void TileView::setShown(int n, int code)
{
    int &shown = mShown[static_cast<std::size_t>(n - 1)];
    if (shown == code)
        return;
    shown = code;
    update(localRect(n));
}

QPixmap TileView::cellPicture(int n) const
{
    const int code = shown(n);
    return code < 0 ? QPixmap() : mTiles.scaled(code, mPercent);
}

void TileView::setUnderlays(std::vector<Underlay> underlays)
{
    // Only an underlay that moved or changed its picture is painted again.
    const auto same = [](const Underlay &a, const Underlay &b) {
        return a.rect == b.rect && a.picture.cacheKey() == b.picture.cacheKey();
    };
    for (std::size_t i = 0; i < std::max(mUnderlays.size(), underlays.size()); ++i) {
        if (i < mUnderlays.size() && i < underlays.size() && same(mUnderlays[i], underlays[i]))
            continue;
        if (i < mUnderlays.size())
            update(mUnderlays[i].rect.translated(-pos()));
        if (i < underlays.size())
            update(underlays[i].rect.translated(-pos()));
    }
    mUnderlays = std::move(underlays);
}

bool TileView::overPicture(QPoint p) const
{
    if (cellAt(p))
        return true;
    const QPoint onParent = p + pos();
    return std::any_of(mUnderlays.begin(), mUnderlays.end(),
                       [&](const Underlay &u) { return !u.picture.isNull() && u.rect.contains(onParent); });
}

void TileView::setKeyCell(int n)
{
    n = std::clamp(n, 1, mCount);
    if (n == mKeyCell)
        return;
    updateCell(mKeyCell);
    mKeyCell = n;
    updateCell(mKeyCell);
    if (hasFocus())
        announceFocus();
}

void TileView::updateCell(int n) { update(localRect(n).adjusted(-gap(), -gap(), gap(), gap())); }

// As a picture control draws its picture: from the top-left corner at
// natural size, cut at the control's edges.
void TileView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QRect area = event->rect();
    painter.fillRect(area, palette().brush(QPalette::Window));
    for (const Underlay &u : mUnderlays) {
        const QRect r = u.rect.translated(-pos());
        if (!u.picture.isNull() && r.intersects(area))
            painter.drawPixmap(r.topLeft(), u.picture, QRect(QPoint(), r.size()));
    }
    const int first = std::max(0, (area.top() - gap()) / pitch()) * mColumns + 1;
    const int last = std::min(mCount, ((area.bottom() - gap()) / pitch() + 1) * mColumns);
    const int firstColumn = std::max(0, (area.left() - gap()) / pitch());
    const int lastColumn = std::min(mColumns - 1, (area.right() - gap()) / pitch());
    for (int n = first; n <= last; ++n) {
        const int column = (n - 1) % mColumns;
        if (column < firstColumn || column > lastColumn)
            continue;
        const int code = mShown[static_cast<std::size_t>(n - 1)];
        if (code < 0)
            continue;
        const QPixmap &picture = mTiles.scaled(code, mPercent);
        const QRect r = localRect(n);
        painter.drawPixmap(r.topLeft(), picture, QRect(0, 0, std::min(picture.width(), r.width()),
                                                       std::min(picture.height(), r.height())));
    }
    paintAbove(painter, area);
}

void TileView::paintAbove(QPainter &, const QRect &) {}

bool TileView::event(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    const auto *help = static_cast<QHelpEvent *>(event);
    const int n = cellAt(help->pos());
    const QString text = n ? cellToolTip(n) : QString();
    if (text.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), text, this, localRect(n));
    return true;
}

void TileView::mousePressEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    if (mPressed == 0) {
        mPressed = cellAt(p);
        mButton = event->button();
    }
    if (mPressed)
        emit pressed(mPressed, event->button(), mapToParent(p), event->modifiers());
    event->accept();
}

void TileView::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    if (event->buttons() != Qt::NoButton) {
        if (mPressed)
            emit dragged(mapToParent(p));
    } else {
        hoverTo(cellAt(p));
        if (!overPicture(p))
            emit surfaceMoved();
    }
    event->accept();
}

// A release ends what the press began; a pointer that has left the pressed
// cell since leaves it now.
void TileView::mouseReleaseEvent(QMouseEvent *event)
{
    const int pressed = mPressed;
    if (!pressed)
        return event->accept();
    const QPoint p = event->position().toPoint();
    const bool inside = localRect(pressed).contains(p);
    if (event->buttons() == Qt::NoButton)
        mPressed = 0;
    emit released(event->button());
    if (event->button() == Qt::LeftButton && inside)
        emit clicked(pressed);
    if (!mPressed && !inside) {
        mHovered = pressed;
        hoverTo(0);
    } else if (!mPressed) {
        mHovered = pressed;
    }
    event->accept();
}

void TileView::hoverTo(int n)
{
    if (mHovered && mHovered != n)
        emit left(std::exchange(mHovered, 0));
    mHovered = n;
    if (n)
        emit hovered(n);
}

void TileView::leaveEvent(QEvent *event)
{
    if (!mPressed)
        hoverTo(0);
    QWidget::leaveEvent(event);
}

void TileView::focusInEvent(QFocusEvent *event)
{
    updateCell(mKeyCell);
    announceFocus();
    QWidget::focusInEvent(event);
}

void TileView::focusOutEvent(QFocusEvent *event)
{
    updateCell(mKeyCell);
    QWidget::focusOutEvent(event);
}

// ---- Accessibility: the view and one child a cell.

namespace {

class CellAccessible : public QAccessibleInterface {
public:
    CellAccessible(TileView *view, int n) : mView(view), mN(n) {}
    bool isValid() const override { return mView != nullptr; }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return mView->window()->windowHandle(); }
    QAccessibleInterface *focusChild() const override { return nullptr; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(mView); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name: return mView->cellName(mN);
        // The value as a description too: AT-SPI passes a text value on as
        // the description only.
        case QAccessible::Value:
        case QAccessible::Description: return mView->cellValue(mN);
        default: return {};
        }
    }
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override
    {
        const QRect r = mView->localRect(mN);
        return {mView->mapToGlobal(r.topLeft()), r.size()};
    }
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.focusable = true;
        s.focused = mView->hasFocus() && mView->keyCell() == mN;
        s.invisible = !mView->isVisible();
        return s;
    }

private:
    QPointer<TileView> mView;
    int mN;
};

class TileViewAccessible : public QAccessibleWidget {
public:
    explicit TileViewAccessible(TileView *view) : QAccessibleWidget(view, QAccessible::Table) {}
    ~TileViewAccessible() override
    {
        for (QAccessible::Id id : mCells)
            if (id)
                QAccessible::deleteAccessibleInterface(id);
    }
    TileView *view() const { return static_cast<TileView *>(widget()); }
    int childCount() const override { return view()->count(); }
    QAccessibleInterface *child(int index) const override
    {
        if (index < 0 || index >= view()->count())
            return nullptr;
        if (mCells.empty())
            mCells.assign(static_cast<std::size_t>(view()->count()), 0);
        QAccessible::Id &id = mCells[static_cast<std::size_t>(index)];
        if (!id)
            id = QAccessible::registerAccessibleInterface(new CellAccessible(view(), index + 1));
        return QAccessible::accessibleInterface(id);
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        for (int i = 0; i < static_cast<int>(mCells.size()); ++i)
            if (mCells[static_cast<std::size_t>(i)] && QAccessible::accessibleInterface(mCells[static_cast<std::size_t>(i)]) == child)
                return i;
        return -1;
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        const int n = view()->cellAt(view()->mapFromGlobal(QPoint(x, y)));
        return n ? child(n - 1) : nullptr;
    }
    QAccessibleInterface *focusChild() const override
    {
        return view()->hasFocus() ? child(view()->keyCell() - 1) : nullptr;
    }

private:
    mutable std::vector<QAccessible::Id> mCells;
};

QAccessibleInterface *tileViewFactory(const QString &, QObject *object)
{
    if (auto *view = qobject_cast<TileView *>(object))
        return new TileViewAccessible(view);
    return nullptr;
}

} // namespace

void TileView::announceFocus()
{
    if (!QAccessible::isActive())
        return;
    QAccessibleInterface *me = QAccessible::queryAccessibleInterface(this);
    if (QAccessibleInterface *cell = me ? me->child(mKeyCell - 1) : nullptr) {
        QAccessibleEvent focus(cell, QAccessible::Focus);
        QAccessible::updateAccessibility(&focus);
    }
}

void installTileViewAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(tileViewFactory);
        return true;
    }();
    (void)installed;
}
