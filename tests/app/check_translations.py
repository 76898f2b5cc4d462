#!/usr/bin/env python3
"""Checks the .ts files given against the sources, without touching them.

Copies of the files are refreshed with lupdate (the sources and options the
build uses); then, in every file, it fails for
  - an entry not translated (new in the code, or marked unfinished),
  - an entry whose text is no longer in the code (vanished or obsolete),
  - a translation that drops or adds a placeholder (%1..%9, %n),
  - a plural entry without the forms its language needs, or one form
    missing %n where the source has it,
  - an accelerator (&X) where the source has none, or none where it has one.
Accelerators shared within one window are checked by the window tests,
which know what belongs together.
"""
import argparse
import collections
import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

PLACEHOLDER = re.compile(r"%(?:[1-9]|n)")
# Qt's plural forms for the languages translated (one, other).
FORMS = {"de": 2, "fr": 2, "es": 2}


def accelerators(text):
    return len(re.findall(r"&(?!&)\S", text.replace("&&", "")))


def check(path):
    problems = []
    root = ET.parse(path).getroot()
    language = root.get("language", "").split("_")[0]
    for context in root.findall("context"):
        name = context.findtext("name")
        for message in context.findall("message"):
            source = message.findtext("source") or ""
            where = f"{os.path.basename(path)}: {name}: {source!r}"
            translation = message.find("translation")
            kind = translation.get("type") if translation is not None else "unfinished"
            if kind in ("vanished", "obsolete"):
                problems.append(f"{where}: no longer in the code")
                continue
            if kind == "unfinished":
                problems.append(f"{where}: not translated")
                continue
            if message.get("numerus") == "yes":
                forms = [f.text or "" for f in translation.findall("numerusform")]
                if language in FORMS and len(forms) != FORMS[language]:
                    problems.append(f"{where}: {len(forms)} plural forms, {language} needs {FORMS[language]}")
            else:
                forms = [translation.text or ""]
            wanted = collections.Counter(PLACEHOLDER.findall(source))
            for form in forms:
                if not form.strip():
                    problems.append(f"{where}: empty translation")
                elif collections.Counter(PLACEHOLDER.findall(form)) != wanted:
                    problems.append(f"{where}: placeholders of {form!r} differ")
                elif (accelerators(form) > 0) != (accelerators(source) > 0) or accelerators(form) > 1:
                    problems.append(f"{where}: accelerators of {form!r} differ")
    return problems


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--lupdate", required=True)
    parser.add_argument("--sources", required=True, help="file listing the sources, one a line")
    parser.add_argument("--options", default="", help="lupdate options, separated by ';'")
    parser.add_argument("ts", nargs="+")
    args = parser.parse_args()
    problems = []
    with tempfile.TemporaryDirectory() as work:
        copies = []
        for ts in args.ts:
            copy = os.path.join(work, os.path.basename(ts))
            shutil.copyfile(ts, copy)
            copies.append(copy)
        options = [o for o in args.options.split(";") if o]
        run = subprocess.run([args.lupdate, "-silent", *options, "@" + args.sources, "-ts", *copies],
                             capture_output=True, text=True)
        if run.returncode != 0:
            print(run.stdout + run.stderr)
            return 1
        for copy in copies:
            problems += check(copy)
    for problem in problems:
        print(problem)
    print(f"{len(args.ts)} translation files checked, {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
