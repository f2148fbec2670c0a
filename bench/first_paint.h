#pragma once
// Shared by the two start-up probes: at the first paint of the window, print how long it
// took since the launching script's clock reading (STARTUP_T0, CLOCK_MONOTONIC in ns), then quit.

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>

class QuitAtFirstPaint : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            timespec now{};
            clock_gettime(CLOCK_MONOTONIC, &now);
            const char* t0 = std::getenv("STARTUP_T0");
            const long long ns = now.tv_sec * 1000000000LL + now.tv_nsec;
            if (t0) std::printf("first_paint_ms %.3f\n", static_cast<double>(ns - std::atoll(t0)) / 1e6);
            // Let this paint finish, then end.
            QTimer::singleShot(0, [] { QCoreApplication::quit(); });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool seen_ = false;
};
