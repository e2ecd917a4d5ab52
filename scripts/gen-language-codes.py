#!/usr/bin/env python3
"""Writes src/tags/LanguageCodes.cpp from the ISO 639-2 list of Debian's iso-codes package.

Run from the repository root after the package changes:
    python3 scripts/gen-language-codes.py > src/tags/LanguageCodes.cpp
    clang-format -i src/tags/LanguageCodes.cpp
The input defaults to /usr/share/iso-codes/json/iso_639-2.json; another path may be given.

Both the terminology code (alpha_3, "deu") and the bibliographic code ("ger") are valid in a
comment frame. The range "qaa-qtz" (reserved for local use) stands for every code between.
"""
import json
import string
import subprocess
import sys


def expand(code):
    if len(code) == 3:
        return [code]
    first, last = code.split("-")
    if len(first) != 3 or len(last) != 3 or first[:1] != last[:1]:
        raise ValueError(f"unexpected code range {code!r}")
    return [
        first[0] + b + c
        for b in string.ascii_lowercase
        for c in string.ascii_lowercase
        if first <= first[0] + b + c <= last
    ]


def package_version():
    try:
        return subprocess.run(["dpkg-query", "-W", "-f=${Version}", "iso-codes"],
                              capture_output=True, text=True, check=True).stdout.strip()
    except (OSError, subprocess.CalledProcessError):
        return ""


def main():
    path = sys.argv[1] if len(sys.argv) > 1 else "/usr/share/iso-codes/json/iso_639-2.json"
    with open(path, encoding="utf-8") as f:
        entries = json.load(f)["639-2"]
    codes = set()
    for entry in entries:
        for key in ("alpha_3", "bibliographic"):
            if key in entry:
                codes.update(expand(entry[key].lower()))
    for code in codes:
        if len(code) != 3 or not all(c in string.ascii_lowercase for c in code):
            raise ValueError(f"unexpected code {code!r}")
    codes = sorted(codes)

    out = sys.stdout
    version = package_version()
    out.write("// Generated from Debian's iso-codes package" + (f" {version}" if version else "")
              + " (iso_639-2.json); do not edit.\n")
    out.write("// Made from the repository root with:\n")
    out.write("//   python3 scripts/gen-language-codes.py > src/tags/LanguageCodes.cpp\n")
    out.write("//   clang-format -i src/tags/LanguageCodes.cpp\n")
    out.write('#include "tags/LanguageCodes.h"\n\n')
    out.write("#include <algorithm>\n#include <array>\n#include <string_view>\n\n")
    out.write("namespace {\n\n")
    out.write(f"// {len(codes)} codes, sorted, lower case.\n")
    out.write(f"constexpr std::array<std::string_view, {len(codes)}> Codes = {{\n")
    for i in range(0, len(codes), 10):
        out.write("    " + ", ".join(f'"{c}"' for c in codes[i:i + 10]) + ",\n")
    out.write("};\n\n")
    out.write("} // namespace\n\n")
    out.write("bool IsISO6392Code(const QString& code) {\n")
    out.write("    if (code.size() != 3)\n        return false;\n")
    out.write("    char lower[3];\n")
    out.write("    for (int i = 0; i < 3; ++i) {\n")
    out.write("        const char16_t c = code.at(i).unicode();\n")
    out.write("        if (c >= u'A' && c <= u'Z')\n")
    out.write("            lower[i] = char(c - u'A' + 'a');\n")
    out.write("        else if (c >= u'a' && c <= u'z')\n")
    out.write("            lower[i] = char(c);\n")
    out.write("        else\n            return false;\n")
    out.write("    }\n")
    out.write("    return std::binary_search(Codes.begin(), Codes.end(), "
              "std::string_view(lower, 3));\n")
    out.write("}\n")


if __name__ == "__main__":
    main()
