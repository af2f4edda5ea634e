// Everything a Telemetry object told, in order, for the tests to compare.
#pragma once

#include "telemetry/telemetry.h"

#include <QString>
#include <utility>
#include <vector>

struct SignalRecord {
    std::vector<std::pair<QString, bool>> logged;  // actionLogged
    std::vector<std::pair<QString, bool>> fetched; // fileFetched
    std::vector<QString> pages;                    // statisticsReady
    std::vector<QString> failures;                 // statisticsFailed

    explicit SignalRecord(Telemetry& telemetry) {
        QObject::connect(&telemetry, &Telemetry::actionLogged,
                         [this](const QString& a, bool ok) { logged.emplace_back(a, ok); });
        QObject::connect(&telemetry, &Telemetry::fileFetched,
                         [this](const QString& f, bool ok) { fetched.emplace_back(f, ok); });
        QObject::connect(&telemetry, &Telemetry::statisticsReady,
                         [this](const QString& p) { pages.push_back(p); });
        QObject::connect(&telemetry, &Telemetry::statisticsFailed,
                         [this](const QString& m) { failures.push_back(m); });
    }
    std::size_t total() const { return logged.size() + fetched.size() + pages.size() + failures.size(); }
};
