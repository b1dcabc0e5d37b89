#!/usr/bin/env bash
# How soon the input service revokes what it lent when the session stops being active: from the switch of
# VT (the session on tty1 turns inactive) to the lent handle's death in the recording user's process,
# 20 rounds in the VM with systemd as its init, real logind and polkitd; prints the median.
#   bench/inputd/revoke-latency.sh BUILD_DIR
set -euo pipefail
build=$(cd "${1:?usage: $0 BUILD_DIR}" && pwd)
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
LOOPWREN_VM_CACHE=$build/vm LOOPWREN_VM_TIMEOUT=${LOOPWREN_VM_TIMEOUT:-1800} \
    bash "$root/tests/vm/run-vm.sh" --systemd bash "$root/tests/backends/kernel/inputd_vm_check.sh" "$build" bench
