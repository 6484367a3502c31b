#!/usr/bin/env python3
"""Checks fixedint's integer operands, steps, number theory and conversions against Python's int.

Usage: integer_oracle.py [--cases N] [--seed S] DRIVER...   (the driver's command: an emulator
and its words may come first)

Generates random and edge cases (zero, one, all nines, powers of ten, negative values and "-0",
numbers with `issigned` false, integers of every type at their limits, widths around the limb of
18 digits, the square root's base case and the division's, gcd operands with a large common
factor, perfect powers and their neighbours, moduli 1 and 10^width - 1, values with no inverse),
runs them through DRIVER (tests/integer_driver.cpp) and compares every answer with the model the
header describes, computed with Python's int.
"""
import math
import struct
import sys

import oracle

WIDTHS = [1, 2, 3, 9, 17, 18, 19, 20, 35, 36, 37, 38, 39, 40, 41, 54, 55, 72, 73, 90, 100, 200,
          576, 577, 1000]
LARGE = [3600, 8200, 15000]
if hasattr(sys, "set_int_max_str_digits"):
    sys.set_int_max_str_digits(0)  # numbers of thousands of digits
TYPES = {"i32": (-2**31, 2**31 - 1), "u32": (0, 2**32 - 1), "i64": (-2**63, 2**63 - 1),
         "u64": (0, 2**64 - 1), "i128": (-2**127, 2**127 - 1), "u128": (0, 2**128 - 1)}


class Number:
    """A number as the driver makes it: width, text (its asstring), issigned."""

    def __init__(self, w, text, signed=True):
        self.w, self.text, self.signed = w, text, signed
        self.minus = text.startswith("-")
        self.magnitude = abs(int(text)) if w else 0

    def token(self):
        return f"{self.w}/{self.text}" + ("" if self.signed else "/u")

    def value(self, signed=None):
        """The value the operations read: the magnitude alone where issigned (this number's, or
        the first operand's where given) is false."""
        signed = self.signed if signed is None else signed
        return -self.magnitude if signed and self.minus else self.magnitude

    def flagged(self):
        """The value the sign flag gives, whatever issigned says (as the conversions read it)."""
        return -self.magnitude if self.minus else self.magnitude


def show(w, v):
    """A result of width w holding the exact v: its sign, its magnitude modulo 10^w."""
    if w == 0:
        return "0/"
    m = abs(v) % 10**w
    return f"{w}/{'-' if v < 0 and m else ''}{m}"


def showflag(w, minus, m):
    return f"{w}/{'-' if minus else ''}{m}" if w else f"0/{'-' if minus else ''}"


def truncdiv(a, b):
    q = abs(a) // abs(b)
    return q if (a < 0) == (b < 0) else -q


def width(rng):
    return rng.choice(LARGE) if rng.randrange(60) == 0 else rng.choice(WIDTHS)


def magnitude(rng, w):
    kind = rng.randrange(8)
    if kind == 0:
        return 0
    if kind == 1:
        return 1
    if kind == 2:
        return 10**w - 1
    if kind == 3:
        return 10**rng.randrange(w)
    if kind == 4:
        return rng.randrange(1, 10**min(w, 3))
    return rng.randrange(10**rng.randint(1, w))


def number(rng, w, signed=None, positive=False):
    if signed is None:
        signed = rng.randrange(6) != 0
    if w == 0:
        return Number(0, "", signed)
    minus = not positive and rng.randrange(3) == 0
    return Number(w, ("-" if minus else "") + str(magnitude(rng, w)), signed)


def integer(rng, types):
    name = rng.choice(types)
    lo, hi = TYPES[name]
    v = rng.choice([0, 1, -1, lo, hi, lo + 1, hi - 1, 10**rng.randint(0, 38),
                    -10**rng.randint(0, 38), rng.randint(lo, hi), rng.randint(-1000, 1000)])
    v = max(lo, min(hi, v))
    return f"{name}:{v}", v


def mixed(op, x, v, numberleft):
    w = x.w
    if w == 0:
        return "0/"
    if x.signed:
        a, b = (x.value(), v) if numberleft else (v, x.value())
        if op in "/%" and b == 0:
            return "domain"
        if op in "/%":
            q = truncdiv(a, b)
            return show(w, q if op == "/" else a - b * q)
        return show(w, a + b if op == "+" else a - b if op == "-" else a * b)
    a, b = (x.magnitude, v % 10**w) if numberleft else (v % 10**w, x.magnitude)
    if op in "/%":
        return "domain" if b == 0 else show(w, a // b if op == "/" else a % b)
    return show(w, (a + b if op == "+" else a - b if op == "-" else a * b) % 10**w)


def theory(rng, op):
    w = width(rng)
    if op == "gcd" or op == "lcm":
        x, y = number(rng, w), number(rng, w)
        if rng.randrange(2) and w > 2:  # a large common factor
            g = rng.randrange(1, 10**(w // 2))
            x = Number(w, str(g * rng.randrange(10**(w - len(str(g))))), x.signed)
            y = Number(w, "-" * rng.randrange(2) + str(g * rng.randrange(10**(w - len(str(g))))))
        a, b = abs(x.value()), abs(y.value())
        g = math.gcd(a, b)
        r = g if op == "gcd" else (0 if a == 0 or b == 0 else a // g * b)
        return f"{op} {x.token()} {y.token()}", show(w, r)
    if op == "isqrt" or op == "iroot":
        k = 2 if op == "isqrt" else rng.choice([0, 1, 2, 3, 5, 7, 64, 1000, 2**64 - 1])
        x = number(rng, w)
        if rng.randrange(3) == 0 and k > 0:  # a perfect power and its neighbours
            r = rng.randrange(1, 10**max(1, w // max(k, 1) // 2 + 1))
            p = r**k + rng.choice([-1, 0, 1]) if k < 100 else r
            if 0 <= p < 10**w:
                x = Number(w, str(p), x.signed)
        request = f"isqrt {x.token()}" if op == "isqrt" else f"iroot {x.token()} {k}"
        v = x.value()
        if k == 0 or v < 0:
            return request, "domain"
        return request, show(w, introot(v, k))
    if op in ("powmod", "powmodn"):
        if w > 2000 and rng.randrange(4):
            w = rng.choice(WIDTHS)
        x = number(rng, w)
        m = modulus(rng, w)
        e = rng.choice([0, 1, 2, 3, 10, 2**64 - 1, rng.randrange(2**64), rng.randrange(1000)])
        if op == "powmod":
            request = f"powmod {x.token()} {e} {m.token()}"
        else:
            ew = rng.choice([1, 5, 20, 40, 100])
            en = Number(ew, ("-" if rng.randrange(8) == 0 else "") + str(e % 10**ew))
            e = en.value(x.signed)
            request = f"powmodn {x.token()} {en.token()} {m.token()}"
        if m.value(x.signed) <= 0 or e < 0:
            return request, "domain"
        return request, show(w, pow(x.value(), e, m.value(x.signed)))
    if op == "invert":
        x = number(rng, w)
        request = f"invert {x.token()}"
        if w == 0:
            return request, "0/"
        if math.gcd(x.value(), 10) != 1:
            return request, "domain"
        return request, show(w, pow(x.value(), -1, 10**w))
    x, m = number(rng, w), modulus(rng, w)
    request = f"invertm {x.token()} {m.token()}"
    if m.value(x.signed) <= 0 or math.gcd(x.value(), m.value(x.signed)) != 1:
        return request, "domain"
    return request, show(w, pow(x.value(), -1, m.value(x.signed)))


def modulus(rng, w):
    kind = rng.randrange(8)
    if kind == 0:
        return Number(w, "1")
    if kind == 1:
        return Number(w, str(10**w - 1))
    if kind == 2:
        return Number(w, str(10**rng.randrange(w)))
    if kind == 3:
        return Number(w, rng.choice(["0", "-0", "-7", "2"]) if w else "0")
    return number(rng, w, positive=rng.randrange(5) != 0)


def introot(v, k):
    """floor(v^(1/k)) for v >= 0, k >= 1."""
    if v < 2 or k == 1:
        return v
    if k >= v.bit_length():
        return 1
    r = 1 << ((v.bit_length() + k - 1) // k)  # above the root
    while True:
        s = ((k - 1) * r + v // r**(k - 1)) // k
        if s >= r:
            return r
        r = s


def conversion(rng, op, types):
    w = width(rng)
    if w > 100:
        w = rng.choice(WIDTHS[:15])
    if op == "as":
        x = number(rng, w)
        if rng.randrange(2):  # near the limits of the types
            edge = rng.choice([2**63, 2**64, 2**127, 2**128]) + rng.randint(-2, 1)
            if len(str(edge)) <= w:
                x = Number(w, ("-" if rng.randrange(2) else "") + str(edge), x.signed)
        name = rng.choice(["i64", "u64", "d"] + types[4:])
        v = x.flagged()
        if name == "d":
            try:
                d = float(v)
            except OverflowError:
                d = math.copysign(math.inf, v)
            return f"as d {x.token()}", f"{struct.unpack('<Q', struct.pack('<d', d))[0]:x}"
        lo, hi = TYPES[name]
        return f"as {name} {x.token()}", str(v) if lo <= v <= hi else "range"
    if op == "double":
        d = rng.choice([0.0, -0.0, 1.0, -1.5, 0.5, 1e15, 2.0**53, 2.0**63, 2.0**64, -2.0**64,
                        1e22, 1e23, 2.0**200, -1e300, 1.7976931348623157e308, math.inf,
                        math.nan, float(rng.randrange(10**15)), rng.uniform(-1e30, 1e30)])
        w = rng.choice([0, 1, 5, 16, 19, 20, 23, 24, 60, 309, 400])
        request = f"double {w} {struct.unpack('<Q', struct.pack('<d', d))[0]:x}"
        if not math.isfinite(d) or d != int(d):
            return request, "invalid"
        v = int(d)
        return request, "range" if len(str(abs(v))) > w else show(w, v)
    if op == "tochars":
        x = number(rng, w)
        text = str(x.flagged()) if w else "0"
        size = len(text) + rng.choice([-1, 0, 5])
        return f"tochars {x.token()} {max(size, 0)}", text if size >= len(text) else "toolarge"
    text = rng.choice(["", "-", "+5", "007", "-0", "-00120x", "12.5", "9" * (w + 1),
                       "-" + "9" * w, str(rng.randrange(10**w)) + "abc"])
    head = text[1:] if text.startswith("-") else text
    digits = head[:len(head) - len(head.lstrip("0123456789"))]
    used = len(digits) + (1 if text.startswith("-") and digits else 0)
    request = f"fromchars {w} {text if text else '_'}"
    if not digits:
        return request, "invalid 0"
    sig = digits.lstrip("0") or "0"
    if len(sig) > w:
        return request, f"range {used} {showflag(w, False, 0)}"
    minus = text.startswith("-") and sig != "0"
    return request, f"{showflag(w, minus, int(sig))} {used}"


def cases(rng, count, ask):
    types = list(TYPES) if ask(["caps"])[0] == "int128" else list(TYPES)[:4]
    for _ in range(count):
        op = rng.choice(["mix", "mix", "mix", "set", "set", "step", "abs", "residue", "count",
                         "shl", "shr", "gcd", "gcd", "lcm", "isqrt", "isqrt", "iroot", "powmod",
                         "powmodn", "invert", "invertm", "as", "as", "double", "tochars",
                         "fromchars"])
        if op in ("gcd", "lcm", "isqrt", "iroot", "powmod", "powmodn", "invert", "invertm"):
            yield theory(rng, op)
            continue
        if op in ("as", "double", "tochars", "fromchars"):
            yield conversion(rng, op, types)
            continue
        w = rng.choice([0] + WIDTHS) if rng.randrange(40) else rng.choice(LARGE)
        x = number(rng, w)
        if op == "mix" or op == "set":
            o = rng.choice("+-*/%")
            token, v = integer(rng, types)
            if op == "mix":
                left = rng.randrange(2) == 0
                request = f"mix {o} {x.token()} {token}" if left else f"mix {o} {token} {x.token()}"
                yield request, mixed(o, x, v, left)
                continue
            want = mixed(o, x, v, True)
            if want == "domain":
                want = f"domain {showflag(w, x.minus, x.magnitude)}"
            yield f"set {o} {x.token()} {token}", want
        elif op == "step":
            kind = rng.choice(["inc", "dec", "postinc", "postdec"])
            after = mixed("+" if kind.endswith("inc") else "-", x, 1, True)
            before = showflag(w, x.minus, x.magnitude)
            yield f"step {kind} {x.token()}", (f"{before} {after}" if kind.startswith("post")
                                                else f"{after} {after}")
        elif op == "abs":
            yield f"abs {x.token()}", show(w, x.magnitude)
        elif op == "residue":
            r = (10**w - x.magnitude) % 10**w if x.signed and x.minus else x.magnitude
            yield f"residue {x.token()}", show(w, r)
        elif op == "count":
            m = x.magnitude
            yield f"count {x.token()}", f"{len(str(m)) if m else 0} {int(m == 0)}"
        else:
            k = max(rng.choice([0, 1, 2, 17, 18, 19, w - 1, w, w + 1, 2**64 - 1]), 0)
            if k >= w:
                m = 0
            elif op == "shl":
                m = x.magnitude * 10**k % 10**w
            else:
                m = x.magnitude // 10**k
            yield f"{op} {x.token()} {k}", showflag(w, x.minus and m != 0, m)


if __name__ == "__main__":
    sys.exit(oracle.main(cases, "Python's int", 20000))
