#!/usr/bin/env python3
"""Writes the manual page and the shell completions of tonemill from its own
--help texts, so that every option the program lists reaches all of them.

    commandline-docs.py TONEMILL MAN_TEMPLATE OUTPUT_FOLDER

Reads `TONEMILL --help`, which lists the commands (a line of two spaces and a
lower-case word under "Commands:"), and `TONEMILL COMMAND --help` of each.
An option is a help line that begins with two spaces and a dash:

      --name VALUE, --other  what it does
                             and more lines, indented further

A VALUE of DIR or FILE completes folders or files; `--name a|b|c` in a usage
line lists its choices. The manual page is MAN_TEMPLATE with each line
`.\\" tonemill:COMMAND` replaced by that command's text and options. Writes
tonemill.1.gz, tonemill.bash, _tonemill (zsh) and tonemill.fish.
"""
import gzip
import re
import subprocess
import sys
from pathlib import Path

LONG_OPTION = re.compile(r"(?<![\w-])--[a-z][a-z0-9-]*(?![\w-])")
SHORT_OPTION = re.compile(r"(?<![\w-])-[0-9a-z](?![\w-])")
CHOICES = re.compile(r"(--[a-z][a-z0-9-]*)[ =]([a-z0-9]+(?:\|[a-z0-9]+)+)")


class Entry:
    """One option line of a help text with its description."""

    def __init__(self, spec, text):
        self.spec = spec  # "--name VALUE, --other"
        self.lines = [text] if text else []
        self.values = {}  # option name -> its VALUE word
        for item in spec.split(", "):
            words = item.split()
            self.values[words[0]] = words[1] if len(words) > 1 else None


class Help:
    """A help text taken apart: usage, paragraphs and option entries."""

    def __init__(self, text):
        self.text = text
        self.usage = []  # the "Usage:" lines
        self.blocks = []  # ("para", [lines]) or ("entries", [Entry]), in order
        self.headed = {}  # heading ("Options:") -> its entries
        heading = None
        in_usage = False
        for line in text.splitlines():
            if line.startswith("Usage:") or (in_usage and line.startswith(" ")):
                self.usage.append(line.strip())
                in_usage = True
                continue
            in_usage = False
            if not line.strip():
                self.blocks.append(("gap", None))
                continue
            entry = re.match(r"^  (-\S.*?)(?: {2,}(\S.*))?$", line)
            if entry:
                item = Entry(entry.group(1), entry.group(2))
                self._append("entries", item)
                if heading:
                    self.headed.setdefault(heading, []).append(item)
            elif line.startswith("    ") and self.blocks and self.blocks[-1][0] == "entries":
                self.blocks[-1][1][-1].lines.append(line.strip())
            elif line.startswith("  ") and self.blocks and self.blocks[-1][0] == "para":
                self.blocks[-1][1].append(line.strip())
            else:
                heading = line.strip() if line.rstrip().endswith(":") else heading
                self._append("para", line.strip())

    def _append(self, kind, item):
        if not self.blocks or self.blocks[-1][0] != kind:
            self.blocks.append((kind, []))
        self.blocks[-1][1].append(item)

    def entries(self):
        return [e for kind, items in self.blocks if kind == "entries" for e in items]

    def option_names(self):
        """Every long option the text names and every short one its usage
        lines or option lines name ("-40" in a description is no option)."""
        specs = self.usage + [entry.spec for entry in self.entries()]
        names = LONG_OPTION.findall(self.text) + SHORT_OPTION.findall(" ".join(specs))
        return list(dict.fromkeys(names))

    def values(self):
        """Option name -> the kind of value it takes ("DIR", "FILE", a|b|c, ...)."""
        kinds = {}
        for entry in self.entries():
            for name, value in entry.values.items():
                if value:
                    kinds[name] = value
        for line in self.usage:
            for name, value in re.findall(r"\[(--[a-z][a-z0-9-]*) ([A-Z][A-Z=]*)\]", line):
                kinds.setdefault(name, value)
        for name, choices in CHOICES.findall(" ".join(self.usage)):
            kinds[name] = choices
        return kinds


def command_names(top_help):
    """The commands the top-level help lists."""
    section = top_help.split("Commands:", 1)[1] if "Commands:" in top_help else ""
    return re.findall(r"^  ([a-z][a-z-]*)(?= |$)", section, re.M)


def command_summary(help_text):
    """What a command does: the first sentence of its own help."""
    for kind, items in help_text.blocks:
        if kind == "para":
            return summary(" ".join(items))
    return ""


def summary(text, width=60):
    """The first clause of a description, cut at a word to fit a menu."""
    clause = re.split(r"[;:.](?:\s|$)", text)[0].strip()
    if len(clause) <= width:
        return clause
    return clause[: clause.rfind(" ", 0, width)] + "..."


def run_help(program, *command):
    return subprocess.run([program, *command, "--help"], check=True, capture_output=True, text=True).stdout


# The manual page, in man(7) macros.

def roff(text):
    text = text.replace("\\", "\\e").replace("-", "\\-")
    return "\\&" + text if text.startswith((".", "'")) else text


def roff_spec(spec):
    """--name VALUE, --other as bold names and italic values."""
    items = []
    for item in spec.split(", "):
        words = item.split()
        items.append("\\fB" + roff(words[0]) + "\\fR" + "".join(" \\fI" + roff(w) + "\\fR" for w in words[1:]))
    return ", ".join(items)


def man_blocks(help_text, skip_usage=True):
    out = []
    for kind, items in help_text.blocks:
        if kind == "para":
            out += [".PP", roff(" ".join(items))]
        elif kind == "entries":
            for entry in items:
                out += [".TP", roff_spec(entry.spec), roff(" ".join(entry.lines))]
    return out


def man_command(name, help_text):
    out = [".SS " + roff("tonemill " + name)]
    usage = [re.sub(r"^Usage: *", "", line) for line in help_text.usage]
    out += [".nf"] + [roff(usage[0])] + [roff("    " + line) for line in usage[1:]] + [".fi"]
    return out + man_blocks(help_text)


def man_general(help_text):
    out = []
    for entry in help_text.headed.get("Options:", []):
        out += [".TP", roff_spec(entry.spec), roff(" ".join(entry.lines))]
    return out


# The completions.

def value_kind(value):
    if value is None:
        return None
    if "|" in value:
        return value.split("|")
    return {"DIR": "dir", "FILE": "file"}.get(value, "none")


def bash_completion(commands, general):
    lines = [
        "# bash completion for tonemill; made from its --help texts.",
        "_tonemill() {",
        "    local cur prev words cword",
        "    _init_completion -n = || return",
        "    local command=''",
        "    local i",
        "    for ((i = 1; i < cword; i++)); do",
        f"        case ${{words[i]}} in {'|'.join(commands)}) command=${{words[i]}}; break ;; esac",
        "        [[ ${words[i]} == -* ]] || break",
        "    done",
        "    local options values",
        "    case $command in",
    ]
    for name, help_text in commands.items():
        kinds = {n: value_kind(v) for n, v in help_text.values().items()}
        lines.append(f"        {name}) options='{' '.join(help_text.option_names())}'")
        lines.append("            case $prev in")
        for option, kind in kinds.items():
            if kind == "dir":
                action = "_filedir -d; return ;;"
            elif kind == "file":
                action = "_filedir; return ;;"
            elif isinstance(kind, list):
                action = f"COMPREPLY=($(compgen -W '{' '.join(kind)}' -- \"$cur\")); return ;;"
            else:
                action = "return ;;"
            lines.append(f"                {option}) {action}")
        lines += ["            esac ;;"]
    lines += [
        f"        *) options='{' '.join(general)}' ;;",
        "    esac",
        "    if [[ $cur == -* ]]; then",
        "        COMPREPLY=($(compgen -W \"$options\" -- \"$cur\"))",
        "    elif [[ -z $command && $cword -eq 1 ]]; then",
        f"        COMPREPLY=($(compgen -W '{' '.join(commands)}' -- \"$cur\"))",
        "        _filedir",
        "    else",
        "        _filedir",
        "    fi",
        "}",
        "complete -F _tonemill tonemill",
    ]
    return "\n".join(lines) + "\n"


def zsh_escape(text):
    return text.replace("\\", "\\\\").replace("'", "'\\''").replace("[", "\\[").replace("]", "\\]").replace(":", "\\:")


def zsh_specs(help_text):
    kinds = {n: value_kind(v) for n, v in help_text.values().items()}
    described = {}
    for entry in help_text.entries():
        for name in entry.values:
            described.setdefault(name, " ".join(entry.lines))
    specs = []
    for name in help_text.option_names():
        kind = kinds.get(name)
        about = zsh_escape(summary(described.get(name, "")))
        action = ""
        if kind == "dir":
            action = ":folder:_files -/"
        elif kind == "file":
            action = ":file:_files"
        elif isinstance(kind, list):
            action = f":value:({' '.join(kind)})"
        elif kind == "none":
            action = f":{help_text.values()[name].lower()}: "
        if action and name.startswith("--"):
            specs.append(f"'{name}=[{about}]{action}'")
        else:
            specs.append(f"'{name}[{about}]{action}'")
    return specs


def zsh_completion(commands, general):
    lines = [
        "#compdef tonemill",
        "# zsh completion for tonemill; made from its --help texts.",
        "_tonemill() {",
        "    local curcontext=$curcontext state line",
        "    typeset -A opt_args",
        "    _arguments -C \\",
    ]
    lines += [f"        '(- *){o}[{o}]' \\" for o in general]
    lines += [
        "        '1: :->command' \\",
        "        '*:: :->arguments'",
        "    case $state in",
        "    command)",
        "        _alternative 'commands:command:(("
        + " ".join(f'{name}\\:\"{zsh_escape(command_summary(h))}\"' for name, h in commands.items())
        + "))' 'files:file:_files'",
        "        ;;",
        "    arguments)",
        "        case $line[1] in",
    ]
    for name, help_text in commands.items():
        lines.append(f"        {name})")
        lines.append("            _arguments -S \\")
        lines += [f"                {spec} \\" for spec in zsh_specs(help_text)]
        lines.append("                '*:path:_files' ;;")
    lines += ["        *) _files ;;", "        esac ;;", "    esac", "}", '_tonemill "$@"']
    return "\n".join(lines) + "\n"


def fish_escape(text):
    return text.replace("\\", "\\\\").replace("'", "\\'")


def fish_completion(commands, general):
    lines = [
        "# fish completion for tonemill; made from its --help texts.",
        "complete -c tonemill -n __fish_use_subcommand -F",
    ]
    for name, help_text in commands.items():
        lines.append(f"complete -c tonemill -n __fish_use_subcommand -f -a {name} "
                     f"-d '{fish_escape(command_summary(help_text))}'")
    for option in general:
        lines.append(f"complete -c tonemill -n __fish_use_subcommand -l {option[2:]}")
    for name, help_text in commands.items():
        kinds = {n: value_kind(v) for n, v in help_text.values().items()}
        described = {}
        for entry in help_text.entries():
            for option in entry.values:
                described.setdefault(option, " ".join(entry.lines))
        when = f"-n '__fish_seen_subcommand_from {name}'"
        lines.append(f"complete -c tonemill {when} -F")
        for option in help_text.option_names():
            flag = f"-l {option[2:]}" if option.startswith("--") else f"-s {option[1:]}"
            kind = kinds.get(option)
            extra = ""
            if kind == "dir":
                extra = " -r -f -a '(__fish_complete_directories)'"
            elif kind == "file":
                extra = " -r -F"
            elif isinstance(kind, list):
                extra = f" -r -f -a '{' '.join(kind)}'"
            elif kind == "none":
                extra = " -r -f"
            about = summary(described.get(option, ""))
            lines.append(f"complete -c tonemill {when} {flag}{extra} -d '{fish_escape(about)}'")
    return "\n".join(lines) + "\n"


def main():
    program, template, out = sys.argv[1], Path(sys.argv[2]), Path(sys.argv[3])
    top = Help(run_help(program))
    commands = {name: Help(run_help(program, name)) for name in command_names(top.text)}
    if not commands:
        sys.exit(f"{program} --help lists no commands")
    general = [e for entry in top.headed.get("Options:", []) for e in entry.values if e != "--option"]

    page = []
    for line in template.read_text().splitlines():
        marker = re.fullmatch(r'\.\\" tonemill:(\w+)', line)
        if marker and marker.group(1) in commands:
            page += man_command(marker.group(1), commands[marker.group(1)])
        elif marker and marker.group(1) == "general":
            page += man_general(top)
        elif marker:
            sys.exit(f"{template}: unknown marker {line}")
        else:
            page.append(line)
    out.mkdir(parents=True, exist_ok=True)
    # gzip -9n: no name and no time inside, so the same page gives the same bytes.
    with open(out / "tonemill.1.gz", "wb") as raw:
        with gzip.GzipFile(filename="", mode="wb", compresslevel=9, fileobj=raw, mtime=0) as packed:
            packed.write(("\n".join(page) + "\n").encode())
    (out / "tonemill.bash").write_text(bash_completion(commands, general))
    (out / "_tonemill").write_text(zsh_completion(commands, general))
    (out / "tonemill.fish").write_text(fish_completion(commands, general))


if __name__ == "__main__":
    main()
