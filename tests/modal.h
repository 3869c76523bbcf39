// Driving modal windows from a test: the action runs from a timer once a new
// modal widget is active, while the code under test sits in its exec().
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace tizhi::test {

// Shows `window` and makes it the active window, as a desktop's window
// manager would; on a bare X server nothing else activates it. False when
// it never became active.
inline bool showActive(QWidget *window)
{
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

// Runs `action` on the first active modal widget other than `except`,
// polling every 10 ms for up to five seconds.
inline void whenModal(std::function<void(QWidget *)> action, QWidget *except = nullptr)
{
    auto *timer = new QTimer(qApp);
    auto *clock = new QElapsedTimer;
    clock->start();
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, qApp, [timer, clock, action, except] {
        QWidget *modal = QApplication::activeModalWidget();
        const bool ready = modal && modal != except && modal->isVisible();
        if (!ready && clock->elapsed() < 5000)
            return;
        timer->stop();
        timer->deleteLater();
        delete clock;
        if (ready)
            action(modal);
    });
    timer->start();
}

} // namespace tizhi::test
