#include "plain_window.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextEdit>
#include <QToolButton>

#include <functional>
#include <map>

namespace bench {

namespace {

// The Qt class a control of the program is built on: "TBitBtn" gives
// "QPushButton", "TwwDBEdit" gives "QPlainTextEdit".
QByteArray qtClassOf(const QWidget *widget)
{
    for (const QMetaObject *meta = widget->metaObject(); meta; meta = meta->superClass())
        if (QByteArray(meta->className()).startsWith('Q'))
            return meta->className();
    return "QWidget";
}

bool isQtPart(const QWidget *widget)
{
    return widget->objectName().startsWith(QLatin1String("qt_"));
}

// Whether a plain control would make `widget` itself: Qt's own named parts
// and all inside them (but for the pages of a tab control and the contents
// of a scroll box), and anything inside a button, a combo box, a spin box or
// a scrolled view other than a scroll box.
bool madeByItsOwner(const QWidget *widget)
{
    if (isQtPart(widget))
        return true;
    for (const QWidget *up = widget->parentWidget(); up && !up->isWindow();
         up = up->parentWidget()) {
        if (isQtPart(up) && up->objectName() != QLatin1String("qt_scrollarea_viewport") &&
            up->objectName() != QLatin1String("qt_tabwidget_stackedwidget"))
            return true;
        if (qobject_cast<const QAbstractButton *>(up) || qobject_cast<const QComboBox *>(up) ||
            qobject_cast<const QAbstractSpinBox *>(up))
            return true;
        if (qobject_cast<const QAbstractScrollArea *>(up) && !qobject_cast<const QScrollArea *>(up))
            return true;
    }
    return false;
}

QString textOf(const QWidget *widget)
{
    if (auto *button = qobject_cast<const QAbstractButton *>(widget))
        return button->text();
    if (auto *label = qobject_cast<const QLabel *>(widget))
        return label->text();
    if (auto *edit = qobject_cast<const QPlainTextEdit *>(widget))
        return edit->toPlainText();
    if (auto *edit = qobject_cast<const QLineEdit *>(widget))
        return edit->text();
    if (auto *box = qobject_cast<const QComboBox *>(widget))
        return box->currentText();
    if (auto *edit = qobject_cast<const QTextEdit *>(widget))
        return edit->toHtml();
    if (auto *tabs = qobject_cast<const QTabWidget *>(widget)) {
        QStringList captions;
        for (int i = 0; i < tabs->count(); ++i)
            captions << tabs->tabText(i);
        return captions.join(QLatin1Char('\n'));
    }
    return {};
}

QWidget *makePlain(const QByteArray &qtClass, const QJsonObject &control)
{
    const QString text = control[QLatin1String("text")].toString();
    if (qtClass == "QPushButton")
        return new QPushButton(text);
    if (qtClass == "QToolButton") {
        auto *button = new QToolButton;
        button->setText(text);
        return button;
    }
    if (qtClass == "QLabel")
        return new QLabel(text);
    if (qtClass == "QPlainTextEdit") {
        auto *edit = new QPlainTextEdit;
        edit->setPlainText(text);
        return edit;
    }
    if (qtClass == "QLineEdit")
        return new QLineEdit(text);
    if (qtClass == "QComboBox") {
        auto *box = new QComboBox;
        box->addItem(text);
        return box;
    }
    if (qtClass == "QTextEdit") {
        auto *edit = new QTextEdit;
        edit->setHtml(text);
        return edit;
    }
    if (qtClass == "QDateTimeEdit")
        return new QDateTimeEdit(QDateTime::currentDateTime());
    if (qtClass == "QTableWidget" || qtClass == "QTableView")
        return new QTableWidget;
    if (qtClass == "QTabWidget")
        return new QTabWidget;
    // Panels, scroll boxes, splitters and plain containers: a widget that
    // holds its children where they were.
    return new QWidget;
}

} // namespace

bool writeOutline(QWidget *window, const QString &path)
{
    QHash<const QWidget *, int> ids{{window, 0}};
    QJsonArray controls;
    std::function<void(const QWidget *)> walk = [&](const QWidget *parent) {
        for (QObject *child : parent->children()) {
            auto *widget = qobject_cast<QWidget *>(child);
            if (!widget || widget->isWindow())
                continue;
            if (!madeByItsOwner(widget)) {
                const QWidget *holder = widget->parentWidget();
                while (!ids.contains(holder))
                    holder = holder->parentWidget();
                const int id = int(ids.size());
                ids.insert(widget, id);
                const QPoint at = widget->mapTo(holder, QPoint(0, 0));
                QJsonObject control{
                    {"id", id},
                    {"holder", ids.value(holder)},
                    {"class", QString::fromLatin1(qtClassOf(widget))},
                    {"x", at.x()},
                    {"y", at.y()},
                    {"width", widget->width()},
                    {"height", widget->height()},
                    {"hidden", widget->isHidden()},
                    {"pointSize", widget->font().pointSizeF()},
                    {"bold", widget->font().bold()},
                    {"text", textOf(widget)},
                };
                if (auto *tabs = qobject_cast<const QTabWidget *>(widget))
                    control.insert("current", tabs->currentIndex());
                if (auto *tabs = qobject_cast<const QTabWidget *>(holder))
                    control.insert("page", tabs->indexOf(widget));
                controls.append(control);
            }
            walk(widget);
        }
    };
    walk(window);
    QFile file(path);
    return file.open(QIODevice::WriteOnly) &&
           file.write(QJsonDocument(controls).toJson(QJsonDocument::Compact)) > 0;
}

QWidget *plainWindow(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    const QJsonArray controls = QJsonDocument::fromJson(file.readAll()).array();
    if (controls.isEmpty())
        return nullptr;

    auto *window = new QWidget;
    QHash<int, QWidget *> made{{0, window}};
    // Pages are added to their tab control in tab order once all are made.
    std::map<QTabWidget *, std::map<int, QWidget *>> pages;
    std::map<QTabWidget *, int> current;
    const double applicationSize = QApplication::font().pointSizeF();
    for (const QJsonValue &value : controls) {
        const QJsonObject control = value.toObject();
        QWidget *holder = made.value(control[QLatin1String("holder")].toInt(), window);
        QWidget *widget = makePlain(control[QLatin1String("class")].toString().toLatin1(), control);
        if (auto *tabs = qobject_cast<QTabWidget *>(holder)) {
            pages[tabs][control[QLatin1String("page")].toInt()] = widget;
        } else {
            widget->setParent(holder);
            widget->setGeometry(
                control[QLatin1String("x")].toInt(), control[QLatin1String("y")].toInt(),
                control[QLatin1String("width")].toInt(), control[QLatin1String("height")].toInt());
        }
        if (auto *tabs = qobject_cast<QTabWidget *>(widget)) {
            tabs->setProperty("captions", control[QLatin1String("text")].toString());
            current[tabs] = control[QLatin1String("current")].toInt();
        }
        const double pointSize = control[QLatin1String("pointSize")].toDouble();
        const bool bold = control[QLatin1String("bold")].toBool();
        if (pointSize != applicationSize || bold) {
            QFont font = widget->font();
            font.setPointSizeF(pointSize);
            font.setBold(bold);
            widget->setFont(font);
        }
        if (control[QLatin1String("hidden")].toBool())
            widget->hide();
        made.insert(control[QLatin1String("id")].toInt(), widget);
    }
    for (auto &[tabs, byIndex] : pages) {
        const QStringList captions = tabs->property("captions").toString().split(QLatin1Char('\n'));
        for (auto &[index, page] : byIndex)
            tabs->addTab(page, captions.value(index));
        tabs->setCurrentIndex(current[tabs]);
    }
    return window;
}

} // namespace bench
