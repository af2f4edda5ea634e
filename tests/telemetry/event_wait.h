// Helpers of the network tests: the Qt application object the event loop and TLS need (made once,
// before any test object), and a bounded wait that runs the event loop until a condition holds.
#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>

class CoreApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "test_telemetry";
        static char* argv[] = {name, nullptr};
        if (!QCoreApplication::instance())
            new QCoreApplication(argc, argv); // lives until the process ends
    }
};

// Runs the event loop until done() holds or the bound passes; returns done().
inline bool waitUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds bound = std::chrono::seconds(20)) {
    const QDeadlineTimer deadline(bound);
    while (!done() && !deadline.hasExpired()) {
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return done();
}

// Runs the event loop for a while, for the checks that something does not happen.
inline void settle(std::chrono::milliseconds time = std::chrono::milliseconds(300)) {
    waitUntil([] { return false; }, time);
}
