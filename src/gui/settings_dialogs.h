#pragma once
// The settings dialogs of the Configuration and Options menus, and the chart window's aspect
// filters. Each menu command finds its dialog here; a command with no dialog yet shows a notice.

#ifndef Q_MOC_RUN
#include "base/strings.h"
#endif

namespace tellurim {

class MainWindow;

// Opens the dialog of a menu command, modal over `window`.
using DialogOpener = void (*)(MainWindow& window);

// The Configuration menu's dialogs (null for a command that has none).
DialogOpener configuration_dialog(Str command);
// The Options menu's dialogs of the computation: astrology, ayanamsa, houses, dasas' ayanamsa,
// ephemeris (null for none).
DialogOpener computing_options_dialog(Str command);
// The Options menu's aspect, Hindu aspect, exaltation and nakshatra dialogs, and the
// "&Drawing" menu's two aspect filters (null for none).
DialogOpener options_dialog(Str command);
// The Options menu's drawing, fonts and colours dialogs (null for none).
DialogOpener drawing_options_dialog(Str command);

}  // namespace tellurim
