#!/usr/bin/env python3
"""Tests of scripts/check-ooxml.py: small packages, each with one kind of fault or of markup a
reader must accept, checked in one run so that the schemas load once."""

import os
import subprocess
import sys
import tempfile
import unittest
import zipfile

SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, os.pardir,
                      "scripts", "check-ooxml.py")

W = "http://schemas.openxmlformats.org/wordprocessingml/2006/main"
NS = (f'xmlns:w="{W}" '
      'xmlns:mc="http://schemas.openxmlformats.org/markup-compatibility/2006" '
      'xmlns:w14="http://schemas.microsoft.com/office/word/2010/wordml" '
      'xmlns:wp="http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing" '
      'xmlns:a="http://schemas.openxmlformats.org/drawingml/2006/main" '
      'xmlns:wps="http://schemas.microsoft.com/office/word/2010/wordprocessingShape" '
      'xmlns:x="urn:example:unknown"')
MAIN = "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"
HEADER = "application/vnd.openxmlformats-officedocument.wordprocessingml.header+xml"
TABLE = ('<w:tbl><w:tblPr><w:tblW w:w="0" w:type="auto"/><w:tblLayout {}="fixed"/></w:tblPr>'
         '<w:tblGrid><w:gridCol w:w="2000"/></w:tblGrid><w:tr><w:tc><w:p/></w:tc></w:tr></w:tbl>')


def drawing(content):
    return ('<w:p><w:r><w:drawing><wp:inline><wp:extent cx="1" cy="1"/><wp:docPr id="1" '
            'name="Gruppieren 1"/><a:graphic><a:graphicData uri="urn:g">' + content +
            '</a:graphicData></a:graphic></wp:inline></w:drawing></w:r></w:p>')


def text_box(paragraph):
    return drawing('<wps:wsp><wps:cNvSpPr txBox="1"/><wps:spPr/><wps:txbx><w:txbxContent>' +
                   paragraph + '</w:txbxContent></wps:txbx><wps:bodyPr/></wps:wsp>')


def package(body, root_attrs="", header=None, types=None, rels=None):
    """The parts of a document package whose body is `body`."""
    overrides = f'<Override PartName="/word/document.xml" ContentType="{MAIN}"/>'
    if header is not None:
        overrides += f'<Override PartName="/word/header1.xml" ContentType="{HEADER}"/>'
    parts = {
        "[Content_Types].xml": types or (
            '<?xml version="1.0" encoding="UTF-8"?><Types xmlns="http://schemas.openxmlformats'
            '.org/package/2006/content-types"><Default Extension="rels" ContentType="application'
            '/vnd.openxmlformats-package.relationships+xml"/>' + overrides + '</Types>'),
        "_rels/.rels": rels or (
            '<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.'
            'openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http:'
            '//schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" '
            'Target="word/document.xml"/></Relationships>'),
        "word/document.xml": (f'<?xml version="1.0" encoding="UTF-8"?><w:document {NS} '
                              f'{root_attrs}><w:body>{body}</w:body></w:document>'),
    }
    if header is not None:
        parts["word/header1.xml"] = f'<w:hdr {NS}>{header}</w:hdr>'
    return parts


# Packages a reader takes: Word's own extensions, declared ignorable, and Word 2010 drawings.
VALID = {
    "fixed_layout": package(TABLE.format("w:type")),
    "ignorable_w14": package('<w:p w14:paraId="0A1B2C3D"><w:r><w:t>x</w:t></w:r></w:p>',
                             'mc:Ignorable="w14"'),
    "ignorable_element": package('<x:note><w:bogus/></x:note><w:p/>', 'mc:Ignorable="x"'),
    "fallback_taken": package(
        '<w:p><mc:AlternateContent><mc:Choice Requires="x"><x:shape/></mc:Choice><mc:Fallback>'
        '<w:r><w:t>x</w:t></w:r></mc:Fallback></mc:AlternateContent></w:p>'),
    "shape_text_box": package(text_box('<w:p><w:r><w:t>100 m</w:t></w:r></w:p>')),
}

# Faulty packages and the words the report on each must contain: the element, the part and what
# is wrong.
INVALID = {
    "layout_val": (package(TABLE.format("w:val")),
                   "word/document.xml: w:document/w:body/w:tbl/w:tblPr/w:tblLayout: Element "
                   "'w:tblLayout', attribute 'w:val': The attribute 'w:val' is not allowed"),
    "w14_not_ignorable": (package('<w:p w14:paraId="0A1B2C3D"/>'),
                          "w:body/w:p: Element 'w:p', attribute 'w14:paraId'"),
    "fallback_invalid": (package(
        '<w:p><mc:AlternateContent><mc:Choice Requires="x"><x:shape/></mc:Choice><mc:Fallback>'
        '<w:r><w:bogus/></w:r></mc:Fallback></mc:AlternateContent></w:p>'),
                         "w:body/w:p/w:r/w:bogus: Element 'w:bogus'"),
    "process_content": (package('<w:p><x:wrap><w:r><w:bogus/></w:r></x:wrap></w:p>',
                                'mc:Ignorable="x" mc:ProcessContent="x:wrap"'),
                        "w:document/w:body/w:p/w:r/w:bogus: Element 'w:bogus'"),
    "must_understand": (package('<w:p/>', 'mc:MustUnderstand="x"'),
                        "word/document.xml: mc:MustUnderstand names urn:example:unknown"),
    "foreign_graphic": (package(drawing('<x:shape/>')),
                        "a:graphicData/x:shape: Element 'x:shape': This element is not expected"),
    "text_box_invalid": (package(text_box('<w:p><w:pPr><w:jc w:val="mitte"/></w:pPr></w:p>')),
                         "w:txbxContent/w:p/w:pPr/w:jc: Element 'w:jc', attribute 'w:val'"),
    "second_table": (package('<w:p/>' + TABLE.format("w:type") + '<w:p/>' +
                             TABLE.format("w:val") + '<w:p/>'),
                     "w:body/w:tbl[2]/w:tblPr/w:tblLayout"),
    "header_invalid": (package('<w:p/>', header='<w:p><w:r><w:t>a</w:t><w:b/></w:r></w:p>'),
                       "word/header1.xml: w:hdr/w:p/w:r/w:b: Element 'w:b'"),
    "no_content_type": ({**package('<w:p/>'), "word/extra.xml": "<x/>"},
                        "word/extra.xml: the part has no content type"),
    "malformed": ({**package('<w:p/>'), "word/document.xml": "<w:document>"},
                  "word/document.xml: not well-formed XML"),
    "types_invalid": (package('<w:p/>', types=(
        '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
        '<Default ContentType="application/xml"/><Override PartName="/word/document.xml" '
        f'ContentType="{MAIN}"/></Types>')),
                      "[Content_Types].xml: Types/Default: Element 'Default': The attribute "
                      "'Extension' is required"),
    "rels_invalid": (package('<w:p/>', rels=(
        '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
        '<Relationship Type="t" Target="word/document.xml"/></Relationships>')),
                     "_rels/.rels: Relationships/Relationship: Element 'Relationship': The "
                     "attribute 'Id' is required"),
}


def check(*paths):
    result = subprocess.run([sys.executable, SCRIPT, *paths], capture_output=True, text=True)
    return result.returncode, result.stdout + result.stderr


class CheckOoxmlTest(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.addCleanup(self.tmp.cleanup)

    def folder(self, name, packages):
        path = os.path.join(self.tmp.name, name)
        os.makedirs(path)
        for base, parts in packages.items():
            with zipfile.ZipFile(os.path.join(path, base + ".docx"), "w") as z:
                for name, text in parts.items():
                    z.writestr(name, text)
        return path

    def test_each_fault_is_reported_with_package_part_and_element(self):
        packages = {**VALID, **{name: parts for name, (parts, _) in INVALID.items()}}
        # A faulty header shared by two documents is checked once and reported once.
        packages["header_invalid_copy"] = INVALID["header_invalid"][0]
        status, out = check(self.folder("mixed", packages))
        self.assertEqual(status, 1, out)
        self.assertIn(f"{len(packages)} packages", out)
        lines = out.splitlines()
        for name, (_, expected) in INVALID.items():
            with self.subTest(name):
                reported = [line for line in lines if f"/{name}.docx" in line]
                self.assertTrue(any(expected in line for line in reported), out)
        for name in VALID:  # the built templates' check sees the exit status of all valid
            self.assertNotIn(f"/{name}.docx", out)
        header = [line for line in lines if "header1.xml" in line]
        self.assertEqual(len(header), 1, out)
        self.assertIn("(and 1 more)", header[0])

    def test_nothing_to_check_is_an_error(self):
        status, out = check(self.folder("empty", {}))
        self.assertEqual(status, 2, out)
        self.assertIn("no .docx or .dotx package", out)


if __name__ == "__main__":
    unittest.main()
