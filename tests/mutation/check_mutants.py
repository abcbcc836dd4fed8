#!/usr/bin/env python3
"""Checks tests/mutation/mutants.tsv before a mutation run.

Every row must have five columns and a unique id; its file must exist below
the repository; the original text (with \\t and \\n standing for tab and line
end, as mutate.py reads them) must lie within one source line and occur
exactly once in the file; the replacement must differ from it; the behaviour
must be said, and the test file it names after "expect:" must exist.

    python3 tests/mutation/check_mutants.py [--repo .] [--mutants FILE]

Exits 0 when every row passes, 1 otherwise; prints the mutants per module.
"""

import argparse
import collections
import csv
import os
import re
import sys

# Not built on Linux: a mutant there could never be killed.
NOT_BUILT = re.compile(r"^src/(winport/|platform/windows)")
EXPECT = re.compile(r"\(expect: ([^)]+)\)\s*$")


def unescape(text):
    return text.replace("\\t", "\t").replace("\\n", "\n")


def module_of(path):
    parts = path.split("/")
    return parts[1] if len(parts) > 2 and parts[0] == "src" else parts[0]


def read_rows(path):
    """(line number, cells) of every mutant row, as mutate.py selects them."""
    rows = []
    with open(path, newline="", encoding="utf-8") as f:
        for number, row in enumerate(csv.reader(f, delimiter="\t", quoting=csv.QUOTE_NONE), 1):
            if not row or row[0].startswith("#") or row[0] == "id":
                continue
            rows.append((number, row))
    return rows


def check_row(repo, row, sources):
    """The problems of one row; an empty list when it passes."""
    if len(row) != 5:
        return [f"{len(row)} columns, not 5"]
    mutant_id, file, original, replacement, behaviour = row
    problems = []
    if not re.fullmatch(r"[A-Za-z0-9_.-]+", mutant_id):
        problems.append(f"id {mutant_id!r} is not a plain name")
    if NOT_BUILT.match(file):
        problems.append(f"{file} is not built on Linux")
    path = os.path.join(repo, file)
    if os.path.isabs(file) or ".." in file.split("/"):
        problems.append(f"{file} is not a path inside the repository")
    elif not os.path.isfile(path):
        problems.append(f"{file} does not exist")
    else:
        if path not in sources:
            with open(path, encoding="utf-8", newline="") as f:
                sources[path] = f.read()
        text = unescape(original)
        if not text.strip():
            problems.append("the original text is empty")
        elif "\n" in text:
            problems.append("the original text spans more than one line")
        else:
            count = sources[path].count(text)
            if count != 1:
                problems.append(f"the original text occurs {count} times in {file}")
    if unescape(replacement) == unescape(original):
        problems.append("the replacement is the original text")
    if not behaviour.strip():
        problems.append("no behaviour given")
    else:
        expect = EXPECT.search(behaviour)
        if not expect:
            problems.append("the behaviour names no expected test '(expect: tests/...)'")
        else:
            for test_file in (t.strip() for t in expect.group(1).split(",")):
                if not os.path.isfile(os.path.join(repo, test_file)):
                    problems.append(f"expected test {test_file} does not exist")
    return problems


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    p = argparse.ArgumentParser(description=__doc__,
                                formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("--repo", default=os.path.normpath(os.path.join(here, "..", "..")))
    p.add_argument("--mutants", default=os.path.join(here, "mutants.tsv"))
    args = p.parse_args()

    rows = read_rows(args.mutants)
    sources = {}
    failures = 0
    seen = {}
    per_module = collections.Counter()
    for number, row in rows:
        problems = check_row(args.repo, row, sources)
        mutant_id = row[0]
        if mutant_id in seen:
            problems.append(f"id also used on line {seen[mutant_id]}")
        else:
            seen[mutant_id] = number
        if len(row) >= 2:
            per_module[module_of(row[1])] += 1
        for problem in problems:
            print(f"{args.mutants}:{number}: {mutant_id}: {problem}")
        failures += bool(problems)

    for module, count in sorted(per_module.items()):
        print(f"  {module:12s} {count:3d}")
    print(f"{len(rows)} mutants, {failures} failing")
    if not rows:
        print("no mutants found")
        return 1
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
