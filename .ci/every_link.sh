# SPDX-License-Identifier: MIT
# Sourced by the scripts that read every link there is: sets files to the links that
# make_sample_links writes from the tests (the seeds and the bench links, into $work),
# the examples, and the real-link corpus (../shared/corpus, or SHORTCUT_CORPUS_DIR), in a
# stable order. Needs build and work set; under CI a missing corpus is a failure.
corpus=${SHORTCUT_CORPUS_DIR:-../shared/corpus}
mkdir -p "$work/seeds" "$work/bench"
"$build/tests/make_sample_links" seeds "$work/seeds"
"$build/tests/make_sample_links" bench "$work/bench"
files=("$work"/seeds/* "$work"/bench/* examples/*.lnk)
if [ -d "$corpus" ]; then
    while IFS= read -r -d '' file; do files+=("$file"); done < <(find "$corpus" -type f ! -name README.md -print0 | sort -z)
elif [ -n "${CI:-}" ]; then
    echo "CI is set but there is no corpus at $corpus"
    exit 1
fi
