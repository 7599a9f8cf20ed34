// screen_grab OUT.png [WIDTH HEIGHT]: saves the X display's screen (its top left corner of
// WIDTH x HEIGHT pixels when given) as a PNG file. Used with Xvfb for the README's picture of
// the Tk script hindu_horoscope_tk.tcl, whose window opens in that corner.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cstdlib>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2 && argc != 4) {
        std::fprintf(stderr, "usage: screen_grab OUT.png [WIDTH HEIGHT]\n");
        return 2;
    }
    QGuiApplication app(argc, argv);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return 1;
    const int width = argc == 4 ? std::atoi(argv[2]) : -1;
    const int height = argc == 4 ? std::atoi(argv[3]) : -1;
    const QPixmap picture = screen->grabWindow(0, 0, 0, width, height);
    return !picture.isNull() && picture.save(QString::fromLocal8Bit(argv[1]), "PNG") ? 0 : 1;
}
