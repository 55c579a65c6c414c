#!/usr/bin/env python3
"""Writes the LandXML test files of this folder from roads defined below.

The points are integrated here with mpmath to 30 digits, independently of
the program's own geometry, then rounded as exports round them. Run it from
anywhere; it rewrites the files next to it."""
import math
import os

from mpmath import mp, mpf, quad, cos, sin, pi as mpi

mp.dps = 30
HERE = os.path.dirname(os.path.abspath(__file__))


def integrate(n, e, az, length, k0, k1, s):
    """Point and azimuth at s along an element whose curvature goes linearly
    from k0 to k1 (azimuth clockwise from north, positive curvature turning
    right)."""
    L = mpf(length)
    theta = lambda t: az + k0 * t + (k1 - k0) * t * t / (2 * L)
    dn = quad(lambda t: cos(theta(t)), [0, s])
    de = quad(lambda t: sin(theta(t)), [0, s])
    return n + dn, e + de, theta(mpf(s))


def build(start_n, start_e, start_az_deg, elements):
    """elements: (kind, length, start radius, end radius); radius 0 = none,
    positive = right-hand turn. Returns one dict per element."""
    n, e, az = mpf(start_n), mpf(start_e), mpf(start_az_deg) * mpi / 180
    out = []
    for kind, length, r0, r1 in elements:
        k0 = mpf(0) if r0 == 0 else 1 / mpf(r0)
        k1 = mpf(0) if r1 == 0 else 1 / mpf(r1)
        en, ee, eaz = integrate(n, e, az, length, k0, k1, mpf(length)) if length else (n, e, az)
        item = dict(kind=kind, length=length, r0=r0, r1=r1, start=(n, e), end=(en, ee), az=az,
                    end_az=eaz)
        if kind == "Curve":
            r = mpf(r0)
            item["center"] = (n + r * cos(az + mpi / 2), e + r * sin(az + mpi / 2))
        if kind == "Spiral" and length:
            # The tangents' intersection: start + t (cos az, sin az).
            d1 = (cos(az), sin(az))
            d2 = (cos(eaz), sin(eaz))
            den = d1[0] * d2[1] - d1[1] * d2[0]
            t = ((en - n) * d2[1] - (ee - e) * d2[0]) / den
            item["pi"] = (n + t * d1[0], e + t * d1[1])
        out.append(item)
        n, e, az = en, ee, eaz
    return out


ROAD = [("Line", 120, 0, 0), ("Spiral", 80, 0, 300), ("Curve", 150, 300, 300),
        ("Spiral", 80, 300, 0), ("Line", 100, 0, 0)]
LEFT = [("Line", 60, 0, 0), ("Spiral", 45, 0, -150), ("Curve", 70.5, -150, -150),
        ("Spiral", 45, -150, 0), ("Line", 40, 0, 0)]
# Between two arcs of one sign, and an arc of more than a half turn.
COMPOUND = [("Line", 30, 0, 0), ("Spiral", 40, 0, 200), ("Spiral", 25, 200, 80),
            ("Curve", 300, 80, 80), ("Spiral", 50, 80, 0), ("Line", 10, 0, 0)]


def fmt(value, digits):
    return f"{float(value):.{digits}f}"


def point(p, digits, elevation=None):
    text = f"{fmt(p[0], digits)} {fmt(p[1], digits)}"
    return text + (f" {elevation}" if elevation is not None else "")


UNIT_FACTOR = {"radians": 1.0, "decimal degrees": 180 / math.pi, "grads": 200 / math.pi}


def direction(az, convention, unit):
    a = float(az)
    if convention == "ccw-north":
        a = -a
    elif convention == "ccw-east":
        a = math.pi / 2 - a
    a %= 2 * math.pi
    return f"{a * UNIT_FACTOR[unit]:.10f}"


def alignment_xml(name, sta_start, items, p="", digits=4, convention="cw-north",
                  unit="decimal degrees", gap=0.0, equations=(), extra_first="", lengths=True,
                  elevation=None):
    rows = [f'    <{p}Alignment name="{name}" length="{sum(i["length"] for i in items)}" '
            f'staStart="{sta_start}">', f"      <{p}CoordGeom>"]
    rows += extra_first.splitlines()
    for index, it in enumerate(items):
        # A gap: every element after the first starts `gap` to the north of
        # where the previous one ends, and the rest of it moves along.
        shift = gap * index
        s = (it["start"][0] + shift, it["start"][1])
        en = (it["end"][0] + shift, it["end"][1])
        length = f' length="{it["length"]}"' if lengths else ""
        d = direction(it["az"], convention, unit)
        if it["kind"] == "Line":
            rows.append(f'        <{p}Line dir="{d}"{length}>')
        elif it["kind"] == "Curve":
            rot = "cw" if it["r0"] > 0 else "ccw"
            rows.append(f'        <{p}Curve rot="{rot}" radius="{abs(it["r0"])}" dirStart="{d}"'
                        f'{length} crvType="arc">')
        else:
            r = it["r0"] or it["r1"]
            rot = "cw" if r > 0 else "ccw"
            rs = abs(it["r0"]) if it["r0"] else "INF"
            re = abs(it["r1"]) if it["r1"] else "INF"
            rows.append(f'        <{p}Spiral{length} radiusStart="{rs}" radiusEnd="{re}" rot="{rot}"'
                        f' spiType="clothoid" dirStart="{d}">')
        rows.append(f"          <{p}Start>{point(s, digits, elevation)}</{p}Start>")
        if "center" in it:
            c = (it["center"][0] + shift, it["center"][1])
            rows.append(f"          <{p}Center>{point(c, digits)}</{p}Center>")
        if "pi" in it:
            q = (it["pi"][0] + shift, it["pi"][1])
            rows.append(f"          <{p}PI>{point(q, digits)}</{p}PI>")
        rows.append(f"          <{p}End>{point(en, digits, elevation)}</{p}End>")
        rows.append(f"        </{p}{it['kind']}>")
    rows.append(f"      </{p}CoordGeom>")
    for internal, back, ahead in equations:
        rows.append(f'      <{p}StaEquation staInternal="{internal}" staBack="{back}" '
                    f'staAhead="{ahead}" desc="broken chainage"/>')
    rows.append(f"    </{p}Alignment>")
    return "\n".join(rows)


def document(alignments, p="", unit="decimal degrees", head="", namespace=True):
    xmlns = ""
    if namespace:
        xmlns = (f' xmlns{":" + p[:-1] if p else ""}='
                 '"http://www.landxml.org/schema/LandXML-1.2"')
    return (f'<?xml version="1.0" encoding="UTF-8"?>\n{head}'
            f'<{p}LandXML{xmlns} version="1.2" date="2026-12-08" time="12:00:00">\n'
            f'  <{p}Units>\n    <{p}Metric linearUnit="meter" areaUnit="squareMeter" '
            f'volumeUnit="cubicMeter" angularUnit="{unit}" directionUnit="{unit}"/>\n'
            f'  </{p}Units>\n  <{p}Alignments name="test">\n'
            + "\n".join(alignments) + f"\n  </{p}Alignments>\n</{p}LandXML>\n")


def write(name, text, encoding="utf-8"):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(text.encode(encoding))


road = build(3512345.678, 512345.678, 30, ROAD)
left = build(1000, 2000, 300, LEFT)
compound = build(-250, 100, 135.5, COMPOUND)

# The whole road, directions as azimuths in degrees.
write("road.xml", document([alignment_xml("Main road", 1000, road)]))
# The same road with the directions in the other conventions and units.
write("dir-ccw-north-radians.xml",
      document([alignment_xml("Main road", 1000, road, convention="ccw-north", unit="radians")],
               unit="radians"))
write("dir-ccw-east-grads.xml",
      document([alignment_xml("Main road", 1000, road, convention="ccw-east", unit="grads")],
               unit="grads"))
# Without lengths: they come from the points (written to 1e-6).
write("no-lengths.xml",
      document([alignment_xml("Main road", 1000, road, lengths=False, digits=6)]))
# Gaps of 0.6 mm between elements, with elevations.
write("gaps.xml", document([alignment_xml("Main road", 1000, road, gap=0.0006, digits=4,
                                          elevation="12.5")]))
# Station equations: a gap of 20 after internal 1150, an overlap of 15 after 1400.
write("equations.xml", document([alignment_xml(
    "Main road", 1000, road, equations=[(1150, 1150, 1170), (1400, 1420, 1405)])]))

# Eleven alignments in one file; the third starts with an element of length
# 0; the last holds a chain, which does not stop the others being read.
zero = ('        <Line length="0">\n          <Start>1000 2000</Start>\n'
        '          <End>1000 2000</End>\n        </Line>')
many = []
for i in range(10):
    base = build(1000 + 500 * i, 2000 + 10 * i, 300 + i, LEFT)
    many.append(alignment_xml(f"Ramp {chr(ord('A') + i)}", 10 * i, base,
                              extra_first=zero if i == 2 else ""))
many.append('    <Alignment name="Chained" staStart="0">\n      <CoordGeom>\n'
            '        <Chain>1 2 3</Chain>\n      </CoordGeom>\n    </Alignment>')
write("many.xml", document(many))

# Prefixed names, a byte-order mark, comments, entities and character
# references; the compound road. (No DTD: Wine's XmlLite reads none.)
head = "<!-- written by hand -->\n"
prefixed = alignment_xml("Compound &#x2014; Roads &amp; Bridges", 0, compound, p="landxml:",
                         equations=[(100, 100, 120)])
prefixed = prefixed.replace("<landxml:CoordGeom>",
                            "<landxml:CoordGeom>\n        <!-- elements follow -->")
write("prefixed.xml", "\ufeff" + document([prefixed], p="landxml:", head=head))
# UTF-16 (little-endian, with a byte-order mark): the compound road again.
utf16 = document([alignment_xml("Compound", 0, compound, digits=6)])
write("utf16.xml", "\ufeff" + utf16.replace('encoding="UTF-8"', 'encoding="UTF-16"'), "utf-16-le")
# The left-turning road, in a file without a namespace.
write("left.xml", document([alignment_xml("Left", 0, left, digits=6)], namespace=False))

# The reference: every element's start and end to 1e-9, for the tests.
with open(os.path.join(HERE, "reference.txt"), "w") as f:
    f.write("# alignment element start_n start_e start_azimuth_rad end_n end_e length\n")
    for name, items in (("road", road), ("left", left), ("compound", compound)):
        for i, it in enumerate(items):
            f.write(f"{name} {i} {fmt(it['start'][0], 9)} {fmt(it['start'][1], 9)} "
                    f"{fmt(it['az'] % (2 * mpi), 12)} {fmt(it['end'][0], 9)} {fmt(it['end'][1], 9)} "
                    f"{it['length']}\n")
