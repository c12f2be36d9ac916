#!/usr/bin/env bash
# Windows stage: cross-builds the .exe and its console companion, the .com, with Debian's
# mingw-w64, checks their resources, runs the unit tests under Wine, runs the default run of
# the .exe (and through the .com) under Wine + Xvfb and compares its six files byte for byte
# with the Linux build's, runs the commands from Wine's cmd (exit status, a folder quoted
# with its trailing backslash, accented text in the console and in a pipe), checks that a
# read-only target file survives a failed run, takes the screenshots of the wait window and
# of the " Errore n. 1250" box, and builds the release archive.
#
# Folders (override for a build of your own): SB_WINDOWS_BUILD (build/windows),
# SB_NATIVE_BUILD (build/default), SB_WINDOWS_SHOTS (build/windows/shots).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/install.sh
root=$PWD
win_build=${SB_WINDOWS_BUILD:-$root/build/windows}
native_build=${SB_NATIVE_BUILD:-$root/build/default}
shots=${SB_WINDOWS_SHOTS:-$win_build/shots}

export WINEPREFIX=$win_build/wine-prefix
export WINEDEBUG=-all
# No Mono or Gecko: their installers would ask on the first start of the prefix.
export WINEDLLOVERRIDES="mscoree,mshtml="
# The Windows name of a Linux path: drive Z: is the root.
winpath() { printf 'Z:%s' "${1//\//\\}"; }
# Runs a command on a display of its own; Wine's processes end with the display.
xvfb() {
  timeout 600 xvfb-run -a -s "-screen 0 1024x768x24" \
    bash -c '"$@"; status=$?; wineserver -w; exit $status' xvfb "$@" </dev/null
}
# Starts EXE (a Linux path) with no arguments under Wine, on a Wine desktop that is up before
# it starts, from the current folder; win-shots reports its window, answers its message box
# and prints its exit code.
run_exe() {
  xvfb wine explorer /desktop=run,800x600 "$win_build/win-shots.exe" answer "$(winpath "$1")"
}

# --- the screenshots, run inside Xvfb by this same script -----------------------------------
# A Wine desktop of its own draws the window frames; win-shots holds each window until its
# picture is taken.
if [ "${1:-}" = "--shots" ]; then
  log=$shots/win-shots.txt
  : >"$log"
  rm -f "$shots"/go-* "$shots"/*.png
  wine explorer /desktop=shots,640x400 "$win_build/win-shots.exe" shots "$(winpath "$shots")" \
    >"$log" 2>&1 &
  pid=$!
  shoot() {  # KEY NAME: waits for "KEY-rect: x y w h", saves that part of the screen
    local rect="" i
    for i in $(seq 600); do
      rect=$(sed -n "s/^$1-rect: //p" "$log")
      [ -n "$rect" ] && break
      sleep 0.1
    done
    [ -n "$rect" ] || { echo "no $1 on the screen" >&2; return 1; }
    set -- "$1" "$2" $rect
    sleep 0.5
    import -window root "$shots/root.png"
    /usr/bin/convert "$shots/root.png" -crop "$5x$6+$3+$4" +repage "$shots/$2"
    rm -f "$shots/root.png"
    touch "$shots/go-$1"
  }
  status=0
  shoot window windows-wait-window.png || status=1
  shoot box windows-errore-1250.png || status=1
  wait "$pid" || status=1
  rm -f "$shots"/go-*
  exit $status
fi

# --- checks -------------------------------------------------------------------------------
passed=0
failed=0
check() {  # DESCRIPTION COMMAND...
  local what=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
    echo "ok: $what"
  else
    failed=$((failed + 1))
    echo "FAILED: $what"
  fi
}
started=$(date +%s)
lap=$started
times=()
stamp() {
  local now
  now=$(date +%s)
  times+=("$1 $((now - lap)) s")
  lap=$now
}

# --- packages -----------------------------------------------------------------------------
need=()
command -v x86_64-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-x86-64-posix)
command -v wine >/dev/null || need+=(wine wine64)
[ -f /usr/share/wine/fonts/marlett.ttf ] || need+=(fonts-wine)
[ -f /usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf ] || need+=(fonts-liberation)
command -v xvfb-run >/dev/null || need+=(xvfb)
command -v xauth >/dev/null || need+=(xauth)
{ command -v import >/dev/null && [ -x /usr/bin/convert ]; } || need+=(imagemagick)
[ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
install_missing --no-install-recommends "${need[@]}"
stamp packages

# --- builds -------------------------------------------------------------------------------
echo "== native build (reference files)"
[ -f "$native_build/CMakeCache.txt" ] || cmake -S . -B "$native_build" -DCMAKE_BUILD_TYPE=Release
cmake --build "$native_build" -j2 --target scenario-builder
stamp "native build"

echo "== Windows cross build"
cmake --preset windows -B "$win_build"
# What this stage runs: the fuzz replays are run by the native build only.
cmake --build "$win_build" -j2 --target scenario-builder scenario-builder-com scenario_tests \
  win-shots
stamp "cross build"

# --- the program files --------------------------------------------------------------------
objdump=x86_64-w64-mingw32-objdump
windres=x86_64-w64-mingw32-windres
version=$(sed -n 's/^project(scenario_builder VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
for program in scenario-builder.exe scenario-builder.com; do
  file=$win_build/$program
  echo "== $program: $(stat -c %s "$file") bytes"
  listing=$($windres -i "$file" -O rc 2>&1 || true)
  types=$($objdump -p "$file" | sed -n '/Resource Directory section/,/Resources start/p' |
          sed -n 's/^0[0-9a-f]*   Entry: ID: \(0x[0-9a-f]*\).*/\1/p' | tr '\n' ' ')
  echo "resource types: $types"
  check "$program holds an icon, its group, version information and a manifest" \
    test "$types" = "0x000003 0x00000e 0x000010 0x000018 "
  check "$program: version $version, product and description" \
    bash -c 'grep -q "VALUE \"ProductVersion\", \"$1\"" <<<"$2" &&
             grep -q "VALUE \"ProductName\", \"scenario-builder\"" <<<"$2" &&
             grep -q "VALUE \"FileDescription\", \"Builds a driving scenario" <<<"$2" &&
             grep -q "VALUE \"OriginalFilename\", \"$3\"" <<<"$2"' _ "$version" "$listing" "$program"
  check "$program: manifest with DPI awareness, common controls 6, Windows 7 to 11" \
    bash -c 'for s in "<dpiAware" "Microsoft.Windows.Common-Controls\" version=\"6.0.0.0" \
                      35138b9a-5d96-4fbd-8e2d-a2440225f93a 8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a; do
               strings "$1" | grep -qF "$s" || { echo "no $s"; exit 1; }; done' _ "$file"
  check "$program carries no debug information" \
    bash -c '! $1 -h "$2" | grep -q "\.debug_"' _ "$objdump" "$file"
done
check "the .exe is a Windows program, the .com a console one" \
  bash -c '$1 -p "$2/scenario-builder.exe" | grep -q "(Windows GUI)" &&
           $1 -p "$2/scenario-builder.com" | grep -q "(Windows CUI)"' _ "$objdump" "$win_build"
stamp "program files"

# --- Wine ---------------------------------------------------------------------------------
# A prefix of its own. Wine's own fonts go into it (captions, message boxes), except its
# bitmap "MS Sans Serif", which Wine cannot scale to the label's 24 points: the label gets
# Liberation Sans, of the same metrics, instead.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "== creating the Wine prefix"
  wineboot -i </dev/null >/dev/null 2>&1 || true
  wineserver -w
  fonts=$WINEPREFIX/drive_c/windows/Fonts
  mkdir -p "$fonts"
  for f in /usr/share/wine/fonts/*; do
    case $(basename "$f") in sserif* | ssee* | ms_sans_serif.ttf) ;; *) cp "$f" "$fonts/" ;; esac
  done
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'MS Sans Serif' /t REG_SZ \
    /d 'Liberation Sans' /f </dev/null >/dev/null 2>&1
  wineserver -w
fi
stamp "wine prefix"

echo "== unit tests under Wine"
check "unit tests under Wine" xvfb ctest --test-dir "$win_build" --output-on-failure
stamp "unit tests"

# --- the default run ----------------------------------------------------------------------
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
kept=(Torbena-Sarvico-Zeva_47302_note.txt Torbena-Sarvico-Zeva_47302_rallentamenti.txt
      Torbena-Sarvico-Zeva_47302_scheda_treno.txt Torbena-Sarvico-Zeva_linea.dat
      Torbena-Sarvico-Zeva_47302.sim Torbena-Sarvico-Zeva_47302.dat)
mkdir -p "$scratch/native" "$scratch/app" "$scratch/elsewhere"
cp "$native_build/scenario-builder" "$scratch/native/"
(cd "$scratch/elsewhere" && "$scratch/native/scenario-builder" >/dev/null)

echo "== default run of scenario-builder.exe under Wine, started from another folder"
cp "$win_build/scenario-builder.exe" "$scratch/app/"
run_log=$scratch/run.txt
(cd "$scratch/elsewhere" && run_exe "$scratch/app/scenario-builder.exe") >"$run_log" 2>&1 || true
cat "$run_log"
check "the run shows the wait window, 280 x 179 pixels inside" \
  grep -qx 'window-client: 280x179' "$run_log"
check "the run shows no message and ends with status 0" \
  bash -c "grep -qx 'box: none' '$run_log' && grep -qx 'exit-code: 0' '$run_log'"
same_files() {
  local f
  for f in "${kept[@]}"; do cmp "$scratch/native/$f" "$scratch/app/$f" || return 1; done
}
check "its six files are byte-identical to the Linux build's" same_files
only_six() {
  local expected actual
  expected=$(printf '%s\n' scenario-builder.exe "${kept[@]}" | sort)
  actual=$(ls -A "$scratch/app" | sort)
  [ "$expected" = "$actual" ] || { diff <(echo "$expected") <(echo "$actual"); return 1; }
}
check "the folder holds the .exe and the six files (source texts gone, no temporary)" only_six
check "nothing was written in the working folder" test -z "$(ls -A "$scratch/elsewhere")"

# The default run typed at the prompt: the .com starts the .exe beside it and waits for it.
echo "== default run through scenario-builder.com, from Wine's cmd"
mkdir -p "$scratch/pair"
cp "$win_build/scenario-builder.exe" "$win_build/scenario-builder.com" "$scratch/pair/"
pair_log=$scratch/pair.txt
(cd "$scratch/elsewhere" &&
 xvfb wine cmd /c "$(winpath "$scratch/pair/scenario-builder") & echo status=%ERRORLEVEL%") \
  >"$pair_log" 2>&1 || true
cat "$pair_log"
check "the .com's default run ends with status 0" grep -q '^status=0' "$pair_log"
same_pair() {
  local f
  for f in "${kept[@]}"; do cmp "$scratch/native/$f" "$scratch/pair/$f" || return 1; done
}
check "its six files, beside the two programs, are byte-identical to the Linux build's" same_pair
stamp "default run"

# --- the commands from Wine's cmd ---------------------------------------------------------
echo "== commands typed into Wine's cmd"
prompt=$scratch/prompt
mkdir -p "$prompt"
cp "$win_build/scenario-builder.exe" "$win_build/scenario-builder.com" "$prompt/"
at_prompt() {  # LINE: what a user types at the prompt in $prompt, and the status cmd sees
  { (cd "$prompt" && wine cmd /c "$1 & echo status=%ERRORLEVEL%") </dev/null 2>&1 || true; } |
    tr -d '\r'
}
out=$(at_prompt "scenario-builder sources prova")
check "sources: status 0" grep -qx 'status=0' <<<"$out"
out=$(at_prompt "scenario-builder compile nothere")
echo "$out"
check "compile of a missing folder: messages, then status 2" \
  bash -c 'grep -q "does not exist" <<<"$1" && test "$(tail -1 <<<"$1")" = status=2' _ "$out"
out=$(at_prompt "scenario-builder compile prova")
check "compile: status 0, and the three binary files" \
  bash -c 'grep -qx status=0 <<<"$1" && ls "$2"/prova/*.dat "$2"/prova/*.sim >/dev/null' \
  _ "$out" "$prompt"
# A folder quoted as cmd's Tab completion writes it, with its trailing backslash: --check
# must stay an option (no binary file written), not become part of the folder's name.
rm -f "$prompt"/prova/*.dat "$prompt"/prova/*.sim
# (In a batch file: cmd reads its lines as typed, where Wine would quote an argument of cmd /c.)
printf '@echo off\r\nscenario-builder compile "%s\\" --check\r\necho status=%%ERRORLEVEL%%\r\n' \
  "$(winpath "$prompt/prova")" >"$prompt/tab.bat"
out=$({ (cd "$prompt" && wine cmd /c tab.bat) </dev/null 2>&1 || true; } | tr -d '\r')
echo "$out"
check "compile \"DIR\\\" --check: the folder, then the option (status 0, no file written)" \
  bash -c 'grep -q "checked only, no file written" <<<"$1" && grep -qx status=0 <<<"$1" &&
           ! ls "$2"/prova/*.dat 2>/dev/null' _ "$out" "$prompt"
# Accented text: a folder "Città" and a key "pendènza" (Windows-1252 in the route text).
(cd "$prompt" && wine scenario-builder.com sources "Città" </dev/null >/dev/null 2>&1) || true
printf 'pend\xe8nza, 1000, 2\r\n' >>"$prompt/Città/Torbena-Sarvico-Zeva_linea.txt"
expected="Città\\Torbena-Sarvico-Zeva_linea.txt:79:1: warning: unknown key 'pendènza', line ignored"
(cd "$prompt" && wine scenario-builder.com compile "Città" --check) >/dev/null \
  2>"$scratch/piped.txt" </dev/null || true
check "to a pipe, the messages are UTF-8" grep -qF "$expected" "$scratch/piped.txt"
# In a console (Wine's, on a terminal that shows UTF-8): the characters, not their bytes.
console_text() {  # the text a terminal shows, without its escapes and line breaks
  # (Wine's console moves the cursor over a blank instead of writing it.)
  sed 's/\x1b\[K\x1b\[1C/ /g; s/\x1b\[[0-9;?]*[a-zA-Z]//g' "$1" | tr -d '\r\n'
}
for program in scenario-builder.com scenario-builder.exe; do
  (cd "$prompt" && LC_ALL=C.UTF-8 timeout 120 script -qec \
     "wine $program compile Città --check" "$scratch/console.txt" </dev/null >/dev/null 2>&1) || true
  check "$program in a console shows 'Città' and 'pendènza'" \
    grep -qF "$expected" <(console_text "$scratch/console.txt")
done
(cd "$win_build" && LC_ALL=C.UTF-8 timeout 120 script -qec \
   "wine scenario_tests.exe --gtest_filter=OutputBuffer.* --gtest_color=no" \
   "$scratch/console.txt" </dev/null >/dev/null 2>&1) || true
console_text "$scratch/console.txt" >"$scratch/console-text.txt"
check "the output buffer's tests pass in a console, none skipped" \
  bash -c 'grep -qF "[  PASSED  ] 3 tests." "$1" && ! grep -q SKIPPED "$1"' _ "$scratch/console-text.txt"
stamp "commands at the prompt"

# --- a read-only target file --------------------------------------------------------------
echo "== default run with a read-only notes file"
mkdir -p "$scratch/ro"
cp "$win_build/scenario-builder.exe" "$scratch/ro/"
notes=$scratch/ro/Torbena-Sarvico-Zeva_47302_note.txt
printf 'old notes\r\n' >"$notes"
chmod a-w "$notes"
answer=$scratch/answer.txt
(cd "$scratch/elsewhere" && run_exe "$scratch/ro/scenario-builder.exe") >"$answer" 2>&1 || true
cat "$answer"
check "the old notes file is intact" test "$(cat "$notes")" = $'old notes\r'
check "the failure is shown in a box naming the file" \
  grep -q '^box-text: Run-time error: .*Torbena-Sarvico-Zeva_47302_note\.txt' "$answer"
check "the box has one OK button and no icon" \
  bash -c "grep -qx 'box-buttons: 1 OK' '$answer' && grep -qx 'box-icon: no' '$answer'"
check "the run ends with status 2" grep -qx 'exit-code: 2' "$answer"
check "no temporary file is left" \
  bash -c "! ls -A '$scratch/ro' | grep -q '\.tmp-'"
stamp "read-only target"

# --- screenshots --------------------------------------------------------------------------
echo "== wait window and message box under Wine (screenshots in $shots)"
mkdir -p "$shots"
xvfb bash "$0" --shots || true
cat "$shots/win-shots.txt"
check "the window's client area is 280 x 179 pixels" \
  grep -qx 'window-client: 280x179' "$shots/win-shots.txt"
check "the box says ' Errore n. 1250' under the program's title, one OK, no icon" \
  bash -c "grep -qx 'box-text:  Errore n. 1250' '$shots/win-shots.txt' &&
           grep -qx 'box-title: scenario-builder' '$shots/win-shots.txt' &&
           grep -qx 'box-buttons: 1 OK' '$shots/win-shots.txt' &&
           grep -qx 'box-icon: no' '$shots/win-shots.txt'"
check "both screenshots were taken" \
  test -s "$shots/windows-wait-window.png" -a -s "$shots/windows-errore-1250.png"
stamp screenshots
wineserver -w || true

# --- the release archive ------------------------------------------------------------------
echo "== release archive"
release_dir=$scratch/release
SB_WINDOWS_BUILD=$win_build bash scripts/release-windows.sh "$release_dir"
zip_name=scenario-builder-$version-windows-x64
contents=$(cd "$release_dir" && cmake -E tar tf "$zip_name.zip")
check "$zip_name.zip holds the two programs, the README and the documents as text" \
  bash -c 'for f in scenario-builder.exe scenario-builder.com README.txt docs/architecture.txt; do
             grep -qx "$2/$f" <<<"$1" || { echo "no $f"; exit 1; }; done' _ "$contents" "$zip_name"
stamp "release archive"

echo "== Windows stage times: ${times[*]/%/;} total $(($(date +%s) - started)) s"
echo "windows: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
