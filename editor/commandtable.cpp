#include "commandtable.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QWidget>

CommandTable::CommandTable(QWidget &window, std::function<void(const std::function<void()> &)> guarded)
    : mWindow(window), mGuarded(std::move(guarded))
{
}

QAction *CommandTable::add(Command command)
{
    if (command.text.isEmpty()) {
        command.menu->addSeparator();
        return nullptr;
    }
    auto *action = new QAction(command.text, &mWindow);
    action->setShortcut(command.keys);
    action->setShortcutContext(Qt::WindowShortcut);
    command.menu->addAction(action);
    mWindow.addAction(action);
    QObject::connect(action, &QAction::triggered, &mWindow,
                     [this, run = std::move(command.run)] { mGuarded(run); });
    if (command.keep)
        *command.keep = action;
    if (command.enabled)
        mRules.push_back({action, command.button, std::move(command.enabled)});
    return action;
}

void CommandTable::add(std::initializer_list<Command> commands)
{
    for (const Command &command : commands)
        add(command);
}

void CommandTable::refresh() const
{
    for (const Rule &rule : mRules) {
        const bool on = rule.enabled();
        rule.action->setEnabled(on);
        if (rule.button)
            rule.button->setEnabled(on);
    }
}
