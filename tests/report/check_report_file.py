"""The report, the scores and the results of a real run, checked as files: the report has
each input's SHA-256, inline figures and nothing from elsewhere, and passes an HTML checker;
the scores table reads with Python's csv module; the JSON holds "results"."""
import hashlib
import json
import os
import re
import subprocess
import sys

sys.path.insert(0, os.path.dirname(__file__))
import report_common as rc  # noqa: E402

a = rc.arguments()

files = rc.inputs(a.data, a.examples)
paths = rc.make_report(a.tesvane, files, a.out)
html = open(paths["report"], encoding="utf-8").read()

for f in files:
    digest = hashlib.sha256(open(f, "rb").read()).hexdigest()
    if digest not in html:
        rc.fail("the report lacks the SHA-256 of " + f)
figures = html.count("<svg")
if figures < 5:
    rc.fail("the report has %d inline figures, not 5" % figures)
outside = re.findall(r"""(?:src|href)\s*=\s*["']?(?!#)[^"'\s>]+|url\((?!#)[^)]*\)|@import|<link|"""
                     r"""<script|<iframe|<object|<embed|https?:""", html, re.I)
if outside:
    rc.fail("the report refers to things outside itself: %s" % outside[:5])
print("report: %d bytes, %d inline figures, 4 digests, no outside references"
      % (len(html), figures))

rows = rc.read_scores(paths["scores"])
n = rc.specimens(files)
if len(rows) != n + 1:
    rc.fail("the scores have %d rows for %d specimens and a header" % (len(rows), n))
header = rows[0]
if header[:2] != ["group", "specimen"] or len({len(r) for r in rows}) != 1:
    rc.fail("the scores table is not rectangular with group and specimen first: %s" % header)
for r in rows[1:]:
    for v in r[2:]:
        if v != "NA":
            float(v)
print("scores: %d rows, %d columns" % (len(rows) - 1, len(header)))

results = json.load(open(paths["json"]))["results"]
if results["bootstrap"]["replicates"] != 200 or results["settings"]["permutations"] != 99:
    rc.fail("the results do not record the settings of the run")
print("json: results with %d groups" % len(results["groups"]))

tidy = rc.which("tidy")
if tidy:
    r = subprocess.run([tidy, "-q", "-e", "-utf8", paths["report"]], capture_output=True,
                       text=True)
    # 0: clean; 1: warnings; 2: errors.
    if r.returncode != 0:
        rc.fail("tidy finds fault with the report:\n" + r.stderr[-3000:])
    print("tidy: no warnings, no errors")
else:
    print("tidy is not installed: the HTML check is skipped")
