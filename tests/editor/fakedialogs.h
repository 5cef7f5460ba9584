// Dialogs answered in advance: the tests and the benchmarks drive the real
// window without a modal box ever opening.
#pragma once

#include <QString>
#include <QStringList>

#include <deque>
#include <optional>
#include <vector>

#include "dialogs.h"

// Answers queued in advance; every call is recorded.
class FakeDialogs final : public Dialogs {
public:
    struct FileCall {
        QString dialog, title, filter, defaultSuffix, proposedName, folder;
    };
    std::deque<QString> fileAnswers;   // for openFile and saveFile, in order; empty = cancel
    std::deque<bool> okAnswers;        // for askOkCancel; none left = Cancel
    std::deque<SaveChoice> saveChoices;   // for askSaveDiscardCancel; none left = Discard
    std::deque<OverwriteChoice> overwriteChoices;   // for askOverwriteReloadCancel; none left = Cancel
    std::deque<RecoveryChoice> recoveryChoices;     // for askRestoreDiscardLater; none left = Later
    QStringList saveButtons;           // the Save button of each unsaved-changes question
    std::deque<std::optional<int>> levelAnswers;   // for askLevelNumber; none left = cancel
    std::deque<QString> textAnswers;   // for askText; a null text or none left = cancel
    std::deque<TileReplacementAnswer> replaceAnswers;   // for askTileReplacement; none left = cancel
    std::deque<BackupChoice> backupChoices;   // for chooseBackup; none left = closed
    QList<QList<BackupRow>> backupLists;      // the rows each chooseBackup showed
    std::vector<FileCall> fileCalls;
    QStringList questions;             // "caption|text", "|Cancel" added where Enter cancels
    QStringList errors;                // as the error box shows them
    QStringList abouts;
    QStringList levelCaptions;         // the titles of the level number boxes asked
    QStringList messages;              // information boxes
    QStringList infos;                 // Image info: the caption, then "label: value" lines

    QString openFile(QWidget *, const QString &dialog, const QString &title,
                     const QString &filter, const QString &folder) override
    {
        fileCalls.push_back({dialog, title, filter, {}, {}, folder});
        return next();
    }
    QString saveFile(QWidget *, const QString &dialog, const QString &title,
                     const QString &filter, const QString &suffix,
                     const QString &proposed) override
    {
        fileCalls.push_back({dialog, title, filter, suffix, proposed, {}});
        return next();
    }
    bool askOkCancel(QWidget *, const QString &caption, const QString &text, Answer enter) override
    {
        questions << caption + QLatin1Char('|') + text + (enter == Answer::Cancel ? QStringLiteral("|Cancel") : QString());
        if (okAnswers.empty())
            return false;
        const bool ok = okAnswers.front();
        okAnswers.pop_front();
        return ok;
    }
    void showError(QWidget *, const QString &message) override { errors << errorBoxText(message); }
    void showAbout(QWidget *, const QString &text) override { abouts << text; }
    SaveChoice askSaveDiscardCancel(QWidget *, const QString &caption, const QString &text,
                                    const QString &saveButton) override
    {
        questions << caption + QLatin1Char('|') + text;
        saveButtons << saveButton;
        return take(saveChoices, SaveChoice::Discard);
    }
    OverwriteChoice askOverwriteReloadCancel(QWidget *, const QString &caption, const QString &text) override
    {
        questions << caption + QLatin1Char('|') + text;
        return take(overwriteChoices, OverwriteChoice::Cancel);
    }
    RecoveryChoice askRestoreDiscardLater(QWidget *, const QString &caption, const QString &text,
                                          const QString &restoreButton) override
    {
        questions << caption + QLatin1Char('|') + text +
                         (restoreButton.isEmpty()                       ? QStringLiteral("|no Restore")
                          : restoreButton == QStringLiteral("&Restore") ? QString()
                                                                        : QLatin1Char('|') + restoreButton);
        return take(recoveryChoices, RecoveryChoice::Later);
    }
    void showMessage(QWidget *, const QString &text) override { messages << text; }
    std::optional<int> askLevelNumber(QWidget *, int, const QString &caption) override
    {
        levelCaptions << caption;
        if (levelAnswers.empty())
            return std::nullopt;
        const std::optional<int> answer = levelAnswers.front();
        levelAnswers.pop_front();
        return answer;
    }

    std::optional<QString> askText(QWidget *, const QString &caption, const QString &, const QString &) override
    {
        questions << caption;
        const QString answer = textAnswers.empty() ? QString() : textAnswers.front();
        if (!textAnswers.empty())
            textAnswers.pop_front();
        if (answer.isNull())
            return std::nullopt;
        return answer;
    }

    std::optional<TileReplacementAnswer> askTileReplacement(QWidget *, const QString &, const QString &) override
    {
        if (replaceAnswers.empty())
            return std::nullopt;
        return take(replaceAnswers, {});
    }

    std::optional<BackupChoice> chooseBackup(QWidget *, const QString &, const QList<BackupRow> &rows) override
    {
        backupLists << rows;
        if (backupChoices.empty())
            return std::nullopt;
        return take(backupChoices, {});
    }

    void showImageInfo(QWidget *, const QString &caption, const QList<QPair<QString, QString>> &items) override
    {
        QString text = caption;
        for (const auto &[label, value] : items)
            text += QLatin1Char('\n') + label + QStringLiteral(": ") + value;
        infos << text;
    }

private:
    template <class T> static T take(std::deque<T> &answers, T none)
    {
        if (answers.empty())
            return none;
        const T answer = answers.front();
        answers.pop_front();
        return answer;
    }
    QString next()
    {
        if (fileAnswers.empty())
            return {};
        QString answer = fileAnswers.front();
        fileAnswers.pop_front();
        return answer;
    }
};
