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

using Viewer = TfrmRichTextProcessFullScreen;

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

// A selection in the viewer's box; the default is nothing selected.
struct Selection {
    int start = -1;
    int length = 0;

    bool operator==(const Selection &) const = default;
};

char *toString(const Selection &selection)
{
    return QTest::toString(
        selection.start < 0 ? QStringLiteral("nothing selected")
                            : QStringLiteral("%1+%2").arg(selection.start).arg(selection.length));
}

Selection selection(const Viewer *viewer)
{
    const QTextCursor c = viewer->reFullScreen->textCursor();
    if (!c.hasSelection())
        return {};
    return {c.selectionStart(), c.selectionEnd() - c.selectionStart()};
}

// Presses a key in the viewer and waits until the viewer is the active
// window again, as it is after a Find box; false when it never is.
bool pressInViewer(Viewer *viewer, Qt::Key key, Qt::KeyboardModifiers modifiers = {})
{
    QTest::keyClick(viewer, key, modifiers);
    return QTest::qWaitForWindowActive(viewer);
}

// How one opening of the viewer went: the tests check it once the viewer
// is closed again, and what the body saw after that.
struct Opening {
    bool opened = false; // the viewer came up as the modal window
    bool active = false; // it became the active window, and the body ran
    bool quit = false;   // Ctrl+Del closed it

    QString problem() const
    {
        if (!opened)
            return QStringLiteral("the viewer never opened");
        if (!active)
            return QStringLiteral("the viewer never became the active window");
        return quit ? QString() : QStringLiteral("Ctrl+Del did not close the viewer");
    }
};

// Opens `source` in the viewer, runs `body` on the open viewer, then quits
// it. The body only acts and notes what it sees; the test checks afterwards.
Opening inViewer(Source &source, const std::function<void(Viewer *)> &body)
{
    Opening opening;
    whenModal([&opening, &body](QWidget *modal) {
        auto *viewer = qobject_cast<Viewer *>(modal);
        opening.opened = viewer != nullptr;
        opening.active = viewer && QTest::qWaitForWindowActive(viewer);
        if (opening.active)
            body(viewer);
        if (modal->isVisible())
            QTest::keyClick(modal, Qt::Key_Delete, Qt::ControlModifier);
        opening.quit = !modal->isVisible();
        if (modal->isVisible()) // Quit failed: close anyway, so the test goes on
            modal->close();
    });
    ShowRichTextFullScreen(source.box);
    ReleaseFullScreenViewer();
    return opening;
}

// The ways the viewer is destroyed.
enum class Destruction { WithParent, Deleted, Released };

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
        QString title, text;
        bool maximized = false, readOnly = false, selected = true;
        uint color = 0;
        int caret = -1;
        const Opening opening = inViewer(source, [&](Viewer *viewer) {
            title = viewer->windowTitle();
            maximized = viewer->windowState() & Qt::WindowMaximized;
            readOnly = viewer->reFullScreen->isReadOnly();
            color = viewer->reFullScreen->property("Color").toUInt();
            text = viewer->reFullScreen->toPlainText();
            caret = viewer->reFullScreen->textCursor().position();
            selected = viewer->reFullScreen->textCursor().hasSelection();
        });
        QVERIFY2(opening.problem().isEmpty(), qPrintable(opening.problem()));
        QCOMPARE(title, "文字处理 [ 广告 ]");
        QVERIFY(maximized);
        QVERIFY(readOnly);
        QCOMPARE(color, clInfoBk);
        QCOMPARE(text, "中医体质辨识");
        QCOMPARE(caret, 0);
        QVERIFY(!selected);
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
        QTest::addColumn<Destruction>("how");
        QTest::newRow("with its parent window") << Destruction::WithParent;
        QTest::newRow("deleted directly") << Destruction::Deleted;
        QTest::newRow("by the release routine") << Destruction::Released;
    }

    void referenceClearedWhenTheViewerIsDestroyed()
    {
        QFETCH(Destruction, how);
        auto *parent = new QWidget;
        frmRichTextProcessFullScreen = new Viewer(parent);
        switch (how) {
        case Destruction::WithParent:
            delete parent;
            parent = nullptr;
            break;
        case Destruction::Deleted:
            delete frmRichTextProcessFullScreen;
            break;
        case Destruction::Released:
            ReleaseFullScreenViewer();
            break;
        }
        QVERIFY(frmRichTextProcessFullScreen == nullptr);
        delete parent;
    }

    void editableSourceOpensEditableAndGetsNothingBack()
    {
        Source source;
        source.box->setReadOnly(false);
        bool readOnly = true;
        uint color = 0;
        QString typed;
        const Opening opening = inViewer(source, [&](Viewer *viewer) {
            readOnly = viewer->reFullScreen->isReadOnly();
            color = viewer->reFullScreen->property("Color").toUInt();
            QTest::keyClicks(viewer->reFullScreen, "typed");
            typed = viewer->reFullScreen->toPlainText();
        });
        QVERIFY2(opening.problem().isEmpty(), qPrintable(opening.problem()));
        QVERIFY(!readOnly);
        QCOMPARE(color, clWindow);
        QVERIFY2(typed.startsWith("typed"), qPrintable(typed));
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
        // Each run of the viewer's copy: its text and format.
        QList<std::pair<QString, QTextCharFormat>> shown;
        int blocks = 0;
        const Opening opening = inViewer(source, [&](Viewer *viewer) {
            QTextDocument *doc = viewer->reFullScreen->document();
            blocks = doc->blockCount();
            for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
                for (auto it = b.begin(); !it.atEnd(); ++it)
                    shown.append({it.fragment().text(), it.fragment().charFormat()});
        });
        QVERIFY2(opening.problem().isEmpty(), qPrintable(opening.problem()));
        QCOMPARE(blocks, 2);
        QVERIFY(shown.size() >= 3);
        for (const auto &[text, format] : shown) {
            QCOMPARE(format.fontPointSize(), 16.0);
            if (text.startsWith("红色")) {
                QCOMPARE(format.foreground().color(), QColor(Qt::red));
                QCOMPARE(format.fontWeight(), int(QFont::Bold));
            }
            if (text == "large")
                QVERIFY(format.fontItalic());
        }
    }

    // Find and Find Continue: each press moves to the next match after the
    // current selection, every match once, silent past the last.
    void findVisitsEveryMatchInOrder_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("search");
        QTest::addColumn<QList<Selection>>("selections"); // after Find, then after each F3
        QTest::newRow("Chinese, three times")
            << "中医体质辨识，体质很重要。体质"
            << "体质" << QList<Selection>{{2, 2}, {7, 2}, {13, 2}, {13, 2}};
        QTest::newRow("one Latin letter")
            << "banana"
            << "a" << QList<Selection>{{1, 1}, {3, 1}, {5, 1}, {5, 1}};
        QTest::newRow("overlapping matches go on from the end")
            << "aaaaa"
            << "aa" << QList<Selection>{{0, 2}, {2, 2}, {2, 2}};
        QTest::newRow("case must match") << "Tizhi tizhi TIZHI"
                                         << "tizhi" << QList<Selection>{{6, 5}, {6, 5}};
        QTest::newRow("mixed text") << "BMI 体重 kg，BMI"
                                    << "BMI" << QList<Selection>{{0, 3}, {10, 3}, {10, 3}};
        QTest::newRow("not found leaves nothing selected")
            << "中医体质"
            << "辨识" << QList<Selection>{Selection{}, Selection{}};
    }

    void findVisitsEveryMatchInOrder()
    {
        QFETCH(QString, text);
        QFETCH(QString, search);
        QFETCH(QList<Selection>, selections);
        Source source(text);
        source.box->setReadOnly(true);
        QList<Selection> seen;
        bool activeAfterFind = false;
        const Opening opening = inViewer(source, [&](Viewer *viewer) {
            answerInputBox(viewer, search);
            activeAfterFind = pressInViewer(viewer, Qt::Key_F, Qt::ControlModifier);
            seen << selection(viewer);
            for (qsizetype i = 1; i < selections.size(); ++i) {
                QTest::keyClick(viewer, Qt::Key_F3);
                seen << selection(viewer);
            }
        });
        QVERIFY2(opening.problem().isEmpty(), qPrintable(opening.problem()));
        QVERIFY(activeAfterFind);
        QCOMPARE(seen, selections);
    }

    void findFromTheStartWhereverTheCaretIs()
    {
        Source source("体质 ab 体质");
        Selection found;
        bool activeAfterFind = false;
        const Opening opening = inViewer(source, [&](Viewer *viewer) {
            QTextCursor c = viewer->reFullScreen->textCursor();
            c.setPosition(5);
            viewer->reFullScreen->setTextCursor(c);
            answerInputBox(viewer, "体质");
            activeAfterFind = pressInViewer(viewer, Qt::Key_F, Qt::ControlModifier);
            found = selection(viewer);
        });
        QVERIFY2(opening.problem().isEmpty(), qPrintable(opening.problem()));
        QVERIFY(activeAfterFind);
        QCOMPARE(found, (Selection{0, 2}));
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
        Selection first, afterF3;
        QString remembered = "unread";
        bool activeAfterFinds = false;
        const Opening opening = inViewer(source, [&](Viewer *viewer) {
            answerInputBox(viewer, "体质");
            activeAfterFinds = pressInViewer(viewer, Qt::Key_F, Qt::ControlModifier);
            first = selection(viewer);
            answerInputBox(viewer, QString(), cancel);
            activeAfterFinds =
                pressInViewer(viewer, Qt::Key_F, Qt::ControlModifier) && activeAfterFinds;
            remembered = viewer->lastSearchText();
            QTest::keyClick(viewer, Qt::Key_F3); // nothing to continue
            afterF3 = selection(viewer);
        });
        QVERIFY2(opening.problem().isEmpty(), qPrintable(opening.problem()));
        QVERIFY(activeAfterFinds);
        QCOMPARE(first, (Selection{0, 2}));
        QCOMPARE(remembered, QString());
        QCOMPARE(afterF3, (Selection{0, 2}));
    }

    void findDialogWording()
    {
        Source source;
        QString caption, prompt;
        bool activeAfterFind = false;
        const Opening opening = inViewer(source, [&](Viewer *viewer) {
            whenModal(
                [&caption, &prompt](QWidget *w) {
                    auto *dialog = qobject_cast<QInputDialog *>(w);
                    caption = w->windowTitle();
                    prompt = dialog ? dialog->labelText() : QString();
                    w->close();
                },
                viewer);
            viewer->actFind->trigger();
            activeAfterFind = QTest::qWaitForWindowActive(viewer);
        });
        QVERIFY2(opening.problem().isEmpty(), qPrintable(opening.problem()));
        QVERIFY(activeAfterFind);
        QCOMPARE(caption, "查找...");
        QCOMPARE(prompt, "请输入查找字符串:       ");
    }

    void quitByTheContextMenu()
    {
        Source source;
        bool menuFound = false, itemFound = false, itemInMenu = false, closedByMenu = false;
        QString itemText;
        whenModal([&](QWidget *viewer) {
            auto *menu = viewer->findChild<QMenu *>("pmButton");
            auto *item = viewer->findChild<QAction *>("pmiQuit");
            menuFound = menu != nullptr;
            itemFound = item != nullptr;
            itemInMenu = menu && item && menu->actions().contains(item);
            if (item) {
                itemText = item->text();
                item->trigger();
            }
            closedByMenu = !viewer->isVisible();
            if (viewer->isVisible())
                viewer->close();
        });
        ShowRichTextFullScreen(source.box);
        ReleaseFullScreenViewer();
        QVERIFY2(menuFound, "pmButton");
        QVERIFY2(itemFound, "pmiQuit");
        QVERIFY(itemInMenu);
        QCOMPARE(itemText, "Quit");
        QVERIFY(closedByMenu);
    }

    // Ctrl+Del is the viewer's Quit even in an editable box, where it would
    // otherwise delete a word.
    void quitByCtrlDelInAnEditableBox()
    {
        Source source("一 二 三");
        bool closed = false;
        whenModal([&closed](QWidget *modal) {
            auto *viewer = qobject_cast<Viewer *>(modal);
            if (viewer) {
                viewer->reFullScreen->setFocus();
                QTest::keyClick(viewer->reFullScreen, Qt::Key_Delete, Qt::ControlModifier);
            }
            closed = !modal->isVisible();
            if (!closed)
                modal->close();
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
