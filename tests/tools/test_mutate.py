#!/usr/bin/env python3
# Tests of the mutation check's own parts (scripts/mutate.py): what each operator makes of a
# line, what it must leave alone (comments, literals, preprocessor lines, declarations), the
# seeded sampling, and the backup that puts a mutated file back. Runs in well under a second.
import contextlib
import io
import json
import os
import sys
import tempfile
import time
import unittest
from pathlib import Path
from unittest import mock

sys.dont_write_bytecode = True  # no __pycache__ in scripts/
sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "scripts"))
import mutate  # noqa: E402


def mutants_of(text, operator=None):
    ops = [operator] if operator else None
    return mutate.find_mutants("f.cpp", text, ops)


def mutated_lines(text, operator):
    return sorted(m.mutated.strip() for m in mutants_of(text, operator))


def in_function(*body):
    return "int f(int a, int b) {\n" + "\n".join("    " + l for l in body) + "\n}\n"


class Operators(unittest.TestCase):
    def test_comparisons(self):
        src = in_function("if (a < b) return 1;")
        self.assertEqual(mutated_lines(src, "rel-swap"), ["if (a <= b) return 1;"])
        self.assertEqual(mutated_lines(src, "rel-flip"), ["if (a > b) return 1;"])
        src = in_function("if (a >= b && a != 3) return 1;")
        self.assertEqual(mutated_lines(src, "rel-swap"), ["if (a > b && a != 3) return 1;"])
        self.assertEqual(mutated_lines(src, "eq-swap"), ["if (a >= b && a == 3) return 1;"])
        self.assertEqual(mutated_lines(src, "logic-swap"), ["if (a >= b || a != 3) return 1;"])

    def test_templates_shifts_and_arrows_are_no_comparisons(self):
        src = in_function("std::vector<int> v;", "out << a;", "p->x = a >> 2;",
                          "auto l = []() -> int { return 1; };")
        for op in ("rel-swap", "rel-flip"):
            self.assertEqual(mutated_lines(src, op), [], op)

    def test_arithmetic(self):
        src = in_function("a = a + b * 2;", "b -= a / 3;")
        self.assertEqual(mutated_lines(src, "add-sub"), ["a = a - b * 2;", "b += a / 3;"])
        self.assertEqual(mutated_lines(src, "mul-div"), ["a = a + b / 2;", "b -= a * 3;"])
        # Joining strings has no minus; unary signs and pointers are not binary operators.
        src = in_function('s = "x" + t;', "a = -b;", "int* p = &a;", "a = *p;")
        self.assertEqual(mutated_lines(src, "add-sub"), [])
        self.assertEqual(mutated_lines(src, "mul-div"), [])

    def test_negation_booleans_and_literals(self):
        self.assertEqual(mutated_lines(in_function("if (!ok && a != b) a = 1;"), "not-drop"),
                         ["if (ok && a != b) a = 1;"])
        self.assertEqual(mutated_lines(in_function("ok = true;"), "bool-flip"), ["ok = false;"])
        src = in_function("x = 0;", "y = 1;", "z = 41u;", "w = 0.5;", "v = -2;", "u = 1e-9;")
        self.assertEqual(mutated_lines(src, "lit-change"),
                         ["u = 2.0e-9;", "v = -3;", "w = 1.5;", "x = 1;", "y = 0;", "z = 42u;"])
        self.assertEqual(mutated_lines(src, "lit-sign"),
                         ["u = -1e-9;", "v = 2;", "w = -0.5;", "y = -1;", "z = -41u;"])

    def test_names_with_digits_and_separated_digits(self):
        src = in_function("int64_t x2 = 1'000;")
        self.assertEqual(mutated_lines(src, "lit-change"), ["int64_t x2 = 1001;"])

    def test_argument_swap(self):
        src = in_function("a = floorDiv(a, b);", "b = std::max(a, b);", "g(a);")
        self.assertEqual(mutated_lines(src, "arg-swap"), ["a = floorDiv(b, a);"])
        # A function's own parameters are not a call.
        self.assertEqual(mutated_lines("int f(int a, int b);\n", "arg-swap"), [])

    def test_return_default(self):
        src = in_function("if (a) return a * b;", "return 0;", "return\n        a;")
        self.assertEqual(mutated_lines(src, "return-default"), ["if (a) return {};"])

    def test_dropped_statements(self):
        src = in_function("a = b + 1;", "++a;", "call(a, b);", "if (a < 0) --b;",
                          "const int c = a;", "std::string s(3, 'x');", "return a;")
        self.assertEqual(
            [(m.line, m.mutated) for m in mutants_of(src, "stmt-drop")],
            [(2, "    ;"), (3, "    ;"), (4, "    ;"), (5, "    ;")],
        )

    def test_statements_that_must_stay(self):
        # A call's continuation line, an if whose else follows, a class member and an
        # initialiser list are no whole statements.
        src = (
            "struct S {\n    S();\n    int x = 0;\n};\n"
            "void f(int a) {\n    call(a,\n         a);\n"
            "    if (a) g(a);\n    else h(a);\n"
            "    int v[] = {\n        g(a),\n    };\n}\n"
        )
        self.assertEqual([m.line for m in mutants_of(src, "stmt-drop")], [])


class Blocks(unittest.TestCase):
    def test_statements_in_lambdas_and_branches_not_in_classes_or_initialisers(self):
        src = (
            "void f(std::vector<int>& v) {\n"
            "    auto g = [&v](int x) {\n        v.push_back(x);\n    };\n"  # 3: lambda body
            "    if (v.empty()) {\n        g(1);\n    } else {\n        g(2);\n    }\n"  # 6, 8
            "    struct Local {\n        Local();\n    };\n"
            "    int w[] = {\n        g(3),\n    };\n"
            "}\n"
        )
        self.assertEqual([m.line for m in mutants_of(src, "stmt-drop")], [3, 6, 8])

    def test_line_range_and_long_lines(self):
        src = in_function("a = 1;", "b = 2;", "c = 3;")
        found = mutate.find_mutants("f.cpp", src, ["lit-change"], (3, 3))
        self.assertEqual([m.mutated.strip() for m in found], ["b = 3;"])
        long_line = "    total = first + second * third - fourth / fifth + sixth * seventh;"
        old, new = mutate._fragments(long_line, long_line.replace("- fourth", "+ fourth"))
        self.assertLess(len(old), len(long_line.strip()))
        self.assertIn("- fourth", old)
        self.assertIn("+ fourth", new)


class LeftAlone(unittest.TestCase):
    def test_comments_strings_and_preprocessor(self):
        src = (
            "#include <vector>\n"
            "#define MAX(a, b) ((a) > (b) ? \\\n    (a) : (b))\n"
            "// a < b && c\n"
            "/* a < b\n   a == 1 */\n"
            'const char* s = "a < b && !c + 1";\n'
            "char q = '<';\n"
            'auto r = R"(x == 1\n   && y)";\n'
            "int z = a /* < 1 */ + b;  // true == false\n"
        )
        found = mutants_of(src)
        self.assertTrue(all(m.line == 11 for m in found), [(m.line, m.mutated) for m in found])
        self.assertEqual({m.operator for m in found}, {"add-sub"})

    def test_masking_keeps_positions(self):
        src = 'x = "ab";  // c\ny = 2;'
        masked = mutate.mask_code(src)
        self.assertEqual(len(masked), len(src))
        self.assertEqual(masked.split("\n")[1], "y = 2;")
        self.assertNotIn("c", masked)


class Sampling(unittest.TestCase):
    SRC = in_function(*[f"a{i} = b{i} + {i} * c < d;" for i in range(2, 30)])

    def test_same_seed_same_mutants(self):
        found = mutants_of(self.SRC)
        one = mutate.sample_mutants(found, 10, "7", "f.cpp")
        two = mutate.sample_mutants(mutants_of(self.SRC), 10, "7", "f.cpp")
        self.assertEqual([m.key() for m in one], [m.key() for m in two])
        other = mutate.sample_mutants(found, 10, "8", "f.cpp")
        self.assertNotEqual([m.key() for m in one], [m.key() for m in other])

    def test_every_operator_gets_a_turn(self):
        found = mutants_of(self.SRC)
        ops = {m.operator for m in found}
        chosen = mutate.sample_mutants(found, len(ops), "1", "f.cpp")
        self.assertEqual({m.operator for m in chosen}, ops)
        self.assertEqual(len(mutate.sample_mutants(found, 10**6, "1", "f.cpp")), len(found))


class Reporting(unittest.TestCase):
    def test_failed_programs_and_first_case_are_named(self):
        log = (
            "1/3 Test  #1: core ..........Subprocess aborted***Exception:   1.92 sec\n"
            "[  FAILED  ] RaceSession.OpensTheRace (3 ms)\n"
            "2/3 Test #12: tst_racescreen ...................***Timeout 120.01 sec\n"
            "FAIL!  : RaceScreenTest::playsForward() Compared values are not the same\n"
        )
        with tempfile.TemporaryDirectory() as d:
            path = Path(d) / "test.log"
            path.write_text(log)
            self.assertEqual(mutate.failed_tests(path),
                             "core (exception), tst_racescreen (timeout): RaceSession.OpensTheRace")


class Listing(unittest.TestCase):
    def test_list_prints_the_sampled_mutants_and_builds_nothing(self):
        # This test is one of those a mutation run runs with its mutant in place: a listing
        # started from here must not take that mutant for the leftover of a killed run and put
        # the file back, which would fail this test for every mutant and undo the mutant.
        with tempfile.TemporaryDirectory() as d, mock.patch.object(
            mutate, "restore_leftovers", return_value=[]
        ) as leftovers:
            out = io.StringIO()
            with contextlib.redirect_stdout(out):
                rc = mutate.main(["src/core/util/intmath.h", "--per-file", "3", "--list",
                                  "--build-dir", d])
            self.assertEqual(rc, 0)
            lines = out.getvalue().splitlines()
            self.assertIn("3 sampled (seed 1)", lines[0])
            self.assertEqual(len([l for l in lines if l.startswith("MUTANT")]), 3)
            self.assertTrue(all("src/core/util/intmath.h:" in l for l in lines[1:]))
            self.assertEqual(sorted(os.listdir(d)), ["mutate.lock"])
            leftovers.assert_called_once()


class Again(unittest.TestCase):
    def test_the_same_mutants_are_found_where_their_lines_moved(self):
        with tempfile.TemporaryDirectory() as d:
            root = Path(d)
            src = root / "src" / "a.cpp"
            src.parent.mkdir()
            src.write_text("int f(int x) {\n    if (x < 3) return 1;\n    return x + 1;\n}\n")

            def entry(line, original, mutated, status):
                return {"file": "src/a.cpp", "line": line, "column": 5, "operator": "op",
                        "original": original, "mutated": mutated, "old": "", "new": "",
                        "status": status}

            report = {"seed": "1", "per_file": 2, "killed": 1, "survived": 2, "mutants": [
                entry(2, "    if (x < 3) return 1;", "    if (x <= 3) return 1;", "SURVIVED"),
                entry(3, "    return x + 1;", "    return x - 1;", "KILLED"),
                entry(3, "    return x * 2;", "    return x / 2;", "SURVIVED"),  # edited since
                entry(1, "int f(int x) {", "int f(int x) }", "NO-BUILD"),
            ]}
            path = root / "mutants.json"
            path.write_text(json.dumps(report))
            # A test-friendly edit above the mutants moves their lines down by two.
            src.write_text("// two lines\n\n" + src.read_text())

            _, kept, gone = mutate.mutants_again(root, path, survivors_only=False)
            self.assertEqual([(m.line, m.mutated.strip()) for m in kept],
                             [(4, "if (x <= 3) return 1;"), (5, "return x - 1;")])
            self.assertEqual([m.original.strip() for m in gone], ["return x * 2;"])

            _, kept, gone = mutate.mutants_again(root, path, survivors_only=True)
            self.assertEqual([m.line for m in kept], [4])
            self.assertEqual(len(gone), 1)

    def test_an_unreadable_report_is_said_not_raised(self):
        with self.assertRaises(SystemExit) as e:
            mutate.mutants_again(Path("."), Path("/nonexistent/mutants.json"), False)
        self.assertIn("cannot read the report", str(e.exception))


class Restoring(unittest.TestCase):
    def test_backup_restores_content_and_newer_time(self):
        with tempfile.TemporaryDirectory() as d:
            root = Path(d)
            src = root / "src" / "a.cpp"
            src.parent.mkdir()
            src.write_text("int a = 1;\n")
            old = time.time() - 3600
            os.utime(src, (old, old))
            mutate.write_keeping_backup(src, "int a = 2;\n")
            mutate.write_keeping_backup(src, "int a = 3;\n")  # the backup stays the original
            self.assertEqual(Path(str(src) + ".mutate-orig").read_text(), "int a = 1;\n")
            self.assertTrue(mutate.restore(src))
            self.assertEqual(src.read_text(), "int a = 1;\n")
            self.assertFalse(Path(str(src) + ".mutate-orig").exists())
            # Newer than any object built from the mutant, so builds recompile it.
            self.assertGreater(src.stat().st_mtime, old + 1800)

    def test_leftover_of_a_killed_run_is_put_back(self):
        with tempfile.TemporaryDirectory() as d:
            root = Path(d)
            src = root / "src" / "a.cpp"
            src.parent.mkdir()
            src.write_text("int a = 1;\n")
            mutate.write_keeping_backup(src, "int a = 2;\n")
            restored = mutate.restore_leftovers(root, root / "build-mutate")
            self.assertEqual(restored, [Path("src/a.cpp")])
            self.assertEqual(src.read_text(), "int a = 1;\n")
            kept = root / "build-mutate" / "left-mutants" / "src" / "a.cpp"
            self.assertEqual(kept.read_text(), "int a = 2;\n")


if __name__ == "__main__":
    unittest.main()
