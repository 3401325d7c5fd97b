#!/usr/bin/env python3
"""The module's batch readings beside NumPy-vectorised xraylib, in one process on the same
arrays: 10^6 energies from 1 keV to 0.79 MeV (xraylib's range), random or ascending. Prints
ns a reading for each and the ratios the targets are set in; the peer for water is the sum
of w_i CS_Total(Z_i) over its elements by weight. Usage: bench/batch_bench.py [BUILD_DIR]"""
import math
import os
import sys
import timeit

import numpy as np
import xraylib
import xraylib_np

build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
sys.path.insert(0, os.path.join(build, "python"))
import tarvo  # noqa: E402

COUNT = 10**6
CALLS = 200000
REPEATS = 9


def interleaved(calls, number, readings):
    """ns a reading of each call, timed `number` times a round for `readings` readings in
    all; the least of REPEATS rounds in which every call takes its turn, so that a slow spell
    of the machine falls on all alike."""
    best = {what: math.inf for what in calls}
    for _ in range(REPEATS):
        for what, call in calls.items():
            seconds = timeit.timeit(call, number=number)
            best[what] = min(best[what], seconds / readings * 1e9)
    return best


def main():
    generator = np.random.default_rng(20261210)
    energies = np.exp(generator.uniform(math.log(0.001), math.log(0.79), COUNT))
    ascending = np.sort(energies)
    kev = energies * 1000
    iron, water, blood = tarvo.material("Fe"), tarvo.material("Water"), tarvo.material("Blood_Whole")
    shares = water.composition  # by symbol, fractions by weight
    numbers = np.array([xraylib.SymbolToAtomicNumber(symbol) for symbol in shares])
    weights = np.array(list(shares.values()))

    calls = {
        "Fe mu, random": lambda: iron.mu(energies),
        "Fe mu, ascending": lambda: iron.mu(ascending),
        "Fe mu, mu_tr, mu_en together": lambda: iron.coefficients(energies),
        "Blood_Whole (10 elements) mu": lambda: blood.mu(energies),
        "Water mu": lambda: water.mu(energies),
        "xraylib CS_Total(26, E)": lambda: xraylib_np.CS_Total(np.array([26]), kev),
        "xraylib water, sum w_i CS_Total(Z_i, E)":
            lambda: weights @ xraylib_np.CS_Total(numbers, kev),
    }
    single = {
        "Fe.mu(0.123), one float": lambda: iron.mu(0.123),
        "xraylib.CS_Total(26, 123.0), one call": lambda: xraylib.CS_Total(26, 123.0),
    }
    figures = interleaved(calls, 1, COUNT) | interleaved(single, CALLS, CALLS)
    for what, ns in figures.items():
        print(f"{what:45} {ns:8.1f} ns")
    f = figures
    print()
    ratios = [
        ("xraylib / tarvo, Fe mu (target >= 3)",
         f["xraylib CS_Total(26, E)"] / f["Fe mu, random"]),
        ("xraylib / tarvo, water mu",
         f["xraylib water, sum w_i CS_Total(Z_i, E)"] / f["Water mu"]),
        ("ascending / random (target <= 0.6)", f["Fe mu, ascending"] / f["Fe mu, random"]),
        ("three coefficients / one (target <= 1.7)",
         f["Fe mu, mu_tr, mu_en together"] / f["Fe mu, random"]),
        ("10-element material / element (target <= 1.1)",
         f["Blood_Whole (10 elements) mu"] / f["Fe mu, random"]),
        ("one float / xraylib one call (target <= 1.1)",
         f["Fe.mu(0.123), one float"] / f["xraylib.CS_Total(26, 123.0), one call"]),
    ]
    for what, ratio in ratios:
        print(f"{what:50} {ratio:6.2f}")


if __name__ == "__main__":
    main()
