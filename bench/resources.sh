#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Resource bounds of whole runs on the links that claim the most: each must stay within
# 4 MiB of peak memory above a small link's and finish well under a second. Exits non-zero
# when one does not.
#
#   bench/resources.sh [BUILD_DIR]      default build/release
set -euo pipefail
source "$(dirname "$0")/bench_links.sh"

measure() {  # prints "peak_KiB seconds"
    /usr/bin/time -f '%M %e' "$tool" "$1" 2>&1 >/dev/null | tail -n 1
}
read -r base_kib _ <<< "$(measure "$work/typical.lnk")"
printf '%-22s %10s %9s %10s\n' link "peak KiB" seconds "above small"
printf '%-22s %10s\n' typical.lnk "$base_kib"
status=0
for name in hostile list_claim longest_strings deepest_list largest; do
    read -r kib seconds <<< "$(measure "$work/$name.lnk")"
    delta=$((kib - base_kib))
    verdict=ok
    if [ "$delta" -gt 4096 ] || awk -v s="$seconds" 'BEGIN { exit !(s >= 0.5) }'; then
        verdict=OVER
        status=1
    fi
    printf '%-22s %10s %9s %10s  %s\n' "$name.lnk" "$kib" "$seconds" "$delta" "$verdict"
done
exit $status
