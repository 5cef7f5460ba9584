// Dialogs answered in advance: the tests and the benchmarks drive the real
// window without a modal box ever opening.
#pragma once

#include <QString>
#include <QStringList>

#include <deque>
#include <vector>

#include "dialogs.h"

// Answers queued in advance; every call is recorded.
class FakeDialogs final : public Dialogs {
public:
    struct FileCall {
        QString dialog, title, filter, defaultSuffix, proposedName;
    };
    std::deque<QString> fileAnswers;   // for openFile and saveFile, in order; empty = cancel
    std::deque<bool> okAnswers;        // for askOkCancel; none left = Cancel
    std::vector<FileCall> fileCalls;
    QStringList questions;             // "caption|text"
    QStringList errors;                // as the error box shows them
    QStringList abouts;

    QString openFile(QWidget *, const QString &dialog, const QString &title,
                     const QString &filter) override
    {
        fileCalls.push_back({dialog, title, filter, {}, {}});
        return next();
    }
    QString saveFile(QWidget *, const QString &dialog, const QString &title,
                     const QString &filter, const QString &suffix,
                     const QString &proposed) override
    {
        fileCalls.push_back({dialog, title, filter, suffix, proposed});
        return next();
    }
    bool askOkCancel(QWidget *, const QString &caption, const QString &text) override
    {
        questions << caption + QLatin1Char('|') + text;
        if (okAnswers.empty())
            return false;
        const bool ok = okAnswers.front();
        okAnswers.pop_front();
        return ok;
    }
    void showError(QWidget *, const QString &message) override { errors << errorBoxText(message); }
    void showAbout(QWidget *, const QString &text) override { abouts << text; }

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
