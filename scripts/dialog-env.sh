# Shared by run-sample and screenshots (sourced, not run): builds the release filter, dialog
# and panel bundles, and runs a private scheduler for the rest of the calling script.

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Installs the packages, then builds qorpstops, quorvan-print and every panel bundle the tree
# has. Sets build to the release build folder.
build_dialog() {
    scripts/install-deps
    cmake --preset release > /dev/null
    targets="qorpstops quorvan-print"
    for t in $(cmake --build --preset release --target help |
        sed -En 's/^(pde_[a-z_]+|[a-z_]+_bundle): phony$/\1/p' | grep -v '_resources$'); do
        targets="$targets $t"
    done
    cmake --build --preset release --target $targets
    build="$(pwd)/build/release"
}

# Starts a private scheduler in the folder (emptied first) that is stopped when the calling
# script ends, and points the CUPS clients of the script at it.
start_scheduler() {
    scheduler=$1
    as_root scripts/private-cupsd stop "$scheduler"
    rm -rf "$scheduler"
    trap 'as_root scripts/private-cupsd stop "$scheduler"' EXIT
    # An interrupt ends the script, through the EXIT trap, rather than only the command it hit.
    trap 'exit 130' INT TERM
    # Taken whole first: in a pipeline a scheduler that failed to start would go unnoticed.
    started=$(as_root scripts/private-cupsd start "$scheduler" "$build/filter/qorpstops" \
        "$build/bundles/Quorvan Job Routing.plugin")
    CUPS_SERVER=$(printf '%s\n' "$started" | sed -n 's/^CUPS_SERVER=//p')
    export CUPS_SERVER
}

# Runs quorvan-print offscreen on the build's bundles with an action script.
run_dialog() {
    QOR_PDE_PATH="$build/bundles" QT_QPA_PLATFORM=offscreen \
        "$build/print-dialog/quorvan-print" "$@"
}
