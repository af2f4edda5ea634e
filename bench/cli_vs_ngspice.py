#!/usr/bin/env python3
"""valvenix-cli solving C1 (JSON on stdout) against Debian's ngspice running the same circuit in batch
mode: the netlist `valvenix-cli spice C1` writes, with its operating point (.op) and a 46-point AC
sweep from 1 Hz to 100 kHz (9 points a decade, as the command line's Bode sweep).

Both run as whole processes, in turn (A B A B ...), after one warm-up each; each run's peak memory
comes from GNU time (scripts/install-deps.sh installs it), its CPU time from the kernel. Printed: per command the median and range of wall time,
CPU time and peak memory, then the median of the pair-by-pair ratios A/B, which holds when the
machine's speed drifts. Say the machine's load beside the figures.

usage: bench/cli_vs_ngspice.py [--build DIR] [--runs N]
"""
import argparse
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time


def run_once(cmd, report):
    # GNU time runs the command from its own small fork, so the peak memory it reports is the
    # command's (a fork of this interpreter would lend the command its own high-water mark). The CPU
    # time is the kernel's for GNU time and the command together (GNU time's own share is tiny), to the
    # microsecond where GNU time prints hundredths.
    start = time.perf_counter()
    with open(os.devnull, "wb") as sink:
        proc = subprocess.Popen(["/usr/bin/time", "-f", "%M", "-o", report] + cmd, stdout=sink, stderr=sink)
        _, status, usage = os.wait4(proc.pid, 0)
    wall = time.perf_counter() - start
    proc.returncode = os.waitstatus_to_exitcode(status)
    if proc.returncode != 0:
        sys.exit(f"{cmd[0]} exited with {proc.returncode}")
    with open(report) as f:
        peak_kib = f.read().split()[-1]
    return wall, usage.ru_utime + usage.ru_stime, int(peak_kib) / 1024.0


def summary(label, values, unit, digits):
    lo, med, hi = min(values), statistics.median(values), max(values)
    return f"{label:<22} {med:>10.{digits}f} {unit:<4} (min {lo:.{digits}f}, max {hi:.{digits}f})"


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default=os.path.join(os.path.dirname(__file__), "..", "build"))
    parser.add_argument("--runs", type=int, default=15)
    args = parser.parse_args()

    cli = os.path.abspath(os.path.join(args.build, "src", "valvenix-cli"))
    ngspice = shutil.which("ngspice")
    if not os.access(cli, os.X_OK) or not ngspice or not os.access("/usr/bin/time", os.X_OK):
        sys.exit("needs a built valvenix-cli, ngspice and GNU time (scripts/install-deps.sh installs them)")

    with tempfile.TemporaryDirectory() as work:
        data = os.path.join(work, "data")
        subprocess.run([cli, "--data-dir", data, "install-data"], check=True, stdout=subprocess.DEVNULL)
        netlist = subprocess.run([cli, "--data-dir", data, "spice", "C1"], check=True, capture_output=True,
                                 text=True).stdout
        netlist, n = re.subn(r"^\.ac .*$", ".ac dec 9 1 100k\n.print ac vdb(out)", netlist, flags=re.M)
        if n != 1 or "\n.op\n" not in netlist:
            sys.exit("the netlist has no .op and .ac lines to set")
        circuit = os.path.join(work, "c1.cir")
        with open(circuit, "w") as f:
            f.write(netlist)

        a = [cli, "--data-dir", data, "solve", "C1", "--json"]
        b = [ngspice, "-b", circuit]
        report = os.path.join(work, "time.txt")
        run_once(a, report), run_once(b, report)  # warm-up: caches, the model database
        runs = {"A": [], "B": []}
        for _ in range(args.runs):
            runs["A"].append(run_once(a, report))
            runs["B"].append(run_once(b, report))

    load = os.getloadavg()
    print(f"A = {' '.join(a[:1] + a[3:])}\nB = ngspice -b (C1, .op, 46-point .ac)")
    print(f"{args.runs} runs each, in turn; load average {load[0]:.1f} {load[1]:.1f} {load[2]:.1f}, "
          f"{os.cpu_count()} cores")
    for name in ("A", "B"):
        walls, cpus, peaks = zip(*runs[name])
        print(summary(f"{name} wall", [w * 1e3 for w in walls], "ms", 1))
        print(summary(f"{name} cpu", [c * 1e3 for c in cpus], "ms", 1))
        print(summary(f"{name} peak memory", peaks, "MiB", 1))
    for i, what in ((0, "wall"), (1, "cpu")):
        ratios = [ra[i] / rb[i] for ra, rb in zip(runs["A"], runs["B"]) if rb[i] > 0]
        print(summary(f"A/B {what}", ratios, "", 2))


if __name__ == "__main__":
    main()
