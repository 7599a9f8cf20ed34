#!/usr/bin/env python3
"""Writes the shipped database schemas and mapping files (data/db/{sqlite,postgresql}/).

Run once when the field vocabulary changes; the outputs are kept in git because they are the
user's starting point and are edited by hand afterwards.
"""
import os
import sys

PLANETS = ["Sun", "Moon", "Mercury", "Venus", "Mars", "Jupiter", "Saturn", "AS", "MH",
           "Rahu", "Kethu", "Uranus", "Neptune", "Pluto", "Fortun"]
STRENGTH_PLANETS = PLANETS[:7]  # the six-fold strength exists for Sun .. Saturn only
BINDU_BODIES = PLANETS[:8]      # the eight contributors: the count in the sign each occupies
ASHTAKAVARGA = PLANETS[:7]      # the Ashtakavargas of Sun .. Saturn


# The planet names of the field names (Part of Fortune is "Fortun", the angles "AS" and "MH").
COLUMN_NAMES = {"AS": "ascendant", "MH": "midheaven", "Fortun": "fortune"}


def col(name):
    for k, v in COLUMN_NAMES.items():
        if name == k or name.startswith(k + " "):
            name = v + name[len(k):]
    return name.lower().replace(" ", "_")


def tables():
    t = {}
    t["horoscope"] = [
        ("Id Field", "horoscope_id", "text"), ("Name", "last_name", "text"), ("First Name", "first_name", "text"),
        ("Year", "ut_year", "int"), ("Month", "ut_month", "int"), ("Hour", "ut_hour", "int"),
        ("Minute", "ut_minute", "int"), ("Second", "ut_second", "int"),
        ("Date/Hour UT Encode", "birth_ut", "timestamp"), ("Date UT Encode", "birth_ut_date", "date"),
        ("Hour UT Encode", "birth_ut_time", "time"), ("Date Local Encode", "birth_local_date", "date"),
        ("Date/Hour Local Encode", "birth_local", "timestamp"), ("Hour UT Decimal", "ut_hours", "real"),
        ("Sidereal Time Decimal Hours", "sidereal_time_hours", "real"), ("Is Julian Date", "is_julian", "int"),
        ("Julian Day UT", "jd_ut", "real"), ("Julian Day ET", "jd_et", "real"),
        ("City Name", "city", "text"), ("County Name", "county", "text"), ("State Name", "state", "text"),
        ("Country Name", "country", "text"),
        ("City Longitude Decimal Hours Abs", "longitude_hours_abs", "real"),
        ("City Longitude Hours Encode Abs", "longitude_time_abs", "time"),
        ("City Longitude Decimal Degrees Abs", "longitude_degrees_abs", "real"),
        ("City Longitude Is West", "longitude_is_west", "int"), ("City Latitude Is South", "latitude_is_south", "int"),
        ("City Latitude Decimal Degrees Abs", "latitude_degrees_abs", "real"),
        ("Zero JD ET", "zero_jd_et", "real"), ("Zero Date UT Encode", "zero_date", "date"),
        ("Zero Date/Hour UT Encode", "zero_datetime", "timestamp"),
        ("House division type", "house_system", "text"), ("Lunar Day", "lunar_day", "int"),
        ("Solar Hour", "solar_hour", "int"), ("Year Lord", "year_lord", "text"), ("Month Lord", "month_lord", "text"),
        ("Day Lord", "day_lord", "text"), ("Hour Lord", "hour_lord", "text"),
    ]
    pos = [("Id Field", "horoscope_id", "text")]
    for p in PLANETS:
        for frame in ["Geo Mov", "Geo Fix", "Helio Mov", "Helio Fix"]:
            for what in ["Longitude", "Latitude"]:
                pos.append((f"{p} {frame} {what} Degrees", col(f"{p} {frame} {what[:3]}"), "real"))
    t["planet_positions"] = pos
    houses = [("Id Field", "horoscope_id", "text")]
    for z in ["Mov", "Fix"]:
        for d in ["SHSD", "SHOD"]:
            for n in range(1, 13):
                houses.append((f"{z} Longitude degrees House {n} {d}", f"{z.lower()}_house_{n}_{d.lower()}", "real"))
    for p in PLANETS:
        for d in ["SHSD", "SHOD"]:
            houses.append((f"H_{p}_{d}", f"house_of_{col(p)}_{d.lower()}", "int"))
    t["house_cusps"] = houses
    strengths = [("Id Field", "horoscope_id", "text")]
    strengths += [(f"{p} Strength", f"{col(p)}_strength", "real") for p in STRENGTH_PLANETS]
    strengths += [(f"House {n} Strength SHSD", f"house_{n}_strength", "real") for n in range(1, 13)]
    t["strengths"] = strengths
    av = [("Id Field", "horoscope_id", "text")]
    for p in BINDU_BODIES:
        for q in ASHTAKAVARGA:
            for r in ["Before", "After"]:
                av.append((f"{p} Bindus in {q} Ashtakavarga {r} Reduction", f"{col(p)}_in_{col(q)}_{r.lower()}", "int"))
    t["ashtakavarga"] = av
    angles = [("Id Field", "horoscope_id", "text")]
    for i, p in enumerate(PLANETS):
        for q in PLANETS[i + 1:]:
            angles.append((f"Angle_{p}_{q}", f"angle_{col(p)}_{col(q)}", "real"))
    t["planet_angles"] = angles
    return t


TYPES = {
    "sqlite": {"text": "TEXT", "int": "INTEGER", "real": "REAL", "date": "DATE", "time": "TIME",
               "timestamp": "TIMESTAMP", "key": "INTEGER PRIMARY KEY AUTOINCREMENT"},
    "postgresql": {"text": "TEXT", "int": "INTEGER", "real": "DOUBLE PRECISION", "date": "DATE", "time": "TIME",
                   "timestamp": "TIMESTAMP", "key": "BIGSERIAL PRIMARY KEY"},
}


def main(root):
    t = tables()
    for db, types in TYPES.items():
        d = os.path.join(root, "data", "db", db)
        os.makedirs(d, exist_ok=True)
        with open(os.path.join(d, "schema.sql"), "w") as f:
            f.write(f"-- Tellurim horoscopes, {db} schema. Generated by tools/db_gen/make_db_files.py.\n")
            f.write("-- One row per horoscope in each table; horoscope_id joins them (it is the horoscope's\n")
            f.write("-- identifier and is not unique: export the same file twice and it appears twice).\n")
            for name, cols in t.items():
                f.write(f"CREATE TABLE IF NOT EXISTS {name} (\n  row_id {types['key']}")
                for _, c, k in cols:
                    f.write(f",\n  {c} {types[k]}")
                f.write("\n);\n")
            for name in t:
                f.write(f"CREATE INDEX IF NOT EXISTS {name}_by_id ON {name} (horoscope_id);\n")
        with open(os.path.join(d, "tellurimdb.ini"), "w") as f:
            f.write(f"; Tellurim: named values of a horoscope -> columns of the {db} schema (schema.sql).\n")
            f.write("; [table] opens a table; each line is: field name = column. Lines starting with ; are comments.\n")
            f.write("; Generated by tools/db_gen/make_db_files.py; edit freely for your own database.\n")
            for name, cols in t.items():
                f.write(f"\n[{name}]\n")
                for field, c, _ in cols:
                    f.write(f"{field} = {c}\n")


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", ".."))
