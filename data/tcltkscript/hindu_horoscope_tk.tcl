# hindu_horoscope_tk.tcl: a Tk window with the birth chart (rasi) of the current horoscope in
# the sidereal zodiac, drawn as the South Indian square; a button switches to the North
# Indian diamond and back.
#
# South Indian: the signs keep fixed boxes round a square of 4 by 4, Pisces in the top left
# corner and the signs following clockwise; the Lagna's box is marked with a line across its top right corner.
# North Indian: the houses keep fixed places, the 1st house in the top diamond and the houses
# following counter-clockwise; each house shows the number of its sign (Aries 1).
#
# Run it as a TK script (tellurim script --tk hindu_horoscope_tk.tcl --horoscope FILE.xml).
# With no current horoscope it asks for a horoscope file. When the environment variable
# TELLURIM_TK_CLOSE_AFTER holds a number of milliseconds, the window closes by itself after
# that time (for pictures and unattended runs).

if {![IsCurrentHoroscopeValid]} {
    if {[catch {SetCurrentHoroscope -title "Horoscope to draw"}]} {
        destroy .
        return
    }
}

# The Ascendant first, then the grahas, with their usual short names.
set bodies {7 As 0 Su 1 Mo 4 Ma 2 Me 5 Ju 3 Ve 6 Sa 9 Ra 10 Ke}
foreach {p short} $bodies {
    set longitude [FixLongOfPlanet $p]
    set sign($p) [SignOfPlanet $p -fix -rasi]
    set retro [expr {$p != 7 && $p != 9 && $p != 10 && [PlanetIsRetro $p] ? {(R)} : {}}]
    set label($p) [format {%s %d°%s} $short [expr {int(fmod($longitude, 30.0))}] $retro]
}
set lagna $sign(7)
set person [string trim "[FirstName] [Name]"]
set born [lindex [split [BirthDateHourUT] .] 0]

# The labels of the bodies in sign s.
proc in_sign {s} {
    global bodies sign label
    set out {}
    foreach {p short} $bodies {
        if {$sign($p) == $s} { lappend out $label($p) }
    }
    return $out
}

set size 480
set margin 10
set style south

wm title . "Hindu horoscope - $person"
canvas .chart -width [expr {$size + 2 * $margin}] -height [expr {$size + 2 * $margin}] \
    -background white -highlightthickness 0
frame .buttons
button .buttons.style -text "North Indian" -width 14 -command toggle
button .buttons.close -text "Close" -width 10 -command {destroy .}
pack .buttons.style .buttons.close -side left -padx 6 -pady 6
pack .chart -side top
pack .buttons -side top

# The bodies of a box, one per line, centred on x y.
proc write_bodies {x y labels} {
    if {[llength $labels] == 0} return
    .chart create text $x $y -text [join $labels "\n"] -justify center -font {Helvetica 11}
}

proc draw_south {} {
    global size margin lagna person born
    set cell [expr {$size / 4.0}]
    # Column and row of each sign, Aries 0 to Pisces 11.
    set boxes {1 0  2 0  3 0  3 1  3 2  3 3  2 3  1 3  0 3  0 2  0 1  0 0}
    for {set s 0} {$s < 12} {incr s} {
        set col [lindex $boxes [expr {2 * $s}]]
        set row [lindex $boxes [expr {2 * $s + 1}]]
        set x0 [expr {$margin + $col * $cell}]
        set y0 [expr {$margin + $row * $cell}]
        .chart create rectangle $x0 $y0 [expr {$x0 + $cell}] [expr {$y0 + $cell}] -width 2
        .chart create text [expr {$x0 + 4}] [expr {$y0 + 3}] -anchor nw -text [NameOfSign $s] \
            -font {Helvetica 8} -fill gray40
        if {$s == $lagna} {
            .chart create line [expr {$x0 + 0.7 * $cell}] $y0 [expr {$x0 + $cell}] [expr {$y0 + 0.3 * $cell}] \
                -width 2
        }
        write_bodies [expr {$x0 + $cell / 2}] [expr {$y0 + $cell / 2 + 6}] [in_sign $s]
    }
    set c [expr {$margin + 2 * $cell}]
    .chart create text $c [expr {$c - 24}] -text "Rasi" -font {Helvetica 14 bold}
    .chart create text $c $c -text $person -font {Helvetica 11}
    .chart create text $c [expr {$c + 20}] -text "$born UT" -font {Helvetica 9}
}

proc draw_north {} {
    global size margin lagna
    set m $margin
    set s $size
    set h [expr {$s / 2.0}]
    .chart create rectangle $m $m [expr {$m + $s}] [expr {$m + $s}] -width 2
    .chart create line $m $m [expr {$m + $s}] [expr {$m + $s}] -width 2
    .chart create line [expr {$m + $s}] $m $m [expr {$m + $s}] -width 2
    .chart create polygon [expr {$m + $h}] $m [expr {$m + $s}] [expr {$m + $h}] \
        [expr {$m + $h}] [expr {$m + $s}] $m [expr {$m + $h}] -fill {} -outline black -width 2
    # The middle of each house, in twelfths of the side: the four diamonds (1, 4, 7, 10)
    # and the eight triangles between them.
    set centres {6 3  3 1  1 3  3 6  1 9  3 11  6 9  9 11  11 9  9 6  11 3  9 1}
    for {set house 1} {$house <= 12} {incr house} {
        set x [expr {$m + [lindex $centres [expr {2 * $house - 2}]] * $s / 12.0}]
        set y [expr {$m + [lindex $centres [expr {2 * $house - 1}]] * $s / 12.0}]
        set s_of_house [expr {($lagna + $house - 1) % 12}]
        set diamond [expr {$house in {1 4 7 10}}]
        set dy [expr {$diamond ? -0.09 * $s : -0.03 * $s}]
        .chart create text $x [expr {$y + $dy}] -text [expr {$s_of_house + 1}] \
            -font {Helvetica 9} -fill gray40
        write_bodies $x [expr {$y + ($diamond ? 0.02 * $s : 0.025 * $s)}] [in_sign $s_of_house]
    }
}

proc draw {} {
    global style
    .chart delete all
    if {$style eq "south"} { draw_south } else { draw_north }
}

proc toggle {} {
    global style
    if {$style eq "south"} {
        set style north
        .buttons.style configure -text "South Indian"
    } else {
        set style south
        .buttons.style configure -text "North Indian"
    }
    draw
}

draw
if {[info exists env(TELLURIM_TK_CLOSE_AFTER)] && [string is integer -strict $env(TELLURIM_TK_CLOSE_AFTER)]} {
    after $env(TELLURIM_TK_CLOSE_AFTER) {destroy .}
}
