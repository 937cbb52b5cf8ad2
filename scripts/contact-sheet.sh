#!/usr/bin/env bash
# Lays every generated picture out on one PNG, grouped by folder, each with its name and size, for
# review, and the 2x copies on a sheet of their own (<output>@2x.png: one sheet of both would be
# taller than ImageMagick lets a picture be). Pictures larger than 240 x 200 (2x: 480 x 400) are
# shown reduced; lime is left as it is, so the see-through parts show.
#   scripts/contact-sheet.sh [program-folder] [output.png]
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
bin=${1:-$here/build/art-native/bin}
out=${2:-$(dirname "$bin")/contact-sheet.png}
table=$here/assets/pictures.tsv
convert=/usr/bin/convert; [ -x "$convert" ] || convert=convert
montage=/usr/bin/montage; [ -x "$montage" ] || montage=montage

[ -d "$bin" ] || { echo "contact-sheet: no folder $bin (build the assets target first)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# folders in table order; the built-in-only pictures live beside the generated resource script
folders=$(awk -F'\t' '!/^#/ && $1 != "form" && !seen[$2]++ {print $2}' "$table")
sections=()
sections2=()
n=0
# add_section TITLE POINTSIZE GEOMETRY TILE LABELLED-PICTURES...: one titled block of the sheet.
add_section() {
  local title=$1 points=$2 geometry=$3 tile=$4
  shift 4
  n=$((n + 1))
  "$montage" -background '#3c4048' -fill '#f0f0f0' -font DejaVu-Sans -pointsize "$points" \
    -geometry "$geometry" -tile "$tile" "$@" "$work/tiles$n.png"
  "$convert" -background '#202228' -fill '#19c6ff' -font DejaVu-Sans-Bold -pointsize 22 \
    label:"  $title" -gravity west -extent "$("$convert" "$work/tiles$n.png" -format '%w' info:)x44" \
    "$work/title$n.png"
  if [ "${to_second:-}" = 1 ]; then sections2+=("$work/title$n.png" "$work/tiles$n.png")
  else sections+=("$work/title$n.png" "$work/tiles$n.png"); fi
}
for folder in $folders; do
  case $folder in
    .) dir=$bin; title="program folder (display pictures)" ;;
    -) dir=$(dirname "$bin")/assets/builtin; title="built into the program" ;;
    *) dir=$bin/$folder; title=$folder ;;
  esac
  args=()
  args2=()  # the 2x copies (installed pictures other than icons), shown twice as large
  while IFS=$'\t' read -r file w h; do
    [ -e "$dir/$file" ] || { echo "contact-sheet: missing $dir/$file" >&2; args+=(-label "MISSING $file" "xc:red"); continue; }
    pic=$dir/$file
    case $file in *.ico) pic="$pic[2]" ;; esac  # the largest image of an icon
    args+=(-label "$file ${w}x${h}" "$pic")
    case $folder:$file in -:* | *.ico) continue ;; esac
    two=${file%.*}@2x.${file##*.}
    if [ -e "$dir/$two" ]; then
      args2+=(-label "$two $((w * 2))x$((h * 2))" "$dir/$two")
    else
      echo "contact-sheet: missing $dir/$two" >&2; args2+=(-label "MISSING $two" "xc:red")
    fi
  done < <(awk -F'\t' -v f="$folder" '!/^#/ && $1 != "form" && $2 == f {print $5 "\t" $6 "\t" $7}' "$table")
  [ ${#args[@]} -gt 0 ] && add_section "$title" 10 '240x200>+8+8' 8x "${args[@]}"
  [ ${#args2[@]} -gt 0 ] && to_second=1 add_section "$title, 2x" 10 '480x400>+8+8' 12x "${args2[@]}"
done
# Each window with its pictures at their places (state 0 mostly, a few others to show the looks);
# lime inside small keyed pictures is made see-through, the background's lime is left visible.
previews=$here/assets/previews.tsv
if [ -f "$previews" ]; then
  pargs=()
  for win in $(awk -F'\t' '!/^#/ && $1 != "window" && !seen[$1]++ {print $1}' "$previews"); do
    cmd=()
    while IFS=$'\t' read -r file left top; do
      if [ ${#cmd[@]} -eq 0 ]; then cmd=("$bin/$file"); continue; fi
      cmd+=(\( "$bin/$file" -transparent '#00ff00' \) -geometry "+$left+$top" -composite)
    done < <(awk -F'\t' -v w="$win" '!/^#/ && $1 == w {print $2 "\t" $3 "\t" $4}' "$previews")
    "$convert" "${cmd[@]}" "$work/win-$win.png"
    pargs+=(-label "$win" "$work/win-$win.png")
  done
  add_section "windows as laid out" 14 '660x560>+10+10' 3x "${pargs[@]}"
fi
"$convert" -background '#3c4048' "${sections[@]}" -gravity west -append +repage -depth 8 "$out"
out2=${out%.png}@2x.png
"$convert" -background '#3c4048' "${sections2[@]}" -gravity west -append +repage -depth 8 "$out2"
echo "contact sheets: $out, $out2"
