#!/usr/bin/env python3
"""Writes a benchmark corpus of text and HTML files: English and Russian text in UTF-8,
Windows-1251 and KOI8-R, in nested folders.

usage: make_corpus.py FOLDER [--files N] [--size-kb K] [--seed S] [--rare] [--prose] [--late]
Defaults: 20000 files of about 11 KB on average (about 220 MB). With --rare, a few files also
hold rare words and a phrase ("pessimistic", "пессимизм", "в конце концов"), so that searches
have something to find in few documents. With --prose, the text is drawn from a large
vocabulary of made-up words with the skewed frequencies of real prose (a few words very common,
most of them rare), and a third of the files hold the word "quarterly" (another third,
"ежеквартальный"), so that a common word lists a third of the corpus. With --late, a third of
the files end with the word "semiannual": a common word found only at the end of each text."""
import argparse
import bisect
import os
import random

EN = ("budget report quarter annual review server purchase meeting notes travel expenses "
      "contract invoice delivery schedule project manager team plan result analysis market "
      "customer product service support network storage backup security policy update").split()
RU = ("бюджет отчет квартал годовой обзор сервер закупка совещание протокол командировка "
      "расходы договор счет поставка график проект руководитель команда план результат анализ "
      "рынок клиент продукт услуга поддержка сеть хранение копия безопасность политика").split()


def paragraph(rng, words, n):
    pick = (lambda: words.choice(rng)) if isinstance(words, Prose) else (lambda: rng.choice(words))
    return " ".join(pick() for _ in range(n)).capitalize() + "."


RARE = (("pessimistic", 0.004), ("пессимизм", 0.003), ("в конце концов", 0.005))
COMMON = (("quarterly", "ежеквартальный"), 1 / 3)
LATE = ("semiannual", 1 / 3)


def vocabulary(rng, letters, size):
    """Made-up words of two to five syllables, the first ones the given common words."""
    consonants = [c for c in letters if c not in "aeiouyаеёиоуыэюя"]
    vowels = [c for c in letters if c in "aeiouyаеёиоуыэюя"]
    words = set()
    while len(words) < size:
        words.add("".join(rng.choice(consonants) + rng.choice(vowels)
                          for _ in range(rng.randint(2, 5))))
    return sorted(words)


class Prose:
    """Words by Zipf's law over a vocabulary: the common words first, then made-up ones."""

    def __init__(self, rng, common, letters, size=30000):
        made = vocabulary(rng, letters, size)
        rng.shuffle(made)
        self.words = common + made
        weights = [1 / (rank + 1) ** 1.05 for rank in range(len(self.words))]
        total = sum(weights)
        acc, self.cumulative = 0.0, []
        for w in weights:
            acc += w / total
            self.cumulative.append(acc)

    def choice(self, rng):
        return self.words[min(bisect.bisect(self.cumulative, rng.random()), len(self.words) - 1)]


def text(rng, size, rare=False, prose=None, late=False):
    en, ru = prose if prose else (EN, RU)
    out, total = [], 0
    if rare:
        for phrase, share in RARE:
            if rng.random() < share:
                out.append(paragraph(rng, EN if phrase.isascii() else RU, 10) + " " + phrase + ".")
    for word in COMMON[0] if prose else ():
        if rng.random() < COMMON[1]:
            out.append(paragraph(rng, en if word.isascii() else ru, 12) + " " + word + ".")
    while total < size:
        lang = en if rng.random() < 0.5 else ru
        p = paragraph(rng, lang, rng.randint(20, 80))
        out.append(p)
        total += len(p.encode("utf-8"))
    if late and rng.random() < LATE[1]:
        out.append(LATE[0] + ".")
    return "\n\n".join(out)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("folder")
    ap.add_argument("--files", type=int, default=20000)
    ap.add_argument("--size-kb", type=int, default=11)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--rare", action="store_true")
    ap.add_argument("--prose", action="store_true")
    ap.add_argument("--late", action="store_true")
    a = ap.parse_args()
    rng = random.Random(a.seed)
    prose = None
    if a.prose:
        prose = (Prose(rng, EN, "abcdefghijklmnopqrstuvwxyz"),
                 Prose(rng, RU, "абвгдеёжзийклмнопрстуфхцчшщыэюя"))
    total = 0
    for i in range(a.files):
        folder = os.path.join(a.folder, f"d{i % 20:02d}", f"s{(i // 20) % 50:02d}")
        os.makedirs(folder, exist_ok=True)
        size = int(rng.uniform(0.2, 1.8) * a.size_kb * 1024)
        body = text(rng, size, a.rare, prose, a.late)
        kind = i % 4
        if kind == 3:
            name = f"page{i}.html"
            data = ("<html><head><meta charset=\"utf-8\"><title>Page %d</title>"
                    "<meta name=\"author\" content=\"Author %d\"></head><body>\n" % (i, i % 97)
                    + "".join("<p>%s</p>\n" % p for p in body.split("\n\n"))
                    + "</body></html>\n").encode("utf-8")
        else:
            name = f"doc{i}.txt"
            enc = ("utf-8", "cp1251", "koi8-r")[kind]
            data = body.encode(enc, errors="replace")
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)
        total += len(data)
    print(f"{a.files} files, {total / 1e6:.1f} MB in {a.folder}")


if __name__ == "__main__":
    main()
