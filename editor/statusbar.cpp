#include "statusbar.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QRegularExpressionValidator>

namespace {

constexpr int SwatchSize = 16;
// Characters of a tile name the pointed part has room for before the parts
// after it move (longer names show cut with "…" where the bar is short).
constexpr int NameRoom = 20;

QLabel *part(QWidget *parent, const QString &name, int minimumWidth)
{
    auto *label = minimumWidth == 0 ? new ElidedLabel(parent) : new QLabel(parent);
    label->setObjectName(name);
    label->setMinimumWidth(minimumWidth);
    return label;
}

// A part that shows only while it has something to say, so the others get
// its room; its tooltip holds the whole text when the bar cuts it short.
void say(QLabel *part, const QString &text)
{
    part->setText(text);
    part->setToolTip(text);
    part->setVisible(!text.isEmpty());
}

} // namespace

QSize ElidedLabel::minimumSizeHint() const
{
    return {fontMetrics().horizontalAdvance(QStringLiteral("W…")), QLabel::minimumSizeHint().height()};
}

QString ElidedLabel::shownText() const
{
    return fontMetrics().elidedText(text(), Qt::ElideRight, contentsRect().width());
}

void ElidedLabel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setPen(palette().color(foregroundRole()));
    p.drawText(contentsRect(), static_cast<int>(alignment()), shownText());
}

int tileCodeOf(const QString &text)
{
    static const QRegularExpression code(QStringLiteral("^[0-9A-Fa-f]{1,2}$"));
    return code.match(text).hasMatch() ? text.toInt(nullptr, 16) : -1;
}

StatusBar::StatusBar(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("StatusBar"));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(4, 1, 4, 1);
    row->setSpacing(8);

    mCell = new ElidedLabel(this);
    mCell->setObjectName(QStringLiteral("PointedCell"));
    // Of a fixed size, so that the text of each cell the pointer meets is
    // painted without laying the bar out anew.
    mCell->setFixedSize(fontMetrics().horizontalAdvance(QStringLiteral("Cell 14, 12: FF ")) +
                            fontMetrics().averageCharWidth() * NameRoom,
                        Height - 2);
    mCell->setAutoFillBackground(true);   // painted alone, not with the bar beneath
    mSwatch = part(this, QStringLiteral("PickedSwatch"), SwatchSize);
    mSwatch->setFixedSize(SwatchSize, SwatchSize);
    mPicked = part(this, QStringLiteral("PickedTile"), 50);
    mCodeBox = new QLineEdit(this);
    mCodeBox->setObjectName(QStringLiteral("TileCodeBox"));
    mCodeBox->setMaxLength(2);
    mCodeBox->setFixedWidth(32);
    mCodeBox->setFocusPolicy(Qt::ClickFocus);
    mCodeBox->setToolTip(QStringLiteral("Pick a tile by its code (Ctrl+K)"));
    mCodeBox->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9A-Fa-f]{0,2}")), mCodeBox));
    connect(mCodeBox, &QLineEdit::returnPressed, this, [this] {
        const int code = tileCodeOf(mCodeBox->text());
        mCodeBox->clear();
        emit codeEntered(code);
    });
    mSelection = part(this, QStringLiteral("SelectionSize"), 50);
    mSearch = part(this, QStringLiteral("SearchResult"), 0);
    mComparison = part(this, QStringLiteral("Comparison"), 0);
    mNote = part(this, QStringLiteral("StatusNote"), 0);
    mTool = part(this, QStringLiteral("ToolName"), 50);
    mZoom = part(this, QStringLiteral("ZoomLevel"), 40);
    mZoom->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    row->addWidget(mCell);
    row->addWidget(mSwatch);
    row->addWidget(mPicked);
    row->addWidget(mCodeBox);
    row->addWidget(mSelection);
    for (QLabel *note : {mSearch, mComparison, mNote})
        row->addWidget(note);
    row->addStretch(1);
    row->addWidget(mTool);
    row->addWidget(mZoom);
    showPointedCell(0, {});
    showPickedTile({}, {});
    showZoom(100);
    for (QLabel *quiet : {mSelection, mSearch, mComparison, mNote})
        say(quiet, {});
}

void StatusBar::showPointedCell(int n, const QString &code, const QString &name)
{
    if (n == 0) {
        mCell->clear();
        return;
    }
    const int column = (n - 1) % wmb::MapColumns + 1, row = (n - 1) / wmb::MapColumns + 1;
    QString text = QStringLiteral("Cell %1, %2").arg(column).arg(row);
    if (!code.isEmpty())
        text += QStringLiteral(": ") + code + (name.isEmpty() ? QString() : QStringLiteral(" ") + name);
    mCell->setText(text);
}

void StatusBar::showPointedTile(const QString &label)
{
    if (label.isEmpty())
        mCell->clear();
    else
        mCell->setText(QStringLiteral("Tile ") + label);
}

void StatusBar::showPickedTile(const QPixmap &picture, const QString &code)
{
    if (code.isEmpty() || picture.isNull()) {
        QPixmap none(SwatchSize, SwatchSize);
        none.fill(palette().color(QPalette::Window));
        mSwatch->setPixmap(none);
    } else {
        mSwatch->setPixmap(picture.scaled(SwatchSize, SwatchSize, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    }
    mPicked->setText(QStringLiteral("Tile ") + (code.isEmpty() ? QStringLiteral("-") : code));
}

void StatusBar::showSelection(const wmb::CellRect &rect)
{
    say(mSelection, rect.empty() ? QString() : QStringLiteral("%1 x %2").arg(rect.columns).arg(rect.rows));
}

void StatusBar::showZoom(int percent) { mZoom->setText(QStringLiteral("%1 %").arg(percent)); }

void StatusBar::showTool(const QString &name) { mTool->setText(name); }

void StatusBar::showSearch(const QString &text) { say(mSearch, text); }

void StatusBar::showComparison(const QString &text) { say(mComparison, text); }

void StatusBar::showNote(const QString &text) { say(mNote, text); }

void StatusBar::focusCodeBox()
{
    mCodeBox->setFocus(Qt::ShortcutFocusReason);
    mCodeBox->selectAll();
}
