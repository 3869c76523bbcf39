// A client's constitution tests at a glance, on the client page of the
// database edition: one row per test, newest first, with the nine scores
// and verdicts; a row opened (double-click or Enter) shows that test on its
// page.
#pragma once

#include <QObject>
#include <QString>

class QSqlDatabase;
class QStandardItemModel;
class QWidget;
class TwwDBGrid;

namespace tizhi {

class TestHistory : public QObject {
    Q_OBJECT

public:
    // Placed below the fields of `content`, the client page's data area.
    TestHistory(QWidget *content, const QSqlDatabase &db);

    // Shows the tests of the client with identity number `identNo`.
    void showClient(const QString &identNo);
    TwwDBGrid *grid() const { return grid_; }

signals:
    // A row was opened: the test numbered `id` of form `form` ("33", "66").
    void opened(qint64 id, const QString &form);

private:
    QString connectionName_;
    TwwDBGrid *grid_;
    QStandardItemModel *model_;
};

} // namespace tizhi
