#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Checks the manual pages against the programs, so that they cannot drift apart.

    check_manual_pages.py TAONSCOPE-CLI CLI-PAGE [OTHER-PAGE...]

Every page (plain or gzip-compressed) must render under man without a warning and have the sections of
a manual page. In the page of taonscope-cli, every command that `taonscope-cli --help` names needs an
entry under COMMANDS and a line in SYNOPSIS, every option an entry (.TP) in the OPTIONS subsection
"Options of COMMAND" of each command whose usage names it (options of no command: anywhere in OPTIONS),
and every exit status an entry under EXIT STATUS; OPTIONS may describe no option that --help does not
name. Each missing or stale entry is reported by name, with where to add it.
"""
import gzip
import os
import re
import subprocess
import sys

SECTIONS = ["NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "EXIT STATUS", "FILES", "ENVIRONMENT",
            "EXAMPLES", "SEE ALSO"]
LONG_OPTION = re.compile(r"--[a-z0-9][a-z0-9-]*")


def read_page(path):
    opener = gzip.open if path.endswith(".gz") else open
    with opener(path, "rt", encoding="utf-8") as page:
        return page.read()


def plain(roff):
    """The text of a roff line without font changes and with its escaped minus signs as "-"."""
    text = re.sub(r"\\f(\[[^]]*\]|\(..|.)", "", roff)
    text = text.replace("\\-", "-").replace("\\&", "").replace("\\(lq", '"').replace("\\(rq", '"')
    return re.sub(r'^\.(B|I|BI|IB|BR|RB|IR|RI)\s+', "", text).replace('"', "")


def tagged_entries(roff):
    """(section, subsection, tag) of every .TP entry: the tag is the line after .TP, made plain."""
    entries, section, subsection = [], "", ""
    lines = roff.splitlines()
    for i, line in enumerate(lines):
        if line.startswith(".SH "):
            section, subsection = plain(line[4:]).strip(), ""
        elif line.startswith(".SS "):
            subsection = plain(line[4:]).strip()
        elif line.strip() == ".TP" and i + 1 < len(lines):
            entries.append((section, subsection, plain(lines[i + 1]).strip()))
    return entries


def render(path):
    """The page as man shows it, and what man says about it, checked as lintian checks a package."""
    env = dict(os.environ, MANWIDTH="200", LC_ALL="C.UTF-8")
    env.pop("MANPAGER", None)
    env.pop("PAGER", None)
    check = subprocess.run(["man", "--warnings", "-E", "UTF-8", "-l", "-Tutf8", "-Z", path],
                           env=env, capture_output=True, text=True)
    shown = subprocess.run(["man", "--no-hyphenation", "--no-justification", "-l", path],
                           env=env, capture_output=True, text=True, check=True)
    text = re.sub(r".\x08", "", shown.stdout)
    return text, (check.stderr.strip() if check.returncode == 0 else check.stderr.strip() or "man failed")


def rendered_sections(text):
    """Section heading -> its rendered text."""
    sections, current = {}, None
    for line in text.splitlines():
        if re.fullmatch(r"[A-Z][A-Z ]*[A-Z]", line):
            current = line
            sections[current] = ""
        elif current:
            sections[current] += line + "\n"
    return sections


def usage_blocks(help_text):
    """Command word (or "" for lines of no command) -> the options its usage block names."""
    blocks, current = {}, ""
    for line in help_text.splitlines():
        started = re.match(r"\s+taonscope-cli\s+(\S+)", line)
        if started:
            current = "" if started.group(1).startswith("-") else started.group(1)
        elif line and not line[0].isspace():
            current = ""
        blocks.setdefault(current, set()).update(LONG_OPTION.findall(line))
    return blocks


def exit_statuses(help_text):
    paragraph = re.search(r"Exit status:(.*?)\.\n", help_text, re.S)
    if not paragraph:
        return []
    return re.findall(r"(?:^|[,;/]|\bor\b)\s*(\d+)\b", paragraph.group(1))


def check_page(path, faults):
    name = os.path.basename(path)
    text, warnings = render(path)
    if warnings:
        faults.append(f"{name}: man reports: {warnings}")
    sections = rendered_sections(text)
    for section in SECTIONS:
        if section not in sections:
            faults.append(f"{name}: has no section {section}")
    return sections


def check_cli_page(cli, path, faults):
    name = os.path.basename(path)
    help_text = subprocess.run([cli, "--help"], capture_output=True, text=True, check=True).stdout
    sections = check_page(path, faults)
    entries = tagged_entries(read_page(path))

    blocks = usage_blocks(help_text)
    commands = [command for command in blocks if command]
    command_tags = {tag.split()[0] for section, _, tag in entries if section == "COMMANDS" and tag}
    for command in commands:
        if command not in command_tags:
            faults.append(f"{name}: --help names the command {command}, which COMMANDS does not describe "
                          f"(add a .TP entry '.B {command}' under .SH COMMANDS)")
        if f"taonscope-cli {command}" not in sections.get("SYNOPSIS", ""):
            faults.append(f"{name}: --help names the command {command}, which SYNOPSIS does not show "
                          f"(add a .SY taonscope\\-cli ... .YS block)")

    described = {}
    for section, subsection, tag in entries:
        if section == "OPTIONS":
            for option in LONG_OPTION.findall(tag):
                described.setdefault(option, set()).add(subsection)
    named = set().union(*blocks.values())
    for command, options in sorted(blocks.items()):
        wanted = f"Options of {command}"
        for option in sorted(options):
            where = described.get(option, set())
            if command and wanted not in where:
                faults.append(f"{name}: --help names the option {option} of {command}, which OPTIONS does not "
                              f"describe under '{wanted}' (add a .TP entry for {option} under "
                              f".SS {wanted})")
            elif not command and not where:
                faults.append(f"{name}: --help names the option {option}, which OPTIONS does not describe "
                              f"(add a .TP entry for it under .SH OPTIONS)")
    for option in sorted(set(described) - named):
        faults.append(f"{name}: OPTIONS describes {option}, which taonscope-cli --help does not name")

    statuses = {tag for section, _, tag in entries if section == "EXIT STATUS"}
    for status in exit_statuses(help_text):
        if status not in statuses:
            faults.append(f"{name}: --help names the exit status {status}, which EXIT STATUS does not "
                          f"describe (add a .TP entry '.B {status}')")
    if "COMMANDS" not in sections:
        faults.append(f"{name}: has no section COMMANDS")


def main(arguments):
    if len(arguments) < 2:
        sys.exit(__doc__)
    cli, cli_page, others = arguments[0], arguments[1], arguments[2:]
    faults = []
    check_cli_page(cli, cli_page, faults)
    for path in others:
        check_page(path, faults)
    for fault in faults:
        print(fault)
    print(f"{len(others) + 1} manual pages checked, {len(faults)} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
