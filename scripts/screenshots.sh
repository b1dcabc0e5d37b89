#!/usr/bin/env bash
# Renders the main window under Xvfb into PNG files for the README:
#   scripts/screenshots.sh BUILD_DIR/tools/screenshots/ui_screenshots [OUTPUT_DIR]
set -euo pipefail
tool=${1:?usage: $0 path/to/ui_screenshots [output-dir]}
out=${2:-docs/screenshots}
[[ -x "$tool" ]] || { echo "screenshots: $tool is not built" >&2; exit 2; }
mkdir -p "$out"
# A settings folder of its own, so the user's preferences neither shape nor receive anything.
config=$(mktemp -d "${TMPDIR:-/tmp}/loopwren-shots.XXXXXX")
trap 'rm -rf "$config"' EXIT
XDG_CONFIG_HOME="$config" QT_QPA_PLATFORM=xcb bash "$(dirname "$0")/with-x11.sh" "$tool" "$out"
