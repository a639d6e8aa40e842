#!/usr/bin/env python3
"""Times the compiler on generated manuals of 100, 1000 and 2900 topics.

For each size it times the pre-processor alone (gpp with the arguments the
compiler gives it) and a whole run of the compiler in every format (NONE,
HLP, RTF, CHM, HTML; Pass 1 included, no -gx). Every figure is the median of
several runs, taken in rounds in which every size and format has its turn.
The table shows, per format, the median time, its ratio to gpp alone on the
same source, the source's megabytes per second and the peak resident memory;
the last lines hold the figures against the goals, and how much room the
machine gave a second busy process: two gpp runs at once are timed against
one (a whole run keeps both cores busy while Pass 2 runs beside gpp, while
gpp alone keeps one busy).

Usage: bench/run.py [path/to/quillark] [--sizes 100,1000,2900] [--runs 7] [--keep]
"""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
FORMATS = ("NONE", "HLP", "RTF", "CHM", "HTML")
GOAL_RATIO = 2.0
GOAL_RATIO_NONE = 1.3
GOAL_GROWTH = 3.2  # time at 2900 topics over time at 1000
GOAL_RSS_MIB = 64


def timed(argv, cwd):
    """Runs argv; returns (wall seconds, peak RSS in MiB, exit status)."""
    start = time.perf_counter()
    with open(os.devnull, "wb") as null:
        process = subprocess.Popen(argv, cwd=cwd, stdout=null, stderr=null)
        _, status, usage = os.wait4(process.pid, 0)
    wall = time.perf_counter() - start
    return wall, usage.ru_maxrss / 1024.0, os.waitstatus_to_exitcode(status)


def timed_together(argvs, cwd):
    """Runs every argv at once; returns the wall seconds until all have ended."""
    start = time.perf_counter()
    with open(os.devnull, "wb") as null:
        processes = [subprocess.Popen(argv, cwd=cwd, stdout=null, stderr=null) for argv in argvs]
        for process in processes:
            process.wait()
    return time.perf_counter() - start


def gpp_argv(source, output, format_name):
    # The same arguments the compiler passes in Pass 1.
    return ["gpp", source, "-o", output, "+c", "<comment>", "</comment>", "+z", "-U", "<",
            "/>", "\\B", "=", "/>", "<", ">", "#", "", "-D", "now=2026-01-01 00:00:00.0000",
            "-D", "format=" + format_name]


def check_listing(folder):
    with open(os.path.join(folder, "bench.lst"), "rb") as f:
        listing = f.read().decode("latin-1")
    if ": 0 errors." not in listing:
        print("bench: the listing in %s has reports:\n%s" % (folder, listing[:400]),
              file=sys.stderr)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("program", nargs="?", default=os.path.join(HERE, "..", "build", "quillark"))
    parser.add_argument("--sizes", default="100,1000,2900")
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("--keep", action="store_true", help="keep the generated folder")
    args = parser.parse_args(argv)
    program = os.path.abspath(args.program)
    if not os.access(program, os.X_OK):
        print("bench: no program at %s (build it first: make build)" % program, file=sys.stderr)
        return 2
    sizes = [int(size) for size in args.sizes.split(",")]
    work = tempfile.mkdtemp(prefix="quillark-bench.")
    results = {}  # (size, format) -> (median seconds, peak MiB)
    gpp_times = {}
    source_mb = {}
    pair_ratios = {}  # size -> two gpp runs at once against one
    try:
        print("%-6s %8s %8s  %s" % ("topics", "source", "gpp", "  ".join(
            "%-28s" % f for f in FORMATS)))
        print("%-6s %8s %8s  %s" % ("", "MB", "s", "  ".join(
            "%-28s" % "s  x gpp  MB/s  MiB" for _ in FORMATS)))
        sources = {}
        folders = {}  # (size, format) -> the folder that format runs in
        for size in sizes:
            base = os.path.join(work, "source_%d" % size)
            os.makedirs(base)
            sources[size] = os.path.join(base, "bench.txt")
            subprocess.run([sys.executable, os.path.join(HERE, "make_source.py"), "--topics",
                            str(size), sources[size]], check=True)
            source_mb[size] = os.path.getsize(sources[size]) / 1e6
            for format_name in FORMATS:
                # Each format runs in a folder of its own: CHM pages share temp/.
                folders[(size, format_name)] = os.path.join(work, "%d_%s" % (size, format_name))
                shutil.copytree(base, folders[(size, format_name)])
        # The runs take turns, and so do the sizes: in each round every size
        # has gpp alone first, then the pair and every format, so that a
        # machine that slows down or speeds up meanwhile moves all alike, the
        # growth from one size to the next included.
        gpp_walls = {size: [] for size in sizes}
        pair_walls = {size: [] for size in sizes}
        walls = {key: [] for key in folders}
        peaks = {key: [] for key in folders}
        for _ in range(args.runs):
            for size in sizes:
                base = os.path.dirname(sources[size])
                gpp_walls[size].append(
                    timed(gpp_argv(sources[size], os.path.join(base, "gpp.pp"), "HTML"), base)[0])
                pair_walls[size].append(timed_together(
                    [gpp_argv(sources[size], os.path.join(base, name), "HTML")
                     for name in ("gpp_a.pp", "gpp_b.pp")], base))
                for format_name in FORMATS:
                    folder = folders[(size, format_name)]
                    wall, peak, status = timed(
                        [program, "-i", os.path.join(folder, "bench"), "-g", format_name], folder)
                    if status != 0:
                        print("bench: %s run in %s ended with status %d" %
                              (format_name, folder, status), file=sys.stderr)
                    walls[(size, format_name)].append(wall)
                    peaks[(size, format_name)].append(peak)
        for size in sizes:
            gpp_times[size] = statistics.median(gpp_walls[size])
            pair_ratios[size] = statistics.median(pair_walls[size]) / gpp_times[size]
            cells = []
            for format_name in FORMATS:
                check_listing(folders[(size, format_name)])
                median = statistics.median(walls[(size, format_name)])
                peak = max(peaks[(size, format_name)])
                results[(size, format_name)] = (median, peak)
                cells.append("%-28s" % ("%6.3f  %5.2fx  %5.1f  %3.0f" % (
                    median, median / gpp_times[size], source_mb[size] / median, peak)))
            print("%-6d %8.1f %8.3f  %s" % (size, source_mb[size], gpp_times[size],
                                           "  ".join(cells)))
        print("(median of %d runs, wall seconds; %d cores; program: %s)" %
              (args.runs, os.cpu_count() or 0, program))
        report_goals(sizes, results, gpp_times)
        print("       two gpp runs at once took %s the time of one (1x: the second had a core "
              "of its own, 2x: the two shared one)" %
              ", ".join("%.2fx at %d" % (pair_ratios[size], size) for size in sizes))
    finally:
        if args.keep:
            print("bench: kept %s" % work)
        else:
            shutil.rmtree(work, ignore_errors=True)
    return 0


def report_goals(sizes, results, gpp_times):
    worst = {}
    for (size, format_name), (median, peak) in results.items():
        ratio = median / gpp_times[size]
        limit = GOAL_RATIO_NONE if format_name == "NONE" else GOAL_RATIO
        worst.setdefault("ratio", []).append((ratio / limit, ratio, size, format_name))
        worst.setdefault("rss", []).append((peak, size, format_name))
    _, ratio, size, format_name = max(worst["ratio"])
    print("goals: highest ratio to gpp %.2fx (%s at %d topics; limits %.1fx, NONE %.1fx)" %
          (ratio, format_name, size, GOAL_RATIO, GOAL_RATIO_NONE))
    peak, size, format_name = max(worst["rss"])
    print("       peak memory %.0f MiB (%s at %d topics; limit %d MiB)" %
          (peak, format_name, size, GOAL_RSS_MIB))
    if 1000 in sizes and 2900 in sizes:
        growth = max((results[(2900, f)][0] / results[(1000, f)][0], f) for f in FORMATS)
        print("       2900/1000 topics time %.2fx (%s; limit %.1fx)" %
              (growth[0], growth[1], GOAL_GROWTH))


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
