#!/bin/sh
# System information tool of the demo: the kernel and the processor, in a terminal window
# when there is a display, else in a message window, else on standard output.
# The kernel line comes last so that it stays in view below the long processor list.
report() {
    lscpu 2>/dev/null || echo "(lscpu is not installed)"
    echo
    uname -a
}

if [ "${1:-}" = "--report" ]; then
    report
    exit 0
fi

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    for term in x-terminal-emulator xterm; do
        if command -v "$term" >/dev/null 2>&1; then
            # The window stays until Enter is pressed, so the report can be read.
            exec "$term" -T "System Information" -e sh -c '"$0" --report; echo; printf "Press Enter to close. "; read _' "$0"
        fi
    done
    if command -v xmessage >/dev/null 2>&1; then
        report | xmessage -center -title "System Information" -file - &
        exit 0
    fi
fi
report
