// wmbeditor-shot: renders the real editor window, offscreen, with a level of
// a ROM image loaded, and saves it as a PNG. Used by `make run` on machines
// without a display. The window is driven through its dialog seam: "Open
// ROM" is answered with the given image.
//   wmbeditor-shot ROM OUT.png [LEVEL] [--palette]
#include <QApplication>
#include <QLineEdit>
#include <QPixmap>

#include <cstdio>
#include <cstdlib>

#include "dialogs.h"
#include "tform1.h"

namespace {

class ScriptedDialogs final : public Dialogs {
public:
    explicit ScriptedDialogs(QString rom) : mRom(std::move(rom)) {}
    QString openFile(QWidget *, const QString &, const QString &, const QString &, const QString &) override
    {
        return mRom;
    }
    QString saveFile(QWidget *, const QString &, const QString &, const QString &,
                     const QString &, const QString &) override
    {
        return {};
    }
    bool askOkCancel(QWidget *, const QString &, const QString &, Answer) override { return false; }
    void showError(QWidget *, const QString &message) override
    {
        std::fprintf(stderr, "wmbeditor-shot: %s\n", qPrintable(errorBoxText(message)));
        failed = true;
    }
    void showAbout(QWidget *, const QString &) override {}
    SaveChoice askSaveDiscardCancel(QWidget *, const QString &, const QString &, const QString &) override
    {
        return SaveChoice::Discard;
    }
    OverwriteChoice askOverwriteReloadCancel(QWidget *, const QString &, const QString &) override
    {
        return OverwriteChoice::Cancel;
    }
    RecoveryChoice askRestoreDiscardLater(QWidget *, const QString &, const QString &, const QString &) override
    {
        return RecoveryChoice::Later;
    }
    void showMessage(QWidget *, const QString &) override {}
    std::optional<int> askLevelNumber(QWidget *, int, const QString &) override { return std::nullopt; }
    std::optional<QString> askText(QWidget *, const QString &, const QString &, const QString &) override
    {
        return std::nullopt;
    }
    std::optional<TileReplacementAnswer> askTileReplacement(QWidget *, const QString &, const QString &) override
    {
        return std::nullopt;
    }
    void showImageInfo(QWidget *, const QString &, const QList<QPair<QString, QString>> &) override {}
    bool failed = false;

private:
    QString mRom;
};

} // namespace

int main(int argc, char *argv[])
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(ApplicationTitle));
    const QStringList args = QApplication::arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: wmbeditor-shot ROM OUT.png [LEVEL] [--palette]\n");
        return 2;
    }
    ScriptedDialogs dialogs(args[1]);
    TForm1 form(dialogs);
    if (args.size() > 3 && !args[3].startsWith(QLatin1String("--")))
        form.findChild<QLineEdit *>(QStringLiteral("Edit1"))->setText(args[3]);
    form.Button2Click();
    if (args.contains(QStringLiteral("--palette")))
        form.HidemenuClick();
    form.show();
    QApplication::processEvents();
    if (!form.grab().save(args[2], "PNG")) {
        std::fprintf(stderr, "wmbeditor-shot: cannot write %s\n", qPrintable(args[2]));
        return 1;
    }
    return dialogs.failed ? 1 : 0;
}
