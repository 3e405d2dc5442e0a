#!/usr/bin/env python3
# Runs whole-run cases: each folder under tests/cases/ is a small mailing.
#
# A case folder holds its inputs (usually spec.ini and a data file), and:
#   args      the command line after `vaskreport` (default: run spec.ini -q);
#             leading NAME=VALUE words go to the environment; optional
#   script    instead of args, a shell script run by sh -e, with the
#             program's path in $V, for what needs a pipe, a limit or a device
#   stdin     what the command reads on standard input; optional
#   expect    the exit status, standard output and standard error, as
#             "exit N", "--- stdout", the text, "--- stderr", the text
#   expected/ every file the run leaves new or changed, byte for byte
#             (RunDigest.txt aside); a removed input is a line
#             "removed PATH" at the end of expect
#
# The case runs on a copy of its folder, in that copy. Any other file the
# run leaves behind, or changes, fails the case.
#
# usage: run_cases.py VASKREPORT CASE_DIR [CASE_DIR ...]
# With VASK_UPDATE_GOLDEN=1 in the environment, expect and expected/ are
# rewritten from what the run did instead; review the diff.
import os
import shlex
import shutil
import subprocess
import sys
import tempfile

SPECIAL = {"args", "script", "stdin", "expect", "expected"}
IGNORED = {"RunDigest.txt"}


def tree(root):
    files = {}
    for base, dirs, names in os.walk(root):
        for name in names:
            path = os.path.join(base, name)
            rel = os.path.relpath(path, root)
            if os.path.islink(path):
                files[rel] = b"-> " + os.readlink(path).encode()
            elif not os.path.isfile(path):
                files[rel] = b"(not a regular file)"
            else:
                with open(path, "rb") as f:
                    files[rel] = f.read()
    return files


def run_case(program, case):
    inputs = {rel: data for rel, data in tree(case).items()
              if rel.split(os.sep)[0] not in SPECIAL}
    args = ["run", "spec.ini", "-q"]
    if os.path.exists(os.path.join(case, "args")):
        with open(os.path.join(case, "args")) as f:
            args = shlex.split(f.read())
    env = dict(os.environ, V=program)
    while args and "=" in args[0] and not args[0].startswith("-"):
        name, value = args.pop(0).split("=", 1)
        env[name] = value
    command = [program] + args
    if os.path.exists(os.path.join(case, "script")):
        command = ["sh", "-e", os.path.join(os.path.abspath(case), "script")]
    stdin = b""
    if os.path.exists(os.path.join(case, "stdin")):
        with open(os.path.join(case, "stdin"), "rb") as f:
            stdin = f.read()

    with tempfile.TemporaryDirectory(prefix="vaskreport-case-") as work:
        for rel, data in inputs.items():
            os.makedirs(os.path.dirname(os.path.join(work, rel)), exist_ok=True)
            with open(os.path.join(work, rel), "wb") as f:
                f.write(data)
        done = subprocess.run(command, cwd=work, env=env, input=stdin,
                              capture_output=True, timeout=120)
        after = tree(work)

    def text(b):
        return b.decode("utf-8", "replace").replace(work, "$DIR")

    report = "exit %d\n--- stdout\n%s--- stderr\n%s" % (
        done.returncode, text(done.stdout), text(done.stderr))
    made = {rel: data for rel, data in after.items()
            if os.path.basename(rel) not in IGNORED and inputs.get(rel) != data}
    for rel in sorted(set(inputs) - set(after)):
        report += "removed %s\n" % rel
    return report, made


def check(program, case, update):
    report, made = run_case(program, case)
    expected_dir = os.path.join(case, "expected")
    if update:
        with open(os.path.join(case, "expect"), "w", newline="") as f:
            f.write(report)
        shutil.rmtree(expected_dir, ignore_errors=True)
        for rel, data in made.items():
            os.makedirs(os.path.dirname(os.path.join(expected_dir, rel)), exist_ok=True)
            with open(os.path.join(expected_dir, rel), "wb") as f:
                f.write(data)
        return []
    faults = []
    with open(os.path.join(case, "expect"), newline="") as f:
        wanted = f.read()
    if wanted != report:
        faults.append("expect differs:\n--- wanted\n%s--- got\n%s" % (wanted, report))
    expected = tree(expected_dir) if os.path.isdir(expected_dir) else {}
    for rel in sorted(set(expected) | set(made)):
        if rel not in made:
            faults.append("%s: not written (or left unchanged)" % rel)
        elif rel not in expected:
            faults.append("%s: written but not expected" % rel)
        elif expected[rel] != made[rel]:
            faults.append("%s: differs from expected/%s" % (rel, rel))
    return faults


def main():
    program, cases = os.path.abspath(sys.argv[1]), sys.argv[2:]
    update = os.environ.get("VASK_UPDATE_GOLDEN") == "1"
    failed = 0
    for case in cases:
        faults = check(program, case, update)
        if faults:
            failed += 1
            print("FAIL %s\n  %s" % (case, "\n  ".join(faults)))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
