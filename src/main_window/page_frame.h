// The frame every page of the main window shares: a toolbar of record and
// command buttons across the top, a left column with the record list, its
// count bar and the notice panel over the list, a draggable 5-pixel
// splitter, and the scrolling data area that holds the page's fields.
#pragma once

#include <QList>
#include <QString>

class QAction;
class QWidget;
class TRichEdit;
class TLabel;
class TScrollBox;
class TSpeedButton;
class TwwDBGrid;
class TwwDBNavigator;

namespace tizhi {

// One toolbar button: a plain navigator button (no command, only a hint and
// a symbol) or a button that shows a command.
struct ToolbarButton {
    QString symbol;            // caption of a plain navigator button
    QString hint;              // its hint
    QAction *action = nullptr; // or the command it shows
};

// The twelve plain navigator buttons: six to move through the records
// before the commands, six for bookmarks and searching after them.
QList<ToolbarButton> leadingNavigatorButtons();
QList<ToolbarButton> trailingNavigatorButtons(const QString &filterHint);

struct PageFrameSpec {
    QString navigatorName; // navCBIButton ...
    QString gridName;      // grdCBIMaster ...
    QString noticeName;    // memAdvertising1 ...
    QList<ToolbarButton> buttons;
    QList<QPair<QString, int>> gridColumns; // field name, width in characters
};

struct PageFrame {
    TwwDBNavigator *navigator = nullptr;
    // The twelve plain navigator buttons, in order: the six that move
    // through the records first.
    QList<TSpeedButton *> plainButtons;
    TLabel *count = nullptr; // the count bar's text
    TwwDBGrid *grid = nullptr;
    TRichEdit *notice = nullptr;
    TScrollBox *dataArea = nullptr;
    QWidget *content = nullptr; // the widget inside the data area
};

// Builds the frame on `page`.
PageFrame buildPageFrame(QWidget *page, const PageFrameSpec &spec);

} // namespace tizhi
