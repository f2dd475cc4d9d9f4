"""Counts pixels in a picture of a window, for the Windows session check to see what the window
shows without knowing its fonts. Reads a binary PPM (what `import -window ID ppm:-` writes) on
standard input and prints one number.

  windows_screen.py dark [--lower-half]   pixels darker than mid-grey: text and lines
  windows_screen.py colour RRGGBB         pixels of exactly this colour
"""

import argparse
import sys


def read_ppm(stream):
    data = stream.read()
    fields = []
    at = 0
    # Magic, width, height and maximum, separated by white space, comments allowed.
    while len(fields) < 4:
        while data[at : at + 1].isspace():
            at += 1
        if data[at : at + 1] == b"#":
            at = data.index(b"\n", at) + 1
            continue
        end = at
        while not data[end : end + 1].isspace():
            end += 1
        fields.append(data[at:end])
        at = end
    if fields[0] != b"P6" or fields[3] != b"255":
        sys.exit("expected an 8-bit binary PPM")
    width, height = int(fields[1]), int(fields[2])
    return width, height, data[at + 1 : at + 1 + 3 * width * height]


def main():
    parser = argparse.ArgumentParser()
    commands = parser.add_subparsers(dest="command", required=True)
    dark = commands.add_parser("dark")
    dark.add_argument("--lower-half", action="store_true")
    colour = commands.add_parser("colour")
    colour.add_argument("rgb")
    arguments = parser.parse_args()

    width, height, pixels = read_ppm(sys.stdin.buffer)
    if arguments.command == "dark":
        first_row = height // 2 if arguments.lower_half else 0
        count = 0
        for at in range(3 * width * first_row, len(pixels), 3):
            red, green, blue = pixels[at], pixels[at + 1], pixels[at + 2]
            if 299 * red + 587 * green + 114 * blue < 128 * 1000:
                count += 1
        print(count)
    else:
        wanted = bytes.fromhex(arguments.rgb)
        print(sum(1 for at in range(0, len(pixels), 3) if pixels[at : at + 3] == wanted))


if __name__ == "__main__":
    main()
