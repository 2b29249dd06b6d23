"""The docs' example checker: what it accepts, and every way a shown example can drift."""

import pathlib
import sys
import tempfile
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import check_doc_examples as checker  # noqa: E402

PROGRAM = "int main(void) {\n    return 0;\n}\n"
OUTPUT = "scale factor 5.348333333333334\n"


def shown(path, text, language="c", indent=""):
    """A marker with its block, as a document shows an example."""
    lines = [f"<!-- example: {path} -->", f"```{language}", *text.split("\n")[:-1], "```"]
    return "".join(indent + line + "\n" if line else "\n" for line in lines)


def shown_output(path, text):
    return f"<!-- output: {path} -->\n```text\n{text}```\n"


class CheckerTest(unittest.TestCase):
    def setUp(self):
        self.directory = tempfile.TemporaryDirectory()
        self.root = pathlib.Path(self.directory.name)
        self.write("examples/c/zero.c", PROGRAM)
        self.write("examples/c/zero.c.out", OUTPUT)

    def tearDown(self):
        self.directory.cleanup()

    def write(self, relative, text):
        path = self.root / relative
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_text(text, encoding="utf-8")
        return path

    def errors_of(self, markdown, update=False):
        report = checker.Report()
        checker.check_document(self.root, self.write("docs/page.md", markdown), report, update)
        return report

    def test_accepts(self):
        cases = {
            "an example and its output": shown("examples/c/zero.c", PROGRAM)
            + shown_output("examples/c/zero.c", OUTPUT),
            "an example inside a list item": "- the program:\n\n"
            + shown("examples/c/zero.c", PROGRAM, indent="  "),
            "commands, CMake and text need no marker": "```sh\nmake test\n```\n"
            "```cmake\nfind_package(X)\n```\n```\nplain\n```\n",
            "a longer fence around a fence": "````text\n```c\nint x;\n```\n````\n",
            "a tilde fence": "<!-- example: examples/c/zero.c -->\n~~~c\n" + PROGRAM + "~~~\n",
        }
        for name, markdown in cases.items():
            with self.subTest(name):
                self.assertEqual(self.errors_of(markdown).errors, [])

    def test_refuses(self):
        cases = {
            "a changed line": (shown("examples/c/zero.c", PROGRAM.replace("0;", "1;")),
                               "differs from examples/c/zero.c at its line 2"),
            "a line missing": (shown("examples/c/zero.c", PROGRAM.replace("}\n", "")),
                               "at its line 3"),
            "an output that drifted": (shown_output("examples/c/zero.c", "scale factor 5.3\n"),
                                       "differs from examples/c/zero.c.out"),
            "code without a marker": ("```cpp\nint x;\n```\n", "'cpp' block without"),
            "Python without a marker": ("```python\nprint(1)\n```\n", "'python' block"),
            "C# without a marker": ("```csharp\nvar x = 1;\n```\n", "'csharp' block"),
            "a marker without a block": ("<!-- example: examples/c/zero.c -->\n\ntext\n",
                                         "not followed by a code block"),
            "a marker at the end": ("<!-- output: examples/c/zero.c -->\n",
                                    "not followed by a code block"),
            "a file that does not exist": (shown("examples/c/none.c", PROGRAM),
                                           "examples/c/none.c does not exist"),
            "an output file that does not exist": (
                shown_output("examples/c/none.c", OUTPUT), "examples/c/none.c.out does not exist"),
            "a file outside examples/": (shown("tests/zero.c", PROGRAM), "lies under examples/"),
            "a path leaving the tree": (shown("examples/../zero.c", PROGRAM), "under examples/"),
            "C shown as Python": (shown("examples/c/zero.c", PROGRAM, language="python"),
                                  "shown as 'python'"),
            "a block never closed": ("```c\nint x;\n", "never closed"),
        }
        for name, (markdown, message) in cases.items():
            with self.subTest(name):
                errors = self.errors_of(markdown).errors
                self.assertEqual(len(errors), 1, errors)
                self.assertIn(message, errors[0])

    def test_counts_what_it_checked(self):
        report = self.errors_of(shown("examples/c/zero.c", PROGRAM)
                                + shown_output("examples/c/zero.c", OUTPUT))
        self.assertEqual((report.examples, report.outputs), (1, 1))

    def test_update_rewrites_what_drifted_and_nothing_else(self):
        stale = ("# Page\n\n- the program:\n\n"
                 + shown("examples/c/zero.c", PROGRAM.replace("0;", "1;\n    return 2;"),
                         indent="  ")
                 + "\ntext between\n\n" + shown_output("examples/c/zero.c", "old\n") + "end\n")
        report = self.errors_of(stale, update=True)
        self.assertEqual((report.errors, len(report.updated)), ([], 2))
        rewritten = (self.root / "docs/page.md").read_text(encoding="utf-8")
        self.assertEqual(rewritten, "# Page\n\n- the program:\n\n"
                         + shown("examples/c/zero.c", PROGRAM, indent="  ")
                         + "\ntext between\n\n" + shown_output("examples/c/zero.c", OUTPUT)
                         + "end\n")
        self.assertEqual(self.errors_of(rewritten).errors, [])

    def test_finds_every_readme_and_docs_page(self):
        for relative in ("README.md", "python/README.md", "docs/a.md", "docs/deep/b.md",
                         "build/dev/README.md", "web/node_modules/x/README.md", "notes.md",
                         "python/NOTES.md"):
            self.write(relative, "text\n")
        found = [str(path.relative_to(self.root)) for path in checker.documents(self.root)]
        self.assertEqual(found, ["README.md", "docs/a.md", "docs/deep/b.md", "python/README.md"])


if __name__ == "__main__":
    unittest.main()
