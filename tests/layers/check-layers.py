#!/usr/bin/env python3
"""Checks that each layer of src/ includes only from the layers it may (README, "Layout").

Includes name the file alone, so a header is found by its name among all of src/. A header of no
folder of ours (Qt, the system, generated files) is not checked."""
import pathlib
import re
import sys

# Each layer, by the folder its files sit in (the first that matches), and the layers it may include.
LAYERS = [
    ("model", "src/model", set()),
    ("platform", "src/platform", {"model"}),
    ("common", "src/common", {"platform", "model"}),
    ("inputd", "src/inputd", {"platform"}),
    ("x11", "src/backends/x11", {"common", "platform", "model"}),
    ("kernel", "src/backends/kernel", {"inputd", "common", "platform", "model"}),
    ("backends", "src/backends", {"x11", "kernel", "common", "platform", "model"}),
    ("engine", "src/engine", {"common", "platform", "model"}),
    ("adapters", "src/adapters", {"common", "platform", "model"}),
    ("ui", "src/ui", {"engine", "adapters", "common", "platform", "model"}),
    ("app", "src/app", {"ui", "engine", "adapters", "backends", "common", "platform", "model"}),
    ("cli", "src/cli", {"engine", "adapters", "backends", "common", "platform", "model"}),
]


def layer_of(path):
    text = path.as_posix()
    for name, folder, _ in LAYERS:
        if text.startswith(folder + "/"):
            return name
    return None


def main(root):
    root = pathlib.Path(root)
    files = [p.relative_to(root) for p in (root / "src").rglob("*") if p.suffix in (".h", ".cpp")]
    home = {}
    for path in files:
        home.setdefault(path.name, set()).add(layer_of(path))
    allowed = {name: may | {name} for name, _, may in LAYERS}
    faults = []
    for path in files:
        layer = layer_of(path)
        for number, line in enumerate((root / path).read_text(errors="replace").splitlines(), 1):
            match = re.match(r'\s*#\s*include\s+"([^"]+)"', line)
            if not match:
                continue
            owners = home.get(pathlib.PurePath(match.group(1)).name, set())
            if owners and not owners & allowed[layer]:
                faults.append(f"{path}:{number}: {layer} includes {match.group(1)} of {', '.join(sorted(owners))}")
    print("\n".join(faults) or f"{len(files)} files keep to their layers")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else "."))
