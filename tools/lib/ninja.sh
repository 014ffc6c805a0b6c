# Target look-ups in a ninja build folder, sourced by the tools. They never pipe ninja's output
# into a reader that may stop early: under pipefail a reader that quits at its first match
# (grep -q, head) kills ninja with SIGPIPE and the look-up fails although the target exists.

# ninja_has_target DIR TARGET: true when the build in DIR knows TARGET.
ninja_has_target() {
  ninja -C "$1" -t query "$2" >/dev/null 2>&1
}

# ninja_targets_with_prefix DIR PREFIX: the names after PREFIX of DIR's targets that start with it,
# one a line, sorted; nothing when DIR has no build.
ninja_targets_with_prefix() {
  local list
  list=$(ninja -C "$1" -t targets all 2>/dev/null) || return 0
  awk -F: -v p="$2" 'index($1, p) == 1 && $1 !~ /[\/.]/ { print substr($1, length(p) + 1) }' \
    <<<"$list" | sort -u
}
