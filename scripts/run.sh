#!/usr/bin/env bash
# The main job on the embedded default: a demo working folder (created when missing), then the
# main window on it; without a display, the hotel data summary of the demo's last full month.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
demo="${OVDESK_DEMO:-$PWD/demo}"
# The demo is one workstation: number 1 unless the environment says otherwise.
export PCLocal="${PCLocal:-1}"
[ -d "$demo" ] || ./build/ovdesk demo "$demo"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec ./build/ovdesk --folder "$demo"
fi
first=$(date -d "$(date +%Y-%m-01) -1 month" +%d/%m/%Y)
last=$(date -d "$(date +%Y-%m-01) -1 day" +%d/%m/%Y)
exec ./build/ovdesk summary --folder "$demo" --from "$first" --to "$last" --show
