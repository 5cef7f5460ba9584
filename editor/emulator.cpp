#include "emulator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "errors.h"
#include "levelfile.h"
#include "shellwords.h"

namespace {

[[noreturn]] void cannotStart(const QString &program, const QString &reason)
{
    throw wmb::RuntimeError(
        QStringLiteral("Cannot start the emulator \"%1\": %2").arg(program, reason).toStdString());
}

} // namespace

EmulatorCommand resolveEmulatorCommand(const QString &setting)
{
#ifdef Q_OS_WIN
    QStringList words = QProcess::splitCommand(setting);
    const bool hasFolder = words.value(0).contains(QLatin1Char('/')) || words.value(0).contains(QLatin1Char('\\'));
#else
    QStringList words;
    for (const std::string &word : wmb::splitShellWords(setting.toStdString()))
        words << QString::fromStdString(word);
    const bool hasFolder = words.value(0).contains(QLatin1Char('/'));
#endif
    if (words.isEmpty()) {
        for (const QString &name : DefaultEmulators) {
            const QString found = QStandardPaths::findExecutable(name);
            if (!found.isEmpty())
                return {found, {}};
        }
        throw wmb::RuntimeError(NoEmulatorMessage);
    }
    const QString program = words.takeFirst();
    const QString path = hasFolder ? program : QStandardPaths::findExecutable(program);
    const QFileInfo file(path);
    if (path.isEmpty() || !file.exists())
        cannotStart(program, QStringLiteral("No such file or directory"));
    if (!file.isFile() || !file.isExecutable())
        cannotStart(program, QStringLiteral("Permission denied"));
    return {path, words};
}

TestCopies::TestCopies() = default;
TestCopies::~TestCopies() = default;

QString TestCopies::start(const EmulatorCommand &command, const QString &romPath,
                          std::int32_t levelBase, const wmb::LevelRecord &record, bool asFirstLevel)
{
    std::string image = wmb::readWholeFile(romPath.toStdString());
    wmb::putLevelRecord(image, levelBase, record);
    if (asFirstLevel)
        wmb::putLevelRecord(image, wmb::LevelBaseOf(1), record);

    if (!mFolder) {
        auto folder = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/wmbeditor-XXXXXX"));
        if (!folder->isValid())
            throw wmb::RuntimeError("Cannot make a temporary folder: " + folder->errorString().toStdString());
        mFolder = std::move(folder);
    }
    const int level = (levelBase - wmb::FirstLevelBase) / wmb::LevelStride + 1;
    const QString copy = mFolder->filePath(QStringLiteral("%1-level%2%3-%4.nes")
                                               .arg(QFileInfo(romPath).completeBaseName())
                                               .arg(level)
                                               .arg(asFirstLevel ? QStringLiteral("-first") : QString())
                                               .arg(++mCount));
    wmb::writeFileAtomically(copy.toStdString(), image);

    QProcess process;
    process.setProgram(command.program);
    process.setArguments(command.arguments + QStringList{copy});
    if (!process.startDetached()) {
        QFile::remove(copy);
        cannotStart(command.program, process.errorString());
    }
    return copy;
}
