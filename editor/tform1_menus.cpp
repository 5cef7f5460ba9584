// The menu bar, the window title, the unsaved-changes question and the ways
// a ROM image is opened besides the Open ROM button: Open Recent, a file
// dropped on the window and the command line.
#include "tform1.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>

#include "dialogs.h"
#include "errors.h"
#include "levelfile.h"
#include "pathnames.h"

#include <filesystem>

QAction *TForm1::addCommand(QMenu *menu, const QString &text, const QKeySequence &keys,
                            std::function<void()> body)
{
    auto *action = new QAction(text, this);
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    menu->addAction(action);
    addAction(action);
    connect(action, &QAction::triggered, this, [this, body = std::move(body)] { guarded(body); });
    return action;
}

// The action is enabled exactly when its button is.
void TForm1::bindToButton(QAction *action, QPushButton *button)
{
    action->setEnabled(button->isEnabled());
    mButtonActions.emplace_back(button, action);
    button->installEventFilter(this);
}

void TForm1::createMenus()
{
    MenuBar = new QMenuBar(this);
    MenuBar->setObjectName(QStringLiteral("MenuBar"));
    FileMenu = MenuBar->addMenu(QStringLiteral("&File"));
    EditMenu = MenuBar->addMenu(QStringLiteral("&Edit"));
    LevelMenu = MenuBar->addMenu(QStringLiteral("&Level"));
    ViewMenu = MenuBar->addMenu(QStringLiteral("&View"));
    HelpMenu = MenuBar->addMenu(QStringLiteral("&Help"));

    bindToButton(addCommand(FileMenu, QStringLiteral("&Open ROM..."), QKeySequence(Qt::CTRL | Qt::Key_O),
                            [this] { Button2Click(); }),
                 Button2);
    mRecentMenu = FileMenu->addMenu(QStringLiteral("Open &Recent"));
    mRecentMenu->setObjectName(QStringLiteral("RecentMenu"));
    connect(mRecentMenu, &QMenu::aboutToShow, this, &TForm1::refreshRecentMenu);
    refreshRecentMenu();
    bindToButton(addCommand(FileMenu, QStringLiteral("&Save level"), QKeySequence(Qt::CTRL | Qt::Key_S),
                            [this] { Button5Click(); }),
                 Button5);
    mSaveRomAsAction = addCommand(FileMenu, QStringLiteral("Save ROM &As..."),
                                  QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), [this] { saveRomAs(); });
    bindToButton(mSaveRomAsAction, Button27);
    bindToButton(addCommand(FileMenu, QStringLiteral("&Export level..."),
                            QKeySequence(Qt::CTRL | Qt::Key_E), [this] { Button27Click(); }),
                 Button27);
    bindToButton(addCommand(FileMenu, QStringLiteral("&Import level..."),
                            QKeySequence(Qt::CTRL | Qt::Key_I), [this] { Button28Click(); }),
                 Button28);
    mIpsAction = addCommand(FileMenu, QStringLiteral("Create IPS &patch..."), {}, [this] { createIpsPatch(); });
    bindToButton(mIpsAction, Button27);
    FileMenu->addSeparator();
    addCommand(FileMenu, QStringLiteral("&Quit"), QKeySequence(Qt::CTRL | Qt::Key_Q), [this] { quit(); });

    mUndoAction = addCommand(EditMenu, QStringLiteral("&Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z),
                             [this] { undoMapEdit(); });
    mRedoAction = addCommand(EditMenu, QStringLiteral("&Redo"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                             [this] { redoMapEdit(); });
    mRedoAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                               QKeySequence(Qt::CTRL | Qt::Key_Y)});
    createRegionCommands();
    EditMenu->addSeparator();
    bindToButton(addCommand(EditMenu, QStringLiteral("&Clear screen"), {}, [this] { Button10Click(); }),
                 Button10);

    bindToButton(addCommand(LevelMenu, QStringLiteral("&Previous level"), QKeySequence(Qt::Key_PageUp),
                            [this] { Button3Click(); }),
                 Button3);
    bindToButton(addCommand(LevelMenu, QStringLiteral("&Next level"), QKeySequence(Qt::Key_PageDown),
                            [this] { Button4Click(); }),
                 Button4);
    bindToButton(addCommand(LevelMenu, QStringLiteral("&Reload level"), QKeySequence(Qt::CTRL | Qt::Key_R),
                            [this] { Button1Click(); }),
                 Button1);
    mGoToAction = addCommand(LevelMenu, QStringLiteral("&Go to level..."), QKeySequence(Qt::CTRL | Qt::Key_G),
                             [this] { goToLevel(); });
    bindToButton(mGoToAction, Button1);
    createPlayCommands();

    mShowTilesAction = addCommand(ViewMenu, QStringLiteral("Show &tiles"), QKeySequence(Qt::CTRL | Qt::Key_T),
                                  [this] { HidemenuClick(); });
    mShowTilesAction->setCheckable(true);
    mShowGridAction = addCommand(ViewMenu, QStringLiteral("Show &grid"), {}, [this] {
        CheckBox2->setChecked(mShowGridAction->isChecked());
    });
    mShowGridAction->setCheckable(true);
    mShowGridAction->setChecked(CheckBox2->isChecked());
    connect(CheckBox2, &QCheckBox::toggled, mShowGridAction, &QAction::setChecked);

    addCommand(HelpMenu, QStringLiteral("&About"), {}, [this] { BitBtn1Click(); });
    refreshEditActions();
}

void TForm1::refreshRecentMenu()
{
    mRecentMenu->clear();
    const QStringList recent = mSettings.recentRoms();
    for (const QString &path : recent) {
        QAction *entry = mRecentMenu->addAction(shownPath(path).replace(QLatin1Char('&'), QStringLiteral("&&")));
        connect(entry, &QAction::triggered, this, [this, path] {
            guarded([&] {
                std::error_code error;
                if (!std::filesystem::exists(pathFromQString(path), error)) {
                    mSettings.removeRecentRom(path);
                    throw wmb::InOutError(wmb::IoFileNotFound);
                }
                openRomImage(path);
            });
        });
    }
    mRecentMenu->addSeparator();
    QAction *clear = mRecentMenu->addAction(QStringLiteral("Clear list"));
    clear->setEnabled(!recent.isEmpty());
    connect(clear, &QAction::triggered, this, [this] { mSettings.clearRecentRoms(); });
}

void TForm1::goToLevel()
{
    guarded([&] {
        if (!Button1->isEnabled())
            return;
        if (const std::optional<int> n = mDialogs.askLevelNumber(this, loadedLevel() ? loadedLevel() : 1))
            openLevel(*n);
    });
}

void TForm1::quit() { close(); }

wmb::LevelRecord TForm1::recordToSave() const
{
    if (!mLevelLoaded)
        throw wmb::NoLevelError();
    return wmb::recordToSave(currentFields(), mKnown.saved());
}

bool TForm1::hasUnsavedChanges() const
{
    return mLevelLoaded && wmb::wouldChangeRecord(currentFields(), mKnown.saved());
}

bool TForm1::confirmLeaveLevel()
{
    if (!hasUnsavedChanges())
        return true;
    // Save can only fail on an image opened read-only: Save ROM As instead.
    const QString save = mRomReadOnly ? QStringLiteral("Save &As...") : QStringLiteral("&Save");
    switch (mDialogs.askSaveDiscardCancel(this, QString::fromLatin1(ApplicationTitle),
                                          QStringLiteral("Level %1 has unsaved changes.").arg(mLoadedLevel), save)) {
    case SaveChoice::Save:
        if (mRomReadOnly)
            return saveRomAs();
        return saveLevel();
    case SaveChoice::Discard:
        return true;
    case SaveChoice::Cancel:
        break;
    }
    return false;
}

void TForm1::closeEvent(QCloseEvent *event)
{
    bool leave = false;
    guarded([&] { leave = confirmLeaveLevel(); });
    if (leave)
        event->accept();
    else
        event->ignore();
}

bool TForm1::openRomImage(const QString &path, int level)
{
    bool opened = false;
    guarded([&] {
        if (!confirmLeaveLevel())
            return;
        opened = openRomAt(path, level);
    });
    return opened;
}

namespace {
// The one local file of a drag, or nothing.
QString droppedFile(const QMimeData *data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1 || !data->urls().front().isLocalFile())
        return {};
    return pathFromUrl(data->urls().front());
}
} // namespace

namespace {
// A drop is taken as a copy, never a move, whatever the source proposes (a
// move would let the source delete its file); a source that offers no copy
// is refused. False when refused.
bool acceptAsCopy(QDropEvent *event)
{
    if (droppedFile(event->mimeData()).isEmpty() || !(event->possibleActions() & Qt::CopyAction))
        return false;
    event->setDropAction(Qt::CopyAction);
    event->accept();
    return true;
}
} // namespace

void TForm1::dragEnterEvent(QDragEnterEvent *event) { acceptAsCopy(event); }

void TForm1::dragMoveEvent(QDragMoveEvent *event) { acceptAsCopy(event); }

void TForm1::dropEvent(QDropEvent *event)
{
    if (acceptAsCopy(event))
        dropFile(droppedFile(event->mimeData()));
}

// A level file is imported into the level loaded last, as "Import level"
// with that file, after a question in place of the import's file dialog;
// anything else is opened as the ROM image.
void TForm1::dropFile(const QString &path)
{
    if (!path.endsWith(QStringLiteral(".level"), Qt::CaseInsensitive)) {
        openRomImage(path);
        return;
    }
    guarded([&] {
        // Without a level to import into, or with an image that cannot be
        // written, the import says why without asking.
        if (mLevelLoaded && !mRomReadOnly &&
            !mDialogs.askOkCancel(this, QString::fromLatin1(ApplicationTitle),
                                  QStringLiteral("Import ") + QFileInfo(path).fileName() + QStringLiteral(" into level ") +
                                      QString::number(mLoadedLevel) + QLatin1Char('?')))
            return;
        importLevel(path);
    });
}

void TForm1::levelEdited()
{
    mEditPending = true;
    if (mHandlerDepth == 0)
        flushChanges();
}

void TForm1::imageChanged()
{
    mImagePending = true;
    if (mHandlerDepth == 0)
        flushChanges();
}

// Runs once a handler is over, so that a gesture of many cells refreshes
// the title and the followers once.
void TForm1::flushChanges()
{
    const bool edited = std::exchange(mEditPending, false);
    const bool image = std::exchange(mImagePending, false);
    refreshTitle();
    refreshEditActions();
    mShowTilesAction->setChecked(Panel1->width() > PanelWidthNarrow);
    if (image)
        emit romImageChanged();
    if (edited || image)
        emit shownLevelEdited();
}

void TForm1::refreshTitle()
{
    const QString app = QString::fromLatin1(ApplicationTitle);
    if (!mLevelLoaded) {
        setWindowTitle(app);
        return;
    }
    // Put together piece by piece: the file name is shown as it is, "%1"
    // in it included.
    QString title = shownFileName(qStringFromPath(RomFile.path()));
    if (mRomMissing)
        title += QStringLiteral(" (missing)");
    if (mRomReadOnly)
        title += QStringLiteral(" (read-only)");
    title += QStringLiteral(", level ") + QString::number(mLoadedLevel);
    if (hasUnsavedChanges())
        title += QLatin1Char('*');
    setWindowTitle(title + QStringLiteral(" \u2014 ") + app);
}

void TForm1::refreshEditActions()
{
    const QString undo = QString::fromStdString(mMapHistory.undoName());
    const QString redo = QString::fromStdString(mMapHistory.redoName());
    mUndoAction->setText(undo.isEmpty() ? QStringLiteral("&Undo") : QStringLiteral("&Undo ") + undo);
    mRedoAction->setText(redo.isEmpty() ? QStringLiteral("&Redo") : QStringLiteral("&Redo ") + redo);
}
