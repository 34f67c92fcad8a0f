#!/usr/bin/env python3
"""Makes a git repository with a grown history of a VB6 project, for the
pictures: the project starts with about half of its modules, and each of
COUNT tagged revisions adds some of the rest, lengthens a few modules and
raises the revision number of the version.

    scripts/make-history-repo.py PROJECT.vbp TARGET_FOLDER [COUNT]
"""
import os
import random
import re
import shutil
import subprocess
import sys

source, target = sys.argv[1], sys.argv[2]
count = int(sys.argv[3]) if len(sys.argv) > 3 else 20
shutil.copytree(os.path.dirname(os.path.abspath(source)), target)
project = os.path.join(target, os.path.basename(source))
with open(project, "rb") as f:
    lines = f.read().split(b"\r\n")
entry = re.compile(rb"^(Form|Module|Class|UserControl|PropertyPage|Designer|UserDocument)=", re.I)
entries = [i for i, line in enumerate(lines) if entry.match(line)]
rng = random.Random(249)
hidden = set(rng.sample(entries, len(entries) // 2))
git = ["git", "-C", target]
subprocess.run(git + ["init", "-q"], check=True)
subprocess.run(git + ["config", "user.email", "pictures@zorvika.invalid"], check=True)
subprocess.run(git + ["config", "user.name", "ZORVIKA"], check=True)
modules = []
for i in entries:
    path = lines[i].split(b";")[-1].split(b"=", 1)[-1].strip().decode("latin-1").replace("\\", "/")
    modules.append(os.path.join(target, path))
for revision in range(count):
    if revision > 0:
        for i in rng.sample(sorted(hidden), min(len(hidden), max(1, len(entries) // (2 * count)))):
            hidden.discard(i)
        for path in rng.sample(modules, max(1, len(modules) // 40)):
            if os.path.isfile(path):
                with open(path, "ab") as f:
                    f.write(b"".join(b"' revision %d\r\nDim v%d_%d As Long\r\n\r\n" % (revision, revision, k)
                                     for k in range(rng.randint(5, 60))))
    text = [line for i, line in enumerate(lines) if i not in hidden]
    text = [re.sub(rb"^RevisionVer=\d+", b"RevisionVer=%d" % (100 + revision), line) for line in text]
    with open(project, "wb") as f:
        f.write(b"\r\n".join(text))
    subprocess.run(git + ["add", "-A"], check=True)
    subprocess.run(git + ["commit", "-qm", "revision %d" % revision], check=True)
    subprocess.run(git + ["tag", "r%03d" % revision], check=True)
