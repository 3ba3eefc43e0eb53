#!/usr/bin/env python3
"""Compares two builds of `scenario-tool compile` on random edits of the built-in texts.

The compile must give the same result from one build to the next on any text, broken or not:
the same exit status, outcome, error number, error position, file and cell, the same compact
files written and the same bytes in each. This script takes the built-in line description and
train service text from the old build, edits them at random (numbers, fields, lines, separators,
stray bytes, keywords, line ends, truncation), mostly in the records that place something on the
track so that real faults come up, compiles every edit with both builds and compares.

A difference in the reported line alone is counted apart as "line moved": a record cut short by
its line end may be reported on its own line instead of the next one. Such cases are printed to
be looked at but do not fail the run. Members of the JSON report that only one build has, and the
free-text message and diagnostic, are not compared.

    python3 fuzz/compare_builds.py --old OLD_TOOL --new NEW_TOOL [--cases N] [--seed S]
        [--jobs J] [--keep-failures DIR] [--extra-texts DIR...]
    python3 fuzz/compare_builds.py --old TOOL --self-test

Exit status: 0 no mismatch (line moves allowed), 1 a mismatch, 2 the tools cannot be used.
"""

import argparse
import collections
import concurrent.futures
import hashlib
import json
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

TITLE = "MORENA LAGO - PIAN DI VALSO"
CODE = "R10537"
LINE_NAME = f"{TITLE}_linea.txt"
TRAIN_NAME = f"{TITLE}_{CODE}-.txt"
RUN_TIMEOUT = 60  # seconds for one compile; a compile takes milliseconds
PLAN_SHARE = 0.1  # share of the cases compiled with the track plan (~2 MB each)

# Records that place something on the track, or set where things go: most edits go there,
# each kind as often as the others, so that the single slowdown record gets its share.
PLACEMENT = (b"segnale", b"rallentamento", b"stazione", b"velocita", b"pendenza", b"curva",
             b"montagna", b"indicatori", b"cartello", b"ripetizione", b"progressiva",
             b"lunghezza")

# What the report says about the compile; a difference here is a mismatch.
RESULT_MEMBERS = ("outcome", "errorNumber", "errorPosition", "file", "cell")
# Not compared: free text, `line` (compared on its own), and what the author is told, which the
# tests pin and which may grow from one build to the next.
UNCOMPARED_MEMBERS = {"message", "diagnostic", "line", "written", "diagnostics", "errors",
                      "warnings"}

NUMBER = re.compile(rb"-?\d+")
LINE_END = re.compile(rb"(\r\n|\r|\n)?\Z")


# ---------------------------------------------------------------- edits of a text

def split_end(line):
    """(content, line end) of one line kept with its end."""
    end = LINE_END.search(line).group(0)
    return line[:len(line) - len(end)], end


def keyword(line):
    return split_end(line)[0].split(b",")[0].strip().lower()


def pick_line(rng, lines):
    """Index of a line, three times in four one of a placement record."""
    kinds = collections.defaultdict(list)
    for i, line in enumerate(lines):
        kind = keyword(line)
        kind = next((p for p in PLACEMENT if kind.startswith(p)), None)
        if kind:
            kinds[kind].append(i)
    if kinds and rng.random() < 0.75:
        return rng.choice(kinds[rng.choice(sorted(kinds))])
    return rng.randrange(len(lines))


def edit_line(rng, lines, what, change):
    """Applies change(content) -> content or None to a picked line; None if no line takes it."""
    for _ in range(5):
        i = pick_line(rng, lines)
        content, end = split_end(lines[i])
        new = change(content)
        if new is not None:
            lines[i] = new + end
            return f"{what} at line {i + 1}"
    return None


def edit_number(rng, lines, what, change):
    def on_content(content):
        numbers = list(NUMBER.finditer(content))
        if not numbers:
            return None
        # The first number of a record is mostly its position: edit it more often.
        m = numbers[0] if rng.random() < 0.4 else rng.choice(numbers)
        return content[:m.start()] + change(m.group(0)) + content[m.end():]
    return edit_line(rng, lines, what, on_content)


def edit_comma(rng, lines, what, change):
    """change(content, comma index, index of the next comma or the end) on a line with commas."""
    def on_content(content):
        commas = [i for i, c in enumerate(content) if c == ord(",")]
        if not commas:
            return None
        k = rng.randrange(len(commas))
        return change(content, commas[k], commas[k + 1] if k + 1 < len(commas) else len(content))
    return edit_line(rng, lines, what, on_content)


def digit_change(rng):
    def change(number):
        i = rng.choice([i for i, c in enumerate(number) if chr(c).isdigit()])
        digit = str(rng.randrange(10)).encode()
        step = rng.randrange(3)
        if step == 0:
            return number[:i] + digit + number[i + 1:]
        if step == 1:
            return number[:i] + digit + number[i:]
        rest = number[:i] + number[i + 1:]
        return rest if rest.strip(b"-") else b"0"
    return change


def shifted(rng, all_numbers):
    """A number that makes records meet: a step of 50 m, one taken from elsewhere, or 0."""
    def change(number):
        step = rng.randrange(3)
        if step == 0:
            return str(int(number) + 50 * rng.choice([-4, -2, -1, 1, 2, 4])).encode()
        if step == 1:
            return rng.choice(all_numbers)
        return rng.choice([b"0", b"50", b"100"])
    return change


def keyword_change(rng, upper):
    def change(content):
        m = re.match(rb"\s*\[?([A-Za-z_ ]+)", content)
        if not m or len(m.group(1)) < 2:
            return None
        word = m.group(1)
        if upper:
            new = word.upper()
        elif rng.random() < 0.5:  # swap two letters
            i = rng.randrange(len(word) - 1)
            new = word[:i] + word[i + 1:i + 2] + word[i:i + 1] + word[i + 2:]
        else:  # drop a letter
            i = rng.randrange(len(word))
            new = word[:i] + word[i + 1:]
        return content[:m.start(1)] + new + content[m.end(1):]
    return change


EDITS = {  # name: weight
    "change a digit": 6, "negate a number": 3, "huge number": 3, "shift a number": 8,
    "delete a field": 4, "cut a line short": 4, "delete a line": 3, "duplicate a line": 3,
    "swap two lines": 3, "move a line": 3, "replace a comma": 3, "insert a byte": 4,
    "misspell a keyword": 3, "uppercase a keyword": 2, "CR LF to LF": 2, "truncate": 1,
    "empty": 0.2, "add blanks": 3, "copy a line from the other text": 2,
}
HUGE = [b"99999999999", b"2147483648", b"4294967296", b"65536", b"32768", b"1000001",
        b"-2147483649"]


def mutate(rng, text, other, all_numbers):
    """One random edit of text (bytes); returns (text, description)."""
    kind = rng.choices(list(EDITS), weights=list(EDITS.values()))[0]
    if kind == "empty":
        return b"", kind
    if kind == "truncate":
        at = rng.randrange(len(text) + 1)
        return text[:at], f"truncate at byte {at}"
    if kind == "CR LF to LF" and rng.random() < 0.5:
        return text.replace(b"\r\n", b"\n"), "CR LF to LF everywhere"
    if kind == "insert a byte":
        byte = bytes([rng.choice([0, 9, 10, 13, 32, 34, 44, 91, 93, rng.randrange(0x80, 0x100),
                                  rng.randrange(0x21, 0x7f)])])
        if rng.random() < 0.3 or not text:
            at = rng.randrange(len(text) + 1)
            return text[:at] + byte + text[at:], f"insert {byte!r} at byte {at}"
    lines = text.splitlines(keepends=True)
    if not lines:
        return text, f"{kind}: nothing to edit"

    if kind == "change a digit":
        where = edit_number(rng, lines, kind, digit_change(rng))
    elif kind == "negate a number":
        where = edit_number(rng, lines, kind, lambda n: n[1:] if n.startswith(b"-") else b"-" + n)
    elif kind == "huge number":
        huge = rng.choice(HUGE)
        where = edit_number(rng, lines, kind, lambda n: huge)
    elif kind == "shift a number":
        where = edit_number(rng, lines, kind, shifted(rng, all_numbers))
    elif kind == "delete a field":
        where = edit_comma(rng, lines, kind, lambda c, at, stop: c[:at] + c[stop:])
    elif kind == "cut a line short":
        where = edit_comma(rng, lines, kind, lambda c, at, stop: c[:at])
    elif kind == "replace a comma":
        sep = rng.choice([b";", b".", b" "])
        where = edit_comma(rng, lines, f"replace a comma by {sep!r}",
                           lambda c, at, stop: c[:at] + sep + c[at + 1:])
    elif kind == "insert a byte":
        at = rng.random()
        where = edit_line(rng, lines, f"insert {byte!r}",
                          lambda c: c[:int(at * len(c))] + byte + c[int(at * len(c)):])
    elif kind in ("misspell a keyword", "uppercase a keyword"):
        where = edit_line(rng, lines, kind, keyword_change(rng, kind.startswith("upper")))
    elif kind == "add blanks":
        blanks = b" " * rng.choice([1, 2, 5])
        where = edit_comma(rng, lines, kind, lambda c, at, stop: rng.choice(
            [blanks + c, c + blanks, c[:at] + blanks + c[at:], c[:at + 1] + blanks + c[at + 1:]]))
    else:  # whole lines
        i = pick_line(rng, lines)
        if kind == "CR LF to LF":
            lines[i] = lines[i].replace(b"\r\n", b"\n")
            where = f"CR LF to LF at line {i + 1}"
        elif kind == "delete a line":
            del lines[i]
            where = f"delete line {i + 1}"
        elif kind == "duplicate a line":
            lines.insert(i, lines[i])
            where = f"duplicate line {i + 1}"
        elif kind == "swap two lines":
            j = rng.randrange(len(lines))
            lines[i], lines[j] = lines[j], lines[i]
            where = f"swap lines {i + 1} and {j + 1}"
        elif kind == "move a line":
            line = lines.pop(i)
            j = rng.randrange(len(lines) + 1)
            lines.insert(j, line)
            where = f"move line {i + 1} to {j + 1}"
        else:  # copy a line from the other text
            other_lines = other.splitlines(keepends=True) or [b"\r\n"]
            line = other_lines[pick_line(rng, other_lines)]
            lines.insert(i, line if line.endswith((b"\n", b"\r")) else line + b"\r\n")
            where = f"insert before line {i + 1} a line of the other text"
    if where is None:
        return text, f"{kind}: nothing to edit"
    return b"".join(lines), where


def make_case(seed, index, line, train):
    """The texts of case `index`: 1 to 3 edits of the line text, the train text or both."""
    rng = random.Random(f"{seed}/{index}")
    texts = {"line": line, "train": train}
    all_numbers = [m.group(0) for text in (line, train) for m in NUMBER.finditer(text)]
    target = rng.choices(["line", "train", "both"], weights=[4, 4, 2])[0]
    edits = []
    for _ in range(rng.randint(1, 3)):
        name = rng.choice(["line", "train"]) if target == "both" else target
        other = texts["train" if name == "line" else "line"]
        texts[name], what = mutate(rng, texts[name], other, all_numbers)
        edits.append(f"{name}: {what}")
    return texts["line"], texts["train"], rng.random() < PLAN_SHARE, edits


# ---------------------------------------------------------------- running a build

def run_tool(tool, directory, line, train, with_plan):
    """Compiles the two texts in a fresh directory; returns what can be compared."""
    inputs, out = directory / "in", directory / "out"
    inputs.mkdir(parents=True)
    out.mkdir()
    line_path, train_path = inputs / LINE_NAME, inputs / TRAIN_NAME
    line_path.write_bytes(line)
    train_path.write_bytes(train)
    command = [tool, "compile", "--line", str(line_path), "--train", str(train_path),
               "--title", TITLE, "--code", CODE, "--out", str(out), "--json"]
    if not with_plan:
        command.append("--no-plan")
    try:
        done = subprocess.run(command, capture_output=True, timeout=RUN_TIMEOUT)
        status, stdout = done.returncode, done.stdout
    except subprocess.TimeoutExpired as expired:
        status, stdout = "timeout", expired.stdout or b""
    try:
        report = json.loads(stdout)
    except ValueError:
        report = {"outcome": f"no JSON report: {stdout[:200]!r}"}
    return {
        "status": status,
        "stdout": stdout,
        "report": report,
        "files": {p.name: hashlib.sha256(p.read_bytes()).hexdigest()
                  for p in sorted(out.iterdir())},
        "texts kept": all(p.is_file() and p.read_bytes() == text
                          for p, text in ((line_path, line), (train_path, train))),
    }


def differences(old, new):
    """Names of what differs between the results of the two builds."""
    found = []
    if old["status"] != new["status"]:
        found.append("exit status")
    a, b = old["report"], new["report"]
    a = dict(a, file=os.path.basename(a["file"]) if a.get("file") else a.get("file"))
    b = dict(b, file=os.path.basename(b["file"]) if b.get("file") else b.get("file"))
    # The diagnostics name the texts by the paths given, which differ between the two runs.
    def by_name(report):
        if isinstance(report.get("diagnostics"), list):
            report = dict(report, diagnostics=[dict(d, file=os.path.basename(d.get("file") or ""))
                                               for d in report["diagnostics"]])
        return report
    a, b = by_name(a), by_name(b)
    if any(a.get(k) != b.get(k) for k in RESULT_MEMBERS):
        found.append("outcome or error")
    shared = (a.keys() & b.keys()) - set(RESULT_MEMBERS) - UNCOMPARED_MEMBERS
    if any(a[k] != b[k] for k in shared):
        found.append("counts")
    if sorted(a.get("written") or []) != sorted(b.get("written") or []) or \
            old["files"].keys() != new["files"].keys():
        found.append("files written")
    if any(old["files"][n] != new["files"][n] for n in old["files"].keys() & new["files"].keys()):
        found.append("file bytes")
    if old["texts kept"] != new["texts kept"]:
        found.append("input texts changed")
    if a.get("line") != b.get("line"):
        found.append("line")
    return found


def compare_case(old_tool, new_tool, scratch, name, line, train, with_plan):
    directory = Path(tempfile.mkdtemp(prefix=f"{name}-", dir=scratch))
    try:
        old = run_tool(old_tool, directory / "old", line, train, with_plan)
        new = run_tool(new_tool, directory / "new", line, train, with_plan)
    finally:
        shutil.rmtree(directory, ignore_errors=True)
    return old, new, differences(old, new)


# ---------------------------------------------------------------- the run

def side_summary(result):
    status, outcome = result["status"], result["report"].get("outcome")
    if status == 2:
        return "unusable (exit 2)"
    if outcome in ("clean", "fault", "refused"):
        return outcome
    return f"other (exit {status})"


def record_line(text, number):
    if not isinstance(number, int) or number < 1:
        return "-"
    lines = text.splitlines()
    return repr(lines[number - 1][:70]) if number <= len(lines) else "(past the end)"


def keep_case(directory, name, line, train, with_plan, edits, old, new, found):
    case = directory / name
    case.mkdir(parents=True, exist_ok=True)
    (case / LINE_NAME).write_bytes(line)
    (case / TRAIN_NAME).write_bytes(train)
    (case / "old.json").write_bytes(old["stdout"])
    (case / "new.json").write_bytes(new["stdout"])
    (case / "case.txt").write_text(
        "\n".join([f"plan: {'yes' if with_plan else 'no (--no-plan)'}",
                   f"differs in: {', '.join(found)}",
                   f"exit status: old {old['status']}, new {new['status']}", "edits:"]
                  + [f"  {e}" for e in edits]) + "\n")


def fail(message):
    print(f"compare_builds: {message}", file=sys.stderr)
    sys.exit(2)


def find_pair(directory):
    for line_name, train_name in (("line.txt", "train.txt"), (LINE_NAME, TRAIN_NAME)):
        if (directory / line_name).is_file() and (directory / train_name).is_file():
            return (directory / line_name).read_bytes(), (directory / train_name).read_bytes()
    fail(f"{directory} holds neither line.txt/train.txt "
             f"nor the built-in names")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--old", required=True, help="scenario-tool of the reference build")
    parser.add_argument("--new", help="scenario-tool of the build under test")
    parser.add_argument("--cases", type=int, default=3000)
    parser.add_argument("--seed", default="1")
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--keep-failures", type=Path, metavar="DIR")
    parser.add_argument("--extra-texts", type=Path, nargs="+", default=[], metavar="DIR")
    parser.add_argument("--self-test", action="store_true",
                        help="compare --old with itself on 50 cases: must find no mismatch")
    args = parser.parse_args()
    if args.self_test:
        args.new, args.cases = args.old, 50
    if not args.new:
        parser.error("--new is required (or --self-test)")
    old_tool, new_tool = (str(Path(t).resolve()) for t in (args.old, args.new))
    for tool in (old_tool, new_tool):
        if not os.access(tool, os.X_OK):
            fail(f"{tool} is not an executable")

    started = time.monotonic()
    with tempfile.TemporaryDirectory(prefix="compare-builds-") as scratch:
        sources = Path(scratch) / "sources"
        done = subprocess.run([old_tool, "sources", str(sources)], capture_output=True)
        if done.returncode != 0:
            fail(f"{old_tool} sources failed: {done.stderr.decode()}")
        line, train = (sources / LINE_NAME).read_bytes(), (sources / TRAIN_NAME).read_bytes()

        # Every case: (name, line text, train text, with the plan, edits).
        as_is = [("builtin", line, train, True, ["the built-in texts as they are"])]
        for directory in args.extra_texts:
            pair = find_pair(directory)
            for with_plan in (True, False):
                as_is.append((f"extra-{directory.name}", *pair, with_plan, [f"texts of {directory}"]))

        def cases():
            yield from as_is
            for index in range(args.cases):
                yield (f"case-{index:05d}", *make_case(args.seed, index, line, train))

        def compare(case):
            name, line_text, train_text, with_plan, edits = case
            return case, compare_case(old_tool, new_tool, scratch, name, line_text, train_text,
                                      with_plan)

        sides = {"old": collections.Counter(), "new": collections.Counter()}
        numbers = {"old": collections.Counter(), "new": collections.Counter()}
        mismatches = collections.Counter()
        moved, failed, compared, with_plan_count = [], [], 0, 0
        with concurrent.futures.ThreadPoolExecutor(max_workers=args.jobs) as pool:
            for case, (old, new, found) in pool.map(compare, cases()):
                name, line_text, train_text, with_plan, edits = case
                compared += 1
                with_plan_count += with_plan
                if compared % 500 == 0:
                    print(f"... {compared} cases", file=sys.stderr)
                for side, result in (("old", old), ("new", new)):
                    sides[side][side_summary(result)] += 1
                    number = result["report"].get("errorNumber")
                    if number:
                        numbers[side][number] += 1
                if not found:
                    continue
                if found == ["line"]:
                    mismatches["line moved"] += 1
                    moved.append((case, old, new))
                else:
                    for what in found:
                        mismatches[what] += 1
                    failed.append((case, old, new, found))
                if args.keep_failures:
                    keep_case(args.keep_failures,
                              name + ("-line-moved" if found == ["line"] else ""),
                              line_text, train_text, with_plan, edits, old, new, found)
    elapsed = time.monotonic() - started

    print(f"compared {compared} cases ({len(as_is)} as they are, {args.cases} edited with seed "
          f"{args.seed}; {with_plan_count} with the plan) in {elapsed:.1f} s")
    print(f"  {'':20} {'old':>6} {'new':>6}")
    for kind in sorted(sides["old"].keys() | sides["new"].keys()):
        print(f"  {kind:20} {sides['old'][kind]:6} {sides['new'][kind]:6}")
    seen = sorted(numbers["old"].keys() | numbers["new"].keys())
    print(f"distinct error numbers: {len(seen)}")
    for number in seen:
        print(f"  error {number:<5} {numbers['old'][number]:6} {numbers['new'][number]:6}")

    print("mismatches:" if mismatches else "mismatches: none")
    for what, count in sorted(mismatches.items()):
        print(f"  {what}: {count}")
    for (name, line_text, train_text, _, edits), old, new in moved[:10]:
        a, b = old["report"], new["report"]
        text = line_text if os.path.basename(a.get("file") or "") == LINE_NAME else train_text
        print(f"line moved in {name} (error {a.get('errorNumber')}, {'; '.join(edits)}):\n"
              f"    old line {a.get('line')}: {record_line(text, a.get('line'))}\n"
              f"    new line {b.get('line')}: {record_line(text, b.get('line'))}")
    for (name, _, _, _, edits), old, new, found in failed[:10]:
        print(f"MISMATCH in {name} ({', '.join(found)}; {'; '.join(edits)}):")
        for side, result in (("old", old), ("new", new)):
            shown = {k: result["report"].get(k) for k in RESULT_MEMBERS + ("line",)}
            shown["file"] = os.path.basename(shown["file"] or "") or None
            print(f"    {side}: exit {result['status']} {json.dumps(shown)}")
    if len(failed) > 10:
        print(f"... and {len(failed) - 10} more mismatching cases")
    if args.keep_failures and (failed or moved):
        print(f"mismatching cases kept in {args.keep_failures}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
