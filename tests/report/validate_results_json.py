"""The "results" object of a real run's --json, validated against the schema in the sources.
Skips (77) without the jsonschema module."""
import json
import os
import sys

sys.path.insert(0, os.path.dirname(__file__))
import report_common as rc  # noqa: E402

try:
    import jsonschema
except ImportError:
    print("SKIP: no jsonschema module")
    sys.exit(rc.SKIP)

a = rc.arguments("--schema")

schema = json.load(open(a.schema))
jsonschema.Draft7Validator.check_schema(schema)
paths = rc.make_report(a.tesvane, rc.inputs(a.data, a.examples), a.out)
results = json.load(open(paths["json"]))["results"]
jsonschema.validate(results, schema)
# The validator must reject what the schema forbids.
broken = json.loads(json.dumps(results))
broken["provenance"]["inputs"][0]["sha256"] = "not a digest"
try:
    jsonschema.validate(broken, schema)
    rc.fail("the schema accepts a malformed digest")
except jsonschema.ValidationError:
    pass
print("results valid against %s" % a.schema)
