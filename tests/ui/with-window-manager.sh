#!/bin/sh
# Runs a window test on a virtual X server under a real window manager: it frames a window only
# once the window is shown, which the offscreen platform never shows. Skipped (77) where either
# is missing.
command -v xvfb-run >/dev/null 2>&1 && command -v openbox >/dev/null 2>&1 || exit 77
exec xvfb-run -a -s '-screen 0 1280x1024x24' sh -c '
    openbox >/dev/null 2>&1 &
    manager=$!
    sleep 1
    QT_QPA_PLATFORM=xcb "$@"
    status=$?
    kill "$manager" 2>/dev/null
    exit "$status"' with-window-manager "$@"
