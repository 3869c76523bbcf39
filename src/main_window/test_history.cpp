#include "test_history.h"

#include "catalogue.h"
#include "control_kinds.h"
#include "test_records.h"
#include "uniChineseMedicinePublic.h"

#include <QBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardItemModel>

namespace tizhi {

namespace {

// Role of the first column's item: the test's number and form.
constexpr int kIdRole = Qt::UserRole + 1;
constexpr int kFormRole = Qt::UserRole + 2;

QString typeWord(const ConstitutionType &type)
{
    return fromCatalogue(type.displayName).left(2); // "阳虚"
}

} // namespace

TestHistory::TestHistory(QWidget *content, const QSqlDatabase &db)
    : QObject(content), connectionName_(db.connectionName()), grid_(new TwwDBGrid(content)),
      model_(new QStandardItemModel(this))
{
    grid_->setObjectName(QStringLiteral("grdCBITests"));
    QStringList titles{QStringLiteral("测试时间"), QStringLiteral("测试")};
    // PingHe first, as the summaries name the types.
    for (const int code : kSummaryOrder)
        titles << typeWord(kTypes[std::size_t(code - 1)]);
    model_->setHorizontalHeaderLabels(titles);
    grid_->setModel(model_);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->verticalHeader()->hide();
    grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    grid_->setToolTip(QStringLiteral("双击或按回车键，在测试页上打开这次测试"));
    grid_->setMinimumHeight(grid_->fontMetrics().height() * 7);
    if (auto *column = qobject_cast<QBoxLayout *>(content->layout())) {
        auto *caption = new TLabel(content);
        caption->setText(QStringLiteral("体质测试记录"));
        caption->setBuddy(grid_);
        // In place of the stretch below the fields.
        column->insertWidget(column->count() - 1, caption);
        column->insertWidget(column->count() - 1, grid_, 1);
        column->setStretch(column->count() - 1, 0);
    }
    const auto open = [this](const QModelIndex &index) {
        const QStandardItem *first = model_->item(index.row(), 0);
        if (first)
            emit opened(first->data(kIdRole).toLongLong(), first->data(kFormRole).toString());
    };
    connect(grid_, &QAbstractItemView::doubleClicked, this, open);
    connect(grid_, &QAbstractItemView::activated, this, open);
}

// Each cell joins a type's score and verdict, which a QSqlQueryModel would
// show as two columns each: the rows are read once into an item model.
void TestHistory::showClient(const QString &identNo)
{
    model_->removeRows(0, model_->rowCount());
    if (identNo.isEmpty())
        return;
    QStringList columns{QStringLiteral("ID"), QLatin1String(kTestTypeColumn),
                        QLatin1String(kTestTimeColumn)};
    for (const int code : kSummaryOrder) {
        const ConstitutionType &type = kTypes[std::size_t(code - 1)];
        const QString upper =
            QString::fromLatin1(type.upperPinyin.data(), qsizetype(type.upperPinyin.size()));
        columns << QStringLiteral("N_%1_CON").arg(upper)
                << QStringLiteral("V_%1_RESULT").arg(upper);
    }
    QSqlQuery query(QSqlDatabase::database(connectionName_, false));
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT %1 FROM %2 WHERE V_IDENT_NO = ? ORDER BY %3 DESC, ID DESC")
                      .arg(columns.join(u','), QLatin1String(testKind().table),
                           QLatin1String(kTestTimeColumn)));
    query.addBindValue(identNo);
    if (!query.exec())
        return;
    while (query.next()) {
        QList<QStandardItem *> row;
        auto *when = new QStandardItem(
            query.value(2).toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")));
        when->setData(query.value(0).toLongLong(), kIdRole);
        when->setData(query.value(1).toString(), kFormRole);
        row << when << new QStandardItem(query.value(1).toString() + QStringLiteral("项"));
        for (int i = 0; i < kTypeCount; ++i)
            row << new QStandardItem(query.value(3 + 2 * i).toString() + u' ' +
                                     query.value(4 + 2 * i).toString());
        model_->appendRow(row);
    }
}

} // namespace tizhi
