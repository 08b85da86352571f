#!/usr/bin/env python3
"""Reads the wavetable files the program writes with nothing but the byte
layouts of the formats, and compares them with the waves the test expects.
Exit status 0 when everything matches; the first mismatch is printed."""
import math
import struct
import sys


def fail(text):
    print("format_check: " + text)
    sys.exit(1)


def floats(path):
    data = open(path, "rb").read()
    return list(struct.unpack("<%df" % (len(data) // 4), data))


def near(a, b, tolerance, what):
    if abs(a - b) > tolerance:
        fail("%s: %r against %r" % (what, a, b))


def blofeld(dump_path, waves_path, stretch, device, slot, name):
    dump = open(dump_path, "rb").read()
    waves = floats(waves_path)
    if len(dump) != 64 * 410:
        fail("dump of %d bytes" % len(dump))
    expected_name = name.encode("ascii")
    for w in range(64):
        m = dump[w * 410:(w + 1) * 410]
        if m[0] != 0xF0 or m[-1] != 0xF7:
            fail("message %d not framed" % w)
        if any(b > 127 for b in m[1:-1]):
            fail("message %d has a byte above 127 inside" % w)
        if list(m[1:8]) != [0x3E, 0x13, device, 0x12, slot, w, 0]:
            fail("message %d head %r" % (w, list(m[1:8])))
        if m[408] != sum(m[7:408]) & 0x7F:
            fail("message %d checksum" % w)
        if m[392:406] != expected_name or m[406:408] != b"\0\0":
            fail("message %d name %r" % (w, m[392:406]))
        if list(m[8:11]) != [0, 0, stretch]:
            fail("message %d sample 0 %r" % (w, list(m[8:11])))
        for k in range(1, 128):
            b = m[8 + 3 * k:11 + 3 * k]
            value = (b[0] << 14) | (b[1] << 7) | b[2]
            if value & 0x100000:  # 21-bit two's complement, as the instrument reads it
                value -= 0x200000
            near(value / 1048575.0, waves[w * 128 + k], 0.6 / 1048575.0, "wave %d sample %d" % (w, k))


def efe(path, waves_path, name):
    data = open(path, "rb").read()
    waves = floats(waves_path)
    if len(data) != 70144:
        fail("EFE of %d bytes" % len(data))
    header = b"\r\nVORTA EPS File: " + name.encode("ascii") + b"    Instrument   \r\n\x1a\x03"
    if data[:51] != header:
        fail("EFE header %r" % data[:51])
    for field in (522, 1178, 1402):
        if bytes(data[field:field + 24:2]) != name.encode("ascii"):
            fail("EFE name field at %d: %r" % (field, bytes(data[field:field + 24:2])))
    samples = struct.unpack(">%dh" % (128 * 256), data[1680:1680 + 65536])
    for i, value in enumerate(samples):
        expected = waves[i] * 32767.0
        near(value, expected, 0.5000001, "EFE sample %d" % i)
    if list(data[67216:67222]) != [23, 16, 0, 0, 8, 64] or any(data[67222:67584]):
        fail("EFE wave trailer")


def surge(path, waves_path, count):
    data = open(path, "rb").read()
    waves = floats(waves_path)
    tag, length, n, flags = struct.unpack("<4sIHH", data[:12])
    if (tag, length, n, flags) != (b"vawt", 1024, count, 0):
        fail("Surge header %r" % ((tag, length, n, flags),))
    if len(data) != 12 + 4096 * n + 4228:
        fail("Surge file of %d bytes" % len(data))
    values = struct.unpack("<%df" % (1024 * n), data[12:12 + 4096 * n])
    for i, value in enumerate(values):
        if value != waves[i]:
            fail("Surge sample %d: %r against %r" % (i, value, waves[i]))


def wts(path, waves_path, count):
    data = open(path, "rb").read()
    waves = floats(waves_path)
    if list(data[:8]) != [0, 0, count, 0, 0, 0, 0, 0]:
        fail("WTS header %r" % list(data[:8]))
    if list(data[8:8 + 2 * count]) != [v for i in range(count) for v in (0, i)]:
        fail("WTS wave entries")
    if len(data) != 8 + 258 * count + 4228:
        fail("WTS file of %d bytes" % len(data))
    start = 8 + 2 * count
    values = struct.unpack("<%dh" % (128 * count), data[start:start + 256 * count])
    for i, value in enumerate(values):
        near(value, waves[i] * 0.5 * 32767.0, 0.5000001, "WTS sample %d" % i)


def dune2(path, count):
    data = open(path, "rb").read()
    if len(data) != 352 + 98304 * count + 4228:
        fail("Dune2 file of %d bytes" % len(data))
    head = data[:352]
    if head[0] != 2 or head[13] != 8 or head[14] != 21 or head[16] != 24 or head[20] != count:
        fail("Dune2 header")
    if struct.unpack("<f", head[28:32])[0] != 1.0:
        fail("Dune2 level")
    fixed = {0, 13, 14, 16, 20, 28, 29, 30, 31}
    if any(head[i] for i in range(352) if i not in fixed):
        fail("Dune2 header holds more than its fields")
    size = 4096 * count
    layers = [data[352 + i * size:352 + (i + 1) * size] for i in range(24)]
    partials = [64] * 12 + [53, 42, 33, 26, 21, 16, 13, 10, 8, 6, 5, 4]
    for i in range(1, 24):
        if partials[i] == partials[i - 1] and layers[i] != layers[i - 1]:
            fail("Dune2 layer %d is no copy of layer %d" % (i, i - 1))
    for i, layer in enumerate(layers):
        peak = max(abs(v) for v in struct.unpack("<%dh" % (2048 * count), layer))
        if peak not in (0, 32767):
            fail("Dune2 layer %d peaks at %d" % (i, peak))


def serum(path, count):
    data = open(path, "rb").read()
    if data[:4] != b"RIFF" or data[8:12] != b"WAVE":
        fail("Serum RIFF header")
    riff_size = struct.unpack("<I", data[4:8])[0]
    if riff_size != len(data) - 8:
        fail("Serum RIFF size %d for %d bytes" % (riff_size, len(data)))
    chunks = []
    at = 12
    while at + 8 <= len(data):
        tag, size = struct.unpack("<4sI", data[at:at + 8])
        chunks.append((tag, size, at + 8))
        at += 8 + size + (size & 1)
    tags = [c[0] for c in chunks]
    if tags != [b"JUNK", b"fmt ", b"clm ", b"data", b"smpl"]:
        fail("Serum chunk order %r" % tags)
    sizes = {c[0]: c[1] for c in chunks}
    if sizes[b"JUNK"] != 28 or sizes[b"fmt "] != 16 or sizes[b"clm "] != 48 or sizes[b"smpl"] != 4300:
        fail("Serum chunk sizes %r" % sizes)
    if sizes[b"data"] != 8192 * count:
        fail("Serum data of %d bytes" % sizes[b"data"])
    if riff_size != 16 + sizes[b"data"] + 120 + 4300:
        fail("Serum RIFF size rule")
    offsets = {c[0]: c[2] for c in chunks}
    fmt = struct.unpack("<HHIIHH", data[offsets[b"fmt "]:offsets[b"fmt "] + 16])
    if fmt != (3, 1, 44100, 176400, 4, 32):
        fail("Serum format %r" % (fmt,))
    clm = data[offsets[b"clm "]:offsets[b"clm "] + 48]
    if clm != b"<!>2048 10000000 wavetable (Sonic-Loom)" + b" " * 9:
        fail("Serum clm text %r" % clm)
    s = offsets[b"smpl"]
    fields = struct.unpack("<9I", data[s:s + 36])
    if fields[3] != 29 or fields[7] != 1 or fields[8] != 4240:
        fail("Serum smpl fields %r" % (fields,))
    loop = struct.unpack("<6I", data[s + 36:s + 60])
    if loop[2] != 0 or loop[3] != 2047:
        fail("Serum loop %r" % (loop,))
    if data[s + 60:s + 68] != b"VORTA___" or data[s + 4296:s + 4300] != b"LOG_":
        fail("Serum payload frame")


KINDS = {
    "blofeld": (blofeld, (str, str, int, int, int, str)),
    "efe": (efe, (str, str, str)),
    "surge": (surge, (str, str, int)),
    "wts": (wts, (str, str, int)),
    "dune2": (dune2, (str, int)),
    "serum": (serum, (str, int)),
}


if __name__ == "__main__":
    if sys.argv[1] not in KINDS:
        fail("unknown kind " + sys.argv[1])
    check, types = KINDS[sys.argv[1]]
    check(*(kind(arg) for kind, arg in zip(types, sys.argv[2:])))
