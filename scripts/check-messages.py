#!/usr/bin/env python3
"""Every message the program can show stands in Readme.txt's messages chapter.

Messages are the wide string literals of src/ that hold a sentence's end (。 or ？) or end in a
line break (the head of a question built around a name); adjacent literals join, and a message built around a name or path is checked piece by piece. Line breaks
and indentation are folded away on both sides, so the manual may wrap a message as it likes."""
import pathlib, re, sys

root = pathlib.Path(__file__).resolve().parent.parent
# Texts that are not messages: help pop-ups, tooltips (tip...), the folder browser's heading and
# the welcome page, which the manual's installation chapter tells in its own words.
SKIP_FILES = {"src/core/HelpTopics.cpp"}
SKIP_NAMES = {"welcome", "prompt"}  # prompt: the folder browser's heading
literal = re.compile(r'L"((?:[^"\\]|\\.)*)"')
joined = re.compile(r'(?:L"(?:[^"\\]|\\.)*"\s*)+')

def unescape(s):
    return re.sub(r'\\(.)', lambda m: {'r': '\r', 'n': '\n', 't': '\t'}.get(m.group(1), m.group(1)), s)

def fold(s):
    return re.sub(r'\s+', '', s)

def messages():
    for path in sorted(p for p in (root / "src").rglob("*") if p.suffix in (".cpp", ".h")):
        rel = path.relative_to(root).as_posix()
        if rel in SKIP_FILES:
            continue
        text = path.read_text(encoding="utf-8")
        text = re.sub(r'^\s*//.*$', '', text, flags=re.M)
        for m in joined.finditer(text):
            value = unescape("".join(literal.findall(m.group(0))))
            if not re.search(r'[。？]', value) and not value.endswith("\r\n"):
                continue
            owner = re.search(r'(\w+)\s*(?:\[\d*\])?\s*=\s*$', text[max(0, m.start() - 200):m.start()])
            if owner and (owner.group(1).startswith("tip") or owner.group(1) in SKIP_NAMES):
                continue
            line = text.count("\n", 0, m.start()) + 1
            yield rel, line, value

def chapter(readme):
    text = readme.read_text(encoding="utf-8-sig")  # line ends read as \n
    start = text.find("メッセージと対処\n---")
    end = text.find("\n---", start + 40)
    end = text.find("\n---", end + 10) if end >= 0 else -1
    return text[start:end] if start >= 0 else ""

def main():
    manual = fold(chapter(root / "docs" / "Readme.txt"))
    if not manual:
        print("Readme.txt has no messages chapter"); return 1
    missing = 0
    for rel, line, value in messages():
        for piece in re.split(r'[\r\n]+', value):
            if fold(piece) and fold(piece) not in manual:
                print(f"{rel}:{line}: not in Readme.txt's messages chapter: {piece}")
                missing += 1
    print(f"messages checked against Readme.txt: {missing} missing")
    return 1 if missing else 0

sys.exit(main())
