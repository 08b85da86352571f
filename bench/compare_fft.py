#!/usr/bin/env python3
"""Pairs the cases of bench_fft with their FFTW counterparts.

Usage: bench_fft --benchmark_repetitions=3 --benchmark_format=json > out.json
       python3 bench/compare_fft.py out.json [--cpu]
Prints per case the median real time of ours and of FFTW and their ratio;
with --cpu the median CPU time of the calling thread instead, which is
steadier on a busy machine but says nothing about the threaded cases.
"""
import json
import statistics
import sys
from collections import defaultdict

PAIRS = {
    "BM_ComplexFft": ["BM_Fftw"],
    "BM_MixedRadixDft": ["BM_FftwDft", "BM_FftwDftDouble"],
    "BM_RealSpectrum": ["BM_FftwRealDft"],
    "BM_SpectrumToWave": ["BM_FftwRealDft"],
}


def case_times(report, field):
    times = defaultdict(list)
    for b in report["benchmarks"]:
        if b.get("run_type") == "aggregate":
            continue
        name = b["run_name"].replace("/real_time", "")
        scale = {"ns": 1e-3, "us": 1.0, "ms": 1e3}[b["time_unit"]]
        times[name].append(b[field] * scale)
    return {name: statistics.median(values) for name, values in times.items()}


def main():
    field = "cpu_time" if "--cpu" in sys.argv[2:] else "real_time"
    with open(sys.argv[1]) as f:
        medians = case_times(json.load(f), field)
    print(f"| case | ours (us) | FFTW (us) | ratio |")
    print(f"|---|---:|---:|---:|")
    for name, ours in medians.items():
        family, _, args = name.partition("/")
        if family not in PAIRS:
            continue
        for yardstick in PAIRS[family]:
            theirs = medians.get(f"{yardstick}/{args}")
            if theirs:
                print(f"| {name} vs {yardstick} | {ours:.3f} | {theirs:.3f} | {ours / theirs:.2f} |")


if __name__ == "__main__":
    main()
