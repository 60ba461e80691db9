#!/usr/bin/env python3
"""Writes a benchmark corpus of text and HTML files: English and Russian text in UTF-8,
Windows-1251 and KOI8-R, in nested folders.

usage: make_corpus.py FOLDER [--files N] [--size-kb K] [--seed S] [--rare]
Defaults: 20000 files of about 11 KB on average (about 220 MB). With --rare, a few files also
hold rare words and a phrase ("pessimistic", "пессимизм", "в конце концов"), so that searches
have something to find in few documents."""
import argparse
import os
import random

EN = ("budget report quarter annual review server purchase meeting notes travel expenses "
      "contract invoice delivery schedule project manager team plan result analysis market "
      "customer product service support network storage backup security policy update").split()
RU = ("бюджет отчет квартал годовой обзор сервер закупка совещание протокол командировка "
      "расходы договор счет поставка график проект руководитель команда план результат анализ "
      "рынок клиент продукт услуга поддержка сеть хранение копия безопасность политика").split()


def paragraph(rng, words, n):
    return " ".join(rng.choice(words) for _ in range(n)).capitalize() + "."


RARE = (("pessimistic", 0.004), ("пессимизм", 0.003), ("в конце концов", 0.005))


def text(rng, size, rare=False):
    out, total = [], 0
    if rare:
        for phrase, share in RARE:
            if rng.random() < share:
                out.append(paragraph(rng, EN if phrase.isascii() else RU, 10) + " " + phrase + ".")
    while total < size:
        lang = EN if rng.random() < 0.5 else RU
        p = paragraph(rng, lang, rng.randint(20, 80))
        out.append(p)
        total += len(p.encode("utf-8"))
    return "\n\n".join(out)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("folder")
    ap.add_argument("--files", type=int, default=20000)
    ap.add_argument("--size-kb", type=int, default=11)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--rare", action="store_true")
    a = ap.parse_args()
    rng = random.Random(a.seed)
    total = 0
    for i in range(a.files):
        folder = os.path.join(a.folder, f"d{i % 20:02d}", f"s{(i // 20) % 50:02d}")
        os.makedirs(folder, exist_ok=True)
        size = int(rng.uniform(0.2, 1.8) * a.size_kb * 1024)
        body = text(rng, size, a.rare)
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
