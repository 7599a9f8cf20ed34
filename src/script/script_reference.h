#pragma once
// The reference of the script commands (docs/script-commands.md), made from the command table
// and the reference texts (src/script/reference_*.txt, built into the program). Each text holds
// one block per command:
//
//     NameOfPlanet
//       returns: text, the planet's name (0 Sun, 1 Moon, ... 17)
//       errors: a planet number outside 0 to 17
//       example: NameOfPlanet 0
//
// Every example is run in one interpreter, with the sample chart current, and its result (or
// error message) is written under it, so the reference shows what the commands answer today.

#include <string>
#include <string_view>
#include <vector>

namespace tellurim {

struct ReferenceSource {
    std::string_view name;  // "reference_chart.txt"
    std::string_view text;
};
// The reference texts built into the program, in file-name order.
std::vector<ReferenceSource> script_reference_sources();

struct ScriptReference {
    std::string markdown;
    // What is wrong with the texts: a command without a block, a block without an example,
    // a block for no command, a line that is not understood. The markdown is still made.
    std::vector<std::string> faults;
};
ScriptReference make_script_reference(const std::vector<ReferenceSource>& sources);

}  // namespace tellurim
