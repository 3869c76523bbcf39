#include "uniRichTextProcessFullScreen.h"

#include "control_kinds.h"

#include <QAction>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QTextDocument>
#include <QVBoxLayout>

namespace {
// Matches beyond this character position are not looked for.
constexpr int kSearchLimit = 10'000'000;
} // namespace

const QString TfrmRichTextProcessFullScreen::kDesignCaption = QStringLiteral("文字处理");

TfrmRichTextProcessFullScreen::TfrmRichTextProcessFullScreen(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmRichTextProcessFullScreen"));
    setWindowTitle(kDesignCaption);
    resize(928, 480);
    createControls();
    createActions();
    FormCreate();
}

TfrmRichTextProcessFullScreen::~TfrmRichTextProcessFullScreen()
{
    // Destroyed by its release routine or with its parent window: either
    // way the process-wide reference must not point at it any more.
    if (frmRichTextProcessFullScreen == this)
        frmRichTextProcessFullScreen = nullptr;
}

void TfrmRichTextProcessFullScreen::createControls()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    reFullScreen = new TRichEdit(this);
    reFullScreen->setObjectName(QStringLiteral("reFullScreen"));
    reFullScreen->setLineWrapMode(QTextEdit::NoWrap);
    reFullScreen->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    reFullScreen->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont font = reFullScreen->font();
    font.setPixelSize(21);
    reFullScreen->setFont(font);
    reFullScreen->setContextMenuPolicy(Qt::CustomContextMenu);
    reFullScreen->installEventFilter(this);
    layout->addWidget(reFullScreen);
}

void TfrmRichTextProcessFullScreen::createActions()
{
    auto makeAction = [this](const char *name, const QString &caption, const QKeySequence &key) {
        auto *action = new QAction(caption, this);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(key);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        return action;
    };
    actQuit =
        makeAction("actQuit", QStringLiteral("Quit"), QKeySequence(Qt::CTRL | Qt::Key_Delete));
    actQuit->setToolTip(QStringLiteral("Quit"));
    actFind = makeAction("actFind", QStringLiteral("Find"), QKeySequence(Qt::CTRL | Qt::Key_F));
    actFindContinue =
        makeAction("actFindContinue", QStringLiteral("Find Continue"), QKeySequence(Qt::Key_F3));
    connect(actQuit, &QAction::triggered, this, &TfrmRichTextProcessFullScreen::actQuitExecute);
    connect(actFind, &QAction::triggered, this, &TfrmRichTextProcessFullScreen::actFindExecute);
    connect(actFindContinue, &QAction::triggered, this,
            &TfrmRichTextProcessFullScreen::actFindContinueExecute);

    pmButton = new QMenu(this);
    pmButton->setObjectName(QStringLiteral("pmButton"));
    pmiQuit = pmButton->addAction(actQuit->text());
    pmiQuit->setObjectName(QStringLiteral("pmiQuit"));
    pmiQuit->setShortcut(actQuit->shortcut());
    connect(pmiQuit, &QAction::triggered, actQuit, &QAction::trigger);
    connect(reFullScreen, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        pmButton->popup(reFullScreen->viewport()->mapToGlobal(at));
    });
}

void TfrmRichTextProcessFullScreen::FormCreate()
{
    lastSearchText_.clear();
}

bool TfrmRichTextProcessFullScreen::eventFilter(QObject *watched, QEvent *event)
{
    // The text box would take Ctrl+Del (delete word) for itself; the
    // window's commands come first.
    if (watched == reFullScreen && event->type() == QEvent::ShortcutOverride) {
        const QKeySequence pressed(static_cast<QKeyEvent *>(event)->keyCombination());
        for (const QAction *action : {actQuit, actFind, actFindContinue}) {
            if (action->shortcut() == pressed) {
                event->ignore();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmRichTextProcessFullScreen::actQuitExecute()
{
    close();
}

void TfrmRichTextProcessFullScreen::actFindExecute()
{
    bool ok = false;
    const QString text = QInputDialog::getText(this, QStringLiteral("查找..."),
                                               QStringLiteral("请输入查找字符串:       "),
                                               QLineEdit::Normal, QString(), &ok);
    // Back to the viewer, so that F3 and Ctrl+Del reach it at once.
    activateWindow();
    lastSearchText_ = ok ? text : QString();
    if (lastSearchText_.isEmpty())
        return;
    searchStep(lastSearchText_);
}

void TfrmRichTextProcessFullScreen::actFindContinueExecute()
{
    if (!lastSearchText_.isEmpty())
        searchStep(lastSearchText_);
}

void TfrmRichTextProcessFullScreen::searchStep(const QString &text)
{
    const QTextCursor current = reFullScreen->textCursor();
    const int start = current.hasSelection() ? current.selectionEnd() : 0;
    const QTextCursor found =
        reFullScreen->document()->find(text, start, QTextDocument::FindCaseSensitively);
    if (found.isNull() || found.selectionEnd() > kSearchLimit)
        return;
    reFullScreen->setFocus();
    reFullScreen->setTextCursor(found);
    reFullScreen->ensureCursorVisible();
}
