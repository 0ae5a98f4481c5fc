#!/usr/bin/env bash
# The i386 Debian root in which this machine runs 32-bit programs: 32-bit
# wine for the i686 DLL and its tests, and the compilers and libraries for
# the Linux suites built for i386. The host's own dpkg stays amd64 only.
#
#   tools/i386-root.sh               make the root if it is missing or out of
#                                    date, then print its path
#   tools/i386-root.sh run CMD ARG.. run CMD in the root (made first if need be)
#
# The root is made with mmdebstrap on first use, from the Debian mirror this
# machine's apt already uses (TQ_DEBIAN_MIRROR chooses another), and reused
# after. It lives in build/i386-root, git-ignored with the rest of build/;
# TQ_I386_ROOT chooses another place, for example one that several clones
# share. A changed package list below makes a new root on the next use.
#
# CMD runs as i686 (setarch) in a chroot with private mount and PID
# namespaces: /dev, a /proc of its own, this repository (at the same path)
# and, when DISPLAY is set, the X socket and XAUTHORITY are bound in. Nothing
# stays mounted and no process outlives CMD. WINEPREFIX is set to the 32-bit
# programs' prefix, inside the root.
# Making and entering the root need root privileges.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
root="${TQ_I386_ROOT:-$repo/build/i386-root}"
suite=bookworm
packages=(
    # The i686 DLL and its test programs.
    wine32 fonts-wine fonts-liberation
    # The Linux suites, built for i386.
    g++ cmake ninja-build pkg-config libgtest-dev libgmock-dev libsndfile1-dev
    libfreetype-dev libfontconfig-dev libpng-dev libx11-dev libxtst-dev xvfb xauth locales
)
prefix=/var/lib/tq-spectrum/wineprefix

fail() {
    echo "i386-root: $*" >&2
    exit 1
}

# The URI of the first enabled source that serves the suite: one-line
# sources.list entries and deb822 .sources files.
host_mirror() {
    local lists=() sources=()
    shopt -s nullglob
    lists=(/etc/apt/sources.list /etc/apt/sources.list.d/*.list)
    sources=(/etc/apt/sources.list.d/*.sources)
    shopt -u nullglob
    local found=""
    if [ ${#lists[@]} -gt 0 ]; then
        found=$(awk -v suite="$suite" '
            $1 == "deb" {
                i = 2
                if ($i ~ /^\[/) { while (i < NF && $i !~ /\]$/) i++; i++ }
                if ($(i + 1) == suite) { print $i; exit }
            }' "${lists[@]}" 2>/dev/null || true)
    fi
    if [ -z "$found" ] && [ ${#sources[@]} -gt 0 ]; then
        found=$(awk -v suite="$suite" '
            function flush() {
                if (!done && types ~ /(^| )deb( |$)/ && (" " suites " ") ~ (" " suite " ") &&
                    enabled != "no" && uri != "") { print uri; done = 1 }
                types = suites = uri = enabled = ""
            }
            done { exit }
            /^[ \t]*#/ { next }
            /^[ \t]*$/ { flush(); next }
            {
                key = tolower($1); sub(/:$/, "", key)
                value = $0; sub(/^[^:]*:[ \t]*/, "", value)
                if (key == "types") types = value
                else if (key == "suites") suites = value
                else if (key == "uris") { split(value, u, /[ \t]+/); uri = u[1] }
                else if (key == "enabled") enabled = tolower(value)
            }
            END { flush() }' "${sources[@]}")
    fi
    echo "$found"
}

# The package list and suite the root was made from: a root made from
# another list is made anew.
stamp() {
    echo "$suite ${packages[*]} $prefix" | sha256sum | cut -d' ' -f1
}

check_host() {
    [ "$(id -u)" -eq 0 ] ||
        fail "making and entering the i386 root needs root (mmdebstrap --mode=root, chroot)"
    command -v arch-test >/dev/null ||
        fail "arch-test is missing: bash tools/deps.sh windows installs it"
    local answer
    answer=$(arch-test i386 2>&1 || true)
    if [ "$answer" != "i386: ok" ]; then
        fail "this kernel cannot execute i386 programs (arch-test i386: ${answer:-no answer});" \
            "the 32-bit DLL and the i386 builds cannot be tested on this machine"
    fi
}

# enter ROOT CMD ARG...: runs CMD in ROOT, as the header says.
enter() {
    local mounts into=$1
    shift
    mounts='set -e
        root=$1 repo=$2; shift 2
        mount --rbind /dev "$root/dev"
        mount -t proc proc "$root/proc"
        mkdir -p "$root$repo"
        mount --bind "$repo" "$root$repo"
        if [ -n "${DISPLAY:-}" ] && [ -d /tmp/.X11-unix ]; then
            mkdir -p "$root/tmp/.X11-unix"
            mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix"
        fi
        if [ -n "${XAUTHORITY:-}" ] && [ -f "$XAUTHORITY" ]; then
            mkdir -p "$root$(dirname "$XAUTHORITY")"
            touch "$root$XAUTHORITY"
            mount --bind "$XAUTHORITY" "$root$XAUTHORITY"
        fi
        exec chroot "$root" sh -c "cd \"\$0\" 2>/dev/null || cd /; exec setarch i686 \"\$@\"" \
            "$PWD" "$@"'
    # The root's programs find their own tools, home and wine prefix.
    PATH=/usr/local/bin:/usr/bin:/bin:/usr/local/sbin:/usr/sbin:/sbin HOME=/root \
        WINEPREFIX="$prefix" TMPDIR=/tmp \
        unshare --mount --pid --fork --kill-child --propagation private \
        sh -c "$mounts" sh "$into" "$repo" "$@"
}

make_root() {
    local mirror new
    mirror="${TQ_DEBIAN_MIRROR:-$(host_mirror)}"
    [ -n "$mirror" ] ||
        fail "no Debian mirror serving $suite in /etc/apt/sources.list{,.d}; set TQ_DEBIAN_MIRROR"
    command -v mmdebstrap >/dev/null ||
        fail "mmdebstrap is missing: bash tools/deps.sh windows installs it"
    echo "Making the i386 root in $root (mmdebstrap, $suite, from $mirror)" >&2
    new="$root.new"
    rm -rf --one-file-system "$new"
    mkdir -p "$(dirname "$root")"
    local include
    include=$(
        IFS=,
        echo "${packages[*]}"
    )
    # In a mount namespace of its own, so that none of mmdebstrap's mounts
    # can stay behind.
    unshare --mount --propagation private \
        mmdebstrap --quiet --mode=root --arch=i386 --variant=essential --include="$include" \
        "$suite" "$new" "deb $mirror $suite main" "deb $mirror $suite-updates main"
    # wine makes its prefix there on first use (cmake/wine-run.sh).
    mkdir -p "$new$(dirname "$prefix")"
    stamp >"$new/etc/tq-spectrum-root"
    if [ -e "$root" ]; then
        rm -rf --one-file-system "$root"
    fi
    mv "$new" "$root"
}

case "${1:-}" in
"") ;;
run) [ $# -gt 1 ] || fail "usage: $0 run CMD [ARG...]" ;;
*) fail "usage: $0 [run CMD [ARG...]]" ;;
esac
check_host
mkdir -p "$(dirname "$root")"
# One maker at a time; users of the root hold it shared.
exec 9>"$root.lock"
flock -x 9
if [ "$(cat "$root/etc/tq-spectrum-root" 2>/dev/null)" != "$(stamp)" ]; then
    start=$(date +%s)
    make_root
    echo "The i386 root took $(($(date +%s) - start)) s to make." >&2
fi
flock -s 9

if [ $# -eq 0 ]; then
    echo "$root"
else
    shift
    enter "$root" "$@"
fi
