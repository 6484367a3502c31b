#!/usr/bin/env python3
"""Checks quorvel's fixed-point arithmetic against Python's decimal module.

Usage: decimal_oracle.py [--cases N] [--seed S] DRIVER...   (the driver's command: an emulator
and its words may come first)

Generates random and edge cases (ties in every rounding mode, negative ties, scale 0, scale equal
to the width, widths 1, 18, 19, 38, 39 and 1,000, exponents across the point, overflow by one
digit, doubles at halfway cases), runs them through DRIVER (tests/decimal_driver.cpp) and compares
every answer with the one quantize() gives. Exits 1 on the first mismatches, printing them.
"""
import decimal
import struct
import sys
from decimal import Decimal

import oracle

MODES = {
    "halfeven": decimal.ROUND_HALF_EVEN,
    "halfup": decimal.ROUND_HALF_UP,
    "halfdown": decimal.ROUND_HALF_DOWN,
    "down": decimal.ROUND_DOWN,
    "up": decimal.ROUND_UP,
    "floor": decimal.ROUND_FLOOR,
    "ceiling": decimal.ROUND_CEILING,
}
WIDTHS = [1, 2, 3, 5, 18, 19, 20, 37, 38, 39, 60, 1000]

decimal.getcontext().prec = 20000
decimal.getcontext().Emax = decimal.MAX_EMAX
decimal.getcontext().Emin = decimal.MIN_EMIN


def text(d, s):
    """The text of d with exactly s fraction digits, as asstring() gives it ("-" never on 0)."""
    q = d.quantize(Decimal(1).scaleb(-s))
    t = format(q, "f")
    if q == 0:
        t = t.lstrip("-")
    return t


def fits(d, w, s):
    return abs(d) < Decimal(10) ** (w - s)


def value(w, s, d):
    return f"{w}/{s}/{text(d, s)}"


def quantized(d, w, s, mode):
    """d rounded to scale s with mode, or None when it does not fit width w."""
    q = d.quantize(Decimal(1).scaleb(-s), rounding=MODES[mode])
    return q if fits(q, w, s) else None


def randomvalue(rng, w, s):
    """A value of width w and scale s: random digits, or an edge (zero, all nines, one unit)."""
    kind = rng.randrange(6)
    if kind == 0:
        units = 0
    elif kind == 1:
        units = 10 ** w - 1
    elif kind == 2:
        units = 10 ** rng.randrange(w)
    else:
        units = rng.randrange(10 ** rng.randint(1, w))
    if rng.randrange(2):
        units = -units
    return Decimal(units).scaleb(-s)


def widthscale(rng):
    w = rng.choice(WIDTHS)
    s = rng.choice([0, w, rng.randint(0, w)]) if rng.randrange(3) else rng.randint(0, min(w, 12))
    return w, s


def tiestext(rng, w, s):
    """A text that is a tie (or one unit off a tie) at scale s, possibly with an exponent."""
    whole = rng.randrange(10 ** max(1, min(w - s, 6)))
    frac = "".join(rng.choice("0123456789") for _ in range(s))
    tail = rng.choice(["5", "50", "500", "49", "51", "5000001", "4999"])
    digits = f"{whole}.{frac}{tail}"
    if rng.randrange(2):
        digits = "-" + digits
    if rng.randrange(3) == 0:
        # the same value with its point moved into an exponent
        e = rng.randint(-3, 3)
        d = Decimal(digits).scaleb(-e)
        digits = f"{format(d, 'f')}e{e}" if rng.randrange(2) else f"{format(d, 'f')}E{e:+d}"
    return digits


def texts(rng, w, s):
    kind = rng.randrange(5)
    if kind == 0:
        return tiestext(rng, w, s)
    if kind == 1:  # one digit too many for the width, or just fitting
        n = max(w - s, 0) + rng.choice([0, 1])
        return ("-" if rng.randrange(2) else "") + ("9" * n if n else "0") + "." + "9" * (s + 1)
    if kind == 2:  # exponents that move the point across the digits
        m = "".join(rng.choice("0123456789") for _ in range(rng.randint(1, 8)))
        point = rng.randint(0, len(m))
        return f"{m[:point]}.{m[point:]}e{rng.randint(-12, 12)}"
    if kind == 3:
        return format(randomvalue(rng, w, rng.randint(0, s + 3)), "f")
    return rng.choice([".5", "5.", "+1", "-0", "0.000", "1e0", "-.5e1"])


def expectedtext(t, w, s, mode):
    try:
        d = Decimal(t)
    except decimal.InvalidOperation:
        return "invalid"
    q = quantized(d, w, s, mode)
    return "overflow" if q is None else value(w, s, q)


BADTEXTS = ["", "-", "+", ".", "e5", "1e", "1e+", "1.2.3", " 1", "1 ", "1_000", "0x10", "inf",
            "nan", "1,5", "--1", "1e5.5", "١٢"]


def cases(rng, count, ask):
    """Yields (request, expected answer) pairs."""
    for t in BADTEXTS:
        if t.strip() == t and t:
            yield f"text 10 2 halfeven {t}", "invalid"
    yield "text 5 6 halfeven 1", "invalid"  # scale beyond the width
    for _ in range(count):
        op = rng.choice(["text", "text", "double", "add", "sub", "mul", "div", "iadd", "isub",
                         "imul", "idiv", "rescale", "round", "cmp", "tofloat", "alloc",
                         "ratios"])
        mode = rng.choice(list(MODES))
        w, s = widthscale(rng)
        if op == "text":
            t = texts(rng, w, s)
            yield f"text {w} {s} {mode} {t}", expectedtext(t, w, s, mode)
            continue
        if op == "double":
            x = rng.choice([rng.uniform(-1e6, 1e6), rng.randint(-10**6, 10**6) / 8 + 0.125,
                            2.675, 0.1, 1.005, -0.5, 1e-7, 123456789.125])
            bits = struct.unpack("<Q", struct.pack("<d", x))[0]
            yield f"double {w} {s} {mode} {bits:x}", expectedtext(repr(x), w, s, mode)
            continue
        a = randomvalue(rng, w, s)
        wb, sb = widthscale(rng)
        if op.startswith("i") and rng.randrange(2):  # compound assignments of operands alike
            wb, sb = w, s
        b = randomvalue(rng, wb, sb)
        av, bv = value(w, s, a), value(wb, sb, b)
        if op in ("add", "sub", "mul"):
            r = a + b if op == "add" else a - b if op == "sub" else a * b
            rs = max(s, sb) if op != "mul" else s + sb
            rw = (max(w - s, wb - sb) + 1 + rs) if op != "mul" else w + wb
            yield f"{op} {av} {bv}", value(rw, rs, r)
        elif op == "div":
            qw, qs = widthscale(rng)
            if b == 0:
                yield f"div {av} {bv} {qw} {qs} {mode}", "domain"
                continue
            with decimal.localcontext() as c:
                c.prec = 2 * (w + wb + qs) + 50
                q = (a / b).quantize(Decimal(1).scaleb(-qs), rounding=MODES[mode])
            yield (f"div {av} {bv} {qw} {qs} {mode}",
                   value(qw, qs, q) if fits(q, qw, qs) else "overflow")
        elif op in ("iadd", "isub", "imul", "idiv"):
            if op == "idiv" and b == 0:
                yield f"{op} {av} {bv}", f"domain {av}"
                continue
            with decimal.localcontext() as c:
                c.prec = 2 * (w + wb + s) + 50
                exact = {"iadd": a + b, "isub": a - b, "imul": a * b,
                         "idiv": a / b if b != 0 else None}[op]
                q = exact.quantize(Decimal(1).scaleb(-s), rounding=decimal.ROUND_HALF_EVEN)
            yield f"{op} {av} {bv}", value(w, s, q) if fits(q, w, s) else f"overflow {av}"
        elif op == "rescale":
            q = quantized(a, wb, sb, mode)
            yield f"rescale {av} {wb} {sb} {mode}", "overflow" if q is None else value(wb, sb, q)
        elif op == "round":
            p = rng.randint(0, s + 2)
            yield f"round {av} {p} {mode}", text(a.quantize(Decimal(1).scaleb(-p),
                                                             rounding=MODES[mode]), p)
        elif op == "cmp":
            if rng.randrange(3) == 0:  # equal values at other widths and scales
                b = a
                wb, sb = w + rng.randint(0, 3), s + rng.randint(0, 3)
                wb = max(wb, sb + max(w - s, 0))
                bv = value(wb, sb, b)
            yield f"cmp {av} {bv}", str((a > b) - (a < b))
        elif op == "tofloat":
            bits = struct.unpack("<Q", struct.pack("<d", float(a)))[0]
            yield f"tofloat {av}", f"{bits:x}"
        elif op == "alloc":
            n = rng.choice([1, 2, 3, 7, 10, 100])
            units = int(a.scaleb(s))
            q, r = divmod(abs(units), n)
            parts = [q + 1] * r + [q] * (n - r)
            sign = -1 if units < 0 else 1
            yield (f"alloc {av} {n}",
                   " ".join(value(w, s, Decimal(sign * p).scaleb(-s)) for p in parts))
        else:
            ratios = [rng.choice([0, 1, 2, 3, 7, 10**18, 2**64 - 1]) for _ in range(rng.randint(1, 6))]
            if sum(ratios) == 0:
                yield f"ratios {av} {','.join(map(str, ratios))}", "invalid"
                continue
            units = int(a.scaleb(s))
            total = sum(ratios)
            shares = [abs(units) * r // total for r in ratios]
            rests = [abs(units) * r % total for r in ratios]
            left = abs(units) - sum(shares)
            order = sorted(range(len(ratios)), key=lambda i: (-rests[i], i))
            for i in order[:left]:
                shares[i] += 1
            sign = -1 if units < 0 else 1
            yield (f"ratios {av} {','.join(map(str, ratios))}",
                   " ".join(value(w, s, Decimal(sign * p).scaleb(-s)) for p in shares))


if __name__ == "__main__":
    sys.exit(oracle.main(cases, "Python's decimal", 20000))
