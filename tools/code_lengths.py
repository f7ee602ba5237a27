#!/usr/bin/env python3
"""Lengths of the C++ sources under the folders given: every file over the file limit, every
function over the function limit, and the longest functions.

    tools/code_lengths.py [--file-limit 500] [--function-limit 80] [--top 10] FOLDER...

A function is counted from the first line of its signature to its closing brace, comments and
blank lines included; functions written inside a class count too, lambdas count with the function
they are written in. The reading is a brace count over the code with comments and literals taken
out, not a compiler's: good for measuring, not for proving. Exits with 1 when anything is over.
"""

import argparse
import pathlib
import re
import sys

SOURCE_SUFFIXES = {".cpp", ".h", ".hpp", ".cc"}
SCOPE_HEAD = re.compile(r"\b(namespace|class|struct|union|enum|extern)\b")
CALL_HEAD = re.compile(r"([~\w:<>,\s*&]+?)\s*\((.*)\)\s*(const|override|final|noexcept|mutable|"
                       r"->[^{]*|:.*|\s)*$", re.S)


def blank_out(code):
    """The code with comments and string and character literals replaced by spaces, lines kept."""
    out = []
    i, n = 0, len(code)
    while i < n:
        c = code[i]
        if code.startswith("//", i):
            end = code.find("\n", i)
            end = n if end < 0 else end
            out.append(" " * (end - i))
            i = end
        elif code.startswith("/*", i):
            end = code.find("*/", i + 2)
            end = n if end < 0 else end + 2
            out.append(re.sub(r"[^\n]", " ", code[i:end]))
            i = end
        elif c == "R" and code.startswith('R"', i) and (i == 0 or not code[i - 1].isalnum()):
            open_paren = code.find("(", i)
            delimiter = code[i + 2:open_paren]
            end = code.find(")" + delimiter + '"', open_paren)
            end = n if end < 0 else end + len(delimiter) + 2
            out.append(re.sub(r"[^\n]", " ", code[i:end]))
            i = end
        elif c in "\"'":
            j = i + 1
            while j < n and code[j] != c:
                j += 2 if code[j] == "\\" else 1
            out.append(" " * (j + 1 - i))
            i = j + 1
        else:
            out.append(c)
            i += 1
    return "".join(out)


def functions(path):
    """(name, first line, length) of every function defined in the file."""
    code = blank_out(path.read_text(encoding="utf-8", errors="replace"))
    found = []
    stack = []  # per open brace: (kind, first line, name); kinds: function, block, init, scope
    head_start = 0
    for pos, c in enumerate(code):
        inside = any(kind in ("function", "block") for kind, _, _ in stack)
        if c == ";" and not inside:
            head_start = pos + 1
        elif c == "{":
            head = code[head_start:pos]
            if inside:
                stack.append(("block", 0, ""))
            elif IsInitialiser(head):
                stack.append(("init", 0, ""))  # a member's braces in a constructor's list
            else:
                kind, name = classify(head)
                stack.append((kind, FirstLine(code, head_start, pos), name))
                head_start = pos + 1
        elif c == "}" and stack:
            kind, first, name = stack.pop()
            if kind == "function":
                found.append((name, first, code.count("\n", 0, pos) + 1 - first + 1))
            if kind != "init" and not any(k in ("function", "block") for k, _, _ in stack):
                head_start = pos + 1
    return found


def FirstLine(code, start, end):
    """The line of the first code of a head: not blank, not a preprocessor line."""
    offset = start
    for line in code[start:end].split("\n"):
        if line.strip() and not line.strip().startswith("#"):
            return code.count("\n", 0, offset + len(line) - len(line.lstrip())) + 1
        offset += len(line) + 1
    return code.count("\n", 0, end) + 1


def IsInitialiser(head):
    """Whether a brace opens a member's value in a constructor's initialiser list: a(b), c{"""
    text = head.rstrip()
    close = text.rfind(")")
    return close >= 0 and ":" in text[close:] and bool(re.search(r"[\w>]$", text))


def classify(head):
    text = " ".join(line for line in head.splitlines() if not line.strip().startswith("#"))
    text = re.sub(r"\btemplate\s*<[^>]*>", " ", text).strip()
    before_call = text.split("(")[0]
    if not text or SCOPE_HEAD.search(before_call):
        return "scope", ""
    if "=" in before_call and "operator" not in before_call:
        return "scope", ""  # an initializer, such as a table written at namespace scope
    match = CALL_HEAD.match(text)
    if not match or not match.group(1).split():
        return "scope", ""
    return "function", match.group(1).split()[-1]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("folders", nargs="+")
    parser.add_argument("--file-limit", type=int, default=500)
    parser.add_argument("--function-limit", type=int, default=80)
    parser.add_argument("--top", type=int, default=10)
    args = parser.parse_args()

    files = sorted(p for folder in args.folders for p in pathlib.Path(folder).rglob("*")
                   if p.suffix in SOURCE_SUFFIXES)
    over = False
    all_functions = []
    longest_file = max(files, key=lambda p: len(p.read_text(errors="replace").splitlines()))
    for path in files:
        lines = len(path.read_text(encoding="utf-8", errors="replace").splitlines())
        if lines > args.file_limit:
            print(f"file over {args.file_limit} lines: {path} ({lines})")
            over = True
        all_functions += [(length, str(path), first, name)
                          for name, first, length in functions(path)]
    all_functions.sort(reverse=True)
    for length, path, first, name in all_functions:
        if length > args.function_limit:
            print(f"function over {args.function_limit} lines: {path}:{first} {name} ({length})")
            over = True
    longest_lines = len(longest_file.read_text(errors="replace").splitlines())
    print(f"{len(files)} files, longest {longest_file} ({longest_lines} lines); "
          f"{len(all_functions)} functions, the {args.top} longest:")
    for length, path, first, name in all_functions[:args.top]:
        print(f"  {length:4d}  {path}:{first} {name}")
    return 1 if over else 0


if __name__ == "__main__":
    sys.exit(main())
