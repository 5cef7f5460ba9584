#include "leveloverview.h"

#include <QEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QToolTip>

#include <algorithm>

#include "hexcode.h"
#include "levelpicture.h"
#include "leveltext.h"
#include "leveldocument.h"
#include "tilepictures.h"
#include "tileset.h"

namespace {

constexpr int Columns = 8;
constexpr int Rows = wmb::LevelCount / Columns;
constexpr int Margin = 8;     // around the grid of pictures
constexpr int Padding = 6;    // around each picture inside its slot
constexpr int FirstCellSize = 8;   // 112 x 96 pictures at the first size

// A level text without its trailing fill.
QString withoutFill(const std::string &text)
{
    return QString::fromStdString(wmb::withoutFill(text));
}

} // namespace

LevelOverview::LevelOverview(LevelDocument &document, TilePictures &tiles, QWidget *parent)
    : QWidget(parent, Qt::Window), mDocument(document), mTileSet(tiles)
{
    setObjectName(QStringLiteral("LevelOverview"));
    setWindowTitle(QStringLiteral("Level overview"));
    setFocusPolicy(Qt::StrongFocus);
    mCaptionHeight = fontMetrics().height() + 2;
    const int slotWidth = wmb::MapColumns * FirstCellSize + 2 * Padding;
    const int slotHeight = wmb::MapRows * FirstCellSize + 2 * Padding + mCaptionHeight;
    resize(Columns * slotWidth + 2 * Margin, Rows * slotHeight + 2 * Margin);
    setMinimumSize(Columns * (wmb::MapColumns + 2 * Padding) + 2 * Margin,
                   Rows * (wmb::MapRows + 2 * Padding + mCaptionHeight) + 2 * Margin);
    // Direct connections: the overview follows within the same event-loop turn.
    connect(&document, &LevelDocument::imageChanged, this, &LevelOverview::reloadImage);
    connect(&document, &LevelDocument::edited, this, &LevelOverview::reloadShownLevel);
    reloadImage();
    mFocus = std::max(mLoaded, 1);
}

QString LevelOverview::caption(int level) const
{
    const Shown &l = mLevels[static_cast<std::size_t>(level - 1)].shown;
    QString text = QString::number(level) + (l.unsaved ? QStringLiteral("*") : QString());
    if (!l.name.isEmpty())
        text += QLatin1Char(' ') + l.name;
    return text;
}

QString LevelOverview::toolTipText(int level) const
{
    const Shown &l = mLevels[static_cast<std::size_t>(level - 1)].shown;
    if (l.empty)
        return {};
    return QStringLiteral("Timer: %1\nAuthor: %2\nHint: %3").arg(l.timer, l.author, l.hint);
}

QImage LevelOverview::picture(int level)
{
    Level &l = mLevels[static_cast<std::size_t>(level - 1)];
    if (l.image.isNull() && !l.shown.empty) {
        const int s = mCellSize;
        l.image = QImage(wmb::MapColumns * s, wmb::MapRows * s, QImage::Format_RGB32);
        const wmb::PixelSurface surface{reinterpret_cast<std::uint32_t *>(l.image.bits()), l.image.width(),
                                        l.image.height(), static_cast<int>(l.image.bytesPerLine() / 4)};
        wmb::drawLevelTiles(surface, 0, 0, l.shown.tiles, wmb::LevelLayout{s, 0},
                            [this](std::uint8_t code) -> const wmb::BmpImage & { return scaledTile(code); });
    }
    return l.image;
}

// A tile whose picture cannot be read shows black until the next load or
// image change reads it again: the editor reports the file when a level
// needing it is loaded.
const wmb::BmpImage &LevelOverview::scaledTile(std::uint8_t code)
{
    std::optional<wmb::BmpImage> &slot = mTiles[code];
    if (!slot) {
        wmb::BmpImage tile;
        try {
            // The file is read anew once (a picture gone since shows black);
            // a resize scales the picture read then.
            if (!mReadTiles[code])
                mTileSet.load(code);
            mReadTiles.set(code);
            tile = mTileSet.decoded(code);
        } catch (const std::exception &) {
            mUnreadTiles.set(code);
        }
        slot = wmb::scaleTile(tile, mCellSize);
    }
    return *slot;
}

void LevelOverview::reloadImage()
{
    if (mUnreadTiles.any()) {
        for (std::size_t code = 0; code < mTiles.size(); ++code)
            if (mUnreadTiles[code])
                mTiles[code].reset();
        mUnreadTiles.reset();
        forgetPictures();
    }
    mLoaded = mDocument.loadedLevel();
    const auto &records = mDocument.records();
    for (int n = 1; n <= wmb::LevelCount; ++n) {
        Level &l = mLevels[static_cast<std::size_t>(n - 1)];
        const auto &record = records[static_cast<std::size_t>(n - 1)];
        l.readable = record.has_value();
        if (record)
            l.saved = *record;
        showSaved(n);
    }
    reloadShownLevel();
    update();
}

void LevelOverview::reloadShownLevel()
{
    const int n = mDocument.loadedLevel();
    if (n != mLoaded) {
        const int before = mLoaded;
        mLoaded = n;
        if (before != 0)
            showSaved(before);
    }
    if (n == 0)
        return;
    if (!mDocument.wouldChangeRecord()) {
        showSaved(n);
        return;
    }
    const wmb::LevelFields fields = mDocument.fields();
    Shown shown;
    shown.empty = false;
    shown.unsaved = true;
    for (int i = 0; i < wmb::MapCells; ++i)
        shown.tiles[static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>(wmb::HexTextToInt(fields.codes[static_cast<std::size_t>(i)]) & 0xFF);
    shown.name = withoutFill(fields.name);
    shown.timer = QString::fromStdString(fields.timer);
    shown.author = withoutFill(fields.author);
    shown.hint = withoutFill(fields.hint);
    setShown(n, shown);
}

void LevelOverview::showSaved(int level)
{
    const Level &l = mLevels[static_cast<std::size_t>(level - 1)];
    Shown shown;
    if (l.readable) {
        const wmb::LevelFields fields = wmb::fieldsFromRecord(l.saved);
        shown.empty = false;
        shown.tiles = l.saved.tiles;
        shown.name = withoutFill(fields.name);
        shown.timer = QString::fromStdString(fields.timer);
        shown.author = withoutFill(fields.author);
        shown.hint = withoutFill(fields.hint);
    }
    setShown(level, shown);
}

// Keeps the level's picture when its tiles are unchanged.
void LevelOverview::setShown(int level, const Shown &shown)
{
    Level &l = mLevels[static_cast<std::size_t>(level - 1)];
    if (l.shown == shown)
        return;
    if (l.shown.empty != shown.empty || l.shown.tiles != shown.tiles)
        l.image = QImage();
    l.shown = shown;
    update(slotRect(level));
}

void LevelOverview::forgetPictures()
{
    for (Level &l : mLevels)
        l.image = QImage();
    update();
}

QRect LevelOverview::slotRect(int level) const
{
    const int w = (width() - 2 * Margin) / Columns;
    const int h = (height() - 2 * Margin) / Rows;
    return {Margin + (level - 1) % Columns * w, Margin + (level - 1) / Columns * h, w, h};
}

QRect LevelOverview::pictureRect(int level) const
{
    const QRect slot = slotRect(level);
    const int w = wmb::MapColumns * mCellSize;
    return {slot.x() + (slot.width() - w) / 2, slot.y() + Padding, w, wmb::MapRows * mCellSize};
}

int LevelOverview::levelAt(QPoint pos) const
{
    for (int n = 1; n <= wmb::LevelCount; ++n)
        if (slotRect(n).contains(pos))
            return n;
    return 0;
}

void LevelOverview::resizeEvent(QResizeEvent *event)
{
    const QRect slot = slotRect(1);
    const int size = std::max(1, std::min((slot.width() - 2 * Padding) / wmb::MapColumns,
                                          (slot.height() - 2 * Padding - mCaptionHeight) / wmb::MapRows));
    if (size != mCellSize) {
        mCellSize = size;
        for (auto &tile : mTiles)
            tile.reset();
        mUnreadTiles.reset();
        forgetPictures();
    }
    QWidget::resizeEvent(event);
}

void LevelOverview::paintEvent(QPaintEvent *event)
{
    QPainter p(this);
    p.fillRect(event->rect(), palette().window());
    QFont bold = font();
    bold.setBold(true);
    for (int n = 1; n <= wmb::LevelCount; ++n) {
        const QRect slot = slotRect(n);
        if (!slot.intersects(event->rect()))
            continue;
        const QRect pic = pictureRect(n);
        if (n == mLoaded)
            p.fillRect(pic.adjusted(-3, -3, 3, 3), palette().highlight());
        const QImage image = picture(n);
        if (image.isNull())
            p.fillRect(pic, palette().dark());
        else
            p.drawImage(pic.topLeft(), image);
        paintMarks(p, n);
        p.setFont(n == mLoaded ? bold : font());
        const QRect text(slot.x() + 2, pic.bottom() + Padding, slot.width() - 4, mCaptionHeight);
        p.drawText(text, Qt::AlignHCenter | Qt::AlignTop,
                   p.fontMetrics().elidedText(caption(n), Qt::ElideRight, text.width()));
        if (n == mFocus && hasFocus()) {
            QStyleOptionFocusRect option;
            option.initFrom(this);
            // Drawn whenever the overview has the focus, not only after Tab.
            option.state |= QStyle::State_KeyboardFocusChange;
            option.rect = slot.adjusted(1, 1, -1, -1);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &p, this);
        }
    }
    paintDrag(p);
}

bool LevelOverview::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const int n = levelAt(help->pos());
        // A caption cut short is given whole first.
        const QString tip = n == 0 ? QString()
                            : captionElided(n) ? caption(n) + QLatin1Char('\n') + toolTipText(n)
                                               : toolTipText(n);
        if (!tip.trimmed().isEmpty())
            QToolTip::showText(help->globalPos(), tip.trimmed(), this, slotRect(n));
        else
            QToolTip::hideText();
        return true;
    }
    // Esc during a drag is the drag's, not the Select none shortcut's.
    if (event->type() == QEvent::ShortcutOverride && mPressed &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        event->accept();
        return true;
    }
    return QWidget::event(event);
}

bool LevelOverview::captionElided(int level) const
{
    QFont shown = font();
    shown.setBold(level == mLoaded);
    return QFontMetrics(shown).horizontalAdvance(caption(level)) > slotRect(level).width() - 4;
}

void LevelOverview::setFocusedLevel(int level)
{
    if (level == mFocus)
        return;
    update(slotRect(mFocus));
    mFocus = level;
    update(slotRect(mFocus));
}

void LevelOverview::openFocused()
{
    emit openRequested(mFocus);
}

void LevelOverview::mousePressEvent(QMouseEvent *event)
{
    const int n = levelAt(event->position().toPoint());
    if (n)
        setFocusedLevel(n);
    if (event->button() == Qt::LeftButton)
        pressLevel(n, event->position().toPoint());
    QWidget::mousePressEvent(event);
}

void LevelOverview::mouseDoubleClickEvent(QMouseEvent *event)
{
    const int n = levelAt(event->position().toPoint());
    if (n == 0 || event->button() != Qt::LeftButton)
        return QWidget::mouseDoubleClickEvent(event);
    setFocusedLevel(n);
    openFocused();
}

void LevelOverview::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && mPressed) {
        cancelDrag();
        return;
    }
    if (levelKey(event))
        return;
    const int column = (mFocus - 1) % Columns;
    const int row = (mFocus - 1) / Columns;
    switch (event->key()) {
    case Qt::Key_Left: setFocusedLevel(mFocus - (column > 0 ? 1 : 0)); break;
    case Qt::Key_Right: setFocusedLevel(mFocus + (column < Columns - 1 ? 1 : 0)); break;
    case Qt::Key_Up: setFocusedLevel(mFocus - (row > 0 ? Columns : 0)); break;
    case Qt::Key_Down: setFocusedLevel(mFocus + (row < Rows - 1 ? Columns : 0)); break;
    case Qt::Key_Return:
    case Qt::Key_Enter: openFocused(); break;
    default: QWidget::keyPressEvent(event); return;
    }
}
