#!/usr/bin/env python3
"""Plant the faults of faults.py one at a time in a clone and see which tests catch them.

    python3 scripts/faults/plant.py CLONE [IDS...] [--out FILE] [--e2e marked|all|none] > out.md

CLONE is a clone of its own, already configured in CLONE/build (a build with -O1 -g0 and lld
links fastest). Only the unit tests whose programs the fault relinked are run: no other test can
see it.

For each fault: apply it, rebuild incrementally, run the unit tests; when none fails, run the
end-to-end tests (only for faults marked e2e unless --e2e all). The file is always restored
(git checkout), also on errors and Ctrl+C, and the clone is rebuilt clean at the end. The
Markdown table goes to stdout; with --out it is also rewritten after every fault, so a stopped
run leaves its rows behind. Progress goes to stderr.
"""
import argparse
import collections
import os
import re
import signal
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from faults import FAULTS  # noqa: E402

ENV = dict(os.environ, ALSOFT_DRIVERS="null", SDL_VIDEODRIVER="dummy")
UNIT = ["ctest", "--test-dir", "build", "-j2", "-E", "e2e", "--timeout", "120"]
E2E = ["ctest", "--test-dir", "build", "-j2", "-R", "e2e", "--timeout", "300"]


def log(*a):
    print(*a, file=sys.stderr, flush=True)


def run(cmd, repo, timeout=None):
    try:
        p = subprocess.run(cmd, cwd=repo, env=ENV, stdout=subprocess.PIPE,
                           stderr=subprocess.STDOUT, text=True, timeout=timeout)
        return p.returncode, p.stdout
    except subprocess.TimeoutExpired as e:
        out = e.stdout or ""
        return -1, out if isinstance(out, str) else out.decode(errors="replace")


def failed_tests(output):
    """Names from ctest's 'The following tests FAILED:' summary."""
    names, inside = [], False
    for line in output.splitlines():
        if "The following tests FAILED" in line:
            inside = True
            continue
        if inside:
            m = re.match(r"\s*\d+\s+-\s+(\S+)", line)
            if m:
                names.append(m.group(1))
            elif line.strip() and not line.startswith(" "):
                inside = False
    # A ctest that did not get to its summary (killed) still counts as failed.
    return names


def test_commands(repo):
    """Each unit test's name and the built files its command runs (ctest's own listing)."""
    import json
    out = subprocess.run(["ctest", "--test-dir", "build", "--show-only=json-v1", "-E", "e2e"],
                         cwd=repo, env=ENV, stdout=subprocess.PIPE, text=True).stdout
    tests = {}
    for t in json.loads(out).get("tests", []):
        tests[t["name"]] = [c for c in t.get("command", []) if os.path.isfile(c)]
    return tests


def mtimes(paths):
    return {p: os.stat(p).st_mtime_ns for p in paths if os.path.exists(p)}


def affected(tests, before):
    """The tests whose program was relinked by the fault: no other test can see it."""
    changed = {p for p, t in mtimes(before).items() if t != before[p]}
    return [n for n, cmd in tests.items() if any(c in changed for c in cmd)]


def locate(repo, rel, snippet):
    """The file's path now: as given, or looked up by its base name when it has moved."""
    if os.path.isfile(os.path.join(repo, rel)):
        return rel
    base = os.path.basename(rel)
    files = subprocess.run(["git", "ls-files"], cwd=repo, stdout=subprocess.PIPE,
                           text=True).stdout.split()
    hits = [f for f in files if os.path.basename(f) == base]
    for f in hits:
        with open(os.path.join(repo, f), encoding="utf-8") as fh:
            if snippet in fh.read():
                return f
    return hits[0] if hits else None


def table(rows):
    out = ["| id | file | fault | caught | caught by |", "|---|---|---|---|---|"]
    for r in rows:
        out.append(f"| {r['id']}{' (sharpen)' if r['sharpen'] else ''} | {r['file']} | "
                   f"{r['desc']} | {r['caught']} | {', '.join(r['tests'][:3])} |")
    return "\n".join(out)


def totals(rows):
    counted = [r for r in rows if r["caught"] in ("yes", "no")]
    lines = [f"Caught {sum(r['caught'] == 'yes' for r in counted)} of {len(counted)} planted "
             f"faults ({sum(r['caught'] == 'site gone' for r in rows)} site gone, "
             f"{sum(r['caught'] == 'does not build' for r in rows)} do not build)."]
    by = collections.defaultdict(lambda: [0, 0])
    for r in counted:
        folder = r["file"].split("/")[0]
        by[folder][1] += 1
        by[folder][0] += r["caught"] == "yes"
    lines.append("By folder: " + ", ".join(f"{k} {v[0]}/{v[1]}" for k, v in sorted(by.items())))
    sharp = [r for r in counted if r["sharpen"]]
    lines.append(f"Sharpen faults caught: {sum(r['caught'] == 'yes' for r in sharp)} of "
                 f"{len(sharp)}.")
    missed = [r["id"] for r in counted if r["caught"] == "no"]
    lines.append("Missed: " + (", ".join(missed) if missed else "none"))
    return "\n".join(lines)


def write(path, rows, started, note=""):
    if not path:
        return
    with open(path + ".part", "w", encoding="utf-8") as fh:
        fh.write(f"# Planted faults\n\n{table(rows)}\n\n{totals(rows)}\n\n"
                 f"Run time so far: {(time.time() - started) / 60:.1f} min. {note}\n")
    os.replace(path + ".part", path)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("repo")
    ap.add_argument("ids", nargs="*")
    ap.add_argument("--out")
    ap.add_argument("--e2e", choices=["marked", "all", "none"], default="marked")
    args = ap.parse_args()
    repo = os.path.abspath(args.repo)
    # Given ids run in the order given.
    by_id = {f["id"]: f for f in FAULTS}
    unknown = [i for i in args.ids if i not in by_id]
    if unknown:
        sys.exit("unknown fault ids: " + " ".join(unknown))
    faults = [by_id[i] for i in args.ids] if args.ids else FAULTS
    # Ctrl+C or a kill: unwind through the finally below, which restores the file.
    signal.signal(signal.SIGTERM, lambda *_: (_ for _ in ()).throw(KeyboardInterrupt()))

    started = time.time()
    rc, out = run(["cmake", "--build", "build", "-j2"], repo)
    if rc != 0:
        sys.exit("the clone does not build before any fault:\n" + out[-2000:])
    _, out = run(UNIT, repo)
    already = set(failed_tests(out))
    if already:
        log("failing before any fault (not counted as catching):", ", ".join(sorted(already)))

    tests = test_commands(repo)
    programs = sorted({c for cmd in tests.values() for c in cmd})
    rows = []
    try:
        for f in faults:
            t0 = time.time()
            row = dict(id=f["id"], file=f["file"], desc=f["desc"], tests=[],
                       sharpen=f.get("sharpen", False))
            rows.append(row)
            path = locate(repo, f["file"], f["find"])
            full = os.path.join(repo, path) if path else None
            text = open(full, encoding="utf-8").read() if full else ""
            if not full or text.count(f["find"]) != 1:
                row["caught"] = "site gone"
                log(f"{f['id']}: site gone")
                write(args.out, rows, started)
                continue
            row["file"] = path
            try:
                with open(full, "w", encoding="utf-8") as fh:
                    fh.write(text.replace(f["find"], f["repl"]))
                before = mtimes(programs)
                rc, out = run(["cmake", "--build", "build", "-j2"], repo)
                if rc != 0:
                    row["caught"] = "does not build"
                else:
                    names = affected(tests, before)
                    out = ""
                    if names:
                        rx = "^(" + "|".join(re.escape(n) for n in names) + ")$"
                        _, out = run(UNIT[:-2] + ["-R", rx, "--timeout", "120"], repo,
                                     timeout=1800)
                    names = [n for n in failed_tests(out) if n not in already]
                    if not names and (args.e2e == "all" or (args.e2e == "marked" and f["e2e"])):
                        log(f"{f['id']}: no unit test failed; running the e2e tests")
                        _, out = run(E2E, repo, timeout=3600)
                        names = [n for n in failed_tests(out) if n not in already]
                    row["tests"] = names
                    row["caught"] = "yes" if names else "no"
            finally:
                subprocess.run(["git", "checkout", "--", path], cwd=repo)
            log(f"{f['id']}: {row['caught']} {' '.join(row['tests'][:3])} "
                f"({time.time() - t0:.0f} s)")
            write(args.out, rows, started)
    except KeyboardInterrupt:
        log("stopped; the faulted file has been restored")
        if rows and "caught" not in rows[-1]:
            rows.pop()  # the fault being tried when stopped has no verdict
    finally:
        rc, _ = run(["cmake", "--build", "build", "-j2"], repo)
        log("clean rebuild", "done" if rc == 0 else "FAILED")
        minutes = (time.time() - started) / 60
        write(args.out, rows, started, f"Finished after {minutes:.1f} min.")
        print(f"{table(rows)}\n\n{totals(rows)}\n\nRun time: {minutes:.1f} min.")
        log(totals(rows))
        log(f"run time {minutes:.1f} min")


if __name__ == "__main__":
    main()
