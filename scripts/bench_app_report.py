#!/usr/bin/env python3
"""The table and the target ratios of scripts/bench-app.sh, from its results file.

Each line of the results file is: book, measure, value. Medians over the runs.
"""
import statistics
import sys
from collections import defaultdict


def load(path):
    values = defaultdict(list)
    with open(path) as f:
        for line in f:
            parts = line.rstrip("\n").split("\t")
            if len(parts) == 3 and parts[2] not in ("", "None"):
                values[(parts[0], parts[1])].append(float(parts[2]))
    return {key: statistics.median(v) for key, v in values.items()}


def fmt(value, scale=1.0, digits=2):
    return "-" if value is None else f"{value / scale:.{digits}f}"


def main():
    m = load(sys.argv[1])
    sizes = sys.argv[2].split()
    bigs = sys.argv[3].split()
    get = lambda book, what: m.get((book, what))

    print("| book | file MB | start s | exit s | switch ms | stream-in ms | search s | peak MB | check s | convert s |")
    print("|---|---|---|---|---|---|---|---|---|---|")
    print(f"| empty (one page) | - | {fmt(get('empty', 'start_ms'), 1000)} | {fmt(get('empty', 'exit_ms'), 1000)} "
          f"| - | - | - | {fmt(get('empty', 'peak_kb'), 1024, 0)} | - | - |")
    for s in sizes:
        print(f"| {int(s):,} pages | {fmt(get(s, 'file_bytes'), 1 << 20, 1)} | {fmt(get(s, 'start_ms'), 1000)} "
              f"| {fmt(get(s, 'exit_ms'), 1000)} | {fmt(get(s, 'switch_ms'))} | {fmt(get(s, 'streamin_ms'))} "
              f"| {fmt(get(s, 'search_ms'), 1000, 3)} | {fmt(get(s, 'peak_kb'), 1024, 0)} | {fmt(get(s, 'check_ms'), 1000, 3)} "
              f"| {fmt(get(s, 'convert_ms'), 1000, 3)} |")
    for b in bigs:
        book = "big" + b
        print(f"| one page of {int(b) / 1e6:g} MB | {fmt(get(book, 'file_bytes'), 1 << 20, 1)} "
              f"| {fmt(get(book, 'start_ms'), 1000)} | {fmt(get(book, 'exit_ms'), 1000)} "
              f"| {fmt(get(book, 'switch_ms'))} (away from it) | - | - | {fmt(get(book, 'peak_kb'), 1024, 0)} | - | - |")
    print()

    empty_start, empty_exit, empty_peak = get("empty", "start_ms"), get("empty", "exit_ms"), get("empty", "peak_kb")
    verdicts = []

    def ratio(label, value, limit):
        if value is None:
            print(f"{label}: not measured")
            return
        ok = value <= limit
        verdicts.append(ok)
        print(f"{label}: {value:.2f} (target <= {limit:g}) {'ok' if ok else 'MISSED'}")

    net = lambda s, what, floor: None if get(s, what) is None or floor is None else get(s, what) - floor
    if "10000" in sizes:
        start10, exit10 = net("10000", "start_ms", empty_start), net("10000", "exit_ms", empty_exit)
        ratio("start 10k - empty / check 10k", start10 / get("10000", "check_ms"), 3)
        ratio("exit 10k - empty / convert 10k", exit10 / get("10000", "convert_ms"), 3)
        if "100000" in sizes:
            ratio("start 100k - empty / start 10k - empty", net("100000", "start_ms", empty_start) / start10, 12)
            ratio("exit 100k - empty / exit 10k - empty", net("100000", "exit_ms", empty_exit) / exit10, 12)
    for s in sizes:
        if get(s, "switch_ms") and get(s, "streamin_ms"):
            ratio(f"switch / stream-in, {int(s):,} pages", get(s, "switch_ms") / get(s, "streamin_ms"), 1.5)
    for s in sizes:
        if get(s, "peak_kb") and empty_peak:
            allowed = 1.2 * get(s, "file_bytes") / 1024 + empty_peak
            ratio(f"peak / (1.2 x file + empty peak), {int(s):,} pages", get(s, "peak_kb") / allowed, 1)
    # the texts stay in the file: memory beyond the one-page book's, in MB
    for s, limit in (("10000", 10), ("100000", 60)):
        if s in sizes and get(s, "peak_kb") and empty_peak:
            ratio(f"peak - one-page peak, {int(s):,} pages (MB)", (get(s, "peak_kb") - empty_peak) / 1024, limit)
    if "10000" in sizes and "100000" in sizes and get("10000", "search_ms") and get("100000", "search_ms"):
        ratio("search 100k / search 10k", get("100000", "search_ms") / get("10000", "search_ms"), 12)
        ratio("search 100k (s)", get("100000", "search_ms") / 1000, 2)
    print(f"\n{sum(verdicts)} of {len(verdicts)} targets met")


if __name__ == "__main__":
    main()
