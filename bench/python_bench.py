#!/usr/bin/env python3
"""Water's mu/rho through the Python module on 10^6 energies spread on the log scale from
1 keV to 20 MeV, by both methods, in ns a reading, beside the C++ reading benchmark run
on the same energies. Usage: bench/python_bench.py [BUILD_DIRECTORY]"""
import json
import math
import os
import subprocess
import sys
import tempfile
import time

import numpy as np

build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
sys.path.insert(0, os.path.join(build, "python"))
import tarvo  # noqa: E402

COUNT = 10**6
REPEATS = 7


def module_ns(water, energies, method):
    best = math.inf
    for _ in range(REPEATS):
        start = time.perf_counter()
        water.mu(energies, method=method)
        best = min(best, time.perf_counter() - start)
    return best / len(energies) * 1e9


def cpp_ns(energies_file):
    done = subprocess.run(
        [os.path.join(build, "bench", "reading_bench"), "--benchmark_filter=tarvoReading",
         "--benchmark_format=json", "--benchmark_repetitions=3",
         "--benchmark_report_aggregates_only=true"],
        env={**os.environ, "TARVO_BENCH_ENERGIES": energies_file},
        capture_output=True, text=True, check=True)
    figures = {}
    for run in json.loads(done.stdout)["benchmarks"]:
        if run.get("aggregate_name") == "median":
            method = "loglog" if run["run_name"].endswith(":0") else "spline"
            figures[method] = run["real_time"] * 1e6 / COUNT  # ms an iteration
    return figures


def main():
    generator = np.random.default_rng(20261208)
    energies = np.exp(generator.uniform(math.log(0.001), math.log(20.0), COUNT))
    water = tarvo.Material("Water")
    with tempfile.NamedTemporaryFile(suffix=".f64") as file:
        energies.tofile(file.name)
        cpp = cpp_ns(file.name)
    print(f"{'method':8} {'Python ns':>10} {'C++ ns':>8} {'ratio':>6}")
    for method in ("loglog", "spline"):
        python = module_ns(water, energies, method)
        print(f"{method:8} {python:10.1f} {cpp[method]:8.1f} {python / cpp[method]:6.2f}")


if __name__ == "__main__":
    main()
