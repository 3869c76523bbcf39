// Tizhi: the program entry. No arguments are read: the appearance and the
// edition come from Config.ini beside the program, everything else lives in
// the main window.
#include "application_setup.h"
#include "edition.h"
#include "uniChineseMedicinePublic.h"
#include "uniMedDiaClientInfoEdit.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTranslator>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTranslator qtTranslation;
    tizhi::setUpApplication(qtTranslation);

    // A [Database] section that cannot be used is said once; the program
    // then keeps nothing, and never falls back to another database.
    const auto edition = tizhi::editionFromSettings(QCoreApplication::applicationDirPath());
    if (!edition.error.isEmpty())
        QMessageBox::warning(nullptr, tizhi::kProgramCaption,
                             edition.error + QStringLiteral("\n\n本次运行不连接数据库，不保存数据。"));
    tizhi::chooseEdition(edition.database);

    auto *window = new TfrmMedDiaClientInfoEdit;
    // Maximised also where no window manager does it.
    window->setGeometry(window->screen()->availableGeometry());
    window->showMaximized();
    return QApplication::exec();
}
