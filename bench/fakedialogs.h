// Dialogs answered from queues, so the benchmarks drive the real window
// without a modal box ever opening. Errors are recorded: a benchmark whose
// action failed reports it instead of timing a failure.
#pragma once

#include <QStringList>

#include <deque>

#include "dialogs.h"

class FakeDialogs final : public Dialogs {
public:
    std::deque<QString> fileAnswers;   // for openFile and saveFile, in order; empty = cancel
    std::deque<bool> okAnswers;        // for askOkCancel; none left = Cancel
    QStringList errors;

    QString openFile(QWidget *, const QString &, const QString &, const QString &) override
    {
        return next();
    }
    QString saveFile(QWidget *, const QString &, const QString &, const QString &, const QString &,
                     const QString &) override
    {
        return next();
    }
    bool askOkCancel(QWidget *, const QString &, const QString &) override
    {
        if (okAnswers.empty())
            return false;
        const bool ok = okAnswers.front();
        okAnswers.pop_front();
        return ok;
    }
    void showError(QWidget *, const QString &message) override { errors << errorBoxText(message); }
    void showAbout(QWidget *, const QString &) override {}

private:
    QString next()
    {
        if (fileAnswers.empty())
            return {};
        QString answer = fileAnswers.front();
        fileAnswers.pop_front();
        return answer;
    }
};
