// The full-screen viewer on real windows: what it shows, Find and Find
// Continue, Quit, and that its temporary file never outlives an opening.
#include "test_registry.h"

#include "default_settings.h"
#include "modal.h"

#include "control_kinds.h"
#include "uniChineseMedicinePublic.h"
#include "uniRichTextProcessFullScreen.h"
#include "viewer_temp_file.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QVBoxLayout>

using namespace tizhi;
using namespace tizhi::test;

namespace {

// A main-window stand-in holding one rich text box, as the real windows do.
struct Source {
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    TwwDBRichEdit *box = new TwwDBRichEdit(window.get());

    explicit Source(const QString &text = QStringLiteral("中医体质辨识"))
    {
        window->setObjectName("frmMedDiaClientInfoEdit");
        box->setObjectName("memAdvertising1");
        (new QVBoxLayout(window.get()))->addWidget(box);
        box->setPlainText(text);
        window->show();
    }
};

QStringList leftoverFiles()
{
    QStringList found;
    for (const QString &folder : {QCoreApplication::applicationDirPath(), QDir::tempPath()})
        for (const QString &name : QDir(folder).entryList({"tmp_*_temp.rtf"}, QDir::Files))
            found << QDir(folder).filePath(name);
    return found;
}

auto *viewerBox(QWidget *viewer)
{
    return viewer->findChild<TRichEdit *>("reFullScreen");
}

// Answers the next input box with `text`, or cancels it when `cancel`.
void answerInputBox(QWidget *viewer, const QString &text, bool cancel = false)
{
    whenModal(
        [text, cancel](QWidget *w) {
            auto *dialog = qobject_cast<QInputDialog *>(w);
            if (!dialog)
                return;
            if (cancel) {
                dialog->reject();
                return;
            }
            dialog->setTextValue(text);
            dialog->accept();
        },
        viewer);
}

// Selection as "start+length", "" when nothing is selected.
QString selection(QWidget *viewer)
{
    const QTextCursor c = viewerBox(viewer)->textCursor();
    if (!c.hasSelection())
        return QString();
    return QStringLiteral("%1+%2")
        .arg(c.selectionStart())
        .arg(c.selectionEnd() - c.selectionStart());
}

// Opens `source` in the viewer, runs `body` on the open viewer, then quits it.
void inViewer(Source &source, const std::function<void(QWidget *)> &body)
{
    bool ran = false;
    whenModal([&](QWidget *viewer) {
        ran = true;
        if (!QTest::qWaitForWindowActive(viewer)) {
            viewer->close();
            QFAIL("the viewer never became the active window");
        }
        body(viewer);
        if (viewer->isVisible())
            QTest::keyClick(viewer, Qt::Key_Delete, Qt::ControlModifier);
        if (viewer->isVisible()) { // Quit failed: close anyway, so the test goes on
            viewer->close();
            QFAIL("Ctrl+Del did not close the viewer");
        }
    });
    ShowRichTextFullScreen(source.box);
    ReleaseFullScreenViewer();
    QVERIFY(ran);
}

} // namespace

class TestViewer : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { useDefaultSettings(); }

    void cleanup() { QVERIFY2(leftoverFiles().isEmpty(), qPrintable(leftoverFiles().join(' '))); }

    void readOnlySourceOpensReadOnly()
    {
        Source source;
        source.box->setReadOnly(true);
        inViewer(source, [](QWidget *viewer) {
            QCOMPARE(viewer->windowTitle(), "文字处理 [ 广告 ]");
            QVERIFY(viewer->windowState() & Qt::WindowMaximized);
            QVERIFY(viewerBox(viewer)->isReadOnly());
            QCOMPARE(viewerBox(viewer)->property("Color").toUInt(), clInfoBk);
            QCOMPARE(viewerBox(viewer)->toPlainText(), "中医体质辨识");
            QCOMPARE(viewerBox(viewer)->textCursor().position(), 0);
            QVERIFY(!viewerBox(viewer)->textCursor().hasSelection());
        });
    }

    // The caption is set at each opening, not appended to: an opening that
    // finds a viewer left over from one before shows one suffix, not two.
    void captionIsSetNotAppended()
    {
        Source source;
        for (int opening = 0; opening < 2; ++opening) {
            bool ran = false;
            QString caption;
            whenModal([&](QWidget *viewer) {
                ran = true;
                caption = viewer->windowTitle();
                viewer->close();
            });
            ShowRichTextFullScreen(source.box); // no release between the two
            QVERIFY(ran);
            QCOMPARE(caption, "文字处理 [ 广告 ]");
        }
        ReleaseFullScreenViewer();
    }

    // The process-wide reference never outlives the viewer, whichever way
    // it is destroyed.
    void referenceClearedWhenTheViewerIsDestroyed_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("with its parent window") << "parent";
        QTest::newRow("deleted directly") << "delete";
        QTest::newRow("by the release routine") << "release";
    }

    void referenceClearedWhenTheViewerIsDestroyed()
    {
        QFETCH(QString, how);
        auto *parent = new QWidget;
        frmRichTextProcessFullScreen = new TfrmRichTextProcessFullScreen(parent);
        if (how == "parent")
            delete parent;
        else if (how == "delete")
            delete frmRichTextProcessFullScreen;
        else
            ReleaseFullScreenViewer();
        QVERIFY(frmRichTextProcessFullScreen == nullptr);
        if (how != "parent")
            delete parent;
    }

    void editableSourceOpensEditableAndGetsNothingBack()
    {
        Source source;
        source.box->setReadOnly(false);
        inViewer(source, [](QWidget *viewer) {
            QVERIFY(!viewerBox(viewer)->isReadOnly());
            QCOMPARE(viewerBox(viewer)->property("Color").toUInt(), clWindow);
            QTest::keyClicks(viewerBox(viewer), "typed");
            QVERIFY(viewerBox(viewer)->toPlainText().startsWith("typed"));
        });
        QCOMPARE(source.box->toPlainText(), "中医体质辨识");
        QVERIFY(frmRichTextProcessFullScreen == nullptr);
    }

    void everythingAtSixteenPointsWithFormattingKept()
    {
        Source source{QString()};
        QTextCursor c(source.box->document());
        QTextCharFormat red;
        red.setForeground(Qt::red);
        red.setFontWeight(QFont::Bold);
        red.setFontPointSize(9);
        c.insertText("红色 ", red);
        QTextCharFormat big;
        big.setFontPointSize(30);
        big.setFontItalic(true);
        c.insertText("large", big);
        c.insertBlock();
        c.insertText("second 段落");
        inViewer(source, [](QWidget *viewer) {
            QTextDocument *doc = viewerBox(viewer)->document();
            QCOMPARE(doc->blockCount(), 2);
            int fragments = 0;
            for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
                for (auto it = b.begin(); !it.atEnd(); ++it, ++fragments) {
                    const QTextCharFormat f = it.fragment().charFormat();
                    QCOMPARE(f.fontPointSize(), 16.0);
                    if (it.fragment().text().startsWith("红色")) {
                        QCOMPARE(f.foreground().color(), QColor(Qt::red));
                        QCOMPARE(f.fontWeight(), int(QFont::Bold));
                    }
                    if (it.fragment().text() == "large")
                        QVERIFY(f.fontItalic());
                }
            }
            QVERIFY(fragments >= 3);
        });
    }

    // Find and Find Continue: each press moves to the next match after the
    // current selection, every match once, silent past the last.
    void findVisitsEveryMatchInOrder_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("search");
        QTest::addColumn<QStringList>("selections"); // after Find, then after each F3
        QTest::newRow("Chinese, three times")
            << "中医体质辨识，体质很重要。体质"
            << "体质" << QStringList{"2+2", "7+2", "13+2", "13+2"};
        QTest::newRow("one Latin letter") << "banana"
                                          << "a" << QStringList{"1+1", "3+1", "5+1", "5+1"};
        QTest::newRow("overlapping matches go on from the end")
            << "aaaaa"
            << "aa" << QStringList{"0+2", "2+2", "2+2"};
        QTest::newRow("case must match") << "Tizhi tizhi TIZHI"
                                         << "tizhi" << QStringList{"6+5", "6+5"};
        QTest::newRow("mixed text") << "BMI 体重 kg，BMI"
                                    << "BMI" << QStringList{"0+3", "10+3", "10+3"};
        QTest::newRow("not found leaves nothing selected") << "中医体质"
                                                           << "辨识" << QStringList{"", ""};
    }

    void findVisitsEveryMatchInOrder()
    {
        QFETCH(QString, text);
        QFETCH(QString, search);
        QFETCH(QStringList, selections);
        Source source(text);
        source.box->setReadOnly(true);
        inViewer(source, [&](QWidget *viewer) {
            answerInputBox(viewer, search);
            QTest::keyClick(viewer, Qt::Key_F, Qt::ControlModifier);
            QVERIFY(QTest::qWaitForWindowActive(viewer));
            QCOMPARE(selection(viewer), selections.first());
            for (qsizetype i = 1; i < selections.size(); ++i) {
                QTest::keyClick(viewer, Qt::Key_F3);
                QCOMPARE(selection(viewer), selections[i]);
            }
        });
    }

    void findFromTheStartWhereverTheCaretIs()
    {
        Source source("体质 ab 体质");
        inViewer(source, [](QWidget *viewer) {
            QTextCursor c = viewerBox(viewer)->textCursor();
            c.setPosition(5);
            viewerBox(viewer)->setTextCursor(c);
            answerInputBox(viewer, "体质");
            QTest::keyClick(viewer, Qt::Key_F, Qt::ControlModifier);
            QVERIFY(QTest::qWaitForWindowActive(viewer));
            QCOMPARE(selection(viewer), "0+2");
        });
    }

    void cancelledOrEmptyFindForgetsTheText_data()
    {
        QTest::addColumn<bool>("cancel");
        QTest::newRow("cancelled") << true;
        QTest::newRow("empty input") << false;
    }

    void cancelledOrEmptyFindForgetsTheText()
    {
        QFETCH(bool, cancel);
        Source source("体质 体质");
        inViewer(source, [cancel](QWidget *viewer) {
            auto *form = qobject_cast<TfrmRichTextProcessFullScreen *>(viewer);
            answerInputBox(viewer, "体质");
            QTest::keyClick(viewer, Qt::Key_F, Qt::ControlModifier);
            QVERIFY(QTest::qWaitForWindowActive(viewer));
            QCOMPARE(selection(viewer), "0+2");
            answerInputBox(viewer, QString(), cancel);
            QTest::keyClick(viewer, Qt::Key_F, Qt::ControlModifier);
            QVERIFY(QTest::qWaitForWindowActive(viewer));
            QCOMPARE(form->lastSearchText(), QString());
            QTest::keyClick(viewer, Qt::Key_F3); // nothing to continue
            QCOMPARE(selection(viewer), "0+2");
        });
    }

    void findDialogWording()
    {
        Source source;
        inViewer(source, [](QWidget *viewer) {
            QString caption, prompt;
            whenModal(
                [&caption, &prompt](QWidget *w) {
                    auto *dialog = qobject_cast<QInputDialog *>(w);
                    caption = w->windowTitle();
                    prompt = dialog ? dialog->labelText() : QString();
                    w->close();
                },
                viewer);
            viewer->findChild<QAction *>("actFind")->trigger();
            QVERIFY(QTest::qWaitForWindowActive(viewer));
            QCOMPARE(caption, "查找...");
            QCOMPARE(prompt, "请输入查找字符串:       ");
        });
    }

    void quitByTheContextMenu()
    {
        Source source;
        bool closedByMenu = false;
        whenModal([&closedByMenu](QWidget *viewer) {
            auto *menu = viewer->findChild<QMenu *>("pmButton");
            auto *item = viewer->findChild<QAction *>("pmiQuit");
            QVERIFY(menu && item && menu->actions().contains(item));
            QCOMPARE(item->text(), "Quit");
            item->trigger();
            closedByMenu = !viewer->isVisible();
        });
        ShowRichTextFullScreen(source.box);
        ReleaseFullScreenViewer();
        QVERIFY(closedByMenu);
    }

    // Ctrl+Del is the viewer's Quit even in an editable box, where it would
    // otherwise delete a word.
    void quitByCtrlDelInAnEditableBox()
    {
        Source source("一 二 三");
        bool closed = false;
        whenModal([&closed](QWidget *viewer) {
            viewerBox(viewer)->setFocus();
            QTest::keyClick(viewerBox(viewer), Qt::Key_Delete, Qt::ControlModifier);
            closed = !viewer->isVisible();
            if (!closed)
                viewer->close();
        });
        ShowRichTextFullScreen(source.box);
        ReleaseFullScreenViewer();
        QVERIFY(closed);
    }

    void failureToWriteShowsTheErrorBoxAndNoViewer()
    {
        Source source;
        QString message;
        bool viewerShown = false;
        whenModal([&](QWidget *w) {
            message =
                qobject_cast<QMessageBox *>(w) ? qobject_cast<QMessageBox *>(w)->text() : QString();
            viewerShown = frmRichTextProcessFullScreen && frmRichTextProcessFullScreen->isVisible();
            w->close();
        });
        ShowRichTextFullScreen(source.box, {"/nonexistent/one", "/nonexistent/two"});
        ReleaseFullScreenViewer();
        QVERIFY2(message.startsWith("Cannot create file"), qPrintable(message));
        QVERIFY(!viewerShown);
    }

    void tempFileName()
    {
        const QDateTime at(QDate(2026, 12, 8), QTime(0, 52, 6, 123));
        QCOMPARE(ViewerTempFile::fileName("frmMedDiaClientInfoEdit", "memAdvertising1", at),
                 "tmp_frmMedDiaClientInfoEdit-memAdvertising1-2026-12-08-00-52-06-123_temp.rtf");
    }

    void tempFileFallsBackAndIsRemoved()
    {
        QTemporaryDir second;
        QString path;
        {
            ViewerTempFile file({"/nonexistent/folder", second.path()}, "frm", "box");
            QVERIFY(file.isCreated());
            path = file.path();
            QVERIFY(path.startsWith(second.path()));
            QVERIFY(file.write("{\\rtf1 x}"));
            QVERIFY(QFile::exists(path));
        }
        QVERIFY(!QFile::exists(path));
        ViewerTempFile none({"/nonexistent/folder"}, "frm", "box");
        QVERIFY(!none.isCreated());
        QVERIFY(!none.write("x"));
        QVERIFY(none.errorString().contains("Cannot create file"));
    }

    // Two files made within one millisecond never share a name.
    void tempFilesAreExclusive()
    {
        QTemporaryDir dir;
        ViewerTempFile first({dir.path()}, "frm", "box");
        ViewerTempFile second({dir.path()}, "frm", "box");
        QVERIFY(first.isCreated() && second.isCreated());
        QVERIFY(first.path() != second.path());
    }
};

TIZHI_REGISTER_TEST(TestViewer);

#include "tst_viewer.moc"
