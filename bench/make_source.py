#!/usr/bin/env python3
"""Writes a large, valid Quillark source for timing the compiler.

The source has the requested number of topics (popup topics included), laid
out as chapters (level 1 titles), sections (level 2) and subsections
(level 3), with lower-level headings inside the bodies, jumps between topics
and to popup topics, index keywords, bullets, formatting, and now and then a
code, syntax or example block. The same arguments always give the same bytes.

The help tables hold at most 2999 records each, and every topic puts its own
title into the keyword table, so the keywords written in the bodies are kept
few enough that the largest source (2900 topics) still fits.

Usage: bench/make_source.py --topics N [--seed S] OUTPUT.txt
"""

import argparse
import random
import sys

MAX_TOPICS = 2900
# Keyword records: one per topic title plus the keyword pairs below.
TABLE_ROOM = 2999
POPUP_EVERY = 20

NOUNS = (
    "filter", "gadget", "index", "window", "printer", "folder", "record",
    "report", "session", "table", "profile", "channel", "archive", "ledger",
    "button", "palette", "cursor", "network", "buffer", "schedule",
)
VERBS = (
    "Configuring", "Checking", "Importing", "Exporting", "Sorting", "Naming",
    "Sharing", "Locking", "Printing", "Merging", "Tracing", "Tuning",
)
WORDS = (
    "the", "help", "system", "shows", "each", "page", "with", "a", "title",
    "and", "some", "text", "that", "explains", "how", "to", "use", "this",
    "part", "of", "program", "when", "you", "open", "it", "for", "first",
    "time", "settings", "are", "kept", "until", "change", "them", "again",
)


def topic_names(count, rng):
    """Unique topic names of at most 40 characters, starting with a letter."""
    names = []
    for n in range(count):
        verb = VERBS[rng.randrange(len(VERBS))]
        noun = NOUNS[rng.randrange(len(NOUNS))]
        names.append("%s %ss %d" % (verb, noun, n + 1))
    return names


def sentence(rng, length):
    words = [WORDS[rng.randrange(len(WORDS))] for _ in range(length)]
    words[0] = words[0].capitalize()
    return " ".join(words) + "."


def paragraph(rng, sentences):
    return " ".join(sentence(rng, rng.randint(6, 14)) for _ in range(sentences))


def build(count, seed):
    rng = random.Random(seed)
    names = topic_names(count, rng)
    # Topic 0 is a chapter, so the first title is level 1 and no later topic
    # may outrank it.
    is_popup = [n > 0 and n % POPUP_EVERY == POPUP_EVERY - 1 for n in range(count)]
    popups = [names[n] for n in range(count) if is_popup[n]]
    pages = [n for n in range(count) if not is_popup[n]]
    keyword_budget = max(0, TABLE_ROOM - count - 1)
    keyword_every = max(1, -(-len(pages) // keyword_budget)) if keyword_budget else 0

    out = ["Generated source: %d topics, seed %d. Text before the first topic "
           "produces nothing." % (count, seed), ""]
    for position, n in enumerate(pages):
        name = names[n]
        level = 1 if position % 25 == 0 else (2 if position % 5 == 0 else 3)
        out.append("<topic>%s</topic>" % name)
        out.append("<head%d>%s</head%d>" % (level, name, level))
        out.append(paragraph(rng, 3))
        out.append("")
        line = "See <jump_topic>%s</jump_topic>" % names[pages[position - 1]]
        line += " and <jump_topic>%s</jump_topic>" % names[pages[(position + 1) % len(pages)]]
        far = pages[rng.randrange(len(pages))]
        line += ", or jump ahead to <bold><jump_topic>%s</jump_topic></bold>." % names[far]
        if popups:
            line += " A short note: <jump_popup>%s</jump_popup>." % popups[
                rng.randrange(len(popups))]
        out.append(line)
        if keyword_every and position % keyword_every == 0 and keyword_budget > 0:
            keyword_budget -= 1
            noun = NOUNS[rng.randrange(len(NOUNS))]
            out.append("This page covers the <keyword>%s settings</keyword> too." % noun)
        sub = min(6, level + 2)
        out.append("<head%d>Details</head%d>" % (sub, sub))
        out.append("<blob/> <italic>%s</italic>" % sentence(rng, 8))
        out.append("<blob/> %s <underline>%s</underline>" % (
            sentence(rng, 7), NOUNS[rng.randrange(len(NOUNS))]))
        out.append(paragraph(rng, 2))
        if position % 7 == 3:
            out.append("<code>")
            out.append("  open %s --mode=%d" % (NOUNS[position % len(NOUNS)], position))
            out.append("  if (count < 10 && size > 2) { retry(); }")
            out.append("</code>")
        if position % 11 == 5:
            out.append("<syntax>")
            out.append("%s [-v] <file> [options]" % VERBS[position % len(VERBS)].lower())
            out.append("</syntax>")
        if position % 13 == 6:
            out.append("<example>")
            out.append("  > %s %d" % (NOUNS[position % len(NOUNS)], position))
            out.append("  done.")
            out.append("</example>")
        out.append("<endtopic/>")
        out.append("")
    for n in range(count):
        if is_popup[n]:
            out.append("<popup>%s</popup>" % names[n])
            out.append("<head3>%s</head3>" % names[n])
            out.append(paragraph(rng, 2))
            out.append("<endtopic/>")
            out.append("")
    return "\r\n".join(out) + "\r\n"


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--topics", type=int, required=True,
                        help="number of topics, popups included (1 to %d)" % MAX_TOPICS)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("output")
    args = parser.parse_args(argv)
    if not 1 <= args.topics <= MAX_TOPICS:
        parser.error("--topics must be between 1 and %d" % MAX_TOPICS)
    with open(args.output, "wb") as f:
        f.write(build(args.topics, args.seed).encode("ascii"))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
