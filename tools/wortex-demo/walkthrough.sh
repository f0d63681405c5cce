#!/bin/bash
# Walks through the demo as a user would, under Xvfb: a German manual page pasted into the editor, checked
# from the menu, every report answered "Ignorieren"; screenshots of the pasted page, a suggestions dialog
# and the checked page, and the text as the editor holds it after the check.
# Usage: xvfb-run -a -s "-screen 0 1600x1000x24" tools/wortex-demo/walkthrough.sh BUILD_DIR OUT_DIR [PAGE]
# Needs xdotool, xclip, ImageMagick's import and man.
build=${1:?build folder}
out=${2:?output folder}
page=${3:-dpkg-distaddfile}
mkdir -p "$out"
MANWIDTH=72 man -L de "$page" 2>/dev/null | col -bx > "$out/page.txt"
[ -s "$out/page.txt" ] || { echo "no German manual page $page"; exit 1; }
"$build/tools/wortex-demo/wortex-demo" > "$out/demo.log" 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null' EXIT
for _ in $(seq 1 50); do
  w=$(xdotool search --onlyvisible --name "Wortex Demo" 2>/dev/null | head -1)
  [ -n "$w" ] && break
  sleep 0.2
done
[ -n "$w" ] || { echo "the demo window did not show"; exit 1; }
xdotool windowsize "$w" 900 900 windowmove "$w" 0 0
sleep 0.5
xclip -selection clipboard -i < "$out/page.txt"
xdotool mousemove 300 300 click 1
sleep 0.3
xdotool key ctrl+v
sleep 1
import -window root -crop 900x900+0+0 "$out/WortexDemoHandbuchseite.png"
# Menu "Prüfen", its first entry.
xdotool key alt+p
sleep 0.5
xdotool key Return
sleep 1
asked=0
for _ in $(seq 1 500); do
  d=$(xdotool search --onlyvisible --name "Wortex Vorschl" 2>/dev/null | head -1)
  if [ -z "$d" ]; then
    # The list of the corrections made closes with Escape; the check may still go on behind it.
    c=$(xdotool search --onlyvisible --name "Wortex Korrektur" 2>/dev/null | head -1)
    if [ -n "$c" ]; then
      xdotool key --window "$c" Escape
      sleep 0.5
      continue
    fi
    sleep 0.5
    d=$(xdotool search --onlyvisible --name "Wortex Vorschl" 2>/dev/null | head -1)
    [ -z "$d" ] && break
  fi
  asked=$((asked + 1))
  [ $asked -eq 3 ] && import -window root -crop 1600x900+0+0 "$out/WortexDemoHandbuchseitePruefung.png"
  xdotool key --window "$d" alt+i
  sleep 0.4
done
echo "reports answered: $asked"
sleep 1
import -window root -crop 900x900+0+0 "$out/WortexDemoHandbuchseiteGeprueft.png"
xdotool key ctrl+a ctrl+c
sleep 0.5
xclip -selection clipboard -o > "$out/after.txt"
diff "$out/page.txt" "$out/after.txt" > "$out/changes.diff" && echo "text unchanged" || echo "changes: $out/changes.diff"
