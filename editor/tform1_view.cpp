// The window follows its document: the map cells and the map store, the
// boxes, the number box, the selection's outline, the commands and the title.
#include "tform1.h"

#include <QAction>
#include <QLineEdit>
#include <QTableWidget>

#include "editormenus.h"
#include "editorsession.h"
#include "hexcode.h"
#include "leveldocument.h"
#include "mapview.h"

void TForm1::followDocument()
{
    connect(mDocument, &LevelDocument::cellsChanged, this, &TForm1::showCells);
    connect(mDocument, &LevelDocument::fieldsChanged, this, &TForm1::showFields);
    connect(mDocument, &LevelDocument::loaded, this, &TForm1::showLoadedLevel);
    connect(mDocument, &LevelDocument::selectionChanged, this,
            [this] { mMap->setSelection(mDocument->selection()); });
    // Every command's enabled state follows every change of state.
    for (const auto signal : {&LevelDocument::imageChanged, &LevelDocument::edited, &LevelDocument::selectionChanged,
                              &LevelDocument::imageHistoryChanged})
        connect(mDocument, signal, mMenus, &EditorMenus::refresh);
    connect(mSession, &EditorSession::historyChanged, mMenus, &EditorMenus::refresh);
    connect(mDocument, &LevelDocument::edited, this, &TForm1::refreshTitle);
}

// A cell shows the picture of its code; a cell no load has set shows tile 0
// and stores no text.
void TForm1::showCells(const QList<int> &cells)
{
    for (int n : cells) {
        const int code = mDocument->cell(n);
        mMap->setShown(n, code == LevelDocument::Blank ? 0 : code);
        setStoreText(n, QString::fromStdString(mDocument->cellText(n)));
    }
}

// Each box is set, as a load sets it, whether its text differs or not.
void TForm1::showFields()
{
    const std::pair<QLineEdit *, LevelText> boxes[] = {
        {Edit5, LevelText::Timer}, {Edit2, LevelText::Name}, {Edit3, LevelText::Author}, {Edit4, LevelText::Hint}};
    for (const auto &[box, which] : boxes)
        box->setText(QString::fromStdString(mDocument->text(which)));
}

// The number box names the level shown.
void TForm1::showLoadedLevel()
{
    std::int32_t shown = 0;
    if (!wmb::tryStrToInt(Edit1->text().toStdString(), shown) || shown != mDocument->loadedLevel())
        Edit1->setText(QString::number(mDocument->loadedLevel()));
    mMenus->refresh();
}

void TForm1::setStoreText(int n, const QString &text)
{
    if (QTableWidgetItem *item = StringGrid1->item(0, n - 1))
        item->setText(text);
    else
        StringGrid1->setItem(0, n - 1, new QTableWidgetItem(text));
}
