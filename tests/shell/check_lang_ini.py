#!/usr/bin/python3
"""The shipped language files as another INI reader sees them: every file parses (raw values, keys'
letter case kept), has the sections and keys of the first, and no key is empty."""
import configparser
import sys


def read(path):
    parser = configparser.ConfigParser(interpolation=None, strict=True)
    parser.optionxform = str  # keys keep their case
    with open(path, encoding="utf-8-sig") as f:
        parser.read_file(f)
    return parser


def main(paths):
    reference = read(paths[0])
    failures = []
    for path in paths:
        parser = read(path)
        if parser.sections() != reference.sections():
            failures.append(f"{path}: sections {parser.sections()} differ")
        for section in reference.sections():
            if not parser.has_section(section):
                continue
            keys, want = list(parser[section]), list(reference[section])
            if sorted(keys) != sorted(want):
                failures.append(f"{path} [{section}]: keys differ: {sorted(set(keys) ^ set(want))}")
            failures += [f"{path} [{section}] {k} is empty" for k in keys if not parser[section][k].strip()]
        if not parser.has_option("INFO", "LangName_InEnglish"):
            failures.append(f"{path}: no INFO/LangName_InEnglish")
    print("\n".join(failures) or f"{len(paths)} language file(s) agree")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
