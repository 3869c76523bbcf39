// ApplyInterfaceEnv and SetFormEditState on a real window that holds one
// control of every kind, plus a class derived from TEdit under another name
// that both routines must leave alone.
#include "test_registry.h"

#include "control_access.h"

#include "control_kinds.h"
#include "uniChineseMedicinePublic.h"

#include <QHeaderView>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

using namespace tizhi;
using tizhi::test::noControl;

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
// label sits inside the panel, as controls do in the real windows. The
// controls the tests read are kept as typed pointers.
struct EveryKind {
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    TPanel *panel = nullptr;
    TLabel *innerLabel = nullptr;
    TLabel *label = nullptr;
    TCheckBox *checkBox = nullptr;
    TwwDBGrid *grid = nullptr;
    TComboBox *comboBox = nullptr;
    TEdit *edit = nullptr;
    TwwDBEdit *dbEdit = nullptr;
    TwwDBRichEdit *dbRichEdit = nullptr;
    TMemo *memo = nullptr;
    TwwDBLookupCombo *lookup = nullptr;
    TNumberEdit *derived = nullptr;

    EveryKind()
    {
        QWidget *w = window.get();
        new QVBoxLayout(w);
        add<TScrollBox>(w, "TScrollBox");
        add<TSpeedButton>(w, "TSpeedButton");
        add<TBitBtn>(w, "TBitBtn");
        add<TwwDBNavigator>(w, "TwwDBNavigator");
        add<TGroupBox>(w, "TGroupBox");
        panel = add<TPanel>(w, "TPanel");
        innerLabel = new TLabel(panel);
        innerLabel->setObjectName("innerLabel");
        label = add<TLabel>(w, "TLabel");
        checkBox = add<TCheckBox>(w, "TCheckBox");
        add<TListView>(w, "TListView");
        grid = add<TwwDBGrid>(w, "TwwDBGrid");
        add<TDateTimePicker>(w, "TDateTimePicker");
        comboBox = add<TComboBox>(w, "TComboBox");
        edit = add<TEdit>(w, "TEdit");
        dbEdit = add<TwwDBEdit>(w, "TwwDBEdit");
        add<TRichEdit>(w, "TRichEdit");
        dbRichEdit = add<TwwDBRichEdit>(w, "TwwDBRichEdit");
        memo = add<TMemo>(w, "TMemo");
        add<TwwDBComboBox>(w, "TwwDBComboBox");
        add<TwwDBComboDlg>(w, "TwwDBComboDlg");
        lookup = add<TwwDBLookupCombo>(w, "TwwDBLookupCombo");
        add<TwwDBLookupComboDlg>(w, "TwwDBLookupComboDlg");
        add<TwwDBMonthCalendar>(w, "TwwDBMonthCalendar");
        add<TwwDBDateTimePicker>(w, "TwwDBDateTimePicker");
        derived = add<TNumberEdit>(w, "derived");
    }
};

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

// What changes between making a box and opening its drop-down list.
enum class FontChange { None, ApplicationFont, BoxFontSize };

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
        // The data-aware combo, dialog, look-up, calendar and picker kinds are
        // only opened and closed, never painted with a font.
        QTest::addColumn<bool>("painted");
        auto row = [](const char *name, TColor color, bool readOnly, bool enabled, bool painted) {
            QTest::newRow(name) << QString(name) << quint32(color) << readOnly << enabled
                                << painted;
        };
        row("TScrollBox", clBtnFace, false, true, true);
        row("TwwDBNavigator", clBtnFace, false, true, true);
        row("TGroupBox", clBtnFace, false, true, true);
        row("TPanel", clBtnFace, false, true, true);
        row("TLabel", clBtnFace, false, true, true);
        row("TCheckBox", clBtnFace, false, true, true);
        row("TListView", clInfoBk, false, false, true);
        row("TwwDBGrid", clInfoBk, false, true, true);
        row("TDateTimePicker", clInfoBk, false, false, true);
        row("TComboBox", clInfoBk, false, false, true);
        row("TEdit", clInfoBk, true, false, true);
        row("TwwDBEdit", clInfoBk, true, true, true);
        row("TRichEdit", clInfoBk, true, false, true);
        row("TwwDBRichEdit", clInfoBk, true, true, true);
        row("TMemo", clInfoBk, false, true, true);
        row("TwwDBComboBox", clInfoBk, true, true, false);
        row("TwwDBComboDlg", clInfoBk, true, false, false);
        row("TwwDBLookupCombo", clInfoBk, true, false, false);
        row("TwwDBLookupComboDlg", clInfoBk, true, false, false);
        row("TwwDBMonthCalendar", clInfoBk, true, true, false);
        row("TwwDBDateTimePicker", clInfoBk, true, true, false);
    }

    void readOnlyWindowWithDefaults()
    {
        QFETCH(QString, name);
        QFETCH(quint32, color);
        QFETCH(bool, readOnly);
        QFETCH(bool, enabled);
        QFETCH(bool, painted);
        EveryKind every;
        ApplyInterfaceEnv(InterfaceRecord, every.window.get());
        SetFormEditState(every.window.get(), false);
        QWidget *control = every.window->findChild<QWidget *>(name);
        QVERIFY2(control, qPrintable(noControl(name)));
        IControlKind *kind = controlKind(control);
        QVERIFY2(kind, qPrintable(name + " is no control kind"));
        QCOMPARE(control->property("Color").toUInt(), color);
        QCOMPARE(kind->readOnlyFlag(), readOnly);
        QCOMPARE(control->isEnabled(), enabled);
        QCOMPARE(kind->fontSize(), painted ? 8 : QApplication::font().pointSize());
    }

    void editableWindowOpensEveryDataKind()
    {
        EveryKind every;
        ApplyInterfaceEnv(InterfaceRecord, every.window.get());
        SetFormEditState(every.window.get(), false);
        SetFormEditState(every.window.get(), true);
        for (const char *name : kKinds) {
            QWidget *control = every.window->findChild<QWidget *>(QString::fromLatin1(name));
            QVERIFY2(control, qPrintable(noControl(name)));
            IControlKind *kind = controlKind(control);
            QVERIFY2(kind, name);
            QVERIFY2(control->isEnabled(), name);
            QVERIFY2(!kind->readOnlyFlag(), name);
        }
        QCOMPARE(every.edit->property("Color").toUInt(), clWindow);
        QCOMPARE(every.lookup->property("Color").toUInt(), clWindow);
        QCOMPARE(every.panel->property("Color").toUInt(), clBtnFace);
    }

    // What a health worker sees: pale yellow read-only fields, white
    // editable ones, button-face panels.
    void defaultLookUnderFusion()
    {
        EveryKind every;
        ApplyInterfaceEnv(InterfaceRecord, every.window.get());
        SetFormEditState(every.window.get(), false);
        const QPalette app = QApplication::palette();
        const QColor readOnly = every.dbEdit->paintedBackground();
        QCOMPARE(readOnly, app.color(QPalette::ToolTipBase));
        QVERIFY2(readOnly.red() > 240 && readOnly.green() > 240 && readOnly.blue() < 235,
                 qPrintable(readOnly.name()));
        QCOMPARE(every.panel->paintedBackground(), app.color(QPalette::Button));
        SetFormEditState(every.window.get(), true);
        QCOMPARE(every.dbEdit->paintedBackground(), QColor(Qt::white));
        // A disabled read-only edit box still shows the read-only colour.
        SetFormEditState(every.window.get(), false);
        QCOMPARE(every.edit->palette().color(QPalette::Disabled, QPalette::Base), readOnly);
    }

    void gridColoursAllFollowGridSlot()
    {
        useSettings("GridRColor=clAqua\n");
        EveryKind every;
        ApplyInterfaceEnv(InterfaceRecord, every.window.get());
        SetFormEditState(every.window.get(), false);
        for (const char *property :
             {"Color", "TitleColor", "FooterColor", "FooterCellColor", "IndicatorIconColor"})
            QCOMPARE(every.grid->property(property).toUInt(), 0xFFFF00u);
        QCOMPARE(every.grid->horizontalHeader()->palette().color(QPalette::Button),
                 QColor(0, 255, 255));
    }

    void memoKeepsItsColourInBothStates()
    {
        useSettings("DBRichEditRColor=clRed\n");
        EveryKind every;
        ApplyInterfaceEnv(InterfaceRecord, every.window.get());
        for (bool editable : {false, true}) {
            SetFormEditState(every.window.get(), editable);
            QCOMPARE(every.memo->property("Color").toUInt(), clRed);
            QCOMPARE(every.dbRichEdit->property("Color").toUInt(), editable ? clWindow : clInfoBk);
        }
    }

    void fontsAreApplyOnly()
    {
        useSettings("EditFontSize=12\nEditFontColor=clBlue\nDBEditFontSize=14\n");
        EveryKind every;
        const int designed = every.lookup->font().pointSize();
        ApplyInterfaceEnv(InterfaceRecord, every.window.get());
        SetFormEditState(every.window.get(), false);
        SetFormEditState(every.window.get(), true);
        QCOMPARE(every.edit->fontSize(), 12);
        QCOMPARE(every.edit->font().pointSize(), 12);
        QCOMPARE(every.edit->fontColor(), 0xFF0000u);
        QCOMPARE(every.edit->palette().color(QPalette::Text), QColor(0, 0, 255));
        QCOMPARE(every.comboBox->fontSize(), 12);
        QCOMPARE(every.dbEdit->fontSize(), 14);
        QCOMPARE(every.lookup->font().pointSize(), designed); // only SetFormEditState treats it
    }

    void labelSettingsReachCheckBoxes()
    {
        useSettings("LabelFontSize=12\nLabelRColor=clYellow\n");
        EveryKind every;
        ApplyInterfaceEnv(InterfaceRecord, every.window.get());
        SetFormEditState(every.window.get(), false);
        for (QWidget *control :
             std::initializer_list<QWidget *>{every.label, every.checkBox, every.innerLabel}) {
            QCOMPARE(controlKind(control)->fontSize(), 12);
            QCOMPARE(control->property("Color").toUInt(), clYellow);
            QCOMPARE(controlKind(control)->paintedBackground(), QColor(Qt::yellow));
        }
    }

    void sizesBelowOneAreKeptButNotDrawn()
    {
        useSettings("EditFontSize=-3\n");
        EveryKind every;
        const int designed = every.edit->font().pointSize();
        ApplyInterfaceEnv(InterfaceRecord, every.window.get());
        QCOMPARE(every.edit->fontSize(), -3);
        QCOMPARE(every.edit->font().pointSize(), designed);
    }

    void derivedClassIsLeftAsDesigned()
    {
        useSettings("EditFontSize=13\n");
        EveryKind every;
        TNumberEdit *derived = every.derived;
        const int designed = derived->font().pointSize();
        ApplyInterfaceEnv(InterfaceRecord, every.window.get());
        SetFormEditState(every.window.get(), false);
        QCOMPARE(derived->property("Color").toUInt(), clDefault);
        QCOMPARE(derived->font().pointSize(), designed);
        QVERIFY(derived->isEnabled());
        QVERIFY(!controlKind(derived)->readOnlyFlag());
        QCOMPARE(every.edit->fontSize(), 13);
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
        QVERIFY2(designed, qPrintable("no kind named " + kind));
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
        QVERIFY2(child, qPrintable("no kind named " + kind));
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
        QTest::addColumn<FontChange>("change");
        const std::pair<FontChange, const char *> changes[] = {
            {FontChange::None, "none"},
            {FontChange::ApplicationFont, "application font"},
            {FontChange::BoxFontSize, "box font size"}};
        for (const char *kind : {"TwwDBComboBox", "TwwDBLookupComboDlg", "TComboBox"}) {
            for (const auto &[change, name] : changes)
                QTest::addRow("%s, %s", kind, name) << QString(kind) << change;
        }
    }

    void dropDownListShowsTheBoxFont()
    {
        QFETCH(QString, kind);
        QFETCH(FontChange, change);
        const QFont application = QApplication::font();
        QWidget window;
        new QVBoxLayout(&window);
        auto *box = dynamic_cast<ComboBoxBase *>(newControl(kind, &window));
        QVERIFY2(box, qPrintable("no box kind named " + kind));
        window.layout()->addWidget(box);
        box->addItems({"是", "倾向是", "否"});
        switch (change) {
        case FontChange::None:
            break;
        case FontChange::ApplicationFont: {
            QFont larger = application;
            larger.setPointSize(application.pointSize() + 7);
            QApplication::setFont(larger);
            break;
        }
        case FontChange::BoxFontSize:
            controlKind(box)->setFontSize(17);
            break;
        }
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        box->showPopup();
        const QFont list = box->view()->font();
        box->hidePopup();
        QApplication::setFont(application);
        QCOMPARE(list.pointSize(), box->font().pointSize());
        QCOMPARE(list.family(), box->font().family());
        if (change == FontChange::BoxFontSize)
            QCOMPARE(list.pointSize(), 17);
    }

    // The word-wrapped form of the data edit field is the same kind to the
    // routines: DBEdit font, DBEdit colours, read-only but enabled.
    void wordWrappedDataEditIsTreatedAsItsKind()
    {
        useSettings("DBEditFontSize=14\n");
        EveryKind every;
        TwwDBEdit *field = every.dbEdit;
        field->setWordWrap(true);
        ApplyInterfaceEnv(InterfaceRecord, every.window.get());
        SetFormEditState(every.window.get(), false);
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
