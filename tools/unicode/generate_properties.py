#!/usr/bin/env python3
"""Generates text/unicode_property_table.cpp: the Unicode properties the text core segments by.

Run by hand when the Unicode version changes, not at build time:

    tools/unicode/generate_properties.py [unicode-data folder] [output.cpp]

The folder is where Debian's unicode-data package puts the Unicode Character Database
(/usr/share/unicode). Every code point gets one packed record (the layout is described in
text/unicode_properties.h and must match RECORD_FIELDS below):

  - Grapheme_Cluster_Break, from auxiliary/GraphemeBreakProperty.txt, except that surrogate
    code points (in UTF-16 text, halves without their partner) are Control rather than Other,
    so that such a half is a cluster of its own and no mark after it hides it;
  - Extended_Pictographic, from emoji/emoji-data.txt;
  - Indic_Conjunct_Break, the property rule GB9c of Unicode 15.1 segments by. The 15.0 data has
    no such property, so it is derived here the way 15.1 derives it:
      Linker     Indic_Syllabic_Category=Virama in Bengali, Devanagari, Gujarati, Oriya, Telugu
                 and Malayalam (exactly U+094D, U+09CD, U+0ACD, U+0B4D, U+0C4D, U+0D4D);
      Consonant  Indic_Syllabic_Category=Consonant in those six scripts (by the Script
                 property, which also covers the letters outside the scripts' main blocks);
      Extend     Grapheme_Cluster_Break=Extend with a canonical combining class other than 0,
                 other than the linkers, and ZERO WIDTH JOINER. This is the set CLDR proposed
                 as ExtCccZwj and 15.1 adopted; later versions widened it, but matching 15.1
                 keeps our clusters the ones that version's test data expects.
  - a word class for word motion: letters, digits, marks and connector punctuation make words;
    letters and digits of Han, Hiragana, Katakana, Hangul and Bopomofo make ideograph runs, as
    do private-use characters (GBK's user-defined characters land there, and Chinese users make
    them as extra ideographs) and unassigned code points of the ideographic planes 2 and 3;
    spaces are Zs and TAB; CR and LF are line breaks; everything else is punctuation.
  - the strong direction of extracted/DerivedBidiClass.txt (L, or R and AL), with the defaults
    its @missing lines give unlisted code points;
  - the general category, from extracted/DerivedGeneralCategory.txt.

The table has two stages: the code points are cut into chunks of CHUNK_SIZE, equal chunks are
stored once, and each code point's entry in its chunk is an index into the list of distinct
records.
"""

import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parents[2]
DEFAULT_DATA = pathlib.Path("/usr/share/unicode")
DEFAULT_OUTPUT = ROOT / "text/unicode_property_table.cpp"

CODE_POINTS = 0x110000
CHUNK_SHIFT = 7
CHUNK_SIZE = 1 << CHUNK_SHIFT

# Value lists in the order of the enums in text/unicode_properties.h.
GRAPHEME_BREAK = ["Other", "CR", "LF", "Control", "Extend", "ZWJ", "Regional_Indicator",
                  "Prepend", "SpacingMark", "L", "V", "T", "LV", "LVT"]
CONJUNCT_BREAK = ["None", "Linker", "Consonant", "Extend"]
WORD_CLASS = ["Word", "Ideograph", "Punctuation", "Space", "LineBreak"]
DIRECTION = ["None", "LeftToRight", "RightToLeft"]
GENERAL_CATEGORY = ["Lu", "Ll", "Lt", "Lm", "Lo", "Mn", "Mc", "Me", "Nd", "Nl", "No", "Pc",
                    "Pd", "Ps", "Pe", "Pi", "Pf", "Po", "Sm", "Sc", "Sk", "So", "Zs", "Zl",
                    "Zp", "Cc", "Cf", "Cs", "Co", "Cn"]

# (name, bit offset, bit count): must match the constants in text/unicode_properties.h.
RECORD_FIELDS = [("grapheme_break", 0, 4), ("extended_pictographic", 4, 1),
                 ("conjunct_break", 5, 2), ("word_class", 7, 3), ("direction", 10, 2),
                 ("general_category", 12, 5)]

CONJUNCT_SCRIPTS = {"Bengali", "Devanagari", "Gujarati", "Oriya", "Telugu", "Malayalam"}
EXPECTED_LINKERS = {0x094D, 0x09CD, 0x0ACD, 0x0B4D, 0x0C4D, 0x0D4D}
IDEOGRAPH_SCRIPTS = {"Han", "Hiragana", "Katakana", "Hangul", "Bopomofo"}
ZERO_WIDTH_JOINER = 0x200D


def fail(message):
    sys.exit(f"generate_properties.py: {message}")


def parse_range(text):
    first, _, last = text.strip().partition("..")
    return int(first, 16), int(last or first, 16)


def ranges(path):
    """Yields (first, last, fields) for every data line of a UCD file."""
    for line in path.read_text(encoding="utf-8").splitlines():
        data = line.partition("#")[0].strip()
        if not data:
            continue
        fields = [field.strip() for field in data.split(";")]
        first, last = parse_range(fields[0])
        yield first, last, fields[1:]


def missing_defaults(path):
    """Yields (first, last, value) for the @missing lines, in file order."""
    for line in path.read_text(encoding="utf-8").splitlines():
        match = re.match(r"#\s*@missing:\s*([0-9A-F.]+)\s*;\s*(\S+)", line)
        if match:
            first, last = parse_range(match.group(1))
            yield first, last, match.group(2)


def fill(values, first, last, value):
    for code_point in range(first, last + 1):
        values[code_point] = value


def property_of(path, default, accept=None):
    """Each code point's value in a file of one property; with `accept`, whether it has that
    value (for files that list several binary properties)."""
    values = [default] * CODE_POINTS
    for first, last, fields in ranges(path):
        if accept is None or fields[0] == accept:
            fill(values, first, last, fields[0] if accept is None else True)
    return values


def script_aliases(data):
    """Short script names (Hani) to the long ones Scripts.txt uses (Han)."""
    aliases = {}
    for line in (data / "PropertyValueAliases.txt").read_text(encoding="utf-8").splitlines():
        fields = [field.strip() for field in line.partition("#")[0].split(";")]
        if len(fields) >= 3 and fields[0] == "sc":
            aliases[fields[1]] = fields[2]
    return aliases


def script_extensions(data, scripts):
    aliases = script_aliases(data)
    extensions = [{script} for script in scripts]
    for first, last, fields in ranges(data / "ScriptExtensions.txt"):
        names = {aliases[name] for name in fields[0].split()}
        for code_point in range(first, last + 1):
            extensions[code_point] = names
    return extensions


def read_properties(data):
    grapheme_break = property_of(data / "auxiliary/GraphemeBreakProperty.txt", "Other")
    fill(grapheme_break, 0xD800, 0xDFFF, "Control")
    pictographic = property_of(data / "emoji/emoji-data.txt", False, "Extended_Pictographic")
    category = property_of(data / "extracted/DerivedGeneralCategory.txt", "Cn")
    combining_class = [0] * CODE_POINTS
    for first, last, fields in ranges(data / "extracted/DerivedCombiningClass.txt"):
        fill(combining_class, first, last, int(fields[0]))
    scripts = property_of(data / "Scripts.txt", "Unknown")
    extensions = script_extensions(data, scripts)
    syllabic = property_of(data / "IndicSyllabicCategory.txt", "Other")

    bidi_path = data / "extracted/DerivedBidiClass.txt"
    bidi = ["L"] * CODE_POINTS
    for first, last, value in missing_defaults(bidi_path):
        fill(bidi, first, last, value)
    for first, last, fields in ranges(bidi_path):
        fill(bidi, first, last, fields[0])
    return grapheme_break, pictographic, category, combining_class, scripts, extensions, \
        syllabic, bidi


def conjunct_break(code_point, grapheme_break, combining_class, scripts, syllabic):
    in_six = scripts[code_point] in CONJUNCT_SCRIPTS
    if in_six and syllabic[code_point] == "Virama":
        return "Linker"
    if in_six and syllabic[code_point] == "Consonant":
        return "Consonant"
    if code_point == ZERO_WIDTH_JOINER:
        return "Extend"
    if grapheme_break[code_point] == "Extend" and combining_class[code_point] != 0:
        return "Extend"
    return "None"


def word_class(code_point, category, extensions):
    if code_point in (0x0A, 0x0D):
        return "LineBreak"
    if code_point == 0x09 or category == "Zs":
        return "Space"
    if category == "Co":
        return "Ideograph"
    if category == "Cn":
        return "Ideograph" if 0x20000 <= code_point <= 0x3FFFF else "Word"
    if category[0] in "LMN" or category == "Pc":
        return "Ideograph" if extensions[code_point] & IDEOGRAPH_SCRIPTS else "Word"
    return "Punctuation"


def direction(bidi_class):
    """The data lines give short value names, the @missing lines long ones."""
    if bidi_class in ("L", "Left_To_Right"):
        return "LeftToRight"
    if bidi_class in ("R", "AL", "Right_To_Left", "Arabic_Letter"):
        return "RightToLeft"
    return "None"


def pack(values):
    record = 0
    for (name, offset, bits), value in zip(RECORD_FIELDS, values):
        if value >= 1 << bits:
            fail(f"{name} value {value} needs more than {bits} bits")
        record |= value << offset
    return record


def records(data):
    grapheme_break, pictographic, category, combining_class, scripts, extensions, syllabic, \
        bidi = read_properties(data)
    packed = []
    linkers = set()
    for code_point in range(CODE_POINTS):
        conjunct = conjunct_break(code_point, grapheme_break, combining_class, scripts, syllabic)
        if conjunct == "Linker":
            linkers.add(code_point)
        packed.append(pack([
            GRAPHEME_BREAK.index(grapheme_break[code_point]),
            1 if pictographic[code_point] else 0,
            CONJUNCT_BREAK.index(conjunct),
            WORD_CLASS.index(word_class(code_point, category[code_point], extensions)),
            DIRECTION.index(direction(bidi[code_point])),
            GENERAL_CATEGORY.index(category[code_point]),
        ]))
    if linkers != EXPECTED_LINKERS:
        fail(f"the linkers are {sorted(map(hex, linkers))}, not the six viramas")
    return packed


def two_stages(packed):
    distinct = sorted(set(packed))
    index_of = {record: index for index, record in enumerate(distinct)}
    chunks = []
    chunk_index = {}
    chunk_of = []
    for start in range(0, CODE_POINTS, CHUNK_SIZE):
        chunk = tuple(index_of[record] for record in packed[start:start + CHUNK_SIZE])
        if chunk not in chunk_index:
            chunk_index[chunk] = len(chunks)
            chunks.append(chunk)
        chunk_of.append(chunk_index[chunk])
    return distinct, chunk_of, chunks


def c_array(type_name, name, values, per_line, width=None):
    """An array definition; hexadecimal with `width` digits, or decimal without."""
    lines = [f"const {type_name} {name}[{len(values)}] = {{"]
    for start in range(0, len(values), per_line):
        part = values[start:start + per_line]
        row = ", ".join(f"{value:#0{width + 2}x}" if width else str(value) for value in part)
        lines.append(f"    {row},")
    lines.append("};")
    return "\n".join(lines)


def write(output, distinct, chunk_of, chunks, data):
    if len(distinct) > 256:
        fail(f"{len(distinct)} distinct records do not fit the byte-wide second stage")
    if len(chunks) > 65536:
        fail(f"{len(chunks)} chunks do not fit the first stage")
    version = "unknown"
    match = re.search(r"GraphemeBreakProperty-([0-9.]+)\.txt",
                      (data / "auxiliary/GraphemeBreakProperty.txt").read_text(encoding="utf-8"))
    if match:
        version = match.group(1)
    flat = [index for chunk in chunks for index in chunk]
    text = f"""// Generated by tools/unicode/generate_properties.py from the Unicode {version} data files.
// Do not edit: run the generator again instead.
#include "text/unicode_properties.h"

namespace tambrel::text::unicode_table {{

static_assert(kChunkShift == {CHUNK_SHIFT});

{c_array("std::uint32_t", "kRecords", distinct, 8, 5)}

{c_array("std::uint16_t", "kChunkOf", chunk_of, 16)}

{c_array("std::uint8_t", "kRecordIndex", flat, 24)}

}}  // namespace tambrel::text::unicode_table
"""
    output.write_text(text, encoding="utf-8")
    size = len(distinct) * 4 + len(chunk_of) * 2 + len(flat)
    print(f"{output}: {len(distinct)} records, {len(chunks)} chunks, {size} bytes")


def main():
    data = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else DEFAULT_DATA
    output = pathlib.Path(sys.argv[2]) if len(sys.argv) > 2 else DEFAULT_OUTPUT
    if not (data / "auxiliary/GraphemeBreakProperty.txt").exists():
        fail(f"no Unicode data in {data} (apt-get install unicode-data)")
    packed = records(data)
    distinct, chunk_of, chunks = two_stages(packed)
    write(output, distinct, chunk_of, chunks, data)


if __name__ == "__main__":
    main()
