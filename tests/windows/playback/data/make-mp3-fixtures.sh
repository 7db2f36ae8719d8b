#!/usr/bin/env bash
# Remakes the player's MP3 fixtures (Debian 12: espeak-ng, lame, python3) and prints the length of
# the speech each holds, which player_test.cpp expects the decoded audio to match.
#   speech-22k-mono-id3.mp3: as the speech service makes it (22.05 kHz mono, MPEG 2), behind an ID3v2 tag
#   speech-44k-stereo.mp3:   MPEG 1, 44.1 kHz joint stereo, no tag
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

espeak-ng -v cmn-latn-pinyin -w "$work/a.wav" "你好，欢迎使用语音合成。"
lame --quiet -t -b 32 -m m --id3v2-only --tt "Tarvinel" "$work/a.wav" speech-22k-mono-id3.mp3

espeak-ng -v cmn-latn-pinyin -w "$work/b.wav" "今天天气很好。"
python3 - "$work/b.wav" "$work/b2.wav" <<'PY'
import sys, wave
src = wave.open(sys.argv[1])
frames = src.readframes(src.getnframes())
out = wave.open(sys.argv[2], "wb")
out.setnchannels(2); out.setsampwidth(2); out.setframerate(src.getframerate())
out.writeframes(b"".join(frames[i:i + 2] * 2 for i in range(0, len(frames), 2)))
PY
lame --quiet -t -b 32 -m j --resample 44.1 "$work/b2.wav" speech-44k-stereo.mp3

for w in a b; do
    python3 -c "import wave,sys; w=wave.open(sys.argv[1]); print(sys.argv[2], w.getnframes() / w.getframerate(), 's')" "$work/$w.wav" $w
done
ls -l ./*.mp3
