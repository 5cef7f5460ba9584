#include <QFileInfo>
// The random actions on files: Open ROM of good and bad images, export to
// new, existing and impossible places, import of good and bad level files.
#include "modelrun.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "leveldocument.h"
#include "pathnames.h"
#include "wholefile.h"


#include <unistd.h>

using model::Rom;
using model::Target;

void ModelRun::openRom()
{
    const int roll = below(100);
    Target target = Target::File;
    Rom rom = Rom::Good;
    QString answer = path(QStringLiteral("demo.nes"));
    QString what = QStringLiteral("the demo ROM copy");
    if (roll < 5) {
        target = Target::Cancel;
        answer.clear();
        what = QStringLiteral("cancelled");
    } else if (roll < 20) {
        target = Target::Missing;
        answer = path(QStringLiteral("none.nes"));
        what = QStringLiteral("a missing file");
    } else if (roll < 30) {
        target = Target::Folder;
        answer = path(QStringLiteral("folder.nes"));
        what = QStringLiteral("a folder");
    } else if (roll < 35) {
        target = Target::LongName;
        answer = path(QString(300, QLatin1Char('x')) + QStringLiteral(".nes"));
        what = QStringLiteral("a name too long");
    } else if (roll < 50) {
        // A short image made from the good one: some levels fit, some not.
        static const int sizes[] = {0,     16,    49168, 49300, 49422, 49423, 50000,
                                    53000, 55000, 57358, 57359, 60000};
        const int size = sizes[below(std::size(sizes))];
        mModel->shortRom = mModel->goodRom.left(size);
        mModel->shortExists = true;
        writeFile(path(QStringLiteral("short.nes")), mModel->shortRom);
        rom = Rom::Short;
        answer = path(QStringLiteral("short.nes"));
        what = QStringLiteral("an image of %1 bytes").arg(size);
    }
    const bool keys = chance(15);
    const bool asks = target == Target::File && !mModel->tooSmall(rom) && !mModel->looksLikeRom(rom);
    const bool anyway = chance(70);
    log(QStringLiteral("Open ROM%1: %2%3")
            .arg(keys ? " by Ctrl+O" : "", what,
                 asks ? (anyway ? QStringLiteral(", open anyway: OK") : QStringLiteral(", open anyway: Cancel"))
                      : QString()));
    mDialogs.fileAnswers.push_back(answer);
    mExpectedFileDialogs = 1;
    if (asks) {
        mDialogs.okAnswers.push_back(anyway);
        mExpectedQuestions = 1;
    }
    if (keys)
        QTest::keyClick(mWindow.form.get(), Qt::Key_O, Qt::ControlModifier);
    else
        mWindow.clickButton("Button2");
    if (!mModel->openRom(target, rom, anyway)) {
        // The unsaved-changes question stopped it before the dialog.
        mDialogs.fileAnswers.clear();
        mDialogs.okAnswers.clear();
        mExpectedFileDialogs = 0;
        mExpectedQuestions = 0;
    }
    // short.nes was written anew, by this test as by another program: the
    // image the window still has open when it did not open the new one.
    if (rom == Rom::Short)
        followDisk(false);
}

// Another program (wmbtool import, a second editor) writes one level record
// in place into the image the window has open: mostly the level it shows,
// sometimes the record the image holds already.
void ModelRun::otherProgram()
{
    const bool open = mModel->bound != Rom::None;
    QByteArray &rom = open ? mModel->boundBytes() : mModel->goodRom;
    const QString name = open ? mModel->boundName() : QStringLiteral("demo.nes");
    const int level = mModel->levelLoaded && chance(70) ? mModel->loadedLevel : 1 + below(model::Levels);
    if (!model::holdsLevel(rom.size(), level)) {
        log(QStringLiteral("another program: %1 holds no level %2").arg(name).arg(level));
        return;
    }
    const bool same = chance(20);
    log(QStringLiteral("another program writes %1 level %2 into %3").arg(same ? "the same" : "a random").arg(level).arg(name));
    const int first = model::mapAt(level) - 31, end = model::mapAt(level) + 223;
    for (int at = first; !same && at < end; ++at) {
        const QString field = model::describeOffset(at);
        if (field.contains(QLatin1String("gap")))
            continue;
        const bool text = !field.contains(QLatin1String("map")) && !field.contains(QLatin1String("timer"));
        rom[at] = static_cast<char>(text && chance(80) ? 0x20 + below(0x5F) : below(256));
    }
    QFile file(path(name));
    if (!file.open(QIODevice::ReadWrite) || !file.seek(first) || file.write(rom.mid(first, end - first)) != end - first)
        note(QStringLiteral("the test could not write ") + name);
    file.close();
    if (open)
        followDisk(true);
}

void ModelRun::followDisk(bool awaitWatch)
{
    QElapsedTimer clock;
    clock.start();
    while (awaitWatch && !mWindow.watchSawChange() && clock.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    if (awaitWatch && !mWindow.watchSawChange())
        note(QStringLiteral("the watch on the open image did not see another program's write"));
    mWindow.followDisk();
    mModel->diskChanged();
}

void ModelRun::exportLevel()
{
    const int roll = below(100);
    Target target = Target::File;
    QString name;
    if (roll < 10) {
        target = Target::Cancel;
    } else if (roll < 28) {
        name = mModel->exportName() + QStringLiteral(".level");
    } else if (roll < 70) {
        static const char *const names[] = {"a.level", "b.level", "\u0416\u0443\u043A m\u00E9.level"};
        name = QString::fromUtf8(names[below(std::size(names))]);
    } else if (roll < 88) {
        // The bound image, by its name or through a link made for this
        // export; demo.nes while another image is bound is only asked about
        // (and the question answered Cancel).
        static const char *const names[] = {"demo.nes", "open-link.nes", "open-hard.nes"};
        name = QLatin1String(names[below(std::size(names))]);
        const QByteArray bound = QFile::encodeName(path(mModel->boundName()));
        if (name == QLatin1String("open-link.nes"))
            QFile::link(mModel->boundName(), path(name));
        else if (name == QLatin1String("open-hard.nes"))
            ::link(bound.constData(), QFile::encodeName(path(name)).constData());
        if (name != QLatin1String("demo.nes") || mModel->bound == model::Rom::Good)
            target = Target::OpenImage;
    } else if (roll < 94) {
        target = Target::MissingFolder;
        name = QStringLiteral("nofolder/x.level");
    } else {
        target = Target::Folder;
        name = QStringLiteral("sub");
    }
    const bool exists = target == Target::File &&
                        (mModel->exports.count(name) || name == QLatin1String("demo.nes"));
    const bool ok = exists && name != QLatin1String("demo.nes") && chance(50);
    log(QStringLiteral("Export level to %1%2")
            .arg(target == Target::Cancel ? QStringLiteral("(cancelled)") : name,
                 exists ? (ok ? QStringLiteral(", rewrite: OK") : QStringLiteral(", rewrite: Cancel")) : QString()));
    if (mModel->buttonsEnabled) {
        mDialogs.fileAnswers.push_back(target == Target::Cancel ? QString() : path(name));
        mExpectedFileDialogs = 1;
        mExpectedProposedName = mModel->exportName();
        if (exists) {
            mDialogs.okAnswers.push_back(ok);
            mExpectedQuestions = 1;
        }
    }
    mWindow.clickButton("Button27");
    mModel->exportLevel(target, name, exists, ok);
    QFile::remove(path(QStringLiteral("open-link.nes")));
    QFile::remove(path(QStringLiteral("open-hard.nes")));
}

void ModelRun::import(Target target, const QString &file, const QByteArray &bytes)
{
    if (mModel->buttonsEnabled) {
        mDialogs.fileAnswers.push_back(target == Target::Cancel ? QString() : file);
        mExpectedFileDialogs = 1;
    }
    mWindow.clickButton("Button28");
    mModel->importLevel(target, bytes, QFileInfo(file).fileName());
    if (mModel->errors.empty() && mModel->buttonsEnabled && target == Target::File)
        ++mCounts[QStringLiteral("(imports that wrote)")];
}

void ModelRun::importGoodFile()
{
    if (!mModel->exports.empty() && chance(35)) {
        auto it = mModel->exports.begin();
        std::advance(it, below(static_cast<int>(mModel->exports.size())));
        log(QStringLiteral("Import level from the export %1").arg(it->first));
        return import(Target::File, path(it->first), it->second);
    }
    const QByteArray bytes = randomLevelFile();
    writeFile(path(QStringLiteral("in/good.level")), bytes);
    log(QStringLiteral("Import level from a made level file of %1 bytes").arg(bytes.size()));
    import(Target::File, path(QStringLiteral("in/good.level")), bytes);
}

void ModelRun::importBadFile()
{
    const int roll = below(100);
    if (roll < 8) {
        log(QStringLiteral("Import level: cancelled"));
        return import(Target::Cancel, {}, {});
    }
    if (roll < 16) {
        log(QStringLiteral("Import level from a missing file"));
        return import(Target::Missing, path(QStringLiteral("in/none.level")), {});
    }
    if (roll < 22) {
        log(QStringLiteral("Import level from a folder"));
        return import(Target::Folder, path(QStringLiteral("sub")), {});
    }
    QList<QByteArray> lines = randomLevelFile().split('\n');
    QString what;
    const int kind = below(7);
    if (kind == 0) {
        static const char *const counts[] = {"16x8", "167", "-168", "99999999999", "", "0x A8", "169"};
        const int k = below(std::size(counts));
        lines[0] = QByteArray(counts[k]) + '\r';
        what = QStringLiteral("column count \"%1\"").arg(QLatin1String(counts[k]));
    } else if (kind == 1) {
        static const char *const rows[] = {"2", "0", "x", "-1"};
        const int k = below(std::size(rows));
        lines[1] = QByteArray(rows[k]) + '\r';
        what = QStringLiteral("row count \"%1\"").arg(QLatin1String(rows[k]));
    } else if (kind == 2) {
        static const char *const codes[] = {"G", "1g", "001", "100", "", " 1", "0x1", "FF ", "-1", "\x95", "a ", "f0f"};
        const int k = below(std::size(codes));
        const int line = 2 + below(model::Cells);
        lines[line] = QByteArray(codes[k]) + '\r';
        what = QStringLiteral("code line %1 \"%2\"").arg(line + 1).arg(QLatin1String(codes[k]));
    } else if (kind == 3) {
        const int keep = below(174);
        lines = lines.mid(0, keep);
        if (keep > 0)
            lines << QByteArray();
        what = QStringLiteral("only %1 lines").arg(keep);
    } else if (kind == 4) {
        static const char *const timers[] = {"abc", "", "12a", "1e3", "99999999999", "\xd9\xa3", "0x10", "1 2"};
        const int k = below(std::size(timers));
        lines[173] = QByteArray(timers[k]) + '\r';
        what = QStringLiteral("timer line \"%1\"").arg(QString::fromLatin1(timers[k]));
    } else if (kind == 5) {
        lines = {lines.join('\n').replace("\r\n", "\r").replace('\n', '\r')};
        what = QStringLiteral("CR alone as the line end");
    } else {
        QByteArray junk;
        for (int n = 1 + below(400); n > 0; --n)
            junk += static_cast<char>(below(256));
        lines = {junk};
        what = QStringLiteral("%1 bytes of junk").arg(junk.size());
    }
    const QByteArray bytes = lines.join('\n');
    writeFile(path(QStringLiteral("in/bad.level")), bytes);
    log(QStringLiteral("Import level from a file with %1").arg(what));
    import(Target::File, path(QStringLiteral("in/bad.level")), bytes);
}

// A text line of a level file: mostly printable ASCII, with the table's
// own characters, "|", characters of the upper half, control bytes and lone
// CRs; in Windows-1251 bytes, or in UTF-8 (with characters beyond the code
// page too) for a file that starts with the byte-order mark.
QByteArray ModelRun::randomFileText(bool utf8)
{
    static const char *const table[] = {"\xE2\x80\xA2", "\xD0\x86", "|"};
    static const char *const others[] = {"\xD0\x96", "\xC3\xA9", "\xF0\x9F\x98\x80", "\xEF\xBF\xBD"};
    QByteArray text;
    for (int n = chance(15) ? below(80) : below(20); n > 0; --n) {
        const int roll = below(100);
        if (roll < 70)
            text += static_cast<char>(0x20 + below(0x5F));
        else if (roll < 80)
            text += utf8 ? QByteArray(table[below(3)]) : QByteArray(1, "\x95\xB2\x7C"[below(3)]);
        else if (roll < 92)
            text += utf8 ? QByteArray(others[below(4)]) : QByteArray(1, static_cast<char>(0x80 + below(0x80)));
        else
            text += "\x00\x01\x09\x0D\x1F"[below(5)];
    }
    return text;
}

// A level file the strict reader takes: CR LF or LF line ends, counts with
// blanks, signs or a comment after them, codes in either case and with a
// leading zero, any texts, any whole-number timer; sometimes in UTF-8 behind
// the byte-order mark.
QByteArray ModelRun::randomLevelFile()
{
    const QByteArray end = chance(70) ? "\r\n" : "\n";
    const bool utf8 = chance(10);
    static const char *const columns[] = {"168", "168", "168", " 168", "+168", "0168", "168 columns", "168\t"};
    static const char *const rows[] = {"1", "1", "1", " 1 ", "+1", "01"};
    QByteArray bytes = QByteArray(utf8 ? "\xEF\xBB\xBF" : "") + columns[below(std::size(columns))] + end +
                       rows[below(std::size(rows))] + end;
    const int few = 1 + below(4);
    const int firstTile = below(256);
    const bool handWritten = chance(15);
    for (int i = 0; i < model::Cells; ++i) {
        const int tile = chance(30) ? (firstTile + below(few)) % 256 : below(256);
        QByteArray code = model::hexText(tile).toLatin1();
        if (handWritten && chance(50))
            code = (tile < 16 && chance(50) ? "0" + code : code).toLower();
        bytes += code + end;
    }
    for (int i = 0; i < 3; ++i)
        bytes += randomFileText(utf8) + end;
    static const char *const timers[] = {"0",   "5",    "100",  "1200",       "1203",        "1275",
                                         "1280", "1300", "-5",  "+100",       " 45",         "2147483647",
                                         "-2147483648", "7",  "01200"};
    bytes += chance(30) ? QByteArray::number(below(1500)) : QByteArray(timers[below(std::size(timers))]);
    if (chance(85))
        bytes += end;
    return bytes;
}

// Save ROM As by Ctrl+Shift+S: cancelled, onto the bound image itself, or to
// copy.nes (asked first when it exists).
void ModelRun::saveRomAs()
{
    const int roll = below(100);
    const Target target = roll < 10 ? Target::Cancel : Target::File;
    const QString name = roll < 30 ? mModel->boundName() : QStringLiteral("copy.nes");
    const bool itself = target == Target::File && name == mModel->boundName();
    const bool exists = target == Target::File && !itself && mModel->copyExists;
    const bool ok = chance(60);
    log(QStringLiteral("Save ROM As: %1%2")
            .arg(target == Target::Cancel ? QStringLiteral("cancelled") : name,
                 exists ? (ok ? QStringLiteral(", rewrite: OK") : QStringLiteral(", rewrite: Cancel")) : QString()));
    if (mModel->buttonsEnabled) {
        mDialogs.fileAnswers.push_back(target == Target::Cancel ? QString() : path(name));
        mExpectedFileDialogs = 1;
        mExpectedProposedName = path(mModel->boundName());
        if (exists) {
            mDialogs.okAnswers.push_back(ok);
            mExpectedQuestions = 1;
        }
    }
    QTest::keyClick(mWindow.form.get(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    mModel->saveRomAs(target, itself, ok);
}

namespace {
const char *const ImageNames[] = {"demo.nes", "short.nes", "copy.nes"};
} // namespace

ModelRun::Images ModelRun::images() const
{
    Images now{{mModel->goodRom, mModel->shortRom, mModel->copyRom}, {true, mModel->shortExists, mModel->copyExists}, {}};
    for (std::size_t i = 0; i < 3; ++i)
        now.backups[i] = ImageBackups().of(pathFromQString(path(QLatin1String(ImageNames[i])))).size();
    return now;
}

// The first write of the run into an existing image is backed up first, byte
// for byte the image before it; later writes (the clock stands still) are not.
void ModelRun::noteBackups(const Images &before)
{
    const Images after = images();
    for (std::size_t i = 0; i < 3; ++i)
        if (after.backups[i] > before.backups[i])
            mBackedUp.insert(QLatin1String(ImageNames[i]));
}

void ModelRun::checkBackups(const Images &before)
{
    const Images after = images();
    for (std::size_t i = 0; i < 3; ++i) {
        const QString name = QLatin1String(ImageNames[i]);
        const std::size_t made = after.backups[i] - before.backups[i];
        const bool wrote = before.exist[i] && after.exist[i] && after.bytes[i] != before.bytes[i];
        const bool first = !mBackedUp.count(name);
        if (made > (first ? 1u : 0u) || (wrote && first && made != 1))
            note(QStringLiteral("backups of %1 made: %2 (first write of the run: %3)").arg(name).arg(made).arg(first));
        if (made != 1)
            continue;
        mBackedUp.insert(name);
        ++mCounts[QStringLiteral("(backups before a first write)")];
        const auto kept = ImageBackups().of(pathFromQString(path(name)));
        if (QByteArray::fromStdString(wmb::readWholeFile(kept.front().file)) != before.bytes[i])
            note(QStringLiteral("the backup of %1 is not the image before the write").arg(name));
    }
}

