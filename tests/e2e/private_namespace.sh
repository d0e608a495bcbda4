# Sourced by the end-to-end tests: re-runs the calling script in a private network namespace of its
# own (nothing it listens on or announces can reach beyond it), with loopback up. Exits 77 (skipped)
# where no namespace can be made.
if [ "${VELTRINOX_IN_NAMESPACE:-}" != 1 ]; then
    export VELTRINOX_IN_NAMESPACE=1
    for unshare in "unshare -n" "unshare -rn"; do
        if $unshare true 2>/dev/null; then
            exec $unshare bash "$0" "$@"
        fi
    done
    echo "no private network namespace available: skipped"
    exit 77
fi
ip link set lo up
