#!/usr/bin/env python3
"""Seeded mutation sampler: how many small faults in the engine do the tests catch?

Applies one source mutation at a time to files under src/, rebuilds the test
programs incrementally, runs the tests of the mutated layer (ctest label =
the layer folder), records killed / survived / did not build, and restores the
file. The mutant list is drawn from the seed, or replayed from a saved report,
so two suites can be compared on exactly the same faults.

    tools/mutants/mutants.py --build build/test --seed 1 --count 150 \
        --files 'src/files/*.cpp' 'src/dsp/*.cpp' --report mutants.json
    tools/mutants/mutants.py --build build/test --replay mutants.json --report after.json
"""
import argparse
import fnmatch
import glob
import json
import os
import random
import re
import subprocess
import sys
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
ENGINE_LAYERS = ["files", "formats", "dsp", "wavetable", "modules", "audio"]

# Each operator: name, pattern, replacement function. Patterns run on a line
# whose comments and string literals are blanked out, so positions are safe.
SWAPS = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "==",
         "&&": "||", "||": "&&", "+": "-", "-": "+"}
OPERATORS = [
    ("comparison", re.compile(r"(?<![<>=!-])(<=|>=|==|!=)(?![=])|(?<![<>-])(<)(?![<=])|(?<![<>-])(>)(?![>=])")),
    ("logic", re.compile(r"&&|\|\|")),
    ("arithmetic", re.compile(r"(?<=[\w\)\]] )[+-](?= [\w\(])")),
    ("constant", re.compile(r"(?<![\w.])(\d+)(?![\w.])")),
    ("negate", re.compile(r"\b(if|while) \(")),
    ("drop", re.compile(r"^\s+[A-Za-z_][\w:.\->\[\]]*(\(.*\)|\s*[-+*/]?=.*);\s*$")),
]


def blank_code(line, in_block):
    """Blanks comments and string/char literals so operators are found only in code."""
    out, i, n = [], 0, len(line)
    while i < n:
        if in_block:
            end = line.find("*/", i)
            if end < 0:
                out.append(" " * (n - i))
                return "".join(out), True
            out.append(" " * (end + 2 - i))
            i, in_block = end + 2, False
            continue
        c = line[i]
        if line.startswith("//", i):
            out.append(" " * (n - i))
            break
        if line.startswith("/*", i):
            in_block = True
            continue
        if c in "\"'":
            j = i + 1
            while j < n and line[j] != c:
                j += 2 if line[j] == "\\" else 1
            out.append(" " * (min(j + 1, n) - i))
            i = j + 1
            continue
        out.append(c)
        i += 1
    return "".join(out), in_block


def sites_of(path):
    rel = os.path.relpath(path, ROOT)
    lines = open(path, encoding="utf-8", errors="replace").read().split("\n")
    in_block, sites = False, []
    for number, line in enumerate(lines):
        code, in_block = blank_code(line, in_block)
        stripped = code.strip()
        if not stripped or stripped.startswith("#") or "static_assert" in code or "template" in code:
            continue
        if "#include" in line or "operator" in code:
            continue
        for name, pattern in OPERATORS:
            for m in pattern.finditer(code):
                text = m.group(0)
                if name in ("comparison", "logic", "arithmetic"):
                    replacement = SWAPS.get(text)
                    if replacement is None:
                        continue
                    if text in "<>" and re.search(r"\w<[\w:, ]*>", code):
                        continue  # a template argument list, not a comparison
                    sites.append((rel, number, m.start(), text, replacement, name))
                elif name == "constant":
                    value = int(text)
                    replacement = str(value + 1 if value in (0, 1) or random.random() < 0.5 else value - 1)
                    sites.append((rel, number, m.start(), text, replacement, name))
                elif name == "negate":
                    close = matching_paren(code, m.end() - 1)
                    if close > 0:
                        sites.append((rel, number, m.end() - 1, line[m.end() - 1:close + 1],
                                      "(!" + line[m.end() - 1:close + 1] + ")", name))
                elif name == "drop" and not stripped.startswith(("return", "auto", "const", "static")):
                    if "{" not in code and "}" not in code:
                        sites.append((rel, number, 0, line, "", name))
    return sites


def matching_paren(code, start):
    depth = 0
    for i in range(start, len(code)):
        depth += {"(": 1, ")": -1}.get(code[i], 0)
        if depth == 0:
            return i
    return -1


def apply(site):
    rel, number, column, text, replacement, _ = site
    path = os.path.join(ROOT, rel)
    original = open(path, encoding="utf-8").read()
    lines = original.split("\n")
    line = lines[number]
    if not line[column:].startswith(text):
        return None
    lines[number] = line[:column] + replacement + line[column + len(text):]
    open(path, "w", encoding="utf-8").write("\n".join(lines))
    return original


def run(command, timeout):
    try:
        return subprocess.run(command, cwd=ROOT, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                              timeout=timeout).returncode
    except subprocess.TimeoutExpired:
        return -1


def layer_of(rel):
    parts = rel.split(os.sep)
    return parts[1] if len(parts) > 2 else "core"


def label_filter(build, layer):
    """Runs only the mutated layer's tests when the build labels them by layer."""
    listed = subprocess.run(["ctest", "--test-dir", build, "-N", "-L", f"^{layer}$"], cwd=ROOT,
                            capture_output=True, text=True).stdout
    found = re.search(r"Total Tests: (\d+)", listed)
    return ["-L", f"^{layer}$"] if found and int(found.group(1)) > 0 else []


def build_targets(build, layer):
    """Rebuilds only the mutated layer's test program when the build has one."""
    target = f"sonicloom_tests_{layer}"
    listed = subprocess.run(["cmake", "--build", build, "-t", "help"], cwd=ROOT, capture_output=True,
                            text=True).stdout
    return ["-t", target] if re.search(rf"^{target}:", listed, re.M) else []


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default="build/test", help="configured build folder")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--count", type=int, default=150)
    parser.add_argument("--files", nargs="*", default=[f"src/{layer}/*.cpp" for layer in ENGINE_LAYERS])
    parser.add_argument("--replay", help="report whose mutant list to run again")
    parser.add_argument("--report", default="mutants.json")
    parser.add_argument("--test-timeout", type=int, default=600, help="seconds per test")
    parser.add_argument("--build-timeout", type=int, default=1800, help="seconds per mutant rebuild")
    parser.add_argument("--list-only", action="store_true", help="print the mutant list and stop")
    args = parser.parse_args()

    if args.replay:
        chosen = [tuple(entry["site"]) for entry in json.load(open(args.replay))["mutants"]]
    else:
        random.seed(args.seed)
        files = sorted({f for pattern in args.files for f in glob.glob(os.path.join(ROOT, pattern))})
        sites = [site for f in files for site in sites_of(f)]
        random.seed(args.seed)
        chosen = random.sample(sites, min(args.count, len(sites)))
    if args.list_only:
        for site in chosen:
            print(f"{site[0]}:{site[1] + 1}: {site[5]}: {site[3].strip()!r} -> {site[4].strip()!r}")
        return 0

    build = os.path.join(ROOT, args.build)
    results, started = [], time.time()
    for index, site in enumerate(chosen, 1):
        original = apply(site)
        if original is None:
            outcome = "stale"
        else:
            try:
                if run(["cmake", "--build", build, "-j2", *build_targets(build, layer_of(site[0]))],
                       args.build_timeout) != 0:
                    outcome = "did not build"
                else:
                    code = run(["ctest", "--test-dir", build, *label_filter(build, layer_of(site[0])), "-j2",
                                "--timeout", str(args.test_timeout)], args.test_timeout * 4)
                    # A mutant that hangs the tests (timeout) counts as killed: the suite noticed.
                    outcome = "survived" if code == 0 else "killed"
            finally:
                open(os.path.join(ROOT, site[0]), "w", encoding="utf-8").write(original)
        results.append({"site": list(site), "outcome": outcome})
        print(f"[{index}/{len(chosen)}] {outcome:13} {site[0]}:{site[1] + 1} {site[5]} "
              f"{site[3].strip()[:40]!r} -> {site[4].strip()[:40]!r}", flush=True)
    # Leave the test programs of the mutated layers built from the restored sources.
    targets = sorted({t for site in chosen for t in build_targets(build, layer_of(site[0]))} - {"-t"})
    run(["cmake", "--build", build, "-j2", *[a for t in targets for a in ("-t", t)]], args.build_timeout)

    counted = [r for r in results if r["outcome"] in ("killed", "survived")]
    killed = sum(r["outcome"] == "killed" for r in counted)
    summary = {"seed": args.seed, "mutants": results, "killed": killed, "survived": len(counted) - killed,
               "did_not_build": sum(r["outcome"] == "did not build" for r in results),
               "kill_rate": killed / len(counted) if counted else 0.0, "seconds": round(time.time() - started)}
    json.dump(summary, open(os.path.join(ROOT, args.report), "w"), indent=1)
    print(f"killed {killed} of {len(counted)} ({100 * summary['kill_rate']:.1f} %), "
          f"{summary['did_not_build']} did not build, {summary['seconds']} s")
    return 0


if __name__ == "__main__":
    sys.exit(main())
