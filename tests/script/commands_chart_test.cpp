// The chart commands, row by row from tests/data/script/commands_chart.txt (its header gives
// the format): their results on the sample chart, checked against `tellurim chart --json`, and
// their exact messages for wrong counts, words, numbers and ranges.
#include <gtest/gtest.h>
#include <tcl.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

#include "files/options_file.h"
#include "script/tcl_host.h"

namespace tellurim {
namespace {

struct Row {
    int line;
    std::string script;
    std::string expected;
};

// A line beginning with a space continues the expected text of the row above.
std::vector<Row> read_rows(const std::string& path) {
    std::ifstream in(path);
    std::vector<Row> rows;
    std::string line;
    for (int n = 1; std::getline(in, line); ++n) {
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == ' ' && !rows.empty()) {
            rows.back().expected += "\n" + line;
            continue;
        }
        const std::size_t arrow = line.find(" => ");
        if (arrow == std::string::npos) rows.push_back({n, line, "?"});
        else rows.push_back({n, line.substr(0, arrow), line.substr(arrow + 4)});
    }
    return rows;
}

// Numbers compare within 1e-9 degrees, word by word: the JSON and Tcl may round the last
// digit apart, and an aspect's separation differs in it with the order of the planets.
bool same(const std::string& got, const std::string& want) {
    // The spaces must be the same ones: a message's final space is part of it.
    if (std::count(got.begin(), got.end(), ' ') != std::count(want.begin(), want.end(), ' ')) return false;
    std::istringstream g(got), w(want);
    std::string a, b;
    while (true) {
        const bool more_a = static_cast<bool>(g >> a), more_b = static_cast<bool>(w >> b);
        if (more_a != more_b) return false;
        if (!more_a) return true;
        if (a == b) continue;
        char* end_a = nullptr;
        char* end_b = nullptr;
        const double x = std::strtod(a.c_str(), &end_a), y = std::strtod(b.c_str(), &end_b);
        if (*end_a || *end_b || !(std::abs(x - y) < 1e-9)) return false;
    }
}

TEST(ChartCommands, Rows) {
    setenv("TELLURIM_LIB_DIR", TELLURIM_BIN_DIR, 0);
    SilentMessages silent;
    std::string run_text;
    ScriptContext ctx;
    ctx.messages = &silent;
    ctx.error_text = &run_text;
    ctx.output_text = &run_text;
    ctx.echo_to_stdout = false;
    ctx.options = make_default_options("/tmp");
    ctx.options.astro.house_system = kPlacidus;
    ctx.options.astro.zodiac_movable = 1;
    auto interp = TclInterpreter::create(ctx, ScriptKind::Tcl);
    ASSERT_TRUE(interp);
    const auto rows = read_rows(std::string(TELLURIM_TEST_DATA_DIR) + "/script/commands_chart.txt");
    ASSERT_GT(rows.size(), 100u);
    for (const Row& row : rows) {
        SCOPED_TRACE("line " + std::to_string(row.line) + ": " + row.script);
        const int code = Tcl_EvalEx(interp->get(), row.script.c_str(), -1, TCL_EVAL_GLOBAL);
        const std::string result = Tcl_GetStringResult(interp->get());
        EXPECT_TRUE(same(code == TCL_ERROR ? "error: " + result : result, row.expected))
            << "got: " << (code == TCL_ERROR ? "error: " : "") << result << "|\nwant: " << row.expected << "|";
    }
}

}  // namespace
}  // namespace tellurim
