#include "page_frame.h"

#include "control_kinds.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QStackedLayout>
#include <QVBoxLayout>

namespace tizhi {

namespace {

constexpr int kToolbarHeight = 47;
constexpr int kLeftColumnWidth = 335;
// What the page's data area leaves of the screen's width at least: the
// splitter, a sliver of the left column and the window's frame.
constexpr int kFitReserve = 10;

// A toolbar button follows its command: caption, hint, enabled, and
// visible through its place on the toolbar, which shows or hides it.
void bindToAction(TSpeedButton *button, QAction *place, QAction *action)
{
    button->setDefaultAction(action);
    place->setVisible(action->isVisible());
    QObject::connect(action, &QAction::changed, place,
                     [place, action] { place->setVisible(action->isVisible()); });
}

} // namespace

QList<ToolbarButton> leadingNavigatorButtons()
{
    return {{"|◀", "Move to first record"},    {"◀◀", "Move backward 10 records"},
            {"◀", "Move to prior record"},     {"▶", "Move to next record"},
            {"▶▶", "Move forward 10 records"}, {"▶|", "Move to last record"}};
}

QList<ToolbarButton> trailingNavigatorButtons(const QString &filterHint)
{
    return {{"书签", "Bookmark current record"},
            {"返回书签", "Go back to saved bookmark"},
            {"过滤", filterHint},
            {"查看", "View current record"},
            {"定位", "Locate a specific record"},
            {"搜索", "Search the dataset"}};
}

namespace {

TwwDBNavigator *createToolbar(QWidget *page, const PageFrameSpec &spec, PageFrame &frame)
{
    auto *navigator = new TwwDBNavigator(page);
    navigator->setObjectName(spec.navigatorName);
    navigator->setFixedHeight(kToolbarHeight);
    navigator->setContentsMargins(4, 2, 4, 2);
    int plain = 0;
    for (const ToolbarButton &spec_button : spec.buttons) {
        auto *button = new TSpeedButton(navigator);
        button->setFocusPolicy(Qt::NoFocus);
        button->setMinimumHeight(kToolbarHeight - 6);
        QAction *place = navigator->addWidget(button);
        if (spec_button.action) {
            bindToAction(button, place, spec_button.action);
            button->setObjectName(spec.navigatorName + "_" + spec_button.action->objectName());
        } else {
            // The record set is never opened, so the plain buttons never act.
            button->setText(spec_button.symbol);
            button->setToolTip(spec_button.hint);
            button->setEnabled(false);
            button->setObjectName(spec.navigatorName + QString::number(++plain));
            frame.plainButtons.append(button);
        }
    }
    return navigator;
}

TwwDBGrid *createRecordList(QWidget *parent, const PageFrameSpec &spec)
{
    auto *grid = new TwwDBGrid(parent);
    grid->setObjectName(spec.gridName);
    QStringList titles;
    for (const auto &column : spec.gridColumns)
        titles << column.first;
    grid->setColumnTitles(titles);
    QFont titleFont = grid->horizontalHeader()->font();
    titleFont.setBold(true);
    grid->horizontalHeader()->setFont(titleFont);
    grid->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    const int charWidth = grid->fontMetrics().averageCharWidth();
    for (int c = 0; c < int(spec.gridColumns.size()); ++c)
        grid->setColumnWidth(c, spec.gridColumns[c].second * charWidth + 8);
    return grid;
}

TPanel *createCountBar(QWidget *parent, const PageFrameSpec &spec, PageFrame &frame)
{
    auto *count = new TPanel(parent);
    count->setObjectName(spec.gridName + "Count");
    count->setFrameShape(QFrame::StyledPanel);
    auto *countLayout = new QHBoxLayout(count);
    countLayout->setContentsMargins(6, 2, 6, 2);
    auto *countLabel = new TLabel(count);
    countLabel->setText(QStringLiteral("记录数: 0"));
    countLayout->addWidget(countLabel);
    frame.count = countLabel;
    return count;
}

// The record list with the notice panel over it, and the count bar.
QWidget *createLeftColumn(QWidget *parent, const PageFrameSpec &spec, PageFrame &frame)
{
    auto *left = new QWidget(parent);
    // The list gives way first when the window is narrow: in this edition it
    // is empty, and the page beside it holds what is answered and read.
    left->setMinimumWidth(1);
    auto *leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->setSpacing(0);
    auto *listArea = new QWidget(left);
    auto *stack = new QStackedLayout(listArea);
    stack->setStackingMode(QStackedLayout::StackAll);
    frame.grid = createRecordList(listArea, spec);

    // The notice panel covers the record list.
    frame.notice = new TRichEdit(listArea);
    frame.notice->setObjectName(spec.noticeName);
    frame.notice->setLineWrapMode(QTextEdit::NoWrap);
    frame.notice->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    frame.notice->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    stack->addWidget(frame.grid);
    stack->addWidget(frame.notice);
    stack->setCurrentWidget(frame.notice);
    leftLayout->addWidget(listArea, 1);
    leftLayout->addWidget(createCountBar(left, spec, frame));
    return left;
}

} // namespace

PageFrame buildPageFrame(QWidget *page, const PageFrameSpec &spec)
{
    PageFrame frame;
    auto *pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->setSpacing(0);
    frame.navigator = createToolbar(page, spec, frame);
    pageLayout->addWidget(frame.navigator);

    // Left column and data area, split by a draggable 5-pixel bar.
    auto *splitter = new TSplitter(Qt::Horizontal, page);
    pageLayout->addWidget(splitter, 1);
    QWidget *left = createLeftColumn(splitter, spec, frame);
    frame.dataArea = new TScrollBox(splitter);
    // The page keeps the width of its content (down to the screen's) and
    // scrolls only vertically; the left column takes what is left.
    frame.dataArea->setFitsContentWidth(kFitReserve);
    frame.content = new QWidget;
    frame.dataArea->setWidget(frame.content);

    splitter->addWidget(left);
    splitter->addWidget(frame.dataArea);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({kLeftColumnWidth, 1000});
    return frame;
}

} // namespace tizhi
