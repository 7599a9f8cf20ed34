#include <QDialog>

#include "gui/aspect_dialogs.h"
#include "gui/chart_windows.h"
#include "gui/main_window.h"
#include "gui/settings_dialogs.h"
#include "gui/table_dialogs.h"

namespace tellurim {
namespace {

// The open horoscopes computed again with the settings now in force, and their windows
// redrawn; a horoscope saved before stays saved (its file holds the birth, not the settings).
void recompute_open_charts(MainWindow& w) {
    TellurimApp& app = w.app();
    for (const auto& chart : app.horoscopes()) {
        const bool unsaved = chart->unsaved;
        if (app.recompute(*chart)) chart->unsaved = unsaved;
        w.refresh(*chart);
    }
}

template <class Dialog>
bool run(MainWindow& w) {
    w.app().reread_settings();
    Dialog d(w.app(), &w);
    return d.exec() == QDialog::Accepted;
}

void open_aspects(MainWindow& w) {
    if (run<AspectsDialog>(w)) recompute_open_charts(w);
}

void open_hindu_aspects(MainWindow& w) {
    // The wheels draw with the table in force: a redraw is enough.
    if (run<HinduAspectsDialog>(w))
        for (const auto& chart : w.app().horoscopes()) w.refresh(*chart);
}

void open_exaltations(MainWindow& w) {
    if (run<ExaltationsDialog>(w)) recompute_open_charts(w);
}

void open_nakshatras(MainWindow& w) {
    if (run<NakshatrasDialog>(w)) recompute_open_charts(w);
}

void open_filter(MainWindow& w, bool houses) {
    ChartWindow* c = w.active_chart();
    if (!c) return;
    OpenChart& chart = c->chart();
    AspectFilterDialog d(w.app(), chart, houses, [&w, &chart] { w.refresh(chart); }, &w);
    d.exec();
}

}  // namespace

DialogOpener options_dialog(Str command) {
    switch (command) {
        case Str::GuiAspects: return &open_aspects;
        case Str::GuiHinduAspects: return &open_hindu_aspects;
        case Str::GuiExaltations: return &open_exaltations;
        case Str::GuiNakshatras: return &open_nakshatras;
        case Str::GuiPlanetsFilter: return [](MainWindow& w) { open_filter(w, false); };
        case Str::GuiHousesFilter: return [](MainWindow& w) { open_filter(w, true); };
        default: return nullptr;
    }
}

}  // namespace tellurim
