"""Reads the resources of a Windows program and checks what the system and Explorer take from
them: the icon's images, the version information and the application manifest. Exits non-zero
and says what is wrong when one is missing or mangled.

  windows_resources.py PROGRAM.exe VERSION
"""

import struct
import sys
import xml.etree.ElementTree as ElementTree

RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24
WINDOWS_10_AND_11 = "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"


def resources(image):
    """Maps (type, name) to the data of the first language of each resource."""
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    if image[pe : pe + 4] != b"PE\0\0":
        sys.exit("not a PE file")
    sections, optional_size = struct.unpack_from("<H12xH", image, pe + 6)
    optional = pe + 24
    if struct.unpack_from("<H", image, optional)[0] != 0x20B:
        sys.exit("not a 64-bit program")
    resource_rva = struct.unpack_from("<I", image, optional + 112 + 2 * 8)[0]
    if resource_rva == 0:
        return {}
    table = optional + optional_size

    def offset(rva):
        for index in range(sections):
            size, address, _, raw = struct.unpack_from("<IIII", image, table + 40 * index + 8)
            if address <= rva < address + size:
                return rva - address + raw
        sys.exit(f"address {rva:#x} lies in no section")

    base = offset(resource_rva)

    def entries(directory):
        named, numbered = struct.unpack_from("<HH", image, base + directory + 12)
        for index in range(named + numbered):
            name, target = struct.unpack_from("<II", image, base + directory + 16 + 8 * index)
            yield name, target

    found = {}
    for kind, names in entries(0):
        for name, languages in entries(names & 0x7FFFFFFF):
            _, leaf = next(entries(languages & 0x7FFFFFFF))
            rva, size = struct.unpack_from("<II", image, base + leaf)
            found[(kind, name)] = image[offset(rva) : offset(rva) + size]
    return found


def version_nodes(data, at=0):
    """One node of VS_VERSIONINFO: (key, value bytes, children)."""
    length, value_length, kind = struct.unpack_from("<HHH", data, at)
    end = at + length
    key_end = at + 6
    while data[key_end : key_end + 2] != b"\0\0":
        key_end += 2
    key = data[at + 6 : key_end].decode("utf-16-le")
    position = (key_end + 2 + 3) & ~3
    size = value_length * 2 if kind == 1 else value_length
    value = data[position : position + size]
    position = (position + size + 3) & ~3
    children = []
    while position < end:
        child, position = version_nodes(data, position)
        children.append(child)
        position = (position + 3) & ~3
    return (key, value, children), end


def check(program, version):
    problems = []
    with open(program, "rb") as file:
        found = resources(file.read())

    groups = sorted(name for kind, name in found if kind == RT_GROUP_ICON)
    if groups[:1] != [1]:
        problems.append(f"the first icon group is {groups[:1]}, not 1: Explorer shows the lowest")
    else:
        group = found[(RT_GROUP_ICON, 1)]
        count = struct.unpack_from("<H", group, 4)[0]
        sizes = set()
        for index in range(count):
            width, _, _, _, _, bits, _, icon = struct.unpack_from("<BBBBHHIH", group, 6 + 14 * index)
            sizes.add(width)
            if (RT_ICON, icon) not in found:
                problems.append(f"the icon group names image {icon}, which is missing")
            if bits < 24:
                problems.append(f"the {width}-pixel image has only {bits} bits a pixel")
        if not {16, 32, 48} <= sizes:
            problems.append(f"the icon has images of {sorted(sizes)} pixels, not 16, 32 and 48")

    if (RT_VERSION, 1) not in found:
        problems.append("no version information")
    else:
        (_, fixed, children), _ = version_nodes(found[(RT_VERSION, 1)])
        signature, _, high, low = struct.unpack_from("<IIII", fixed)
        numbers = [high >> 16, high & 0xFFFF, low >> 16]
        if signature != 0xFEEF04BD or numbers != [int(part) for part in version.split(".")]:
            problems.append(f"the file version is {numbers}, not {version}")
        tables = {key: grandchildren for key, _, grandchildren in children}
        strings = {}
        for table, _, values in tables.get("StringFileInfo", []):
            if table.lower() == "080404b0":
                strings = {key: value.decode("utf-16-le").rstrip("\0") for key, value, _ in values}
        if not strings:
            problems.append("no version strings for Simplified Chinese in UTF-16 (080404b0)")
        for key in ("CompanyName", "FileDescription", "ProductName", "LegalCopyright"):
            text = strings.get(key, "")
            # UTF-8 read as a Western code page turns each Chinese character into Latin-1 letters.
            if not any("\u4e00" <= c <= "\u9fff" for c in text) or any(
                "\u0080" <= c <= "\u00ff" and c != "\u00a9" for c in text
            ):
                problems.append(f"the version string {key} is not Chinese as written: {text!r}")
        if strings.get("FileVersion") != version or strings.get("ProductVersion") != version:
            problems.append(f"the version strings say {strings.get('FileVersion')}, not {version}")
        if strings.get("OriginalFilename") != "tambrel.exe":
            problems.append(f"OriginalFilename is {strings.get('OriginalFilename')!r}")
        translations = [value for key, value, _ in tables.get("VarFileInfo", []) if key == "Translation"]
        if translations != [struct.pack("<HH", 0x0804, 1200)]:
            problems.append(f"the translation is {translations}, not Simplified Chinese in UTF-16")

    if (RT_MANIFEST, 1) not in found:
        problems.append("no application manifest")
    else:
        manifest = ElementTree.fromstring(found[(RT_MANIFEST, 1)])
        by_name = {}
        for element in manifest.iter():
            by_name.setdefault(element.tag.split("}")[-1], []).append(element)

        def texts(name):
            return [(element.text or "").strip() for element in by_name.get(name, [])]

        if "activeCodePage" in by_name:
            problems.append("the manifest sets an active code page: documents need the system's")
        if not any(t.startswith("PerMonitorV2") for t in texts("dpiAwareness")):
            problems.append("the manifest does not ask for per-monitor (v2) DPI awareness")
        levels = [e.get("level") for e in by_name.get("requestedExecutionLevel", [])]
        if levels != ["asInvoker"]:
            problems.append(f"the execution level is {levels}, not asInvoker")
        controls = [
            e.get("version")
            for e in by_name.get("assemblyIdentity", [])
            if e.get("name") == "Microsoft.Windows.Common-Controls"
        ]
        if controls != ["6.0.0.0"]:
            problems.append(f"Common Controls {controls}, not 6.0.0.0: no visual styles")
        systems = [e.get("Id", "").lower() for e in by_name.get("supportedOS", [])]
        if WINDOWS_10_AND_11 not in systems:
            problems.append("the manifest does not name Windows 10 and 11 as supported")
    return problems


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    problems = check(sys.argv[1], sys.argv[2])
    for problem in problems:
        print(f"{sys.argv[1]}: {problem}", file=sys.stderr)
    if problems:
        sys.exit(1)
    print(f"{sys.argv[1]}: icon 16/32/48, Chinese version information {sys.argv[2]}, manifest")


if __name__ == "__main__":
    main()
