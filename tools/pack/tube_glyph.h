// Small tube pictograms shared by the packaged icons and thumbnails: glass envelopes with anode,
// grid and cathode, simplified when they are drawn small.
#pragma once

#include <QImage>
#include <QPainter>
#include <QRectF>

// One envelope filling rect (taller than wide looks best).
void paintTubeEnvelope(QPainter& painter, const QRectF& rect);
// count envelopes (1 to 4) arranged inside rect: side by side, four as two rows of two.
void paintTubeEnvelopes(QPainter& painter, const QRectF& rect, int count);
// The icon for circuits of count tubes, side x side pixels, transparent background.
QImage tubeIcon(int count, int side);
