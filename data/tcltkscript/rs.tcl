# rs.tcl: the sidereal solar return of a chosen age, and the reading of its houses.
#
# The return is the moment at which the Sun comes back to its sidereal (fixed) longitude of
# birth, near the birthday of the chosen age, at the birth place. It is found by computing
# horoscopes (ComputeHoroscope) and moving the date by the Sun's remaining distance divided
# by its mean daily motion, until the step is below one second.
#
# The age: the value of the variable rs_age when it is set before the script runs, else the
# environment variable TELLURIM_RS_AGE, else the age reached at today's date.
# With no current horoscope the script asks for a horoscope file.
#
# The houses of the return are read with the texts of interpretation file 2
# (PLANET_in_HOUSE_N): for each house, the sign on its cusp and the planets in it.

set planets {0 1 2 3 4 5 6 11 12 13}
set siderealYearDays 365.256363
set sunDegreesPerDay 0.98564736

if {![IsCurrentHoroscopeValid]} {
    if {[catch {SetCurrentHoroscope -title "Horoscope for a solar return"}]} {
        return
    }
}
set natal [GetCurrentHoroscopeNumber]

proc ordinal {n} {
    switch -- $n {
        1 { return 1st }
        2 { return 2nd }
        3 { return 3rd }
        default { return ${n}th }
    }
}

# Seconds since 1970 (UT) of a date-hour text "YYYY-MM-DD HH:MM:SS[.ss] ..." and back.
proc seconds_of {datehour} {
    if {[scan $datehour {%d-%d-%d %d:%d:%f} y m d hh mm ss] != 6} {
        error "cannot read the date $datehour"
    }
    set whole [format {%04d-%02d-%02d %02d:%02d:%02d} $y $m $d $hh $mm [expr {int($ss)}]]
    return [expr {[clock scan $whole -format {%Y-%m-%d %H:%M:%S} -gmt 1] + ($ss - int($ss))}]
}
proc datehour_of {seconds} {
    return [clock format [expr {wide(round($seconds))}] -format {%Y-%m-%d %H:%M:%S} -gmt 1]
}

# The natal chart.
set person [string trim "[FirstName] [Name]"]
set birth [seconds_of [BirthDateHourUT]]
set sun0 [FixLongOfPlanet 0]
set longitude [LongitudeOfBirthPlace]
set latitude [LatitudeOfBirthPlace]
# The return keeps the person's name and place; empty fields are left out.
set identity [list -name [Name]]
foreach {option value} [list -first_name [FirstName] -city_name [BirthCity] -county_name [BirthCounty] \
        -state_name [BirthState] -country_name [BirthCountry]] {
    if {[string trim $value] ne ""} { lappend identity $option $value }
}
if {[Sex] in {M F N}} { lappend identity -sex [Sex] }

# The age.
if {![info exists rs_age]} {
    if {[info exists env(TELLURIM_RS_AGE)]} {
        set rs_age $env(TELLURIM_RS_AGE)
    } else {
        set rs_age [expr {int(([clock seconds] - $birth) / ($siderealYearDays * 86400.0))}]
    }
}
if {![string is integer -strict $rs_age] || $rs_age < 0} {
    PutTxt "The age of the solar return must be a whole number of years from 0: $rs_age"
    return
}

# The search. Each try is a horoscope of its own; all but the last are removed again.
set t [expr {$birth + $rs_age * $siderealYearDays * 86400.0}]
set found 0
for {set try 0} {$try < 20} {incr try} {
    ComputeHoroscope -datehourUT [datehour_of $t] -place_longitude $longitude \
        -place_latitude $latitude {*}$identity
    set off [expr {fmod($sun0 - [FixLongOfPlanet 0] + 540.0, 360.0) - 180.0}]
    set step [expr {$off / $sunDegreesPerDay * 86400.0}]
    if {abs($step) < 1.0} {
        set found 1
        break
    }
    RemoveHoroscope
    SetCurrentHoroscope -nh $natal
    set t [expr {$t + $step}]
}
if {!$found} {
    PutTxt "The solar return of age $rs_age cannot be found."
    return
}
set return [GetCurrentHoroscopeNumber]
# Houses are numbered as the house table and HouseOccupiedByPlanet number them: the signs
# and the houses in the same direction.

# What the return holds.
foreach p $planets {
    set name($p) [NameOfPlanet $p]
    set house($p) [HouseOccupiedByPlanet $p]
}
set ascendant [FixLongOfPlanet 7]

PutTxt "Sidereal solar return of $person at age $rs_age"
PutTxt [string repeat = [string length "Sidereal solar return of $person at age $rs_age"]]
PutTxt "The Sun returns to [FormatSignLongitude $sun0] (sidereal) on [BirthDateHourUT] UT."
PutTxt "Ascendant of the return: [FormatSignLongitude $ascendant]; houses: [TypeOfHouse -name]."

# Where the return's Ascendant falls in the natal chart.
SetCurrentHoroscope -nh $natal
if {![catch {HouseOfPoint [ToZ360 $ascendant] -shsd -rasi -fix} natalHouse]} {
    PutTxt "It rises in the natal [ordinal $natalHouse] house: the year's affairs lean toward\
that house's matters."
}
SetCurrentHoroscope -nh $return
PutTxt ""

# The houses of the return, in order.
for {set h 1} {$h <= 12} {incr h} {
    set in {}
    foreach p $planets {
        if {$house($p) == $h} { lappend in $p }
    }
    set cusp [NameOfSign [SignOfHouse $h -fix -shsd -rasi]]
    set names {}
    foreach p $in { lappend names $name($p) }
    if {[llength $in] == 0} {
        PutTxt "House $h (cusp in $cusp): no planet."
        continue
    }
    PutTxt "House $h (cusp in $cusp): [join $names {, }]"
    foreach p $in {
        catch {PutAstroTxt "$name($p)_in_house_$h" 2 -fromidstr -nocomments}
    }
}
