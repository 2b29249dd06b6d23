"""Packs the C# binding and the native library into Korvan.<version>.nupkg, a zip laid out as
NuGet reads it:

    [Content_Types].xml, _rels/.rels, Korvan.nuspec, LICENSE.txt
    lib/net462/Korvan.dll, lib/net462/Korvan.xml
    runtimes/linux-x64/native/libKorvanCalcValueProvider.so
    runtimes/win-x64/native/KorvanCalcValueProvider.dll and the DLLs it imports that lie beside it

The version is the C header's. The native libraries are shipped without their debug information
(Debian's MinGW libstdc++-6.dll alone carries some 19 MB of it). Entries carry a fixed date, so the
same inputs give the same bytes.
"""

import argparse
import os
import re
import subprocess
import sys
import tempfile
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pe  # noqa: E402

FRAMEWORK = "net462"
LINUX_LIBRARY = "runtimes/linux-x64/native/libKorvanCalcValueProvider.so"
WINDOWS_NATIVE = "runtimes/win-x64/native/"
NUSPEC = "Korvan.nuspec"
ELF_STRIP = "strip"
PE_STRIP = "x86_64-w64-mingw32-strip"

CONTENT_TYPES = """<?xml version="1.0" encoding="utf-8"?>
<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">
  <Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml" />
  <Default Extension="nuspec" ContentType="application/octet" />
  <Default Extension="txt" ContentType="application/octet" />
  <Default Extension="dll" ContentType="application/octet" />
  <Default Extension="xml" ContentType="application/octet" />
  <Default Extension="so" ContentType="application/octet" />
</Types>
"""

RELATIONSHIPS = """<?xml version="1.0" encoding="utf-8"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
  <Relationship Type="http://schemas.microsoft.com/packaging/2010/07/manifest" Target="/{nuspec}" Id="Rmanifest" />
</Relationships>
""".format(nuspec=NUSPEC)


def header_version(header):
    """MAJOR.MINOR.PATCH from the KORVAN_VERSION_* lines of the C header."""
    with open(header, encoding="utf-8") as text:
        parts = dict(re.findall(r"^#define KORVAN_VERSION_(MAJOR|MINOR|PATCH) (\d+)$",
                                text.read(), re.MULTILINE))
    if len(parts) != 3:
        raise SystemExit(f"{header}: no KORVAN_VERSION_MAJOR/MINOR/PATCH")
    return "{MAJOR}.{MINOR}.{PATCH}".format(**parts)


def windows_files(library):
    """The DLL and, transitively, every DLL it imports that lies in its folder (the MinGW
    runtime); the system's DLLs are not there."""
    folder = os.path.dirname(os.path.abspath(library))
    present = {name.lower(): name for name in os.listdir(folder)}
    wanted = [os.path.basename(library)]
    found = []
    while wanted:
        name = wanted.pop(0)
        if name.lower() in (known.lower() for known in found):
            continue
        found.append(present[name.lower()])
        for imported in pe.read(os.path.join(folder, present[name.lower()])).imports():
            if imported.lower() in present:
                wanted.append(imported)
    return [os.path.join(folder, name) for name in found]


def add(archive, name, data):
    entry = zipfile.ZipInfo(name, date_time=(1980, 1, 1, 0, 0, 0))
    entry.compress_type = zipfile.ZIP_DEFLATED
    entry.external_attr = 0o644 << 16
    archive.writestr(entry, data)


def read(path):
    with open(path, "rb") as source:
        return source.read()


def without_debug_information(path, strip):
    """The bytes of the library at `path` with its debug sections removed; its symbols stay."""
    with tempfile.TemporaryDirectory() as work:
        stripped = os.path.join(work, os.path.basename(path))
        subprocess.run([strip, "--strip-debug", "-o", stripped, path], check=True)
        return read(stripped)


def pack(arguments):
    version = header_version(arguments.header)
    with open(arguments.manifest, encoding="utf-8") as template:
        nuspec = template.read().replace("$version$", version)
    os.makedirs(arguments.output, exist_ok=True)
    package = os.path.join(arguments.output, f"Korvan.{version}.nupkg")
    partial = package + ".partial"
    with zipfile.ZipFile(partial, "w") as archive:
        add(archive, "[Content_Types].xml", CONTENT_TYPES)
        add(archive, "_rels/.rels", RELATIONSHIPS)
        add(archive, NUSPEC, nuspec)
        add(archive, "LICENSE.txt", read(arguments.license))
        add(archive, f"lib/{FRAMEWORK}/Korvan.dll", read(arguments.assembly))
        add(archive, f"lib/{FRAMEWORK}/Korvan.xml", read(arguments.documentation))
        add(archive, LINUX_LIBRARY,
            without_debug_information(arguments.linux_library, ELF_STRIP))
        for path in windows_files(arguments.windows_library):
            add(archive, WINDOWS_NATIVE + os.path.basename(path),
                without_debug_information(path, PE_STRIP))
    os.replace(partial, package)
    return package


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--header", required=True, help="interface/KorvanCalcValueProviderC.h")
    parser.add_argument("--manifest", required=True,
                        help="the package manifest with $version$, packed as " + NUSPEC)
    parser.add_argument("--license", required=True)
    parser.add_argument("--assembly", required=True, help="Korvan.dll")
    parser.add_argument("--documentation", required=True, help="Korvan.xml")
    parser.add_argument("--linux-library", required=True, help="the x86-64 shared library")
    parser.add_argument("--windows-library", required=True,
                        help="KorvanCalcValueProvider.dll, in a folder with the DLLs it needs")
    parser.add_argument("--output", required=True, help="the folder of the .nupkg")
    print(pack(parser.parse_args()))


if __name__ == "__main__":
    main()
