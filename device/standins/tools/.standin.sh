# Shared by the stand-in tools. Each tool prints a file of the chosen sample Mac: the profile named by
# VEXLO_STANDIN_PROFILE (default "healthy") in the profiles folder beside this one. When VEXLO_STANDIN_LOG
# names a file, every invocation is appended to it as one line (tool name and arguments); VEXLO_STANDIN_DELAY
# (seconds) makes every tool that slow, as real ones are on a busy machine.
# The including script sets $tools to this folder.
profiles="${VEXLO_STANDIN_PROFILES:-$tools/../profiles}"
profile="${VEXLO_STANDIN_PROFILE:-healthy}"
if [ ! -d "$profiles/$profile" ]; then
    echo "stand-in: unknown profile $profile" >&2
    exit 1
fi
standin_log() {
    if [ -n "$VEXLO_STANDIN_LOG" ]; then printf '%s\n' "$*" >> "$VEXLO_STANDIN_LOG"; fi
    if [ -n "$VEXLO_STANDIN_DELAY" ]; then sleep "$VEXLO_STANDIN_DELAY"; fi
    return 0
}
# Prints the profile's file NAME.txt; a missing file means the tool prints nothing.
standin_emit() {
    if [ -f "$profiles/$profile/$1.txt" ]; then cat "$profiles/$profile/$1.txt"; fi
    return 0
}
