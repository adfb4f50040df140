#!/usr/bin/env python3
"""A stand-in for the branch's fillable S-21 11/23 form: an A4 page with the form's field
names and rectangles (PDF points from the page's bottom-left corner), each box outlined.

Usage: s21_standin.py OUT.pdf [--hours-x X] [--without FIELD] [--password PW]
  --hours-x   where the hours fields and their total start (the Spanish edition: 314.8);
              they then end where they end in the other editions
  --without   leaves that field out (repeatable)
  --password  encrypts the file so that it opens only with that password
"""
import argparse
import io

from reportlab.lib.colors import black, white
from reportlab.pdfgen import canvas

A4 = (595.28, 841.89)
STEP = 19.8175
HOURS_RIGHT = 297.76 + 87.44


def fields(hours_x):
    hours_w = HOURS_RIGHT - hours_x
    out = [
        ("text", "900_1_Text_SanSerif", 51.98, 762.22, 526.31, 15.64),
        ("text", "900_2_Text_SanSerif", 95.80, 745.49, 274.66, 15.64),
        ("text", "900_5_Text_SanSerif", 76.28, 729.96, 294.17, 15.64),
        ("text", "900_13_Text_C_SanSerif", 19.32, 650.29, 63.73, 17.03),
    ]
    for n, x, y in [(3, 384.10, 746.69), (4, 485.58, 746.69), (6, 384.10, 730.36),
                    (7, 485.58, 730.36), (8, 16.83, 714.22), (9, 84.65, 714.22),
                    (10, 218.79, 714.22), (11, 336.20, 714.22), (12, 444.75, 714.22)]:
        out.append(("box", "900_%d_CheckBox" % n, x, y, 10.36, 10.36))
    for r in range(12):
        n, down = 20 + r, STEP * r
        out += [
            ("box", "901_%d_CheckBox" % n, 113.23, 625.59 - down, 12.75, 12.75),
            ("text", "902_%d_Text_C_SanSerif" % n, 156.45, 623.50 - down, 67.62, 17.03),
            ("box", "903_%d_CheckBox" % n, 254.44, 625.59 - down, 12.75, 12.75),
            ("text", "904_%d_S21_Value" % n, hours_x, 623.50 - down, hours_w, 17.03),
            ("text", "905_%d_Text_SanSerif" % n, 387.88, 623.50 - down, 187.82, 17.03),
        ]
    out.append(("text", "904_32_S21_Value", hours_x, 385.10, hours_w, 17.03))
    return out


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("out")
    parser.add_argument("--hours-x", type=float, default=297.76)
    parser.add_argument("--without", action="append", default=[])
    parser.add_argument("--password")
    args = parser.parse_args()

    data = io.BytesIO()
    c = canvas.Canvas(data, pagesize=A4)
    c.setFont("Helvetica-Bold", 11)
    c.drawCentredString(A4[0] / 2, 800, "S-21 stand-in")
    form = c.acroForm
    for kind, name, x, y, w, h in fields(args.hours_x):
        if name in args.without:
            continue
        if kind == "text":
            form.textfield(name=name, x=x, y=y, width=w, height=h, borderWidth=0.5,
                           borderColor=black, fillColor=white, fontName="Helvetica",
                           fontSize=10, forceBorder=True)
        else:
            form.checkbox(name=name, x=x, y=y, size=w, borderWidth=0.5, borderColor=black,
                          fillColor=white, buttonStyle="cross", forceBorder=True,
                          fieldFlags="")
    c.showPage()
    c.save()

    if args.password is None:
        with open(args.out, "wb") as f:
            f.write(data.getvalue())
        return
    from pypdf import PdfReader, PdfWriter
    writer = PdfWriter()
    writer.clone_document_from_reader(PdfReader(io.BytesIO(data.getvalue())))
    writer.encrypt(user_password=args.password, owner_password=args.password)
    with open(args.out, "wb") as f:
        writer.write(f)


if __name__ == "__main__":
    main()
