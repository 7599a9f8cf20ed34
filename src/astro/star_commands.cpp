#include "astro/star_commands.h"

#include "base/strings.h"
#include "base/text.h"

namespace tellurim {
namespace {

constexpr int kLastConjunctionPlanet = kLastStarPlanet;

StarCommandAnswer fail(Str id) { return {false, str(id)}; }
StarCommandAnswer answer(std::string text) { return {true, std::move(text)}; }

// The record of a star number given as text, or the command's out-of-range text.
const StarRecord* record(const StarCatalogue& c, std::string_view nstar) {
    auto n = parse_integer(trim(nstar));
    if (!n || *n < 0 || *n >= static_cast<long long>(c.stars.size())) return nullptr;
    return &c.stars[static_cast<std::size_t>(*n)];
}

bool loaded(const StarCatalogue* c) { return c && c->loaded(); }

// The conjunctions of the planet of a horoscope, or the failure of the planet or orb text.
struct PlanetConjunctions {
    std::vector<StarConjunction> stars;
    bool planet_ok = false;
    bool orb_ok = false;
};

PlanetConjunctions conjunctions(StarCatalogue& c, const Horoscope& h, std::string_view nplanet,
                                std::string_view orb_text) {
    PlanetConjunctions out;
    auto planet = parse_integer(trim(nplanet));
    out.planet_ok = planet && *planet >= 0 && *planet <= kLastConjunctionPlanet;
    auto orb = parse_decimal(trim(orb_text));
    out.orb_ok = orb.has_value();
    if (!out.planet_ok || !out.orb_ok) return out;
    const PlanetPosition& p = h.geo_movable.at(static_cast<int>(*planet));
    if (!p.longitude.is_angle()) return out;
    out.stars = star_conjunctions(c, p.longitude.to_degrees(), *orb, h.birth_ut.jd_ut, h.birth_ut.jd_et);
    return out;
}

}  // namespace

StarCommandAnswer name_of_star(const StarCatalogue* catalogue, std::string_view nstar) {
    if (!loaded(catalogue)) return fail(Str::StarsNotLoaded);
    const StarRecord* s = record(*catalogue, nstar);
    return s ? answer(s->name) : fail(Str::StarsNameOutOfRange);
}

StarCommandAnswer comment_of_star(const StarCatalogue* catalogue, std::string_view nstar) {
    if (!loaded(catalogue)) return fail(Str::StarsNotLoaded);
    const StarRecord* s = record(*catalogue, nstar);
    return s ? answer(s->comment) : fail(Str::StarsCommentOutOfRange);
}

StarCommandAnswer id_of_star(const StarCatalogue* catalogue, std::string_view nstar) {
    if (!loaded(catalogue)) return fail(Str::StarsNotLoaded);
    const StarRecord* s = record(*catalogue, nstar);
    return s ? answer(std::to_string(s->identifier)) : fail(Str::StarsIdOutOfRange);
}

StarCommandAnswer id_star_to_num(const StarCatalogue* catalogue, std::string_view idstar) {
    if (!loaded(catalogue)) return fail(Str::StarsNotLoaded);
    auto id = parse_integer(trim(idstar));
    int n = id ? star_number_from_identifier(*catalogue, static_cast<std::int32_t>(*id)) : -1;
    return n >= 0 ? answer(std::to_string(n)) : fail(Str::StarsIdToNumFailed);
}

StarCommandAnswer star_conjunction_with(StarCatalogue* catalogue, const Horoscope& h, std::string_view nplanet,
                                        std::string_view orb_deg) {
    if (!loaded(catalogue)) {
        // The arguments are still checked first, so a script learns of its own mistakes.
        auto planet = parse_integer(trim(nplanet));
        if (!planet || *planet < 0 || *planet > kLastConjunctionPlanet) return fail(Str::StarsConjunctionPlanetRange);
        if (!parse_decimal(trim(orb_deg))) return fail(Str::StarsConjunctionOrbNotDecimal);
        return fail(Str::StarsConjunctionWarning);
    }
    PlanetConjunctions c = conjunctions(*catalogue, h, nplanet, orb_deg);
    if (!c.planet_ok) return fail(Str::StarsConjunctionPlanetRange);
    if (!c.orb_ok) return fail(Str::StarsConjunctionOrbNotDecimal);
    return answer(std::to_string(c.stars.empty() ? -1 : c.stars.front().star));
}

StarCommandAnswer id_star_conjunction_with_planet(StarCatalogue* catalogue, const Horoscope& h,
                                                  std::string_view nplanet, std::string_view pos_star,
                                                  std::string_view orb_deg) {
    auto planet = parse_integer(trim(nplanet));
    if (!planet || *planet < 0 || *planet > kLastConjunctionPlanet) return fail(Str::StarsIdConjunctionPlanetRange);
    auto pos = parse_integer(trim(pos_star));
    if (!parse_decimal(trim(orb_deg))) return fail(Str::StarsIdConjunctionOrbNotDecimal);
    if (!loaded(catalogue)) return fail(Str::StarsConjunctionWarning);
    PlanetConjunctions c = conjunctions(*catalogue, h, nplanet, orb_deg);
    if (!pos || *pos < 0 || *pos >= static_cast<long long>(c.stars.size()))
        return fail(Str::StarsIdConjunctionPositionRange);
    const StarRecord& s = catalogue->stars[static_cast<std::size_t>(c.stars[static_cast<std::size_t>(*pos)].star)];
    return answer(std::to_string(s.identifier));
}

}  // namespace tellurim
