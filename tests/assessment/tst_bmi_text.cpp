// The BMI calculator's arithmetic without its window: the text it shows for
// a weight and a height as typed or pasted, and the texts that fail.
#include "test_registry.h"

#include "bmi_text.h"

#include <QTest>

#include <cstdlib>
#include <optional>
#include <string>

using namespace tizhi;

namespace {

// The BMI of `kilograms` and `centimetres` as the calculator computes it,
// worked out here in extended precision and written by printf: the text
// the program must show.
QString extendedBmi(long double kilograms, long double centimetres)
{
    const long double metres = centimetres / 100.0L;
    return QString::asprintf("%.15g", static_cast<double>(kilograms / (metres * metres)));
}

} // namespace

class TestBmiText : public QObject {
    Q_OBJECT

private slots:
    void shownText_data()
    {
        QTest::addColumn<QByteArray>("weight"); // UTF-8, as in the text box
        QTest::addColumn<QByteArray>("height");
        QTest::addColumn<QString>("shown");
        auto row = [](const char *name, const char *weight, const char *height, const char *shown) {
            QTest::newRow(name) << QByteArray(weight) << QByteArray(height) << QString(shown);
        };
        row("70 kg, 175 cm", "70", "175", "22.8571428571429");
        row("60 kg, 200 cm: no point, no zeros", "60", "200", "15");
        row("80 kg, 180 cm", "80", "180", "24.6913580246914");
        row("decimals", "62.5", "158.5", "24.8783448934709");
        row("weight 0", "0", "175", "0");
        row("height empty: empty, no failure", "70", "", "");
        row("height only blanks", "70", "   ", "");
        row("weight empty", "", "175", "");
        row("height a full-width blank only", "70", "\u3000", "");
        row("blanks around", " 70 ", " 175 ", "22.8571428571429");
        row("full-width blanks around", "\u300070\u3000", "175", "22.8571428571429");
        row("no-break space, tab and line end around", "\u00A070", "\t175\n", "22.8571428571429");
        row("a plus sign", "+70", "175", "22.8571428571429");
        row("exponents", "7e1", "1.75E2", "22.8571428571429");
        row("a negative height squares away", "70", "-175", "22.8571428571429");
        row("a negative weight", "-70", "175", "-22.8571428571429");
        row("minus zero shows 0", "-0", "175", "0");
        row("a point and digits", ".5", "100", "0.5");
        row("digits and a point", "5.", "100", "5");
        row("more digits than a double holds", "70", "175.000000000000000000000000001",
            "22.8571428571429");
        row("an exact half at the 16th digit rounds up", "38.6", "102.4", "36.8118286132813");
        row("another exact half", "167.321", "128", "102.124633789063");
        row("15 digits stay whole", "999999999999999", "100", "999999999999999");
        row("rounding up to 1e15 takes the exponent form", "999999999999999.5", "100", "1e+15");
        row("large: exponent form", "1e20", "100", "1e+20");
        row("0.0001 stays decimal", "0.0001", "100", "0.0001");
        row("below 0.0001: exponent form", "0.00001", "100", "1e-05");
        row("the smallest double", "4.9406564584124654e-324", "100", "4.94065645841247e-324");
        row("a weight below a double's range is read, its BMI is 0 as a double", "1e-400", "100",
            "0");
    }

    void shownText()
    {
        QFETCH(QByteArray, weight);
        QFETCH(QByteArray, height);
        QFETCH(QString, shown);
        const std::optional<std::string> bmi = bmiText(weight.toStdString(), height.toStdString());
        QVERIFY(bmi.has_value());
        QCOMPARE(QString::fromStdString(*bmi), shown);
    }

    // Weight and height are read into extended precision, not into a double
    // that is widened: for these inputs the two differ in the 15th digit.
    void readInExtendedPrecision_data()
    {
        QTest::addColumn<QByteArray>("weight");
        QTest::addColumn<QByteArray>("height");
        QTest::addColumn<QString>("shown");   // from extended precision
        QTest::addColumn<QString>("widened"); // from doubles widened
        auto row = [](const char *weight, const char *height, long double kilograms,
                      long double centimetres) {
            const QString widened =
                extendedBmi(static_cast<long double>(std::strtod(weight, nullptr)),
                            static_cast<long double>(std::strtod(height, nullptr)));
            QTest::addRow("%s kg, %s cm", weight, height)
                << QByteArray(weight) << QByteArray(height) << extendedBmi(kilograms, centimetres)
                << widened;
        };
        row("30.0", "100.7", 30.0L, 100.7L);
        row("32.8", "103.9", 32.8L, 103.9L);
        row("33.5", "116.9", 33.5L, 116.9L);
        row("31.4", "146.8", 31.4L, 146.8L);
        row("32.8", "198.8", 32.8L, 198.8L);
    }

    void readInExtendedPrecision()
    {
        QFETCH(QByteArray, weight);
        QFETCH(QByteArray, height);
        QFETCH(QString, shown);
        QFETCH(QString, widened);
        QVERIFY2(shown != widened, "the row does not tell the two readings apart");
        const std::optional<std::string> bmi = bmiText(weight.toStdString(), height.toStdString());
        QVERIFY(bmi.has_value());
        QCOMPARE(QString::fromStdString(*bmi), shown);
    }

    // Texts the calculator cannot compute: it shows its failure box.
    void fails_data()
    {
        QTest::addColumn<QByteArray>("weight");
        QTest::addColumn<QByteArray>("height");
        auto row = [](const char *name, const char *weight, const char *height) {
            QTest::newRow(name) << QByteArray(weight) << QByteArray(height);
        };
        row("height 0: division by zero", "70", "0");
        row("height 0.0", "70", "0.0");
        row("two decimal points", "70", "17.5.0");
        row("a lone point", ".", "175");
        row("a letter pasted", "7O", "175");
        row("a blank inside", "7 0", "175");
        row("full-width digits", "\uFF17\uFF10", "175");
        row("a lone minus", "-", "175");
        row("a lone plus", "70", "+");
        row("an exponent without digits", "5e", "175");
        row("hexadecimal", "0x10", "175");
        row("inf", "inf", "175");
        row("nan", "nan", "175");
        row("a weight beyond a double gives a result beyond one", "1e400", "175");
        row("a weight beyond extended precision", "1e5000", "175");
        row("a weight too small for extended precision", "1e-5000", "100");
        row("a result beyond a double", "1e308", "0.000001");
        row("a result beyond a double from a tiny height", "70", "1e-200");
    }

    void fails()
    {
        QFETCH(QByteArray, weight);
        QFETCH(QByteArray, height);
        const std::optional<std::string> bmi = bmiText(weight.toStdString(), height.toStdString());
        QVERIFY2(!bmi.has_value(), bmi ? bmi->c_str() : "");
    }
};

TIZHI_REGISTER_TEST(TestBmiText);

#include "tst_bmi_text.moc"
