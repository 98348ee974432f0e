#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks that each program given is hardened as the release build makes it: a PIE (ELF
# type DYN), full RELRO (a GNU_RELRO segment and BIND_NOW), a stack that is not
# executable, and read-only data in a segment that is not executable.
#
#   .ci/check_hardening.sh PROGRAM...
set -euo pipefail
status=0
for program in "$@"; do
    problems=()
    readelf -h "$program" | grep -q 'Type: *DYN' || problems+=("not position-independent")
    segments=$(readelf -lW "$program")
    grep -q ' GNU_RELRO ' <<< "$segments" || problems+=("no GNU_RELRO segment")
    readelf -d "$program" | grep -q -E 'BIND_NOW|Flags:.* NOW' || problems+=("no BIND_NOW")
    # The flags of each program header, in order, then the headers that hold a section.
    flags_of() {
        awk -v section="$1" '
            /^Program Headers:/ { headers = 1; next }
            headers && /^ +[A-Z_]+ +0x/ { flags = ""; for (i = 7; i < NF; i++) flags = flags $i; flag[n++] = flags; next }
            /Section to Segment mapping/ { headers = 0; mapping = 1; next }
            mapping && /^ +[0-9]+ / { for (i = 2; i <= NF; i++) if ($i == section) print flag[$1 + 0] }
        ' <<< "$segments"
    }
    stack=$(awk '$1 == "GNU_STACK" { flags = ""; for (i = 7; i < NF; i++) flags = flags $i; print flags }' <<< "$segments")
    [ -n "$stack" ] && [[ $stack != *E* ]] || problems+=("the stack is executable (GNU_STACK '$stack')")
    rodata=$(flags_of .rodata)
    [ -n "$rodata" ] || problems+=("no .rodata in any segment")
    [[ $rodata != *E* ]] || problems+=("read-only data is executable")
    if ((${#problems[@]} > 0)); then
        printf '%s: %s\n' "$program" "$(IFS=';'; echo "${problems[*]}")"
        status=1
    else
        echo "$program: PIE, RELRO with BIND_NOW, stack and read-only data not executable"
    fi
done
exit $status
