"""The report opened from a local file in headless Chromium: no console messages, no request
beyond the file itself, every figure drawn with a non-empty box, a PDF from --print-to-pdf, and
a screenshot and the PDF's pages as PNG files for a person to look at. Skips (77) without
Chromium."""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(__file__))
import report_common as rc  # noqa: E402

a = rc.arguments()

chromium = rc.which("chromium", "chromium-browser", "google-chrome")
if not chromium:
    print("SKIP: no chromium")
    sys.exit(rc.SKIP)

files = rc.inputs(a.data, a.examples)
paths = rc.make_report(a.tesvane, files, a.out)
report = os.path.abspath(paths["report"])
profile = tempfile.mkdtemp(prefix="tesvane-chromium-")


def browse(url, *extra, timeout=180):
    """Runs headless Chromium on url; returns (stdout, stderr)."""
    cmd = [chromium, "--headless", "--disable-gpu", "--no-first-run",
           "--no-default-browser-check", "--disable-extensions", "--disable-sync",
           "--disable-background-networking", "--disable-component-update",
           "--disable-default-apps", "--disable-dev-shm-usage", "--mute-audio",
           "--user-data-dir=" + profile, "--enable-logging=stderr", "--v=0"]
    if os.geteuid() == 0:
        cmd.append("--no-sandbox")  # Chromium refuses to run as root with its sandbox
    r = subprocess.run(cmd + list(extra) + [url], capture_output=True, text=True,
                       timeout=timeout)
    if r.returncode != 0:
        rc.fail("chromium failed (%d):\n%s" % (r.returncode, r.stderr[-3000:]))
    return r.stdout, r.stderr


def console_messages(stderr):
    return [l for l in stderr.splitlines() if ":CONSOLE" in l or "CONSOLE(" in l]


def page_requests(netlog_path, own_url):
    """URLs the page asked the network for, from Chromium's network log: the requests whose
    network isolation key is a file page's (the browser's own update and account checks have
    keys of their own)."""
    with open(netlog_path) as fh:
        text = fh.read()
    try:
        log = json.loads(text)
    except ValueError:  # a log cut short at exit lacks its closing brackets
        log = json.loads(text.rstrip().rstrip(",") + "]}")
    urls = set()
    for e in log.get("events", []):
        p = e.get("params") or {}
        if p.get("url") and str(p.get("network_isolation_key", "")).startswith("file://"):
            urls.add(p["url"])
    return sorted(u for u in urls if u != own_url and not u.startswith(("data:", "about:")))


own = "file://" + report

# The detectors themselves must see a fault: a page with a console error and a request.
probe = os.path.join(a.out, "probe.html")
with open(probe, "w") as fh:
    fh.write('<!DOCTYPE html><title>p</title><img src="http://127.0.0.1:9/x.png">'
             '<script>console.error("probe")</script>')
probe_log = os.path.join(a.out, "probe-netlog.json")
_, err = browse("file://" + os.path.abspath(probe), "--log-net-log=" + probe_log,
                "--dump-dom")
if not console_messages(err) or not page_requests(probe_log, "file://" + probe):
    rc.fail("the console or network detector misses a known fault:\n" + err[-2000:])

# 1. Loading: no console messages, no requests.
netlog = os.path.join(a.out, "netlog.json")
_, err = browse(own, "--log-net-log=" + netlog, "--dump-dom")
if console_messages(err):
    rc.fail("console messages:\n" + "\n".join(console_messages(err)))
requests = page_requests(netlog, own)
if requests:
    rc.fail("the report made requests: %s" % requests)
print("load: no console messages, no requests")

# 2. Every figure drawn: a copy of the page with a measuring script, its DOM dumped.
measure = os.path.join(a.out, "measure.html")
with open(report, encoding="utf-8") as fh:
    page = fh.read()
script = """<script>
const r = [...document.querySelectorAll('figure svg')].map(s => {
  const b = s.getBoundingClientRect(); const g = s.getBBox();
  return {w: b.width, h: b.height, bw: g.width, bh: g.height,
          shapes: s.querySelectorAll('path,line,polyline,polygon,circle,rect,text').length};
});
const res = performance.getEntriesByType('resource').map(e => e.name);
const p = document.createElement('pre'); p.id = 'measured';
p.textContent = JSON.stringify({figures: r, resources: res});
document.body.appendChild(p);
</script>"""
with open(measure, "w", encoding="utf-8") as fh:
    fh.write(page.replace("</body>", script + "</body>"))
dom, _ = browse("file://" + os.path.abspath(measure), "--dump-dom")
m = re.search(r'<pre id="measured">(.*?)</pre>', dom, re.S)
if not m:
    rc.fail("the measuring script did not run")
measured = json.loads(m.group(1).replace("&quot;", '"').replace("&amp;", "&"))
if measured["resources"]:
    rc.fail("the report loaded resources: %s" % measured["resources"])
boxes = measured["figures"]
if len(boxes) < 5:
    rc.fail("%d figures measured, not 5" % len(boxes))
for i, b in enumerate(boxes, 1):
    if b["w"] <= 0 or b["h"] <= 0 or b["bw"] <= 0 or b["bh"] <= 0 or b["shapes"] < 3:
        rc.fail("figure %d is empty: %s" % (i, b))
print("figures: %s" % ", ".join("%dx%d px, %d shapes" % (b["w"], b["h"], b["shapes"])
                                for b in boxes))

# 3. A PDF and a screenshot, kept for a person to look at.
pdf = os.path.join(a.out, "r.pdf")
browse(own, "--print-to-pdf=" + pdf, "--no-pdf-header-footer")
with open(pdf, "rb") as fh:
    if fh.read(5) != b"%PDF-":
        rc.fail("--print-to-pdf wrote no PDF")
shot = os.path.join(a.out, "screenshot.png")
browse(own, "--screenshot=" + shot, "--window-size=1280,2400", "--hide-scrollbars")
if not os.path.getsize(shot):
    rc.fail("no screenshot")
pages = ""
if rc.which("pdfinfo"):
    info = subprocess.run(["pdfinfo", pdf], capture_output=True, text=True).stdout
    pages = re.search(r"Pages:\s*(\d+)", info).group(1)
if rc.which("pdftoppm"):
    subprocess.run(["pdftoppm", "-r", "60", "-png", pdf, os.path.join(a.out, "page")],
                   check=True)
print("pdf: %s (%s pages), screenshot %s" % (pdf, pages or "?", shot))
shutil.rmtree(profile, ignore_errors=True)
