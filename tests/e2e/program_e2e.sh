#!/bin/sh
# End-to-end run of the real program under a virtual X server: a fresh
# install folder, the first-run question answered, every module entered and
# left with real key events, the program left with CTRL+F12; then the
# settings file and the library folders are checked.
# With the command-line tool given, VORTA's file operations load a table
# made by the tool from folder 03 and save it into folder 08, where it must
# equal the tool's own conversion of the same file. Then a stereo sample
# placed in folder 01 goes the musician's way: analysed on 1.1.0 and 1.1.1,
# applied into the table viewer and written as a Blofeld dump into folder 05
# with a typed device id and slot, which the tool must read back. XFORM
# analyses the same sample into a table saved into folder 13; XMRPH crosses
# it with a second sample, sweeps an envelope and renders the result into
# folder 01; SLOOP makes a loop of a sample and renders it into folder 01.
# The tool must take each of the three files for what it is.
# Usage: program_e2e.sh <program file> [folder for screenshots] [command-line tool]
# Exit 77 (skipped) when Xvfb or xdotool are missing.
set -u
program="$1"
shots="${2:-}"
cli="${3:-}"
command -v Xvfb >/dev/null 2>&1 || exit 77
command -v xdotool >/dev/null 2>&1 || exit 77
command -v xwininfo >/dev/null 2>&1 || exit 77

work=$(mktemp -d)
display=""
xpid=""
ppid_=""
cleanup() {
  [ -n "$ppid_" ] && kill "$ppid_" 2>/dev/null
  [ -n "$xpid" ] && kill "$xpid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "E2E FAILED: $*"
  [ -f "$work/program.log" ] && tail -n 40 "$work/program.log"
  exit 1
}

cp "$program" "$work/Sonic-Loom" || fail "cannot copy the program"
tables=""
if [ -n "$cli" ] && [ -x "$cli" ] && command -v sox >/dev/null 2>&1; then
  tables="$work/tables"
  mkdir -p "$tables" "$work/data/03 VORTA - Wavetables (Audio, WAV)"
  sox -q -n -r 44100 -c 1 -b 16 "$tables/saw.wav" synth 2 saw 172.265625 vol 0.5 || fail "sox"
  "$cli" analyse --to wav --name SAWTABLE --out "$work/data/03 VORTA - Wavetables (Audio, WAV)" \
    "$tables/saw.wav" >/dev/null || fail "no table from the command-line tool"
  "$cli" convert --to wts --out "$tables" "$work/data/03 VORTA - Wavetables (Audio, WAV)/SAWTABLE.WAV" \
    >/dev/null || fail "no conversion from the command-line tool"
  samples="$work/data/01 Samples (WAV)"
  mkdir -p "$samples"
  # A rich tone on the analysis' own pitch, different on each side (no
  # dither: the same file, and the same pictures, on every run).
  sox -q -D -n -r 44100 -c 2 -b 16 "$samples/TONE.WAV" synth 3 saw 172.265625 square 172.265625 \
    fade 0.05 3 0.05 vol 0.4 || fail "sox"
  # A second, plainer sample for the cross synthesis.
  sox -q -D -n -r 44100 -c 1 -b 16 "$samples/VOICE.WAV" synth 2 sine 220 fade 0.05 2 0.05 vol 0.5 || fail "sox"
fi
# The server picks a free display itself (-displayfd), so a run never
# meets another test's server on the same number; a cookie of an outer
# xvfb-run is no use to it.
unset XAUTHORITY
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xpid=$!
i=0
until [ -s "$work/display" ] && display=":$(head -n 1 "$work/display")" && DISPLAY="$display" xwininfo -root >/dev/null 2>&1; do
  [ $i -ge 600 ] && fail "the virtual X server did not start"
  sleep 0.1
  i=$((i + 1))
done
export DISPLAY="$display"
export SDL_AUDIODRIVER=dummy
# The boot's update check stays on this machine: a closed local port.
export SONICLOOM_UPDATE_URL=https://127.0.0.1:9/SonicLoom.update

"$work/Sonic-Loom" >"$work/program.log" 2>&1 &
ppid_=$!

# Waits up to $2 seconds for a window whose name contains $1; prints its id.
wait_window() {
  i=0
  while [ $i -lt $(( $2 * 10 )) ]; do
    id=$(xwininfo -root -tree 2>/dev/null | grep -F "\"$1" | awk '{print $1}' | head -n 1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
    i=$((i + 1))
  done
  return 1
}

press() {  # a function key, optionally with CTRL held
  if [ "$1" = ctrl ]; then
    xdotool keydown Control_L; sleep 0.05; xdotool keydown "$2"; sleep 0.2; xdotool keyup "$2"; sleep 0.05
    xdotool keyup Control_L
  else
    xdotool keydown "$1"; sleep 0.2; xdotool keyup "$1"
  fi
  sleep 0.6
}

# Waits (at most $1 seconds) until the screen has not changed for $2
# seconds (default 1): pages that compute show their progress until they
# are done, and a slow (sanitizer) build may take a minute for an analysis.
# A key pressed while a computation runs is taken by its progress display.
# Short waits are plain pauses: some pages never hold still (a clock), and
# watching them would cost the whole limit every time.
settle() {
  if [ "$1" -lt 20 ] || ! command -v xwd >/dev/null 2>&1; then
    sleep $(( ${2:-1} + 2 ))
    return 0
  fi
  last=""
  same=0
  j=0
  while [ $j -lt $(( $1 * 4 )) ]; do
    now=$(xwd -root -silent -display "$display" 2>/dev/null | md5sum)
    if [ "$now" = "$last" ]; then
      same=$((same + 1))
      [ $same -ge $(( ${2:-1} * 4 )) ] && return 0
    else
      same=0
    fi
    last="$now"
    sleep 0.25
    j=$((j + 1))
  done
}

# One row down the file list: a short tap, since a held key repeats and
# would step past the row wanted.
down() {
  xdotool key Down; sleep 0.6
}

type_keys() {  # text into a keypad entry that has settled
  xdotool type --delay 150 "$1"; sleep 0.3
}

shot() {
  [ -n "$shots" ] || return 0
  settle 10
  xwd -root -display "$display" -out "$shots/$1.xwd" 2>/dev/null && \
    convert "$shots/$1.xwd" "$shots/$1.png" 2>/dev/null && rm -f "$shots/$1.xwd"
}

if ! question=$(wait_window "Welcome" 60); then
  # A second instance only raises the first one's window and ends: the
  # name it claims is one for the whole machine.
  kill -0 "$ppid_" 2>/dev/null || fail "the program ended before its first-run question (another Sonic-Loom running on this machine?)"
  fail "no first-run question"
fi
xdotool windowfocus --sync "$question" 2>/dev/null
sleep 0.3
xdotool key --window "$question" Return
main=$(wait_window "Sonic-Loom 2.27" 60) || fail "no program window"
sleep 10  # credits box and boot report
xdotool windowfocus --sync "$main" 2>/dev/null
sleep 0.3
shot menu-mode0

for key in F1 F2 F3 F4 F7 F8; do
  press "$key"
  [ "$key" = F1 ] && shot vorta-mode0
  press ctrl F12  # iMENU<>
done

if [ -n "$tables" ]; then
  press F1          # VORTA
  press ctrl F2     # fDISK<>
  press F4          # fF_TYPE<>
  press F3          # -->03
  down
  press F6          # fLOAD<>: the table viewer
  press ctrl F2     # the list again, "RAM:" with the table's name
  shot vorta-files
  press F4
  press F8          # -->08
  press F7          # fSAVE<>
  xdotool type --delay 150 E2E; sleep 0.3
  xdotool key Return; sleep 1
  settle 10
  # The sample journey, from the same list.
  press F4
  press F1          # -->01
  down
  press F6          # fLOAD<>: 1.1.0
  settle 20
  shot analysis
  press F11         # fANALYZE: the frame analysis, then 1.1.1
  settle 60 3
  shot analysis2
  press F11         # fAPPLY: the table viewer
  settle 30 2
  shot viewer
  press ctrl F2     # fDISK<>
  press F4
  press F5          # -->05
  press F7          # fSAVE<>
  settle 10
  type_keys JOURNEY
  xdotool key Return
  settle 10         # 1.5.0 asks for the device id ...
  xdotool key BackSpace BackSpace BackSpace
  type_keys 7
  xdotool key Return
  settle 10         # ... and the slot
  xdotool key BackSpace BackSpace BackSpace
  type_keys 99
  xdotool key Return
  settle 10
  shot vorta-saved
  press ctrl F1     # fSYSTEM<>
  press ctrl F12    # iMENU<>

  # XFORM: the sample analysed into a noise-filter table, saved into 13.
  press F2          # XFORM
  press ctrl F2     # fDISK<>: folder 01
  down
  press F6          # fLOAD<>: 1.1.0
  settle 20
  press F11         # fANALYZE: 1.1.1 analyses on entry
  settle 60 3
  shot xform-analysis
  press F11         # fAPPLY: 2.0.0
  settle 30 2
  press ctrl F2     # fDISK<>
  press F4          # fF_TYPE<>
  press F2          # -->13
  press F7          # fSAVE<>
  settle 10
  type_keys XJOURNEY
  xdotool key Return
  settle 10
  shot xform-saved
  press ctrl F1     # fSYSTEM<>
  press ctrl F12    # iMENU<>

  # XMRPH: the two samples crossed, an envelope swept, the result rendered
  # into folder 01.
  press F4          # XMRPH
  press ctrl F2     # fDISK<>
  down
  press F5          # PLOAD_A
  down
  press F6          # PLOAD_B
  press F7          # fLOAD<>: 2.1.0
  settle 20
  press F11         # fCOMPUTE, then 2.0.0
  settle 90 3
  press F6          # SWEEP
  settle 20 2
  shot xmrph-synthesis
  press ctrl F2     # fDISK<>
  press F8          # fSAVE<>
  settle 10
  type_keys XMORPH
  xdotool key Return
  settle 30 2       # 1.1.0 FILE RENDERING
  press F11         # fSTORE
  settle 30 2
  shot xmrph-saved
  press ctrl F1     # fSYSTEM<>
  press ctrl F12    # iMENU<>

  # SLOOP: the first sample made a seamless loop, rendered into folder 01.
  press F3          # SLOOP
  press ctrl F2     # fDISK<>
  down
  press F6          # LOAD: 2.0.0
  settle 20
  press F12         # fCOMPUTE
  settle 90 3
  shot sloop-synthesis
  press ctrl F2     # fDISK<>
  press F7          # fSAVE<>
  settle 10
  type_keys WLOOP
  xdotool key Return
  settle 30 2       # 1.1.0 FILE RENDERING
  press F11         # fSTORE
  settle 30 2
  shot sloop-saved
  press ctrl F1     # fSYSTEM<>
  press ctrl F12    # iMENU<>
fi

# The VORTA editing screens and their option pages: each changes the table,
# and the changes are undone and redone.
press F1            # VORTA
press ctrl F4       # fSLICE<> 3.0.0
press F6            # RAND
press F12           # fWDRAW<> 3.1.0
press F1            # RAND on the pad
press F11           # fAPPLY
press ctrl F12      # s UNDO
shot vorta-slice-editor
press ctrl F5       # fASSEM<> 4.0.0
press F11           # DEST>>
press ctrl F6       # fENV<> 5.0.0
press F5            # RAND
press ctrl F12      # s UNDO
press ctrl F6       # s REDO
shot vorta-envelopes
press ctrl F7       # fTEF<> 6.0.0
press F12           # RNDDATA
press F2; press F1; press F12             # 6.1.0 SMOOTH, fCANCEL
press F3; press F6; press F11             # 6.2.0 REVERSE, fAPPLY
press F4; press F1; press F8; press F1; press F11; press F7; press F12; press F11  # 6.3.0, 6.3.2, 6.3.1
press F5; press F1; press F12             # 6.4.0 RAND, fCANCEL
press F6; press F2; press F12             # 6.5.0 +WIDTH, fCANCEL
press F7; press F6; press F12             # 6.6.0 CLEAR, fCANCEL
press F1; press F4                        # table polarity: INVERT
press ctrl F12      # s UNDO
shot vorta-table-editing
press ctrl F1       # fSYSTEM<>
press ctrl F12      # iMENU<>

# The utility: colour mode 01 on line 0, then the menu and VORTA again.
press F8
press F4
press ctrl F12
shot menu-mode1
press F1
shot vorta-mode1
press ctrl F12

press ctrl F12  # iEXIT
i=0
while kill -0 "$ppid_" 2>/dev/null && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
kill -0 "$ppid_" 2>/dev/null && fail "the program did not end on CTRL+F12"
wait "$ppid_"
status=$?
ppid_=""
[ "$status" -eq 0 ] || fail "exit status $status"

settings="$work/system/sonicloom_system.dat"
[ -f "$settings" ] || fail "no settings file"
size=$(stat -c %s "$settings")
[ "$size" -eq 39936 ] || fail "settings file has $size bytes"
mode=$(od -An -tu1 -j6 -N1 "$settings" | tr -d ' ')
[ "$mode" = 1 ] || fail "colour mode stored as $mode"
for folder in "00 Currently Unrecognized Files" "01 Samples (WAV)" "02 Single Cycles (WAV)" \
  "03 VORTA - Wavetables (Audio, WAV)" "05 VORTA - Wavetables (Blofeld, SYX)" \
  "13 XFORM - Wavetables (Audio, WAV)"; do
  [ -d "$work/data/$folder" ] || fail "missing folder $folder"
done
if [ -n "$tables" ]; then
  saved="$work/data/08 VORTA - Wavetables (WaveGenerator, WTS)/E2E.WTS"
  [ -f "$saved" ] || fail "VORTA did not save the loaded table"
  cmp -s "$saved" "$tables/SAWTABLE.WTS" || fail "the saved table differs from the loaded one"
  dump="$work/data/05 VORTA - Wavetables (Blofeld, SYX)/JOURNEY.SYX"
  [ -f "$dump" ] || fail "the analysed sample was not written as a Blofeld dump"
  size=$(stat -c %s "$dump")
  [ "$size" -eq 26240 ] || fail "the dump has $size bytes"
  [ "$(od -An -tx1 -N1 "$dump" | tr -d ' ')" = f0 ] || fail "the dump does not start with F0"
  [ "$(od -An -tx1 -j26239 -N1 "$dump" | tr -d ' ')" = f7 ] || fail "the dump does not end with F7"
  info=$("$cli" info "$dump") || fail "the tool refuses the dump: $info"
  printf '%s\n' "$info" | grep -q "	5	" || fail "the dump is not a Blofeld table: $info"
  printf '%s\n' "$info" | grep -q "slot=099" || fail "the dump lost the typed slot: $info"
  printf '%s\n' "$info" | grep -q "device=007" || fail "the dump lost the typed device id: $info"
  printf '%s\n' "$info" | grep -q "family=VORTA" || fail "the dump lost the table's structure: $info"
  # The table, the cross and the loop each as a file the tool takes for
  # what it is.
  for made in "13 XFORM - Wavetables (Audio, WAV)/XJOURNEY.WAV:13" "01 Samples (WAV)/XMORPH.WAV:1" \
    "01 Samples (WAV)/WLOOP.WAV:1"; do
    file="$work/data/${made%:*}"
    [ -f "$file" ] || fail "not written: ${made%:*}"
    info=$("$cli" info "$file") || fail "the tool refuses ${made%:*}: $info"
    printf '%s\n' "$info" | grep -q "	${made##*:}	" || fail "${made%:*} is not of category ${made##*:}: $info"
  done
fi
echo "E2E PASSED"
exit 0
