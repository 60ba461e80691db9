#!/usr/bin/env python3
"""Prose for the code-page detector: its training text and the benchmark's test text.

usage: codepage_corpus.py FOLDER [--model OUT.inc]

Russian prose comes from the Debian packages fortunes-ru (fortune cookies: aphorisms, dialogues,
jokes) and manpages-ru (translated manual pages); English prose from fortunes-min and manpages
(the English manual pages). Each source is split by file, alternately, into a training half and
a test half, so the benchmark never measures the detector on text it learnt from. FOLDER receives
ru_train.txt, ru_test.txt, en_train.txt and en_test.txt (UTF-8). With --model, the letter-pair
model of the detector is learnt from the training halves and written as a C++ include.
"""
import argparse
import glob
import gzip
import math
import os
import random
import re
import subprocess

FORTUNES_RU = "/usr/share/games/fortunes/ru"
FORTUNES_EN = "/usr/share/games/fortunes"
MAN_RU = "/usr/share/man/ru"

ROFF_ESCAPES = [
    (re.compile(r"\\f(\[[^\]]*\]|\(..|.)"), ""),
    (re.compile(r"\\\(em"), "—"), (re.compile(r"\\\(en"), "–"),
    (re.compile(r"\\\((aq|cq)"), "'"), (re.compile(r"\\\((dq|lq|rq)"), '"'),
    (re.compile(r"\\\(Fo"), "«"), (re.compile(r"\\\(Fc"), "»"),
    (re.compile(r"\\\(bu"), "•"), (re.compile(r"\\\(co"), "©"),
    (re.compile(r"\\\(..|\\\[[^\]]*\]"), ""),
    (re.compile(r"\\\*(\(..|\[[^\]]*\]|.)"), ""),
    (re.compile(r"\\[-]"), "-"), (re.compile(r"\\e"), r"\\\\"),
    (re.compile(r"\\[&|^:%c]"), ""), (re.compile(r"\\ "), " "),
    (re.compile(r"\\s[-+]?\d"), ""),
]


def roff_text(path):
    with gzip.open(path, "rt", encoding="utf-8", errors="replace") as f:
        lines = []
        for line in f:
            if line.startswith((".", "'")):
                # Keep the words of the font macros (.B word, .I word), drop the rest.
                m = re.match(r"\.(B|I|BR|IR|RB|RI|BI|IB|SH|SS)\s+(.*)", line)
                if not m:
                    continue
                line = m.group(2).replace('"', "") + "\n"
            for pattern, repl in ROFF_ESCAPES:
                line = pattern.sub(repl, line)
            lines.append(line)
    return "".join(lines)


def fortune_files(folder):
    return sorted(p for p in glob.glob(os.path.join(folder, "*"))
                  if os.path.isfile(p) and not p.endswith((".dat", ".u8")))


def fortune_text(path):
    with open(path, encoding="utf-8", errors="replace") as f:
        return "\n".join(x.strip("\n") for x in f.read().split("\n%\n"))


def split(paths):
    return paths[0::2], paths[1::2]


def typographic(text, rng):
    """English as typeset prose: curly quotes and apostrophes, dashes, ellipses."""
    text = re.sub(r"(\w)'(\w)", "\\1’\\2", text)
    text = re.sub(r'"([^"\n]{1,200})"', "“\\1”", text)
    text = text.replace(" -- ", " — ").replace("...", "…")
    return text


def collect(folder):
    ru_f_train, ru_f_test = split(fortune_files(FORTUNES_RU))
    # The pages that list character sets are tables of every character, not prose.
    charsets = re.compile(r"/(armscii|ascii|charsets|cp\d+|iso[-_]8859|koi8|latin\d+|tis-620"
                          r"|unicode|utf-8)[^/]*$")
    ru_m = sorted(p for p in glob.glob(os.path.join(MAN_RU, "man*", "*.gz"))
                  if not charsets.search(p))
    ru_m_train, ru_m_test = split(ru_m)
    en_f_train, en_f_test = split(fortune_files(FORTUNES_EN))
    # The English pages of one package, so that the corpus does not depend on what else is
    # installed.
    listed = subprocess.run(["dpkg", "-L", "manpages"], capture_output=True, text=True).stdout
    en_m = sorted(p for p in listed.split()
                  if re.search(r"/man/man\d/[^/]+\.gz$", p) and not charsets.search(p))
    en_m_train, en_m_test = split(en_m)
    rng = random.Random(7)
    out = {
        "ru_train": [fortune_text(p) for p in ru_f_train] + [roff_text(p) for p in ru_m_train],
        "ru_test": [fortune_text(p) for p in ru_f_test] + [roff_text(p) for p in ru_m_test],
        "en_train": [fortune_text(p) for p in en_f_train] + [roff_text(p) for p in en_m_train],
        "en_test": [fortune_text(p) for p in en_f_test] + [roff_text(p) for p in en_m_test],
    }
    for key in ("en_train", "en_test"):
        out[key] = [typographic(t, rng) if i % 2 else t for i, t in enumerate(out[key])]
    os.makedirs(folder, exist_ok=True)
    texts = {}
    for key, parts in out.items():
        text = "\n".join(parts)
        texts[key] = text
        with open(os.path.join(folder, key + ".txt"), "w", encoding="utf-8") as f:
            f.write(text)
        print(f"{key}: {len(parts)} files, {len(text.encode('utf-8')) / 1e6:.1f} MB")
    return texts


# ------------------------------------------------------------------------------------------
# The model. Every character falls into one class; a Russian letter is its own class, folded
# to lower case, with the case kept apart. The detector scores each candidate code page by the
# log-probability of the class sequence its decoding gives.

RUSSIAN = "абвгдеёжзийклмнопрстуфхцчшщъыьэюя"
OTHER_CYRILLIC, LATIN, DIGIT, SPACE = range(33, 37)
# Each ASCII punctuation mark and each typographic sign is a class of its own: which of them
# sits next to a letter tells much ("«" opens a word, "—" stands between blanks).
ASCII_PUNCT = [chr(c) for c in range(0x21, 0x7F) if not chr(c).isalnum()]
TYPO_CHARS = "\u00a0«»„“”‘’‚‹›–—…•·№\u00ad"
FIRST_PUNCT = SPACE + 1
FIRST_TYPO = FIRST_PUNCT + len(ASCII_PUNCT)
SYMBOL = FIRST_TYPO + len(TYPO_CHARS)
BOX, RARE = SYMBOL + 1, SYMBOL + 2
CLASSES = RARE + 1
SYMBOL_CHARS = "©®°§±™€µ¶¦¬¤‰†‡¢£≠≤≥∞÷√≈∆ƒ∂²⌠⌡∙"
CODE_PAGES = ["cp1251", "koi8_r", "cp866", "iso8859_5", "mac_cyrillic"]


def char_class(ch):
    """(class, upper case)"""
    low = ch.lower()
    if low in RUSSIAN:
        return RUSSIAN.index(low), ch != low
    if "\u0400" <= ch <= "\u04ff":
        return OTHER_CYRILLIC, ch != low
    if ch.isascii():
        if ch.isalpha():
            return LATIN, ch.isupper()
        if ch.isdigit():
            return DIGIT, False
        if ch in " \t\r\n":
            return SPACE, False
        if ch in ASCII_PUNCT:
            return FIRST_PUNCT + ASCII_PUNCT.index(ch), False
        return RARE, False
    if ch in TYPO_CHARS:
        return FIRST_TYPO + TYPO_CHARS.index(ch), False
    if ch in SYMBOL_CHARS:
        return SYMBOL, False
    if "\u2500" <= ch <= "\u259f" or ch == "■":
        return BOX, False
    if ch.isalpha():
        return LATIN, ch.isupper()  # é, ü: no candidate gives them, training text has some
    return RARE, False


def case_state(cls, upper):
    if cls <= LATIN:
        return 2 if upper else 1
    return 0


def learn(texts, out_path):
    # Box-drawing characters are left to the smoothing (unlikely everywhere): the detector
    # scores only the start of a run of one repeated byte, so a table's lines cost little, while
    # Russian words read in the wrong code page as strings of varied box characters cost much.
    # English counts three times: it is a third of the Russian text's size, and its own habits
    # (" … ", "“word”" between Latin words) must not drown in the Russian ones.
    training = [texts["ru_train"]] + [texts["en_train"]] * 3
    pairs = [[0] * CLASSES for _ in range(CLASSES)]
    case = [[0, 0] for _ in range(3)]  # [state before][upper]
    for text in training:
        prev, state = SPACE, 0
        for ch in text:
            cls, upper = char_class(ch)
            # What the training text holds beyond the candidates' characters (arrows, CJK) only
            # separates words; the rare class itself is left to the smoothing.
            if cls == RARE:
                cls = SPACE
            pairs[prev][cls] += 1
            if cls <= OTHER_CYRILLIC:
                case[state][1 if upper else 0] += 1
            prev, state = cls, case_state(cls, upper)
    # Add-one smoothing, and a floor: a class pair never seen in training is unlikely, not
    # impossible (a single odd pair must not outweigh the rest of a sample).
    pair_log = []
    for row in pairs:
        total = sum(row) + CLASSES
        pair_log.append([math.log((n + 1) / total) for n in row])
    case_log = []
    for lower, upper in case:
        total = lower + upper + 2
        case_log.append([math.log((lower + 1) / total), math.log((upper + 1) / total)])

    byte_classes = []
    for cp in CODE_PAGES:
        row = []
        for b in range(256):
            try:
                ch = bytes([b]).decode(cp)
            except UnicodeDecodeError:
                ch = "\ufffd"
            cls, upper = char_class(ch)
            row.append(cls + (CLASSES if upper else 0))
        byte_classes.append(row)

    with open(out_path, "w", encoding="utf-8") as f:
        f.write("// Generated by bench/codepage_corpus.py --model from the training half of its\n"
                "// corpus. Do not edit: run the script again.\n\n")
        f.write(f"constexpr int kClasses = {CLASSES};\n")
        f.write(f"constexpr int kLastLetterClass = {OTHER_CYRILLIC};\n")
        f.write(f"constexpr int kLatinClass = {LATIN};\n")
        f.write(f"constexpr int kSpaceClass = {SPACE};\n")
        f.write("// A byte's entry is its class, plus kClasses for a letter in upper case.\n")
        f.write(f"constexpr int kEntries = {CLASSES + LATIN + 1};\n\n")
        f.write("// Byte to entry in each candidate code page, in the order\n"
                "// " + ", ".join(CODE_PAGES) + ".\n")
        f.write(f"constexpr std::uint8_t kByteClass[{len(CODE_PAGES)}][256] = {{\n")
        for row in byte_classes:
            f.write("    {" + ", ".join(str(x) for x in row) + "},\n")
        f.write("};\n\n")
        f.write("// Natural logarithm of P(class | previous class).\n")
        f.write(f"constexpr float kPairLog[kClasses][kClasses] = {{\n")
        for row in pair_log:
            f.write("    {" + ", ".join(f"{x:.3f}f" for x in row) + "},\n")
        f.write("};\n\n")
        f.write("// Natural logarithm of P(lower, upper | previous: no letter, lower, upper) for\n"
                "// a Cyrillic letter.\n")
        f.write("constexpr float kCaseLog[3][2] = {\n")
        for lower, upper in case_log:
            f.write(f"    {{{lower:.3f}f, {upper:.3f}f}},\n")
        f.write("};\n")
    print(f"model written to {out_path}")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("folder")
    ap.add_argument("--model")
    a = ap.parse_args()
    texts = collect(a.folder)
    if a.model:
        learn(texts, a.model)


if __name__ == "__main__":
    main()
