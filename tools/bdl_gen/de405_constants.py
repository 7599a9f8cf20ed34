#!/usr/bin/python3
"""Prints the constants of JPL's DE405 that tools/bdl_gen needs, one "NAME value" a line,
from the casacore table of Debian's casacore-data-jpl-de405 (public domain): the masses (GM,
AU^3/day^2) and the initial conditions of the integration at JDEPOC (barycentric, ICRF
equator, AU and AU/day).

usage: de405_constants.py [TABLE]   (default /usr/share/casacore/data/ephemerides/DE405)
"""
import sys

from casacore.tables import table

NAMES = ["JDEPOC", "AU", "GMS", "GM1", "GM2", "GMB", "GM4", "GM5", "GM6", "GM7", "GM8", "GM9"]
for body in ("5", "6", "7", "8", "9", "S"):
    NAMES += [axis + body for axis in ("X", "Y", "Z", "XD", "YD", "ZD")]


def main():
    path = sys.argv[1] if len(sys.argv) > 1 else "/usr/share/casacore/data/ephemerides/DE405"
    keywords = table(path, ack=False).getkeywords()
    for name in NAMES:
        print(name, repr(float(keywords[name])))


if __name__ == "__main__":
    main()
