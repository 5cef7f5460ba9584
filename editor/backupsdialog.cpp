#include "backupsdialog.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "backups.h"
#include "wholefile.h"

QString backupTime(std::int64_t timeMs)
{
    return QDateTime::fromMSecsSinceEpoch(timeMs).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QList<BackupRow> backupRows(const std::vector<wmb::StoredBackup> &backups, const std::string &image)
{
    QList<BackupRow> rows;
    for (const wmb::StoredBackup &b : backups) {
        BackupRow row{backupTime(b.timeMs), b.size, {}};
        try {
            const wmb::WholeImageDifference d = wmb::compareWholeImages(image, wmb::readWholeFile(b.file));
            row.levels = QString::fromStdString(wmb::describeLevels(d.levels));
            if (d.otherBytes)
                row.levels += QStringLiteral("; other bytes differ");
        } catch (const std::exception &e) {
            row.levels = QStringLiteral("cannot be read: ") + QString::fromUtf8(e.what());
        }
        rows << row;
    }
    return rows;
}

BackupsDialog::BackupsDialog(QWidget *parent, const QString &imageName, const QList<BackupRow> &rows)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("BackupsDialog"));
    setWindowTitle(QStringLiteral("Backups of %1").arg(imageName));
    auto *layout = new QVBoxLayout(this);
    mList = new QTreeWidget(this);
    mList->setObjectName(QStringLiteral("BackupList"));
    mList->setRootIsDecorated(false);
    mList->setHeaderLabels({QStringLiteral("Made"), QStringLiteral("Size"), QStringLiteral("Levels that differ")});
    for (const BackupRow &row : rows) {
        auto *item = new QTreeWidgetItem(mList, {row.time, QString::number(row.size), row.levels});
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    }
    mList->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    if (!rows.isEmpty())
        mList->setCurrentItem(mList->topLevelItem(0));
    layout->addWidget(rows.isEmpty() ? static_cast<QWidget *>(new QLabel(QStringLiteral("No backups of %1 are kept yet.").arg(imageName), this))
                                     : mList);
    mList->setVisible(!rows.isEmpty());
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton *compare = buttons->addButton(QStringLiteral("&Compare"), QDialogButtonBox::ActionRole);
    QPushButton *restore = buttons->addButton(QStringLiteral("&Restore the whole image"), QDialogButtonBox::ActionRole);
    compare->setEnabled(!rows.isEmpty());
    restore->setEnabled(!rows.isEmpty());
    connect(compare, &QPushButton::clicked, this, [this] { choose(BackupAction::Compare); });
    connect(restore, &QPushButton::clicked, this, [this] { choose(BackupAction::Restore); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(mList, &QTreeWidget::itemDoubleClicked, this, [this] { choose(BackupAction::Compare); });
    layout->addWidget(buttons);
    resize(560, 320);
}

void BackupsDialog::choose(BackupAction action)
{
    const int row = mList->indexOfTopLevelItem(mList->currentItem());
    if (row < 0)
        return;
    mChoice = BackupChoice{row, action};
    accept();
}
