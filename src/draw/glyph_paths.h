#pragma once
// Sign and planet glyphs as vector outlines of our own, so that the wheel needs no symbol
// font. Each path is drawn in a box from -1 to 1 on both axes (y downwards) and is meant to
// be stroked, not filled; scale and translate it to the glyph's square.

#include <QPainterPath>
#include <string_view>

#include "draw/wheel_geometry.h"

namespace tellurim {

// Sign 0 (Aries) .. 11 (Pisces); an empty path for another index.
QPainterPath sign_glyph_path(int sign);
// Planet 0 .. 17 in the horoscope's numbering; an empty path for another index.
QPainterPath planet_glyph_path(int planet);
// The box of a planet's glyph as the wheel draws it (the path's bounds widened by half the
// stroke, a ninth of the half-side), in units of the half-side.
GlyphBox planet_glyph_box(int planet);
// Every planet's, for the staggering of the glyphs.
const GlyphBoxes& planet_glyph_boxes();

// The letters drawn for a point that has no symbol: the short names "Gul", "Man" and "Aru" of
// Gulika, Mandi and Arudha; empty for the others.
std::string_view planet_glyph_letters(int planet);

}  // namespace tellurim
