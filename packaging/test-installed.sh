#!/usr/bin/env bash
# Builds the Debian package from the build tree, has lintian check it (any error or
# warning fails), installs it with apt-get as a user would, runs the installed
# programs, then purges it and checks that none of its files is left behind.
# Run after the tests (the window tests take the screenshots the metadata names),
# as root or through sudo, on a machine where installing the package is fine.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$(realpath "${ZORVIK_BUILD_DIR:-build}")
start=$SECONDS

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
apt_get() {
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get -o DPkg::Lock::Timeout=300 -y -qq "$@"
}
fail() {
    echo "test-installed: $*" >&2
    exit 1
}

tools=(lintian appstream man-db bash-completion)
missing=()
for p in "${tools[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    apt_get update
    apt_get install "${missing[@]}" >/dev/null
fi

echo "== package =="
cmake --build "$dir" -j"$(nproc)" >/dev/null
rm -rf "$dir/package"
(cd "$dir" && cpack -G DEB -B "$dir/package" >/dev/null)
debs=("$dir"/package/zorvik_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no single zorvik_*.deb"
deb=${debs[0]}
echo "$(basename "$deb")"

echo "== lintian =="
# Informational tags are shown; errors and warnings fail.
lintian --display-info --fail-on error,warning "$deb"

echo "== metadata =="
work=$(mktemp -d)
source scripts/sim.sh
cleanup() {
    sim_stop
    rm -rf "$work"
}
trap cleanup EXIT
dpkg-deb -x "$deb" "$work/root"
metainfo="$work/root/usr/share/metainfo/org.zorvik.zorvik.metainfo.xml"
[ -f "$metainfo" ] || fail "the package has no AppStream metadata"
appstreamcli validate --no-net --pedantic "$metainfo"
# The screenshots it names are those the window tests took into the build tree.
mapfile -t shots < <(sed -n 's|.*<image[^>]*>https://[^<]*/\([^/<]*\.png\)</image>.*|\1|p' "$metainfo")
[ ${#shots[@]} -ge 2 ] || fail "the metadata names fewer than two screenshots"
for shot in "${shots[@]}"; do
    file "$dir/screenshots/$shot" 2>/dev/null | grep -q "PNG image data" ||
        fail "screenshot $shot is not in $dir/screenshots (run the window tests first)"
done
grep -q "<launchable type=\"desktop-id\">zorvik.desktop</launchable>" "$metainfo" ||
    fail "the metadata does not name the desktop entry"
[ -f "$work/root/usr/share/applications/zorvik.desktop" ] || fail "the package has no desktop entry"
# The hardware it announces is the printer the udev rule opens to the user.
rule=$(find "$work/root" -name 70-zorvik-printer.rules)
vendor=$(sed -n 's/.*ATTRS{idVendor}=="\([0-9a-f]*\)".*/\1/p' "$rule" | head -1)
product=$(sed -n 's/.*ATTRS{idProduct}=="\([0-9a-f]*\)".*/\1/p' "$rule" | head -1)
grep -qi "<modalias>usb:v${vendor}p${product}d\*</modalias>" "$metainfo" ||
    fail "the metadata does not announce usb:v${vendor}p${product} of the udev rule"

echo "== install =="
if dpkg-query -W -f='${Status}' zorvik 2>/dev/null | grep -q "ok installed"; then
    apt_get purge zorvik >/dev/null
fi
apt_get install "$deb" >/dev/null
dpkg-query -L zorvik >"$work/files"
for p in /usr/bin/zorvik /usr/bin/zorvik-cli /usr/bin/zorvik-sim /usr/share/man/man1/zorvik-cli.1.gz \
    /usr/share/bash-completion/completions/zorvik-cli /usr/share/doc/zorvik/copyright; do
    grep -qx "$p" "$work/files" || fail "dpkg -L does not list $p"
    [ -e "$p" ] || fail "$p is not installed"
done

echo "== installed programs =="
version=$(/usr/bin/zorvik-cli --version)
[ "$version" = "zorvik-cli $(dpkg-query -W -f='${Version}' zorvik)" ] || fail "zorvik-cli --version says \"$version\""
echo "$version"

sim_start /usr/bin/zorvik-sim "$work/sim.out"
port=$sim_port
[ -n "$port" ] || fail "the installed zorvik-sim did not start"
/usr/bin/zorvik-cli check --port "127.0.0.1:$port" || fail "zorvik-cli check failed"
json=$(/usr/bin/zorvik-cli get --json --port "127.0.0.1:$port") || fail "zorvik-cli get --json failed"
[[ $json == "{"*"}" && $json == *"\"printer\": \"127.0.0.1:$port\""* ]] ||
    fail "zorvik-cli get --json printed: $json"
echo "get --json: ${#json} characters"

QT_QPA_PLATFORM=offscreen /usr/bin/zorvik --help >"$work/help" || fail "zorvik --help failed"
grep -q -- "--demo" "$work/help" || fail "zorvik --help does not list --demo"

MANWIDTH=80 man -P cat zorvik-cli >"$work/man" 2>"$work/man.err" || fail "man zorvik-cli: $(cat "$work/man.err")"
grep -q "^SYNOPSIS" "$work/man" || fail "man zorvik-cli rendered no SYNOPSIS"
# groff's warnings; a container without locales may add a line about the locale.
! grep -qi "warning\|error" "$work/man.err" || fail "man zorvik-cli warned: $(cat "$work/man.err")"

# The completion as bash-completion loads it on demand, against the subcommands the
# installed tool's help lists.
mapfile -t subcommands < <(/usr/bin/zorvik-cli --help |
    sed -n '/^Subcommands:/,/^$/s/^  \([a-z][a-z-]*\) .*/\1/p')
[ ${#subcommands[@]} -ge 5 ] || fail "zorvik-cli --help lists no subcommands"
offered=$(bash --norc --noprofile -c '
    source /usr/share/bash-completion/bash_completion
    __load_completion zorvik-cli || exit 1
    function=$(complete -p zorvik-cli | sed -n "s/.*-F \([^ ]*\) .*/\1/p")
    COMP_WORDS=(zorvik-cli ""); COMP_CWORD=1
    "$function" zorvik-cli "" zorvik-cli
    printf "%s\n" "${COMPREPLY[@]}"') || fail "bash-completion does not load the completion of zorvik-cli"
for sub in "${subcommands[@]}"; do
    grep -qx "$sub" <<<"$offered" || fail "the completion does not offer \"$sub\""
done
echo "completion offers: ${subcommands[*]}"

echo "== purge =="
apt_get purge zorvik >/dev/null
! dpkg-query -W -f='${Status}' zorvik 2>/dev/null | grep -q "ok installed" || fail "zorvik is still installed"
left=0
while IFS= read -r p; do
    # Folders may be shared with other packages; files and links must be gone.
    if { [ -e "$p" ] || [ -L "$p" ]; } && [ ! -d "$p" ]; then
        echo "left behind: $p" >&2
        left=1
    fi
done <"$work/files"
[ "$left" -eq 0 ] || fail "files of the package are left after the purge"
[ ! -d /usr/share/doc/zorvik ] || fail "/usr/share/doc/zorvik is left after the purge"

echo "test-installed: all checks passed in $((SECONDS - start)) s"
