// Whole levels from the overview: each request is the session's, with its
// questions asked over the overview, so that the focus goes back there.
#include "tform1.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>

#include "editorsession.h"
#include "leveloverview.h"

void TForm1::connectOverviewLevels()
{
    const auto inOverview = [this](std::function<void()> body) {
        guarded([&] {
            EditorSession::Acting acting(*mSession, mOverview);
            body();
        });
    };
    connect(mOverview, &LevelOverview::openRequested, this, [=, this](int n) { inOverview([&] { openLevel(n); }); });
    connect(mOverview, &LevelOverview::copyRequested, this,
            [=, this](int n) { inOverview([&] { mSession->copyLevel(n); }); });
    connect(mOverview, &LevelOverview::pasteRequested, this, [=, this](int n) {
        inOverview([&] {
            const QMimeData *data = QGuiApplication::clipboard()->mimeData();
            QByteArray bytes = data ? data->data(QStringLiteral("text/plain")) : QByteArray();
            if (bytes.isEmpty())
                bytes = QGuiApplication::clipboard()->text().toUtf8();
            mSession->pasteLevelOver(n, bytes);
        });
    });
    connect(mOverview, &LevelOverview::swapRequested, this,
            [=, this](int n, int with) { inOverview([&] { mSession->swapLevels(n, with); }); });
    connect(mOverview, &LevelOverview::moveRequested, this,
            [=, this](int from, int to) { inOverview([&] { mSession->moveLevel(from, to); }); });
    connect(mOverview, &LevelOverview::contextMenuFilling, this, &TForm1::fillOverviewMenu);
}

bool TForm1::overviewHasFocus() const { return mOverview && mOverview->isActiveWindow(); }
