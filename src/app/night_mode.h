#pragma once

#include <QImage>
#include <QPalette>
#include <QString>

class QApplication;

// Night mode: every window dark red on black, dim enough to keep eyes dark-adapted. The day
// look is whatever the platform gives, untouched until night mode is first turned on.
QPalette nightPalette();
QString nightStyleSheet();

// Turns night mode on or off for the whole application; off gives back the palette and style
// sheet the application had before it was first turned on.
void applyNightMode(QApplication& app, bool on);

// The picture as night mode shows it: its brightness as dim red on black. A view only; what is
// measured is never this.
QImage nightView(const QImage& picture);
