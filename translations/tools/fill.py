#!/usr/bin/env python3
# Fills the translations in translations/fernpack_*.ts from the table in
# translations/tools/table.py, after lupdate has brought in the sources.
# Entries already translated by hand are kept; every entry the table has is
# marked finished. Run: python3 translations/tools/fill.py
import os
import sys
import xml.etree.ElementTree as ET

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, here)
from table import TABLE  # noqa: E402

LANGS = {"de": 0, "fr": 1, "es": 2}
missing = []
for lang, column in LANGS.items():
    path = os.path.join(here, "..", f"fernpack_{lang}.ts")
    tree = ET.parse(path)
    for context in tree.getroot().findall("context"):
        name = context.find("name").text
        for message in context.findall("message"):
            source = message.find("source").text
            row = TABLE.get((name, source)) or TABLE.get((None, source))
            translation = message.find("translation")
            if row is None:
                missing.append((lang, name, source))
                continue
            words = row[column]
            for child in list(translation):
                translation.remove(child)
            translation.text = None
            if message.get("numerus") == "yes":
                for form in words:
                    ET.SubElement(translation, "numerusform").text = form
            else:
                translation.text = words
            translation.attrib.pop("type", None)
    ET.indent(tree, space="    ")
    with open(path, "wb") as out:
        out.write(b'<?xml version="1.0" encoding="utf-8"?>\n<!DOCTYPE TS>\n')
        tree.write(out, encoding="utf-8", xml_declaration=False)
        out.write(b"\n")
for entry in missing:
    print("no translation:", *entry)
sys.exit(1 if missing else 0)
