#!/usr/bin/env bash
# Builds the initramfs of the test VM for one installed kernel and prints its path:
#
#   make-initramfs.sh KERNEL_VERSION CACHE_DIR
#
# It holds busybox-static, the modules that reach the host's root over virtio-9p and mount an overlay
# on it (with everything they depend on, from the kernel's own modules.dep, so the list follows the
# kernel), and initramfs-init.sh as /init. The image is kept in CACHE_DIR and built again only when the
# kernel, its modules, busybox or the files it is made from are newer than it.
set -euo pipefail

fail() {
    echo "make-initramfs: $*" >&2
    exit 1
}

[[ $# -eq 2 ]] || fail "usage: $0 KERNEL_VERSION CACHE_DIR"
version=$1
cache=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
moddir=/lib/modules/$version
busybox=/bin/busybox
# What the first stage needs; the guest loads everything else itself from the host's module tree.
modules=(virtio_pci 9pnet_virtio 9p overlay)

[[ -f $moddir/modules.dep ]] || fail "no modules for kernel $version in $moddir (install its linux-image package)"
[[ -x $busybox ]] || fail "$busybox is missing (install busybox-static)"
# A dynamically linked busybox would find no C library in the initramfs.
! ldd "$busybox" >/dev/null 2>&1 || fail "$busybox is dynamically linked (install busybox-static)"
for tool in cpio gzip modprobe; do
    command -v "$tool" >/dev/null || fail "'$tool' is missing; run scripts/install-deps.sh"
done

mkdir -p "$cache"
image=$cache/initramfs-$version.cpio.gz
exec 9>"$cache/.lock"
flock 9    # two runs at once build it once

up_to_date() {
    [[ -f $image ]] || return 1
    local source
    for source in "/boot/vmlinuz-$version" "$moddir/modules.dep" "$busybox" "$here/initramfs-init.sh" "${BASH_SOURCE[0]}"; do
        [[ ! $source -nt $image ]] || return 1
    done
}

if ! up_to_date; then
    echo "make-initramfs: building $image" >&2
    staging=$(mktemp -d "$cache/staging.XXXXXX")
    trap 'rm -rf "$staging"' EXIT
    mkdir -p "$staging"/{bin,dev,proc,sys,modules,lower,rw,newroot}
    cp "$busybox" "$staging/bin/busybox"
    cp "$here/initramfs-init.sh" "$staging/init"
    chmod 755 "$staging/init"

    # modprobe lists each module after the ones it needs, some more than once; keep the first mention.
    # Built-in ones ("builtin NAME") need no loading.
    modprobe -a -S "$version" --show-depends "${modules[@]}" >"$staging/depends" ||
        fail "modprobe cannot resolve ${modules[*]} for kernel $version"
    awk '$1 == "insmod" && !seen[$2]++ { print $2 }' "$staging/depends" >"$staging/paths"
    n=0
    while read -r path; do
        n=$((n + 1))
        name=$(printf '%02d-%s' "$n" "$(basename "$path")")
        case $path in
            *.ko) cp "$path" "$staging/modules/$name" ;;
            # busybox's insmod takes plain modules only.
            *.ko.xz) xz -dc "$path" >"$staging/modules/${name%.xz}" ;;
            *.ko.zst) zstd -qdc "$path" >"$staging/modules/${name%.zst}" ;;
            *) fail "cannot load module $path" ;;
        esac
    done <"$staging/paths"
    rm "$staging/depends" "$staging/paths"

    (cd "$staging" && find . -mindepth 1 | LC_ALL=C sort | cpio --quiet -o -H newc -R 0:0) | gzip -1 >"$image.new"
    mv "$image.new" "$image"
fi
echo "$image"
