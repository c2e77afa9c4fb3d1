#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Compares the word, character and paragraph counts that documents store with those quillmere-extract
counts itself (--recount) and with the office's own counts after its recount, and the pages of a layout
with the pages documents store.

    quillmere-extract -q DIR > stored.jsonl
    quillmere-extract -q --recount DIR > recount.jsonl
    bench_layout --records layout.jsonl DIR
    python3 bench/word/compare_counts.py [--before OLD.jsonl] [--misses] stored.jsonl recount.jsonl layout.jsonl

(bench/word/measure_counts.sh runs all of it.) --before compares with an earlier recount of the same
documents; --misses lists every current count that the recount misses by more than 3 %.

Stored counts are often stale (a program that changed the text kept the old figures), so the engine is
judged only on documents whose stored count is current: where the office's fresh count lies within 2 %
of the stored one. Pages are compared on every document that stores them, and on the "current" ones.
"""
import json
import sys
from collections import defaultdict

STATS = [("Number of Words", "words"), ("Number of Characters", "characters"),
         ("Number of Characters (with spaces)", "characters_with_spaces"), ("Number of Paragraphs", "paragraphs")]


def load(path, key="path"):
    with open(path, encoding="utf-8") as f:
        return {o[key]: o for o in map(json.loads, f) if o.get(key)}


def within(a, b, share):
    return abs(a - b) <= share * b if b else a == b


def counted(records, path, name):
    # A recount that failed leaves the stored value in place: only a value the recount computed is its own.
    record = records.get(path, {})
    if name not in record.get("computed", []):
        return None
    return record.get("properties", {}).get(name)


def all_current(stored_record, office_record):
    props = stored_record.get("properties", {})
    return all(within(office_record[key], props[name], 0.02) for name, key in STATS
               if props.get(name) is not None and name not in stored_record.get("computed", [])
               and office_record.get(key) is not None)


def share(rows, index, limit):
    return 100 * sum(r[index] is not None and within(r[index], r[1], limit) for r in rows) / len(rows)


def main(stored_path, recount_path, layout_path, before_path=None, misses=False):
    stored, recount, office = load(stored_path), load(recount_path), load(layout_path)
    before = load(before_path) if before_path else {}
    print(f"documents: {len(stored)} read records, {len(office)} laid out or tried\n")
    for name, key in STATS:
        current = defaultdict(list)  # format -> (path, stored, ours, office, ours before)
        stored_n = defaultdict(int)
        for path, s in stored.items():
            if "properties" not in s or name in s.get("computed", []):
                continue
            v = s["properties"].get(name)
            if v is None:
                continue
            fmt = s["format"]
            stored_n[fmt] += 1
            o = office.get(path, {}).get(key)
            r = counted(recount, path, name)
            if o is None or not within(o, v, 0.02):
                continue  # a recount that gave nothing stays in, as a miss
            current[fmt].append((path, v, r, o, counted(before, path, name)))
        print(f"{name}: stored in {sum(stored_n.values())}, current (office within 2 %) in "
              f"{sum(len(c) for c in current.values())}")
        head = f"  {'format':8} {'stored':>6} {'current':>7} {'recount =':>9} {'<=1 %':>6} {'<=3 %':>6}"
        print(head + (f" {'before <=1 %':>12} {'<=3 %':>6}" if before else ""))
        everything = [d for c in current.values() for d in c]
        for fmt in sorted(stored_n) + ["all"]:
            c = everything if fmt == "all" else current[fmt]
            n = len(c)
            if not n:
                print(f"  {fmt:8} {stored_n[fmt]:6} {0:7}")
                continue
            eq = sum(r == v for _, v, r, _, _ in c)
            line = (f"  {fmt:8} {sum(stored_n.values()) if fmt == 'all' else stored_n[fmt]:6} {n:7} "
                    f"{100*eq/n:8.0f}% {share(c, 2, 0.01):5.0f}% {share(c, 2, 0.03):5.0f}%")
            if before:
                line += f" {share(c, 4, 0.01):11.0f}% {share(c, 4, 0.03):5.0f}%"
            print(line)
        # Stricter: a document whose every stored count the office confirms, so that a count that is
        # current only by coincidence (the others stale) does not weigh in.
        whole = [d for d in everything if all_current(stored[d[0]], office.get(d[0], {}))]
        if whole:
            print(f"  documents with every stored count current: {len(whole)}, "
                  f"<=1 % {share(whole, 2, 0.01):.0f}%, <=3 % {share(whole, 2, 0.03):.0f}%")
        off = sorted((d for d in everything if d[2] is None or not within(d[2], d[1], 0.03)),
                     key=lambda d: -abs(d[2] - d[1]) / max(d[1], 1) if d[2] is not None else -float("inf"))
        for path, v, r, o, _ in (off if misses else off[:6]):
            print(f"    stored {v:7} ours {'none' if r is None else r:>7} office {o:7}  {path}")
        print()

    equal = one = near = n = 0
    per_fmt = defaultdict(lambda: [0, 0, 0])
    for path, s in stored.items():
        if "properties" not in s or "Number of Pages" in s.get("computed", []):
            continue
        v = s["properties"].get("Number of Pages")
        p = office.get(path, {}).get("pages")
        if v is None or p is None:
            continue
        n += 1
        equal += p == v
        one += abs(p - v) <= 1
        near += within(p, v, 0.03)
        f = per_fmt[s["format"]]
        f[0] += 1
        f[1] += p == v
        f[2] += abs(p - v) <= 1
    print(f"Number of Pages from the layout vs stored: {n} documents, equal {equal} ({100*equal/max(n,1):.0f} %), "
          f"within 3 % {near} ({100*near/max(n,1):.0f} %), within one page {one} ({100*one/max(n,1):.0f} %)")
    for fmt, (k, e, o1) in sorted(per_fmt.items()):
        print(f"  {fmt:8} {k:4} equal {100*e/k:4.0f} %  within one page {100*o1/k:4.0f} %")
    missing = [p for p, s in stored.items() if "properties" in s and s["properties"].get("Number of Pages") is None]
    got = sum(1 for p in missing if office.get(p, {}).get("pages") is not None)
    print(f"documents storing no pages: {len(missing)}, given pages by the layout: {got}")


if __name__ == "__main__":
    args = sys.argv[1:]
    before_path = None
    if "--before" in args:
        i = args.index("--before")
        before_path = args[i + 1] if i + 1 < len(args) else sys.exit(__doc__)
        del args[i:i + 2]
    show_misses = "--misses" in args
    args = [a for a in args if a != "--misses"]
    if len(args) != 3:
        sys.exit(__doc__)
    main(*args, before_path=before_path, misses=show_misses)
