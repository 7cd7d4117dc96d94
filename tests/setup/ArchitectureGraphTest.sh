#!/usr/bin/env bash
# The arrows docs/architecture.md lists are the build's link graph between the
# parts (part-graph.txt, written when the tree is configured): none missing,
# none extra. An arrow marked "(Windows builds)" exists only in Windows trees,
# and arrows from a part the tree did not configure are not looked for.
# Usage: ArchitectureGraphTest.sh DOC GRAPH
set -euo pipefail
doc=$1 graph=$2
configured=$(sed -n -E 's/^part ([a-z0-9/]+)$/\1/p' "$graph")
listed=$(sed -n -E 's/^    ([a-z0-9/]+ -> [a-z0-9/]+)( +\(Linux builds\))?$/\1/p' "$doc" |
  while read -r from arrow to; do grep -qxF "$from" <<<"$configured" && echo "$from $arrow $to"; done | sort -u)
[ -n "$listed" ] || { echo "no arrows found in $doc"; exit 1; }
built=$(grep -E '^[a-z0-9/]+ -> [a-z0-9/]+$' "$graph" | sort -u)
[ -n "$built" ] || { echo "no arrows found in $graph"; exit 1; }
missing=$(comm -13 <(echo "$listed") <(echo "$built"))
extra=$(comm -23 <(echo "$listed") <(echo "$built"))
[ -z "$missing" ] || echo "linked but not in the document:"$'\n'"$missing"
[ -z "$extra" ] || echo "in the document but not linked:"$'\n'"$extra"
[ -z "$missing$extra" ] && echo "$(echo "$built" | wc -l) arrows agree"
