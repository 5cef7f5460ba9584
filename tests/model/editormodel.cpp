#include "editormodel.h"

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
        beginGesture();
        map[selectedCell - 1] = {selectedCode, selectedCode};
        endGesture();
    }
}

void EditorModel::beginGesture() { gestureStart = map; }

void EditorModel::paint(int cell)
{
    if (selectedTile != 0)
        map[cell - 1] = {selectedCode, selectedCode};
    selectedCell = cell;
}

void EditorModel::endGesture()
{
    if (map == gestureStart)
        return;
    undoSteps.emplace_back(gestureStart, map);
    redoSteps.clear();
    if (undoSteps.size() > UndoLimit)
        undoSteps.erase(undoSteps.begin());
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
    beginGesture();
    for (MapCell &cell : map)
        cell = {QStringLiteral("0"), QStringLiteral("0")};
    endGesture();
}

void EditorModel::undo()
{
    if (undoSteps.empty())
        return;
    map = undoSteps.back().first;
    redoSteps.push_back(undoSteps.back());
    undoSteps.pop_back();
}

void EditorModel::redo()
{
    if (redoSteps.empty())
        return;
    map = redoSteps.back().second;
    undoSteps.push_back(redoSteps.back());
    redoSteps.pop_back();
}

// The passive bounds: a text that is not a whole number is left alone.
void EditorModel::clampLevel()
{
    if (const auto n = number(level); n && *n > Levels)
        level.set(QString::number(Levels));
    if (const auto n = number(level); n && *n < 1)
        level.set(QStringLiteral("1"));
}

void EditorModel::clampTimer()
{
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

// A load is all or nothing; only the level number's bound may stay.
void EditorModel::load()
{
    const auto n = number(level);
    if (!n)
        return convertError(level.text);
    if (*n > Levels)
        level.set(QString::number(Levels));
    else if (*n < 1)
        level.set(QStringLiteral("1"));
    const int shown = *number(level);
    const QByteArray &rom = boundBytes();
    if (!holdsLevel(rom.size(), shown))
        return error(ReadBeyondEnd);

    const int base = mapAt(shown);
    levelLoaded = true;
    loadedLevel = shown;
    for (int i = 0; i < Cells; ++i) {
        const QString code = hexText(static_cast<std::uint8_t>(rom[base + i]));
        map[i] = {code, code};
    }
    timer.set(QString::number(static_cast<std::uint8_t>(rom[base - 17]) * 5));
    name.set(decodeText(rom.mid(base - 16, NameLength)));
    author.set(decodeText(rom.mid(base - 31, AuthorLength)));
    hint.set(decodeText(rom.mid(base + 168, HintLength)));
    undoSteps.clear();
    redoSteps.clear();
}

void EditorModel::reload()
{
    if (buttonsEnabled)
        load();
}

void EditorModel::stepLevel(int delta)
{
    if (!buttonsEnabled)
        return;
    const auto n = number(level);
    if (!n)
        return convertError(level.text);
    if (delta < 0)
        level.set(*n <= 1 ? QStringLiteral("1") : QString::number(*n - 1));
    else
        level.set(*n >= Levels ? QString::number(Levels) : QString::number(*n + 1));
    load();
}

// Everything is checked before the first byte is written; only the field
// bytes of the level loaded last change.
void EditorModel::save()
{
    if (!buttonsEnabled)
        return;
    if (!levelLoaded)
        return error(NoLevel);
    const auto value = number(timer);
    if (!value)
        return convertError(timer.text);
    QByteArray &rom = boundBytes();
    if (!holdsLevel(rom.size(), loadedLevel))
        return error(ReadBeyondEnd);

    const int base = mapAt(loadedLevel);
    for (int i = 0; i < Cells; ++i) {
        const auto code = codeValue(map[i].code);
        if (!code)
            throw std::logic_error("model: a store text that is no tile code at a save");
        rom[base + i] = static_cast<char>(*code);
    }
    const std::uint8_t t = timerByte(*value);
    rom[base - 17] = static_cast<char>(t);
    rom.replace(base - 16, NameLength, encodeText(name.text, NameLength));
    rom.replace(base - 31, AuthorLength, encodeText(author.text, AuthorLength));
    rom.replace(base + 168, HintLength, encodeText(hint.text, HintLength));
    timer.set(QString::number(t * 5));
    name.set(savedEditText(name.text, NameLength));
    author.set(savedEditText(author.text, AuthorLength));
    hint.set(savedEditText(hint.text, HintLength));
}

void EditorModel::openRom(Target target, Rom rom)
{
    switch (target) {
    case Target::Cancel:
        return;
    case Target::Missing:
    case Target::MissingFolder:
        return error(QStringLiteral("File not found."));
    case Target::Folder:
        return error(QStringLiteral("File access denied."));
    case Target::LongName:
        return error(QStringLiteral("Invalid filename."));
    case Target::File:
        break;
    }
    bound = rom;
    levelLoaded = false;
    buttonsEnabled = true;
    load();
}

void EditorModel::exportLevel(Target target, const QString &fileName, bool exists, bool ok)
{
    if (!buttonsEnabled || target == Target::Cancel)
        return;
    if (target == Target::MissingFolder)
        return error(QStringLiteral("File not found."));
    if (target == Target::Folder)
        return error(QStringLiteral("File access denied: the output is a folder, not a file."));
    if (exists && !ok)
        return;
    exports[fileName] = levelFileBytes();
}

void EditorModel::importLevel(Target target, const QByteArray &file)
{
    if (!buttonsEnabled || target == Target::Cancel)
        return;
    if (!levelLoaded)
        return error(NoLevel);
    const auto n = number(level);
    if (!n)
        return convertError(level.text);
    if (target == Target::Missing || target == Target::MissingFolder)
        return error(QStringLiteral("File not found."));
    if (target == Target::Folder)
        return error(QStringLiteral("File access denied."));
    const LevelFileRead read = readLevelFile(file);
    if (!read.ok)
        return error(read.error, read.errorIsPrefix);
    QByteArray &rom = boundBytes();
    const int shown = std::clamp<int>(*n, 1, Levels);
    if (!holdsLevel(rom.size(), shown) || !holdsLevel(rom.size(), loadedLevel))
        return error(ReadBeyondEnd);

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
    load();
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
