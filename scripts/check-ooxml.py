#!/usr/bin/env python3
"""Checks WordprocessingML packages (.docx, .dotx) against the ISO/IEC 29500-4 transitional
schemas with xmllint, reading them as Word does.

Usage: check-ooxml.py [--schemas DIR] PATH...

PATH is a package or a folder searched recursively for packages. Every XML part with a schema
here is checked: the main document, headers, footers, styles, settings, font table, numbering,
notes and comments (wml.xsd), the extended properties (docProps/app.xml),
[Content_Types].xml and the relationship parts (OPC schemas). A part every package shares is
checked once: parts are keyed by the hash of their bytes.

Before checking, markup compatibility is applied the way Word applies it: attributes and
elements of namespaces listed in mc:Ignorable that have no schema here are dropped (elements
named in mc:ProcessContent keep their content), and of an mc:AlternateContent the first
mc:Choice whose mc:Requires namespaces are known is kept, else the mc:Fallback. Word 2010
drawing groups and shapes (wpg, wps, wpc) have no schema here: a copy of the schemas is made
whose a:graphicData takes unknown elements laxly, so their text boxes' WordprocessingML is still
checked, and no other unknown element may stand in a:graphicData.

Exit status: 0 when every part is valid; 1 when a part is invalid, malformed or has no
content type (each reported as "package: part: element path: message"); 2 when nothing could be
checked (no package found, xmllint or a schema missing).
"""

import argparse
import concurrent.futures
import hashlib
import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.parsers.expat
import zipfile
from dataclasses import dataclass, field

NS_MC = "http://schemas.openxmlformats.org/markup-compatibility/2006"
NS_XML = "http://www.w3.org/XML/1998/namespace"
# Word 2010 drawing markup without a schema here, allowed (laxly) inside a:graphicData.
LAX_GRAPHIC_NAMESPACES = {
    "http://schemas.microsoft.com/office/word/2010/wordprocessingGroup",
    "http://schemas.microsoft.com/office/word/2010/wordprocessingShape",
    "http://schemas.microsoft.com/office/word/2010/wordprocessingCanvas",
}

WML = "ISO-IEC29500-4_2016/wml.xsd"
EXTENDED_PROPERTIES = "ISO-IEC29500-4_2016/shared-documentPropertiesExtended.xsd"
CONTENT_TYPES = "ecma/fouth-edition/opc-contentTypes.xsd"
RELATIONSHIPS = "ecma/fouth-edition/opc-relationships.xsd"

_WML_TYPE = "application/vnd.openxmlformats-officedocument.wordprocessingml."
SCHEMA_BY_CONTENT_TYPE = {
    _WML_TYPE + kind + "+xml": WML
    for kind in ("document.main", "template.main", "header", "footer", "styles", "settings",
                 "fontTable", "numbering", "footnotes", "endnotes", "comments", "webSettings")
}
SCHEMA_BY_CONTENT_TYPE["application/vnd.ms-word.document.macroEnabled.main+xml"] = WML
SCHEMA_BY_CONTENT_TYPE["application/vnd.ms-word.template.macroEnabledTemplate.main+xml"] = WML
SCHEMA_BY_CONTENT_TYPE[
    "application/vnd.openxmlformats-officedocument.extended-properties+xml"] = EXTENDED_PROPERTIES
SCHEMA_BY_CONTENT_TYPE["application/vnd.openxmlformats-package.relationships+xml"] = RELATIONSHIPS

NS_CONTENT_TYPES = "http://schemas.openxmlformats.org/package/2006/content-types"

DEFAULT_SCHEMAS = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir,
                               "third_party", "ooxml-schemas")


class PartError(Exception):
    """A part that cannot be read as XML or breaks a markup compatibility rule."""


@dataclass
class Cleaned:
    """A part as Word reads it: one start tag per line, with each line's element path."""
    text: bytes
    paths: list  # paths[line - 1]; line 1 is the XML declaration
    prefixes: dict  # namespace URI -> first prefix the part declares for it


@dataclass
class Distinct:
    """One distinct part content and every place it occurs in."""
    schema: str
    data: bytes
    places: list = field(default_factory=list)  # (package, part name)


def _escape(text, in_attribute=False):
    text = text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")
    # Line feeds are written as references so that every line holds exactly one start tag.
    text = text.replace("\n", "&#10;").replace("\r", "&#13;")
    if in_attribute:
        text = text.replace('"', "&quot;").replace("\t", "&#9;")
    return text


class _Frame:
    __slots__ = ("kind", "ignorable", "process", "chosen", "qname", "counts", "path",
                 "scope_version")

    def __init__(self, kind, ignorable, process, qname="", path=""):
        self.kind = kind  # "emit", "unwrap", "alternate"
        self.ignorable = ignorable
        self.process = process
        self.chosen = False
        self.qname = qname
        self.counts = {}
        self.path = path
        self.scope_version = -1


class _Cleaner:
    """Applies markup compatibility while copying a part, streaming with expat."""

    def __init__(self, known):
        self.known = known
        self.out = ['<?xml version="1.0" encoding="UTF-8"?>']
        self.paths = [""]
        self.prefixes = {}
        self.scope = {}  # prefix -> stack of URIs
        self.version = 0
        self.skip = 0
        self.emitted = [{}]  # prefix -> URI declared in the copy, per emitted element
        self.stack = [_Frame("emit", frozenset(), frozenset())]
        self.errors = []

    def run(self, data):
        parser = xml.parsers.expat.ParserCreate(namespace_separator=" ")
        parser.namespace_prefixes = True
        parser.ordered_attributes = True
        parser.StartNamespaceDeclHandler = self._start_ns
        parser.EndNamespaceDeclHandler = self._end_ns
        parser.StartElementHandler = self._start
        parser.EndElementHandler = self._end
        parser.CharacterDataHandler = self._text
        try:
            parser.Parse(data, True)
        except xml.parsers.expat.ExpatError as e:
            raise PartError(f"not well-formed XML: {e}") from None
        if self.errors:
            raise PartError(self.errors[0])
        return Cleaned("".join(self.out).encode("utf-8"), self.paths, self.prefixes)

    def _start_ns(self, prefix, uri):
        self.scope.setdefault(prefix, []).append(uri)
        self.prefixes.setdefault(uri, prefix or "")
        self.version += 1

    def _end_ns(self, prefix):
        self.scope[prefix].pop()
        self.version += 1

    def _resolve(self, names, attribute):
        """The namespaces of an mc attribute's prefixes; for ProcessContent, whose entries are
        qualified element names (prefix:name or prefix:*), (namespace, name) pairs."""
        resolved = set()
        for entry in names.split():
            prefix, _, local = entry.partition(":")
            stack = self.scope.get(prefix)
            if not stack:
                self.errors.append(f"mc:{attribute} names the undeclared prefix '{prefix}'")
                continue
            resolved.add((stack[-1], local) if attribute == "ProcessContent" else stack[-1])
        return resolved

    @staticmethod
    def _split(name):
        parts = name.split(" ")
        if len(parts) == 1:
            return "", parts[0], None
        return parts[0], parts[1], (parts[2] if len(parts) == 3 else None)

    def _start(self, name, attrs):
        if self.skip:
            self.skip += 1
            return
        parent = self.stack[-1]
        uri, local, prefix = self._split(name)
        ignorable, process = set(parent.ignorable), set(parent.process)
        kept = []
        for k in range(0, len(attrs), 2):
            a_uri, a_local, a_prefix = self._split(attrs[k])
            if a_uri == NS_MC:
                if a_local == "Ignorable":
                    ignorable |= self._resolve(attrs[k + 1], a_local) - self.known
                elif a_local == "ProcessContent":
                    process |= self._resolve(attrs[k + 1], a_local)
                elif a_local == "MustUnderstand":
                    for must in self._resolve(attrs[k + 1], a_local) - self.known:
                        self.errors.append(f"mc:MustUnderstand names {must}, which Word without "
                                           "it refuses")
                continue
            kept.append((a_uri, a_local, a_prefix, attrs[k + 1]))

        if parent.kind == "alternate":
            take = False
            if uri == NS_MC and local == "Choice" and not parent.chosen:
                requires = dict(zip(attrs[::2], attrs[1::2])).get("Requires", "")
                take = self._resolve(requires, "Requires") <= self.known | LAX_GRAPHIC_NAMESPACES
            elif uri == NS_MC and local == "Fallback":
                take = not parent.chosen
            if take:
                parent.chosen = True
                self.stack.append(_Frame("unwrap", frozenset(ignorable), frozenset(process)))
            else:
                self.skip = 1
            return
        if uri == NS_MC and local == "AlternateContent":
            self.stack.append(_Frame("alternate", frozenset(ignorable), frozenset(process)))
            return
        if uri in parent.ignorable:
            if (uri, local) in parent.process or (uri, "*") in parent.process:
                self.stack.append(_Frame("unwrap", frozenset(ignorable), frozenset(process)))
            else:
                self.skip = 1
            return

        holder = self._emitting_parent()
        qname = f"{prefix}:{local}" if prefix else local
        count = holder.counts.get(qname, 0) + 1
        holder.counts[qname] = count
        step = qname if count == 1 else f"{qname}[{count}]"
        path = f"{holder.path}/{step}" if holder.path else step

        tag = ["\n<", qname]
        declared = self.emitted[-1]
        if holder.scope_version != self.version:
            current = {p: s[-1] for p, s in self.scope.items() if s}
            if current != declared:
                declared = dict(declared)
                for p, u in current.items():
                    if declared.get(p) != u:
                        declared[p] = u
                        tag.append(f' xmlns:{p}="{_escape(u, True)}"' if p else
                                   f' xmlns="{_escape(u, True)}"')
        for a_uri, a_local, a_prefix, value in kept:
            if a_uri and a_uri in ignorable:
                continue
            if a_uri == NS_XML:
                a_prefix = "xml"
            a_name = f"{a_prefix}:{a_local}" if a_prefix else a_local
            tag.append(f' {a_name}="{_escape(value, True)}"')
        tag.append(">")
        self.out.append("".join(tag))
        self.paths.append(path)
        frame = _Frame("emit", frozenset(ignorable), frozenset(process), qname, path)
        frame.scope_version = self.version
        self.stack.append(frame)
        self.emitted.append(declared)

    def _emitting_parent(self):
        for frame in reversed(self.stack):
            if frame.kind == "emit":
                return frame
        return self.stack[0]

    def _end(self, name):
        if self.skip:
            self.skip -= 1
            return
        frame = self.stack.pop()
        if frame.kind == "emit":
            self.emitted.pop()
            self.out.append(f"</{frame.qname}>")

    def _text(self, data):
        if not self.skip and self.stack[-1].kind != "alternate":
            self.out.append(_escape(data))


def known_namespaces(schema_dir):
    """The target namespaces of the schemas: what a reader with exactly these schemas knows."""
    known = {NS_XML, NS_MC}
    for root, _, files in os.walk(schema_dir):
        for name in files:
            if name.endswith(".xsd"):
                with open(os.path.join(root, name), encoding="utf-8") as f:
                    m = re.search(r'targetNamespace="([^"]+)"', f.read())
                if m:
                    known.add(m.group(1))
    return frozenset(known)


def lax_schema_copy(schema_dir, known, into):
    """Copies the schemas; in the copy a:graphicData takes the Word 2010 drawing elements laxly
    and every other element strictly, so that an element with no schema here stays an error."""
    copy = os.path.join(into, "schemas")
    # File by file, without the modes: the source may be a read-only folder.
    for root, _, files in os.walk(schema_dir):
        target = os.path.join(copy, os.path.relpath(root, schema_dir))
        os.makedirs(target, exist_ok=True)
        for name in files:
            if name.endswith(".xsd"):
                shutil.copyfile(os.path.join(root, name), os.path.join(target, name))
    path = os.path.join(copy, "ISO-IEC29500-4_2016", "dml-main.xsd")
    with open(path, encoding="utf-8") as f:
        text = f.read()
    choice = (f'<xsd:choice minOccurs="0" maxOccurs="unbounded">'
              f'<xsd:any namespace="{" ".join(sorted(LAX_GRAPHIC_NAMESPACES))}" '
              f'processContents="lax"/>'
              f'<xsd:any namespace="{" ".join(sorted(known))}" processContents="strict"/>'
              f'</xsd:choice>')
    patched, n = re.subn(
        r'(<xsd:complexType name="CT_GraphicalObjectData">\s*<xsd:sequence>\s*)'
        r'<xsd:any minOccurs="0" maxOccurs="unbounded" processContents="strict"/>',
        lambda m: m.group(1) + choice, text)
    if n != 1:
        raise SystemExit(f"check-ooxml: {path}: a:graphicData's wildcard not found")
    with open(path, "w", encoding="utf-8") as f:
        f.write(patched)
    return copy


def find_packages(paths):
    packages = []
    for path in paths:
        if os.path.isdir(path):
            for root, dirs, files in os.walk(path):
                dirs.sort()
                packages += [os.path.join(root, f) for f in sorted(files)
                             if f.lower().endswith((".docx", ".dotx")) and not f.startswith("~$")]
        elif os.path.isfile(path):
            packages.append(path)
        else:
            raise SystemExit(f"check-ooxml: {path}: no such file or folder")
    return packages


def content_types(data):
    """Overrides by part name and defaults by extension, both lower-cased."""
    overrides, defaults = {}, {}
    parser = xml.parsers.expat.ParserCreate(namespace_separator=" ")

    def start(name, attrs):
        if name == NS_CONTENT_TYPES + " Override":
            overrides[attrs.get("PartName", "").lower()] = attrs.get("ContentType", "")
        elif name == NS_CONTENT_TYPES + " Default":
            defaults[attrs.get("Extension", "").lower()] = attrs.get("ContentType", "")

    parser.StartElementHandler = start
    parser.Parse(data, True)
    return overrides, defaults


def read_package(package, distinct, failures):
    """Adds the package's checkable parts to `distinct`; package-level faults to `failures`."""
    try:
        with zipfile.ZipFile(package) as z:
            parts = {i.filename: z.read(i) for i in z.infolist() if not i.is_dir()}
    except (zipfile.BadZipFile, OSError) as e:
        failures.append(f"{package}: not a readable package: {e}")
        return
    types = parts.get("[Content_Types].xml")
    if types is None:
        failures.append(f"{package}: [Content_Types].xml: missing")
        return
    try:
        overrides, defaults = content_types(types)
    except xml.parsers.expat.ExpatError as e:
        failures.append(f"{package}: [Content_Types].xml: not well-formed XML: {e}")
        return
    for name, data in parts.items():
        if name == "[Content_Types].xml":
            schema = CONTENT_TYPES
        else:
            ctype = overrides.get("/" + name.lower())
            if ctype is None:
                ctype = defaults.get(name.rsplit(".", 1)[-1].lower() if "." in name else "")
            if ctype is None:
                failures.append(f"{package}: {name}: the part has no content type")
                continue
            schema = SCHEMA_BY_CONTENT_TYPE.get(ctype)
            if schema is None:
                continue
        key = hashlib.sha256(data).hexdigest()
        entry = distinct.setdefault(key, Distinct(schema, data))
        entry.places.append((package, name))


def _readable(message, prefixes):
    """Writes xmllint's {namespace}name as the part writes it (prefix:name, or name alone)."""

    def name(m):
        prefix = prefixes.get(m.group(1), False)
        return m.group(0) if prefix is False else f"{prefix}:" if prefix else ""

    return re.sub(r"\{([^}]*)\}", name, message)


def run_xmllint(xmllint, schema, files):
    """Answers {file: [(line, message)]} for the files xmllint reports invalid."""
    result = subprocess.run([xmllint, "--noout", "--nonet", "--schema", schema, *files],
                            capture_output=True, text=True)
    if result.returncode not in (0, 1, 3):  # 1: a part is not well-formed
        raise SystemExit(f"check-ooxml: xmllint failed on {schema} "
                         f"(status {result.returncode}):\n{result.stderr}")
    invalid, seen = {}, set()
    pattern = re.compile(r"^(.*?):(\d+): (?:element \S+: )?(.*?error) : (.*)$")
    for line in result.stderr.splitlines():
        m = pattern.match(line)
        if m:
            invalid.setdefault(m.group(1), []).append((int(m.group(2)), m.group(4)))
        elif line.endswith(" validates"):
            seen.add(line[: -len(" validates")])
        elif line.endswith(" fails to validate"):
            seen.add(line[: -len(" fails to validate")])
            invalid.setdefault(line[: -len(" fails to validate")], [])
    missing = [f for f in files if f not in seen and f not in invalid]
    if missing:
        raise SystemExit(f"check-ooxml: xmllint gave no verdict on {missing[0]}:\n"
                         f"{result.stderr}")
    return invalid


def _validate(xmllint, schemas, batches):
    """Runs xmllint over {schema: [files]} and answers {file: [(line, message)]}."""
    jobs = []
    for schema, files in batches.items():
        # The WordprocessingML schema takes a while to load: split its parts over the cores.
        n = max(1, min(os.cpu_count() or 1, len(files) // 50))
        jobs += [(os.path.join(schemas, schema), files[k::n]) for k in range(n)]
    invalid = {}
    with concurrent.futures.ThreadPoolExecutor(max_workers=max(1, len(jobs))) as pool:
        for result in pool.map(lambda job: run_xmllint(xmllint, *job), jobs):
            invalid.update(result)
    return invalid


def check(paths, schema_dir):
    xmllint = shutil.which("xmllint")
    if xmllint is None:
        raise SystemExit("check-ooxml: xmllint not found (Debian package libxml2-utils)")
    for schema in (WML, EXTENDED_PROPERTIES, CONTENT_TYPES, RELATIONSHIPS):
        if not os.path.isfile(os.path.join(schema_dir, schema)):
            raise SystemExit(f"check-ooxml: schema {schema} not found in {schema_dir}")
    packages = find_packages(paths)
    if not packages:
        raise SystemExit(f"check-ooxml: no .docx or .dotx package in {' '.join(paths)}")

    distinct, failures = {}, []
    for package in packages:
        read_package(package, distinct, failures)
    known = known_namespaces(schema_dir)

    def where(entry):
        package, part = entry.places[0]
        others = len({p for p, _ in entry.places}) - 1
        return f"{package}{f' (and {others} more)' if others else ''}: {part}"

    def write(key, data, batches):
        path = os.path.join(tmp, key + ".xml")
        with open(path, "wb") as f:
            f.write(data)
        batches.setdefault(distinct[key].schema, []).append(path)

    with tempfile.TemporaryDirectory(prefix="check-ooxml-") as tmp:
        schemas = lax_schema_copy(schema_dir, known, tmp)
        # A part without markup compatibility is checked as it is; only the parts that fail are
        # laid out one element a line and checked again, to name the elements at fault.
        cleaned, batches = {}, {}
        for key, entry in distinct.items():
            if b"/markup-compatibility/2006" not in entry.data:
                write(key, entry.data, batches)
                continue
            try:
                cleaned[key] = _Cleaner(known).run(entry.data)
            except PartError as e:
                failures.append(f"{where(entry)}: {e}")
                continue
            write(key, cleaned[key].text, batches)
        invalid = _validate(xmllint, schemas, batches)
        batches, as_written = {}, {}
        for path in list(invalid):
            key = os.path.basename(path)[:-4]
            if key not in cleaned:
                as_written[path] = invalid.pop(path)
                try:
                    cleaned[key] = _Cleaner(known).run(distinct[key].data)
                except PartError as e:
                    failures.append(f"{where(distinct[key])}: {e}")
                    continue
                write(key, cleaned[key].text, batches)
        again = _validate(xmllint, schemas, batches) if batches else {}
        for path, errors in as_written.items():
            # Laid out one element a line, the part fails the same way; else quote the first run.
            if os.path.basename(path)[:-4] in cleaned:
                invalid[path] = again.get(path) or [(0, m) for _, m in errors]
        for path, errors in sorted(invalid.items()):
            key = os.path.basename(path)[:-4]
            part = cleaned[key]
            for line, message in errors or [(0, "fails to validate")]:
                element = part.paths[line - 1] if 0 < line <= len(part.paths) else "?"
                failures.append(f"{where(distinct[key])}: {element}: "
                                f"{_readable(message, part.prefixes)}")

    for failure in failures:
        print(failure)
    total = sum(len(e.places) for e in distinct.values())
    verdict = f"{len(failures)} faults" if failures else "all valid"
    print(f"check-ooxml: {len(packages)} packages, {total} parts ({len(distinct)} distinct) "
          f"checked against ISO/IEC 29500-4:2016 transitional: {verdict}")
    return 1 if failures else 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("paths", nargs="+", metavar="PATH", help="package or folder")
    parser.add_argument("--schemas", default=DEFAULT_SCHEMAS,
                        help="folder of the schemas (default: third_party/ooxml-schemas)")
    args = parser.parse_args()
    try:
        return check(args.paths, os.path.abspath(args.schemas))
    except SystemExit as e:
        if isinstance(e.code, str):
            print(e.code, file=sys.stderr)
            return 2
        raise


if __name__ == "__main__":
    sys.exit(main())
