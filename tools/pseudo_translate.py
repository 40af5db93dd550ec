#!/usr/bin/env python3
"""Makes res/lang/qps-ploc.rc, Windows' pseudo-locale, from res/lang/en-US.rc:
every Latin letter an accented look-alike, every text about 40 % longer and
bracketed, so that untranslated, cut off or concatenated texts show at once.
The names, placeholders and escapes stay as they are.

    pseudo_translate.py            write res/lang/qps-ploc.rc
    pseudo_translate.py --check    fail if it differs from what would be written
"""

import os
import re
import sys

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
SOURCE = os.path.join(ROOT, "res", "lang", "en-US.rc")
TARGET = os.path.join(ROOT, "res", "lang", "qps-ploc.rc")

# Accented look-alikes from Latin-1 and Latin Extended-A, which the dialog
# font draws everywhere; the five letters with none there stay as they are.
LETTERS = dict(zip(
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ",
    "ábçðéƒĝĥíĵķļmñöþqŕšţüvŵxýžÅBÇÐÉFĜĤÎĴĶĻMÑÖÞQŔŠŢÛVŴXÝŽ"))
# Longest first, so that "Orvek Updater" is kept whole before "Orvek".
KEPT = r"Orvek Updater|Orvek|D/L|%%|%[-+ #0]*\d*(?:\.\d+)?(?:hh|h|ll|l|I64|I32|w)?[a-zA-Z]|\\.|\"\""
TOKENS = re.compile(KEPT + r"|.", re.S)
GROWTH = 1.4
PADDING = " !!!"

HEADER = ("// Pseudo-locale (qps-ploc): made by tools/pseudo_translate.py from en-US.rc; do not edit.\n"
          "LANGUAGE 0x101, 0x01\n")


def pseudo(text):
    """One text as written between the quotes in an rc file; an escape or a
    doubled quote counts as the one character it stands for."""
    tokens = TOKENS.findall(text)
    body = "".join(LETTERS.get(t, t) for t in tokens)
    # The length on the screen: an escape or a doubled quote shows as one character.
    length = sum(1 if t.startswith("\\") or t == '""' else len(t) for t in tokens)
    padding = max(0, round(length * GROWTH) - length - 2)
    # Groups of "!" that a message box can wrap between, never a space last.
    tail = (PADDING * padding)[:padding]
    if tail.endswith(" "):
        tail = tail[:-1] + "!"
    return "[" + body + tail + "]"


def generate(english):
    lines = english.splitlines(keepends=True)
    start = next(i for i, line in enumerate(lines) if line.startswith("LANGUAGE"))
    body = "".join(lines[start + 1:])
    body = re.sub(r'^(\s+IDS_\w+\s+)"((?:[^"]|"")*)"', lambda m: m.group(1) + '"' + pseudo(m.group(2)) + '"',
                  body, flags=re.M)
    return HEADER + body


def main(argv):
    with open(SOURCE, encoding="utf-8") as f:
        made = generate(f.read())
    if argv[1:] == ["--check"]:
        with open(TARGET, encoding="utf-8") as f:
            if f.read() != made:
                sys.exit("res/lang/qps-ploc.rc is stale: run tools/pseudo_translate.py")
        return
    with open(TARGET, "w", encoding="utf-8", newline="\n") as f:
        f.write(made)


if __name__ == "__main__":
    main(sys.argv)
