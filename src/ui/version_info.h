// The program's version record: the strings the about box and the title strip show.
#pragma once

#include <QString>

#ifndef VALVENIX_VERSION
#define VALVENIX_VERSION "0"
#endif

struct VersionRecord {
    QString FileDescription;
    QString LegalCopyright;
    QString ProductName;
    QString FileVersion;
};

inline VersionRecord versionRecord() {
    return {QStringLiteral("Solvers for electron tubes"), QStringLiteral("Morvane"),
            QStringLiteral("Valvenix"), QStringLiteral(VALVENIX_VERSION)};
}

// The application name text: the main settings section and the first word of the window caption.
inline constexpr const char* kApplicationNameText = "Korvessa";
