#!/usr/bin/env bash
# Regenerates docs/screenshot.png: the desktop program under Xvfb after browsing a small
# generated library (some files with mismatches), captured with ImageMagick's import; then
# docs/options.png and docs/options-genres.png, two pages of the Options dialog, opened with
# xdotool's keys; then docs/properties.png, the Properties dialog on one file with a cover;
# then docs/statistics.png, the Statistics window on its Years page; then
# docs/update-data-files.png, the Update Data Files window during a transfer; then
# docs/new-version.png, the window Check for Updates opens for a newer version.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
for tool in import:imagemagick xdotool:xdotool; do
  command -v "${tool%%:*}" >/dev/null || { [ "$(id -u)" -eq 0 ] && apt-get install -y -q "${tool#*:}" >/dev/null || sudo apt-get install -y -q "${tool#*:}" >/dev/null; }
done

build="$root/build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVARNHOLM_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target quenlor quenlor-cli make-corpus >/dev/null

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$build/bin/make-corpus" "$work/Music" 40 >/dev/null
# Every fourth file gets a name its tags do not call for, so that some rows are flagged.
find "$work/Music" -name '*.mp3' | sort | awk 'NR % 4 == 2' | while read -r f; do
  mv "$f" "$(dirname "$f")/$(basename "$f" | tr '[:upper:] ' '[:lower:]_')"
done
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_STATE_HOME="$work/state"
mkdir -p "$HOME"
# Folded names ("Track Number - Title") are what the generated files mostly carry already, so
# the picture shows plain rows beside the flagged ones.
"$build/bin/quenlor-cli" options set MP3NameComputing 2 >/dev/null

# A screen of the window's own size: without a window manager the window fills it.
xvfb-run -a -s "-screen 0 957x621x24" bash -c '
  "$0" "$1" &
  pid=$!
  sleep 4
  import -window root "$2"
  kill $pid
' "$build/bin/quenlor" "$work/Music" "$work/shot.png"
cp "$work/shot.png" "$root/docs/screenshot.png"
echo "wrote docs/screenshot.png"

# The Options dialog from the Tools menu (its last item), then four pages on to Genres.
xvfb-run -a -s "-screen 0 1280x900x24" bash -c '
  "$0" &
  pid=$!
  sleep 4
  xdotool windowfocus --sync "$(xdotool search --name "^Varnholm\$" | head -1)"
  xdotool key alt+t
  sleep 1
  xdotool key Up Return
  sleep 2
  dialog=$(xdotool search --name "^Options\$" | head -1)
  import -window "$dialog" "$1"
  xdotool windowfocus --sync "$dialog"
  xdotool key ctrl+Tab ctrl+Tab ctrl+Tab ctrl+Tab
  sleep 1
  import -window "$dialog" "$2"
  kill $pid
' "$build/bin/quenlor" "$work/options.png" "$work/options-genres.png"
cp "$work/options.png" "$work/options-genres.png" "$root/docs/"
echo "wrote docs/options.png and docs/options-genres.png"

# One file with a front cover made by ImageMagick and embedded with quenlor-cli tag; the window
# opens it, and Enter in the list opens the Properties dialog on its row.
mkdir -p "$work/One"
one="$work/One/$(basename "$(find "$work/Music" -name '*.mp3' | sort | head -1)")"
cp "$(find "$work/Music" -name '*.mp3' | sort | head -1)" "$one"
convert -size 300x300 radial-gradient:'#f4a259'-'#1d4e89' "$work/cover.jpg"
"$build/bin/quenlor-cli" tag "$one" --cover "$work/cover.jpg" --comment "Remastered" >/dev/null
xvfb-run -a -s "-screen 0 1280x900x24" bash -c '
  "$0" "$1" &
  pid=$!
  sleep 4
  xdotool windowfocus --sync "$(xdotool search --name "^Varnholm\$" | head -1)"
  xdotool key Home Return
  sleep 2
  import -window "$(xdotool search --name "^Properties\$" | head -1)" "$2"
  kill $pid
' "$build/bin/quenlor" "$one" "$work/properties.png"
cp "$work/properties.png" "$root/docs/"
echo "wrote docs/properties.png"

# The Statistics window over a larger library, from the Tools menu (third item from the
# bottom), on its Years page.
"$build/bin/make-corpus" "$work/Library" 400 >/dev/null
xvfb-run -a -s "-screen 0 1280x900x24" bash -c '
  "$0" "$1" &
  pid=$!
  sleep 5
  xdotool windowfocus --sync "$(xdotool search --name "^Varnholm\$" | head -1)"
  xdotool key alt+t
  sleep 1
  xdotool key Up Up Up Return
  sleep 2
  window=$(xdotool search --name "^Statistics\$" | head -1)
  xdotool windowfocus --sync "$window"
  xdotool key ctrl+Tab
  sleep 1
  import -window "$window" "$2"
  kill $pid
' "$build/bin/quenlor" "$work/Library" "$work/statistics.png"
cp "$work/statistics.png" "$root/docs/"
echo "wrote docs/statistics.png"

# The Update Data Files window in the middle of a transfer: a local server sends two data files
# slowly, the update list names them, and Ctrl+U starts the update.
mkdir -p "$work/web" "$XDG_DATA_HOME/Tessaly/Varnholm"
python3 -c 'import sys; sys.stdout.write("".join("Genre %d\r\n" % i for i in range(20000)))' > "$work/web/MP3Genres.def"
printf 'AC/DC\r\n' > "$work/web/MP3ArtistExceptions.def"
python3 "$root/tests/testsupport/web_test_server.py" --root "$work/web" --log "$work/web.log" > "$work/port" &
server=$!
sleep 1
port=$(head -1 "$work/port")
printf 'Genres\thttp://127.0.0.1:%s/slow/MP3Genres.def|MP3Genres.def\r\nArtist Exceptions\thttp://127.0.0.1:%s/slow/MP3ArtistExceptions.def|MP3ArtistExceptions.def\r\n' \
  "$port" "$port" > "$XDG_DATA_HOME/Tessaly/Varnholm/Quenlor.def"
"$build/bin/quenlor-cli" options reset >/dev/null
xvfb-run -a -s "-screen 0 1280x900x24" bash -c '
  "$0" &
  pid=$!
  sleep 4
  xdotool windowfocus --sync "$(xdotool search --name "^Varnholm\$" | head -1)"
  xdotool key ctrl+u
  sleep 6
  import -window "$(xdotool search --name "^Update Data Files\$" | head -1)" "$1"
  kill $pid
' "$build/bin/quenlor" "$work/update-data-files.png"
cp "$work/update-data-files.png" "$root/docs/"
echo "wrote docs/update-data-files.png"

# Check for Updates (F9) against the same server, which advertises a newer version with its
# release notes.
printf '[Quenlor]\r\nVersion=9.00.00\r\nReadmeFileURL=http://127.0.0.1:%s/files/notes.txt\r\nDownloadFileURL=http://127.0.0.1:%s/files/setup.bin\r\n' \
  "$port" "$port" > "$work/web/TessalyUpdates.txt"
cat > "$work/web/notes.txt" <<'NOTES'
Version 9.00.00

New
- MP3val and MP3Gain run from the toolbar and from quenlor-cli.
- Check for Updates downloads the new version and verifies it before it opens.

Fixed
- Versions compare as numbers: 10.00.00 is newer than 9.99.99.
- A data file is replaced in one step, never left half-written.
NOTES
printf 'installer' > "$work/web/setup.bin"
VARNHOLM_UPDATE_FILE_URL="http://127.0.0.1:$port/files/TessalyUpdates.txt" \
xvfb-run -a -s "-screen 0 1280x900x24" bash -c '
  "$0" &
  pid=$!
  sleep 4
  xdotool windowfocus --sync "$(xdotool search --name "^Varnholm\$" | head -1)"
  xdotool key F9
  sleep 3
  import -window "$(xdotool search --name "^New Version Available\$" | head -1)" "$1"
  kill $pid
' "$build/bin/quenlor" "$work/new-version.png"
kill $server
cp "$work/new-version.png" "$root/docs/"
echo "wrote docs/new-version.png"
