#!/usr/bin/python3
"""Writes a JPL binary ephemeris file from a JPL ephemeris stored as a casacore table.

Debian's casacore-data-jpl-de405 holds DE405 for 1960-2060 in that form: one row per
32-day record (column MJD: the modified Julian day of the record's start, column x: its
Chebyshev coefficients), the ephemeris constants as table keywords and the coefficient
layout (the pointer table of the JPL header) as keywords of column x.

The output is the layout that JPL's asc2eph program writes and every JPL reader expects:
records of NCOEFF 64-bit floats; record 1 the header (titles, constant names, span, number
of constants, AU, EMRAT, pointers, DE number, lunar libration pointers), record 2 the
constant values, then the data records, each beginning with its first and last Julian day
(TDB). Little-endian, as asc2eph writes it on x86.

usage: casacore_to_jpl.py TABLE_DIR OUTPUT_FILE
"""
import os
import struct
import sys


def main(argv):
    if len(argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    table_dir, out_path = argv[1], argv[2]
    try:
        from casacore.tables import table
    except ImportError as e:
        sys.stderr.write("casacore_to_jpl: python3-casacore is missing (%s)\n" % e)
        return 1
    tb = table(table_dir, ack=False)
    keys = tb.getkeywords()
    names = list(keys.keys())
    # The table's own bookkeeping comes first; the ephemeris constants start at DENUM.
    first = names.index("DENUM")
    const_names = names[first:]
    const_values = [float(keys[n]) for n in const_names]
    denum = int(keys["DENUM"])
    au = float(keys["AU"])
    emrat = float(keys["EMRAT"])
    layout = [int(v) for v in tb.getcolkeywords("x")["Description"]]
    if len(layout) != 39:
        sys.stderr.write("casacore_to_jpl: unexpected pointer table of %d values\n" % len(layout))
        return 1
    # Description: the 13 offsets, then the 13 coefficient counts, then the 13 sub-interval
    # counts (Mercury .. Sun, nutations, librations); offsets count from 1 and include the
    # two dates that begin each record.
    offsets, counts, subs = layout[0:13], layout[13:26], layout[26:39]
    comps = [3] * 11 + [2, 3]
    ncoeff = max(offsets[i] + counts[i] * subs[i] * comps[i] for i in range(13)) - 1
    mjd = tb.getcol("MJD")
    coeffs = tb.getcol("x")
    rows = len(mjd)
    step = float(mjd[1] - mjd[0]) if rows > 1 else float(keys["dMJD"])
    if coeffs.shape[1] < ncoeff - 2:
        sys.stderr.write("casacore_to_jpl: rows hold %d coefficients, the layout needs %d\n"
                         % (coeffs.shape[1], ncoeff - 2))
        return 1
    # Each row's MJD is the start of its record.
    start = 2400000.5 + float(mjd[0])
    end = 2400000.5 + float(mjd[-1]) + step
    rec_bytes = 8 * ncoeff

    def title(text):
        return text.encode("ascii").ljust(84, b" ")

    header = bytearray()
    header += title("JPL Planetary Ephemeris DE%d/LE%d" % (denum, int(keys.get("LENUM", denum))))
    header += title("Start Epoch: JED= %.1f" % start)
    header += title("Final Epoch: JED= %.1f" % end)
    for i in range(400):
        header += (const_names[i].encode("ascii").ljust(6, b" ") if i < len(const_names) else b" " * 6)
    header += struct.pack("<3d", start, end, step)
    header += struct.pack("<i", len(const_names))
    header += struct.pack("<2d", au, emrat)
    for i in range(12):
        header += struct.pack("<3i", offsets[i], counts[i], subs[i])
    header += struct.pack("<i", denum)
    header += struct.pack("<3i", offsets[12], counts[12], subs[12])
    if len(header) > rec_bytes:
        sys.stderr.write("casacore_to_jpl: header longer than a record\n")
        return 1

    tmp = out_path + ".tmp"
    with open(tmp, "wb") as f:
        f.write(bytes(header).ljust(rec_bytes, b"\0"))
        f.write(struct.pack("<%dd" % len(const_values), *const_values).ljust(rec_bytes, b"\0"))
        for r in range(rows):
            rec_start = 2400000.5 + float(mjd[r])
            row = coeffs[r, : ncoeff - 2]
            f.write(struct.pack("<2d", rec_start, rec_start + step))
            f.write(struct.pack("<%dd" % (ncoeff - 2), *[float(v) for v in row]))
        f.flush()
        os.fsync(f.fileno())
    os.replace(tmp, out_path)
    print("casacore_to_jpl: DE%d, JD %.1f to %.1f, %d records of %d coefficients -> %s"
          % (denum, start, end, rows, ncoeff, out_path))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
