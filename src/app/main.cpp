// Tizhi: the program entry. No arguments are read: the appearance comes from
// Config.ini beside the program, everything else lives in the main window.
#include "uniMedDiaClientInfoEdit.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QTranslator>

namespace {

// A face that holds Chinese glyphs, so that no caption shows boxes.
void chooseChineseFont()
{
    const QStringList families = QFontDatabase::families();
    for (const char *face : {"WenQuanYi Micro Hei", "Noto Sans CJK SC", "Noto Sans SC",
                             "WenQuanYi Zen Hei", "AR PL UMing CN"}) {
        if (families.contains(QString::fromLatin1(face))) {
            QFont font(QString::fromLatin1(face));
            font.setPointSize(9);
            QApplication::setFont(font);
            return;
        }
    }
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tizhi"));
    QApplication::setApplicationDisplayName(QStringLiteral("中医体质辨识"));
    QApplication::setStyle(QStringLiteral("Fusion"));
    chooseChineseFont();

    // Yes/No/Cancel and OK in Chinese in every standard dialog.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                          QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    auto *window = new TfrmMedDiaClientInfoEdit;
    // Maximised also where no window manager does it.
    window->setGeometry(window->screen()->availableGeometry());
    window->showMaximized();
    return QApplication::exec();
}
