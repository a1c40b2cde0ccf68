#!/usr/bin/env python3
# A mutation check for Brisko's C++ sources: it puts small faults into a source file one at a
# time (a comparison turned round, a statement dropped, a constant changed, ...), rebuilds, runs
# the tests and tells which faults the tests caught ("killed") and which went unnoticed
# ("survived"). A survivor points at behaviour no test pins down. Python standard library only.
#
# Each mutant changes one source line. Comments, string and character literals and preprocessor
# lines are never changed. The mutants of a file are sampled with a seeded generator, so the same
# options give the same mutants. The build is a folder of its own (build-mutate/ by default),
# every target in it is rebuilt for each mutant, so no test program runs a stale copy of the
# file, and a mutant that does not compile is counted apart from the killed ones.
#
# While a mutant is in place the original is kept beside it as <file>.mutate-orig; it is copied
# back when the mutant is done, on Ctrl-C and on SIGTERM, and at the start of the next run if a
# run was killed outright. A restored file is touched, so every build folder recompiles it.
#
# Usage: mutate.py [FILE...] [--per-file 12] [--seed 1] [--minutes 30] [--tests REGEX]
#                  [--file-lines FILE:START-END] [--list] [--build-dir build-mutate] [--jobs 2]
#        mutate.py --again REPORT.json [--survivors]   (the same mutants again, after new tests)
import argparse
import fcntl
import json
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import time
from dataclasses import asdict, dataclass
from pathlib import Path

BACKUP_SUFFIX = ".mutate-orig"
CXX_SUFFIXES = (".cpp", ".cc", ".cxx", ".h", ".hpp", ".hh")

# Masks over a source text: a character of a string or character literal becomes STRING_MARK,
# a comment or preprocessor character becomes a space. Code keeps its characters, so positions
# found in the masked text are the positions in the real one.
STRING_MARK = "\x01"


@dataclass
class Mutant:
    file: str
    line: int  # 1-based
    column: int  # 1-based, where the change starts
    operator: str
    original: str  # the whole line, without its end of line
    mutated: str
    old: str = ""  # the changed fragment, for reading
    new: str = ""
    status: str = ""  # KILLED, SURVIVED, NO-BUILD, or "" when not run
    reason: str = ""  # the compiler's first error, or the first failing test
    build_seconds: float = 0.0
    test_seconds: float = 0.0

    def key(self):
        return (self.file, self.line, self.column, self.operator, self.mutated)


# ---------------------------------------------------------------------------------------------
# Masking comments, literals and preprocessor lines


def _is_digit_separator(text, i):
    """A quote inside a number (1'000'000) is a digit separator, not a character literal."""
    if i == 0 or i + 1 >= len(text) or not text[i + 1].isalnum():
        return False
    j = i - 1
    while j >= 0 and (text[j].isalnum() or text[j] in "'._"):
        j -= 1
    token = text[j + 1 : i]
    return bool(token) and token[0].isdigit()


def mask_code(text):
    """Returns text of the same length in which only code keeps its characters."""
    out = list(text)
    n = len(text)
    i = 0
    at_line_start = True  # only whitespace so far on this line

    def blank(a, b, mark=" "):
        for k in range(a, min(b, n)):
            if out[k] != "\n":
                out[k] = mark

    while i < n:
        c = text[i]
        if c == "\n":
            at_line_start = True
            i += 1
            continue
        if at_line_start and c in " \t":
            i += 1
            continue
        if at_line_start and c == "#":
            # A preprocessor line, with its backslash continuations.
            j = i
            while j < n:
                e = text.find("\n", j)
                if e < 0:
                    e = n
                if e > 0 and text[e - 1] == "\\" and e < n:
                    j = e + 1
                    continue
                break
            blank(i, e)
            i = e
            continue
        at_line_start = False
        if text.startswith("//", i):
            e = text.find("\n", i)
            e = n if e < 0 else e
            blank(i, e)
            i = e
        elif text.startswith("/*", i):
            e = text.find("*/", i + 2)
            e = n if e < 0 else e + 2
            blank(i, e)
            i = e
        elif c == '"':
            prefix = re.search(r"(?:u8|[uUL])?R$", text[max(0, i - 3) : i])
            before = i - len(prefix.group()) - 1 if prefix else -1
            if prefix and (before < 0 or not _word(text[before])):
                # Raw string: R"delim( ... )delim"
                open_paren = text.find("(", i)
                delim = text[i + 1 : open_paren] if open_paren >= 0 else ""
                end = text.find(")" + delim + '"', open_paren) if open_paren >= 0 else -1
                e = n if end < 0 else end + len(delim) + 2
            else:
                e = _end_of_quoted(text, i, '"')
            blank(i, e, STRING_MARK)
            i = e
        elif c == "'" and not _is_digit_separator(text, i):
            e = _end_of_quoted(text, i, "'")
            blank(i, e, STRING_MARK)
            i = e
        else:
            i += 1
    return "".join(out)


def _word(ch):
    return ch.isalnum() or ch == "_"


def _end_of_quoted(text, i, quote):
    """Index just past the closing quote of the literal opening at i (or the end of the line)."""
    j = i + 1
    while j < len(text):
        ch = text[j]
        if ch == "\\":
            j += 2
            continue
        if ch == quote:
            return j + 1
        if ch == "\n":
            return j
        j += 1
    return len(text)


# ---------------------------------------------------------------------------------------------
# Operators. Each takes (line, masked line, context) and yields (start, end, replacement); the
# positions index the line, and the text between them is replaced.


def _spaced(symbol):
    # A binary operator written with a space each side, as clang-format writes them; this
    # leaves out templates (vector<int>), shifts (<<), arrows (->) and pointer types.
    return re.compile(r"(?<=\s)" + re.escape(symbol) + r"(?=\s)")


def _swap_table(table):
    pats = [(_spaced(old), new) for old, new in table]

    def op(line, masked, ctx):
        for pat, new in pats:
            for m in pat.finditer(masked):
                yield m.start(), m.end(), new

    return op


op_rel_swap = _swap_table([("<", "<="), ("<=", "<"), (">", ">="), (">=", ">")])
op_eq_swap = _swap_table([("==", "!="), ("!=", "==")])
op_rel_flip = _swap_table([("<", ">"), (">", "<"), ("<=", ">="), (">=", "<=")])
op_logic_swap = _swap_table([("&&", "||"), ("||", "&&")])
op_add_sub = _swap_table([("+", "-"), ("-", "+"), ("+=", "-="), ("-=", "+=")])
op_mul_div = _swap_table([("*", "/"), ("/", "*"), ("*=", "/="), ("/=", "*=")])


def _next_to_string(masked, start, end):
    """True when the operand before or after an operator is a string or character literal."""
    before = masked[:start].rstrip()
    after = masked[end:].lstrip()
    return (before.endswith(STRING_MARK)) or after.startswith(STRING_MARK)


def op_add_sub_checked(line, masked, ctx):
    # "text" + name joins strings: its minus would not compile.
    for s, e, new in op_add_sub(line, masked, ctx):
        if not _next_to_string(masked, s, e):
            yield s, e, new


def op_not_drop(line, masked, ctx):
    for m in re.finditer(r"!(?!=)", masked):
        yield m.start(), m.end(), ""


def op_bool_flip(line, masked, ctx):
    for m in re.finditer(r"\b(true|false)\b", masked):
        yield m.start(), m.end(), "false" if m.group() == "true" else "true"


NUMBER = re.compile(
    r"(?<![\w.])(0[xX][0-9a-fA-F']+|(?:\d[\d']*\.?[\d']*|\.\d[\d']*)(?:[eE][+-]?\d+)?)"
    r"([uUlLfF]*)(?![\w.])"
)


def _parse_number(digits):
    plain = digits.replace("'", "")
    if plain[:2] in ("0x", "0X"):
        return "hex", int(plain, 16)
    if re.fullmatch(r"\d+", plain):
        # A leading zero makes an octal literal; leave those alone.
        if len(plain) > 1 and plain[0] == "0":
            return None, None
        return "int", int(plain)
    try:
        return "float", float(plain)
    except ValueError:
        return None, None


def op_literal_sign(line, masked, ctx):
    for m in NUMBER.finditer(masked):
        kind, value = _parse_number(m.group(1))
        if kind is None or value == 0:
            continue  # -0 is 0
        s = m.start()
        before = masked[:s]
        if before.endswith("-") and not re.search(r"[\w)\]]\s*-$", before):
            # A unary minus already there: take it away.
            yield s - 1, m.end(), line[s : m.end()]
        elif before.rstrip().endswith("["):
            continue  # an array size would not compile
        else:
            yield s, m.end(), "-" + line[s : m.end()]


def op_literal_change(line, masked, ctx):
    for m in NUMBER.finditer(masked):
        digits, suffix = m.group(1), m.group(2)
        kind, value = _parse_number(digits)
        if kind is None:
            continue
        if kind == "hex":
            new = hex(value + 1 if value != 1 else 0)
        elif kind == "int":
            new = "1" if value == 0 else "0" if value == 1 else str(value + 1)
        else:
            plain = digits.replace("'", "")
            exp = re.search(r"[eE][+-]?\d+$", plain)
            if exp:
                # 1e-9 becomes 2e-9: adding one to the whole would lose its scale.
                mantissa = float(plain[: exp.start()] or "1")
                new = _float_text(mantissa + 1) + exp.group()
            elif value == 0:
                new = "1.0"
            elif value == 1:
                new = "0.0"
            else:
                new = _float_text(value + 1)
        yield m.start(), m.end(), new + suffix


def _float_text(v):
    t = repr(float(v))
    return t if ("." in t or "e" in t) else t + ".0"


# Calls whose two arguments can be swapped without changing anything, and words that look like
# calls but are not.
COMMUTATIVE = {"min", "max", "fmin", "fmax", "hypot", "swap", "gcd", "lcm", "qMin", "qMax"}
NOT_CALLS = {
    "if", "for", "while", "switch", "return", "sizeof", "alignof", "decltype", "catch",
    "static_assert", "noexcept", "defined", "alignas", "operator",
}
DECLARATION_ARG = re.compile(
    r"^(?:const\s+|unsigned\s+|signed\s+)*[A-Za-z_][\w:<>]*"  # the type
    r"(?:\s*[&*]+\s*|\s+)[A-Za-z_]\w*(?:\s*=.*)?$"  # the name, and a default value
)


def _matching_close(masked, open_index, closer):
    opener = masked[open_index]
    depth = 0
    for k in range(open_index, len(masked)):
        ch = masked[k]
        if ch in "([{":
            depth += 1
        elif ch in ")]}":
            depth -= 1
            if depth == 0:
                return k if ch == closer else -1
    return -1


def _split_top_level(masked, start, end):
    """Splits masked[start:end] at commas outside brackets; returns (start, end) of each part."""
    parts, depth, s = [], 0, start
    for k in range(start, end):
        ch = masked[k]
        if ch in "([{":
            depth += 1
        elif ch in ")]}":
            depth -= 1
        elif ch == "," and depth == 0:
            parts.append((s, k))
            s = k + 1
    parts.append((s, end))
    return parts


def op_arg_swap(line, masked, ctx):
    for m in re.finditer(r"(?<![\w])([A-Za-z_]\w*)\s*\(", masked):
        name = m.group(1)
        if name in NOT_CALLS or name in COMMUTATIVE:
            continue
        open_index = m.end() - 1
        close = _matching_close(masked, open_index, ")")
        if close < 0:
            continue
        parts = _split_top_level(masked, open_index + 1, close)
        if len(parts) != 2:
            continue
        (a0, a1), (b0, b1) = parts
        a, b = line[a0:a1].strip(), line[b0:b1].strip()
        if not a or not b or a == b:
            continue
        if DECLARATION_ARG.match(a) or DECLARATION_ARG.match(b):
            continue  # a function's own parameter list
        if STRING_MARK in masked[a0:a1] and STRING_MARK in masked[b0:b1]:
            continue
        yield open_index + 1, close, f"{b}, {a}"


# Returns that already give the default, and "true", whose default is bool-flip's mutant.
TRIVIAL_RETURNS = {"{}", "0", "0.0", "false", "true", "nullptr", '""', "std::nullopt", "{ }"}


def op_return_default(line, masked, ctx):
    for m in re.finditer(r"\breturn\s+", masked):
        start = m.end()
        depth, k = 0, start
        while k < len(masked):
            ch = masked[k]
            if ch in "([{":
                depth += 1
            elif ch in ")]}":
                depth -= 1
                if depth < 0:
                    break
            elif ch == ";" and depth == 0:
                break
            k += 1
        if k >= len(masked) or masked[k] != ";":
            continue  # the expression goes on to the next line
        expr = line[start:k].strip()
        if not expr or expr in TRIVIAL_RETURNS:
            continue
        yield start, k, "{}"


STATEMENT_KEYWORDS = re.compile(
    r"^(?:return|break|continue|goto|case|default|using|typedef|namespace|template|"
    r"static_assert|class|struct|enum|union|friend|public|private|protected|co_return|"
    r"co_yield|extern|static|const|constexpr|inline|auto|else\b)\b"
)
ASSIGNMENT = re.compile(r"^[\w.\[\]>:\-*()]+?\s*(?:[-+*/%&|^]|<<|>>)?=\s*[^=\s].*$")
INCREMENT = re.compile(r"^(?:(?:\+\+|--)[\w.\[\]>:\-()]+|[\w.\[\]>:\-()]+(?:\+\+|--))$")
CALL = re.compile(r"^[\w.:\[\]>\-]+\(.*\)$")


def _balanced(s):
    depth = 0
    for ch in s:
        if ch in "([{":
            depth += 1
        elif ch in ")]}":
            depth -= 1
            if depth < 0:
                return False
    return depth == 0


def _simple_statement(s):
    """A statement that is no declaration: an assignment, an increment or a call."""
    if STATEMENT_KEYWORDS.match(s):
        return False
    if INCREMENT.match(s):
        return True
    if ASSIGNMENT.match(s):
        lhs = re.split(r"\s*(?:[-+*/%&|^]|<<|>>)?=", s, 1)[0]
        return " " not in lhs.strip() and "<" not in lhs
    if CALL.match(s):
        head = s[: s.index("(")]
        return s.index("(") > 0 and _matching_close(s, s.index("("), ")") == len(s) - 1 and (
            head.split("::")[-1].split(".")[-1] not in NOT_CALLS
        )
    return False


def op_statement_drop(line, masked, ctx):
    if not ctx.get("in_code_block"):
        return
    code = masked.strip()
    if not code.endswith(";") or not _balanced(code) or "return" in re.findall(r"\w+", code):
        return
    prev = ctx.get("prev_code", "")
    prev_ok = (
        prev == ""
        or prev[-1] in ";{}:"
        or re.fullmatch(r"(?:\}\s*)?else", prev) is not None
        or (prev.endswith(")") and re.match(r"^(?:\}\s*)?(?:else\s+)?(?:if|for|while)\b", prev)
            and _balanced(prev.lstrip("} ")))
    )
    if not prev_ok:
        return
    body = code[:-1].rstrip()
    if not body:
        return
    conditional = re.match(r"^if\s*\(", body)
    if conditional:
        # A whole one-line "if (...) statement;": the if goes with its statement, unless an
        # else on the next line needs it.
        close = _matching_close(body, body.index("("), ")")
        if close < 0 or re.match(r"^else\b", ctx.get("next_code", "")):
            return
        if not _simple_statement(body[close + 1 :].strip()):
            return
    elif not _simple_statement(body):
        return
    indent = len(line) - len(line.lstrip())
    yield indent, len(line.rstrip()), ";"


OPERATORS = {
    "rel-swap": op_rel_swap,
    "rel-flip": op_rel_flip,
    "eq-swap": op_eq_swap,
    "logic-swap": op_logic_swap,
    "not-drop": op_not_drop,
    "stmt-drop": op_statement_drop,
    "add-sub": op_add_sub_checked,
    "mul-div": op_mul_div,
    "lit-sign": op_literal_sign,
    "lit-change": op_literal_change,
    "bool-flip": op_bool_flip,
    "arg-swap": op_arg_swap,
    "return-default": op_return_default,
}


# ---------------------------------------------------------------------------------------------
# Finding the mutants of a file


def _block_kinds(masked_text):
    """For each line, whether its start lies in a block of statements (a function body, a
    lambda, a loop or branch) rather than in a class, namespace, enum or braced initialiser."""
    kinds = []
    stack = []
    prefix = ""
    for ch in masked_text:
        if ch == "\n":
            kinds.append(bool(stack) and stack[-1])
            prefix += " "
            continue
        if ch == "{":
            p = prefix.strip()
            if re.search(r"\b(class|struct|union|enum|namespace)\b", p) and not p.endswith(")"):
                kind = False
            elif re.search(r"[)\]]\s*(?:const|noexcept|override|final|mutable|->[\w:<>&*\s]+)*$",
                           p):
                kind = True
            elif re.search(r"\b(else|do|try)$", p):
                kind = True
            elif p == "":
                kind = bool(stack) and stack[-1]
            else:
                kind = False  # a braced initialiser
            stack.append(kind)
            prefix = ""
        elif ch == "}":
            if stack:
                stack.pop()
            prefix = ""
        elif ch == ";":
            prefix = ""
        else:
            prefix += ch
    kinds.append(bool(stack) and stack[-1])
    return kinds


def find_mutants(path, text, operators=None, line_range=None):
    """Every mutant of the file's text, in order of place."""
    masked_text = mask_code(text)
    lines = text.split("\n")
    masked_lines = masked_text.split("\n")
    kinds = _block_kinds(masked_text)
    code_lines = [m.strip() for m in masked_lines]
    mutants, seen = [], set()
    prev_code = ""
    for index, (line, masked) in enumerate(zip(lines, masked_lines)):
        number = index + 1
        code = code_lines[index]
        if not code:
            continue
        if line_range and not (line_range[0] <= number <= line_range[1]):
            prev_code = code
            continue
        next_code = next((c for c in code_lines[index + 1 :] if c), "")
        ctx = {"in_code_block": kinds[index], "prev_code": prev_code, "next_code": next_code}
        if code.startswith("static_assert"):
            prev_code = code
            continue  # a compile-time check: any change is a build failure, not a test
        for name, op in OPERATORS.items():
            if operators and name not in operators:
                continue
            for s, e, new in op(line, masked, ctx):
                mutated = line[:s] + new + line[e:]
                if mutated == line or (number, mutated) in seen:
                    continue
                seen.add((number, mutated))
                old_frag, new_frag = _fragments(line, mutated)
                mutants.append(
                    Mutant(path, number, s + 1, name, line, mutated, old_frag, new_frag)
                )
        prev_code = code
    return mutants


def _fragments(old, new, context=12):
    """The changed part of a line with a little of its surroundings, for reading."""
    a, b = old.strip(), new.strip()
    if len(a) <= 60:
        return a, b
    p = 0
    while p < min(len(a), len(b)) and a[p] == b[p]:
        p += 1
    q = 0
    while q < min(len(a), len(b)) - p and a[-1 - q] == b[-1 - q]:
        q += 1
    lo = max(0, p - context)
    # Widen to whole words at the edges.
    while lo > 0 and _word(a[lo - 1]) and _word(a[lo]):
        lo -= 1
    a_hi, b_hi = len(a) - q, len(b) - q
    extra = min(context, q)
    a_end, b_end = a_hi + extra, b_hi + extra
    while a_end < len(a) and _word(a[a_end - 1]) and _word(a[a_end]):
        a_end += 1
        b_end += 1
    lead = "…" if lo > 0 else ""
    tail = "…" if a_end < len(a) else ""
    return lead + a[lo:a_end] + tail, lead + b[lo:b_end] + tail


def sample_mutants(mutants, count, seed, path):
    """Up to count mutants, drawn in turn from each operator so that a frequent one (constants)
    does not crowd out the others; the same seed and file always give the same choice."""
    rng = random.Random(f"{seed}:{path}")
    groups = {}
    for m in mutants:
        groups.setdefault(m.operator, []).append(m)
    names = sorted(groups)
    rng.shuffle(names)
    for name in names:
        rng.shuffle(groups[name])
    chosen = []
    while len(chosen) < count and any(groups.values()):
        for name in names:
            if groups[name] and len(chosen) < count:
                chosen.append(groups[name].pop())
    return sorted(chosen, key=lambda m: (m.line, m.column, m.operator))


# ---------------------------------------------------------------------------------------------
# Putting a mutant in place and taking it away


class Stop(Exception):
    """SIGTERM: end the run the way Ctrl-C does, restoring the file on the way out."""


def _on_sigterm(signum, frame):
    raise Stop()


def write_keeping_backup(path, content):
    backup = Path(str(path) + BACKUP_SUFFIX)
    tmp = Path(str(path) + ".mutate-tmp")
    if not backup.exists():
        # Whole or not at all: a backup cut short by a signal would be restored over the file.
        shutil.copy2(path, tmp)
        os.replace(tmp, backup)
    tmp.write_text(content, encoding="utf-8", newline="")
    os.replace(tmp, path)


def restore(path):
    """Puts the original back and touches it: every build folder that compiled the mutant then
    compiles the original again (a kept older time would leave the mutant's object in place)."""
    backup = Path(str(path) + BACKUP_SUFFIX)
    if not backup.exists():
        return False
    tmp = Path(str(path) + ".mutate-tmp")
    shutil.copyfile(backup, tmp)
    os.replace(tmp, path)
    os.utime(path, None)
    backup.unlink()
    return True


def restore_leftovers(root, build_dir):
    """Restores files that a killed run left mutated; keeps the mutant it replaces for reading."""
    restored = []
    for backup in sorted(root.rglob("*" + BACKUP_SUFFIX)):
        rel = backup.relative_to(root)
        if rel.parts[0].startswith("build") or rel.parts[0] == ".git":
            continue
        source = Path(str(backup)[: -len(BACKUP_SUFFIX)])
        if source.exists():
            keep = build_dir / "left-mutants" / source.relative_to(root)
            keep.parent.mkdir(parents=True, exist_ok=True)
            shutil.copyfile(source, keep)
        restore(source)
        restored.append(source.relative_to(root))
    return restored


# ---------------------------------------------------------------------------------------------
# Building and testing


class Runner:
    def __init__(self, root, build_dir, jobs, test_regex, test_timeout):
        self.root = root
        self.build_dir = build_dir
        self.jobs = jobs
        self.test_regex = test_regex
        self.test_timeout = test_timeout
        self.child = None

    def run(self, cmd, log, timeout, env=None):
        """Runs cmd with its output to log; returns (exit status or None on timeout, seconds)."""
        start = time.monotonic()
        with open(log, "w", encoding="utf-8") as out:
            # A session of its own, so that a timeout or Ctrl-C ends the whole build or test run.
            self.child = subprocess.Popen(
                cmd, cwd=self.root, stdout=out, stderr=subprocess.STDOUT, env=env,
                start_new_session=True,
            )
            try:
                rc = self.child.wait(timeout=timeout)
            except subprocess.TimeoutExpired:
                self.stop_child()
                rc = None
            except BaseException:
                # Ctrl-C or SIGTERM: the build or test run goes with us, not on in the background.
                self.stop_child()
                raise
            finally:
                self.child = None
        return rc, time.monotonic() - start

    def stop_child(self):
        child = self.child
        if child is None or child.poll() is not None:
            return
        try:
            os.killpg(child.pid, signal.SIGTERM)
            child.wait(timeout=10)
        except (ProcessLookupError, subprocess.TimeoutExpired):
            try:
                os.killpg(child.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            child.wait()

    def configure(self):
        if (self.build_dir / "CMakeCache.txt").exists():
            return True
        # Without debug information the twenty-odd programs that link the core relink in a few
        # seconds; the benchmarks are no tests, so they are left out.
        cmd = ["cmake", "-S", str(self.root), "-B", str(self.build_dir),
               "-DCMAKE_BUILD_TYPE=Release", "-DBRISKO_BUILD_BENCH=OFF"]
        if shutil.which("ccache"):
            cmd.append("-DCMAKE_CXX_COMPILER_LAUNCHER=ccache")
        self.build_dir.mkdir(parents=True, exist_ok=True)
        rc, _ = self.run(cmd, self.build_dir / "mutate-configure.log", None)
        return rc == 0

    def build(self):
        cmd = ["cmake", "--build", str(self.build_dir), "-j", str(self.jobs)]
        return self.run(cmd, self.build_dir / "mutate-build.log", 3600)

    def test(self):
        cmd = ["ctest", "--test-dir", str(self.build_dir), "-j", str(self.jobs),
               "--timeout", str(self.test_timeout), "--stop-on-failure", "--no-tests=error",
               "--output-on-failure",
               # The operators' own test reads the sources this run is mutating: it says
               # nothing of the mutant, so it is no judge of it.
               "-E", "^mutate_operators$"]
        if self.test_regex:
            cmd += ["-R", self.test_regex]
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
        return self.run(cmd, self.build_dir / "mutate-test.log", 4 * 3600, env)


# ---------------------------------------------------------------------------------------------
# Choosing the files


def git_lines(root, *args):
    r = subprocess.run(["git", *args], cwd=root, capture_output=True, text=True)
    return [l for l in r.stdout.splitlines() if l.strip()] if r.returncode == 0 else []


def default_files(root):
    """The C++ sources under src/ that this branch changed since it left main (work not yet
    committed included), or else those of the last commit."""
    base = git_lines(root, "merge-base", "HEAD", "main")
    names = git_lines(root, "diff", "--name-only", base[0]) if base else []
    if not [n for n in names if _mutable_source(root, n)]:
        names = git_lines(root, "diff", "--name-only", "HEAD~1", "HEAD")
    return [n for n in names if _mutable_source(root, n)]


def _mutable_source(root, name):
    return name.startswith("src/") and name.endswith(CXX_SUFFIXES) and (root / name).is_file()


def resolve(root, name, caller_dir):
    for base in (caller_dir, root):
        if base is None:
            continue
        p = (Path(base) / name).resolve()
        if p.is_file():
            try:
                return p.relative_to(root).as_posix()
            except ValueError:
                break
    raise SystemExit(f"mutate: {name}: no such source file in this checkout")


# ---------------------------------------------------------------------------------------------
# The run


def first_line(log, pattern):
    """The first line of a log that matches, shortened, to say why a mutant ended as it did."""
    try:
        for line in Path(log).read_text(encoding="utf-8", errors="replace").splitlines():
            if re.search(pattern, line):
                line = re.sub(r"\s+", " ", line.strip())
                return line if len(line) <= 160 else line[:157] + "..."
    except OSError:
        pass
    return ""


def failed_tests(log):
    """Which test programs failed, and the first failing case in them (GoogleTest or Qt Test)."""
    try:
        text = Path(log).read_text(encoding="utf-8", errors="replace")
    except OSError:
        return ""
    # "Test  #1: core ....***Failed  5.1 sec", or "...Subprocess aborted***Exception: ..."
    programs = re.findall(r"Test +#\d+: (\S+) [^\n]*?\*\*\*(\w+(?:: \w+)?)", text)
    case = re.search(r"^\[  FAILED  \] (\S+)|^FAIL!  : (\S+)", text, re.M)
    said = ", ".join(f"{name} ({how.lower()})" for name, how in programs) or "a test failed"
    if case:
        said += ": " + (case.group(1) or case.group(2))
    return said


def mutants_again(root, report_path, survivors_only):
    """The mutants of an earlier run's report, to be run again after tests were added: the "after"
    score of the same sample. A mutant's line is looked for by its text, nearest to where it was,
    since edits elsewhere in the file move it; a line that is gone can no longer be mutated and is
    said so (it counts as neither killed nor survived)."""
    try:
        report = json.loads(Path(report_path).read_text(encoding="utf-8"))
    except (OSError, ValueError) as e:
        raise SystemExit(f"mutate: cannot read the report {report_path}: {e}")
    kept, gone = [], []
    for d in report.get("mutants", []):
        if not d.get("status") or d["status"] == "NO-BUILD":
            continue
        if survivors_only and d["status"] != "SURVIVED":
            continue
        m = Mutant(**{k: d[k] for k in ("file", "line", "column", "operator", "original",
                                          "mutated", "old", "new")})
        path = root / m.file
        lines = path.read_text(encoding="utf-8").split("\n") if path.is_file() else []
        places = [i + 1 for i, l in enumerate(lines) if l == m.original]
        if not places:
            gone.append(m)
            continue
        m.line = min(places, key=lambda i: abs(i - m.line))
        kept.append(m)
    return report, kept, gone


def fmt_seconds(s):
    return f"{s:.0f}s" if s >= 10 else f"{s:.1f}s"


def print_mutant(m, extra=""):
    status = m.status or "MUTANT"
    place = f"{m.file}:{m.line}"
    print(f"{status:<9} {place}  '{m.old}' -> '{m.new}'  ({m.operator}){extra}", flush=True)


def summary(mutants, files):
    per_file = {}
    for f in files:
        ms = [m for m in mutants if m.file == f and m.status]
        k = sum(m.status == "KILLED" for m in ms)
        s = sum(m.status == "SURVIVED" for m in ms)
        nb = sum(m.status == "NO-BUILD" for m in ms)
        score = (k / (k + s)) if k + s else None
        per_file[f] = {"killed": k, "survived": s, "no_build": nb, "score": score}
    return per_file


def score_text(k, s):
    if not k + s:
        return "none (no mutant both built and ran)"
    return f"{100 * k / (k + s):.0f}% ({k}/{k + s})"


def main(argv=None):
    parser = argparse.ArgumentParser(
        prog="brisko.sh mutate",
        description="Puts small faults into C++ sources one at a time and tells which ones the "
        "tests catch.",
    )
    add = parser.add_argument
    add("files", nargs="*", help="sources to mutate (default: those this branch changed)")
    add("--per-file", type=int, default=12, help="mutants sampled per file (12)")
    add("--seed", default="1", help="sampling seed (1); the same seed gives the same mutants")
    add("--minutes", type=float, default=30, help="stop after this long, score what ran (30)")
    add("--tests", metavar="REGEX", help="run only the tests ctest -R REGEX selects")
    add("--file-lines", metavar="FILE:START-END", action="append", default=[],
        help="mutate only these lines of FILE (may be repeated)")
    add("--operators", help="comma-separated names, all by default: " + ", ".join(OPERATORS))
    add("--list", action="store_true", help="print the sampled mutants, build nothing")
    add("--build-dir", default="build-mutate", help="build folder of its own (build-mutate)")
    add("--jobs", type=int, default=2, help="parallel build and test jobs (2)")
    add("--test-timeout", type=int, default=120, help="seconds one test may run (120)")
    add("--again", metavar="REPORT", help="run the mutants of an earlier run's mutants.json "
        "again (copy it out of the build folder first); files and sampling options are ignored")
    add("--survivors", action="store_true", help="with --again: only the mutants that survived")
    args = parser.parse_args(argv)
    if args.survivors and not args.again:
        raise SystemExit("mutate: --survivors goes with --again REPORT")

    root = Path(__file__).resolve().parent.parent
    caller_dir = os.environ.get("BRISKO_CALLER_DIR") or os.getcwd()
    build_dir = (root / args.build_dir).resolve()

    operators = None
    if args.operators:
        operators = [o.strip() for o in args.operators.split(",") if o.strip()]
        unknown = [o for o in operators if o not in OPERATORS]
        if unknown:
            raise SystemExit(f"mutate: unknown operators {unknown}; known: {', '.join(OPERATORS)}")

    ranges = {}
    for region in args.file_lines:
        m = re.fullmatch(r"(.+):(\d+)-(\d+)", region)
        if not m:
            raise SystemExit(f"mutate: --file-lines wants FILE:START-END, not '{region}'")
        ranges[resolve(root, m.group(1), caller_dir)] = (int(m.group(2)), int(m.group(3)))

    files = [resolve(root, f, caller_dir) for f in args.files]
    files += [f for f in ranges if f not in files]
    again = None
    if args.again:
        if files:
            raise SystemExit("mutate: --again takes its files from the report; name none")
        report_path = Path(caller_dir) / args.again
        again = mutants_again(root, report_path, args.survivors)
        files = list(dict.fromkeys(m.file for m in again[1] + again[2]))
    if not files:
        files = default_files(root)
        if not files:
            raise SystemExit("mutate: no C++ source under src/ changed on this branch or in the "
                             "last commit; name the files")
        print("Files changed on this branch:", " ".join(files))
    files = list(dict.fromkeys(files))

    # Only one run at a time may put mutants into this checkout.
    build_dir.mkdir(parents=True, exist_ok=True)
    lock = open(build_dir / "mutate.lock", "w")
    try:
        fcntl.flock(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
    except BlockingIOError:
        raise SystemExit(f"mutate: another mutation run is using {args.build_dir}; not starting")

    for rel in restore_leftovers(root, build_dir):
        print(f"Restored {rel} from {rel}{BACKUP_SUFFIX}, left by a run that was killed "
              f"(the mutant it held is kept in {args.build_dir}/left-mutants/)")

    sampled = []
    for f in files if again is None else []:
        text = (root / f).read_text(encoding="utf-8")
        found = find_mutants(f, text, operators, ranges.get(f))
        chosen = sample_mutants(found, args.per_file, args.seed, f)
        print(f"{f}: {len(found)} possible mutants, {len(chosen)} sampled (seed {args.seed})")
        sampled += chosen

    if again is not None:
        report, sampled, gone = again
        print(f"Again: {len(sampled)} mutants of {args.again} (seed {report.get('seed')}, "
              f"{report.get('per_file')} per file)" + (", the survivors only" if args.survivors
                                                        else ""))
        for m in gone:
            print(f"GONE      {m.file}:{m.line}  the line '{m.original.strip()}' is no longer "
                  "there; not run")

    if args.list:
        for m in sampled:
            print_mutant(m)
        return 0
    if not sampled:
        print("Nothing to mutate.")
        return 0

    signal.signal(signal.SIGTERM, _on_sigterm)
    runner = Runner(root, build_dir, args.jobs, args.tests, args.test_timeout)
    started = time.monotonic()
    deadline = started + args.minutes * 60
    interrupted = None
    current = None
    try:
        # The unchanged sources must build and pass, or no mutant would say anything.
        logs = f"{args.build_dir}/mutate-"
        if not runner.configure():
            raise SystemExit(f"mutate: cmake could not configure it; see {logs}configure.log")
        rc, bt = runner.build()
        if rc != 0:
            raise SystemExit(f"mutate: the unchanged sources do not build; see {logs}build.log")
        rc, tt = runner.test()
        if rc != 0:
            raise SystemExit(f"mutate: the tests fail without any mutant; see {logs}test.log")
        print(f"Unchanged sources: build {fmt_seconds(bt)}, tests {fmt_seconds(tt)}", flush=True)

        for m in sampled:
            if time.monotonic() > deadline:
                interrupted = f"time limit of {args.minutes:g} minutes reached"
                break
            path = root / m.file
            text = path.read_text(encoding="utf-8")
            lines = text.split("\n")
            if lines[m.line - 1] != m.original:
                raise SystemExit(f"mutate: {m.file} changed during the run; stopping")
            lines[m.line - 1] = m.mutated
            current = path
            write_keeping_backup(path, "\n".join(lines))
            rc, m.build_seconds = runner.build()
            if rc != 0:
                m.status = "NO-BUILD"
                m.reason = first_line(build_dir / "mutate-build.log", r"error:|Error ")
            else:
                rc, m.test_seconds = runner.test()
                m.status = "SURVIVED" if rc == 0 else "KILLED"
                if rc is None:
                    m.reason = "the tests ran past their time"
                elif rc != 0:
                    m.reason = failed_tests(build_dir / "mutate-test.log")
            restore(path)
            current = None
            took = f"  [build {fmt_seconds(m.build_seconds)}, tests {fmt_seconds(m.test_seconds)}]"
            print_mutant(m, took)
            if m.reason:
                print(f"          {m.reason}", flush=True)
    except (KeyboardInterrupt, Stop):
        runner.stop_child()
        interrupted = "interrupted"
    finally:
        if current is not None:
            restore(current)
        signal.signal(signal.SIGTERM, signal.SIG_DFL)

    ran = [m for m in sampled if m.status]
    per_file = summary(sampled, files)
    print()
    if interrupted:
        print(f"Stopped: {interrupted}; {len(sampled) - len(ran)} of {len(sampled)} mutants "
              "not run.")
    for f, s in per_file.items():
        print(f"{f}: killed {s['killed']}, survived {s['survived']}, "
              f"did not compile {s['no_build']}, score {score_text(s['killed'], s['survived'])}")
    k = sum(s["killed"] for s in per_file.values())
    sv = sum(s["survived"] for s in per_file.values())
    nb = sum(s["no_build"] for s in per_file.values())
    elapsed = time.monotonic() - started
    print(f"Mutation score: {score_text(k, sv)}; {nb} did not compile; {len(ran)} mutants run, "
          f"{elapsed / 60:.1f} min in all")
    if again is not None and args.survivors and not interrupted:
        # The earlier run's killed mutants stay killed: tests were added, none taken away. A
        # survivor whose line is gone went with code that could not matter: it is left out.
        before_k, before_s = again[0].get("killed", 0), again[0].get("survived", 0)
        gone = len(again[2])
        left_out = f", {gone} gone with their code left out" if gone else ""
        print(f"Score of the earlier sample now: {score_text(before_k + k, before_s - k - gone)}"
              f"{left_out} (it was {score_text(before_k, before_s)})")
    if ran:
        b = sum(m.build_seconds for m in ran) / len(ran)
        t = sum(m.test_seconds for m in ran) / len(ran)
        print(f"A mutant took {b + t:.0f} s on average: build {b:.0f} s, tests {t:.0f} s")

    report = {
        "seed": args.seed, "per_file": args.per_file, "tests": args.tests,
        "killed": k, "survived": sv, "no_build": nb,
        "score": (k / (k + sv)) if k + sv else None,
        "stopped": interrupted, "files": per_file,
        "mutants": [asdict(m) for m in sampled],
        "survivors": [{"file": m.file, "line": m.line, "operator": m.operator,
                       "original": m.original, "mutated": m.mutated}
                      for m in sampled if m.status == "SURVIVED"],
    }
    out = build_dir / "mutants.json"
    out.write_text(json.dumps(report, indent=2, ensure_ascii=False) + "\n", encoding="utf-8")
    print(f"Results in {out.relative_to(root) if out.is_relative_to(root) else out}")
    return 130 if interrupted == "interrupted" else 0


if __name__ == "__main__":
    sys.exit(main())
