# yogas.tcl: scans the current horoscope for classical yogas of Hindu astrology and prints
# the ones present, each with the positions that make it.
#
# Conventions of the scan, as in the classical texts:
# - the sidereal (fixed) zodiac and the birth chart (rasi);
# - houses are whole signs counted from the sign of the Ascendant (the Lagna), or from the
#   sign of another planet when a rule says "from the Moon" or "from the Sun": the sign itself
#   is the 1st, the next one the 2nd, and so on;
# - the kendras are the 1st, 4th, 7th and 10th, the trikonas the 1st, 5th and 9th, the
#   dusthanas the 6th, 8th and 12th;
# - the lord of a sign is its classical lord (LordOfSign: Mars for Aries and Scorpio, Venus
#   for Taurus and Libra, Mercury for Gemini and Virgo, the Moon for Cancer, the Sun for Leo,
#   Jupiter for Sagittarius and Pisces, Saturn for Capricorn and Aquarius);
# - the natural benefics are Mercury, Venus and Jupiter.
# Each rule below is written out before the code that tests it.
#
# With no current horoscope the script asks for a horoscope file.

if {![IsCurrentHoroscopeValid]} {
    if {[catch {SetCurrentHoroscope -title "Horoscope to scan for yogas"}]} {
        return
    }
}

# Sun, Moon, Mars, Mercury, Jupiter, Venus, Saturn, Rahu, Kethu and the Ascendant (7).
set grahas {0 1 4 2 5 3 6 9 10}
set seven {0 1 4 2 5 3 6}
foreach p [concat $grahas 7] {
    set sign($p) [SignOfPlanet $p -fix -rasi]
    set name($p) [NameOfPlanet $p]
}
set name(7) Lagna

# Own signs and exaltation signs (sign numbers, Aries 0).
array set own {0 {4} 1 {3} 4 {0 7} 2 {2 5} 5 {8 11} 3 {1 6} 6 {9 10}}
array set exalted {0 0 1 1 4 9 2 5 5 3 3 11 6 6}

# The house of sign `to` counted from sign `from`, 1 to 12.
proc count_from {from to} {
    return [expr {($to - $from + 12) % 12 + 1}]
}
# The house of planet p counted from planet q (the Lagna is 7).
proc house_from {q p} {
    global sign
    return [count_from $sign($q) $sign($p)]
}
proc in_sign {p} {
    global name sign
    return "$name($p) in [NameOfSign $sign($p)]"
}
proc ordinal {n} {
    switch -- $n {
        1 { return 1st }
        2 { return 2nd }
        3 { return 3rd }
        default { return ${n}th }
    }
}
proc kendra {h} { return [expr {$h in {1 4 7 10}}] }
proc dignity {p} {
    global own exalted sign
    if {$sign($p) == $exalted($p)} { return "its exaltation sign" }
    if {$sign($p) in $own($p)} { return "its own sign" }
    return {}
}
# The lord of house h counted from the Lagna.
proc lord_of_house {h} {
    global sign
    return [LordOfSign [expr {($sign(7) + $h - 1) % 12}]]
}
# The planets among `candidates` standing in house h counted from planet q.
proc planets_in_house_from {q h candidates} {
    set found {}
    foreach p $candidates {
        if {[house_from $q $p] == $h} { lappend found $p }
    }
    return $found
}
proc names {planets} {
    global name
    set out {}
    foreach p $planets { lappend out $name($p) }
    return [join $out {, }]
}

set present {}
set absent {}
# Records a yoga: its name, whether it holds, and the reason written when it does.
proc yoga {title holds reason} {
    global present absent
    if {$holds} {
        lappend present [list $title $reason]
    } else {
        lappend absent $title
    }
}

# 1. Gaja Kesari: Jupiter in a kendra (1st, 4th, 7th or 10th) from the Moon.
set h [house_from 1 5]
yoga "Gaja Kesari" [kendra $h] \
    "[in_sign 5] stands in the [ordinal $h] sign from the [in_sign 1], a kendra."

# 2. Budha-Aditya: Mercury in the same sign as the Sun.
yoga "Budha-Aditya" [expr {$sign(2) == $sign(0)}] \
    "Mercury and the Sun share [NameOfSign $sign(0)]."

# 3. Chandra-Mangala: the Moon and Mars in the same sign, or in the 7th from each other.
set h [house_from 1 4]
yoga "Chandra-Mangala" [expr {$h == 1 || $h == 7}] \
    [expr {$h == 1 ? "The Moon and Mars share [NameOfSign $sign(1)]." :
           "[in_sign 4] stands in the 7th sign from the [in_sign 1]."}]

# 4 to 8. Pancha Mahapurusha: Mars (Ruchaka), Mercury (Bhadra), Jupiter (Hamsa), Venus
# (Malavya) or Saturn (Sasa) in its own or its exaltation sign, in a kendra from the Lagna.
foreach {p title} {4 Ruchaka 2 Bhadra 5 Hamsa 3 Malavya 6 Sasa} {
    set h [house_from 7 $p]
    set d [dignity $p]
    yoga "$title (Pancha Mahapurusha)" [expr {$d ne {} && [kendra $h]}] \
        "[in_sign $p], $d, stands in the [ordinal $h] house from the Lagna, a kendra."
}

# 9 to 12. The Moon's yogas, from the planets other than the Sun, Rahu and Kethu:
#   Sunapha: one or more of them in the 2nd from the Moon;
#   Anapha: one or more in the 12th from the Moon;
#   Durudhara: some in the 2nd and some in the 12th from the Moon;
#   Kemadruma: none in the 2nd, none in the 12th and none with the Moon; it is cancelled
#   when a planet stands in a kendra from the Moon.
set others {4 2 5 3 6}
set second [planets_in_house_from 1 2 $others]
set twelfth [planets_in_house_from 1 12 $others]
set with [planets_in_house_from 1 1 $others]
yoga "Sunapha" [expr {[llength $second] > 0}] \
    "[names $second] in the 2nd sign from the [in_sign 1]."
yoga "Anapha" [expr {[llength $twelfth] > 0}] \
    "[names $twelfth] in the 12th sign from the [in_sign 1]."
yoga "Durudhara" [expr {[llength $second] > 0 && [llength $twelfth] > 0}] \
    "[names $second] in the 2nd and [names $twelfth] in the 12th sign from the [in_sign 1]."
set kendras {}
foreach h {4 7 10} {
    set kendras [concat $kendras [planets_in_house_from 1 $h $others]]
}
set lonely [expr {[llength $second] == 0 && [llength $twelfth] == 0 && [llength $with] == 0}]
if {$lonely && [llength $kendras] > 0} {
    yoga "Kemadruma (cancelled)" 1 \
        "No planet stands with the [in_sign 1] or beside it, but a planet in a kendra from\
it ([names $kendras]) cancels the yoga."
} else {
    yoga "Kemadruma" $lonely \
        "No planet stands with the [in_sign 1], in the sign before it or in the sign after it,\
and none in a kendra from it."
}

# 13 to 15. The Sun's yogas, from the planets other than the Moon, Rahu and Kethu:
#   Vesi: one or more of them in the 2nd from the Sun; Vosi: in the 12th; Ubhayachari: both.
set second [planets_in_house_from 0 2 $others]
set twelfth [planets_in_house_from 0 12 $others]
yoga "Vesi" [expr {[llength $second] > 0}] \
    "[names $second] in the 2nd sign from the [in_sign 0]."
yoga "Vosi" [expr {[llength $twelfth] > 0}] \
    "[names $twelfth] in the 12th sign from the [in_sign 0]."
yoga "Ubhayachari" [expr {[llength $second] > 0 && [llength $twelfth] > 0}] \
    "[names $second] in the 2nd and [names $twelfth] in the 12th sign from the [in_sign 0]."

# 16. Adhi: each of the three natural benefics in the 6th, 7th or 8th from the Moon.
set benefics {2 3 5}
set placed {}
foreach p $benefics {
    if {[house_from 1 $p] in {6 7 8}} { lappend placed $p }
}
yoga "Adhi" [expr {[llength $placed] == 3}] \
    "Mercury, Venus and Jupiter all stand in the 6th, 7th or 8th sign from the [in_sign 1]."

# 17. Amala: a natural benefic in the 10th from the Lagna or from the Moon.
set fromLagna [planets_in_house_from 7 10 $benefics]
set fromMoon [planets_in_house_from 1 10 $benefics]
set where {}
if {[llength $fromLagna] > 0} { lappend where "[names $fromLagna] in the 10th house from the Lagna" }
if {[llength $fromMoon] > 0} { lappend where "[names $fromMoon] in the 10th sign from the Moon" }
yoga "Amala" [expr {[llength $where] > 0}] "[join $where {; }]."

# 18. Shakata: Jupiter in the 6th, 8th or 12th from the Moon (a yoga of ups and downs).
set h [house_from 1 5]
yoga "Shakata" [expr {$h in {6 8 12}}] \
    "[in_sign 5] stands in the [ordinal $h] sign from the [in_sign 1]."

# 19. Parivartana: two of the seven planets each in a sign of which the other is the lord
# (an exchange of signs).
set exchanges {}
foreach p $seven {
    foreach q $seven {
        if {$p < $q && [LordOfSign $sign($p)] == $q && [LordOfSign $sign($q)] == $p} {
            lappend exchanges "[in_sign $p] and [in_sign $q]"
        }
    }
}
yoga "Parivartana" [expr {[llength $exchanges] > 0}] \
    "An exchange of signs: [join $exchanges {; }]."

# 20. Raja: the lord of a kendra (1st, 4th, 7th, 10th) and the lord of a trikona (5th, 9th)
# stand in one sign, being different planets.
set kendraLords {}
foreach k {1 4 7 10} { dict lappend kendraLords [lord_of_house $k] [ordinal $k] }
set trikonaLords {}
foreach t {5 9} { dict lappend trikonaLords [lord_of_house $t] [ordinal $t] }
set pairs {}
dict for {a ks} $kendraLords {
    dict for {b ts} $trikonaLords {
        if {$a != $b && $sign($a) == $sign($b)} {
            lappend pairs "$name($a), lord of the [join $ks { and }], with $name($b), lord of the\
[join $ts { and }], in [NameOfSign $sign($a)]"
        }
    }
}
yoga "Raja" [expr {[llength $pairs] > 0}] "[join $pairs {; }]."

# 21. Viparita Raja: the lord of a dusthana (6th, 8th, 12th) in another dusthana; Harsha for
# the lord of the 6th, Sarala for the 8th, Vimala for the 12th.
set viparita {}
foreach {d title} {6 Harsha 8 Sarala 12 Vimala} {
    set l [lord_of_house $d]
    set h [house_from 7 $l]
    if {$h in {6 8 12} && $h != $d} {
        lappend viparita "$title: $name($l), lord of the [ordinal $d], in the [ordinal $h] house"
    }
}
yoga "Viparita Raja" [expr {[llength $viparita] > 0}] "[join $viparita {; }]."

# 22. Kala Sarpa: the seven planets all on one side of the axis of Rahu and Kethu.
set rahu [FixLongOfPlanet 9]
set ahead 0
foreach p $seven {
    if {fmod([FixLongOfPlanet $p] - $rahu + 720.0, 360.0) < 180.0} { incr ahead }
}
yoga "Kala Sarpa" [expr {$ahead == 0 || $ahead == 7}] \
    "The seven planets stand on one side of the axis of Rahu and Kethu\
([NameOfSign $sign(9)] and [NameOfSign $sign(10)])."

# The report.
set person [string trim "[FirstName] [Name]"]
PutTxt "Yogas of the horoscope of $person"
PutTxt "Sidereal zodiac, whole-sign houses from the Lagna in [NameOfSign $sign(7)]."
set row {}
foreach p $grahas {
    lappend row "$name($p) [NameOfSign $sign($p)] ([house_from 7 $p])"
}
PutTxt "Positions (house from the Lagna): [join $row {, }]."
PutTxt ""
set scanned [expr {[llength $present] + [llength $absent]}]
if {[llength $present] == 0} {
    PutTxt "None of the yogas scanned is present."
}
foreach y $present {
    lassign $y title reason
    PutTxt "$title yoga: $reason"
}
PutTxt ""
PutTxt "[llength $present] of $scanned yogas are present. Not present: [join $absent {, }]."
