#include "tform1.h"

#include <QApplication>
#include <QCheckBox>
#include <QFont>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QImage>
#include <QPushButton>
#include <QTableWidget>
#include <QUndoStack>

#include "dialogs.h"
#include "editormenus.h"
#include "editorsession.h"
#include "filedrop.h"
#include "hexcode.h"
#include "leveltext.h"
#include "leveldocument.h"
#include "mapview.h"
#include "pathnames.h"
#include "picturebox.h"
#include "recovery.h"
#include "resources/helpglyph.h"
#include "statusbar.h"
#include "tilefolder.h"

namespace {

// The question-mark glyph of the About button.
QIcon helpGlyph()
{
    const QImage glyph(reinterpret_cast<const uchar *>(HelpGlyphPixels), HelpGlyphSize, HelpGlyphSize,
                       QImage::Format_ARGB32_Premultiplied);
    return QIcon(QPixmap::fromImage(glyph));
}

// The window's font: 11-pixel characters, narrowed so that every caption
// fits the button sizes of the layout (a condensed face when installed,
// otherwise a synthesized one).
QFont windowFont()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    font.setStretch(QFont::SemiCondensed);
    return font;
}

// A label's width follows its caption; left, top and height stay.
void setLabelText(QLabel *label, const QString &text)
{
    label->setText(text);
    label->resize(label->sizeHint().width(), label->height());
}

// The characters the level texts can hold, as the hint of the text edits.
QString allowedCharactersHint()
{
    return QString::fromStdString(wmb::levelTextHint());
}

} // namespace

TForm1::TForm1(Dialogs &dialogs, StartupPaths paths, QWidget *parent)
    : QWidget(parent), mDialogs(dialogs), mPaths(std::move(paths)), mDocument(new LevelDocument(mTiles, this))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromLatin1(ApplicationTitle));
    connect(new FileDrop(this), &FileDrop::dropped, this, &TForm1::dropFile);
    mSession = new EditorSession(*mDocument, mDialogs, mSettings, this);
    mDocument->setAskWithoutBackup([this](const QString &question) {
        return mDialogs.askOkCancel(mSession->asker(), QStringLiteral("Warning!"), question, Answer::Cancel);
    });
    // The tile pictures are read on a thread of their own while the window
    // is built; FormCreate takes them.
    const QString programDirectory = mPaths.programDirectory.isEmpty()
                                         ? QCoreApplication::applicationDirPath()
                                         : mPaths.programDirectory;
    mTiles = TilePictures(qStringFromPath(
        wmb::findTileFolder(pathFromQString(startingDirectory()), pathFromQString(programDirectory))));
    mTiles.readAhead();
    createControls();
    mMenus = new EditorMenus(*this, *mSession, mSettings);
    followCtrlWheel();
    createStatusBar();
    followDocument();
    mRecovery = std::make_unique<RecoveryKeeper>(*mDocument);
    move(263, 156);
    fitToPanel();
    guarded([&] { FormCreate(); });
    setZoom(std::min(wmb::validZoom(mSettings.zoom()), largestZoom()));
}

// The window and its menus stop following before the window's parts go.
TForm1::~TForm1()
{
    for (QObject *follower : {static_cast<QObject *>(this), static_cast<QObject *>(mMenus)}) {
        qApp->disconnect(follower);
        mDocument->history().disconnect(follower);
        mDocument->disconnect(follower);
        mSession->disconnect(follower);
    }
}

void TForm1::createControls()
{
    setFont(windowFont());

    Panel1 = new MainPanel(this);
    Panel1->setGeometry(0, 0, PanelWidthWide, PanelHeight);
    connect(Panel1, &MainPanel::surfaceMouseMove, this, &TForm1::Panel1MouseMove);

    auto picture = [&](const QString &name, int left, int top, int width, int height) {
        auto *box = new PictureBox(Panel1);
        box->setObjectName(name);
        box->setGeometry(left, top, width, height);
        box->hide();
        return box;
    };
    // The backdrop and the two frames come first, beneath every cell and
    // palette picture; the views draw them.
    Black = picture(QStringLiteral("Black"), 456, 256, 34, 34);
    Red = picture(QStringLiteral("Red"), 456, 8, 34, 34);
    Green = picture(QStringLiteral("Green"), 456, 48, 34, 34);
    sizeFrames();

    auto button = [&](const QString &name, int left, int top, int width, const QString &text) {
        auto *b = new QPushButton(text, Panel1);
        b->setObjectName(name);
        b->setGeometry(left, top, width, 25);
        b->setAutoDefault(false);
        return b;
    };
    Button2 = button(QStringLiteral("Button2"), 7, 408, 77, QStringLiteral("Button2"));
    Button1 = button(QStringLiteral("Button1"), 86, 408, 90, QStringLiteral("Button1"));
    Button10 = button(QStringLiteral("Button10"), 178, 408, 75, QStringLiteral("Button10"));
    Button5 = button(QStringLiteral("Button5"), 255, 408, 70, QStringLiteral("Button5"));
    Button27 = button(QStringLiteral("Button27"), 327, 408, 70, QStringLiteral("Button27"));
    Button28 = button(QStringLiteral("Button28"), 399, 408, 70, QStringLiteral("Button28"));
    Button3 = button(QStringLiteral("Button3"), 8, 509, 30, QStringLiteral("<"));
    Button4 = button(QStringLiteral("Button4"), 80, 509, 30, QStringLiteral(">"));
    Button6 = button(QStringLiteral("Button6"), 115, 509, 30, QStringLiteral("<"));
    Button7 = button(QStringLiteral("Button7"), 187, 509, 30, QStringLiteral(">"));
    BitBtn1 = button(QStringLiteral("BitBtn1"), 312, 509, 75, QStringLiteral("BitBtn1"));
    BitBtn1->setIcon(helpGlyph());
    Hidemenu = button(QStringLiteral("Hidemenu"), 389, 509, 80, QStringLiteral("Hidemenu"));
    QFont bold = Hidemenu->font();
    bold.setBold(true);
    Hidemenu->setFont(bold);

    auto label = [&](const QString &name, int left, int top, int width) {
        auto *l = new QLabel(name, Panel1);
        l->setObjectName(name);
        l->setGeometry(left, top, width, 13);
        return l;
    };
    Label4 = label(QStringLiteral("Label4"), 8, 444, 60);
    Label2 = label(QStringLiteral("Label2"), 260, 444, 34);
    Label3 = label(QStringLiteral("Label3"), 8, 475, 51);
    Label5 = label(QStringLiteral("Label5"), 24, 493, 67);
    Label1 = label(QStringLiteral("Label1"), 147, 493, 29);

    auto edit = [&](const QString &name, int left, int top, int width, int maxLength,
                    const QString &text) {
        auto *e = new QLineEdit(text, Panel1);
        e->setObjectName(name);
        e->setGeometry(left, top, width, 21);
        e->setMaxLength(maxLength);
        return e;
    };
    Edit2 = edit(QStringLiteral("Edit2"), 80, 441, 169, wmb::NameLength, {});
    Edit3 = edit(QStringLiteral("Edit3"), 304, 441, 165, wmb::AuthorLength, {});
    Edit4 = edit(QStringLiteral("Edit4"), 80, 472, 389, wmb::HintLength, {});
    Edit1 = edit(QStringLiteral("Edit1"), 41, 512, 36, 3, QStringLiteral("1"));
    Edit5 = edit(QStringLiteral("Edit5"), 148, 512, 36, 4, QStringLiteral("100"));
    for (QLineEdit *e : {Edit1, Edit5}) {
        e->setMouseTracking(true);
        e->installEventFilter(this);
    }
    const std::pair<QLineEdit *, LevelText> texts[] = {
        {Edit5, LevelText::Timer}, {Edit2, LevelText::Name}, {Edit3, LevelText::Author}, {Edit4, LevelText::Hint}};
    for (const auto &[e, which] : texts)
        connect(e, &QLineEdit::textChanged, this,
                [this, which](const QString &text) { mDocument->setText(which, text.toStdString()); });

    auto check = [&](const QString &name, int left, int top, int width, const QString &text) {
        auto *c = new QCheckBox(text, Panel1);
        c->setObjectName(name);
        c->setGeometry(left, top, width, 17);
        return c;
    };
    CheckBox1 = check(QStringLiteral("CheckBox1"), 223, 492, 122, QStringLiteral("CheckBox1"));
    CheckBox2 = check(QStringLiteral("CheckBox2"), 223, 517, 89, QStringLiteral("Show net "));
    CheckBox2->setChecked(true);

    // Sized after its headers are set up and hidden: 168 header sections
    // laid out for nothing would cost start-up time.
    StringGrid1 = new QTableWidget(Panel1);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->hide();
    StringGrid1->setGeometry(456, 200, 33, 41);
    StringGrid1->horizontalHeader()->hide();
    StringGrid1->verticalHeader()->hide();
    StringGrid1->horizontalHeader()->setDefaultSectionSize(16);
    StringGrid1->verticalHeader()->setDefaultSectionSize(20);
    StringGrid1->setRowCount(1);
    StringGrid1->setColumnCount(wmb::MapCells);

    using Handler = void (TForm1::*)();
    const std::pair<QPushButton *, Handler> clicks[] = {
        {Button1, &TForm1::Button1Click},   {Button2, &TForm1::Button2Click},   {Button3, &TForm1::Button3Click},
        {Button4, &TForm1::Button4Click},   {Button5, &TForm1::Button5Click},   {Button6, &TForm1::Button6Click},
        {Button7, &TForm1::Button7Click},   {Button10, &TForm1::Button10Click}, {Button27, &TForm1::Button27Click},
        {Button28, &TForm1::Button28Click}, {BitBtn1, &TForm1::BitBtn1Click},   {Hidemenu, &TForm1::HidemenuClick}};
    for (const auto &[b, handler] : clicks)
        connect(b, &QPushButton::clicked, this, handler);
    // Runs after each change of the box's state, by the user or by code.
    connect(CheckBox2, &QCheckBox::toggled, this, &TForm1::CheckBox2Click);

    // Made after the other controls, so that the first of them, not the
    // map, has the keyboard focus when the window opens.
    createViews();
    noteBelowMap();
    connectMarks();
    connectMapGestures();
    setTabOrderChain();
}

void TForm1::setTabOrderChain()
{
    // The map and the palette come after the last control, so that Tab
    // wraps from it to them and they lie before the first.
    const QList<QWidget *> order = {Button2,  Button1,   Button3,  Edit1,     Button4,
                                    StringGrid1, Button10, Button5, Button27, Button28,
                                    BitBtn1,  Edit2,     Edit3,    Edit4,     CheckBox1,
                                    Hidemenu, Button6,   Edit5,    Button7,   CheckBox2,
                                    mapFocus(), mPalette};
    for (int i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order[i], order[i + 1]);
}

// The menu bar lies above the panel, as a menu sits outside a window's
// client area, and the status bar below it; the window follows the panel.
void TForm1::fitToPanel()
{
    QMenuBar *bar = mMenus ? mMenus->bar() : nullptr;
    const int menuHeight = bar ? bar->heightForWidth(Panel1->width()) : 0;
    const int barHeight = menuHeight > 0 ? menuHeight : (bar ? bar->sizeHint().height() : 0);
    if (bar)
        bar->setGeometry(0, 0, Panel1->width(), barHeight);
    Panel1->move(0, barHeight);
    const int statusHeight = mStatusBar ? StatusBar::Height : 0;
    if (mStatusBar)
        mStatusBar->setGeometry(0, barHeight + Panel1->height(), Panel1->width(), statusHeight);
    setFixedSize(Panel1->width(), barHeight + Panel1->height() + statusHeight);
}

void TForm1::guarded(const std::function<void()> &body)
{
    mDocument->beginChange();
    try {
        body();
    } catch (const WriteCancelled &) {
        // Asked and answered: nothing was written, nothing to report.
    } catch (const std::exception &e) {
        mDialogs.showError(mSession->asker(), QString::fromUtf8(e.what()));
    }
    mDocument->endChange();
}

QString TForm1::startingDirectory() const
{
    return mPaths.startDirectory.isEmpty() ? qStringFromPath(wmb::currentDirectory()) : mPaths.startDirectory;
}

void TForm1::FormCreate()
{
    Black->move(5000, 5000);
    Panel1->resize(mLayout.narrowWidth(), Panel1->height());
    fitToPanel();
    Red->move(-100, -100);
    Green->move(-100, -100);
    showFrames();
    mSession->SelectedTile = 0;
    mSession->SelectedCell = 0;

    const QString hint = allowedCharactersHint();
    for (QLineEdit *e : {Edit2, Edit3, Edit4})
        e->setToolTip(hint);

    const struct {
        QAbstractButton *control;
        const char *caption, *hint;
    } captions[] = {
        {Button2, "Open ROM", "Open ROM Wumblers.nes"},
        {Button1, "Reload level", "Reload the current level"},
        {Button10, "Clear screen", "Clear the current screen"},
        {Button5, "Save level", "Save the current level to the ROM"},
        {Button27, "Export level", "Export the current level to a file"},
        {Button28, "Import level", "Import & Save the current level from a file"},
        {CheckBox2, "Show grid ", "Displaying the grid on the level screen"},
        {CheckBox1, "Active select ", "Replacing a level tile when selecting a tile in the editor"},
        {BitBtn1, "&About...", nullptr},
        {Hidemenu, " Open tiles >", "Open/hide tiles"},
    };
    for (const auto &c : captions) {
        c.control->setText(QString::fromLatin1(c.caption));
        if (c.hint)
            c.control->setToolTip(QString::fromLatin1(c.hint));
    }
    const std::pair<QLabel *, const char *> labels[] = {
        {Label4, "Level Name:"}, {Label2, "Author:"}, {Label3, "Level Hint:"}, {Label5, "Level number:"}, {Label1, "Timer:"}};
    for (const auto &[label, caption] : labels)
        setLabelText(label, QString::fromLatin1(caption));

    StartDirectory = startingDirectory();

    // Every map cell shows tile 0; its file is read once for all 168.
    mTiles.load(0);
    for (int n = 1; n <= wmb::MapCells; ++n)
        mMap->setShown(n, 0);

    TileCodeTable.clear();
    for (int k = 0; k < wmb::PaletteTiles; ++k)
        TileCodeTable << QString::fromStdString(wmb::IntToHexText(static_cast<std::uint32_t>(k)));
    mSession->setTileCodeTable(TileCodeTable);

    for (int n = 1; n <= wmb::PaletteTiles; ++n) {
        mTiles.load(n - 1);
        mPalette->setShown(n, n - 1);
    }
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == mapFocus())
        return mapKeyEvent(event) || QWidget::eventFilter(watched, event);
    const bool level = watched == Edit1;
    if ((level || watched == Edit5) && event->type() == QEvent::KeyPress) {
        // The key-down handler sees the text before the key's character.
        level ? Edit1KeyDown() : Edit5KeyDown();
        auto *key = static_cast<QKeyEvent *>(event);
        // Delete is no character; Tab moves the focus before any edit sees it.
        if (key->key() == Qt::Key_Delete || key->key() == Qt::Key_Tab ||
            key->key() == Qt::Key_Backtab || key->text().isEmpty())
            return false;
        const QChar ch = key->text().front();
        return !(level ? Edit1KeyPress(ch) : Edit5KeyPress(ch));
    }
    if ((level || watched == Edit5) && event->type() == QEvent::MouseMove) {
        level ? Edit1MouseMove() : Edit5MouseMove();
        return false;
    }
    return QWidget::eventFilter(watched, event);
}
