#!/usr/bin/env python3
"""Writes a large, valid Quillark source for timing the compiler.

The source reads like a real manual: chapters (level 1 titles), sections
(level 2) and subsections (level 3), each page about 4 KB long with several
paragraphs, lower-level headings, bullet lists, formatting and colours, jumps
between topics and to popup topics, web links, index keywords, pictures beside
the text and on lines of their own, and now and then a code, syntax, example
or diagram block. The pictures are small BMP files written beside the source.
The same arguments always give the same bytes.

The help tables hold at most 2999 records each, and every topic puts its own
title into the keyword table, so the keywords written in the bodies are kept
few enough that the largest source (2900 topics) still fits.

Usage: bench/make_source.py --topics N [--seed S] OUTPUT.txt
"""

import argparse
import os
import random
import struct
import sys

MAX_TOPICS = 2900
# Keyword records: one per topic title plus the keyword pairs below.
TABLE_ROOM = 2999
POPUP_EVERY = 20
PICTURES = ("toolbar.bmp", "dialog.bmp", "icon.bmp")

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
    "(see", "below)", "values", "between", "1", "and", "100", "\"quoted\"",
    "name's", "&", "options,", "saved;", "C:\\data", "{braces}", "50%",
)
COLOURS = ("<clr_dark_blue/>", "<clr_dark_red/>", "<clr_dark_green/>")


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


def formatted_paragraph(rng):
    """A paragraph with emphasis and a colour, as real pages have."""
    parts = [sentence(rng, rng.randint(6, 12))]
    parts.append("<bold>%s</bold>" % sentence(rng, 4))
    parts.append(sentence(rng, rng.randint(6, 12)))
    parts.append("<italic>%s</italic>" % sentence(rng, 5))
    colour = COLOURS[rng.randrange(len(COLOURS))]
    parts.append("%s%s<clr_none/>" % (colour, sentence(rng, 5)))
    parts.append("<underline>%s</underline>" % NOUNS[rng.randrange(len(NOUNS))])
    parts.append(sentence(rng, rng.randint(8, 14)))
    return " ".join(parts)


def bitmap(width, height, seed):
    """A 24-bit bottom-up Windows bitmap of the given size."""
    row_bytes = (width * 3 + 3) // 4 * 4
    pixels = bytearray()
    for y in range(height):
        row = bytearray()
        for x in range(width):
            row += bytes(((x * 7 + seed) % 256, (y * 5 + seed) % 256, (x + y + seed) % 256))
        row += bytes(row_bytes - len(row))
        pixels += row
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835,
                         2835, 0, 0)
    file_header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(pixels), 0, 0, 14 + 40)
    return file_header + header + bytes(pixels)


def write_pictures(folder):
    sizes = ((48, 16), (64, 40), (16, 16))
    for n, (name, (w, h)) in enumerate(zip(PICTURES, sizes)):
        with open(os.path.join(folder, name), "wb") as f:
            f.write(bitmap(w, h, 40 * n))


def page_body(rng, position, names, pages, popups, level):
    out = []
    out.append(formatted_paragraph(rng))
    out.append("")
    out.append(paragraph(rng, 7))
    out.append("")
    out.append(paragraph(rng, 6))
    out.append("")
    line = "See <jump_topic>%s</jump_topic>" % names[pages[position - 1]]
    line += " and <jump_topic>%s</jump_topic>" % names[pages[(position + 1) % len(pages)]]
    far = pages[rng.randrange(len(pages))]
    line += ", or jump ahead to <bold><jump_topic>%s</jump_topic></bold>." % names[far]
    if popups:
        line += " A short note: <jump_popup>%s</jump_popup>." % popups[
            rng.randrange(len(popups))]
    out.append(line)
    sub = min(6, level + 2)
    out.append("<head%d>Before you start</head%d>" % (sub, sub))
    for _ in range(rng.randint(3, 6)):
        out.append("<blob/> %s" % sentence(rng, rng.randint(5, 10)))
    out.append("")
    picture = PICTURES[position % len(PICTURES)]
    if position % 3 == 0:
        out.append("<img_center>%s</img_center>" % picture)
    else:
        out.append("<img_left>%s</img_left> %s" % (picture, paragraph(rng, 2)))
    out.append(formatted_paragraph(rng))
    out.append("")
    out.append("<head%d>Details</head%d>" % (sub, sub))
    out.append(paragraph(rng, 7))
    out.append("")
    out.append(formatted_paragraph(rng))
    out.append("")
    out.append(paragraph(rng, 6))
    out.append("")
    if position % 4 == 1:
        out.append("<code>")
        for k in range(rng.randint(3, 7)):
            out.append("  open %s --mode=%d --level=%d" % (NOUNS[(position + k) % len(NOUNS)],
                                                          position, k))
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
    if position % 17 == 8:
        out.append("<diagrams>")
        out.append("  +------+      +------+")
        out.append("  | %-4s | ---> | %-4s |" % (NOUNS[position % len(NOUNS)][:4], "out"))
        out.append("  +------+      +------+")
        out.append("</diagrams>")
    out.append("<head%d>Notes</head%d>" % (sub, sub))
    for _ in range(rng.randint(2, 4)):
        out.append("<blob/> %s" % sentence(rng, rng.randint(8, 14)))
    out.append("")
    out.append(paragraph(rng, 6))
    out.append("More at <jump_web>www.example.com/%s</jump_web>." % NOUNS[position % len(NOUNS)])
    return out


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
        if keyword_every and position % keyword_every == 0 and keyword_budget > 0:
            keyword_budget -= 1
            noun = NOUNS[rng.randrange(len(NOUNS))]
            out.append("This page covers the <keyword>%s settings</keyword> too." % noun)
        out.extend(page_body(rng, position, names, pages, popups, level))
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
    write_pictures(os.path.dirname(os.path.abspath(args.output)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
