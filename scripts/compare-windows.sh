#!/usr/bin/env python3
"""Runs the same zorvika-cli commands with the Linux program and the Windows
one over every project and group of ../shared/corpus and requires the same
standard output and exit status from both, the same files in their program
folders and the same export files.

Paths: both programs are started in the repository's folder and are given
the same relative paths. Where a program prints a path of its own (a
project's "path" in JSON, say), the two systems may spell it differently:
each root this script hands out (the corpus, the fixture folder) is masked
in every spelling it can take (as given, absolute, on Wine's drive Z:, with
"/", "\\" or JSON's "\\\\"), and only in the rest of such a path are "\\"
and "/" taken as the same. Everything else, module paths as the project
files write them included, must be byte for byte the same.

Revisions (`count --revision`, `import`) are read from a small git history
of a corpus project that scripts/make-history-repo.py makes in the scratch
folder: the Windows program reads it through git2.dll.

Workbooks (.xlsx) are compared member by member after unzipping; the only
text masked is the creation time in docProps/core.xml.

Prints one line per command, "ok" or "DIFFERENT" with the first differing
line, then a summary; exits 1 on any difference.
"""

import argparse
import fcntl
import filecmp
import json
import os
import re
import shlex
import shutil
import subprocess
import sys
import zipfile

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CORPUS = "../shared/corpus"
WORK = "build-windows/compare"
TIMEOUT = 300


def parse_args():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--linux-program", default="build/bin/zorvika-cli",
                        help="the Linux program (default: %(default)s)")
    parser.add_argument("--windows-program",
                        default="scripts/wine-run.sh build-windows/bin/zorvika-cli.exe",
                        help="the command that runs the Windows program, split like a shell "
                             "line (default: %(default)s); naming the Linux program here "
                             "checks this script itself")
    parser.add_argument("--corpus", default=CORPUS, help="the projects' folder (default: %(default)s)")
    parser.add_argument("--work", default=WORK,
                        help="scratch folder, emptied first (default: %(default)s)")
    return parser.parse_args()


def spellings(root):
    """Every way a program may write the folder `root` (relative to the
    repository), longest first."""
    absolute = os.path.normpath(os.path.join(REPO, root))
    real = os.path.realpath(absolute)
    forms = set()
    for base in {root, os.path.normpath(root), absolute, real}:
        for text in (base, "Z:" + base if base.startswith("/") else None, "z:" + base if base.startswith("/") else None):
            if text is None:
                continue
            forms.add(text)
            forms.add(text.replace("/", "\\"))
            forms.add(text.replace("/", "\\\\"))
    return sorted(forms, key=len, reverse=True)


class Masker:
    def __init__(self, roots):
        self.patterns = []
        for token, root in roots:
            alternatives = "|".join(re.escape(s) for s in spellings(root))
            # The root, then the rest of the path up to a tab, a quote, a
            # comma or the line's end.
            self.patterns.append((token, re.compile("(?:" + alternatives + r")((?:\\\\|[\\/])[^\t\",\r\n]*)?")))

    def __call__(self, text):
        for token, pattern in self.patterns:
            def rest(match, token=token):
                tail = match.group(1) or ""
                return token + tail.replace("\\\\", "/").replace("\\", "/")
            text = pattern.sub(rest, text)
        return text


def first_difference(a, b):
    la, lb = a.split("\n"), b.split("\n")
    for i in range(max(len(la), len(lb))):
        x = la[i] if i < len(la) else "<no line>"
        y = lb[i] if i < len(lb) else "<no line>"
        if x != y:
            return "line %d: linux %r, windows %r" % (i + 1, x[:160], y[:160])
    return "the same text"


def tree_files(folder):
    files = []
    for dirpath, dirnames, filenames in os.walk(folder):
        dirnames.sort()
        for name in sorted(filenames):
            full = os.path.join(dirpath, name)
            files.append(os.path.relpath(full, folder))
    return files


def xlsx_members(path):
    members = {}
    with zipfile.ZipFile(path) as archive:
        for info in archive.infolist():
            data = archive.read(info)
            if info.filename == "docProps/core.xml":
                data = re.sub(rb"(<dcterms:(?:created|modified)[^>]*>)[^<]*", rb"\1*", data)
            members[info.filename] = data
    return members


def compare_files(a, b):
    """None when the two files are the same, otherwise why not."""
    if not os.path.exists(a) or not os.path.exists(b):
        return "linux %s, windows %s" % ("written" if os.path.exists(a) else "missing",
                                         "written" if os.path.exists(b) else "missing")
    if a.endswith(".xlsx"):
        try:
            ma, mb = xlsx_members(a), xlsx_members(b)
        except zipfile.BadZipFile as error:
            return "not a workbook: %s" % error
        if sorted(ma) != sorted(mb):
            return "members: linux %s, windows %s" % (sorted(ma), sorted(mb))
        for name in sorted(ma):
            if ma[name] != mb[name]:
                return "%s: %s" % (name, first_difference(ma[name].decode("utf-8", "replace"),
                                                          mb[name].decode("utf-8", "replace")))
        return None
    if filecmp.cmp(a, b, shallow=False):
        return None
    with open(a, "rb") as fa, open(b, "rb") as fb:
        return first_difference(fa.read().decode("utf-8", "replace"), fb.read().decode("utf-8", "replace"))


class Comparison:
    def __init__(self, args):
        self.linux = shlex.split(args.linux_program)
        self.windows = shlex.split(args.windows_program)
        self.corpus = args.corpus
        self.work = args.work
        self.fixture = os.path.join(self.work, "fixture")
        self.repository = os.path.join(self.work, "repository")
        self.mask = Masker([("<CORPUS>", self.corpus), ("<FIXTURE>", self.fixture),
                            ("<REPOSITORY>", self.repository)])
        self.results = []

    def side(self, name, *parts):
        return os.path.join(self.work, name, *parts)

    def run(self, program, arguments):
        try:
            done = subprocess.run(program + arguments, cwd=REPO, stdout=subprocess.PIPE,
                                  stderr=subprocess.PIPE, timeout=TIMEOUT)
            return done.returncode, done.stdout, done.stderr
        except subprocess.TimeoutExpired:
            return "time-out after %d s" % TIMEOUT, b"", b""

    def report(self, label, problem):
        self.results.append(problem is None)
        print("%-9s %s%s" % ("ok" if problem is None else "DIFFERENT", label,
                             "" if problem is None else "\n          " + problem), flush=True)

    def command(self, arguments, files=(), folder=False, status=0):
        """Runs `arguments` on both sides. {side} in an argument stands for
        the side's own folder; `files` are paths under it to compare after
        the run; `folder` compares the side's whole program folder. `status`
        is the exit status the Linux program must give: a command that
        fails on both sides alike checks nothing."""
        outputs = {}
        for name, program in (("linux", self.linux), ("windows", self.windows)):
            own = [a.replace("{side}", self.side(name)) for a in arguments]
            outputs[name] = self.run(program, own)
        label = " ".join(shlex.quote(a) for a in arguments)
        (la, oa, ea), (lb, ob, eb) = outputs["linux"], outputs["windows"]
        problem = None
        if la != status:
            problem = "the Linux program gave exit status %s, not %s: %s" % (
                la, status, ea.decode("utf-8", "replace").strip()[:300])
        elif la != lb:
            problem = "exit status: linux %s, windows %s (windows said: %s)" % (
                la, lb, eb.decode("utf-8", "replace").strip()[:300])
        else:
            ta = self.mask(oa.decode("utf-8", "surrogateescape"))
            tb = self.mask(ob.decode("utf-8", "surrogateescape"))
            if ta != tb:
                problem = "standard output: " + first_difference(ta, tb)
        for path in files:
            if problem is None:
                why = compare_files(self.side("linux", path), self.side("windows", path))
                if why is not None:
                    problem = "%s: %s" % (path, why)
        if problem is None and folder:
            problem = self.compare_program_folders()
        self.report(label, problem)

    def compare_program_folders(self):
        a, b = self.side("linux", "pf"), self.side("windows", "pf")
        fa, fb = tree_files(a), tree_files(b)
        if fa != fb:
            only_a = sorted(set(fa) - set(fb))
            only_b = sorted(set(fb) - set(fa))
            return "program folder: only linux has %s, only windows has %s" % (only_a[:5], only_b[:5])
        for path in fa:
            why = compare_files(os.path.join(a, path), os.path.join(b, path))
            if why is not None:
                return "program folder, %s: %s" % (path, why)
        return None

    def stored(self):
        """The projects and versions stored on the Linux side, as the Linux
        program lists them."""
        pf = ["--program-folder", self.side("linux", "pf")]
        code, out, _ = self.run(self.linux, ["history"] + pf)
        projects = out.decode("utf-8").splitlines() if code == 0 else []
        versions = {}
        for project in projects:
            code, out, _ = self.run(self.linux, ["history"] + pf + ["--", project])
            versions[project] = out.decode("utf-8").splitlines() if code == 0 else []
        return versions

    def group_size(self, path):
        """How many projects the Linux program finds in the group."""
        code, out, _ = self.run(self.linux, ["count", path, "--format", "json", "--program-folder",
                                             self.side("linux", "pf")])
        return len(json.loads(out)) if code == 0 else 0

    def make_fixture(self):
        """A project of the corpus in three versions (1.0.0 as it is, 1.9.0,
        and 1.10.0 without one of its modules), so that the history has a
        trend and a comparison to show."""
        source = os.path.join(self.corpus, "SSTabEx", "test project")
        made = []
        for version, drop in (("1.9.0", None), ("1.10.0", "Class=")):
            folder = os.path.join(self.fixture, "v" + version)
            shutil.copytree(os.path.join(REPO, source), os.path.join(REPO, folder))
            vbp = os.path.join(REPO, folder, "Test.vbp")
            with open(vbp, "rb") as f:
                text = f.read().decode("latin-1")
            major, minor, revision = version.split(".")
            text = re.sub(r"(?m)^MajorVer=.*$", "MajorVer=" + major, text)
            text = re.sub(r"(?m)^MinorVer=.*$", "MinorVer=" + minor, text)
            text = re.sub(r"(?m)^RevisionVer=.*$", "RevisionVer=" + revision, text)
            if drop:
                text = re.sub(r"(?m)^" + re.escape(drop) + r".*\r?\n", "", text)
            with open(vbp, "wb") as f:
                f.write(text.encode("latin-1"))
            made.append(os.path.join(folder, "Test.vbp"))
        return made

    def make_repository(self):
        """A git repository with a grown history of a corpus project (four
        tagged revisions, r000 to r003), made by scripts/make-history-repo.py;
        returns its project file."""
        source = os.path.join(self.corpus, "SSTabEx", "test project", "Test.vbp")
        subprocess.run([sys.executable, os.path.join(REPO, "scripts", "make-history-repo.py"),
                        os.path.join(REPO, source), os.path.join(REPO, self.repository), "4"],
                       check=True, stdout=subprocess.DEVNULL)
        return os.path.join(self.repository, "Test.vbp")

    def revisions(self, pf):
        """`count --revision` and `import` read the repository through
        libgit2 (git2.dll on Windows) and store what they count."""
        project = self.make_repository()
        for form in ("tsv", "json"):
            self.command(["count", project, "--revision", "r001", "--format", form] + pf)
        self.command(["count", project, "--revision", "r003~1", "--git-dir", self.repository + "/.git",
                      "--sort", "P - C - B"] + pf)
        self.command(["count", project, "--revision", "r003", "--save"] + pf, folder=True)
        self.command(["import", project, "r00[12]", "--tags"] + pf, folder=True)
        self.command(["import", project, "--revisions", "r000..r003", "--every", "2"] + pf, folder=True)
        self.command(["count", project, "--revision", "no-such-revision"] + pf, status=1)

    def projects(self):
        found = []
        for dirpath, dirnames, filenames in os.walk(os.path.join(REPO, self.corpus)):
            dirnames.sort()
            for name in sorted(filenames):
                if name.lower().endswith((".vbp", ".vbg")):
                    found.append(os.path.relpath(os.path.join(dirpath, name), REPO))
        return found

    def all(self):
        shutil.rmtree(os.path.join(REPO, self.work), ignore_errors=True)
        for name in ("linux", "windows"):
            os.makedirs(os.path.join(REPO, self.side(name, "pf")))
            os.makedirs(os.path.join(REPO, self.side(name, "out")))
        files = self.projects()
        if not files:
            print("compare-windows: no .vbp or .vbg under %s" % self.corpus, file=sys.stderr)
            return 1
        pf = ["--program-folder", "{side}/pf"]
        self.command(["--version"])
        self.command(["count", "--help"])
        for n, path in enumerate(files):
            group = path.lower().endswith(".vbg")
            one = ["--project", "1"] if group else []
            out = "{side}/out/%02d" % n
            for form in ("tsv", "csv", "json"):
                self.command(["count", path, "--format", form] + pf)
            self.command(["count", path, "--sort", "P - C - B", "--descending"] + pf)
            self.command(["count", path, "--sort", "1", "--format", "csv"] + pf)
            if group and self.group_size(path) > 1:
                self.command(["count", path, "--project", "2", "--sort", "module", "--descending"] + pf)
            self.command(["count", path, "--output", "-"] + one + pf)
            for ext in ("txt", "csv", "xlsx"):
                self.command(["count", path, "--output", out + "." + ext] + one + pf,
                             files=["out/%02d.%s" % (n, ext)])
            for form in ("tsv", "csv", "json"):
                self.command(["procedures", path, "--format", form] + pf)
            self.command(["procedures", path, "--sort", "cc", "--descending"] + pf)
            self.command(["procedures", path, "--output", out + "-procedures.csv"] + one + pf,
                         files=["out/%02d-procedures.csv" % n])
            self.command(["count", path, "--save"] + pf, folder=True)
        for path in self.make_fixture():
            self.command(["count", path, "--save"] + pf, folder=True)
        self.revisions(pf)
        # Failures must fail alike.
        self.command(["count", self.corpus + "/no such project.vbp"] + pf, status=1)
        self.command(["count", files[0], "--sort", "99"] + pf, status=2)
        self.command(["history", "no such project"] + pf, status=1)
        # Every form of the history over what was stored.
        for form in ("tsv", "json"):
            self.command(["history", "--format", form] + pf)
        for project, versions in self.stored().items():
            for form in ("tsv", "json"):
                # Options first: "--" makes the name an operand whatever it is.
                self.command(["history", "--format", form] + pf + ["--", project])
                self.command(["history", "--trend", "--format", form] + pf + ["--", project])
                for version in versions:
                    self.command(["history", "--format", form] + pf + ["--", project, version])
                for other in versions[1:] or versions:
                    self.command(["history", "--compare", versions[0], other,
                                  "--format", form] + pf + ["--", project])
        self.command(["history", "SSTabExTest", "1.9.0", "--delete"] + pf, folder=True)
        self.command(["history", "SSTabExTest"] + pf)
        failed = self.results.count(False)
        print("compare-windows: %d commands, %d the same, %d different" % (
            len(self.results), len(self.results) - failed, failed))
        return 1 if failed else 0


def main():
    args = parse_args()
    for option, program in (("--linux-program", args.linux_program), ("--windows-program", args.windows_program)):
        first = shlex.split(program)[0]
        if not os.path.exists(os.path.join(REPO, first)) and shutil.which(first) is None:
            print("compare-windows: %s: %s does not exist (build it first)" % (option, first), file=sys.stderr)
            return 1
    if shlex.split(args.windows_program)[-1].endswith(".exe") and not os.path.exists(
            os.path.join(REPO, shlex.split(args.windows_program)[-1])):
        print("compare-windows: %s does not exist (run scripts/build-windows.sh)" % shlex.split(args.windows_program)[-1],
              file=sys.stderr)
        return 1
    # The scratch folder is emptied first: a second comparison at the same
    # time waits for the first.
    os.makedirs(os.path.join(REPO, os.path.dirname(os.path.normpath(args.work)) or "."), exist_ok=True)
    with open(os.path.join(REPO, os.path.normpath(args.work) + ".lock"), "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        return Comparison(args).all()


if __name__ == "__main__":
    sys.exit(main())
