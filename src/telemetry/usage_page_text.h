// The texts the usage page shows when there are no statistics to show: how to set a usage server,
// and why a fetch failed. Written in the report markup, with the page's classes "h1" and "rou".
#pragma once

#include "telemetry/usage_endpoint.h"

#include <QString>

// Why nothing was asked of a server, and how to set one (state is not Active).
QString usagePageHelp(UsageServerState state, const QString& url);

// A fetch of the statistics from host that failed for reason (plain text).
QString usagePageFailure(const QString& host, const QString& reason);

// Text safe to put in markup: every "<" and ">" becomes a look-alike that starts no tag.
QString markupSafe(const QString& text);
