#!/usr/bin/env python3
"""Checks that every word printed on the pages of a card PDF lies in a field of a fillable
form: wholly inside it across, its middle inside it down (a check box is lower than the text
cell of its "x"); a word in a field the form centres (/Q 1) within 1.5 pt of its middle.
The fields are read from the form itself.

Usage: s21_check.py CARDS.pdf FORM.pdf [--name-in FIELD] [--pages N]
  --name-in  the first word of each page must lie in this field (the publisher's name)
Prints one line per page; exits with 1 when a word lies outside every field or off the
middle of its centred field.
"""
import argparse
import re
import subprocess
import sys

from pypdf import PdfReader

SLACK = 0.5  # points: pdftotext rounds, the layout's hundredths of an inch do too
CENTRE_SLACK = 1.5  # points: a centred word's middle from its field's


def form_fields(path):
    fields = {}
    reader = PdfReader(path)
    for page in reader.pages:
        height = float(page.mediabox.top) - float(page.mediabox.bottom)
        for annot in page.get("/Annots") or []:
            a = annot.get_object()
            name = a.get("/T")
            parent = a["/Parent"].get_object() if "/Parent" in a else {}
            if name is None:
                name = parent.get("/T")
            quadding = a.get("/Q", parent.get("/Q", 0))
            if name is None or "/Rect" not in a:
                continue
            x1, y1, x2, y2 = (float(v) for v in a["/Rect"])
            # Top-left origin, as pdftotext counts.
            fields[str(name)] = (min(x1, x2), height - max(y1, y2), max(x1, x2),
                                 height - min(y1, y2), int(quadding))
    return fields


def pages_of_words(pdf):
    html = subprocess.run(["pdftotext", "-bbox", pdf, "-"], check=True, capture_output=True,
                          text=True).stdout
    pages = []
    for chunk in html.split("<page ")[1:]:
        words = []
        for m in re.finditer(r'<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" '
                             r'yMax="([\d.]+)">([^<]*)</word>', chunk):
            words.append((float(m[1]), float(m[2]), float(m[3]), float(m[4]), m[5]))
        pages.append(words)
    return pages


def field_of(word, fields):
    x1, y1, x2, y2, _ = word
    middle = (y1 + y2) / 2
    for name, (left, top, right, bottom, _) in fields.items():
        if x1 >= left - SLACK and x2 <= right + SLACK and top - SLACK <= middle <= bottom + SLACK:
            return name
    return None


def off_centre(word, field):
    left, _, right, _, quadding = field
    return quadding == 1 and abs((word[0] + word[2]) / 2 - (left + right) / 2) > CENTRE_SLACK


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("cards")
    parser.add_argument("form")
    parser.add_argument("--name-in")
    parser.add_argument("--pages", type=int, default=0)
    args = parser.parse_args()
    fields = form_fields(args.form)
    failed = False
    for number, words in enumerate(pages_of_words(args.cards), 1):
        if args.pages and number > args.pages:
            break
        placed = [(w, field_of(w, fields)) for w in words]
        outside = [w for w, name in placed if name is None]
        skewed = [(w, name) for w, name in placed if name and off_centre(w, fields[name])]
        named = ""
        if args.name_in and words:
            where = field_of(words[0], fields)
            named = " first word '%s' in %s" % (words[0][4], where)
            if where != args.name_in:
                failed = True
                named += " (not in %s)" % args.name_in
        print("page %d: %d words, %d outside every field, %d off their middles%s" %
              (number, len(words), len(outside), len(skewed), named))
        for w in outside:
            failed = True
            print("  outside: '%s' at %.2f %.2f - %.2f %.2f" % (w[4], w[0], w[1], w[2], w[3]))
        for w, name in skewed:
            failed = True
            print("  off the middle of %s: '%s' at %.2f - %.2f" % (name, w[4], w[0], w[2]))
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
