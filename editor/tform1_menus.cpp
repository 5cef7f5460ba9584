// The menu bar, the window title, the unsaved-changes question and the ways
// a ROM image is opened besides the Open ROM button: Open Recent, a file
// dropped on the window and the command line.
#include "tform1.h"

#include <QAction>
#include <QApplication>
#include <QUndoStack>
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
#include "editorsession.h"
#include "errors.h"
#include "leveldocument.h"
#include "levelfile.h"
#include "pathnames.h"
#include "recovery.h"

#include <filesystem>

QAction *TForm1::addCommand(QMenu *menu, const QString &text, const QKeySequence &keys, std::function<void()> body,
                            std::function<bool()> enabled, QPushButton *button)
{
    auto *action = new QAction(text, this);
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    menu->addAction(action);
    addAction(action);
    connect(action, &QAction::triggered, this, [this, body = std::move(body)] { guarded(body); });
    if (enabled)
        mCommands.push_back({action, button, std::move(enabled)});
    return action;
}

// Every command with a rule, and its button, follows the document.
void TForm1::refreshCommands()
{
    for (const Command &c : mCommands) {
        const bool on = c.enabled();
        c.action->setEnabled(on);
        if (c.button)
            c.button->setEnabled(on);
    }
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
    // A level is loaded from the first open of an image on.
    const auto loaded = [this] { return mDocument->levelLoaded(); };

    addCommand(FileMenu, QStringLiteral("&Open ROM..."), QKeySequence(Qt::CTRL | Qt::Key_O), [this] { Button2Click(); });
    mRecentMenu = FileMenu->addMenu(QStringLiteral("Open &Recent"));
    mRecentMenu->setObjectName(QStringLiteral("RecentMenu"));
    mRecentMenu->setToolTipsVisible(true);
    connect(mRecentMenu, &QMenu::aboutToShow, this, &TForm1::refreshRecentMenu);
    refreshRecentMenu();
    addCommand(FileMenu, QStringLiteral("&Save level"), QKeySequence(Qt::CTRL | Qt::Key_S), [this] { Button5Click(); },
               loaded, Button5);
    addCommand(FileMenu, QStringLiteral("Save ROM &As..."), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S),
               [this] { mSession->saveRomAs(); }, loaded);
    addCommand(FileMenu, QStringLiteral("&Export level..."), QKeySequence(Qt::CTRL | Qt::Key_E),
               [this] { Button27Click(); }, loaded, Button27);
    addCommand(FileMenu, QStringLiteral("&Import level..."), QKeySequence(Qt::CTRL | Qt::Key_I),
               [this] { Button28Click(); }, loaded, Button28);
    addCommand(FileMenu, QStringLiteral("Create &patch..."), {}, [this] { guarded([&] { mSession->createPatch(); }); }, loaded);
    addCommand(FileMenu, QStringLiteral("Appl&y patch..."), {}, [this] { guarded([&] { mSession->applyPatch(); }); }, loaded);
    addCommand(FileMenu, QStringLiteral("Image i&nfo..."), {}, [this] { guarded([&] { mSession->showImageInfo(); }); }, loaded);
    createCompareCommands();
    FileMenu->addSeparator();
    addCommand(FileMenu, QStringLiteral("&Quit"), QKeySequence(Qt::CTRL | Qt::Key_Q), [this] { quit(); });

    createEditCommands();
    createRegionCommands();
    createFindCommands();
    EditMenu->addSeparator();
    addCommand(EditMenu, QStringLiteral("&Clear screen"), {}, [this] { Button10Click(); });

    addCommand(LevelMenu, QStringLiteral("&Previous level"), QKeySequence(Qt::Key_PageUp), [this] { Button3Click(); },
               loaded, Button3);
    addCommand(LevelMenu, QStringLiteral("&Next level"), QKeySequence(Qt::Key_PageDown), [this] { Button4Click(); },
               loaded, Button4);
    addCommand(LevelMenu, QStringLiteral("&Reload level"), QKeySequence(Qt::CTRL | Qt::Key_R),
               [this] { Button1Click(); }, loaded, Button1);
    addCommand(LevelMenu, QStringLiteral("&Go to level..."), QKeySequence(Qt::CTRL | Qt::Key_G),
               [this] { goToLevel(); }, loaded);
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
    createZoomCommands();

    addCommand(HelpMenu, QStringLiteral("&About"), {}, [this] { BitBtn1Click(); });
    refreshCommands();
}

// Undo and Redo follow the session's one history from every window, name
// the step they act on and are enabled when there is one, while a gesture
// is open (their keys end it) and while a text box has the focus (they act
// on its text then).
void TForm1::createEditCommands()
{
    mUndoAction = addCommand(EditMenu, QStringLiteral("&Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z),
                             [this] { undoMapEdit(false); });
    mRedoAction = addCommand(EditMenu, QStringLiteral("&Redo"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                             [this] { undoMapEdit(true); });
    mRedoAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    connect(mSession, &EditorSession::historyChanged, this, &TForm1::refreshEditCommands);
    connect(qApp, &QApplication::focusChanged, this, &TForm1::refreshEditCommands);
    refreshEditCommands();
}

void TForm1::refreshEditCommands()
{
    const auto named = [](const QString &prefix, const QString &step) {
        return step.isEmpty() ? prefix : prefix + QLatin1Char(' ') + step;
    };
    const bool open = mDocument->stepOpen() || textBoxWithFocus();
    mUndoAction->setEnabled(open || mSession->canUndo());
    mRedoAction->setEnabled(open || mSession->canRedo());
    mUndoAction->setText(named(QStringLiteral("&Undo"), mSession->undoText()));
    mRedoAction->setText(named(QStringLiteral("&Redo"), mSession->redoText()));
}

void TForm1::refreshRecentMenu()
{
    mRecentMenu->clear();
    const QStringList recent = mSettings.recentRoms();
    for (const QString &path : recent) {
        const QString shown = shownPath(path);
        QAction *entry = mRecentMenu->addAction(elidedPath(shown).replace(QLatin1Char('&'), QStringLiteral("&&")));
        entry->setToolTip(shown);
        entry->setStatusTip(shown);
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
        if (!mDocument->levelLoaded())
            return;
        if (const std::optional<int> n =
                mDialogs.askLevelNumber(mSession->asker(), loadedLevel(), QStringLiteral("Go to level")))
            openLevel(*n);
    });
}

void TForm1::quit() { close(); }

void TForm1::closeEvent(QCloseEvent *event)
{
    bool leave = false;
    guarded([&] { leave = mSession->confirmLeaveLevel(); });
    if (leave) {
        mRecovery->discard();
        event->accept();
    } else {
        event->ignore();
    }
}

bool TForm1::openRomImage(const QString &path, int level)
{
    bool opened = false;
    guarded([&] {
        if (!mSession->confirmLeaveLevel())
            return;
        opened = mSession->openRomAt(path, level, [this] { return levelNumberClamped(); });
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
        if (levelLoaded() && !mDocument->readOnly() &&
            !mDialogs.askOkCancel(this, QString::fromLatin1(ApplicationTitle),
                                  QStringLiteral("Import ") + QFileInfo(path).fileName() + QStringLiteral(" into level ") +
                                      QString::number(loadedLevel()) + QLatin1Char('?')))
            return;
        mSession->importLevel(path);
    });
}

void TForm1::refreshTitle()
{
    const QString app = QString::fromLatin1(ApplicationTitle);
    if (!levelLoaded()) {
        setWindowTitle(app);
        return;
    }
    // Put together piece by piece: the file name is shown as it is, "%1"
    // in it included.
    QString title = shownFileName(qStringFromPath(mDocument->imagePath()));
    if (mDocument->missing())
        title += QStringLiteral(" (missing)");
    if (mDocument->readOnly())
        title += QStringLiteral(" (read-only)");
    title += QStringLiteral(", level ") + QString::number(loadedLevel());
    if (mDocument->wouldChangeRecord())
        title += QLatin1Char('*');
    setWindowTitle(title + QStringLiteral(" \u2014 ") + app);
}
