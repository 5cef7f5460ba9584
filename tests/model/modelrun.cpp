#include "modelrun.h"

#include <QLabel>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>


using model::EditModel;

QString ScriptedDialogs::nextFile()
{
    ++fileDialogs;
    if (fileAnswers.empty())
        return {};
    QString answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

QString ScriptedDialogs::openFile(QWidget *, const QString &, const QString &, const QString &, const QString &)
{
    return nextFile();
}

QString ScriptedDialogs::saveFile(QWidget *, const QString &, const QString &, const QString &,
                                  const QString &, const QString &proposedName)
{
    proposedNames << proposedName;
    return nextFile();
}

bool ScriptedDialogs::askOkCancel(QWidget *, const QString &, const QString &, Answer)
{
    ++questions;
    if (okAnswers.empty())
        return false;
    const bool ok = okAnswers.front();
    okAnswers.pop_front();
    return ok;
}

SaveChoice ScriptedDialogs::askSaveDiscardCancel(QWidget *, const QString &, const QString &, const QString &)
{
    ++saveQuestions;
    return saveAnswer;
}

ModelRun::ModelRun(std::uint64_t seed) : mSeed(seed), mRandom(seed) {}

ModelRun::~ModelRun() = default;

bool ModelRun::start(QString &failure)
{
    if (!mTemp.isValid()) {
        failure = QStringLiteral("no temporary folder");
        return false;
    }
    mDir = QDir(mTemp.path());
    mDemo = readFile(QStringLiteral(WMB_DEMO_ROM));
    if (mDemo.size() < model::mapAt(model::Levels) + 224) {
        failure = QStringLiteral("the demo ROM is missing or short: ") + QStringLiteral(WMB_DEMO_ROM);
        return false;
    }
    writeFile(path(QStringLiteral("demo.nes")), mDemo);
    for (const char *folder : {"folder.nes", "sub", "in"})
        mDir.mkpath(QLatin1String(folder));
    mModel = std::make_unique<model::EditorModel>(mDemo);
    EditorSettings().setZoom(100);

    qputenv("XDG_DATA_HOME", QFile::encodeName(mDataHome.path()));
    // Every editor's backups kept, so that the count tells what each made
    // (a run restarts the editor a hundred times).
    EditorSettings().setBackupLimits(100000, 500);
    startWindow();
    if (!mDialogs.errors.isEmpty()) {
        failure = QStringLiteral("start-up failed: ") + mDialogs.errors.join(QLatin1Char('\n'));
        return false;
    }
    if (!QTest::qWaitForWindowActive(mWindow.form.get())) {
        failure = QStringLiteral("the window did not become active");
        return false;
    }

    QGuiApplication::clipboard()->clear();
    mActions = {
        {"pick palette", 110, &ModelRun::pickPalette},   {"paint cell", 130, &ModelRun::paintCell},
        {"drag stroke", 80, &ModelRun::dragStroke},      {"right-click pick", 40, &ModelRun::rightPick},
        {"choose tool", 35, &ModelRun::chooseTool},
        {"Active select", 20, &ModelRun::toggleActiveSelect},
        {"Clear screen", 15, &ModelRun::clearScreen},    {"Show grid", 5, &ModelRun::toggleGrid},
        {"type text", 60, &ModelRun::typeText},          {"paste text", 20, &ModelRun::pasteText},
        {"timer keys", 30, &ModelRun::timerKeys},        {"timer paste", 20, &ModelRun::timerPaste},
        {"timer arrow", 30, &ModelRun::timerArrow},      {"mouse move", 30, &ModelRun::mouseMove},
        {"level keys", 35, &ModelRun::levelKeys},        {"level paste", 15, &ModelRun::levelPaste},
        {"reload", 30, &ModelRun::reload},               {"level arrow", 35, &ModelRun::stepLevel},
        {"save", 80, &ModelRun::save},                   {"export", 35, &ModelRun::exportLevel},
        {"import good file", 30, &ModelRun::importGoodFile},
        {"import bad file", 20, &ModelRun::importBadFile},
        {"open ROM", 25, &ModelRun::openRom},            {"undo", 60, &ModelRun::undo},
        {"another program writes", 10, &ModelRun::otherProgram},
        {"redo", 40, &ModelRun::redo},
        {"select region", 45, &ModelRun::selectRegion},  {"region command", 60, &ModelRun::regionCommand},
        {"flood fill", 25, &ModelRun::floodFill},        {"map keys", 30, &ModelRun::mapKeyAction},
        {"clipboard from elsewhere", 15, &ModelRun::foreignClipboard},
        {"save ROM as", 2, &ModelRun::saveRomAs},        {"pick by code", 20, &ModelRun::pickByCode},
        {"overview levels", 30, &ModelRun::overviewLevels},
        {"whole image edit", 10, &ModelRun::wholeImageEdit},
        {"zoom", 15, &ModelRun::zoom},
        {"editor killed", 8, &ModelRun::crash},
    };
    mIndex = -1;
    log(QStringLiteral("start-up"));
    if (!check()) {
        failure = failureReport();
        return false;
    }
    return true;
}

// Shown and active: the shortcuts work only in the active window. The undo
// keys act on the map unless a text edit has the focus, as a press on the
// map leaves it.
void ModelRun::startWindow()
{
    mWindow.form = std::make_unique<TForm1>(mDialogs, StartupPaths{mTemp.path(), QStringLiteral(WMB_BIN_DIR)});
    // A clock that stands still while an editor runs: each image is backed
    // up once, at the first write of that editor's run.
    static std::int64_t starts = 0;
    const std::int64_t at = std::int64_t{1'796'847'245'000} + 60'000 * ++starts;
    mWindow.form->document().backups().setClock([at] { return at; });
    mBackedUp.clear();
    mWindow.form->show();
    QApplication::setActiveWindow(mWindow.form.get());
    if (!QTest::qWaitForWindowActive(mWindow.form.get()))
        note(QStringLiteral("the new editor did not become the active window"));
    if (qobject_cast<QLineEdit *>(mWindow.form->focusWidget()))
        mWindow.panel()->setFocus();
}

bool ModelRun::run(int count)
{
    for (mIndex = 0; mIndex < count; ++mIndex) {
        // Until an image is open most buttons are dead: open one soon.
        int total = 0;
        for (const WeightedAction &a : mActions)
            total += a.action == &ModelRun::openRom && !mModel->buttonsEnabled ? a.weight * 10 : a.weight;
        int roll = below(total);
        const WeightedAction *chosen = &mActions.front();
        for (const WeightedAction &a : mActions) {
            const int w = a.action == &ModelRun::openRom && !mModel->buttonsEnabled ? a.weight * 10 : a.weight;
            if (roll < w) {
                chosen = &a;
                break;
            }
            roll -= w;
        }
        ++mCounts[QLatin1String(chosen->name)];
        mModel->errors.clear();
        mDialogs.errors.clear();
        mDialogs.fileDialogs = 0;
        mDialogs.questions = 0;
        mDialogs.saveQuestions = 0;
        mModel->leaveQuestions = 0;
        mDialogs.overwriteQuestions = 0;
        mModel->overwriteQuestions = 0;
        static const OverwriteChoice onDisk[] = {OverwriteChoice::Overwrite, OverwriteChoice::Reload,
                                                 OverwriteChoice::Cancel};
        const int onDiskChoice = below(3);
        mDialogs.overwriteAnswer = onDisk[onDiskChoice];
        mModel->onDiskAnswer = static_cast<model::OnDisk>(onDiskChoice);
        // The answer to the unsaved-changes question, should the action ask it.
        static const SaveChoice choices[] = {SaveChoice::Save, SaveChoice::Discard, SaveChoice::Cancel};
        const int choice = below(3);
        mDialogs.saveAnswer = choices[choice];
        mModel->answer = static_cast<model::Leave>(choice);
        mDialogs.proposedNames.clear();
        mExpectedFileDialogs = 0;
        mExpectedQuestions = 0;
        mExpectedProposedName.clear();
        const Images before = images();
        (this->*chosen->action)();
        // Those two write the images themselves: the one another program
        // changes, the short image Open ROM is given.
        if (chosen->action != &ModelRun::otherProgram && chosen->action != &ModelRun::openRom)
            checkBackups(before);
        else
            noteBackups(before);
        static const char *const answers[] = {"Save", "Discard", "Cancel"};
        if (mModel->leaveQuestions > 0)
            ++mCounts[QStringLiteral("(unsaved-changes question answered %1)").arg(QLatin1String(answers[choice]))];
        static const char *const onDiskAnswers[] = {"Overwrite", "Reload", "Cancel"};
        if (mModel->overwriteQuestions > 0)
            ++mCounts[QStringLiteral("(changed-on-disk question answered ") + QLatin1String(onDiskAnswers[onDiskChoice]) +
                      QLatin1Char(')')];
        for (const model::ExpectedError &e : mModel->errors) {
            QString kind = e.text;
            kind.replace(QRegularExpression(QStringLiteral("^'.*' is not")), QStringLiteral("'...' is not"));
            kind.replace(QRegularExpression(QStringLiteral("[0-9]+")), QStringLiteral("N"));
            ++mCounts[QStringLiteral("(error box) ") + kind + (e.prefix ? QStringLiteral("...") : QString())];
        }
        if (!check())
            return false;
    }
    return true;
}

void ModelRun::log(const QString &action)
{
    mLastActions.push_back(QStringLiteral("#%1 %2").arg(mIndex).arg(action));
    if (mLastActions.size() > 20)
        mLastActions.pop_front();
}

int ModelRun::below(int n)
{
    return static_cast<int>(mRandom() % static_cast<std::uint64_t>(n));
}

QByteArray ModelRun::readFile(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void ModelRun::writeFile(const QString &file, const QByteArray &bytes)
{
    QFile f(file);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

QString ModelRun::failureReport() const
{
    QString report = QStringLiteral("The model and the window differ after action #%1 of seed %2.\n"
                                    "Rerun: WMB_MODEL_SEED=%2 WMB_MODEL_OPS=%3\n")
                         .arg(mIndex)
                         .arg(mSeed)
                         .arg(mIndex + 1);
    report += QStringLiteral("Differences:\n");
    for (const QString &d : mDifferences)
        report += QStringLiteral("  ") + d + QLatin1Char('\n');
    report += QStringLiteral("Last actions:\n");
    for (const QString &a : mLastActions)
        report += QStringLiteral("  ") + a + QLatin1Char('\n');
    return report;
}

QString ModelRun::summary() const
{
    QStringList lines;
    for (const auto &[name, count] : mCounts)
        lines << QStringLiteral("  %1: %2").arg(name).arg(count);
    return lines.join(QLatin1Char('\n'));
}

namespace {

// A text made visible in a message: control characters and surrogates as \uXXXX.
QString shown(const QString &text)
{
    QString out = QStringLiteral("\"");
    for (const QChar ch : text) {
        if (ch.unicode() < 0x20 || ch.isSurrogate() || ch.unicode() == 0x7F)
            out += QStringLiteral("\\u%1").arg(ch.unicode(), 4, 16, QLatin1Char('0'));
        else
            out += ch;
    }
    return out + QLatin1Char('"');
}

} // namespace

bool ModelRun::check()
{
    checkWindow();
    checkPictures();
    checkFiles();

    const std::vector<model::ExpectedError> &expected = mModel->errors;
    bool same = static_cast<qsizetype>(expected.size()) == mDialogs.errors.size();
    for (std::size_t i = 0; same && i < expected.size(); ++i) {
        const QString actual = model::errorBoxText(mDialogs.errors[static_cast<qsizetype>(i)]);
        same = expected[i].prefix ? actual.startsWith(expected[i].text) : actual == expected[i].text;
    }
    if (!same) {
        QStringList want;
        for (const auto &e : expected)
            want << shown(e.text) + (e.prefix ? QStringLiteral("...") : QString());
        QStringList got;
        for (const QString &e : mDialogs.errors)
            got << shown(model::errorBoxText(e));
        note(QStringLiteral("error boxes: model [%1], window [%2]").arg(want.join(QStringLiteral(", ")),
                                                                       got.join(QStringLiteral(", "))));
    }
    if (!mDialogs.fileAnswers.empty() || mDialogs.fileDialogs != mExpectedFileDialogs)
        note(QStringLiteral("file dialogs: model %1, window %2").arg(mExpectedFileDialogs).arg(mDialogs.fileDialogs));
    if (!mDialogs.okAnswers.empty() || mDialogs.questions != mExpectedQuestions)
        note(QStringLiteral("overwrite questions: model %1, window %2").arg(mExpectedQuestions).arg(mDialogs.questions));
    if (mDialogs.overwriteQuestions != mModel->overwriteQuestions)
        note(QStringLiteral("changed-on-disk questions: model %1, window %2")
                 .arg(mModel->overwriteQuestions).arg(mDialogs.overwriteQuestions));
    if (mDialogs.saveQuestions != mModel->leaveQuestions)
        note(QStringLiteral("unsaved-changes questions: model %1, window %2")
                 .arg(mModel->leaveQuestions).arg(mDialogs.saveQuestions));
    if (!mExpectedProposedName.isEmpty() &&
        mDialogs.proposedNames != QStringList{mExpectedProposedName})
        note(QStringLiteral("proposed export name: model %1, window [%2]")
                 .arg(shown(mExpectedProposedName), mDialogs.proposedNames.join(QStringLiteral(", "))));
    mDialogs.fileAnswers.clear();
    mDialogs.okAnswers.clear();
    return mDifferences.isEmpty();
}

void ModelRun::checkWindow()
{
    const model::EditorModel &m = *mModel;
    using W = WindowDriver;
    const std::pair<const char *, std::pair<const EditModel *, const QLineEdit *>> edits[] = {
        {"Edit1 (level number)", {&m.level, mWindow.box(W::NumberBox)}},
        {"Edit5 (timer)", {&m.timer, mWindow.box(W::TimerBox)}},
        {"Edit2 (name)", {&m.name, mWindow.box(W::NameBox)}},
        {"Edit3 (author)", {&m.author, mWindow.box(W::AuthorBox)}},
        {"Edit4 (hint)", {&m.hint, mWindow.box(W::HintBox)}}};
    for (const auto &[label, pair] : edits) {
        const auto [want, edit] = pair;
        if (edit->text() != want->text)
            note(QStringLiteral("%1: model %2, window %3").arg(QLatin1String(label), shown(want->text), shown(edit->text())));
        else if (edit->cursorPosition() != want->cursor)
            note(QStringLiteral("%1 cursor: model %2, window %3").arg(QLatin1String(label)).arg(want->cursor).arg(edit->cursorPosition()));
    }
    for (int n = 1; n <= model::Cells; ++n) {
        if (mWindow.shownCode(n) != m.map[n - 1].code)
            note(QStringLiteral("store text of cell %1: model %2, window %3")
                     .arg(n).arg(shown(m.map[n - 1].code), shown(mWindow.shownCode(n))));
    }
    if (mWindow.pickedPicture() != m.selectedTile || mWindow.pickedCode() != m.selectedCode)
        note(QStringLiteral("selected tile: model %1 %2, window %3 %4")
                 .arg(m.selectedTile).arg(shown(m.selectedCode)).arg(mWindow.pickedPicture()).arg(shown(mWindow.pickedCode())));
    const QString statusTile = QStringLiteral("Tile ") + (m.selectedTile ? m.selectedCode : QStringLiteral("-"));
    const QString statusSize = m.selection.empty() ? QString()
                                                   : QStringLiteral("%1 x %2").arg(m.selection.right - m.selection.left + 1)
                                                         .arg(m.selection.bottom - m.selection.top + 1);
    const QString shownTile = mWindow.control<QLabel>(QStringLiteral("PickedTile"))->text();
    const QString shownSize = mWindow.control<QLabel>(QStringLiteral("SelectionSize"))->text();
    if (shownTile != statusTile || shownSize != statusSize)
        note(QStringLiteral("status bar: model %1 %2, window %3 %4").arg(statusTile, statusSize, shownTile, shownSize));
    QString checkedTool;
    for (const QAction *a : mWindow.menu("Tools")->actions())
        checkedTool += a->isChecked() ? a->text().remove(QLatin1Char('&')).section(QLatin1Char('\t'), 0, 0) : QString();
    const QString toolShown = mWindow.control<QLabel>(QStringLiteral("ToolName"))->text();
    if (checkedTool != m.toolName(m.tool) || toolShown != m.toolName(m.tool))
        note(QStringLiteral("tool: model %1, Tools menu %2, status bar %3").arg(m.toolName(m.tool), checkedTool, toolShown));
    if (mWindow.selectedCell() != m.selectedCell)
        note(QStringLiteral("selected cell: model %1, window %2").arg(m.selectedCell).arg(mWindow.selectedCell()));
    // Cells of 32, 48, 64 or 96 pixels with gaps of 1, 1, 2 or 3 between
    // them; the palette starts 10 pixels right of the map, at the map's zoom
    // up to 200 % (the largest that fits beside it on this screen).
    const auto gapAt = [](int zoom) { return zoom < 200 ? 1 : zoom / 100; };
    const int gap = gapAt(m.zoom), pitch = 32 * m.zoom / 100 + gap;
    const int paletteZoom = std::min(m.zoom, 200), paletteGap = gapAt(paletteZoom);
    const int palettePitch = 32 * paletteZoom / 100 + paletteGap;
    const int paletteLeft = 8 + 14 * pitch + 10;
    const int t = m.selectedTile - 1;
    const QPoint green = m.selectedTile ? QPoint(paletteLeft - paletteGap + palettePitch * (t % 16),
                                                 8 - paletteGap + palettePitch * (t / 16))
                                        : QPoint(-100, -100);
    const int c = m.selectedCell - 1;
    const QPoint red = m.selectedCell ? QPoint(8 - gap + pitch * (c % 14), 8 - gap + pitch * (c / 14)) : QPoint(-100, -100);
    const QString zoomShown = mWindow.control<QLabel>(QStringLiteral("ZoomLevel"))->text();
    if (zoomShown != QStringLiteral("%1 %").arg(m.zoom) || mWindow.cellRect(168).bottomRight() != QPoint(7 + 14 * pitch - gap, 7 + 12 * pitch - gap))
        note(QStringLiteral("zoom: model %1 %, window %2, last cell %3").arg(m.zoom).arg(zoomShown).arg(mWindow.cellRect(168).bottom()));
    const QPoint greenSeen = mWindow.greenFrame(), redSeen = mWindow.redFrame();
    if (greenSeen != green || redSeen != red)
        note(QStringLiteral("frames: model Green (%1,%2) Red (%3,%4), window Green (%5,%6) Red (%7,%8)")
                 .arg(green.x()).arg(green.y()).arg(red.x()).arg(red.y())
                 .arg(greenSeen.x()).arg(greenSeen.y()).arg(redSeen.x()).arg(redSeen.y()));
    if (mWindow.checked("CheckBox1") != m.activeSelect)
        note(QStringLiteral("Active select: model %1").arg(m.activeSelect));
    const QRect black = m.gridShown ? QRect(5000, 5000, 34, 34) : QRect(8, 8, 14 * pitch - gap, 12 * pitch - gap);
    const QRect backdrop = mWindow.control("Black")->geometry();
    if (mWindow.checked("CheckBox2") != m.gridShown || backdrop != black)
        note(QStringLiteral("Show grid: model %1, backdrop at (%2,%3) %4 x %5")
                 .arg(m.gridShown).arg(backdrop.x()).arg(backdrop.y()).arg(backdrop.width()).arg(backdrop.height()));
    for (const char *name : {"Button1", "Button3", "Button4", "Button5", "Button27", "Button28"}) {
        if (mWindow.control(name)->isEnabled() != m.buttonsEnabled)
            note(QStringLiteral("%1 enabled: model %2").arg(QLatin1String(name)).arg(m.buttonsEnabled));
    }
    if (mWindow.title() != m.title())
        note(QStringLiteral("title: model %1, window %2").arg(shown(m.title()), shown(mWindow.title())));
    const wmb::CellRect rect = mWindow.selection();
    const model::Selection selection = rect.empty() ? model::Selection{}
        : model::Selection{rect.column, rect.row, rect.column + rect.columns - 1, rect.row + rect.rows - 1};
    if (selection != m.selection)
        note(QStringLiteral("selection: model columns %1..%2 rows %3..%4, window %5..%6, %7..%8")
                 .arg(m.selection.left).arg(m.selection.right).arg(m.selection.top).arg(m.selection.bottom)
                 .arg(selection.left).arg(selection.right).arg(selection.top).arg(selection.bottom));
    if (QGuiApplication::clipboard()->text() != m.clipboard)
        note(QStringLiteral("clipboard: model %1, window %2").arg(shown(m.clipboard), shown(QGuiApplication::clipboard()->text())));
    const QList<QAction *> edit = mWindow.menu("Edit")->actions();
    const QString undo = m.done.empty() ? QStringLiteral("&Undo") : QStringLiteral("&Undo ") + m.undoText();
    const QString redo = m.undone.empty() ? QStringLiteral("&Redo") : QStringLiteral("&Redo ") + m.redoText();
    if (edit.size() < 2 || edit[0]->text() != undo || edit[1]->text() != redo)
        note(QStringLiteral("Edit menu: model %1, %2, window %3").arg(undo, redo, edit.size() < 2 ? QString() : edit[0]->text() + QStringLiteral(", ") + edit[1]->text()));
    if ((mWindow.loadedLevel() != 0) != m.levelLoaded)
        note(QStringLiteral("a level loaded: model %1").arg(m.levelLoaded));
    else if (m.levelLoaded && mWindow.levelBase() != model::mapAt(m.loadedLevel))
        note(QStringLiteral("LevelBase: model %1 (level %2), window %3")
                 .arg(model::mapAt(m.loadedLevel)).arg(m.loadedLevel).arg(mWindow.levelBase()));
}

const QImage &ModelRun::tileImage(const QString &code)
{
    auto it = mTileImages.find(code);
    if (it == mTileImages.end()) {
        const QImage image(QStringLiteral(WMB_TILE_DIR "/") + code + QStringLiteral(".bmp"), "BMP");
        it = mTileImages.emplace(code, image.convertToFormat(QImage::Format_ARGB32)).first;
    }
    return it->second;
}

// A picture is compared with the tile's file once per pixmap: copies of a
// pixmap share its cache key.
void ModelRun::checkPictures()
{
    for (int n = 1; n <= model::Cells; ++n) {
        const QString &want = mModel->map[n - 1].picture;
        const QPixmap picture = mWindow.cellPixmap(n);
        const auto seen = mVerifiedPixmaps.constFind(picture.cacheKey());
        if (seen != mVerifiedPixmaps.constEnd() && !picture.isNull()) {
            if (*seen != want)
                note(QStringLiteral("picture of cell %1: model tile %2, window tile %3").arg(n).arg(want, *seen));
            continue;
        }
        const QImage tile = tileImage(want);
        if (picture.isNull() || picture.toImage().convertToFormat(QImage::Format_ARGB32) !=
                                    tile.scaled(tile.size() * mModel->zoom / 100, Qt::IgnoreAspectRatio, Qt::FastTransformation))
            note(QStringLiteral("picture of cell %1 is not tile %2").arg(n).arg(want));
        else
            mVerifiedPixmaps.insert(picture.cacheKey(), want);
    }
}

void ModelRun::compareFile(const QString &name, const QByteArray &expected, bool rom)
{
    const QByteArray actual = readFile(path(name));
    if (actual == expected)
        return;
    QString text = QStringLiteral("file %1: model %2 bytes, file %3 bytes").arg(name).arg(expected.size()).arg(actual.size());
    int shownDifferences = 0;
    for (qsizetype i = 0; i < std::min(actual.size(), expected.size()) && shownDifferences < 8; ++i) {
        if (actual[i] == expected[i])
            continue;
        ++shownDifferences;
        text += QStringLiteral("\n    offset %1%2: model %3, file %4")
                    .arg(i)
                    .arg(rom ? QStringLiteral(" (") + model::describeOffset(static_cast<int>(i)) + QLatin1Char(')') : QString())
                    .arg(static_cast<unsigned char>(expected[i]), 2, 16, QLatin1Char('0'))
                    .arg(static_cast<unsigned char>(actual[i]), 2, 16, QLatin1Char('0'));
    }
    if (rom) {
        // Whatever the model says: no byte outside the level records' fields
        // may ever differ from the demo ROM.
        for (qsizetype i = 0; i < std::min(actual.size(), mDemo.size()); ++i) {
            if (actual[i] == mDemo[i])
                continue;
            const QString where = model::describeOffset(static_cast<int>(i));
            if (where.contains(QLatin1String("gap")) || where.startsWith(QLatin1String("outside"))) {
                text += QStringLiteral("\n    A BYTE OUTSIDE EVERY FIELD CHANGED at offset %1 (%2)").arg(i).arg(where);
                break;
            }
        }
    }
    note(text);
}

void ModelRun::checkFiles()
{
    compareFile(QStringLiteral("demo.nes"), mModel->goodRom, true);
    QStringList expected = {QStringLiteral("demo.nes"), QStringLiteral("folder.nes"), QStringLiteral("sub"),
                            QStringLiteral("in")};
    if (mModel->shortExists) {
        compareFile(QStringLiteral("short.nes"), mModel->shortRom, true);
        expected << QStringLiteral("short.nes");
    }
    if (mModel->copyExists) {
        compareFile(QStringLiteral("copy.nes"), mModel->copyRom, true);
        expected << QStringLiteral("copy.nes");
    }
    for (const auto &[name, bytes] : mModel->exports) {
        compareFile(name, bytes, false);
        expected << name;
    }
    expected.sort();
    QStringList actual = mDir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    actual.sort();
    if (actual != expected)
        note(QStringLiteral("files in the folder: model [%1], folder [%2]")
                 .arg(expected.join(QStringLiteral(", ")), actual.join(QStringLiteral(", "))));
}
