#include "editormenus.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include "editorsession.h"
#include "leveldocument.h"
#include "leveloverview.h"
#include "pathnames.h"
#include "settings.h"
#include "statusbar.h"
#include "tform1.h"

EditorMenus::EditorMenus(TForm1 &window, EditorSession &session, EditorSettings &settings)
    : QObject(&window), mWindow(window), mSession(session), mSettings(settings),
      mCommands(window, [&window](const std::function<void()> &body) { window.guarded(body); })
{
    mBar = new QMenuBar(&window);
    mBar->setObjectName(QStringLiteral("MenuBar"));
    mFile = mBar->addMenu(QStringLiteral("&File"));
    mEdit = mBar->addMenu(QStringLiteral("&Edit"));
    mLevel = mBar->addMenu(QStringLiteral("&Level"));
    mView = mBar->addMenu(QStringLiteral("&View"));
    mTools = mBar->addMenu(QStringLiteral("&Tools"));
    mHelp = mBar->addMenu(QStringLiteral("&Help"));
    LevelDocument &d = session.document();
    // A level is loaded from the first open of an image on.
    const auto loaded = [&d] { return d.levelLoaded(); };
    const auto hasImage = [&d] { return d.hasImage(); };
    const auto key = [](auto... keys) { return QKeySequence((... | keys)); };
    const auto button = [&window](const char *name) { return window.findChild<QPushButton *>(QLatin1String(name)); };
    QCheckBox *grid = window.findChild<QCheckBox *>(QStringLiteral("CheckBox2"));
    EditorSession &s = session;
    TForm1 &w = window;
    using Qt::CTRL, Qt::SHIFT;

    mCommands.add({mFile, QStringLiteral("&Open ROM..."), key(CTRL, Qt::Key_O), [&w] { w.Button2Click(); }});
    mRecent = mFile->addMenu(QStringLiteral("Open &Recent"));
    mRecent->setObjectName(QStringLiteral("RecentMenu"));
    mRecent->setToolTipsVisible(true);
    connect(mRecent, &QMenu::aboutToShow, this, &EditorMenus::refreshRecent);
    refreshRecent();
    mCommands.add({
        {mFile, QStringLiteral("&Save level"), key(CTRL, Qt::Key_S), [&w] { w.Button5Click(); }, loaded,
         button("Button5")},
        {mFile, QStringLiteral("Save ROM &As..."), key(CTRL, SHIFT, Qt::Key_S), [&s] { s.saveRomAs(); }, loaded},
        {mFile, QStringLiteral("&Export level..."), key(CTRL, Qt::Key_E), [&w] { w.Button27Click(); }, loaded,
         button("Button27")},
        {mFile, QStringLiteral("&Import level..."), key(CTRL, Qt::Key_I), [&w] { w.Button28Click(); }, loaded,
         button("Button28")},
        {mFile, QStringLiteral("Create &patch..."), {}, [&s] { s.createPatch(); }, loaded},
        {mFile, QStringLiteral("Appl&y patch..."), {}, [&s] { s.applyPatch(); }, loaded},
        {mFile, QStringLiteral("Image i&nfo..."), {}, [&s] { s.showImageInfo(); }, loaded},
        {mFile, QStringLiteral("Compare &with..."), {}, [&s] { s.compareWith(); }, hasImage},
        {mFile, QStringLiteral("&Backups..."), {}, [&s] { s.showBackups(); }, hasImage},
        {mFile, QStringLiteral("Stop c&omparing"), {}, [&s] { s.stopComparing(); }, [&s] { return s.comparing(); }},
        {mFile},
        {mFile, QStringLiteral("&Quit"), key(CTRL, Qt::Key_Q), [&w] { w.close(); }},

        {mEdit, QStringLiteral("&Undo"), key(CTRL, Qt::Key_Z), [this] { undo(false); }, {}, {}, &mUndo},
        {mEdit, QStringLiteral("&Redo"), key(CTRL, SHIFT, Qt::Key_Z), [this] { undo(true); }, {}, {}, &mRedo},
    });
    addRegionCommands();
    addToolCommands();
    mCommands.add({
        {mEdit},
        {mEdit, QStringLiteral("F&ind tile..."), key(CTRL, Qt::Key_F), [&s] { s.findTile(); }, loaded},
        {mEdit, QStringLiteral("Find ne&xt"), key(Qt::Key_F3), [&s] { s.findNext(true); }, loaded},
        {mEdit, QStringLiteral("Find pre&vious"), key(SHIFT, Qt::Key_F3), [&s] { s.findNext(false); }, loaded},
        {mEdit, QStringLiteral("R&eplace tile..."), key(CTRL, Qt::Key_H), [&s] { s.replaceTile(); }, loaded},
        {mEdit},
        {mEdit, QStringLiteral("&Clear screen"), {}, [&w] { w.Button10Click(); }},
        {mEdit, QStringLiteral("Pick tile by c&ode"), key(CTRL, Qt::Key_K), [&w] { w.statusBar()->focusCodeBox(); }},

        {mLevel, QStringLiteral("&Previous level"), key(Qt::Key_PageUp), [&w] { w.Button3Click(); }, loaded,
         button("Button3")},
        {mLevel, QStringLiteral("&Next level"), key(Qt::Key_PageDown), [&w] { w.Button4Click(); }, loaded,
         button("Button4")},
        {mLevel, QStringLiteral("&Reload level"), key(CTRL, Qt::Key_R), [&w] { w.Button1Click(); }, loaded,
         button("Button1")},
        {mLevel, QStringLiteral("&Go to level..."), key(CTRL, Qt::Key_G), [&s] { s.goToLevel(); }, loaded},
        {mLevel},
        {mLevel, QStringLiteral("Level &overview"), key(CTRL, Qt::Key_L), [&w] { w.showLevelOverview(); }, hasImage},
        {mLevel},
        {mLevel, QStringLiteral("&Test in emulator"), key(Qt::Key_F5), [&s] { s.testInEmulator(false); }, loaded},
        {mLevel, QStringLiteral("Test as &first level"), key(SHIFT, Qt::Key_F5), [&s] { s.testInEmulator(true); },
         loaded},
        {mLevel, QStringLiteral("&Emulator..."), {}, [&s] { s.chooseEmulator(); }},

        {mView, QStringLiteral("Show &tiles"), key(CTRL, Qt::Key_T), [&w] { w.HidemenuClick(); }, {}, {},
         &mShowTiles},
        {mView, QStringLiteral("Show &grid"), {}, [this, grid] { grid->setChecked(mShowGrid->isChecked()); }, {}, {},
         &mShowGrid},
        {mView},
        {mView, QStringLiteral("Zoom &In"), key(CTRL, Qt::Key_Plus), [&w] { w.zoomBy(1); },
         [&w] { return w.zoom() < w.largestZoom(); }, {}, &mZoomIn},
        {mView, QStringLiteral("Zoom &Out"), key(CTRL, Qt::Key_Minus), [&w] { w.zoomBy(-1); },
         [&w] { return w.zoom() > 100; }},
        {mView, QStringLiteral("&Actual Size"), key(CTRL, Qt::Key_0), [&w] { w.chooseZoom(100); },
         [&w] { return w.zoom() != 100; }},

        {mHelp, QStringLiteral("&About"), {}, [&w] { w.BitBtn1Click(); }},
    });
    mRedo->setShortcuts({key(CTRL, SHIFT, Qt::Key_Z), key(CTRL, Qt::Key_Y)});
    mZoomIn->setShortcuts({key(CTRL, Qt::Key_Plus), key(CTRL, Qt::Key_Equal)});
    mShowTiles->setCheckable(true);
    mShowGrid->setCheckable(true);
    mShowGrid->setChecked(grid->isChecked());
    connect(grid, &QCheckBox::toggled, mShowGrid, &QAction::setChecked);
    // Undo and Redo follow the session's one history from every window, name
    // the step they act on and are enabled when there is one, while a
    // gesture is open (their keys end it) and while a text box has the focus
    // (they act on its text then).
    connect(&session, &EditorSession::historyChanged, this, &EditorMenus::refreshEditCommands);
    connect(qApp, &QApplication::focusChanged, this, &EditorMenus::refreshEditCommands);
    refreshEditCommands();
    refresh();
}

QList<QAction *> EditorMenus::overviewCommands() const
{
    QList<QAction *> commands;
    for (QMenu *menu : {mFile, mLevel, mView})
        commands += menu->actions();
    return commands << mUndo << mRedo;
}

void EditorMenus::refreshEditCommands()
{
    const auto named = [](const QString &prefix, const QString &step) {
        return step.isEmpty() ? prefix : prefix + QLatin1Char(' ') + step;
    };
    // In a text box they act on its text: they name no step then.
    const bool inText = mWindow.textBoxWithFocus() != nullptr;
    const bool open = mSession.document().stepOpen() || inText;
    mUndo->setEnabled(open || mSession.canUndo());
    mRedo->setEnabled(open || mSession.canRedo());
    mUndo->setText(named(QStringLiteral("&Undo"), inText ? QString() : mSession.undoText()));
    mRedo->setText(named(QStringLiteral("&Redo"), inText ? QString() : mSession.redoText()));
}

void EditorMenus::refreshRecent()
{
    mRecent->clear();
    const QStringList recent = mSettings.recentRoms();
    for (const QString &path : recent) {
        const QString shown = shownPath(path);
        QAction *entry = mRecent->addAction(elidedPath(shown).replace(QLatin1Char('&'), QStringLiteral("&&")));
        entry->setToolTip(shown);
        entry->setStatusTip(shown);
        connect(entry, &QAction::triggered, this, [this, path] {
            mWindow.guarded([&] { mSession.openRecent(path, [this] { return mWindow.levelNumberClamped(); }); });
        });
    }
    mRecent->addSeparator();
    QAction *clear = mRecent->addAction(QStringLiteral("Clear list"));
    clear->setEnabled(!recent.isEmpty());
    connect(clear, &QAction::triggered, this, [this] { mSettings.clearRecentRoms(); });
}

// In a text edit the keys keep working on the edit's own text; elsewhere
// they take the session's history, with its questions over the window that
// has the focus.
void EditorMenus::undo(bool redo)
{
    LevelOverview *overview = mWindow.overview();
    const bool inOverview = overview && overview->isActiveWindow();
    if (QLineEdit *edit = inOverview ? nullptr : mWindow.textBoxWithFocus()) {
        redo ? edit->redo() : edit->undo();
        return;
    }
    EditorSession::Acting acting(mSession, inOverview ? static_cast<QWidget *>(overview) : &mWindow);
    mWindow.guarded([&] { redo ? mSession.redo() : mSession.undo(); });   // its error over that window too
}

// Their keys reach the map only while no text box has the focus: a text box
// takes its own copy, cut, paste, select all, Delete and typed letters first.
void EditorMenus::addRegionCommands()
{
    const auto onTextOr = [this](auto onText, std::function<void()> onMap) {
        return [this, onText, onMap = std::move(onMap)] {
            if (QLineEdit *edit = mWindow.textBoxWithFocus())
                (edit->*onText)();
            else
                onMap();
        };
    };
    const auto toClipboard = [](const std::string &text) {
        if (!text.empty())
            QGuiApplication::clipboard()->setText(QString::fromStdString(text));
    };
    EditorSession &s = mSession;
    mCommands.add({
        {mEdit},
        {mEdit, QStringLiteral("Cu&t"), QKeySequence(Qt::CTRL | Qt::Key_X),
         onTextOr(&QLineEdit::cut, [=, &s] { toClipboard(s.cutSelection()); })},
        {mEdit, QStringLiteral("&Copy"), QKeySequence(Qt::CTRL | Qt::Key_C),
         onTextOr(&QLineEdit::copy, [=, &s] { toClipboard(s.copySelection()); })},
        {mEdit, QStringLiteral("&Paste"), QKeySequence(Qt::CTRL | Qt::Key_V),
         onTextOr(&QLineEdit::paste, [&s] { s.pasteTiles(QGuiApplication::clipboard()->text().toStdString()); })},
        {mEdit, QStringLiteral("&Delete"), QKeySequence(Qt::Key_Delete),
         onTextOr(&QLineEdit::del, [&s] { s.deleteSelection(); })},
        // F fills the selection; with nothing selected, on the map or the
        // palette, it chooses the Fill tool.
        {mEdit, QStringLiteral("&Fill"), QKeySequence(Qt::Key_F),
         [this, &s] {
             if (s.document().selection().empty() && mWindow.drawingHasFocus())
                 s.setTool(EditorSession::Tool::Fill);
             else
                 s.fillSelection();
         }},
        {mEdit},
        {mEdit, QStringLiteral("Select &all"), QKeySequence(Qt::CTRL | Qt::Key_A),
         onTextOr(&QLineEdit::selectAll, [&s] { s.selectAll(); })},
        {mEdit, QStringLiteral("Select &none"), QKeySequence(Qt::Key_Escape), [&s] { s.selectNone(); }},
    });
}

// The tools' keys are the map's and the palette's own (a text box types
// them, a button ignores them): the menu only names them.
void EditorMenus::addToolCommands()
{
    auto *group = new QActionGroup(this);
    std::vector<QAction *> actions;
    for (const EditorSession::ToolCommand &t : EditorSession::toolCommands()) {
        QAction *action = mCommands.add({mTools, t.menuText, {}, [this, tool = t.tool] { mSession.setTool(tool); }});
        action->setCheckable(true);
        group->addAction(action);
        actions.push_back(action);
    }
    const auto follow = [this, actions] { actions[static_cast<std::size_t>(mSession.tool())]->setChecked(true); };
    connect(&mSession, &EditorSession::toolChanged, this, follow);
    follow();
}
