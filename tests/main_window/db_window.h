// The main window in the database edition, as the tests drive it: a window
// made on a chosen database, its commands triggered and fields typed into by
// name, and message boxes answered as they come.
#pragma once

#include "control_access.h"
#include "control_kinds.h"
#include "database.h"
#include "database_edition.h"
#include "edition.h"
#include "modal.h"
#include "uniMedDiaClientInfoEdit.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPointer>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>

#include <deque>

namespace tizhi::test {

// Answers each message box as it is shown, with the button captioned as
// the next answer says ("" closes it), and keeps every text it saw.
class MessageAnswerer : public QObject {
public:
    explicit MessageAnswerer(std::deque<QString> answers = {}) : answers_(std::move(answers))
    {
        qApp->installEventFilter(this);
    }

    QStringList seen;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *box = qobject_cast<QMessageBox *>(watched);
        if (event->type() != QEvent::Show || !box)
            return false;
        seen << box->text();
        const QString answer = answers_.empty() ? QString() : answers_.front();
        if (!answers_.empty())
            answers_.pop_front();
        QTimer::singleShot(0, box, [box, answer] {
            for (QAbstractButton *button : box->buttons()) {
                if (!answer.isEmpty() && box->buttonRole(button) != QMessageBox::InvalidRole &&
                    (button->text() == answer ||
                     (answer == u"Yes" && box->standardButton(button) == QMessageBox::Yes))) {
                    button->click();
                    return;
                }
            }
            box->close();
        });
        return false;
    }

private:
    std::deque<QString> answers_;
};

struct Client {
    const char *identType; // the name shown in the look-up box
    const char *identNo;
    const char *sex;
    const char *name;
    const char *cardNo;
};

struct DbWindow : ControlFinder {
    QPointer<TfrmMedDiaClientInfoEdit> window;

    explicit DbWindow(const std::optional<DatabaseSettings> &settings)
    {
        chooseEdition(settings);
        window = new TfrmMedDiaClientInfoEdit;
        root = window;
        chooseEdition(std::nullopt);
        showActive(window);
    }
    ~DbWindow() { delete window.data(); }

    DatabaseEdition *edition() const { return window->databaseEdition(); }

    void command(const char *name)
    {
        auto *action = window->findChild<QAction *>(QLatin1String(name));
        QVERIFY2(action, name);
        action->trigger();
    }

    void type(const char *field, const QString &text)
    {
        auto *edit = find<TwwDBEdit>(QLatin1String(field));
        QVERIFY2(edit, field);
        edit->setFocus();
        edit->selectAll();
        enter(edit, Entry::InputMethod, text);
    }

    void pick(const char *lookupName, const QString &shown)
    {
        auto *lookup = find<TwwDBLookupCombo>(QLatin1String(lookupName));
        QVERIFY2(lookup, lookupName);
        QVERIFY2(lookup->isEnabled(), lookupName);
        const int index = lookup->findText(shown);
        QVERIFY2(index >= 0, qPrintable(shown));
        lookup->setCurrentIndex(index);
    }

    void fill(const Client &c)
    {
        if (*c.identType)
            pick("edtIdentType", QString::fromUtf8(c.identType));
        type("edtIdentNo", QString::fromUtf8(c.identNo));
        if (*c.sex)
            pick("edtSex", QString::fromUtf8(c.sex));
        type("edtName", QString::fromUtf8(c.name));
        type("edtCardNo", QString::fromUtf8(c.cardNo));
    }

    int listed() const { return find<TwwDBGrid>(QStringLiteral("grdCBIMaster"))->rowCount(); }
};

inline const Client kZhang{"居民身份证", "11010519491231002X", "男性", "张三", "K-001"};
inline const Client kLi{"护照", "E1234567", "女性", "李四", "K-002"};

inline QVariant stored(const Database &db, const QString &sql)
{
    QSqlQuery query(db.connection());
    if (!query.exec(sql) || !query.next())
        return {};
    return query.value(0);
}

} // namespace tizhi::test
