"""Checks a Korvan .nupkg: the layout NuGet reads, the manifest, the native libraries for both
platforms (each exports every function Korvan.dll imports; the Windows DLLs bring every DLL they
import but the system's), and, with --example, that the example runs under Mono against the
package's own assembly and Linux library with its recorded output.

usage: check.py PACKAGE --header KorvanCalcValueProviderC.h --bindings NativeMethods.cs
                [--example ThreePoints.cs]     (its output: ThreePoints.cs.out beside it)
"""

import argparse
import os
import re
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pack  # noqa: E402
import pe  # noqa: E402

NUSPEC_NAMESPACE = "{http://schemas.microsoft.com/packaging/2013/05/nuspec.xsd}"
TYPES_NAMESPACE = "{http://schemas.openxmlformats.org/package/2006/content-types}"
RELATIONSHIPS_NAMESPACE = "{http://schemas.openxmlformats.org/package/2006/relationships}"
MANIFEST_RELATIONSHIP = "http://schemas.microsoft.com/packaging/2010/07/manifest"
# DLLs every Windows has; anything else a shipped DLL imports must be in the package.
SYSTEM_DLLS = {"kernel32.dll", "msvcrt.dll", "user32.dll", "advapi32.dll", "ntdll.dll",
               "ucrtbase.dll"}
PE_AMD64 = 0x8664
ELF_X86_64 = 62


class Problems(list):
    def check(self, condition, problem):
        if not condition:
            self.append(problem)
        return condition


def imported_functions(bindings):
    """The functions Korvan.dll calls: the extern declarations of NativeMethods.cs."""
    with open(bindings, encoding="utf-8") as source:
        return sorted(set(re.findall(r"static extern \w+ (\w+)\(", source.read())))


def check_layout(names, problems):
    framework = pack.FRAMEWORK
    expected = {"[Content_Types].xml", "_rels/.rels", pack.NUSPEC, "LICENSE.txt",
                f"lib/{framework}/Korvan.dll", f"lib/{framework}/Korvan.xml", pack.LINUX_LIBRARY,
                pack.WINDOWS_NATIVE + "KorvanCalcValueProvider.dll"}
    for name in sorted(expected - set(names)):
        problems.append(f"missing {name}")
    for name in names:
        problems.check(name in expected or (name.startswith(pack.WINDOWS_NATIVE)
                                            and name.endswith(".dll")),
                       f"unexpected entry {name}")
        problems.check("\\" not in name and not name.startswith("/"), f"bad entry name {name}")
    problems.check(len(names) == len(set(names)), "an entry appears twice")


def check_package_parts(archive, names, problems):
    types = ElementTree.fromstring(archive.read("[Content_Types].xml"))
    extensions = {default.get("Extension") for default in types.iter(TYPES_NAMESPACE + "Default")}
    for name in names:
        extension = name.rsplit(".", 1)[-1] if "." in os.path.basename(name) else None
        problems.check(extension in extensions or name == "[Content_Types].xml",
                       f"[Content_Types].xml gives no type for {name}")
    relationships = ElementTree.fromstring(archive.read("_rels/.rels"))
    manifests = [relation.get("Target")
                 for relation in relationships.iter(RELATIONSHIPS_NAMESPACE + "Relationship")
                 if relation.get("Type") == MANIFEST_RELATIONSHIP]
    problems.check(manifests == ["/" + pack.NUSPEC], f"_rels/.rels points to {manifests}")


def check_nuspec(archive, version, problems):
    manifest = ElementTree.fromstring(archive.read(pack.NUSPEC))
    problems.check(manifest.tag == NUSPEC_NAMESPACE + "package", f"nuspec root {manifest.tag}")
    metadata = manifest.find(NUSPEC_NAMESPACE + "metadata")
    if not problems.check(metadata is not None, "nuspec has no metadata"):
        return

    def field(name):
        return metadata.find(NUSPEC_NAMESPACE + name)

    for name in ("id", "version", "authors", "description", "license"):
        element = field(name)
        problems.check(element is not None and (element.text or "").strip(),
                       f"nuspec has no {name}")
    if problems:
        return
    problems.check(field("id").text == "Korvan", f"nuspec id {field('id').text}")
    problems.check(field("version").text == version,
                   f"nuspec version {field('version').text}, the header's is {version}")
    license = field("license")
    problems.check(license.get("type") == "expression" and license.text == "MIT",
                   f"nuspec license {license.get('type')} {license.text}")
    groups = [group.get("targetFramework")
              for group in metadata.iter(NUSPEC_NAMESPACE + "group")]
    problems.check(groups == [".NETFramework4.6.2"], f"nuspec dependency groups {groups}")


def check_documentation(archive, problems):
    documentation = ElementTree.fromstring(archive.read(f"lib/{pack.FRAMEWORK}/Korvan.xml"))
    problems.check(documentation.findtext("assembly/name") == "Korvan",
                   "Korvan.xml documents another assembly")
    members = {member.get("name") for member in documentation.iter("member")}
    for member in ("T:Korvan.Valves", "T:Korvan.Solution", "T:Korvan.SolutionEntry",
                   "T:Korvan.KorvanException", "T:Korvan.Result", "T:Korvan.Rule"):
        problems.check(member in members, f"Korvan.xml does not document {member}")


def check_linux_library(data, functions, problems):
    if not problems.check(data[:4] == b"\x7fELF" and data[4] == 2, "the .so is no 64-bit ELF"):
        return
    machine = struct.unpack_from("<H", data, 18)[0]
    problems.check(machine == ELF_X86_64, f"the .so is for machine {machine}, not x86-64")
    with tempfile.NamedTemporaryFile(suffix=".so") as library:
        library.write(data)
        library.flush()
        symbols = subprocess.run(["nm", "-D", "--defined-only", library.name], check=True,
                                 capture_output=True, text=True).stdout
    # Names carry their version node (KorvanDiagnose@@KORVAN_1.2).
    exported = {line.split()[-1].split("@")[0] for line in symbols.splitlines() if line.strip()}
    for function in functions:
        problems.check(function in exported, f"the .so does not export {function}")


def check_windows_libraries(archive, names, functions, problems):
    shipped = {os.path.basename(name).lower(): name for name in names
               if name.startswith(pack.WINDOWS_NATIVE)}
    for lower, name in sorted(shipped.items()):
        image = pe.PeFile(archive.read(name))
        problems.check(image.machine == PE_AMD64, f"{name} is not for x64")
        for imported in image.imports():
            problems.check(imported.lower() in shipped or imported.lower() in SYSTEM_DLLS
                           or imported.lower().startswith("api-ms-win-"),
                           f"{name} needs {imported}, which the package lacks")
    library = pe.PeFile(archive.read(pack.WINDOWS_NATIVE + "KorvanCalcValueProvider.dll"))
    exported = set(library.exports())
    for function in functions:
        problems.check(function in exported,
                       f"KorvanCalcValueProvider.dll does not export {function}")


def run_example(archive, example, problems):
    """Builds the example against the package's Korvan.dll and runs it with the package's
    library, nothing of the build tree in reach."""
    with tempfile.TemporaryDirectory() as work:
        archive.extractall(os.path.join(work, "package"))
        assembly_dir = os.path.join(work, "package", "lib", pack.FRAMEWORK)
        native_dir = os.path.join(work, "package", os.path.dirname(pack.LINUX_LIBRARY))
        program = os.path.join(work, "example", "Example.exe")
        os.makedirs(os.path.dirname(program))
        subprocess.run(["mcs", "-nologo", "-langversion:7", f"-out:{program}",
                        "-r:" + os.path.join(assembly_dir, "Korvan.dll"), example], check=True)
        environment = dict(os.environ, MONO_PATH=assembly_dir, LD_LIBRARY_PATH=native_dir)
        run = subprocess.run(["mono", program], capture_output=True, text=True, env=environment)
        with open(example + ".out", encoding="utf-8") as recorded:
            expected = recorded.read()
        problems.check(run.returncode == 0 and run.stdout == expected and not run.stderr,
                       f"the example under Mono gave exit code {run.returncode}, output\n"
                       f"{run.stdout}{run.stderr}")


def check(arguments):
    problems = Problems()
    version = pack.header_version(arguments.header)
    problems.check(os.path.basename(arguments.package) == f"Korvan.{version}.nupkg",
                   f"{arguments.package} is not named Korvan.{version}.nupkg")
    functions = imported_functions(arguments.bindings)
    problems.check(len(functions) >= 8, f"only {functions} found in {arguments.bindings}")
    with zipfile.ZipFile(arguments.package) as archive:
        problems.check(archive.testzip() is None, "a damaged entry")
        names = archive.namelist()
        check_layout(names, problems)
        if problems:
            return problems
        check_package_parts(archive, names, problems)
        check_nuspec(archive, version, problems)
        check_documentation(archive, problems)
        check_linux_library(archive.read(pack.LINUX_LIBRARY), functions, problems)
        check_windows_libraries(archive, names, functions, problems)
        if arguments.example and not problems:
            run_example(archive, arguments.example, problems)
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("package")
    parser.add_argument("--header", required=True)
    parser.add_argument("--bindings", required=True, help="dotnet/Korvan/NativeMethods.cs")
    parser.add_argument("--example", help="a C# example with its .out beside it")
    arguments = parser.parse_args()
    problems = check(arguments)
    for problem in problems:
        print(f"check.py: {problem}", file=sys.stderr)
    print(f"{os.path.basename(arguments.package)}: "
          + ("ok" if not problems else f"{len(problems)} problems"))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
