// The random user actions: each drives the real window as a user would and
// tells the reference model what was done.
#include "modelrun.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>


using model::Key;
using model::Rom;
using model::Target;

namespace {

// Characters a user types beside ASCII: the table's own "•" and "І", others
// of Windows-1251 without a level code, and ones the code page lacks (a
// Latin accent, CJK, astral-plane characters, a joiner).
const char32_t TypedExtras[] = {U'\u2022', U'\u0406', U'\u0456', U'\u0416', U'\u044F', U'\u0401',
                                U'\u20AC', U'\u2116', U'\u00AB', U'\u00A0', U'\u0410', U'\u00E9',
                                U'\u6F22', U'\U0001F600', U'\U0001D11E', U'\uFFFD', U'\u200D', U'|'};
// Only a paste or an import puts these into an edit.
const char32_t PastedExtras[] = {U'\n', U'\r', U'\t', U'\0', U'\x01', U'\u0098'};

QString character(char32_t ch) { return QString::fromUcs4(&ch, 1); }

} // namespace

// Mouse events through the window, as the platform delivers them: the
// widget under a press gets the moves until the release.
void ModelRun::pressCell(int cell, Qt::MouseButton button)
{
    QTest::mousePress(mWindow.form->windowHandle(), button, {}, mWindow.cellCentre(cell));
}

void ModelRun::moveToCell(int cell)
{
    QTest::mouseMove(mWindow.form->windowHandle(), mWindow.cellCentre(cell));
}

void ModelRun::releaseCell(int cell, Qt::MouseButton button)
{
    QTest::mouseRelease(mWindow.form->windowHandle(), button, {}, mWindow.cellCentre(cell));
}

void ModelRun::sendKey(QWidget *w, int key, const QString &text, Qt::KeyboardModifiers mods)
{
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QApplication::sendEvent(w, &press);
    QApplication::sendEvent(w, &release);
}

QString ModelRun::randomCharacter(bool pasted)
{
    if (pasted && chance(15))
        return chance(20) ? QString(QChar(0xD83D)) : character(PastedExtras[below(std::size(PastedExtras))]);
    if (chance(35))
        return character(TypedExtras[below(std::size(TypedExtras))]);
    return QString(QChar(0x20 + below(0x5F)));
}

void ModelRun::pickPalette()
{
    const int n = 1 + below(256);
    log(QStringLiteral("pick Pic%1").arg(n));
    mWindow.pickTile(n - 1);
    mModel->pickPalette(n);
}

void ModelRun::paintCell()
{
    const int cell = 1 + below(model::Cells);
    const bool window = chance(50);
    log(QStringLiteral("click Image%1 with the %2%3").arg(cell).arg(model::EditorModel::toolName(mModel->tool), window ? " (through the window)" : ""));
    if (window) {
        pressCell(cell, Qt::LeftButton);
        releaseCell(cell, Qt::LeftButton);
    } else {
        mWindow.clickCell(cell);
    }
    mModel->pressTool(cell);
    mModel->releaseTool();
}

void ModelRun::rightPick()
{
    const int cell = 1 + below(model::Cells);
    log(QStringLiteral("right-click Image%1").arg(cell));
    pressCell(cell, Qt::RightButton);
    releaseCell(cell, Qt::RightButton);
    mModel->rightPick(cell);
}

void ModelRun::toggleActiveSelect()
{
    log(QStringLiteral("click Active select"));
    mWindow.clickButton("CheckBox1");
    mModel->activeSelect = !mModel->activeSelect;
}

void ModelRun::clearScreen()
{
    log(QStringLiteral("Clear screen"));
    mWindow.clearScreen();
    mModel->clearScreen();
}

void ModelRun::toggleGrid()
{
    log(QStringLiteral("click Show grid"));
    mWindow.clickButton("CheckBox2");
    mModel->gridShown = !mModel->gridShown;
}

namespace {

struct TextEdit {
    QLineEdit *edit;
    model::EditModel *model;
    const char *name;
};

} // namespace

void ModelRun::typeText()
{
    const TextEdit edits[] = {{mWindow.box(WindowDriver::NameBox), &mModel->name, "name"},
                              {mWindow.box(WindowDriver::AuthorBox), &mModel->author, "author"},
                              {mWindow.box(WindowDriver::HintBox), &mModel->hint, "hint"}};
    const TextEdit &e = edits[below(3)];
    const bool clear = chance(40);
    QString typed;
    for (int n = chance(20) ? 1 + below(60) : 1 + below(8); n > 0; --n)
        typed += randomCharacter(false);
    log(QStringLiteral("type into the %1%2: %3").arg(QLatin1String(e.name), clear ? " after Ctrl+A, Delete" : "",
                                                    typed));
    if (clear) {
        sendKey(e.edit, Qt::Key_A, QStringLiteral("\x01"), Qt::ControlModifier);
        sendKey(e.edit, Qt::Key_Delete, QStringLiteral("\x7f"));
        e.model->text.clear();
        e.model->cursor = 0;
    }
    // One key per character; an astral character comes as one key with
    // both halves.
    for (qsizetype i = 0; i < typed.size(); ++i) {
        const qsizetype length = typed[i].isHighSurrogate() ? 2 : 1;
        const QString ch = typed.mid(i, length);
        i += length - 1;
        sendKey(e.edit, 0, ch);
        e.model->type(ch);
    }
}

void ModelRun::pasteText()
{
    const TextEdit edits[] = {{mWindow.box(WindowDriver::NameBox), &mModel->name, "name"},
                              {mWindow.box(WindowDriver::AuthorBox), &mModel->author, "author"},
                              {mWindow.box(WindowDriver::HintBox), &mModel->hint, "hint"}};
    const TextEdit &e = edits[below(3)];
    QString text;
    for (int n = below(70); n > 0; --n)
        text += randomCharacter(true);
    log(QStringLiteral("paste into the %1: %2 (%3 units)").arg(QLatin1String(e.name), text).arg(text.size()));
    e.edit->setText(text);
    e.model->set(text);
}

// Keys into the level number or timer edit: digits mostly, also letters,
// minus, blank, Backspace, Delete, Home and End.
void ModelRun::numberKeys(QWidget *edit, bool level)
{
    QStringList names;
    for (int n = 1 + below(5); n > 0; --n) {
        const int roll = below(100);
        Key key = Key::Character;
        QChar ch;
        int code = 0;
        QString text;
        if (roll < 55) {
            ch = QChar('0' + below(10));
            code = Qt::Key_0 + (ch.unicode() - '0');
        } else if (roll < 65) {
            ch = QChar('a' + below(26));
            code = Qt::Key_A + (ch.unicode() - 'a');
        } else if (roll < 70) {
            ch = QLatin1Char('-');
            code = Qt::Key_Minus;
        } else if (roll < 75) {
            ch = QLatin1Char(' ');
            code = Qt::Key_Space;
        } else if (roll < 83) {
            key = Key::Backspace;
            code = Qt::Key_Backspace;
            text = QStringLiteral("\b");
        } else if (roll < 90) {
            key = Key::Delete;
            code = Qt::Key_Delete;
            text = QStringLiteral("\x7f");
        } else if (roll < 95) {
            key = Key::Home;
            code = Qt::Key_Home;
        } else {
            key = Key::End;
            code = Qt::Key_End;
        }
        if (key == Key::Character)
            text = QString(ch);
        names << (key == Key::Character ? QStringLiteral("'") + ch + QLatin1Char('\'')
                  : key == Key::Backspace ? QStringLiteral("Backspace")
                  : key == Key::Delete   ? QStringLiteral("Delete")
                  : key == Key::Home     ? QStringLiteral("Home")
                                         : QStringLiteral("End"));
        sendKey(edit, code, text);
        level ? mModel->levelKey(key, ch) : mModel->timerKey(key, ch);
    }
    mLastActions.back() += QStringLiteral(": ") + names.join(QLatin1Char(' '));
}

void ModelRun::timerKeys()
{
    log(QStringLiteral("keys into the timer"));
    numberKeys(mWindow.box(WindowDriver::TimerBox), false);
}

void ModelRun::levelKeys()
{
    log(QStringLiteral("keys into the level number"));
    numberKeys(mWindow.box(WindowDriver::NumberBox), true);
}

void ModelRun::timerPaste()
{
    static const char *const texts[] = {"",     "abc",  "-5",  "1300", "99999", " 12", "+5", "1203", "0",
                                        "1275", "1280", "12 ", "1e3",  "-0",    "+",   "1200", "7"};
    QString text = QString::fromUtf8(texts[below(std::size(texts))]);
    if (chance(10))
        text = QStringLiteral("\u0663");   // an Arabic-Indic digit: not a number to the runtime
    log(QStringLiteral("paste into the timer: \"%1\"").arg(text));
    mWindow.setField(WindowDriver::TimerBox, text);
    mModel->timer.set(text);
}

void ModelRun::levelPaste()
{
    static const char *const texts[] = {"", "abc", "0", "-1", "99", " 5", "+7", "007", "1 2", "33", "32", "17"};
    const QString text = QString::fromUtf8(texts[below(std::size(texts))]);
    log(QStringLiteral("paste into the level number: \"%1\"").arg(text));
    mWindow.setField(WindowDriver::NumberBox, text);
    mModel->level.set(text);
}

void ModelRun::timerArrow()
{
    const bool up = chance(50);
    log(up ? QStringLiteral("timer >") : QStringLiteral("timer <"));
    mWindow.clickButton(up ? "Button7" : "Button6");
    mModel->timerArrow(up ? 1 : -1);
}

void ModelRun::mouseMove()
{
    const int target = below(3);
    QWidget *w = target == 0 ? mWindow.box(WindowDriver::NumberBox)
               : target == 1 ? mWindow.box(WindowDriver::TimerBox)
                             : mWindow.panel();
    log(QStringLiteral("mouse move over %1").arg(w->objectName()));
    const QPoint at(3, 3);   // on the panel: its own surface, no control there
    QMouseEvent move(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
    if (target == 0)
        mModel->levelMouseMove();
    else if (target == 1)
        mModel->timerMouseMove();
    else
        mModel->panelMouseMove();
}

void ModelRun::reload()
{
    log(QStringLiteral("Reload level"));
    mWindow.reload();
    mModel->reload();
}

void ModelRun::stepLevel()
{
    const bool next = chance(50);
    log(next ? QStringLiteral("level >") : QStringLiteral("level <"));
    mWindow.clickButton(next ? "Button4" : "Button3");
    mModel->stepLevel(next ? 1 : -1);
}

void ModelRun::save()
{
    const bool keys = chance(25);
    log(keys ? QStringLiteral("Save level by Ctrl+S") : QStringLiteral("Save level"));
    if (keys)
        QTest::keyClick(mWindow.form.get(), Qt::Key_S, Qt::ControlModifier);
    else
        mWindow.save();
    mModel->save();
    if (mModel->errors.empty() && mModel->buttonsEnabled)
        ++mCounts[QStringLiteral("(saves that wrote)")];
}

void ModelRun::undo()
{
    log(QStringLiteral("undo (Ctrl+Z)"));
    if (qobject_cast<QLineEdit *>(mWindow.form->focusWidget()))
        note(QStringLiteral("a text edit has the focus: the undo keys would act on it"));
    QTest::keyClick(mWindow.form.get(), Qt::Key_Z, Qt::ControlModifier);
    mModel->undo();
}

void ModelRun::redo()
{
    const bool y = chance(50);
    log(y ? QStringLiteral("redo (Ctrl+Y)") : QStringLiteral("redo (Ctrl+Shift+Z)"));
    if (qobject_cast<QLineEdit *>(mWindow.form->focusWidget()))
        note(QStringLiteral("a text edit has the focus: the redo keys would act on it"));
    if (y)
        QTest::keyClick(mWindow.form.get(), Qt::Key_Y, Qt::ControlModifier);
    else
        QTest::keyClick(mWindow.form.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    mModel->redo();
}
