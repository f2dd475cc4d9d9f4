"""Deterministic mixed Chinese/ASCII text in UTF-8, for timing editors on the same bytes."""

import os
import random

HANZI = (
    "的一是在不了有和人这中大为上个国我以要他时来用们生到作地于出就分对成会可主发年动同工也能"
    "下过子说产种面而方后多定行学法所民得经十三之进着等部度家电力里如水化高自二理起小物现实加量"
    "都两体制机当使点从业本去把性好应开它合还因由其些然前外天政四日那社义事平形相全表间样与关各"
    "重新线内数正心反你明看原又么利比或但质气第向道命此变条只没结解问意建月公无系军很情者最立代"
    "想已通并提直题党程展五果料象员革位入常文总次品式活设及管特件长求老头基资边流路级少图山统接"
    "知较将组见计别她手角期根论运农指几九区强放决西被干做必战先回则任取据处队南给色光门即保治北"
    "造百规热领七海口东导器压志世金增争济阶油思术极交受联什认六共权收证改清己美再采转更单风切打")
WORDS = ("alpha", "beta", "gamma", "delta", "editor", "buffer", "line", "row", "wrap", "gutter",
         "Qt", "UTF-8", "x=42;", "foo()", "bar[i]", "0x7f", "test", "value", "12345", "end.")
PUNCT = "，。、；：？！"


def _fragment(rng):
    if rng.random() < 0.55:
        return "".join(rng.choice(HANZI) for _ in range(rng.randint(2, 8))) + rng.choice(PUNCT)
    return " ".join(rng.choice(WORDS) for _ in range(rng.randint(1, 4))) + " "


def _pool(rng, count):
    lines = []
    for _ in range(count):
        parts = []
        # Mostly short lines, now and then an empty one or one that wraps.
        for _ in range(rng.choice((0, 1, 2, 3, 3, 4, 5, 6, 9))):
            parts.append(_fragment(rng))
        lines.append("".join(parts).rstrip())
    return lines


def write_lines(path, size, seed=1):
    """About `size` bytes of numbered lines, cut at a line end at or below `size`."""
    rng = random.Random(seed)
    pool = [line.encode() for line in _pool(rng, 4096)]
    written = 0
    number = 1
    with open(path, "wb") as out:
        while True:
            batch = []
            for index in rng.choices(range(len(pool)), k=4096):
                line = b"%d " % number + pool[index] + b"\n"
                if written + len(line) > size:
                    out.write(b"".join(batch))
                    return
                batch.append(line)
                written += len(line)
                number += 1
            out.write(b"".join(batch))


def write_one_line(path, size, seed=2):
    """Exactly `size` bytes of mixed text on a single line with no line break."""
    rng = random.Random(seed)
    pool = [line.encode() for line in _pool(rng, 4096) if line]
    chunks = []
    total = 0
    while total < size:
        piece = rng.choice(pool) + b" "
        chunks.append(piece)
        total += len(piece)
    data = b"".join(chunks)
    # Cut at an ASCII byte, never inside a multibyte character, and pad back to the size.
    end = size
    while data[end - 1] >= 0x80:
        end -= 1
    data = data[:end] + b"x" * (size - end)
    with open(path, "wb") as out:
        out.write(data)


def ensure(path, kind, size):
    """Writes the file unless an earlier run already left one of the right size."""
    if os.path.exists(path) and os.path.getsize(path) == size_for(path, kind, size):
        return path
    tmp = path + ".part"
    (write_lines if kind == "lines" else write_one_line)(tmp, size)
    os.replace(tmp, path)
    return path


def size_for(path, kind, size):
    # Line files are cut at a line end, so only their upper bound is known beforehand.
    if kind == "lines":
        actual = os.path.getsize(path)
        return actual if size - 4096 <= actual <= size else -1
    return size
