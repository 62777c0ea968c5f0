"""Shared steps of the report checks: make a report with the real program, find tools."""
import argparse
import csv
import os
import shutil
import subprocess
import sys

SKIP = 77  # ctest's SKIP_RETURN_CODE for these tests


def arguments(*extra):
    """The options every check takes (--tesvane, --data, --examples, --out) and `extra` ones."""
    ap = argparse.ArgumentParser()
    for name in ("--tesvane", "--data", "--examples") + extra + ("--out",):
        ap.add_argument(name, required=True)
    return ap.parse_args()


def inputs(data_dir, examples_dir):
    """The plethodon dataset when it is there, else the examples shipped with the sources."""
    p = os.path.join(data_dir, "plethodon")
    if os.path.isdir(p):
        return [os.path.join(p, f) for f in
                ("Jord_b1.txt", "Jord_b2.txt", "Teyah_b1.txt", "Teyah_b2.txt")]
    return [os.path.join(examples_dir, f) for f in
            ("groupA_b1.txt", "groupA_b2.txt", "groupB_b1.txt", "groupB_b2.txt")]


def make_report(tesvane, files, out_dir):
    """Runs the analysis with every export; returns the paths of report, scores and JSON."""
    os.makedirs(out_dir, exist_ok=True)
    paths = {k: os.path.join(out_dir, n) for k, n in
             (("report", "r.html"), ("scores", "s.csv"), ("json", "j.json"))}
    cmd = [tesvane, "run", "--g1b1", files[0], "--g1b2", files[1], "--g2b1", files[2],
           "--g2b2", files[3], "--boot", "200", "--permute", "99", "--threads", "2",
           "--report", paths["report"], "--scores", paths["scores"], "--json", paths["json"]]
    r = subprocess.run(cmd, capture_output=True, text=True, timeout=600)
    if r.returncode != 0:
        sys.exit("tesvane run failed (%d):\n%s" % (r.returncode, r.stderr[-4000:]))
    return paths


def specimens(files):
    """Rows of the two block-1 files that hold numbers (one specimen a line)."""
    count = 0
    for f in (files[0], files[2]):
        with open(f) as fh:
            count += sum(1 for line in fh if line.strip())
    return count


def read_scores(path):
    with open(path, newline="") as fh:
        return list(csv.reader(fh))


def fail(msg):
    print("FAIL: " + msg)
    sys.exit(1)


def which(*names):
    for n in names:
        p = shutil.which(n)
        if p:
            return p
    return None
