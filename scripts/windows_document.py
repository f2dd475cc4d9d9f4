"""Documents for the Windows session check, made without any of the program's code, so that a
fault in its encoder cannot hide itself.

  windows_document.py sample FILE
      writes a plain GBK document of Chinese lines, with CR LF breaks, one line long enough to
      wrap, and the word "abc" in it for the find step
  windows_document.py scramble PLAIN OUT [--append TEXT] [--replace-first OLD NEW]
      writes what the program should save after opening PLAIN (read as GBK) and editing it so:
      the text in code page 936 with every character's code lowered by one, then "-RgPw"
"""

import argparse
import sys

# The program's fixed shift and end marker.
SHIFT = 1
MARKER = b"-RgPw"


def sample_text():
    lines = ["第一行：这是一个中文文档的开头。"]
    for number in range(2, 31):
        lines.append(f"第{number}行 文字和数字 {number * 7}")
    lines[9] = "第十行 abc 在这里，后面还有 abc 一次。"
    lines[14] = "第十五行很长：" + "春眠不觉晓，处处闻啼鸟。夜来风雨声，花落知多少。" * 6
    return "\r\n".join(lines) + "\r\n"


def scramble(text):
    out = bytearray()
    for character in text:
        encoded = character.encode("gbk")
        code = int.from_bytes(encoded, "big") - SHIFT
        if len(encoded) == 1:
            if code < 0:
                sys.exit(f"{character!r} has no code below it: choose other text")
            out.append(code)
        else:
            lead, trail = divmod(code, 256)
            # Lowered into a column that is not a trail byte, the character would come back as
            # "?"; the session's text must not need that.
            if lead != encoded[0] or trail < 0x40 or trail == 0x7F:
                sys.exit(f"{character!r} does not survive the shift: choose other text")
            out += bytes([lead, trail])
    return bytes(out) + MARKER


def main():
    parser = argparse.ArgumentParser()
    commands = parser.add_subparsers(dest="command", required=True)
    sample = commands.add_parser("sample")
    sample.add_argument("file")
    edit = commands.add_parser("scramble")
    edit.add_argument("plain")
    edit.add_argument("out")
    edit.add_argument("--append", default="")
    edit.add_argument("--replace-first", nargs=2, metavar=("OLD", "NEW"))
    arguments = parser.parse_args()

    if arguments.command == "sample":
        with open(arguments.file, "wb") as file:
            file.write(sample_text().encode("gbk"))
        return
    with open(arguments.plain, "rb") as file:
        text = file.read().decode("gbk")
    text += arguments.append
    if arguments.replace_first:
        old, new = arguments.replace_first
        if old not in text:
            sys.exit(f"{old!r} is not in the text")
        text = text.replace(old, new, 1)
    with open(arguments.out, "wb") as file:
        file.write(scramble(text))


if __name__ == "__main__":
    main()
