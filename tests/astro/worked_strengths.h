#pragma once
// The strengths of two charts worked by hand, component by component (1 to 16), from the
// positions `tellurim chart --ephemeris low` prints, rounded to 0.01 degree; the inputs and
// the conventions of the workings are in strengths_test.cpp, the workings beside each value.

#include <array>

namespace tellurim::worked {

struct Expected {
    int component;
    std::array<double, 7> values;  // Sun .. Saturn
    const char* working;
};

// Day chart: 1990-06-15 10:00 UT, Paris (2d20'E, 48d51'N).
inline constexpr Expected kDayChartRows[] = {
    {1, {48.1633, 33.9067, 17.0033, 52.62, 45.52, 50.4467, 38.8333},
     "|54.51-199|=144.49/3; |314.72-213|=101.72/3; 308.99->51.01/3; 157.86/3; 223.44->136.56/3; "
     "208.66->151.34/3; 243.5->116.5/3"},
    // Sun: rasi Venus 0 -> 7.5, hora Sun itself 30, drekkana Saturn -2 -> 1.875, saptamsa
    // Mars 2 -> 22.5, navamsa Sun 30, dwadasamsa and trimsamsa Saturn 1.875 each.
    {2, {95.625, 0, 0, 0, 0, 0, 0}, "Sun 7.5+30+1.875+22.5+30+1.875+1.875; others undefined"},
    {3, {0, 0, 0, 0, 0, 0, 0}, "no planet in its moolatrikona band"},
    {4, {15, 0, 15, 15, 15, 30, 15},
     "Sun Leo nav; Moon Aquarius/Aquarius odd; Mercury Aquarius nav; Venus Virgo nav; Mars Libra nav; "
     "Jupiter Gemini+Aquarius; Saturn Sagittarius"},
    {5, {30, 30, 30, 60, 15, 15, 15}, "Taurus, Aquarius, Taurus fixed; Aries movable; Pisces, Gemini, Sagittarius dual"},
    {6, {0, 0, 0, 0, 0, 0, 0}, "decanates 2,1,0,1,1,1,2 against 0,2,1,2,0,0,1"},
    {7, {51.3233, 24.5867, 30.14, 3.1133, 44.32, 43.5833, 46.3033},
     "IC 208.48: 153.97/3, 132.96/3; MC 28.48: 73.76/3, 9.34/3; DS 305.59: 90.42/3, 130.75/3; AS: 138.91/3"},
    {8, {50.7474, 9.2526, 60, 50.7474, 9.2526, 50.7474, 9.2526}, "x = 150 + 2.3333 - 0.0911 = 152.2422; b = x/3"},
    {9, {26.7367, 53.4733, 33.2633, 33.2633, 26.7367, 33.2633, 26.7367},
     "Moon-Sun 260.21 -> 99.79, b = 33.2633; Moon malefic 2(60-b); Mercury benefic b"},
    {10, {60, 0, 0, 0, 0, 60, 0}, "hour 5: Sun; Jupiter always"},
    {11, {0, 15, 0, 75, 0, 60, 0}, "year Moon 15; month 30 + day 45 Venus; hour Jupiter 60"},
    {12, {118.275, 34.225, 54.475, 49.3875, 33.15, 58.35, 56.4875},
     "2.5(24+23.31); 1.25(24+3.38); 1.25(24+19.58); 1.25(24+15.51); 1.25(24+2.52); 1.25(24+22.68); 1.25(24+21.19)"},
    {13, {0, 0, 0, 0, 0, 0, 0}, "no two planets within 1 degree"},
    {14, {6.2379, 23.4074, 4.0450, 6.7710, 7.1941, 4.7242, 3.9675},
     "y = 33037.4167/365.25 = 90.4515; Sun 281.217+1.5467-264.05 = 18.7137/3; Moon 334+3680.4722-344.25 "
     "-> 70.2222/3; Mercury x = 84.17, 264.17x4.094/3.109 = 347.8649 -> 12.1351/3; Venus 269.48x1.602/0.617 "
     "= 699.6871 -> 339.6871 -> 20.3129/3; Mars 297.73x0.524/0.461 = 338.4176 -> 21.5824/3; Jupiter x = -25.98, "
     "154.02x0.083/0.902 = 14.1726/3; Saturn x = 152.92, 332.92x0.034/0.951 = 11.9025/3"},
    {15, {60, 51.43, 25.7, 42.85, 17.14, 34.28, 8.57}, "natural"},
    {16, {-16.3775, 0, 0, 0, 0, 0, 0}, "Sun 0.25(-40.105 + 2.685 - 28.07 - 0.02)"},
};

// Night chart: 1985-01-20 20:30 UT, New Delhi (77d13'E, 28d37'N).
inline constexpr Expected kNightChartRows[] = {
    {1, {24.0933, 18.4267, 30.6267, 47.1033, 52.4, 6.12, 58.02},
     "72.28/3; 55.28/3; 91.88/3; 141.31/3; 202.8->157.2/3; 18.36/3; 185.94->174.06/3"},
    {2, {82.5, 0, 0, 0, 30, 30, 0},
     "Sun: Saturn 0 (x4) 7.5 each, Moon 2 (hora, saptamsa) 22.5 each, Venus 0 7.5; Mars in its own Aries "
     "navamsa and Jupiter in its own Sagittarius 30 each; other relationships undefined"},
    {4, {0, 0, 15, 15, 30, 15, 30}, "Mercury Sagittarius; Venus Pisces nav; Mars Aquarius+Aries; Jupiter Sagittarius; Saturn Libra+Gemini"},
    {5, {60, 15, 15, 30, 30, 15, 60}, "Capricornus; Sagittarius x3; Aquarius x2; Libra"},
    {6, {15, 15, 15, 0, 0, 0, 0}, "Sun 1.28 first, Moon 28.28 third, Mercury 13.12 second"},
    {7, {7.26, 51.74, 41.7, 51.5833, 9.2467, 37.1933, 2.9067},
     "IC 293.06: 21.78/3, 27.74/3; MC 113.06: 155.22/3, 154.75/3; DS 18.22: 125.1/3, 111.58/3; AS 198.22: 8.72/3"},
    {8, {7.3055, 52.6945, 60, 7.3055, 52.6945, 7.3055, 52.6945}, "x = 307.5 + 77.2167 - 2.8001 = 381.9166 -> 21.9166; b = x/3"},
    {9, {59, 118, 59, 1, 59, 1, 59}, "Moon-Sun 3, b = 1; Moon malefic 2 x 59; Mercury malefic 59"},
    {10, {0, 0, 0, 60, 0, 60, 0}, "hour 20: Venus; Jupiter always"},
    {11, {0, 45, 0, 60, 45, 0, 0}, "Mars 15 + 30; Moon 45; Venus 60"},
    {12, {10.025, 60, 59.2625, 23.9, 24.425, 3.4875, 51.6125},
     "2.5(24-19.99); Moon -25 held at -24: 1.25 x 48; 1.25(24+23.41); 1.25(24-4.88); 1.25(24-4.46); "
     "1.25(24-21.21); 1.25(24+17.29)"},
    {14, {53.9771, 34.3053, 14.7640, 39.0071, 37.3658, 5.6904, 2.9730},
     "y = 85.0537; Sun 281.217+1.4544-120.74 = 161.9314/3; Moon 334+3460.8340-297.75 -> 257.0840 -> 102.9160/3; "
     "Mercury x = 59.75, 239.75x1.31682 = 315.7081 -> 44.2919/3; Venus x = -134.93, 45.07x2.59643 = 117.0213/3; "
     "Mars x = -81.38, 98.62x1.13666 = 112.0974/3; Jupiter x = 5.52, 185.52x0.092018 = 17.0711/3; "
     "Saturn x = 69.47, 249.47x0.035752 = 8.9190/3"},
    {16, {-16.085, -15.335, 0, -15.55, 0, 0, 0},
     "Sun -64.34/4; Moon -61.34/4; Venus 0.25(-8.515 - 10.015 - 20.19 + 10.835 - 34.315)"},
};

}  // namespace tellurim::worked
