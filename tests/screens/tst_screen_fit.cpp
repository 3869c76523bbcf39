// The windows on a clinic's small screens: the main window opened maximised
// as the program opens it, the questionnaire of every type and the BMI
// calculator opened over it. No window is larger than the screen, and every
// control that a form is answered or read with is reachable without
// sideways scrolling.
//
// The screen and the font sizes are the run's (see CMakeLists.txt), named
// in TIZHI_SCREEN ("1024x768") and TIZHI_FONT_SIZE ("14"); the test fails
// when it runs on another screen or with other settings. On an X server,
// for example: TIZHI_SCREEN=1280x800 TIZHI_FONT_SIZE=14 QT_QPA_PLATFORM=xcb
// xvfb-run -a -s "-screen 0 1280x800x24" ./tst_screen_1280x800_14pt
#include "test_registry.h"

#include "modal.h"

#include "application_setup.h"
#include "control_kinds.h"
#include "uniCalcBMI.h"
#include "uniChineseMedicinePublic.h"
#include "uniMedDiaClientChiModHabFieldEdit.h"
#include "uniMedDiaClientInfoEdit.h"

#include <QPointer>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTranslator>

using namespace tizhi;
using namespace tizhi::test;

namespace {

const QStringList kTypeNames = {"YangXu", "YinXu", "QiXu",   "TanShi", "ShiRe",
                                "XueYu",  "QiYu",  "TeBing", "PingHe"};

// The names `pattern` gives with each of the nine types' pinyin.
QStringList perType(const char *pattern)
{
    QStringList names;
    for (const QString &type : kTypeNames)
        names << QString::fromLatin1(pattern).arg(type);
    return names;
}

QRect globalRect(const QWidget *widget)
{
    return {widget->mapToGlobal(QPoint(0, 0)), widget->size()};
}

QRect screenRoom(const QWidget *window)
{
    return window->screen()->availableGeometry();
}

// A page's data area has no name of its own.
QString areaName(const QScrollArea *area)
{
    return area->objectName().isEmpty() ? QStringLiteral("the page's data area")
                                        : area->objectName();
}

// Scrolls every scroll area around `control` to it, innermost first, and
// says what keeps the control from being seen whole: a scroll area that
// would have to be scrolled sideways, or the control lying outside a
// scroll area's visible part, its window or the screen. Empty when nothing.
QString unreachable(QWidget *control)
{
    const QString name = control->objectName();
    if (!control->isVisible())
        return name + " is hidden";
    QList<QScrollArea *> areas;
    for (QWidget *w = control->parentWidget(); w; w = w->parentWidget())
        if (auto *area = qobject_cast<QScrollArea *>(w))
            areas << area;
    for (QScrollArea *area : areas) {
        if (area->horizontalScrollBar()->maximum() > 0)
            return QStringLiteral("%1: %2 scrolls sideways by %3 px")
                .arg(name, areaName(area))
                .arg(area->horizontalScrollBar()->maximum());
        // The whole control, not only a line edit's cursor, which is all
        // that ensureWidgetVisible() shows of one.
        const QRect inArea(control->mapTo(area->widget(), QPoint(0, 0)), control->size());
        area->ensureVisible(inArea.center().x(), inArea.center().y(), inArea.width() / 2 + 1,
                            inArea.height() / 2 + 1);
    }
    const QRect rect = globalRect(control);
    auto where = [&rect](const QRect &room) {
        return QStringLiteral(" (%1,%2 %3x%4 in %5,%6 %7x%8)")
            .arg(rect.x())
            .arg(rect.y())
            .arg(rect.width())
            .arg(rect.height())
            .arg(room.x())
            .arg(room.y())
            .arg(room.width())
            .arg(room.height());
    };
    for (QScrollArea *area : areas)
        if (!globalRect(area->viewport()).contains(rect))
            return name + " lies outside the visible part of " + areaName(area) +
                   where(globalRect(area->viewport()));
    if (!globalRect(control->window()).contains(rect))
        return name + " lies outside its window" + where(globalRect(control->window()));
    if (!screenRoom(control).contains(rect))
        return name + " lies off the screen" + where(screenRoom(control));
    return {};
}

// The first of `names` under `root` that is missing or cannot be reached,
// and why; empty when every one can.
QString firstUnreachable(const QWidget *root, const QStringList &names)
{
    for (const QString &name : names) {
        auto *control = root->findChild<QWidget *>(name);
        if (!control)
            return "no control " + name;
        if (QString problem = unreachable(control); !problem.isEmpty())
            return problem;
    }
    return {};
}

} // namespace

class TestScreenFit : public QObject {
    Q_OBJECT

private slots:
    // The program's own start: its style and font, and the main window
    // maximised on the screen.
    void initTestCase()
    {
        setUpApplication(translation_);
        const QStringList screen = qEnvironmentVariable("TIZHI_SCREEN").split('x');
        QVERIFY2(screen.size() == 2, "TIZHI_SCREEN names no screen size such as 1024x768");
        const QSize expected(screen[0].toInt(), screen[1].toInt());
        QCOMPARE(QGuiApplication::primaryScreen()->size(), expected);

        window_ = new TfrmMedDiaClientInfoEdit;
        window_->setGeometry(window_->screen()->availableGeometry());
        window_->showMaximized();
        QVERIFY(showActive(window_));
        bool sizeGiven = false;
        const int fontSize = qEnvironmentVariableIntValue("TIZHI_FONT_SIZE", &sizeGiven);
        QVERIFY2(sizeGiven, "TIZHI_FONT_SIZE names no font size");
        for (Slot slot : {Slot::ScrollBox, Slot::Button, Slot::Panel, Slot::Label, Slot::Grid,
                          Slot::Edit, Slot::DBEdit, Slot::DBRichEdit, Slot::CheckBox})
            QCOMPARE(InterfaceRecord->font(slot)->Size, fontSize);
    }

    void cleanupTestCase() { delete window_.data(); }

    void mainWindowFitsTheScreen()
    {
        QVERIFY(screenRoom(window_).contains(window_->frameGeometry()));
    }

    // What a form is answered and read with, page by page.
    void formsReachable_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QStringList>("controls");
        QStringList questions, answers, buttons;
        for (int n = 1; n <= 33; ++n) {
            questions << QStringLiteral("lblPrompt%1").arg(n, 2, 10, QChar('0'));
            answers << QStringLiteral("edtOriginal%1").arg(n, 2, 10, QChar('0'));
            for (int value = 1; value <= 5; ++value)
                buttons << QStringLiteral("btn_%1_%2").arg(n, 2, 10, QChar('0')).arg(value);
        }
        QTest::newRow("page 1: the 33 questions") << 1 << questions;
        QTest::newRow("page 1: the 33 answer boxes") << 1 << answers;
        QTest::newRow("page 1: the 165 number buttons") << 1 << buttons;
        QTest::newRow("page 1: the nine scores") << 1 << perType("edtCMH33%1Con");
        QTest::newRow("page 1: the nine verdicts") << 1 << perType("edtCMH33%1Result");
        QTest::newRow("page 1: reset, identification and scheme buttons")
            << 1 << QStringList{"lblTitleOriginal", "lblCMH33HabResult", "btnCMH33ConSch"};
        QTest::newRow("page 2: the nine type fields") << 2 << perType("edtCMH%1Field");
        QTest::newRow("page 2: the nine >>> buttons") << 2 << perType("btnCMH%1Field");
        QTest::newRow("page 2: the raw scores") << 2 << perType("edtCMH%1Org");
        QTest::newRow("page 2: the transformed scores") << 2 << perType("edtCMH%1Con");
        QTest::newRow("page 2: the verdicts") << 2 << perType("edtCMH%1Result");
        QTest::newRow("page 2: the summaries and the scheme button")
            << 2 << QStringList{"edtCMHConTotal", "edtCMHResultTotal", "btnCMHConvalesceScheme"};
    }

    void formsReachable()
    {
        QFETCH(int, page);
        QFETCH(QStringList, controls);
        window_->pgcClient->setCurrentIndex(page);
        QApplication::processEvents();
        const QString problem = firstUnreachable(window_, controls);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    // Each type's questionnaire as the 66-item page opens it: within the
    // screen, its questions, answers and both buttons in view or scrolled
    // to without scrolling sideways. ShiRe's questions are the longest.
    void questionnaireFits_data()
    {
        QTest::addColumn<int>("code");
        for (int code = 1; code <= 9; ++code)
            QTest::addRow("%s", qPrintable(kTypeNames[code - 1])) << code;
    }

    void questionnaireFits()
    {
        QFETCH(int, code);
        TfrmMedDiaClientChiModHabFieldEdit questionnaire(window_);
        questionnaire.PrepareForType(TfrmMedDiaClientChiModHabFieldEdit::kAnswering, code, "");
        QVERIFY(showActive(&questionnaire));
        QVERIFY(screenRoom(&questionnaire).contains(questionnaire.frameGeometry()));
        QStringList controls = {"btnConfirm", "btnCancel", "lblTitleTop"};
        for (const auto &row : questionnaire.rows()) {
            if (row.answer->isHidden())
                continue;
            controls << row.prompt->objectName() << row.answer->objectName();
            for (TBitBtn *button : row.buttons)
                controls << button->objectName();
        }
        const QString problem = firstUnreachable(&questionnaire, controls);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    void bmiCalculatorFits()
    {
        TfrmCalcBMI calculator(window_);
        QVERIFY(showActive(&calculator));
        QVERIFY(screenRoom(&calculator).contains(calculator.frameGeometry()));
        const QString problem =
            firstUnreachable(&calculator, {"lblWeight", "edtWeight", "lblHeight", "edtHeight",
                                           "lblBMI", "edtBMI", "btnConfirm", "btnCancel"});
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

private:
    QTranslator translation_;
    QPointer<TfrmMedDiaClientInfoEdit> window_;
};

TIZHI_REGISTER_TEST(TestScreenFit);

#include "tst_screen_fit.moc"
