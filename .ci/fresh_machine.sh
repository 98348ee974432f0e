#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# What the README promises, on a machine that has nothing installed: a minimal Debian 12
# root (debootstrap --variant=minbase, from the archive that this machine's apt uses),
# with a clean clone of this repository's HEAD and ../shared beside it. Inside it, as
# root, it runs the README's Quick start commands and its package command, read from
# README.md itself; installs the .deb; runs the installed shortcut_dump on the example
# and compares its output with the README's; then installs what .ci/install lists and
# checks that everything CI calls is there. Any missing step fails.
#
#   .ci/fresh_machine.sh
#
# Needs root, debootstrap and git. The pristine root is cached as a tarball in
# /var/cache/shortcut_dump (SHORTCUT_FRESH_CACHE), one a day.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
shared=$(cd .. && pwd)/shared
cache=${SHORTCUT_FRESH_CACHE:-/var/cache/shortcut_dump}
suite=bookworm

# The code block after each marker in README.md, as one line of shell.
readme_block() {
    awk -v marker=".ci/fresh_machine.sh: $1" '
        index($0, marker) { want = 1; next }
        want && /^```sh$/ { inside = 1; next }
        inside && /^```$/ { inside = 0; want = 0; next }
        inside { if (sub(/\\$/, "")) printf "%s", $0; else print }
    ' README.md
}
# The eight lines the README shows for examples/notepad.lnk.
readme_output() {
    awk '/^\$ shortcut_dump examples\/notepad.lnk$/ { inside = 1; next }
         inside && /^```$/ { exit }
         inside { print }' README.md
}
# The first archive of this suite in apt's sources, deb822 or one-line form.
apt_archive() {
    local file
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] || continue
        awk -v suite="$suite" '
            /^URIs:/ { uri = $2 } /^Suites:/ { for (i = 2; i <= NF; i++) if ($i == suite) found = 1 }
            /^$/ { if (found && uri) { print uri; exit } uri = ""; found = 0 }
            END { if (found && uri) print uri }' "$file"
    done
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$file" ] || continue
        awk -v suite="$suite" '$1 == "deb" && $3 == suite { print $2 }' "$file"
    done
}

quick_start=$(readme_block "quick start")
package=$(readme_block package)
expected=$(readme_output)
[ "$(wc -l <<< "$quick_start")" -eq 2 ] || { echo "fresh machine: README.md should mark two Quick start commands"; exit 1; }
[ -n "$package" ] && [ -n "$expected" ] || { echo "fresh machine: no package command or example output in README.md"; exit 1; }
archive=$(apt_archive | sed -n 1p)
[ -n "$archive" ] || { echo "fresh machine: no $suite archive in apt's sources"; exit 1; }

# The pristine root, made once a day.
mkdir -p "$cache"
tarball=$cache/$suite-minbase-$(date -u +%Y%m%d).tar
if [ ! -f "$tarball" ]; then
    echo "== debootstrap --variant=minbase $suite from apt's archive"
    find "$cache" -name "$suite-minbase-*.tar" -delete
    build_root=$(mktemp -d /var/tmp/shortcut-debootstrap.XXXXXX)
    chmod 755 "$build_root"  # as a root directory is, so that apt's own user can reach its files
    debootstrap --variant=minbase "$suite" "$build_root" "$archive" > "$build_root.log" 2>&1 \
        || { tail -n 20 "$build_root.log"; exit 1; }
    tar -C "$build_root" -cf "$tarball.part" . && mv "$tarball.part" "$tarball"
    rm -rf --one-file-system "$build_root" "$build_root.log"
fi

root=$(mktemp -d /var/tmp/shortcut-fresh.XXXXXX)
cleanup() {
    umount -R "$root/proc" 2>/dev/null || true
    umount -R "$root/dev" 2>/dev/null || true
    if grep -q " $root/" /proc/mounts; then
        echo "fresh machine: something is still mounted below $root; leaving it in place"
        return
    fi
    rm -rf --one-file-system "$root"
}
trap cleanup EXIT
tar -C "$root" -xf "$tarball"
chmod 755 "$root"  # as a root directory is, so that apt's own user can reach its files
mkdir -p "$root/work"
git clone --quiet --no-hardlinks "$repo" "$root/work/main"
cp -r "$shared" "$root/work/shared"
cp /etc/resolv.conf "$root/etc/resolv.conf"
mount -t proc proc "$root/proc"
mount --bind /dev "$root/dev"

# The README's commands arrive in the environment, one a line, each run as it is written.
script=$(cat <<'EOF'
set -euo pipefail
cd /work/main
readme() {
    local command
    while IFS= read -r command; do
        echo "\$ $command"
        bash -c "$command" || { echo "the README's command failed: $command"; exit 1; }
    done <<< "$1"
}
echo "== Quick start"
readme "$QUICK_START"
echo "== package"
readme "$PACKAGE"
echo "== the installed shortcut_dump"
actual=$(shortcut_dump examples/notepad.lnk)
[ "$actual" = "$EXPECTED" ] || { echo "the installed shortcut_dump printed:"; echo "$actual"; exit 1; }
[ "$(command -v shortcut_dump)" = /usr/bin/shortcut_dump ] || { echo "shortcut_dump is not the packaged one"; exit 1; }
echo "== what CI installs"
bash .ci/install
EOF
)
start=$(date +%s)
chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive CI=true CMAKE_BUILD_PARALLEL_LEVEL=2 CTEST_PARALLEL_LEVEL=2 \
    QUICK_START="$quick_start" PACKAGE="$package" EXPECTED="$expected" bash -c "$script" > "$root.log" 2>&1 \
    || { tail -n 40 "$root.log"; rm -f "$root.log"; echo "fresh machine: FAILED"; exit 1; }
grep -E '^== |^\$ |tests passed, |^Setting up (shortcut-dump|libshortcut-reader-dev) |^CPack: - package' "$root.log"
rm -f "$root.log"
echo "fresh machine: the README's commands and CI's install list work on a fresh $suite root ($(($(date +%s) - start)) s)"
