#pragma once

#include <QString>

// The user guide's file name, and where it is looked for: beside the program's folder in
// share/doc/orvalis (installed, and the build tree, where the build writes it).
inline constexpr const char* kUserGuideName = "user-guide.html";
QString userGuideIn(const QString& programDir);
