// Tizhi: the program entry. No arguments are read: the appearance comes from
// Config.ini beside the program, everything else lives in the main window.
#include "application_setup.h"
#include "uniMedDiaClientInfoEdit.h"

#include <QApplication>
#include <QScreen>
#include <QTranslator>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTranslator qtTranslation;
    tizhi::setUpApplication(qtTranslation);

    auto *window = new TfrmMedDiaClientInfoEdit;
    // Maximised also where no window manager does it.
    window->setGeometry(window->screen()->availableGeometry());
    window->showMaximized();
    return QApplication::exec();
}
