// The README against the program: the settings keys and repository paths it names exist, and
// its wheel pictures (docs/*.png) are what the program draws now.
#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <unistd.h>

#include "files/option_keys.h"

namespace tellurim {
namespace {

namespace fs = std::filesystem;

const fs::path kSource = TELLURIM_SOURCE_DIR;

// Every key the README names, in an `options get|set` example or in the first column of the
// settings table, is one the program knows (templates such as nakshatras.N.name aside).
TEST(ReadmeOptionKeys, EveryNamedKeyExists) {
    std::ifstream in(kSource / "README.md");
    const std::regex command(R"(options (?:get|set) (?:-- )?([a-z][a-z0-9-]*(?:\.[a-z0-9-]+)+)\b(?![.*]))");
    const std::regex cell(R"(`([a-z][a-z0-9-]*(?:\.[a-z0-9-]+)+)`)");
    int named = 0;
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> keys;
        for (std::sregex_iterator m(line.begin(), line.end(), command), end; m != end; ++m) keys.push_back((*m)[1]);
        if (line.rfind("| `", 0) == 0) {
            const std::string first = line.substr(0, line.find(" |", 2));
            // File names in other tables (`libephlow.so`) are no keys.
            for (std::sregex_iterator m(first.begin(), first.end(), cell), end; m != end; ++m)
                if (!std::string((*m)[1]).ends_with(".so")) keys.push_back((*m)[1]);
        }
        for (const std::string& key : keys) {
            ++named;
            EXPECT_NE(find_option_key(key), nullptr) << key << " in: " << line;
        }
    }
    EXPECT_GT(named, 20);
}

// Every file of the repository that the README names by its path (`tools/readme-wheel.sh`,
// `data/db/sqlite/schema.sql`) is there; what the build or `make run` writes is left aside.
TEST(ReadmePaths, EveryNamedSourceFileExists) {
    std::ifstream in(kSource / "README.md");
    const std::string readme((std::istreambuf_iterator<char>(in)), {});
    const std::regex path(R"(`([A-Za-z][\w.-]*(?:/[\w.-]+)+\.(?:ini|sql|sh|py|cpp|h|def|png|md|cmake))`)");
    int named = 0;
    for (std::sregex_iterator m(readme.begin(), readme.end(), path), end; m != end; ++m) {
        const std::string p = (*m)[1];
        if (p.starts_with("out/") || p.starts_with("build")) continue;
        ++named;
        EXPECT_TRUE(fs::exists(kSource / p)) << p;
    }
    EXPECT_GT(named, 10);
}

// The pictures are drawn again by tools/readme-wheel.sh, the script of `make readme-wheel`,
// into a temporary directory, and the decoded pixels are compared with the committed files.
// Antialiased edges may round one level apart between builds; a picture that no longer
// matches differs by far more (a glyph moved, a star mark or line gone).
constexpr int kChannelTolerance = 8;
constexpr long kMaxDifferingPixels = 16;

TEST(ReadmePictures, MatchWhatTheProgramDraws) {
    if (!fs::exists(kSource / "data/stars/stars.spra")) GTEST_SKIP() << "run tools/make-data.sh first";
    const fs::path dir = fs::temp_directory_path() / ("tellurim-readme-pictures-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    const std::string command = "bash '" + (kSource / "tools/readme-wheel.sh").string() + "' '" +
                                std::string(TELLURIM_BIN_DIR) + "/tellurim' '" + dir.string() + "' 2>/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    for (const char* name : {"sample-wheel.png", "sample-transits.png"}) {
        SCOPED_TRACE(name);
        const QImage committed = QImage(QString::fromStdString((kSource / "docs" / name).string()))
                                     .convertToFormat(QImage::Format_ARGB32);
        const QImage drawn = QImage(QString::fromStdString((dir / name).string())).convertToFormat(QImage::Format_ARGB32);
        ASSERT_FALSE(committed.isNull());
        ASSERT_FALSE(drawn.isNull());
        ASSERT_EQ(committed.size(), drawn.size());
        long differing = 0;
        int first_x = -1, first_y = -1;
        for (int y = 0; y < drawn.height(); ++y) {
            const auto* a = reinterpret_cast<const QRgb*>(committed.constScanLine(y));
            const auto* b = reinterpret_cast<const QRgb*>(drawn.constScanLine(y));
            for (int x = 0; x < drawn.width(); ++x) {
                const int d = std::max({std::abs(qRed(a[x]) - qRed(b[x])), std::abs(qGreen(a[x]) - qGreen(b[x])),
                                        std::abs(qBlue(a[x]) - qBlue(b[x])), std::abs(qAlpha(a[x]) - qAlpha(b[x]))});
                if (d <= kChannelTolerance) continue;
                if (differing++ == 0) first_x = x, first_y = y;
            }
        }
        EXPECT_LE(differing, kMaxDifferingPixels)
            << differing << " pixels differ, the first at (" << first_x << ", " << first_y
            << "): run `make readme-wheel` and commit docs/";
    }
    fs::remove_all(dir);
}

}  // namespace
}  // namespace tellurim
