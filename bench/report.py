#!/usr/bin/env python3
"""Turns the hyperfine results of bench/run.sh into Markdown tables in the performance notes.

    bench/report.py RESULTS_DIR DOC COMMAND

The tables replace whatever stands between the bench markers of DOC (which is created when
missing); the rest of DOC is left as written.
"""
import datetime
import glob
import json
import os
import sys

BEGIN = "<!-- bench:begin -->"
END = "<!-- bench:end -->"
ORDER = ["small", "mixed", "big", "wide"]
CASES = ["initial", "nochange", "touched", "delete"]
CASE_TEXT = {
    "initial": "initial copy",
    "nochange": "no change",
    "touched": "1 % touched",
    "delete": "10 % deleted",
}
# (scenario or None for every one, case, peer, highest velmora/peer ratio)
TARGETS = [
    ("small", "nochange", "rsync", 1.0),
    ("small", "nochange", "find", 1.5),
    (None, "touched", "rsync", 1.0),
    ("small", "initial", "rsync", 1.0),
    ("small", "initial", "cp", 1.0),
    ("mixed", "initial", "rsync", 1.0),
    ("mixed", "initial", "cp", 1.0),
    ("big", "initial", "cp", 1.0),
]
MEMORY_LIMIT_MIB = 64


def load(results):
    cases = {}
    for path in glob.glob(os.path.join(results, "*.json")):
        name = os.path.basename(path)[:-5]
        scenario, case = name.split("-", 1)
        rows = {}
        for r in json.load(open(path))["results"]:
            memory = os.path.join(results, "%s.%s.mem" % (name, r["command"]))
            kib = None
            if os.path.exists(memory):
                text = open(memory).read().split()
                kib = int(text[-1]) if text and text[-1].isdigit() else None
            rows[r["command"]] = {
                "median": r["median"],
                "min": r["min"],
                "max": r["max"],
                "cpu": r["user"] + r["system"],
                "runs": len(r["times"]),
                "mib": kib / 1024 if kib else None,
            }
        cases[(scenario, case)] = rows
    return cases


def seconds(value):
    return "%.3f" % value


def tables(cases, command):
    out = []
    out.append("Measured %s with `%s` (hyperfine medians; CPU = user + system, mean; "
               "peak = maximum resident set of one run under /usr/bin/time)." %
               (datetime.date.today().isoformat(), command))
    out.append("")
    out.append("| scenario | case | program | median s | min-max s | CPU s | peak MiB | velmora / program |")
    out.append("|---|---|---|---:|---:|---:|---:|---:|")
    for scenario in ORDER:
        for case in CASES:
            rows = cases.get((scenario, case))
            if not rows:
                continue
            mine = rows.get("velmora")
            for program, r in rows.items():
                ratio = "" if program == "velmora" or not mine else "%.2f" % (mine["median"] / r["median"])
                mib = "%.1f" % r["mib"] if r["mib"] else ""
                out.append("| %s | %s | %s | %s | %s-%s | %s | %s | %s |" %
                           (scenario, CASE_TEXT[case], program, seconds(r["median"]), seconds(r["min"]),
                            seconds(r["max"]), seconds(r["cpu"]), mib, ratio))
    out.append("")
    out.append("| goal | measured | met |")
    out.append("|---|---:|---|")
    for scenario in ORDER:
        for goal_scenario, case, peer, limit in TARGETS:
            if goal_scenario not in (None, scenario):
                continue
            rows = cases.get((scenario, case))
            if not rows or "velmora" not in rows or peer not in rows:
                continue
            ratio = rows["velmora"]["median"] / rows[peer]["median"]
            out.append("| %s %s: velmora / %s <= %.1f | %.2f | %s |" %
                       (scenario, CASE_TEXT[case], peer, limit, ratio, "yes" if ratio <= limit else "**no**"))
        rows = cases.get((scenario, "nochange"))
        if scenario == "wide" and rows and rows.get("velmora", {}).get("mib"):
            mib = rows["velmora"]["mib"]
            out.append("| wide no change: velmora peak memory <= %d MiB | %.1f MiB | %s |" %
                       (MEMORY_LIMIT_MIB, mib, "yes" if mib <= MEMORY_LIMIT_MIB else "**no**"))
    return "\n".join(out)


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    results, doc, command = sys.argv[1:]
    body = tables(load(results), command)
    text = open(doc).read() if os.path.exists(doc) else "# Performance\n\n%s\n%s\n" % (BEGIN, END)
    if BEGIN not in text or END not in text:
        text += "\n%s\n%s\n" % (BEGIN, END)
    head, rest = text.split(BEGIN, 1)
    _, tail = rest.split(END, 1)
    with open(doc, "w") as f:
        f.write(head + BEGIN + "\n" + body + "\n" + END + tail)
    print(body)


if __name__ == "__main__":
    main()
