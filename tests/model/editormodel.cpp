#include "editormodel.h"

#include <QLocale>

#include <QStringList>

#include <algorithm>
#include <stdexcept>

namespace model {

namespace {

const QString ReadBeyondEnd = QStringLiteral("Read beyond end of file.");
const QString NoLevel = QStringLiteral("No level is loaded.");

bool isDigit(QChar ch) { return ch >= QLatin1Char('0') && ch <= QLatin1Char('9'); }

std::optional<std::int32_t> number(const EditModel &edit) { return wholeNumber(edit.text.toUtf8()); }

} // namespace

void EditModel::set(const QString &t)
{
    text = t.left(maxLength);
    cursor = static_cast<int>(text.size());
}

void EditModel::type(const QString &s)
{
    const int room = maxLength - static_cast<int>(text.size());
    if (room <= 0)
        return;
    const QString put = s.left(room);
    text.insert(cursor, put);
    cursor += static_cast<int>(put.size());
}

void EditModel::deleteForward()
{
    if (cursor < text.size())
        text.remove(cursor, 1);
}

EditorModel::EditorModel(const QByteArray &demoRom) : goodRom(demoRom)
{
    for (MapCell &cell : map)
        cell = {QString(), QStringLiteral("0")};
}

void EditorModel::error(const QString &text, bool prefix) { errors.push_back({text, prefix}); }

void EditorModel::convertError(const QString &text)
{
    error(QLatin1Char('\'') + QString::fromUtf8(text.toUtf8()) + QStringLiteral("' is not a valid integer value."));
}

void EditorModel::pickPalette(int n)
{
    selectedTile = n;
    selectedCode = hexText(n - 1);
    // Active select replaces the tile of the cell clicked last, store and
    // picture together, as one undo step.
    if (selectedCell != 0 && activeSelect) {
        beginGesture(QStringLiteral("Active select"));
        map[selectedCell - 1] = {selectedCode, selectedCode};
        endGesture();
    }
}

void EditorModel::beginGesture(const QString &name)
{
    gestureStart = map;
    gestureName = name;
    gestureTouched = false;
}

void EditorModel::paint(int cell)
{
    if (selectedTile != 0)
        map[cell - 1] = {selectedCode, selectedCode};
    selectedCell = cell;
    selection = {};
}

void EditorModel::endGesture()
{
    if (map == gestureStart) {
        if (gestureTouched)
            forgetUndone();
        return;
    }
    undoSteps.emplace_back(gestureStart, map);
    undoNames.push_back(gestureName);
    newStep('M');
    if (undoSteps.size() > UndoLimit) {
        undoSteps.erase(undoSteps.begin());
        undoNames.erase(undoNames.begin());
        done.erase(std::find(done.begin(), done.end(), 'M'));
    }
}

void EditorModel::rightPick(int cell)
{
    if (const auto value = codeValue(map[cell - 1].code)) {
        selectedTile = *value + 1;
        selectedCode = hexText(*value);
    }
}

void EditorModel::clearScreen()
{
    beginGesture(QStringLiteral("Clear screen"));
    for (MapCell &cell : map)
        cell = {QStringLiteral("0"), QStringLiteral("0")};
    endGesture();
}

void EditorModel::undo()
{
    if (done.empty())
        return;
    if (done.back() == 'I')
        return undoImage(false);
    done.pop_back();
    undone.push_back('M');
    map = undoSteps.back().first;
    redoSteps.push_back(undoSteps.back());
    undoSteps.pop_back();
    redoNames.push_back(undoNames.back());
    undoNames.pop_back();
}

void EditorModel::redo()
{
    if (undone.empty())
        return;
    if (undone.back() == 'I')
        return undoImage(true);
    undone.pop_back();
    done.push_back('M');
    map = redoSteps.back().second;
    undoSteps.push_back(redoSteps.back());
    redoSteps.pop_back();
    undoNames.push_back(redoNames.back());
    redoNames.pop_back();
}

namespace {

Selection between(int a, int b)
{
    const int ac = (a - 1) % 14, ar = (a - 1) / 14, bc = (b - 1) % 14, br = (b - 1) / 14;
    return {std::min(ac, bc), std::min(ar, br), std::max(ac, bc), std::max(ar, br)};
}

int savedByte(const QString &code) { return codeValue(code).value_or(0); }

} // namespace

void EditorModel::shiftSelect(int from, int to) { selection = between(from, to); }

// The selected cell stays one corner; the opposite corner moves (from the
// selected cell itself when it is no corner of the selection).
void EditorModel::shiftArrow(int dColumn, int dRow)
{
    if (selectedCell == 0) {
        selectedCell = 1;
        return;
    }
    const int c = (selectedCell - 1) % 14, r = (selectedCell - 1) / 14;
    int mc = c, mr = r;
    const Selection &s = selection;
    if (!s.empty() && (c == s.left || c == s.right) && (r == s.top || r == s.bottom)) {
        mc = c == s.left ? s.right : s.left;
        mr = r == s.top ? s.bottom : s.top;
    }
    mc = std::clamp(mc + dColumn, 0, 13);
    mr = std::clamp(mr + dRow, 0, 11);
    selection = between(selectedCell, mr * 14 + mc + 1);
}

void EditorModel::arrow(int dColumn, int dRow)
{
    selection = {};
    if (selectedCell == 0) {
        selectedCell = 1;
        return;
    }
    const int c = std::clamp((selectedCell - 1) % 14 + dColumn, 0, 13);
    const int r = std::clamp((selectedCell - 1) / 14 + dRow, 0, 11);
    selectedCell = r * 14 + c + 1;
}

void EditorModel::mapSpace()
{
    if (selectedCell == 0)
        return;
    beginGesture();
    paint(selectedCell);
    endGesture();
}

void EditorModel::copy()
{
    if (selection.empty())
        return;
    clipboard.clear();
    clipboardGrid = Grid();
    for (int r = selection.top; r <= selection.bottom; ++r) {
        std::vector<int> row;
        QStringList texts;
        for (int c = selection.left; c <= selection.right; ++c) {
            row.push_back(savedByte(map[r * 14 + c].code));
            texts << hexText(row.back());
        }
        clipboardGrid->push_back(row);
        clipboard += texts.join(QLatin1Char(' ')) + QLatin1Char('\n');
    }
}

void EditorModel::fillSelection(const QString &code, const QString &name)
{
    beginGesture(name);
    for (int n = 1; n <= Cells; ++n)
        if (selection.contains(n))
            map[n - 1] = {code, code};
    endGesture();
}

void EditorModel::cut()
{
    if (selection.empty())
        return;
    copy();
    fillSelection(QStringLiteral("0"), QStringLiteral("Cut"));
}

void EditorModel::deleteSelection()
{
    if (!selection.empty())
        fillSelection(QStringLiteral("0"), QStringLiteral("Delete"));
}

void EditorModel::fill()
{
    if (!selection.empty() && selectedTile != 0)
        fillSelection(selectedCode, QStringLiteral("Fill"));
}

void EditorModel::paste()
{
    if (!clipboardGrid)
        return error(QStringLiteral("The clipboard holds no tiles: a paste takes 1 to 12 lines of 1 to 14 hexadecimal tile codes (such as 1F or 0) separated by blanks."));
    const int at = pointedCell                ? pointedCell
                   : !selection.empty()       ? selection.top * 14 + selection.left + 1
                   : selectedCell             ? selectedCell
                                              : 1;
    const int left = (at - 1) % 14, top = (at - 1) / 14;
    beginGesture(QStringLiteral("Paste"));
    Selection placed{left, top, left - 1, top - 1};
    for (int r = 0; r < static_cast<int>(clipboardGrid->size()) && top + r < 12; ++r) {
        const std::vector<int> &row = (*clipboardGrid)[r];
        for (int c = 0; c < static_cast<int>(row.size()) && left + c < 14; ++c) {
            map[(top + r) * 14 + left + c] = {hexText(row[c]), hexText(row[c])};
            placed.right = std::max(placed.right, left + c);
        }
        placed.bottom = top + r;
    }
    endGesture();
    selection = placed;
}

void EditorModel::pickByCode(const QString &typed)
{
    QString code;
    for (const QChar ch : typed)
        if (code.size() < 2 && QStringLiteral("0123456789abcdefABCDEF").contains(ch))
            code += ch;
    if (!code.isEmpty())
        pickPalette(code.toInt(nullptr, 16) + 1);
}

void EditorModel::floodFill(int cell, bool tool)
{
    if (selectedTile == 0)
        return;
    const int tile = savedByte(map[cell - 1].code);
    std::array<bool, Cells> reached{};
    std::vector<int> pending{cell};
    reached[cell - 1] = true;
    while (!pending.empty()) {
        const int n = pending.back();
        pending.pop_back();
        const int c = (n - 1) % 14;
        for (int next : {c > 0 ? n - 1 : 0, c < 13 ? n + 1 : 0, n - 14, n + 14}) {
            if (next >= 1 && next <= Cells && !reached[next - 1] && savedByte(map[next - 1].code) == tile) {
                reached[next - 1] = true;
                pending.push_back(next);
            }
        }
    }
    beginGesture(tool ? QStringLiteral("Fill") : QStringLiteral("Flood fill"));
    for (int n = 1; n <= Cells; ++n)
        if (reached[n - 1])
            map[n - 1] = {selectedCode, selectedCode};
    gestureTouched = map != gestureStart;
    if (!tool)
        endGesture();
}

// The passive bounds: a text that is not a whole number is left alone.
void EditorModel::clampLevel()
{
    if (const auto n = number(level); n && *n > Levels)
        level.set(QString::number(Levels));
    if (const auto n = number(level); n && *n < 1)
        level.set(QStringLiteral("1"));
}

// The timer the last load, import or save put there stays as it is.
void EditorModel::clampTimer()
{
    if (levelLoaded && timer.text == savedTimer)
        return;
    if (const auto n = number(timer); n && *n > 1200)
        timer.set(QStringLiteral("1200"));
}

// A key in a number edit: the bound first, then only digits get through;
// Delete, Home and End work as in any edit, Backspace does nothing.
static void numberKey(EditModel &edit, Key key, QChar ch)
{
    switch (key) {
    case Key::Character:
        if (isDigit(ch))
            edit.type(QString(ch));
        break;
    case Key::Backspace:
        break;
    case Key::Delete:
        edit.deleteForward();
        break;
    case Key::Home:
        edit.cursor = 0;
        break;
    case Key::End:
        edit.cursor = static_cast<int>(edit.text.size());
        break;
    }
}

void EditorModel::levelKey(Key key, QChar ch)
{
    clampLevel();
    numberKey(level, key, ch);
}

void EditorModel::timerKey(Key key, QChar ch)
{
    clampTimer();
    numberKey(timer, key, ch);
}

void EditorModel::levelMouseMove() { clampLevel(); }
void EditorModel::timerMouseMove() { clampTimer(); }

void EditorModel::panelMouseMove()
{
    clampTimer();
    if (const auto n = number(level); n && *n > Levels)
        level.set(QString::number(Levels));
}

void EditorModel::timerArrow(int step)
{
    const auto n = number(timer);
    if (!n)
        return convertError(timer.text);
    if (step < 0)
        timer.set(*n > 5 ? QString::number(*n - 5) : QStringLiteral("0"));
    else
        timer.set(*n < 1200 ? QString::number(*n + 5) : QStringLiteral("1200"));
}

std::optional<Record> EditorModel::recordToSave() const
{
    Record r;
    if (timer.text == savedTimer) {
        r.timer = saved.timer;
    } else {
        const auto value = number(timer);
        if (!value)
            return std::nullopt;
        r.timer = timerByte(*value);
    }
    for (const MapCell &cell : map) {
        const auto code = codeValue(cell.code);
        if (!code)
            throw std::logic_error("model: a store text that is no tile code at a save");
        r.tiles += static_cast<char>(*code);
    }
    // A text the user did not touch keeps the bytes it was read from.
    r.name = name.text == savedName ? saved.name : encodeText(name.text, NameLength);
    r.author = author.text == savedAuthor ? saved.author : encodeText(author.text, AuthorLength);
    r.hint = hint.text == savedHint ? saved.hint : encodeText(hint.text, HintLength);
    return r;
}

bool EditorModel::unsavedChanges() const
{
    if (!levelLoaded)
        return false;
    const auto r = recordToSave();
    return !r || *r != saved;
}

QString EditorModel::title() const
{
    if (!levelLoaded)
        return QStringLiteral("WMBeditor");
    return QStringLiteral("%1, level %2%3 \u2014 WMBeditor")
        .arg(boundName())
        .arg(loadedLevel)
        .arg(unsavedChanges() ? QStringLiteral("*") : QString());
}

QString EditorModel::boundName() const
{
    return bound == Rom::Short ? QStringLiteral("short.nes")
         : bound == Rom::Copy  ? QStringLiteral("copy.nes")
                               : QStringLiteral("demo.nes");
}

// The copy holds the bound image with the shown level saved into it; then
// the window works on the copy.
void EditorModel::saveRomAs(Target target, bool itself, bool ok)
{
    if (!buttonsEnabled || target == Target::Cancel)
        return;
    if (itself) {
        save();
        return;
    }
    if (copyExists && !ok)
        return;
    const auto r = recordToSave();
    if (!r)
        return convertError(timer.text);
    // The bound image may have been cut since its level was loaded.
    if (!holdsLevel(boundBytes().size(), loadedLevel))
        return error(ReadBeyondEnd);
    copyRom = boundBytes();
    copyExists = true;
    bound = Rom::Copy;
    imageUndo.clear();
    imageRedo.clear();
    imageUndoNames.clear();
    imageRedoNames.clear();
    forgetSteps('I');
    storeRecord(*r);
}

bool EditorModel::leaveLevel()
{
    if (!unsavedChanges())
        return true;
    ++leaveQuestions;
    switch (answer) {
    case Leave::Save:
        return save();
    case Leave::Discard:
        return true;
    case Leave::Cancel:
        break;
    }
    return false;
}

// A load is all or nothing: the number box names the level once it is shown.
void EditorModel::load(int shown)
{
    const QByteArray &rom = boundBytes();
    if (!holdsLevel(rom.size(), shown))
        return error(ReadBeyondEnd);

    if (number(level) != shown)
        level.set(QString::number(shown));
    levelLoaded = true;
    loadedLevel = shown;
    showRecord(recordOnDisk());
    selection = {};
}

Record EditorModel::recordOnDisk() const
{
    const QByteArray &rom = boundBytesConst();
    const int base = mapAt(loadedLevel);
    return {rom.mid(base, Cells), static_cast<std::uint8_t>(rom[base - 17]), rom.mid(base - 16, NameLength),
            rom.mid(base - 31, AuthorLength), rom.mid(base + 168, HintLength)};
}

void EditorModel::showRecord(const Record &record)
{
    for (int i = 0; i < Cells; ++i) {
        const QString code = hexText(static_cast<std::uint8_t>(record.tiles[i]));
        map[i] = {code, code};
    }
    saved = seen = record;
    ++loads;
    timer.set(QString::number(saved.timer * 5));
    name.set(decodeText(saved.name));
    author.set(decodeText(saved.author));
    hint.set(decodeText(saved.hint));
    savedTimer = timer.text;
    savedName = name.text;
    savedAuthor = author.text;
    savedHint = hint.text;
    undoSteps.clear();
    redoSteps.clear();
    undoNames.clear();
    redoNames.clear();
    forgetSteps('M');
}

// The window follows the level shown when its record changed since the
// window last looked and it has no unsaved changes.
void EditorModel::diskChanged()
{
    if (!levelLoaded || !holdsLevel(boundBytes().size(), loadedLevel))
        return;
    const Record onDisk = recordOnDisk();
    if (onDisk != seen && !unsavedChanges())
        showRecord(onDisk);
    else
        seen = onDisk;
}

OnDisk EditorModel::askOverwrite()
{
    const Record onDisk = recordOnDisk();
    if (onDisk == saved)
        return OnDisk::Overwrite;
    ++overwriteQuestions;
    if (onDiskAnswer == OnDisk::Reload)
        showRecord(onDisk);
    return onDiskAnswer;
}

void EditorModel::loadFromBox()
{
    const auto n = number(level);
    if (!n)
        return convertError(level.text);
    load(std::clamp<int>(*n, 1, Levels));
}

void EditorModel::reload()
{
    if (buttonsEnabled && leaveLevel())
        loadFromBox();
}

void EditorModel::stepLevel(int delta)
{
    if (!buttonsEnabled)
        return;
    const auto n = number(level);
    if (!n)
        return convertError(level.text);
    if (!leaveLevel())
        return;
    if (delta < 0)
        load(*n <= 1 ? 1 : std::min(*n - 1, Levels));
    else
        load(*n >= Levels ? Levels : std::max(*n + 1, 1));
}

// Everything is checked before the first byte is written; only the field
// bytes of the level loaded last change, and the edits then show what was
// stored.
bool EditorModel::save()
{
    if (!buttonsEnabled)
        return false;
    const auto r = levelLoaded ? recordToSave() : std::nullopt;
    if (!levelLoaded)
        error(NoLevel);
    else if (!r)
        convertError(timer.text);
    else if (!holdsLevel(boundBytes().size(), loadedLevel))
        error(ReadBeyondEnd);
    else if (const OnDisk choice = askOverwrite(); choice != OnDisk::Cancel) {
        if (choice == OnDisk::Overwrite)
            storeRecord(*r);
        return true;
    }
    return false;
}

// Writes the record into the bound image; the edits show what was stored.
void EditorModel::storeRecord(const Record &record)
{
    const Record *r = &record;
    QByteArray &rom = boundBytes();
    const QByteArray before = rom;

    const int base = mapAt(loadedLevel);
    rom.replace(base, Cells, r->tiles);
    rom[base - 17] = static_cast<char>(r->timer);
    rom.replace(base - 16, NameLength, r->name);
    rom.replace(base - 31, AuthorLength, r->author);
    rom.replace(base + 168, HintLength, r->hint);
    saveJoinsSteps(before);
    saved = seen = *r;
    timer.set(QString::number(r->timer * 5));
    name.set(decodeText(r->name));
    author.set(decodeText(r->author));
    hint.set(decodeText(r->hint));
    savedTimer = timer.text;
    savedName = name.text;
    savedAuthor = author.text;
    savedHint = hint.text;
}

bool EditorModel::openRom(Target target, Rom rom, bool openAnyway)
{
    if (!leaveLevel())
        return false;
    switch (target) {
    case Target::Cancel:
        return true;
    case Target::Missing:
    case Target::MissingFolder:
        error(QStringLiteral("File not found."));
        return true;
    case Target::Folder:
        error(QStringLiteral("File access denied."));
        return true;
    case Target::LongName:
        error(QStringLiteral("Invalid filename."));
        return true;
    case Target::File:
    case Target::OpenImage:
        break;
    }
    if (tooSmall(rom))
        return error(QStringLiteral("short.nes has %1 bytes: too small for a Wumblers ROM image, whose level 1 ends "
                                    "at byte 49,423.")
                         .arg(QLocale(QLocale::English).toString(shortRom.size()))),
               true;
    if (!looksLikeRom(rom) && !openAnyway)
        return true;
    // The new image and its level are read before the old one is let go.
    const auto n = number(level);
    if (!n) {
        convertError(level.text);
        return true;
    }
    const Rom before = bound;
    bound = rom;
    const std::size_t errorsBefore = errors.size();
    const bool wasLoaded = levelLoaded;
    levelLoaded = false;
    load(std::clamp<int>(*n, 1, Levels));
    if (errors.size() != errorsBefore) {
        bound = before;
        levelLoaded = wasLoaded;
        return true;
    }
    imageUndo.clear();
    imageRedo.clear();
    imageUndoNames.clear();
    imageRedoNames.clear();
    forgetSteps('I');
    buttonsEnabled = true;
    return true;
}

QString EditorModel::exportName() const
{
    return QStringLiteral("level_") + (levelLoaded ? QString::number(loadedLevel) : level.text);
}

void EditorModel::exportLevel(Target target, const QString &fileName, bool exists, bool ok)
{
    if (!buttonsEnabled || target == Target::Cancel)
        return;
    if (target == Target::OpenImage)
        return error(fileName + QStringLiteral(" is the open ROM image; choose another file."));
    if (target == Target::MissingFolder)
        return error(QStringLiteral("File not found."));
    if (target == Target::Folder)
        return error(QStringLiteral("File access denied: the output is a folder, not a file."));
    if (exists && !ok)
        return;
    exports[fileName] = levelFileBytes();
}

void EditorModel::importLevel(Target target, const QByteArray &file, const QString &fileName)
{
    if (!buttonsEnabled || target == Target::Cancel)
        return;
    if (!levelLoaded)
        return error(NoLevel);
    if (target == Target::Missing || target == Target::MissingFolder)
        return error(QStringLiteral("File not found."));
    if (target == Target::Folder)
        return error(QStringLiteral("File access denied."));
    const LevelFileRead read = readLevelFile(file);
    if (!read.ok)
        return error(read.error, read.errorIsPrefix);
    QByteArray &rom = boundBytes();
    if (!holdsLevel(rom.size(), loadedLevel))
        return error(ReadBeyondEnd);
    if (askOverwrite() != OnDisk::Overwrite)
        return;

    const std::string before = rom.toStdString();
    const int base = mapAt(loadedLevel);
    for (int i = 0; i < Cells; ++i)
        rom[base + i] = static_cast<char>(read.tiles[i]);
    rom[base - 17] = static_cast<char>(timerByte(read.timer));
    auto put = [&](const QByteArray &line, int at, int length) {
        const std::u32string points = codePoints(QString::fromUtf8(line));
        const qsizetype count = read.utf8 ? static_cast<qsizetype>(points.size()) : line.size();
        for (int i = 0; i < length; ++i)
            rom[at + i] = static_cast<char>(
                i >= count ? 0x00
                : read.utf8 ? levelCode(points[static_cast<std::size_t>(i)])
                            : levelCodeOfFileByte(static_cast<unsigned char>(line[i])));
    };
    put(read.name, base - 16, NameLength);
    put(read.author, base - 31, AuthorLength);
    put(read.hint, base + 168, HintLength);
    // One step of the image's history: the record as the file made it.
    const wmb::LevelRecord imported = wmb::levelRecordIn(rom.toStdString(), loadedLevel);
    rom = QByteArray::fromStdString(before);
    writeImage(wmb::pasteLevel(before, imported, loadedLevel),
               QStringLiteral("Import %1 into level %2").arg(fileName).arg(loadedLevel));
    load(loadedLevel);
}

QByteArray EditorModel::levelFileBytes() const
{
    QByteArray bytes = fileLine(QString::number(Cells)) + fileLine(QStringLiteral("1"));
    for (const MapCell &cell : map)
        bytes += fileLine(cell.code);
    for (const EditModel *edit : {&name, &author, &hint, &timer})
        bytes += fileLine(edit->text);
    return bytes;
}

} // namespace model
