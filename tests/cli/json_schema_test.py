#!/usr/bin/env python3
"""Validates real JSON outputs of zorvika-cli against the schemas in docs/schema/.

usage: json_schema_test.py ZORVIKA_CLI SOURCE_DIR CORPUS_DIR

Counts a group of the corpus and a project with a missing module, stores two
versions, and runs every JSON output (count, procedures and each form of
history) through Debian's python3-jsonschema; a broken copy of each output
must be refused, so that the check can fail.
"""
import copy
import json
import os
import shutil
import subprocess
import sys
import tempfile

import jsonschema

cli, source, corpus = sys.argv[1:4]
schemas = os.path.join(source, "docs", "schema")
work = tempfile.mkdtemp(prefix="zorvika-schema-")
failures = []


def run(*args):
    result = subprocess.run([cli, *args, "--program-folder", os.path.join(work, "program")],
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE, check=False)
    if result.returncode != 0:
        failures.append(f"{' '.join(args)}: exit {result.returncode}: {result.stderr.decode(errors='replace')}")
        return None
    return json.loads(result.stdout)


def check(schema_name, instance, what):
    if instance is None:
        return
    with open(os.path.join(schemas, schema_name), encoding="utf-8") as f:
        schema = json.load(f)
    validator_class = jsonschema.validators.validator_for(schema)
    validator_class.check_schema(schema)
    validator = validator_class(schema)
    errors = sorted(validator.iter_errors(instance), key=str)
    if errors:
        failures.append(f"{what}: {errors[0].message} at {list(errors[0].absolute_path)}")
    # A copy with one wrong type somewhere deep must be refused.
    broken = copy.deepcopy(instance)
    target = broken
    while isinstance(target, (list, dict)) and target:
        key = 0 if isinstance(target, list) else sorted(target)[0]
        if not isinstance(target[key], (list, dict)) or not target[key]:
            target[key] = {"unexpected": True}
            break
        target = target[key]
    if broken != instance and validator.is_valid(broken):
        failures.append(f"{what}: a broken copy passes the schema")


try:
    os.makedirs(os.path.join(work, "program"))
    shutil.copy(os.path.join(source, "resources", "tips.dll"), os.path.join(work, "program", "tips.dll"))
    project = os.path.join(work, "p")
    os.makedirs(project)
    with open(os.path.join(project, "a.bas"), "w", newline="") as f:
        f.write('Attribute VB_Name = "A"\r\nSub S()\r\nIf a Then b\r\nEnd Sub\r\n')
    for version, modules in (("0", "Module=A; a.bas\r\nModule=G; gone.bas\r\n"), ("1", "Module=A; a.bas\r\n")):
        with open(os.path.join(project, "p.vbp"), "w", newline="") as f:
            f.write(modules + 'Name="P"\r\nMajorVer=1\r\nMinorVer=' + version + "\r\nRevisionVer=0\r\n")
        check("count.schema.json", run("count", os.path.join(project, "p.vbp"), "--save", "-q", "-f", "json"),
              "count with an Invalid row")
    group = os.path.join(corpus, "SSTabEx", "Group1.vbg")
    check("count.schema.json", run("count", group, "--format", "json", "--save"), "count of a group")
    check("procedures.schema.json", run("procedures", group, "--format", "json"), "procedures of a group")
    check("procedures.schema.json", run("procedures", os.path.join(project, "p.vbp"), "-q", "-f", "json"),
          "procedures with an Invalid module")
    check("history-names.schema.json", run("history", "--format", "json"), "history")
    check("history-names.schema.json", run("history", "P", "--format", "json"), "history PROJECT")
    check("history-snapshot.schema.json", run("history", "SSTabExTest", "1.0.0", "--format", "json"),
          "history PROJECT VERSION")
    check("history-snapshot.schema.json", run("history", "P", "1.0.0", "--format", "json"),
          "history PROJECT VERSION with an Invalid row")
    check("history-trend.schema.json", run("history", "P", "--trend", "--format", "json"), "history --trend")
    check("history-compare.schema.json", run("history", "P", "--compare", "1.0.0", "1.1.0", "--format", "json"),
          "history --compare")
finally:
    shutil.rmtree(work, ignore_errors=True)

for failure in failures:
    print("FAIL:", failure, file=sys.stderr)
if failures:
    sys.exit(1)
print("every JSON output matches its schema")
