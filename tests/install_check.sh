#!/usr/bin/env bash
# Installs into a scratch root and checks the layout, the relative run directory and the
# desktop entry.
set -euo pipefail
build_dir="$1"
root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT
DESTDIR="$root" cmake --install "$build_dir" --prefix /opt > /dev/null
run="$root/opt/lib/tarvo"
for entry in Tarvo7S_sub1 Tarvo7S_sub2 Tarvo6_sub3 Tarvo_V7S Tarvo_V6 tarvo Tarvo.build \
             ele/user.txt ele/01_H.ele mix/Water.mix2 mu_ele/92_U.mut mu_mix/Water.muc2; do
    [ -e "$run/$entry" ] || { echo "not installed: $entry"; exit 1; }
done
# The command-line tool is on the PATH and reads the installed tables.
[ -L "$root/opt/bin/tarvo" ] || { echo "no bin/tarvo"; exit 1; }
[ "$(readlink "$run/Tarvo_V6")" = Tarvo_V7S ] || { echo "Tarvo_V6 is no link to Tarvo_V7S"; exit 1; }
# The tables live under share, linked from the run directory.
for directory in ele mix mu_ele mu_mix examples tube_spectra; do
    [ "$(readlink "$run/$directory")" = "../../share/tarvo/$directory" ] ||
        { echo "$directory is not linked to share/tarvo"; exit 1; }
done
gzip -t "$root/opt/share/man/man1/tarvo.1.gz" || { echo "no compressed man page"; exit 1; }
grep -q '^License: Expat' "$root/opt/share/doc/tarvo/copyright" || { echo "no copyright"; exit 1; }
gzip -t "$root/opt/share/doc/tarvo/changelog.Debian.gz" || { echo "no changelog"; exit 1; }
"$root/opt/bin/tarvo" mu Water --energy 1.25 --csv | grep -q '^1.250E+00,,6.323E-02,' ||
    { echo "the installed tarvo does not read its tables"; exit 1; }
# The Python module sits in the prefix's Python path and reads the same tables.
if [ -n "${TARVO_PYTHON:-}" ]; then
    module_dir=$(ls -d "$root"/opt/lib/python3*/dist-packages)
    (cd / && PYTHONPATH="$module_dir" TARVO_DATA= "$TARVO_PYTHON" -c '
import importlib.metadata, tarvo
assert tarvo.material("Water").mu(1.25) == 0.06323, "wrong value"
assert importlib.metadata.version("tarvo") == tarvo.__version__, "no metadata"
') || { echo "the installed module does not read its tables"; exit 1; }
    for typed in tarvo/py.typed tarvo/_tarvo.pyi tarvo/__init__.pyi; do
        [ -e "$module_dir/$typed" ] || { echo "not installed: $typed"; exit 1; }
    done
fi
# A fresh home and an installation the user cannot write to: `tarvo combine` and the
# module's save put a new table into the per-user run directory the viewers use, making
# only the folders they need there. Run as an unprivileged user where the check runs as
# root (root may write anywhere).
chmod 755 "$root"
home="$root/home"
mkdir -m 777 "$home"
if [ "$(id -u)" -eq 0 ]; then
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
else
    as_user=()
    chmod -R a-w "$root/opt"
fi
user_copy="$home/.local/share/tarvo"
(cd "$home" && HOME="$home" XDG_DATA_HOME= "${as_user[@]}" "$root/opt/bin/tarvo" combine \
    --formula C2H4 --name "My polyethylene" --density 0.94 --out My_PE.muc3 > out 2> err) ||
    { echo "combine failed on a read-only installation: $(cat "$home/err")"; exit 1; }
grep -q "per-user run directory" "$home/err" || { echo "combine did not say where: $(cat "$home/err")"; exit 1; }
grep -qF "$user_copy/mu_mix/My_PE.muc3" "$home/out" || { echo "combine wrote: $(cat "$home/out")"; exit 1; }
if [ -n "${TARVO_PYTHON:-}" ]; then
    (cd "$home" && HOME="$home" XDG_DATA_HOME= PYTHONPATH="$module_dir" "${as_user[@]}" \
        "$TARVO_PYTHON" -W error::UserWarning -c '
import tarvo
try:
    tarvo.compound("C2H4", density=0.94, name="Polythene 2").save()
    raise SystemExit("no warning said where the tables went")
except UserWarning as warning:
    assert "per-user run directory" in str(warning), warning
') || { echo "the module did not save to the per-user run directory"; exit 1; }
    [ -s "$user_copy/mix/Polythene_2.mix3" ] || { echo "the module wrote no mix table: $(ls "$user_copy"/mix)"; exit 1; }
fi
[ -s "$user_copy/mu_mix/My_PE.muc3" ] || { echo "no table in the per-user run directory"; exit 1; }
[ -z "$(ls "$user_copy" | grep -vx 'mix\|mu_mix')" ] || { echo "more than the table folders: $(ls "$user_copy")"; exit 1; }
[ -w "$root/opt/lib/tarvo" ] || chmod -R u+w "$root/opt"

desktop="$root/opt/share/applications/tarvo.desktop"
grep -qx 'Exec=/opt/lib/tarvo/Tarvo_V7S' "$desktop" || { echo "wrong Exec in $desktop"; exit 1; }
grep -qx 'Icon=tarvo' "$desktop"
[ -s "$root/opt/share/icons/hicolor/scalable/apps/tarvo.svg" ]
# The installation holds nothing absolute: a moved prefix's spline tool finds its files.
mv "$root/opt" "$root/moved"
moved="$root/moved/lib/tarvo"
printf 'mu_ele\\01_H.mut\r\n010.0\r\n001.0\r\n' > "$moved/B2F.dat"
(cd / && "$moved/Tarvo6_sub3" > /dev/null)
[ "$(wc -l < "$moved/F2B.dat")" -eq 10 ] || { echo "the moved tool did not run"; exit 1; }
echo "installation checked"
