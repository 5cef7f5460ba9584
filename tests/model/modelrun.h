// One random run: the real window offscreen over a copy of the demo ROM in a
// temporary folder, driven by seeded random user actions, each mirrored in
// the reference model; after every action the window, the ROM images and the
// level files are compared with the model's predictions.
#pragma once

#include <QDir>
#include <QHash>
#include <QImage>
#include <QStringList>
#include <QTemporaryDir>

#include <utility>

#include <deque>
#include <set>
#include <array>
#include <map>
#include <memory>
#include <random>
#include <vector>

#include "dialogs.h"
#include "editor/editorfixture.h"
#include "editormodel.h"

// Dialogs answered in advance; every message is recorded as raised.
class ScriptedDialogs final : public Dialogs {
public:
    std::deque<QString> fileAnswers;   // empty text: cancelled
    std::deque<bool> okAnswers;
    SaveChoice saveAnswer = SaveChoice::Cancel;   // to every unsaved-changes question
    int saveQuestions = 0;
    OverwriteChoice overwriteAnswer = OverwriteChoice::Cancel;   // to every changed-on-disk question
    int overwriteQuestions = 0;
    QStringList proposedNames;         // of every save dialog shown
    int fileDialogs = 0;
    int questions = 0;
    QStringList errors;

    QString openFile(QWidget *, const QString &, const QString &, const QString &, const QString &) override;
    QString saveFile(QWidget *, const QString &, const QString &, const QString &, const QString &,
                     const QString &proposedName) override;
    bool askOkCancel(QWidget *, const QString &, const QString &, Answer) override;
    void showError(QWidget *, const QString &message) override { errors << message; }
    void showAbout(QWidget *, const QString &) override {}
    SaveChoice askSaveDiscardCancel(QWidget *, const QString &, const QString &, const QString &) override;
    OverwriteChoice askOverwriteReloadCancel(QWidget *, const QString &, const QString &) override
    {
        ++overwriteQuestions;
        return overwriteAnswer;
    }
    RecoveryChoice recoveryAnswer = RecoveryChoice::Later;   // to every offer of a recovery file
    int recoveryQuestions = 0;
    RecoveryChoice askRestoreDiscardLater(QWidget *, const QString &, const QString &, const QString &) override
    {
        ++recoveryQuestions;
        return recoveryAnswer;
    }
    void showMessage(QWidget *, const QString &) override {}
    std::optional<int> askLevelNumber(QWidget *, int, const QString &) override { return std::nullopt; }
    std::optional<QString> askText(QWidget *, const QString &, const QString &, const QString &) override
    {
        return std::nullopt;
    }
    std::optional<TileReplacementAnswer> replaceAnswer;   // to the next Replace tile dialog
    std::optional<TileReplacementAnswer> askTileReplacement(QWidget *, const QString &, const QString &) override
    {
        return std::exchange(replaceAnswer, std::nullopt);
    }
    void showImageInfo(QWidget *, const QString &, const QList<QPair<QString, QString>> &) override {}

private:
    QString nextFile();
};

class ModelRun {
public:
    explicit ModelRun(std::uint64_t seed);
    ~ModelRun();

    // Starts the window; false with the reason in `failure` when it cannot.
    bool start(QString &failure);
    // Runs `count` random actions; stops at the first difference.
    bool run(int count);
    // The seed, the action, the differences and the last actions.
    QString failureReport() const;
    // How often each action ran.
    QString summary() const;

private:
    using Action = void (ModelRun::*)();
    struct WeightedAction {
        const char *name;
        int weight;
        Action action;
    };

    // The actions (modelactions.cpp).
    void pickPalette();
    void paintCell();
    void dragStroke();
    void chooseTool();
    void rightPick();
    void toggleActiveSelect();
    void clearScreen();
    void toggleGrid();
    void typeText();
    void pasteText();
    void timerKeys();
    void timerPaste();
    void timerArrow();
    void mouseMove();
    void levelKeys();
    void levelPaste();
    void reload();
    void stepLevel();
    void save();
    void exportLevel();
    void importGoodFile();
    void importBadFile();
    void openRom();
    void saveRomAs();
    void otherProgram();
    void undo();
    void redo();
    void overviewLevels();   // modellevels.cpp
    void wholeImageEdit();   // modellevels.cpp: a tile replaced in all levels, a level taken from another image
    QByteArray mOtherImage;  // the image compared with, once there is one
    QTemporaryDir mOtherDir; // its folder, apart from the folder the model follows
    // Regions (modelregion.cpp).
    void selectRegion();
    void mapKeyAction();
    void regionCommand();
    void floodFill();
    void pickByCode();
    void zoom();
    void crash();   // modelcrash.cpp
    QTemporaryDir mDataHome;   // the editors' data folder: their recovery files
    void startWindow();
    void foreignClipboard();
    void mapKeys(bool shift);
    void clickCellWith(int cell, Qt::KeyboardModifiers modifiers, int dragTo = 0);

    // Driving the window.
    void pressCell(int cell, Qt::MouseButton button);
    void moveToCell(int cell);
    void releaseCell(int cell, Qt::MouseButton button);
    void sendKey(QWidget *w, int key, const QString &text, Qt::KeyboardModifiers mods = Qt::NoModifier);
    void numberKeys(QWidget *edit, bool level);
    void import(model::Target target, const QString &path, const QByteArray &bytes);
    // After another program wrote the bound image: the window follows it as
    // its watch would after the pause; with awaitWatch once the watch has
    // seen the write (noted as a difference when it does not within 2 s).
    void followDisk(bool awaitWatch);

    // Random choices.
    int below(int n);
    bool chance(int percent) { return below(100) < percent; }
    QString randomCharacter(bool pasted);
    QByteArray randomLevelFile();
    QByteArray randomFileText(bool utf8);

    // Files in the temporary folder.
    QString path(const QString &name) const { return mDir.filePath(name); }
    static QByteArray readFile(const QString &file);
    static void writeFile(const QString &file, const QByteArray &bytes);

    // Comparisons; each difference is noted.
    bool check();
    void checkWindow();
    void checkPictures();
    void checkFiles();
    void compareFile(const QString &name, const QByteArray &expected, bool rom);
    // The images as the model held them before an action, and whether each
    // existed; checkBackups compares the backups the action made with them.
    struct Images {
        std::array<QByteArray, 3> bytes;
        std::array<bool, 3> exist{};
        std::array<std::size_t, 3> backups{};
    };
    Images images() const;
    void checkBackups(const Images &before);
    // Unchecked (the action wrote an image itself): a backup made counts.
    void noteBackups(const Images &before);
    std::set<QString> mBackedUp;   // the images backed up in this run
    void note(const QString &difference) { mDifferences << difference; }
    void log(const QString &action);
    const QImage &tileImage(const QString &code);

    std::uint64_t mSeed;
    std::mt19937_64 mRandom;
    QTemporaryDir mTemp;
    QDir mDir;
    ScriptedDialogs mDialogs;
    WindowDriver mWindow;
    std::unique_ptr<model::EditorModel> mModel;
    QByteArray mDemo;

    std::vector<WeightedAction> mActions;
    std::map<QString, int> mCounts;
    int mIndex = 0;
    std::deque<QString> mLastActions;
    QStringList mDifferences;
    int mExpectedQuestions = 0;
    int mExpectedFileDialogs = 0;
    QString mExpectedProposedName;
    QHash<qint64, QString> mVerifiedPixmaps;   // picture cache key -> tile code it shows
    std::map<QString, QImage> mTileImages;
};
