#!/usr/bin/env python3
"""What the caches of the materials and beams layers save, through the Python module: a
material looked up again (tarvo.material by symbol, atomic number and stem, the first call
apart), and a 1000-bin beam's HVL1 in aluminium weighted by air kerma against the fluence
weighting that needs no air. Best of several runs, in us a call.
Usage: bench/cache_bench.py [BUILD_DIRECTORY]"""
import os
import sys
import timeit

import numpy as np

build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
sys.path.insert(0, os.path.join(build, "python"))
import tarvo  # noqa: E402


def best_us(call, number):
    return min(timeit.repeat(call, number=number, repeat=7)) / number * 1e6


def main():
    for name in ("Fe", "26", "Water"):
        first = best_us(lambda: tarvo.material(name).mu(0.1), 1)
        again = best_us(lambda: tarvo.material(name), 20000)
        print(f"tarvo.material({name!r}): again {again:.2f} us (a reading after it: {first:.1f} us)")
    energies = 10.0 + 0.1 * np.arange(1, 1001)
    beam = tarvo.Spectrum(energies, np.ones(1000))
    kerma = best_us(lambda: beam.hvl("Al"), 300)
    fluence = best_us(lambda: beam.hvl("Al", weighting="fluence"), 300)
    print(f"hvl, 1000 bins: air kerma {kerma:.0f} us, fluence {fluence:.0f} us, "
          f"ratio {kerma / fluence:.2f}")


if __name__ == "__main__":
    main()
