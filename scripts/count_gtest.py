#!/usr/bin/env python3
"""Prints 'PASSED FAILED' for a GoogleTest JSON report; a missing or unreadable report is one failure.
The names of the failed tests go to standard error, so a short log still tells which."""
import json
import sys

try:
    with open(sys.argv[1], encoding="utf-8", errors="replace") as f:
        report = json.load(f)
except (OSError, ValueError):
    print("0 1")
    sys.exit(0)
passed = failed = 0
for suite in report.get("testsuites", []):
    for case in suite.get("testsuite", []):
        if case.get("status") != "RUN" or case.get("result") == "SKIPPED":
            continue
        if case.get("failures"):
            failed += 1
            print("FAILED:", suite.get("name", "?") + "." + case.get("name", "?"), file=sys.stderr)
        else:
            passed += 1
print(passed, failed)
