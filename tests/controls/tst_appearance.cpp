// ApplyInterfaceEnv and SetFormEditState on a real window that holds one
// control of every kind, plus a class derived from TEdit under another name
// that both routines must leave alone.
#include "test_registry.h"

#include "control_kinds.h"
#include "uniChineseMedicinePublic.h"

#include <QHeaderView>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

using namespace tizhi;

// Derived from TEdit under another name: not a TEdit to the routines.
class TNumberEdit : public TEdit {
    Q_OBJECT

public:
    using TEdit::TEdit;
};

namespace {

const char *const kKinds[] = {"TScrollBox",
                              "TSpeedButton",
                              "TBitBtn",
                              "TwwDBNavigator",
                              "TGroupBox",
                              "TPanel",
                              "TLabel",
                              "TCheckBox",
                              "TListView",
                              "TwwDBGrid",
                              "TDateTimePicker",
                              "TComboBox",
                              "TEdit",
                              "TwwDBEdit",
                              "TRichEdit",
                              "TwwDBRichEdit",
                              "TMemo",
                              "TwwDBComboBox",
                              "TwwDBComboDlg",
                              "TwwDBLookupCombo",
                              "TwwDBLookupComboDlg",
                              "TwwDBMonthCalendar",
                              "TwwDBDateTimePicker"};

template <class Kind> Kind *add(QWidget *window, const char *name)
{
    auto *control = new Kind(window);
    control->setObjectName(QString::fromLatin1(name));
    window->layout()->addWidget(control);
    return control;
}

// A window with one control of each kind, named by its kind ("TEdit" is the
// object name of the TEdit), and a TNumberEdit named "derived". A second
// label sits inside the panel, as controls do in the real windows.
std::unique_ptr<QWidget> windowWithEveryKind()
{
    auto window = std::make_unique<QWidget>();
    new QVBoxLayout(window.get());
    add<TScrollBox>(window.get(), "TScrollBox");
    add<TSpeedButton>(window.get(), "TSpeedButton");
    add<TBitBtn>(window.get(), "TBitBtn");
    add<TwwDBNavigator>(window.get(), "TwwDBNavigator");
    add<TGroupBox>(window.get(), "TGroupBox");
    auto *panel = add<TPanel>(window.get(), "TPanel");
    auto *inner = new TLabel(panel);
    inner->setObjectName("innerLabel");
    add<TLabel>(window.get(), "TLabel");
    add<TCheckBox>(window.get(), "TCheckBox");
    add<TListView>(window.get(), "TListView");
    add<TwwDBGrid>(window.get(), "TwwDBGrid");
    add<TDateTimePicker>(window.get(), "TDateTimePicker");
    add<TComboBox>(window.get(), "TComboBox");
    add<TEdit>(window.get(), "TEdit");
    add<TwwDBEdit>(window.get(), "TwwDBEdit");
    add<TRichEdit>(window.get(), "TRichEdit");
    add<TwwDBRichEdit>(window.get(), "TwwDBRichEdit");
    add<TMemo>(window.get(), "TMemo");
    add<TwwDBComboBox>(window.get(), "TwwDBComboBox");
    add<TwwDBComboDlg>(window.get(), "TwwDBComboDlg");
    add<TwwDBLookupCombo>(window.get(), "TwwDBLookupCombo");
    add<TwwDBLookupComboDlg>(window.get(), "TwwDBLookupComboDlg");
    add<TwwDBMonthCalendar>(window.get(), "TwwDBMonthCalendar");
    add<TwwDBDateTimePicker>(window.get(), "TwwDBDateTimePicker");
    add<TNumberEdit>(window.get(), "derived");
    return window;
}

// A new control of the kind named ("TBitBtn"), a child of `parent`: the
// kind whose class name it is, among those listed.
template <class... Kinds> QWidget *newOfKind(const QString &name, QWidget *parent)
{
    QWidget *made = nullptr;
    (void)((name == QLatin1String(Kinds::staticMetaObject.className()) &&
            (made = new Kinds(parent))) ||
           ...);
    return made;
}

QWidget *newControl(const QString &name, QWidget *parent)
{
    return newOfKind<TBitBtn, TLabel, TEdit, TwwDBEdit, TPanel, TComboBox, TwwDBComboBox,
                     TwwDBComboDlg, TwwDBLookupCombo, TwwDBLookupComboDlg, TwwDBMonthCalendar,
                     TwwDBDateTimePicker, TButton>(name, parent);
}

IControlKind *kind(QWidget *window, const char *name)
{
    return controlKind(window->findChild<QWidget *>(QString::fromLatin1(name)));
}

QWidget *widget(QWidget *window, const char *name)
{
    return window->findChild<QWidget *>(QString::fromLatin1(name));
}

// Default settings, or a complete "Config.ini" of default values with the
// given "Key=Value" lines put in their place.
void useSettings(const QByteArray &changedKeys = {})
{
    static TInterfaceRecord record;
    InterfaceRecord = &record;
    record.CreateFonts();
    record.SetDefaults();
    if (changedKeys.isEmpty())
        return;
    QMap<QByteArray, QByteArray> keys;
    for (const char *slot : {"Form", "ScrollBox", "Button", "Panel", "Label", "Grid", "Edit",
                             "DBEdit", "DBRichEdit"}) {
        const QByteArray s(slot);
        const bool data = QByteArrayList{"Grid", "Edit", "DBEdit", "DBRichEdit"}.contains(s);
        keys[s + "FontSize"] = "8";
        keys[s + "FontColor"] = "clWindowText";
        keys[s + "RColor"] = data ? "clInfoBk" : "clBtnFace";
        keys[s + "EColor"] = data ? "clWindow" : "clBtnFace";
    }
    for (const QByteArray &line : changedKeys.split('\n')) {
        if (line.contains('='))
            keys[line.left(line.indexOf('='))] = line.mid(line.indexOf('=') + 1);
    }
    QTemporaryDir dir;
    QFile file(dir.filePath("Config.ini"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[InterfaceEnv]\n");
    for (auto it = keys.begin(); it != keys.end(); ++it)
        file.write(it.key() + "=" + it.value() + "\n");
    file.close();
    record.LoadInterfaceEnv(dir.path());
    QVERIFY2(record.font(Slot::Form)->Size == 8, "settings did not load");
}

} // namespace

class TestAppearance : public QObject {
    Q_OBJECT

private slots:
    void init() { useSettings(); }

    void readOnlyWindowWithDefaults_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<quint32>("color");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<bool>("enabled");
        auto row = [](const char *name, TColor color, bool readOnly, bool enabled) {
            QTest::newRow(name) << QString(name) << quint32(color) << readOnly << enabled;
        };
        row("TScrollBox", clBtnFace, false, true);
        row("TwwDBNavigator", clBtnFace, false, true);
        row("TGroupBox", clBtnFace, false, true);
        row("TPanel", clBtnFace, false, true);
        row("TLabel", clBtnFace, false, true);
        row("TCheckBox", clBtnFace, false, true);
        row("TListView", clInfoBk, false, false);
        row("TwwDBGrid", clInfoBk, false, true);
        row("TDateTimePicker", clInfoBk, false, false);
        row("TComboBox", clInfoBk, false, false);
        row("TEdit", clInfoBk, true, false);
        row("TwwDBEdit", clInfoBk, true, true);
        row("TRichEdit", clInfoBk, true, false);
        row("TwwDBRichEdit", clInfoBk, true, true);
        row("TMemo", clInfoBk, false, true);
        row("TwwDBComboBox", clInfoBk, true, true);
        row("TwwDBComboDlg", clInfoBk, true, false);
        row("TwwDBLookupCombo", clInfoBk, true, false);
        row("TwwDBLookupComboDlg", clInfoBk, true, false);
        row("TwwDBMonthCalendar", clInfoBk, true, true);
        row("TwwDBDateTimePicker", clInfoBk, true, true);
    }

    void readOnlyWindowWithDefaults()
    {
        QFETCH(QString, name);
        QFETCH(quint32, color);
        QFETCH(bool, readOnly);
        QFETCH(bool, enabled);
        auto window = windowWithEveryKind();
        ApplyInterfaceEnv(InterfaceRecord, window.get());
        SetFormEditState(window.get(), false);
        QWidget *control = window->findChild<QWidget *>(name);
        QVERIFY(control);
        QCOMPARE(control->property("Color").toUInt(), color);
        QCOMPARE(controlKind(control)->readOnlyFlag(), readOnly);
        QCOMPARE(control->isEnabled(), enabled);
        // The data-aware combo, dialog, look-up, calendar and picker kinds are
        // only opened and closed, never painted with a font.
        const bool painted =
            !QStringList{"TwwDBComboBox",       "TwwDBComboDlg",      "TwwDBLookupCombo",
                         "TwwDBLookupComboDlg", "TwwDBMonthCalendar", "TwwDBDateTimePicker"}
                 .contains(name);
        QCOMPARE(controlKind(control)->fontSize(), painted ? 8 : QApplication::font().pointSize());
    }

    void editableWindowOpensEveryDataKind()
    {
        auto window = windowWithEveryKind();
        ApplyInterfaceEnv(InterfaceRecord, window.get());
        SetFormEditState(window.get(), false);
        SetFormEditState(window.get(), true);
        for (const char *name : kKinds) {
            QWidget *control = widget(window.get(), name);
            QVERIFY2(control->isEnabled(), name);
            QVERIFY2(!controlKind(control)->readOnlyFlag(), name);
        }
        QCOMPARE(widget(window.get(), "TEdit")->property("Color").toUInt(), clWindow);
        QCOMPARE(widget(window.get(), "TwwDBLookupCombo")->property("Color").toUInt(), clWindow);
        QCOMPARE(widget(window.get(), "TPanel")->property("Color").toUInt(), clBtnFace);
    }

    // What a health worker sees: pale yellow read-only fields, white
    // editable ones, button-face panels.
    void defaultLookUnderFusion()
    {
        auto window = windowWithEveryKind();
        ApplyInterfaceEnv(InterfaceRecord, window.get());
        SetFormEditState(window.get(), false);
        const QPalette app = QApplication::palette();
        const QColor readOnly = kind(window.get(), "TwwDBEdit")->paintedBackground();
        QCOMPARE(readOnly, app.color(QPalette::ToolTipBase));
        QVERIFY2(readOnly.red() > 240 && readOnly.green() > 240 && readOnly.blue() < 235,
                 qPrintable(readOnly.name()));
        QCOMPARE(kind(window.get(), "TPanel")->paintedBackground(), app.color(QPalette::Button));
        SetFormEditState(window.get(), true);
        QCOMPARE(kind(window.get(), "TwwDBEdit")->paintedBackground(), QColor(Qt::white));
        // A disabled read-only edit box still shows the read-only colour.
        SetFormEditState(window.get(), false);
        auto *edit = qobject_cast<QLineEdit *>(widget(window.get(), "TEdit"));
        QCOMPARE(edit->palette().color(QPalette::Disabled, QPalette::Base), readOnly);
    }

    void gridColoursAllFollowGridSlot()
    {
        useSettings("GridRColor=clAqua\n");
        auto window = windowWithEveryKind();
        ApplyInterfaceEnv(InterfaceRecord, window.get());
        SetFormEditState(window.get(), false);
        QWidget *grid = widget(window.get(), "TwwDBGrid");
        for (const char *property :
             {"Color", "TitleColor", "FooterColor", "FooterCellColor", "IndicatorIconColor"})
            QCOMPARE(grid->property(property).toUInt(), 0xFFFF00u);
        auto *table = qobject_cast<QTableWidget *>(grid);
        QCOMPARE(table->horizontalHeader()->palette().color(QPalette::Button), QColor(0, 255, 255));
    }

    void memoKeepsItsColourInBothStates()
    {
        useSettings("DBRichEditRColor=clRed\n");
        auto window = windowWithEveryKind();
        ApplyInterfaceEnv(InterfaceRecord, window.get());
        for (bool editable : {false, true}) {
            SetFormEditState(window.get(), editable);
            QCOMPARE(widget(window.get(), "TMemo")->property("Color").toUInt(), clRed);
            QCOMPARE(widget(window.get(), "TwwDBRichEdit")->property("Color").toUInt(),
                     editable ? clWindow : clInfoBk);
        }
    }

    void fontsAreApplyOnly()
    {
        useSettings("EditFontSize=12\nEditFontColor=clBlue\nDBEditFontSize=14\n");
        auto window = windowWithEveryKind();
        QWidget *lookup = widget(window.get(), "TwwDBLookupCombo");
        const int designed = lookup->font().pointSize();
        ApplyInterfaceEnv(InterfaceRecord, window.get());
        SetFormEditState(window.get(), false);
        SetFormEditState(window.get(), true);
        QCOMPARE(kind(window.get(), "TEdit")->fontSize(), 12);
        QCOMPARE(widget(window.get(), "TEdit")->font().pointSize(), 12);
        QCOMPARE(kind(window.get(), "TEdit")->fontColor(), 0xFF0000u);
        QCOMPARE(widget(window.get(), "TEdit")->palette().color(QPalette::Text), QColor(0, 0, 255));
        QCOMPARE(kind(window.get(), "TComboBox")->fontSize(), 12);
        QCOMPARE(kind(window.get(), "TwwDBEdit")->fontSize(), 14);
        QCOMPARE(lookup->font().pointSize(), designed); // only SetFormEditState treats it
    }

    void labelSettingsReachCheckBoxes()
    {
        useSettings("LabelFontSize=12\nLabelRColor=clYellow\n");
        auto window = windowWithEveryKind();
        ApplyInterfaceEnv(InterfaceRecord, window.get());
        SetFormEditState(window.get(), false);
        for (const char *name : {"TLabel", "TCheckBox", "innerLabel"}) {
            QCOMPARE(kind(window.get(), name)->fontSize(), 12);
            QCOMPARE(widget(window.get(), name)->property("Color").toUInt(), clYellow);
            QCOMPARE(kind(window.get(), name)->paintedBackground(), QColor(Qt::yellow));
        }
    }

    void sizesBelowOneAreKeptButNotDrawn()
    {
        useSettings("EditFontSize=-3\n");
        auto window = windowWithEveryKind();
        const int designed = widget(window.get(), "TEdit")->font().pointSize();
        ApplyInterfaceEnv(InterfaceRecord, window.get());
        QCOMPARE(kind(window.get(), "TEdit")->fontSize(), -3);
        QCOMPARE(widget(window.get(), "TEdit")->font().pointSize(), designed);
    }

    void derivedClassIsLeftAsDesigned()
    {
        useSettings("EditFontSize=13\n");
        auto window = windowWithEveryKind();
        QWidget *derived = widget(window.get(), "derived");
        const int designed = derived->font().pointSize();
        ApplyInterfaceEnv(InterfaceRecord, window.get());
        SetFormEditState(window.get(), false);
        QCOMPARE(derived->property("Color").toUInt(), clDefault);
        QCOMPARE(derived->font().pointSize(), designed);
        QVERIFY(derived->isEnabled());
        QVERIFY(!controlKind(derived)->readOnlyFlag());
        QCOMPARE(kind(window.get(), "TEdit")->fontSize(), 13);
    }

    // Kinds the routines leave as designed keep their designed font and
    // colours inside a scroll box the settings paint, as the test pages put
    // their look-up boxes, pickers and plain buttons.
    void designedKindsDoNotInheritFromAPaintedScrollBox_data()
    {
        QTest::addColumn<QString>("kind");
        for (const char *kind :
             {"TwwDBLookupCombo", "TwwDBComboBox", "TwwDBComboDlg", "TwwDBLookupComboDlg",
              "TwwDBMonthCalendar", "TwwDBDateTimePicker", "TButton"})
            QTest::newRow(kind) << QString(kind);
    }

    void designedKindsDoNotInheritFromAPaintedScrollBox()
    {
        QFETCH(QString, kind);
        useSettings("ScrollBoxFontSize=20\nScrollBoxFontColor=clRed\nScrollBoxRColor=clLime\n");
        QWidget window;
        auto *box = new TScrollBox(&window);
        auto *content = new QWidget;
        box->setWidget(content);
        auto *layout = new QVBoxLayout(content);
        QWidget *designed = newControl(kind, content);
        QVERIFY(designed);
        auto *label = new TLabel(content); // treated: takes the Label slot, not the box's
        layout->addWidget(designed);
        layout->addWidget(label);
        QCOMPARE(designed->metaObject()->className(), kind.toLatin1());
        const QFont designedFont = designed->font();
        const QPalette designedPalette = designed->palette();

        ApplyInterfaceEnv(InterfaceRecord, &window);
        QCOMPARE(box->font().pointSize(), 20);
        QCOMPARE(content->font().pointSize(), 20); // a plain widget follows its box
        QCOMPARE(designed->font(), designedFont);
        for (auto role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText,
                          QPalette::Base, QPalette::Window, QPalette::Button})
            QCOMPARE(designed->palette().color(role), designedPalette.color(role));
        QCOMPARE(label->font().pointSize(), 8);
    }

    // A control whose stored colours and font size are the ones it
    // inherits shows them still when its container is given other colours
    // and another size afterwards, as a control whose own differ does.
    void storedLookOutlivesTheContainers_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("likeItsContainer");
        for (const char *kind : {"TBitBtn", "TLabel", "TEdit", "TwwDBEdit", "TPanel"}) {
            QTest::addRow("%s, as inherited", kind) << QString(kind) << true;
            QTest::addRow("%s, its own", kind) << QString(kind) << false;
        }
    }

    void storedLookOutlivesTheContainers()
    {
        QFETCH(QString, kind);
        QFETCH(bool, likeItsContainer);
        QWidget window;
        new QVBoxLayout(&window);
        auto *panel = add<TPanel>(&window, "panel");
        auto *layout = new QVBoxLayout(panel);
        QWidget *child = newControl(kind, panel);
        QVERIFY(child);
        layout->addWidget(child);
        IControlKind *control = controlKind(child);
        // The colour the child inherits for its background, in the
        // program's encoding.
        const QColor inherited = control->paintedBackground();
        const TColor stored =
            likeItsContainer
                ? TColor(inherited.red() | inherited.green() << 8 | inherited.blue() << 16)
                : clYellow;
        control->setColor(stored);
        control->setFontColor(clWindowText);
        const int size = child->font().pointSize() + (likeItsContainer ? 0 : 5);
        control->setFontSize(size);
        const QColor text = child->palette().color(QPalette::Active, QPalette::ButtonText);
        const QColor shown = control->paintedBackground();
        QCOMPARE(shown == inherited, likeItsContainer);
        QCOMPARE(child->font().pointSize(), size);

        // Everything the child could inherit changes.
        QPalette loud = panel->palette();
        for (int role = 0; role < QPalette::NColorRoles; ++role)
            loud.setColor(QPalette::ColorRole(role), QColor(0x12, 0x34, 0x56));
        panel->setPalette(loud);
        controlKind(panel)->setFontSize(size + 11);
        QCOMPARE(control->paintedBackground(), shown);
        for (auto role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
            QCOMPARE(child->palette().color(QPalette::Active, role), text);
        QCOMPARE(child->font().pointSize(), size);
        QCOMPARE(control->fontSize(), size);
    }

    // A box's drop-down list is built when first opened, and shows the
    // box's font whatever changed since the box was made.
    void dropDownListShowsTheBoxFont_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("change");
        for (const QString kind : {"TwwDBComboBox", "TwwDBLookupComboDlg", "TComboBox"}) {
            for (const QString change : {"none", "application font", "box font size"})
                QTest::newRow(qPrintable(kind + ", " + change)) << kind << change;
        }
    }

    void dropDownListShowsTheBoxFont()
    {
        QFETCH(QString, kind);
        QFETCH(QString, change);
        const QFont application = QApplication::font();
        QWidget window;
        new QVBoxLayout(&window);
        auto *box = dynamic_cast<ComboBoxBase *>(newControl(kind, &window));
        QVERIFY(box);
        window.layout()->addWidget(box);
        box->addItems({"是", "倾向是", "否"});
        if (change == "application font") {
            QFont larger = application;
            larger.setPointSize(application.pointSize() + 7);
            QApplication::setFont(larger);
        } else if (change == "box font size") {
            controlKind(box)->setFontSize(17);
        }
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        box->showPopup();
        const QFont list = box->view()->font();
        box->hidePopup();
        QApplication::setFont(application);
        QCOMPARE(list.pointSize(), box->font().pointSize());
        QCOMPARE(list.family(), box->font().family());
        if (change == "box font size")
            QCOMPARE(list.pointSize(), 17);
    }

    // The word-wrapped form of the data edit field is the same kind to the
    // routines: DBEdit font, DBEdit colours, read-only but enabled.
    void wordWrappedDataEditIsTreatedAsItsKind()
    {
        useSettings("DBEditFontSize=14\n");
        auto window = windowWithEveryKind();
        auto *field = static_cast<TwwDBEdit *>(widget(window.get(), "TwwDBEdit"));
        field->setWordWrap(true);
        ApplyInterfaceEnv(InterfaceRecord, window.get());
        SetFormEditState(window.get(), false);
        QCOMPARE(field->fontSize(), 14);
        QCOMPARE(field->color(), clInfoBk);
        QVERIFY(field->isReadOnly());
        QVERIFY(field->isEnabled());
    }

    void noWindowDoesNothing()
    {
        QVERIFY(ApplyInterfaceEnv(InterfaceRecord, nullptr));
        SetFormEditState(nullptr, true); // must not crash
    }
};

TIZHI_REGISTER_TEST(TestAppearance);

#include "tst_appearance.moc"
