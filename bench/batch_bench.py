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
REPEATS = 7


def ns_per_reading(call, count=COUNT):
    return min(timeit.repeat(call, number=1, repeat=REPEATS)) / count * 1e9


def ns_per_call(call, number=200000):
    return min(timeit.repeat(call, number=number, repeat=REPEATS)) / number * 1e9


def main():
    generator = np.random.default_rng(20261210)
    energies = np.exp(generator.uniform(math.log(0.001), math.log(0.79), COUNT))
    ascending = np.sort(energies)
    kev = energies * 1000
    iron, water, blood = tarvo.material("Fe"), tarvo.material("Water"), tarvo.material("Blood_Whole")
    shares = water.composition  # by symbol, fractions by weight
    numbers = np.array([xraylib.SymbolToAtomicNumber(symbol) for symbol in shares])
    weights = np.array(list(shares.values()))

    figures = {
        "Fe mu, random": ns_per_reading(lambda: iron.mu(energies)),
        "Fe mu, ascending": ns_per_reading(lambda: iron.mu(ascending)),
        "Fe mu, mu_tr, mu_en together": ns_per_reading(lambda: iron.coefficients(energies)),
        "Blood_Whole (10 elements) mu": ns_per_reading(lambda: blood.mu(energies)),
        "Water mu": ns_per_reading(lambda: water.mu(energies)),
        "xraylib CS_Total(26, E)": ns_per_reading(
            lambda: xraylib_np.CS_Total(np.array([26]), kev)),
        "xraylib water, sum w_i CS_Total(Z_i, E)": ns_per_reading(
            lambda: weights @ xraylib_np.CS_Total(numbers, kev)),
        "Fe.mu(0.123), one float": ns_per_call(lambda: iron.mu(0.123)),
        "xraylib.CS_Total(26, 123.0), one call": ns_per_call(lambda: xraylib.CS_Total(26, 123.0)),
    }
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
