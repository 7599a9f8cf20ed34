// The command reference: docs/script-commands.md is what the generator makes today, and the
// generator says what is missing from the reference texts.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "script/script_reference.h"

namespace tellurim {
namespace {

TEST(ScriptReference, CommittedFileIsCurrent) {
    const ScriptReference reference = make_script_reference(script_reference_sources());
    EXPECT_THAT(reference.faults, testing::IsEmpty());
    std::ifstream in(std::string(TELLURIM_SOURCE_DIR) + "/docs/script-commands.md", std::ios::binary);
    std::stringstream committed;
    committed << in.rdbuf();
    // Not EXPECT_EQ: a difference of 100 kB would drown the log.
    EXPECT_TRUE(reference.markdown == committed.str())
        << "docs/script-commands.md is stale: run `tellurim script --reference docs/script-commands.md`";
}

TEST(ScriptReference, FaultsOfTheTexts) {
    const ReferenceSource source{"reference_t.txt",
                                 "GetLang\n  returns: text\n"
                                 "NoSuchCommand\n  example: GetLang\n"
                                 "  colour: red\n"
                                 "GetPlanetCount\n  example: GetPlanetCount\n"};
    const ScriptReference reference = make_script_reference({source});
    using testing::Contains;
    EXPECT_THAT(reference.faults, Contains("no example for GetLang"));
    EXPECT_THAT(reference.faults, Contains("no block for exit"));
    EXPECT_THAT(reference.faults, Contains("a block for no command: NoSuchCommand"));
    EXPECT_THAT(reference.faults, Contains("reference_t.txt:5: unknown key colour"));
    EXPECT_THAT(reference.markdown, testing::HasSubstr("% GetPlanetCount\n18\n"));
}

}  // namespace
}  // namespace tellurim
