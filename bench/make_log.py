#!/usr/bin/env python3
"""Writes a deterministic NMEA track log (GGA, VTG and RMC at 1 Hz) of about a given size.

The track moves like a car: speed and heading change smoothly, with stops now and then, so the
rules (distance, heading, time, stop) all have something to do. Usage: make_log.py OUT MEGABYTES
"""
import math
import random
import sys


def sentence(body):
    x = 0
    for b in body.encode("ascii"):
        x ^= b
    return "$%s*%02X\r\n" % (body, x)


def degmin(value, width):
    value = abs(value)
    d = int(value)
    m = (value - d) * 60.0
    return "%0*d%07.4f" % (width, d, m)


def main():
    out, megabytes = sys.argv[1], float(sys.argv[2])
    target = int(megabytes * 1_000_000)
    rnd = random.Random(15)
    lat, lon = 50.1109, 8.6821
    heading, speed = 45.0, 0.0  # degrees, km/h
    stop_left = 0
    t = 6 * 3600  # seconds since midnight of the first day
    day = 0
    written = 0
    with open(out, "w", newline="") as f:
        chunk = []
        while written < target:
            if stop_left > 0:
                stop_left -= 1
                speed = max(0.0, speed - 15.0)
            else:
                speed += rnd.uniform(-4.0, 4.5)
                speed = min(max(speed, 5.0), 130.0)
                heading = (heading + rnd.gauss(0.0, 6.0)) % 360.0
                if rnd.random() < 0.002:
                    stop_left = rnd.randint(60, 600)
            metres = speed / 3.6
            lat += metres * math.cos(math.radians(heading)) / 111_320.0
            lon += metres * math.sin(math.radians(heading)) / (111_320.0 * math.cos(math.radians(lat)))
            alt = 120.0 + 40.0 * math.sin(t / 900.0) + rnd.uniform(-1, 1)
            hh, mm, ss = (t // 3600) % 24, (t // 60) % 60, t % 60
            clock = "%02d%02d%02d.00" % (hh, mm, ss)
            date = "%02d%02d%02d" % (9 + day % 20, 12, 26)
            ns = "N" if lat >= 0 else "S"
            ew = "E" if lon >= 0 else "W"
            knots = speed / 1.852
            la, lo = degmin(lat, 2), degmin(lon, 3)
            chunk.append(sentence("GPGGA,%s,%s,%s,%s,%s,1,%02d,%.1f,%.1f,M,47.9,M,," % (
                clock, la, ns, lo, ew, 6 + rnd.randint(0, 6), rnd.uniform(0.7, 2.5), alt)))
            chunk.append(sentence("GPVTG,%05.1f,T,,M,%05.1f,N,%05.1f,K,A" % (heading, knots, speed)))
            chunk.append(sentence("GPRMC,%s,A,%s,%s,%s,%s,%05.1f,%05.1f,%s,,,A" % (
                clock, la, ns, lo, ew, knots, heading, date)))
            t += 1
            if t % 86400 == 0:
                day += 1
            if len(chunk) >= 3000:
                text = "".join(chunk)
                f.write(text)
                written += len(text)
                chunk = []
        if chunk:
            f.write("".join(chunk))


if __name__ == "__main__":
    main()
