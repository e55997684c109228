# Sourced by the benchmark scripts: builds what they need and makes the 1920 x 1080 test picture.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/install-deps" --bench
"$root/scripts/build" -j2 --target kestrova-bench-effects kestrova-bench-jpeg kestrova-cli >/dev/null
work="$root/build/bench-work"
mkdir -p "$work"
picture="$work/picture.bmp"
if [[ ! -f "$picture" ]]; then
  # A photo-like picture: smooth areas and fine detail, the same every time.
  convert -seed 7 -size 1920x1080 plasma:fractal -blur 0x1 +noise Gaussian -attenuate 0.3 "BMP3:$picture"
fi
