#!/usr/bin/env python3
"""Python's own integers on the small-number jobs of bench_small.cpp: `a * b % m` and
`(a + b) % m` with m = 10^n, the operands held as ints, nanoseconds per operation.
Usage: bench/python_peer.py"""
import random
import timeit

random.seed(20261210)
print(f"{'job':<12} {'digits':>6} {'ns':>8}")
for n in (18, 40, 128):
    m = 10**n
    a = random.randrange(10 ** (n - 1), m)
    b = random.randrange(10 ** (n - 1), m)
    for job, stmt in (("a*b%m", "a * b % m"), ("(a+b)%m", "(a + b) % m")):
        runs = 1_000_000
        best = min(timeit.repeat(stmt, globals={"a": a, "b": b, "m": m}, number=runs, repeat=5))
        print(f"{job:<12} {n:>6} {best / runs * 1e9:>8.1f}")
