# SPDX-License-Identifier: MIT
# Sourced by the bench scripts: goes to the project's root and sets build (the build
# folder, first argument or build/release), tool (its shortcut_dump) and work (a
# temporary folder, removed on exit, holding the links that make_sample_links writes).
cd "$(dirname "${BASH_SOURCE[0]}")/.."
build=${1:-build/release}
tool=$build/tool/shortcut_dump
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/tests/make_sample_links" bench "$work"
