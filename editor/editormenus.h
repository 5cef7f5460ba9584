// The main window's menu bar: every command of the editor once, as one table
// over the session and the window's own commands, turned into QActions of the
// window (their keys work anywhere in it). Enabled states, and the step Undo
// and Redo name, follow every change of state.
#pragma once

#include <QList>
#include <QObject>

#include "commandtable.h"

class EditorSession;
class EditorSettings;
class TForm1;
class QAction;
class QMenu;
class QMenuBar;

class EditorMenus : public QObject {
    Q_OBJECT
public:
    EditorMenus(TForm1 &window, EditorSession &session, EditorSettings &settings);

    QMenuBar *bar() const { return mBar; }
    // The commands that work while the overview has the focus too: the
    // File, Level and View menus, Undo and Redo. The map's own keys
    // (letters, Delete, Escape, the region commands) stay with the map.
    QList<QAction *> overviewCommands() const;
    QAction *showTiles() const { return mShowTiles; }
    // Every command with a rule, and its button, follows the state.
    void refresh() { mCommands.refresh(); }

private:
    void addRegionCommands();
    void addToolCommands();
    void refreshRecent();
    void refreshEditCommands();
    // Undo and redo of the session's one history, with its questions over
    // the window that has the focus; in a text box, of its text.
    void undo(bool redo);

    TForm1 &mWindow;
    EditorSession &mSession;
    EditorSettings &mSettings;
    CommandTable mCommands;
    QMenuBar *mBar = nullptr;
    QMenu *mFile = nullptr, *mEdit = nullptr, *mLevel = nullptr, *mView = nullptr, *mTools = nullptr, *mHelp = nullptr,
          *mRecent = nullptr;
    QAction *mUndo = nullptr, *mRedo = nullptr, *mShowTiles = nullptr, *mShowGrid = nullptr, *mZoomIn = nullptr;
};
