#pragma once
// The desktop application's object: what it loads at start-up and owns until exit (settings,
// aspect table, ephemeris provider, interpretation list, script menu, stars, Hindu aspect
// table, worker table), and the process-wide list of open horoscopes. It holds no widget:
// the windows ask it to compute, open, save and move, and show what it gives.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/cli_settings.h"
#include "astro/hindu_aspects.h"
#include "astro/stars.h"
#include "core/ephemeris_library.h"
#include "core/horoscope.h"
#include "core/messages.h"
#include "core/worker_threads.h"
#include "draw/wheel_painter.h"
#include "files/interp_texts.h"
#include "files/option_edits.h"
#include "script/script_menu.h"
#include "script/tcl_host.h"

namespace tellurim {

// One open horoscope, and the horoscope superposed outside it on its chart.
struct OpenChart {
    std::unique_ptr<Horoscope> horoscope;
    std::unique_ptr<Horoscope> outside;
    std::string path;        // its file; empty until saved
    bool unsaved = true;     // computed or moved since it was last saved or opened
    bool outside_hidden = false;
    std::string title() const;  // "Name First name"
};

class TellurimApp {
public:
    struct Overrides {
        std::string private_dir;
        std::string horoscopes_dir;
    };
    TellurimApp(MessageSink& messages, Overrides overrides);
    // Releases in the shutdown order: worker table, ephemeris provider, options, interpretation
    // list, stars, aspect table, horoscopes, script menu, Hindu aspect table.
    ~TellurimApp();
    TellurimApp(const TellurimApp&) = delete;
    TellurimApp& operator=(const TellurimApp&) = delete;

    // The start-up steps in order, each failure told and the next step run all the same. False
    // only when the private directory or the options file cannot be established (exit status 1).
    bool start();

    MessageSink& messages() { return m_messages; }
    const Options& options() const { return m_settings->options; }
    const std::string& private_dir() const { return m_settings->private_dir; }
    const std::string& horoscopes_dir() const { return m_settings->horoscopes_dir; }
    WorkerThreads& workers() { return *m_workers; }
    // The loaded ephemeris provider (the ephemeris dialog shows its texts and loads it again).
    EphemerisLibrary& ephemeris() { return *m_library; }
    // Changes the settings as `tellurim options set` does: `change` edits the record as the
    // options file holds it now, under the file's lock, and returns whether to save it; the
    // record held here is then the one saved. False after telling the user when the file
    // could not be written.
    bool update_options(const std::function<bool(Options&)>& change);
    // Changes settings as `tellurim options set` does (the same rows, checks and locked save);
    // the record in force is the one saved. Nothing is written when one value is refused.
    OptionEditsResult edit_options(const std::vector<OptionEdit>& edits);
    // The settings as the settings dialogs change them: after a dialog has saved the options
    // file or moved a directory, the record and the directories of the run are these.
    CliSettings& settings() { return *m_settings; }
    InterpList& interp_list() { return *m_interp; }
    const std::vector<ScriptMenuEntry>& script_menu() const { return m_script_menu; }
    // For the tools that compute horoscopes of their own (the solar return).
    const CliSettings& settings() const { return *m_settings; }
    // An empty horoscope with the application's aspect table, and the list taking it over.
    std::unique_ptr<Horoscope> blank_horoscope() const { return new_horoscope(); }
    OpenChart* adopt(std::unique_ptr<Horoscope> h) { return add(std::move(h), true); }

    // The process-wide horoscope list, in the order opened or computed.
    const std::vector<std::unique_ptr<OpenChart>>& horoscopes() const { return m_horoscopes; }
    // A horoscope named "Now" for the present moment at "My city", with its correction.
    OpenChart* compute_now();
    BirthData now_birth() const;
    // A horoscope of birth data (the new-chart dialog's).
    OpenChart* compute_birth(const BirthData& data);
    // A horoscope file, recomputed with the current options.
    OpenChart* open_file(const std::string& path);
    // Recomputes with the current options; false after telling why.
    bool recompute(OpenChart& chart);
    // Saves to `path` (asking before replacing another file); true when written.
    bool save(OpenChart& chart, const std::string& path);
    // The default file name of a save.
    std::string default_file_name(const OpenChart& chart) const;
    // Superposes a horoscope of birth data, for now, or a file's, outside `chart`.
    bool superpose(OpenChart& chart, const BirthData& data);
    bool superpose_now(OpenChart& chart);
    bool superpose_file(OpenChart& chart, const std::string& path);
    // Swaps the inside and outside horoscopes.
    void permute(OpenChart& chart);
    // Moves the outside horoscope (or the inside one) by `minutes` and recomputes it.
    bool move(OpenChart& chart, bool outside, double minutes);
    // Back to the moment first entered.
    bool move_to_initial(OpenChart& chart, bool outside);
    // True when a horoscope has changes not saved.
    bool any_unsaved() const;

    // What the chart window paints, and its style (from the drawing settings in force, so that
    // a change of colours or fonts reaches the open charts).
    WheelInput wheel_input(const OpenChart& chart) const;
    WheelStyle wheel_style(const OpenChart& chart) const;
    // Runs a script with the application's settings and tables: TCL on this thread, TK on a
    // worker slot. Its open-file dialog is answered with a private copy of `h` when given, and
    // by `dialogs` otherwise. `show_text` receives the run text of a TCL run, or the failure
    // report of a TK run (from the worker's thread). False when the run failed or could not start.
    bool run_script(const std::string& file, ScriptKind kind, const Horoscope* h, ScriptDialogs dialogs,
                    std::function<bool(const std::string&)> show_text);

    // The results report of a horoscope in a document format (0 to 4, kDocHtml for the view).
    std::string report(const Horoscope& h, int format) const;

    // --- settings changed by the dialogs; the open horoscopes keep theirs until recomputed ---
    // Takes the options file and "aspects.pra" as they are now (a `tellurim` command may have
    // changed them since), before a dialog shows them.
    void reread_settings();
    // The aspect table in force; `save_aspects` sorts and saves a new one, then puts it in
    // force (false, and told, when "aspects.pra" cannot be written).
    const AspectTable& aspects() const { return m_settings->aspects; }
    bool save_aspects(const AspectTable& table);
    // The Hindu aspect table in force, and a new one (already saved) put in force.
    const HinduAspectTable& hindu_aspects() const { return *m_hindu; }
    void set_hindu_aspects(const HinduAspectTable& table) { *m_hindu = table; }

private:
    OpenChart* add(std::unique_ptr<Horoscope> h, bool unsaved);
    std::unique_ptr<Horoscope> new_horoscope() const;
    bool compute_into(Horoscope& h, const BirthData& data);

    MessageSink& m_messages;
    Overrides m_overrides;
    std::unique_ptr<CliSettings> m_settings;
    std::unique_ptr<EphemerisLibrary> m_library;
    std::unique_ptr<InterpList> m_interp;
    std::vector<ScriptMenuEntry> m_script_menu;
    std::unique_ptr<StarCatalogue> m_stars;
    std::unique_ptr<HinduAspectTable> m_hindu;
    std::unique_ptr<WorkerThreads> m_workers;
    std::vector<std::unique_ptr<OpenChart>> m_horoscopes;
};

}  // namespace tellurim
