# interpre.tcl: a written interpretation of the current horoscope.
#
# The texts come from the three interpretation files of the default list, by identifier:
#   file 1  PLANET_in_SIGN            (Sun_in_Aries ... Pluto_in_Pisces)
#   file 2  PLANET_in_house_N         (Sun_in_house_1 ... Pluto_in_house_12)
#   file 3  PLANET1_ASPECT_PLANET2    (Sun_conjunction_Moon ... Neptune_opposition_Pluto)
# with the names that NameOfPlanet and NameOfSign give. Planets are read in the zodiac of the
# settings (GetAstroType: movable, the tropical zodiac, or fixed, the sidereal one); the
# texts' own templates ask for the same zodiac.
#
# The Ascendant is read through its ruler, the classical lord of its sign: the ruler's sign
# and house tell how the personality meets the world, so its two texts stand under the
# Ascendant and the planet list does not repeat them.
#
# Aspects are those of the aspect table (GetAspectPP), as the chart shows them; the five
# major ones have texts, tightest orb first, each with its distance from exact.
#
# With no current horoscope the script asks for a horoscope file (on the command line:
# tellurim script interpre.tcl --horoscope FILE.xml).

set planets {0 1 2 3 4 5 6 11 12 13}

if {![IsCurrentHoroscopeValid]} {
    if {[catch {SetCurrentHoroscope -title "Horoscope to interpret"}]} {
        return
    }
}

set zodiac [lindex {-fix -mov} [GetAstroType]]

# Writes one entry; a missing entry or a failing template leaves its message in the text
# and the reading goes on.
proc entry {id file args} {
    catch {PutAstroTxt $id $file -fromidstr -nocomments {*}$args}
}

proc underline {title} {
    PutTxt $title
    PutTxt [string repeat - [string length $title]]
}

# An angle of a few degrees as degrees and minutes.
proc degrees_minutes {x} {
    set minutes [expr {int(round(abs($x) * 60.0))}]
    return [format "%dd%02d'" [expr {$minutes / 60}] [expr {$minutes % 60}]]
}

proc ordinal {n} {
    switch -- $n {
        1 { return 1st }
        2 { return 2nd }
        3 { return 3rd }
        default { return ${n}th }
    }
}

# The person and the chart.
set person [string trim "[FirstName] [Name]"]
set place {}
foreach part [list [BirthCity] [BirthCountry]] {
    if {[string trim $part] ne ""} { lappend place [string trim $part] }
}
underline "Interpretation of the horoscope of $person"
set born "Born [BirthDateHourUT] UT"
if {[llength $place] > 0} { append born " in [join $place {, }]" }
PutTxt $born
PutTxt "Zodiac: [expr {$zodiac eq {-mov} ? {tropical (movable)} : {sidereal (fixed)}}];\
houses: [TypeOfHouse -name]"
PutTxt ""

# Where each planet stands.
foreach p $planets {
    set name($p) [NameOfPlanet $p]
    set sign($p) [SignOfPlanet $p $zodiac -rasi]
    set house($p) [HouseOccupiedByPlanet $p]
    set retro($p) [expr {[PlanetIsRetro $p] ? { R} : {}}]
    set where($p) [FormatSignLongitude [LongOfPlanet $p $zodiac]]
}
underline "Positions"
foreach p $planets {
    PutTxt [format "%-8s %-24s house %2d%s" $name($p) $where($p) $house($p) $retro($p)]
}
PutTxt ""

# The Ascendant and its ruler.
set ascSign [SignOfPoint [ToZ360 [LongOfPlanet 7 $zodiac]]]
set ruler [LordOfSign $ascSign]
underline "Ascendant"
if {[lsearch -exact $planets $ruler] >= 0} {
    set called [expr {$ruler in {0 1} ? "the $name($ruler)" : $name($ruler)}]
    PutTxt "The Ascendant stands at [FormatSignLongitude [LongOfPlanet 7 $zodiac]]."
    PutTxt "Its ruler, $called, stands in [NameOfSign $sign($ruler)] in the [ordinal $house($ruler)] house."
} else {
    PutTxt "The Ascendant stands at [FormatSignLongitude [LongOfPlanet 7 $zodiac]]."
}
set rising {}
foreach p $planets {
    if {$house($p) == 1} { lappend rising $name($p) }
}
if {[llength $rising] > 0} {
    PutTxt "In the first house, close to the Ascendant: [join $rising {, }]."
}
PutTxt ""
if {[lsearch -exact $planets $ruler] >= 0} {
    entry "$name($ruler)_in_[NameOfSign $sign($ruler)]" 1
    entry "$name($ruler)_in_house_$house($ruler)" 2
}

# Each planet in its sign and its house.
underline "The planets in the signs and houses"
PutTxt ""
foreach p $planets {
    if {$p == $ruler} continue
    entry "$name($p)_in_[NameOfSign $sign($p)]" 1
    entry "$name($p)_in_house_$house($p)" 2
}

# The major aspects, tightest first.
proc aspect_word {angle} {
    foreach {a word} {0 conjunction 60 sextile 90 square 120 trine 180 opposition} {
        if {abs($angle - $a) < 0.01} { return $word }
    }
    return {}
}
set aspectCommand [expr {[llength [info commands GetAspectPP]] ? {GetAspectPP} : {GetAspecPP}}]
set found {}
for {set i 0} {$i < [llength $planets]} {incr i} {
    for {set j [expr {$i + 1}]} {$j < [llength $planets]} {incr j} {
        set p [lindex $planets $i]
        set q [lindex $planets $j]
        if {[catch {$aspectCommand $p $q} rows]} continue
        # Each aspect that holds gives its angle, its orb and the separation (a name before
        # them, if any, is left out).
        set numbers [lmap x $rows {expr {[string is double -strict $x] ? $x : [continue]}}]
        foreach {angle orb separation} $numbers {
            set word [aspect_word $angle]
            if {$word eq {}} continue
            lappend found [list [expr {abs($separation - $angle)}] $p $word $q]
        }
    }
}
underline "Major aspects"
if {[llength $found] == 0} {
    PutTxt "No major aspect within the orbs of the aspect table."
} else {
    PutTxt ""
}
foreach a [lsort -real -index 0 $found] {
    lassign $a off p word q
    # The entry's text starts on the line after its anchor, so it ends this heading line.
    PutTxt -nonewline "$name($p) $word $name($q) (orb [degrees_minutes $off])"
    entry "$name($p)_${word}_$name($q)" 3 -notitle
}
