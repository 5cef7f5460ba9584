// The real file dialogs as QtDialogs sets them up, accepted with a typed
// name as a user would (without showing them: the accept path is the one a
// click on Save takes), and the error box text.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>

#include "dialogs.h"
#include "pathnames.h"

namespace {

QLineEdit *fileNameEdit(QFileDialog &box) { return box.findChild<QLineEdit *>("fileNameEdit"); }

// The filter texts the user can pick from.
QStringList shownFilters(QFileDialog &box)
{
    QStringList shown;
    const auto *combo = box.findChild<QComboBox *>("fileTypeCombo");
    for (int i = 0; combo && i < combo->count(); ++i)
        shown << combo->itemText(i);
    return shown;
}

// The names the dialog lists once it has read its folder.
QStringList listedFiles(QFileDialog &box, int expected)
{
    const auto *view = box.findChild<QListView *>("listView");
    QStringList names;
    if (!QTest::qWaitFor([&] { return view->model()->rowCount(view->rootIndex()) >= expected; }, 5000))
        ADD_FAILURE() << "the dialog listed fewer files than expected";
    for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
        names << view->model()->index(row, 0, view->rootIndex()).data().toString();
    names.sort();
    return names;
}

// What a click on the dialog's Save/Open button does (QFileDialog::accept,
// reached through the public slot of QDialog).
void accept(QFileDialog &box) { static_cast<QDialog &>(box).accept(); }

// A widget dialog (the offscreen platform has no native one; say so anyway,
// since only the widget dialog can be driven here) set up as the export's.
void setUpExportDialog(QFileDialog &box, const QString &folder, const QString &last = {})
{
    box.setOption(QFileDialog::DontUseNativeDialog, true);
    box.setDirectory(folder);
    setUpSaveDialog(box, QStringLiteral("SaveDialog1"), QStringLiteral(" Please, save level file..."),
                    QStringLiteral("Level files|*.level"), QStringLiteral("level"),
                    QStringLiteral("level_7"), last);
}

} // namespace

TEST(FileDialogs, SaveDialogShowsTheExportTexts)
{
    QTemporaryDir dir;
    QFileDialog box;
    setUpExportDialog(box, dir.path());
    EXPECT_EQ(box.objectName(), "SaveDialog1");
    EXPECT_EQ(box.windowTitle(), " Please, save level file...");
    EXPECT_EQ(box.nameFilters(), QStringList{"Level files (*.level)"});
    EXPECT_EQ(shownFilters(box), QStringList{"Level files"}) << "the pattern Qt adds is hidden";
    EXPECT_EQ(box.defaultSuffix(), "level");
    EXPECT_EQ(box.acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(box.fileMode(), QFileDialog::AnyFile);
    EXPECT_TRUE(box.testOption(QFileDialog::DontConfirmOverwrite));
    ASSERT_NE(fileNameEdit(box), nullptr);
    EXPECT_EQ(fileNameEdit(box)->text(), "level_7") << "the proposed name is offered";
}

// What the dialog returns for what the user typed: ".level" is appended to a
// name without an extension, an existing file is taken without a question
// (the export asks its own).
TEST(FileDialogs, SaveDialogReturnsTheChosenFile)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("sub"));
    QFile old(dir.filePath(QStringLiteral("old.level")));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.close();

    const struct {
        QString typed;    // empty: the proposed name kept
        QString chosen;   // relative to the folder
    } rows[] = {
        {{}, "level_7.level"},
        {"mine", "mine.level"},
        {"mine.lvl", "mine.lvl"},
        {"two.dots.level", "two.dots.level"},
        {"old", "old.level"},
        {"old.level", "old.level"},
        {dir.filePath("sub/deep"), "sub/deep.level"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.typed.toStdString());
        QFileDialog box;
        setUpExportDialog(box, dir.path());
        ASSERT_TRUE(box.testOption(QFileDialog::DontConfirmOverwrite))
            << "otherwise accept() would wait for Qt's own question";
        if (!row.typed.isEmpty())
            fileNameEdit(box)->setText(row.typed);
        accept(box);
        EXPECT_EQ(box.result(), QDialog::Accepted);
        EXPECT_EQ(box.selectedFiles(), QStringList{dir.filePath(row.chosen)});
    }
}

// The next export opens in the folder of the file chosen last; a proposed
// name with a folder (Save ROM As proposes the open image) opens that one.
TEST(FileDialogs, SaveDialogOpensWhereTheLastExportWent)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("exports"));
    QFileDialog box;
    setUpExportDialog(box, dir.path(), dir.filePath("exports/level_3.level"));
    EXPECT_EQ(QDir(box.directory()).canonicalPath(), QDir(dir.filePath("exports")).canonicalPath());
    EXPECT_EQ(fileNameEdit(box)->text(), "level_7");

    QFileDialog image;
    image.setOption(QFileDialog::DontUseNativeDialog, true);
    setUpSaveDialog(image, QStringLiteral("SaveDialog2"), QStringLiteral(" Save ROM image as..."),
                    QStringLiteral("NES ROM images|*.nes"), QStringLiteral("nes"), dir.filePath("rom.nes"),
                    dir.filePath("exports/other.nes"));
    EXPECT_EQ(QDir(image.directory()).canonicalPath(), QDir(dir.path()).canonicalPath());
    EXPECT_EQ(fileNameEdit(image)->text(), "rom.nes");
}

TEST(FileDialogs, OpenDialogsShowTheirTextsAndOfferTheLastChoice)
{
    QTemporaryDir dir;
    const QString last = dir.filePath(QStringLiteral("chosen.level"));
    for (const QString &name : {last, dir.filePath("wumblers"), dir.filePath("rom.nes")}) {
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }

    const struct {
        QString dialog, title, filter;
        QStringList shown, listed;
    } rows[] = {
        {"OpenDialog2", " Please, open level file...", "level files|*.level", {"level files"}, {"chosen.level"}},
        {"OpenDialog1", " Open file Wumblers (USA) (Unl).nes", "Any file (*.*)|*.*", {"Any file (*.*)"},
         {"chosen.level", "rom.nes", "wumblers"}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.dialog.toStdString());
        QFileDialog box;
        box.setOption(QFileDialog::DontUseNativeDialog, true);
        setUpOpenDialog(box, row.dialog, row.title, row.filter, last);
        EXPECT_EQ(box.objectName(), row.dialog);
        EXPECT_EQ(box.windowTitle(), row.title);
        EXPECT_EQ(shownFilters(box), row.shown);
        EXPECT_EQ(listedFiles(box, row.listed.size()), row.listed);
        EXPECT_EQ(box.acceptMode(), QFileDialog::AcceptOpen);
        EXPECT_EQ(box.fileMode(), QFileDialog::ExistingFile);
        EXPECT_EQ(QDir(box.directory()).canonicalPath(), QDir(dir.path()).canonicalPath());
        accept(box);
        EXPECT_EQ(box.selectedFiles(), QStringList{last}) << "the last choice is offered again";
    }

#ifndef Q_OS_WIN   // names there are UTF-16 text
    // A name that is not UTF-8, chosen by the name the dialog shows for it.
    const std::string odd = pathFromQString(dir.path()) + "/caf\xE9.nes";
    ASSERT_TRUE(std::ofstream(odd).good());
    FileDialog box;
    box.setOption(QFileDialog::DontUseNativeDialog, true);
    setUpOpenDialog(box, QStringLiteral("OpenDialog1"), {}, QStringLiteral("Any file (*.*)|*.*"), {});
    box.setDirectory(dir.path());
    fileNameEdit(box)->setText(QStringLiteral("caf\uFFFD.nes"));
    accept(box);
    EXPECT_EQ(box.result(), QDialog::Accepted);
    EXPECT_EQ(box.chosenFile(), qStringFromPath(odd));
#endif
}

// Paths and Qt's strings: every byte string comes back as it was; UTF-8 reads
// as Qt reads it, other bytes are shown as Qt shows them.
TEST(FileDialogs, FileNamesKeepTheirBytes)
{
    const std::string rows[] = {
        "plain/name.nes", "Wumblers%2C%20hack%1.nes", "\xD0\x96\xD1\x83\xD0\xBA \xF0\x9F\x98\x80.nes",
        "caf\xE9", "\xC0\x80 overlong", "\xED\xA0\x80 surrogate", "\xE2\x82 cut", "\xF5\x80\x80\x80", "\x80\xFF",
    };
    for (const std::string &bytes : rows) {
        const QByteArray raw = QByteArray::fromStdString(bytes);
        const QString text = qStringFromPath(bytes);
        EXPECT_EQ(pathFromQString(text), bytes);
        EXPECT_EQ(shownPath(text), QString::fromUtf8(raw));
        if (QString::fromUtf8(raw).toUtf8() == raw) {
            EXPECT_EQ(text, QString::fromUtf8(raw)) << bytes;
        }
    }
}

// Open Recent's entries: at most 60 characters, the file name whole.
TEST(FileDialogs, LongPathsAreElidedInTheMiddleKeepingTheName)
{
    const QString folder = QStringLiteral("/home/user/") + QString(50, QLatin1Char('d'));
    const std::pair<QString, QString> rows[] = {
        {QStringLiteral("/roms/Wumblers.nes"), QStringLiteral("/roms/Wumblers.nes")},
        {folder + QStringLiteral("/w.nes"), folder.left(53) + QStringLiteral("\u2026/w.nes")},
        {folder + QStringLiteral("/") + QString(70, QLatin1Char('n')),
         QStringLiteral("\u2026/") + QString(70, QLatin1Char('n'))},
        // never half a character
        {QStringLiteral("/") + QString(51, QLatin1Char('a')) + QStringLiteral("\U0001F600x/w.nes"),
         QStringLiteral("/") + QString(51, QLatin1Char('a')) + QStringLiteral("\u2026/w.nes")},
    };
    for (const auto &[path, shown] : rows)
        EXPECT_EQ(elidedPath(path), shown);
}

TEST(FileDialogs, ErrorBoxEndsTheMessageWithAFullStop)
{
    const struct {
        QString message, shown;
    } rows[] = {
        {"File not found", "File not found."},
        {"Cannot open file graph/1F.bmp", "Cannot open file graph/1F.bmp."},
        {"'' is not a valid integer value", "'' is not a valid integer value."},
        {"Level file line 3: \"1G\" is not a tile code (0 to FF)",
         "Level file line 3: \"1G\" is not a tile code (0 to FF)"},   // ')' sorts before '.'
        {"Already ends.", "Already ends."},
        {"", ""},
    };
    for (const auto &row : rows)
        EXPECT_EQ(errorBoxText(row.message), row.shown) << row.message.toStdString();
}

// Message boxes show their text as it is, never as markup.
TEST(FileDialogs, MessageBoxesShowTheirTextLiterally)
{
    QMessageBox box;
    setUpMessageBox(box, QStringLiteral("Warning!"), QStringLiteral("'<b>' is not a valid integer value."));
    const auto *label = box.findChild<QLabel *>("qt_msgbox_label");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
    EXPECT_EQ(label->text(), "'<b>' is not a valid integer value.");
    EXPECT_EQ(box.windowTitle(), "Warning!");
}
