// The README's wheel pictures (docs/*.png) are what the program draws now: tools/readme-wheel.sh,
// the script of `make readme-wheel`, draws them again into a temporary directory, and the
// decoded pixels are compared with the committed files.
#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const fs::path kSource = TELLURIM_SOURCE_DIR;

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
