// The menu bar, the window title, the unsaved-changes question and the ways
// a ROM image is opened besides the Open ROM button: Open Recent, a file
// dropped on the window and the command line.
#include "tform1.h"

#include <QAction>
#include <QApplication>
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
#include "pathnames.h"
#include "recovery.h"
#include "statusbar.h"

#include <filesystem>

void TForm1::refreshCommands() { mCommands.refresh(); }

// Every command of the menus, in their order.
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
    const auto hasImage = [this] { return mDocument->hasImage(); };
    const auto key = [](auto... keys) { return QKeySequence((... | keys)); };
    EditorSession &s = *mSession;
    using Qt::CTRL, Qt::SHIFT;

    mCommands.add({FileMenu, QStringLiteral("&Open ROM..."), key(CTRL, Qt::Key_O), [this] { Button2Click(); }});
    mRecentMenu = FileMenu->addMenu(QStringLiteral("Open &Recent"));
    mRecentMenu->setObjectName(QStringLiteral("RecentMenu"));
    mRecentMenu->setToolTipsVisible(true);
    connect(mRecentMenu, &QMenu::aboutToShow, this, &TForm1::refreshRecentMenu);
    refreshRecentMenu();
    mCommands.add({
        {FileMenu, QStringLiteral("&Save level"), key(CTRL, Qt::Key_S), [this] { Button5Click(); }, loaded, Button5},
        {FileMenu, QStringLiteral("Save ROM &As..."), key(CTRL, SHIFT, Qt::Key_S), [&s] { s.saveRomAs(); }, loaded},
        {FileMenu, QStringLiteral("&Export level..."), key(CTRL, Qt::Key_E), [this] { Button27Click(); }, loaded,
         Button27},
        {FileMenu, QStringLiteral("&Import level..."), key(CTRL, Qt::Key_I), [this] { Button28Click(); }, loaded,
         Button28},
        {FileMenu, QStringLiteral("Create &patch..."), {}, [&s] { s.createPatch(); }, loaded},
        {FileMenu, QStringLiteral("Appl&y patch..."), {}, [&s] { s.applyPatch(); }, loaded},
        {FileMenu, QStringLiteral("Image i&nfo..."), {}, [&s] { s.showImageInfo(); }, loaded},
        {FileMenu, QStringLiteral("Compare &with..."), {}, [&s] { s.compareWith(); }, hasImage},
        {FileMenu, QStringLiteral("&Backups..."), {}, [&s] { s.showBackups(); }, hasImage},
        {FileMenu, QStringLiteral("Stop c&omparing"), {}, [&s] { s.stopComparing(); }, [&s] { return s.comparing(); }},
        {FileMenu},
        {FileMenu, QStringLiteral("&Quit"), key(CTRL, Qt::Key_Q), [this] { quit(); }},

        {EditMenu, QStringLiteral("&Undo"), key(CTRL, Qt::Key_Z), [this] { undoMapEdit(false); }, {}, {}, &mUndoAction},
        {EditMenu, QStringLiteral("&Redo"), key(CTRL, SHIFT, Qt::Key_Z), [this] { undoMapEdit(true); }, {}, {},
         &mRedoAction},
    });
    createRegionCommands();
    mCommands.add({
        {EditMenu},
        {EditMenu, QStringLiteral("F&ind tile..."), key(CTRL, Qt::Key_F), [&s] { s.findTile(); }, loaded},
        {EditMenu, QStringLiteral("Find ne&xt"), key(Qt::Key_F3), [&s] { s.findNext(true); }, loaded},
        {EditMenu, QStringLiteral("Find pre&vious"), key(SHIFT, Qt::Key_F3), [&s] { s.findNext(false); }, loaded},
        {EditMenu, QStringLiteral("R&eplace tile..."), key(CTRL, Qt::Key_H), [&s] { s.replaceTile(); }, loaded},
        {EditMenu},
        {EditMenu, QStringLiteral("&Clear screen"), {}, [this] { Button10Click(); }},
        {EditMenu, QStringLiteral("Pick tile by c&ode"), key(CTRL, Qt::Key_K), [this] { mStatusBar->focusCodeBox(); }},

        {LevelMenu, QStringLiteral("&Previous level"), key(Qt::Key_PageUp), [this] { Button3Click(); }, loaded, Button3},
        {LevelMenu, QStringLiteral("&Next level"), key(Qt::Key_PageDown), [this] { Button4Click(); }, loaded, Button4},
        {LevelMenu, QStringLiteral("&Reload level"), key(CTRL, Qt::Key_R), [this] { Button1Click(); }, loaded, Button1},
        {LevelMenu, QStringLiteral("&Go to level..."), key(CTRL, Qt::Key_G), [&s] { s.goToLevel(); }, loaded},
        {LevelMenu},
        {LevelMenu, QStringLiteral("Level &overview"), key(CTRL, Qt::Key_L), [this] { showLevelOverview(); }, hasImage},
        {LevelMenu},
        {LevelMenu, QStringLiteral("&Test in emulator"), key(Qt::Key_F5), [this] { testInEmulator(false); }, loaded},
        {LevelMenu, QStringLiteral("Test as &first level"), key(SHIFT, Qt::Key_F5), [this] { testInEmulator(true); },
         loaded},
        {LevelMenu, QStringLiteral("&Emulator..."), {}, [this] { chooseEmulator(); }},

        {ViewMenu, QStringLiteral("Show &tiles"), key(CTRL, Qt::Key_T), [this] { HidemenuClick(); }, {}, {},
         &mShowTilesAction},
        {ViewMenu, QStringLiteral("Show &grid"), {}, [this] { CheckBox2->setChecked(mShowGridAction->isChecked()); },
         {}, {}, &mShowGridAction},
        {ViewMenu},
        {ViewMenu, QStringLiteral("Zoom &In"), key(CTRL, Qt::Key_Plus), [this] { zoomBy(1); },
         [this] { return mLayout.percent < largestZoom(); }, {}, &mZoomInAction},
        {ViewMenu, QStringLiteral("Zoom &Out"), key(CTRL, Qt::Key_Minus), [this] { chooseZoom(wmb::zoomOut(mLayout.percent)); },
         [this] { return mLayout.percent > 100; }},
        {ViewMenu, QStringLiteral("&Actual Size"), key(CTRL, Qt::Key_0), [this] { chooseZoom(100); },
         [this] { return mLayout.percent != 100; }},

        {HelpMenu, QStringLiteral("&About"), {}, [this] { BitBtn1Click(); }},
    });
    mRedoAction->setShortcuts({key(CTRL, SHIFT, Qt::Key_Z), key(CTRL, Qt::Key_Y)});
    mZoomInAction->setShortcuts({key(CTRL, Qt::Key_Plus), key(CTRL, Qt::Key_Equal)});
    mShowTilesAction->setCheckable(true);
    mShowGridAction->setCheckable(true);
    mShowGridAction->setChecked(CheckBox2->isChecked());
    connect(CheckBox2, &QCheckBox::toggled, mShowGridAction, &QAction::setChecked);
    // Undo and Redo follow the session's one history from every window, name
    // the step they act on and are enabled when there is one, while a
    // gesture is open (their keys end it) and while a text box has the focus
    // (they act on its text then).
    connect(mSession, &EditorSession::historyChanged, this, &TForm1::refreshEditCommands);
    connect(qApp, &QApplication::focusChanged, this, &TForm1::refreshEditCommands);
    refreshEditCommands();
    followCtrlWheel();
    refreshCommands();
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
    guarded([&] { opened = mSession->openRomAfterQuestion(path, level, [this] { return levelNumberClamped(); }); });
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

void TForm1::dropFile(const QString &path)
{
    guarded([&] { mSession->dropFile(path, [this] { return levelNumberClamped(); }); });
}

void TForm1::refreshTitle() { setWindowTitle(mSession->windowTitle()); }
