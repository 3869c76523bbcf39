// Shared main of every test executable: runs each registered test class and
// fails when any of them fails. Widget areas build with TIZHI_TEST_GUI.
#include "test_registry.h"

#include <QTest>

#ifdef TIZHI_TEST_GUI
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

namespace tizhi::test {

std::vector<Factory> &registry()
{
    static std::vector<Factory> factories;
    return factories;
}

} // namespace tizhi::test

int main(int argc, char **argv)
{
    TestApplication app(argc, argv);
#ifdef TIZHI_TEST_GUI
    // The program's own style, so that colours are checked as users see them.
    QApplication::setStyle(QStringLiteral("Fusion"));
#endif
    // TIZHI_TEST_CLASS=TestRtf runs one class only, while working on it.
    const QByteArray only = qgetenv("TIZHI_TEST_CLASS");
    int failures = 0;
    for (const auto &factory : tizhi::test::registry()) {
        const std::unique_ptr<QObject> test = factory();
        if (!only.isEmpty() && only != test->metaObject()->className())
            continue;
        failures += QTest::qExec(test.get(), argc, argv) != 0 ? 1 : 0;
    }
    return failures == 0 ? 0 : 1;
}
