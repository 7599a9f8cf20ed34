// The Options menu's drawing, fonts and colours commands: each opens its dialog, and on OK
// every chart window is painted again with the new settings.
#include <QMdiArea>
#include <QMdiSubWindow>

#include "gui/chart_windows.h"
#include "gui/drawing_dialogs.h"
#include "gui/main_window.h"
#include "gui/settings_dialogs.h"

namespace tellurim {
namespace {

template <class Dialog>
void open_drawing_dialog(MainWindow& window) {
    Dialog dialog(window.app(), &window);
    if (dialog.exec() != QDialog::Accepted) return;
    for (QMdiSubWindow* sub : window.mdi()->subWindowList())
        if (auto* chart = qobject_cast<ChartWindow*>(sub->widget())) chart->refresh();
}

}  // namespace

DialogOpener drawing_options_dialog(Str command) {
    switch (command) {
        case Str::GuiDrawingOptions: return &open_drawing_dialog<DrawingDialog>;
        case Str::GuiFonts: return &open_drawing_dialog<FontsDialog>;
        case Str::GuiColors: return &open_drawing_dialog<ColoursDialog>;
        case Str::GuiPlanetColors: return &open_drawing_dialog<PlanetColoursDialog>;
        case Str::GuiPlanetHouseColors: return &open_drawing_dialog<HouseHalosDialog>;
        default: return nullptr;
    }
}

}  // namespace tellurim
