// Helpers for the start-up, load/save and field tests: the level record read
// straight from ROM bytes (written here from the record layout, apart from
// the core's own decoder), typing and mouse moves as a user makes them, and
// a snapshot of everything the window shows of a level.
#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QTableWidget>

#include <map>
#include <random>
#include <vector>

#include "editorfixture.h"

namespace rom {

constexpr int Levels = 32;
constexpr int Cells = 168;
constexpr int DemoSize = 73744;

// Offset of level n's tile map: 0xC030 for level 1, 256 bytes per level.
constexpr int mapAt(int level) { return 0xC030 + (level - 1) * 0x100; }
constexpr int authorAt(int level) { return mapAt(level) - 31; }
constexpr int timerAt(int level) { return mapAt(level) - 17; }
constexpr int nameAt(int level) { return mapAt(level) - 16; }
constexpr int hintAt(int level) { return mapAt(level) + 168; }

struct TextField {
    const char *name;
    int (*at)(int);
    int length;
};
inline const TextField textFields[] = {{"name", nameAt, 15}, {"author", authorAt, 13}, {"hint", hintAt, 55}};

inline int byteAt(const QByteArray &bytes, int offset) { return static_cast<unsigned char>(bytes[offset]); }

// The character a level text byte shows, or a null QChar for none.
inline QChar textChar(int b)
{
    if (b == 0x00)
        return QChar(0x2022);
    if (b == 0x7C)
        return QChar(0x0406);
    if (b >= 0x20 && b <= 0x7E)
        return QChar(b);
    return QChar();
}

inline bool hasChar(int b) { return !textChar(b).isNull(); }

// The text an edit shows for a text field.
inline QString textAt(const QByteArray &bytes, int offset, int length)
{
    QString text;
    for (int i = 0; i < length; ++i)
        if (const QChar ch = textChar(byteAt(bytes, offset + i)); !ch.isNull())
            text += ch;
    return text;
}

// The field bytes a text is stored as: "•" 0x00, "І" 0x7C, printable ASCII
// but "|" as itself, anything else "?"; filled with 0x00.
inline QByteArray textBytes(const QString &text, int length)
{
    QByteArray out(length, '\0');
    for (int i = 0; i < length && i < text.size(); ++i) {
        const QChar ch = text[i];
        if (ch == QChar(0x2022))
            out[i] = 0x00;
        else if (ch == QChar(0x0406))
            out[i] = 0x7C;
        else if (ch.unicode() >= 0x20 && ch.unicode() <= 0x7E && ch != QLatin1Char('|'))
            out[i] = static_cast<char>(ch.unicode());
        else
            out[i] = '?';
    }
    return out;
}

inline QString hexCode(int b) { return QString::number(b, 16).toUpper(); }

// True when byte `offset` belongs to one of the five fields of level n.
inline bool isFieldByte(int level, int offset)
{
    const int rel = offset - mapAt(level);
    return (rel >= -31 && rel <= -19) || rel == -17 || (rel >= -16 && rel <= -2) ||
           (rel >= 0 && rel <= 222);
}

// Random bytes behind the iNES signature every ROM image starts with.
inline QByteArray randomImage(unsigned seed, int size = DemoSize)
{
    std::mt19937 gen(seed);
    QByteArray bytes(size, '\0');
    for (char &b : bytes)
        b = static_cast<char>(gen() & 0xFF);
    bytes.replace(0, 4, QByteArray("NES\x1A", 4));
    return bytes;
}

} // namespace rom

// What the window shows of the level being edited, and where a save goes.
struct Shown {
    QStringList store;
    QStringList edits;   // Edit1, Edit5, Edit2, Edit3, Edit4
    std::vector<QImage> cells;
    std::int32_t levelBase = 0;
    bool operator==(const Shown &) const = default;
};

class WindowTest : public EditorTest {
protected:
    Shown shown() const { return {shownCodes(), fields(), cellPictures(), levelBase()}; }

    // The shipped picture of a tile code, read once per test program.
    static const QImage &tile(const QString &code)
    {
        static std::map<QString, QImage> cache;
        auto it = cache.find(code);
        if (it == cache.end())
            it = cache.emplace(code, tileImage(code)).first;
        return it->second;
    }

    // Shows the window; mouse moves then come through the platform as the
    // pointer's moves do.
    void showWindow()
    {
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    // Moves the pointer to `pos` in w's coordinates, by way of a point
    // outside the window so that every move is a new one.
    void movePointer(QWidget *w, QPoint pos)
    {
        QCursor::setPos(form->mapToGlobal(QPoint(-50, -50)));
        QApplication::processEvents();
        QTest::mouseMove(w, pos);
    }
};
