// Window timers on Qt's event loop keep firing while a modal window that
// their own handler opened is open, as the polling tick needs when its reply
// opens the LoRa window.

#include "ui/QtEventLoop.h"

#include <QDeadlineTimer>
#include <QDialog>
#include <QTimer>

#include <gtest/gtest.h>

namespace zor::ui {
namespace {

TEST(QtEventLoop, ATimerFiresInsideAModalWindowItsHandlerOpened)
{
    QtEventLoop loop;
    auto timer = loop.createTimer();
    int ticks = 0;
    int ticksWhileOpen = 0;
    timer->setInterval(10);
    timer->setHandler([&] {
        if (++ticks != 1)
            return;
        QDialog modal;
        QTimer::singleShot(300, &modal, &QDialog::accept);
        modal.exec();
        ticksWhileOpen = ticks - 1;
        timer->setEnabled(false);
    });
    timer->setEnabled(true);
    QDeadlineTimer deadline(3000);
    while (timer->enabled() && !deadline.hasExpired())
        loop.processEvents();
    EXPECT_GE(ticksWhileOpen, 5);
}

} // namespace
} // namespace zor::ui
