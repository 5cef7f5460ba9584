// The menus' commands as data: each command once, with its menu, text,
// keys, body and the rule that enables it (always, when it has none); a
// button given shares the rule. Each row becomes one QAction of the window
// (its keys work anywhere in it); a row with no text is a separator.
#pragma once

#include <QKeySequence>
#include <QString>

#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

class QAction;
class QMenu;
class QPushButton;
class QWidget;

struct Command {
    Command(QMenu *menu, QString text = {}, QKeySequence keys = {}, std::function<void()> run = {},
            std::function<bool()> enabled = {}, QPushButton *button = nullptr, QAction **keep = nullptr)
        : menu(menu), text(std::move(text)), keys(std::move(keys)), run(std::move(run)), enabled(std::move(enabled)),
          button(button), keep(keep)
    {
    }
    QMenu *menu;
    QString text;
    QKeySequence keys;
    std::function<void()> run;
    std::function<bool()> enabled;
    QPushButton *button;
    QAction **keep;   // where the window keeps the action, if it does
};

class CommandTable {
public:
    // `guarded` runs each body: the window's error box and change bracket.
    CommandTable(QWidget &window, std::function<void(const std::function<void()> &)> guarded);
    QAction *add(Command command);   // null for a separator
    void add(std::initializer_list<Command> commands);
    // Every command with a rule, and its button, follows the state.
    void refresh() const;

private:
    struct Rule {
        QAction *action;
        QPushButton *button;
        std::function<bool()> enabled;
    };
    QWidget &mWindow;
    std::function<void(const std::function<void()> &)> mGuarded;
    std::vector<Rule> mRules;
};
