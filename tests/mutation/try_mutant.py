#!/usr/bin/env python3
"""Runs a few mutants against a few CTest entries, quickly.

A whole-suite run (mutate.py) costs a full CTest per mutant. While thinning one
area it is enough to know whether the entries of that area still catch the
mutants they caught before, and which cases catch them:

    python3 tests/mutation/try_mutant.py --build build --only config-01,config-02 \\
        --tests '^config$' --targets test_config

Each mutant is applied, the targets are built, `ctest -R TESTS` runs, and the
source is put back (always, also on Ctrl-C). One line per mutant goes to
standard output: id, status (killed / survived / invalid / skipped), the
failed entries and the failed cases. The targets are built once more at the
end so the build matches the sources again.
"""

import argparse
import csv
import os
import re
import subprocess
import sys

GTEST_FAILED = re.compile(r"^\[  FAILED  \] ([A-Za-z_][\w/]*\.[\w/]+)")
QTEST_FAILED = re.compile(r"^FAIL!\s+: (\S+?)\(")
CTEST_FAILED = re.compile(r"^\s*\d+ - (\S+) \(")


def unescape(text):
    return text.replace("\\t", "\t").replace("\\n", "\n")


def read_mutants(path):
    with open(path, newline="", encoding="utf-8") as f:
        for row in csv.reader(f, delimiter="\t", quoting=csv.QUOTE_NONE):
            if row and not row[0].startswith("#") and row[0] != "id" and len(row) == 5:
                yield row


def build(args):
    cmd = ["cmake", "--build", args.build, "-j", str(args.jobs)]
    for target in args.targets:
        cmd += ["--target", target]
    done = subprocess.run(cmd, capture_output=True, text=True, errors="replace")
    return done.returncode == 0, done.stdout + done.stderr


def run_tests(args):
    cmd = ["ctest", "--test-dir", args.build, "-R", args.tests, "--output-on-failure",
           "--timeout", str(args.timeout)]
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    done = subprocess.run(cmd, capture_output=True, text=True, errors="replace", env=env)
    entries, cases = [], []
    for line in (done.stdout + done.stderr).splitlines():
        for pattern, into in ((CTEST_FAILED, entries), (GTEST_FAILED, cases), (QTEST_FAILED, cases)):
            m = pattern.match(line)
            if m and m.group(1) not in into:
                into.append(m.group(1))
    return done.returncode, entries, cases


def try_one(args, row):
    mutant_id, file, original, replacement, _ = row
    path = os.path.join(args.repo, file)
    with open(path, encoding="utf-8", newline="") as f:
        source = f.read()
    original, replacement = unescape(original), unescape(replacement)
    if source.count(original) != 1:
        return mutant_id, "skipped", [], []
    try:
        with open(path, "w", encoding="utf-8", newline="") as f:
            f.write(source.replace(original, replacement))
        built, output = build(args)
        if not built:
            error = next((l for l in output.splitlines() if "error" in l), "build failed")
            return mutant_id, "invalid", [], [error.strip()[:160]]
        code, entries, cases = run_tests(args)
        return mutant_id, ("killed" if code != 0 else "survived"), entries, cases
    finally:
        with open(path, "w", encoding="utf-8", newline="") as f:
            f.write(source)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--repo", default=".")
    parser.add_argument("--build", default="build")
    parser.add_argument("--mutants", default=None)
    parser.add_argument("--only", required=True, help="comma-separated ids")
    parser.add_argument("--tests", required=True, help="ctest -R regex")
    parser.add_argument("--targets", nargs="+", required=True)
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--timeout", type=int, default=120)
    args = parser.parse_args()
    mutants = args.mutants or os.path.join(args.repo, "tests/mutation/mutants.tsv")
    wanted = args.only.split(",")
    rows = {row[0]: row for row in read_mutants(mutants)}
    missing = [i for i in wanted if i not in rows]
    if missing:
        sys.exit(f"try_mutant: no such mutant: {', '.join(missing)}")
    try:
        for mutant_id in wanted:
            result = try_one(args, rows[mutant_id])
            print("\t".join([result[0], result[1], ",".join(result[2]), "; ".join(result[3])]), flush=True)
    finally:
        build(args)


if __name__ == "__main__":
    main()
