// Start-up probes: an application that, at the first expose event of a
// window that leaves it exposed (the moment the window is painted on the
// screen), writes the CLOCK_MONOTONIC time in nanoseconds to stdout and ends
// the process at once, without tearing anything down.
#pragma once

#include <QEvent>
#include <QWindow>

#include <cstdio>
#include <ctime>
#include <unistd.h>

template <class Application>
class FirstExpose : public Application {
public:
    using Application::Application;

    bool notify(QObject *receiver, QEvent *event) override
    {
        const bool expose = event->type() == QEvent::Expose;
        // The expose is handled first: widgets paint within it.
        const bool result = Application::notify(receiver, event);
        if (expose) {
            if (auto *window = qobject_cast<QWindow *>(receiver); window && window->isExposed())
                report();
        }
        return result;
    }

private:
    [[noreturn]] static void report()
    {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        std::printf("%lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
        std::fflush(stdout);
        _exit(0);
    }
};
