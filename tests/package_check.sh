#!/usr/bin/env bash
# Builds the Debian package from the build directory given, as a department's IT would
# take it: its name in Debian's form, lintian without an error or warning (bar the one a
# package outside the Debian archive always has), stripped programs, the file list.
set -euo pipefail
build_dir="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cpack --config "$build_dir/CPackConfig.cmake" -G DEB -B "$work" > "$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; exit 1; }
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build_dir/CPackConfig.cmake")
package="$work/tarvo_${version}-1_$(dpkg --print-architecture).deb"
[ -s "$package" ] || { echo "no $package"; ls "$work"; exit 1; }

# An initial upload to the Debian archive closes its "intent to package" bug; this package
# is not uploaded there, so it has none to close.
findings=$(lintian --suppress-tags initial-upload-closes-no-bugs "$package" 2>&1 |
    grep -v 'running with root privileges' || true)
[ -z "$findings" ] || { echo "lintian: $findings"; exit 1; }

fields() { dpkg-deb -f "$package" "$@"; }
fields Depends | grep -q 'libc6 (>= ' || { echo "no computed dependencies: $(fields Depends)"; exit 1; }
fields Maintainer | grep -q '<.*@.*>' || { echo "no maintainer address"; exit 1; }

dpkg-deb -x "$package" "$work/root"
files="$work/root/usr"
for entry in lib/tarvo/Tarvo7S_sub1 lib/tarvo/Tarvo7S_sub2 lib/tarvo/Tarvo6_sub3 \
             lib/tarvo/Tarvo_V7S lib/tarvo/tarvo bin/tarvo share/man/man1/tarvo.1.gz \
             share/doc/tarvo/copyright share/doc/tarvo/changelog.Debian.gz \
             share/tarvo/ele/82_Pb.ele share/tarvo/mu_mix/Water.muc2 \
             share/applications/tarvo.desktop; do
    [ -e "$files/$entry" ] || { echo "not packaged: $entry"; exit 1; }
done
[ "$(readlink "$files/lib/tarvo/Tarvo_V6")" = Tarvo_V7S ] || { echo "Tarvo_V6 is no link"; exit 1; }
for program in "$files"/lib/tarvo/Tarvo* "$files"/lib/tarvo/tarvo; do
    [ -L "$program" ] || ! file "$program" | grep -q 'not stripped' ||
        { echo "not stripped: $program"; exit 1; }
done
# Nothing that depends on the machine under share, no table under lib.
[ -z "$(find "$files/share" -type f -exec file {} + | grep ELF)" ] || { echo "ELF under share"; exit 1; }
[ -z "$(find "$files/lib/tarvo" -name '*.mu*' -type f)" ] || { echo "tables under lib"; exit 1; }
desktop-file-validate "$files/share/applications/tarvo.desktop"
echo "package $(basename "$package"): $(stat -c %s "$package") bytes, Installed-Size $(fields Installed-Size) KiB"
