#!/usr/bin/python3
"""Checks that the code the docs show is the code the tests run.

Every code example in README.md, in docs/ and in a folder's README.md is a file under examples/,
shown whole, and the output shown beside it is that file's .out file, whole. In markdown:

    <!-- example: examples/c/three_points.c -->
    ```c
    ...the whole file...
    ```
    <!-- output: examples/c/three_points.c -->
    ```text
    ...the whole of examples/c/three_points.c.out...
    ```

A marker is followed at once by its fenced block, which must equal the file byte for byte. A
fenced block in a programming language without an example marker is an error: it would be code
that no test builds. Blocks of shell commands, CMake, CSV or text are instructions and data, and
are not checked unless marked. A fence is recognised at any indentation, in list items too; to
show markers and fences as text, put them inside a longer fence (````markdown). The tests that
build and run each example and compare its output with the .out file are registered by the
example's owner beside the example's build.

usage: check_doc_examples.py [--root DIR] [--update] [MARKDOWN_FILE ...]
Without files, every README.md (outside build trees and dependencies) and every docs/**/*.md.
With --update, a marked block that differs from its file is rewritten as the file holds it.
"""

import argparse
import pathlib
import re
import sys
from dataclasses import dataclass, field

# Fence languages that are code a test must build or run, by the extension of the file they show.
LANGUAGES_OF_EXTENSION = {
    ".c": {"c"},
    ".h": {"c", "cpp", "c++"},
    ".cpp": {"cpp", "c++"},
    ".py": {"python", "py", "python3"},
    ".js": {"js", "javascript"},
    ".mjs": {"js", "javascript", "mjs"},
    ".ts": {"ts", "typescript"},
    ".cs": {"csharp", "cs", "c#"},
}
PROGRAM_LANGUAGES = set().union(*LANGUAGES_OF_EXTENSION.values())

EXAMPLES_FOLDER = "examples"
# Folders that hold no docs of this project: build trees, dependencies, tool caches.
SKIPPED_FOLDERS = {"node_modules", "__pycache__", "bin", "obj"}

MARKER = re.compile(r"^\s*<!--\s*(example|output):\s*(\S+)\s*-->\s*$")
FENCE = re.compile(r"^(\s*)(`{3,}|~{3,})(.*)$")


@dataclass
class Block:
    """A fenced code block: the line of its opening fence (from 1, so also the index of its first
    line of text), its language, its text without the indentation, the indentation, and the index
    of its closing fence."""

    line: int
    language: str
    text: str
    indent: str
    closing: int


@dataclass
class Report:
    errors: list = field(default_factory=list)
    updated: list = field(default_factory=list)
    examples: int = 0
    outputs: int = 0

    def error(self, path, line, message):
        self.errors.append(f"{path}:{line}: {message}")


def read_block(lines, start):
    """The fenced block opening at lines[start], and the index of the line after it; None for the
    block when the fence is never closed."""
    opening = FENCE.match(lines[start])
    indent, fence, info = opening.group(1), opening.group(2), opening.group(3)
    words = info.strip().split()
    language = words[0].lower() if words else ""
    body = []
    for index in range(start + 1, len(lines)):
        closing = FENCE.match(lines[index])
        if (closing and closing.group(2)[0] == fence[0] and len(closing.group(2)) >= len(fence)
                and not closing.group(3).strip()):
            text = "".join(line + "\n" for line in body)
            return Block(start + 1, language, text, indent, index), index + 1
        line = lines[index]
        body.append(line[len(indent):] if line.startswith(indent) else line.lstrip())
    return None, len(lines)


def first_difference(shown, expected):
    """The first line, counted from 1, where the block `shown` and the file `expected` differ,
    with the two lines."""
    shown_lines = shown.split("\n")
    expected_lines = expected.split("\n")
    for number in range(1, max(len(shown_lines), len(expected_lines)) + 1):
        left = shown_lines[number - 1] if number <= len(shown_lines) else "(end of the block)"
        right = expected_lines[number - 1] if number <= len(expected_lines) else "(end of the file)"
        if left != right:
            return number, left, right
    raise ValueError("the texts are equal")


def file_of_marker(root, kind, target):
    """The file a marker names: the example itself, or its .out file for an output."""
    relative = pathlib.PurePosixPath(target)
    if relative.is_absolute() or ".." in relative.parts or relative.parts[0] != EXAMPLES_FOLDER:
        return None
    return root.joinpath(*relative.parts).with_name(
        relative.name + (".out" if kind == "output" else ""))


def check_marked_block(root, document, kind, target, block, report, update):
    """Checks a block against the file its marker names; returns the file's text where the block
    differs and `update` asks to rewrite it."""
    path = file_of_marker(root, kind, target)
    if path is None:
        report.error(document, block.line, f"{target}: an example lies under {EXAMPLES_FOLDER}/")
        return
    if kind == "example":
        report.examples += 1
        allowed = LANGUAGES_OF_EXTENSION.get(path.suffix)
        if allowed and block.language not in allowed:
            report.error(document, block.line, f"{target} is shown as '{block.language}', "
                         f"not as one of {', '.join(sorted(allowed))}")
    else:
        report.outputs += 1
    if not path.is_file():
        report.error(document, block.line, f"{path.relative_to(root)} does not exist")
        return
    try:
        expected = path.read_bytes().decode("utf-8")
    except UnicodeDecodeError:
        report.error(document, block.line, f"{path.relative_to(root)} is not UTF-8")
        return
    if block.text != expected and update:
        return expected
    if block.text != expected:
        number, shown, wanted = first_difference(block.text, expected)
        report.error(document, block.line + number,
                     f"the block differs from {path.relative_to(root)} at its line {number}:\n"
                     f"    shown: {shown!r}\n    file:  {wanted!r}")
    return None


def check_document(root, path, report, update=False):
    document = path.relative_to(root)
    lines = path.read_text(encoding="utf-8").split("\n")
    replacements = []  # (block, text) for --update
    index = 0
    pending = None  # (kind, target, line) of a marker that waits for its block
    while index < len(lines):
        marker = MARKER.match(lines[index])
        if marker:
            if pending:
                report.error(document, pending[2], "the marker is not followed by a code block")
            pending = (marker.group(1), marker.group(2), index + 1)
            index += 1
            continue
        if FENCE.match(lines[index]):
            block, index = read_block(lines, index)
            if block is None:
                report.error(document, len(lines), "a code block is never closed")
                return
            if pending:
                text = check_marked_block(root, document, pending[0], pending[1], block, report,
                                          update)
                if text is not None:
                    replacements.append((block, text))
            elif block.language in PROGRAM_LANGUAGES:
                report.error(document, block.line,
                             f"a '{block.language}' block without an example marker: keep the "
                             f"code in a file under {EXAMPLES_FOLDER}/ that a test runs, and show "
                             f"it with <!-- example: PATH -->")
            pending = None
            continue
        if pending:
            report.error(document, pending[2], "the marker is not followed by a code block")
            pending = None
        index += 1
    if pending:
        report.error(document, pending[2], "the marker is not followed by a code block")
    for block, text in reversed(replacements):
        shown = [block.indent + line if line else "" for line in text.split("\n")[:-1]]
        lines[block.line:block.closing] = shown
        report.updated.append(f"{document}:{block.line}")
    if replacements:
        path.write_text("\n".join(lines), encoding="utf-8")


def documents(root):
    """README.md at the root and in every folder of the project, and every page under docs/."""
    found = set()
    for path in root.rglob("*.md"):
        parts = path.relative_to(root).parts
        if any(part.startswith((".", "build")) or part in SKIPPED_FOLDERS for part in parts[:-1]):
            continue
        if path.name == "README.md" or parts[0] == "docs":
            found.add(path)
    return sorted(found)


def main(arguments):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--root", type=pathlib.Path,
                        default=pathlib.Path(__file__).resolve().parents[2])
    parser.add_argument("--update", action="store_true",
                        help="rewrite the blocks that differ from their files")
    parser.add_argument("files", nargs="*", type=pathlib.Path)
    options = parser.parse_args(arguments)
    root = options.root.resolve()
    paths = [path.resolve() for path in options.files] or documents(root)
    report = Report()
    for path in paths:
        check_document(root, path, report, options.update)
    for updated in report.updated:
        print(f"{updated}: rewritten from its file")
    for error in report.errors:
        print(error, file=sys.stderr)
    print(f"{len(paths)} documents: {report.examples} examples and {report.outputs} outputs "
          f"shown, {len(report.errors)} errors")
    return 1 if report.errors else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
