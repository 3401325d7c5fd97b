#!/usr/bin/env python3
"""Readings from several Python threads at once: 10^6 energies a thread (iron and water,
then eight materials), the threads together against the same work one after another, best
of several runs. The readings let the interpreter go while they work.
Usage: bench/threads_bench.py [BUILD_DIRECTORY]"""
import concurrent.futures
import math
import os
import sys
import time

import numpy as np

build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
sys.path.insert(0, os.path.join(build, "python"))
import tarvo  # noqa: E402

COUNT = 10**6
REPEATS = 5


def best_seconds(run):
    best = math.inf
    for _ in range(REPEATS):
        start = time.perf_counter()
        run()
        best = min(best, time.perf_counter() - start)
    return best


def compare(names, energies):
    materials = [tarvo.material(name) for name in names]
    for material in materials:
        material.mu(energies[:10])
    serial = best_seconds(lambda: [material.mu(energies) for material in materials])
    with concurrent.futures.ThreadPoolExecutor(max_workers=len(materials)) as pool:
        together = best_seconds(
            lambda: list(pool.map(lambda material: material.mu(energies), materials)))
    print(f"{len(materials)} threads x 10^6 readings: one after another {serial * 1e3:.0f} ms, "
          f"together {together * 1e3:.0f} ms, speed-up {serial / together:.2f}x "
          f"on {os.cpu_count()} cores")


def main():
    energies = np.exp(np.random.default_rng(20261210).uniform(math.log(0.001), math.log(20.0),
                                                               COUNT))
    compare(["Fe", "Water"], energies)
    compare(["Water", "Pb", "Fe", "Bone_Cortical", "Air", "Cu", "Al", "I"], energies)


if __name__ == "__main__":
    main()
