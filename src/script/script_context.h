#pragma once
// The record every script command receives: one per run, made when the run starts and freed
// when it ends. It holds the run's own horoscope list and a private copy of the options, so
// nothing a script does reaches the application's horoscopes or settings.

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/horoscope.h"
#include "core/messages.h"
#include "core/options.h"

namespace tellurim {

struct HinduAspectTable;
class WorkerThreads;
struct StarCatalogue;
struct InterpList;
struct AspectTable;
namespace script_chart {
struct ComputeTools;
}

// What a run asks of its surroundings besides message boxes: the open-file dialog of
// SetCurrentHoroscope. The command line answers it from its --horoscope files, in order.
struct ScriptDialogs {
    // The chosen horoscope file, or nullopt when the dialog is cancelled.
    std::function<std::optional<std::string>(const std::string& title)> open_horoscope;
};

struct ScriptContext {
    std::vector<std::unique_ptr<Horoscope>> horoscopes;  // the run's own list
    int current = -1;                                    // index in `horoscopes`, -1 for none
    MessageSink* messages = nullptr;                     // the run's message boxes
    WorkerThreads* workers = nullptr;                    // the application's worker table
    const StarCatalogue* stars = nullptr;                // may be absent
    const AspectTable* aspects = nullptr;                // the application's; null: the defaults
    void* application = nullptr;                         // passed through from the caller
    Options options;                                     // private copy, discarded at the end
    std::int32_t boxed_value = 0;
    InterpList* interp_files = nullptr;                  // the application's list, shared
    // The horoscopes directory (GetHoroscopeDirectory) and the application's Hindu aspect
    // table (HAspectedBy, HQualityOfAspect; null: the default table).
    std::string horoscopes_dir;
    const HinduAspectTable* hindu_aspects = nullptr;
    std::uint8_t debug = 0;                              // SetPRDebug: flush every channel write
    std::string message;                                 // the error being reported (499 characters)
    std::string scratch;
    std::string* error_text = nullptr;                   // where command errors go: the run text
    std::string* output_text = nullptr;                  // where PutTxt writes: the run text
    ScriptDialogs dialogs;
    // Whether PutTxt copies its text to Tcl's standard output channel. A command-line TCL run
    // prints its run text on standard output at its end, and leaves the copy out.
    bool echo_to_stdout = true;
    // The ephemeris provider of ComputeHoroscope and SetCurrentHoroscope, made when one of them
    // first computes (script/commands_chart.h).
    std::shared_ptr<script_chart::ComputeTools> compute_tools;

    // The current horoscope, or nullptr.
    Horoscope* current_horoscope() const {
        if (current < 0 || static_cast<std::size_t>(current) >= horoscopes.size()) return nullptr;
        return horoscopes[static_cast<std::size_t>(current)].get();
    }
};

}  // namespace tellurim
