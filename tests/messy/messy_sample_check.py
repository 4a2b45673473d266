#!/usr/bin/python3
"""Runs `sheets` and `report` over the messy sample under C.UTF-8 and de_DE.UTF-8 and reads
every document back with python-docx and a dBASE reader of its own, independent of the
program's: each head must show its own sheet row, body bookmarks the table values, no US date,
no decimal point, no mis-decoded umlaut, texts as stored, no empty structure row; malformed
codes are named in the message file and everything else is generated.

Usage: messy_sample_check.py QUELBRIX WORKDIR"""
import os, re, struct, subprocess, sys, shutil, glob
import docx
from docx.oxml.ns import qn

QUELBRIX, WORK = sys.argv[1], sys.argv[2]
failures = []


def fail(msg):
    failures.append(msg)


# --- a small dBASE reader (character and numeric fields: all the checks compare) --------------
def code_page(raw):
    if raw[29] in (0x02, 0x03):
        return "cp850" if raw[29] == 0x02 else "cp1252"
    return "cp850" if any(b in raw for b in (b"\x84", b"\x94", b"\x81", b"\xe1")) else "cp1252"


def read_dbf(path):
    raw = open(path, "rb").read()
    count, header_len, record_len = struct.unpack("<IHH", raw[4:12])
    enc = code_page(raw)
    fields = [(raw[p:p + 11].split(b"\0")[0].decode("ascii"), raw[p + 11], raw[p + 16])
              for p in range(32, header_len - 1, 32)]
    rows = []
    for r in range(count):
        rec = raw[header_len + r * record_len: header_len + (r + 1) * record_len]
        if rec[0:1] == b"*":
            continue
        off, row = 1, {}
        for name, typ, length in fields:
            text = rec[off:off + length].decode(enc).rstrip()
            off += length
            row[name] = (text.strip().replace(".", ",") if typ == ord("N") else text) or None
        rows.append(row)
    return rows


# --- documents ------------------------------------------------------------------------------
def bookmarks(document):
    """Bookmark name -> text between its start and end, in the main story."""
    body = document.element.body
    open_ids, names, texts = {}, {}, {}
    for el in body.iter():
        if el.tag == qn("w:bookmarkStart"):
            i = el.get(qn("w:id"))
            names[i] = el.get(qn("w:name"))
            open_ids[i] = []
        elif el.tag == qn("w:bookmarkEnd"):
            i = el.get(qn("w:id"))
            if i in open_ids:
                texts[names[i]] = "".join(open_ids.pop(i))
        elif el.tag in (qn("w:t"), qn("w:br"), qn("w:cr")):
            for buf in open_ids.values():
                buf.append((el.text or "") if el.tag == qn("w:t") else "\n")
    return texts


def all_text(document):
    return "\n".join(t.text or "" for t in document.element.iter(qn("w:t")))


US_DATE = re.compile(r"\b\d{2}/\d{2}/\d{4}\b")
POINT = re.compile(r"(?<![\d.])\d+\.\d+(?![\d.])")
BAD = ("\u201e", "\u201d", "\ufffd")


def check_run(locale_name, locpath):
    out = os.path.join(WORK, "out-" + locale_name)
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    env = dict(os.environ, LC_ALL=locale_name, LANG=locale_name)
    if locpath:
        env["LOCPATH"] = locpath
    common = [QUELBRIX, "--db", DB, "--shape", os.path.join(DB, "shape", "ffh_flaechen.shp"),
              "--out", out]
    for args in (["sheets", "--all", "--yes"], ["report", "--all"]):
        run = subprocess.run(common + args, env=env, capture_output=True, text=True)
        if "erstellt" not in run.stdout:
            fail("%s %s: %s %s" % (locale_name, args[0], run.stdout, run.stderr))
        messages = open(os.path.join(out, "MessageReport.txt"), encoding="utf-8",
                        errors="replace").read()
        for bad in ("' 59001000011'", "'-59001000011'", "'059.001.0001'", "'05900100001ä'",
                    "ohne Bogennummer"):
            if bad not in messages:
                fail("%s %s: message file does not name %s" % (locale_name, args[0], bad))

    made = 0
    for key, row in SHEETS.items():
        typ = row["GBBOGEN"]
        clean = os.path.join(out, typ, key + ".docx")
        report = os.path.join(out, "Report", key + "-Report.docx")
        for path in (clean, report):
            if not os.path.exists(path):
                fail("%s: %s missing" % (locale_name, path))
                continue
            made += 1
            d = docx.Document(path)
            text = all_text(d)
            marks = bookmarks(d)
            where = "%s %s" % (locale_name, os.path.basename(path))
            for bad in BAD:
                if bad in text:
                    fail("%s: mis-decoded character %r" % (where, bad))
            if US_DATE.search(text):
                fail("%s: US date %s" % (where, US_DATE.search(text).group()))
            if POINT.search(text):
                fail("%s: decimal point in %s" % (where, POINT.search(text).group()))
            lage = row.get("GBLAGE") or ""
            if marks.get("GBLAGE", "").strip() != lage:
                fail("%s: GBLAGE %r, own row has %r" % (where, marks.get("GBLAGE"), lage))
            if path == clean:
                biotope = "".join(marks.get("GBHNr%d" % i, "") for i in range(1, 6))
            else:
                biotope = marks.get("GBBIOTOP", "").strip()
                for t in d.tables[2:]:
                    for r in t.rows[1:]:
                        cells = [c.text.strip() for c in r.cells]
                        if len(cells) >= 3 and not cells[1] and cells[2] != "ja":
                            fail("%s: empty structure row %r" % (where, cells[0]))
            if biotope != (row.get("GBBIOTOP") or ""):
                fail("%s: biotope %r, own row %r" % (where, biotope, row.get("GBBIOTOP")))
            unchecked = (None,) if path == clean else (None, "X")
            for name, value in TYPE_ROWS.get(key, {}).items():
                if value not in unchecked and name in marks and marks[name].strip() != value:
                    fail("%s: %s = %r, table has %r" % (where, name, marks[name], value))
            if path == report and key == UNTYPED and "ja" in [
                    c.text.strip() for t in d.tables[2:] for r in t.rows for c in r.cells]:
                fail("%s: a sheet without its type row shows 'ja'" % where)
    return made


DB = os.path.join(WORK, "db")
shutil.rmtree(WORK, ignore_errors=True)
os.makedirs(WORK)
made = subprocess.run([QUELBRIX, "sample-data", DB, "--messy"], capture_output=True, text=True,
                      check=True).stdout
UNTYPED = re.search(r"Bogen ohne Typdaten: (\S+)", made).group(1)

sheet_rows = read_dbf(os.path.join(DB, "GBogen.dbf"))
SHEETS = {}
for row in sheet_rows:
    code = row["GBCODE"] or ""
    if re.fullmatch(r"[0-9]{12}", code):
        SHEETS[code + row["GBBOGEN"]] = row
TABLES = {"F": "bgf", "GN": "bgg", "GT": "bgg", "H": "bgh", "K": "bgk", "M": "bgm", "S": "bgs",
          "T": "bgt", "W": "bgw", "X": "bgx"}
TYPE_ROWS = {}
for key, row in SHEETS.items():
    values = {}
    for table in (TABLES[row["GBBOGEN"]], TABLES[row["GBBOGEN"]] + "2"):
        for r in read_dbf(os.path.join(DB, table + ".dbf")):
            if r["GBCODE"] == key[:12]:
                values.update({k: v for k, v in r.items() if k != "GBCODE"})
    TYPE_ROWS[key] = values

if not any(r.get("GBLAGE", "") and r["GBLAGE"].startswith("X") for r in SHEETS.values()):
    fail("the messy sample has no text beginning with X")

# de_DE.UTF-8 may not be installed; build it into a private folder then.
locpath = None
if subprocess.run(["locale", "-a"], capture_output=True, text=True).stdout.lower().find(
        "de_de.utf8") < 0:
    locpath = os.path.join(WORK, "locales")
    os.makedirs(locpath, exist_ok=True)
    subprocess.run(["localedef", "-i", "de_DE", "-f", "UTF-8", os.path.join(locpath, "de_DE.UTF-8")],
                   check=True, capture_output=True)

total = 0
for name in ("C.UTF-8", "de_DE.UTF-8"):
    total += check_run(name, locpath if name.startswith("de") else None)

for f in failures[:40]:
    print("FEHLER:", f)
print("%d Dokumente geprüft, %d Fehler" % (total, len(failures)))
sys.exit(1 if failures or total == 0 else 0)
