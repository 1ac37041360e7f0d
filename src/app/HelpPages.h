#pragma once

#include "timing/Race.h"

#include <QString>

class QWidget;

namespace wm {

// The handbook page of a window, by the window's name: the main window's page follows its mode; a window the
// handbook does not know opens the start page.
QString helpPageFor(const QString& windowName, Race::Mode mode);
QString helpPageFor(const QWidget* window, Race::Mode mode);

} // namespace wm
