// The program's identity on the desktop: the application id that names its desktop entry, and
// its icon.
#pragma once

#include <QIcon>
#include <QString>

namespace vellora::app {

// The application id in reverse-domain form ("org.vellora.Vellora"): the desktop entry's file name
// without ".desktop", and the icon's name in the icon theme.
QString ApplicationId();

// The icon from the desktop's icon theme under the application id; where the theme has none (a
// run from the build folder), the PNGs compiled into the program, 16 to 256 pixels.
QIcon ProgramIcon();

}  // namespace vellora::app
