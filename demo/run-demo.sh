#!/usr/bin/env bash
# The demo: VTInst.exe under Wine against the bundled local web server (demo/site), with the sample
# configuration demo/VeltronaInstaller.ini. Prints what the program showed and its log.
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=$(cd "$build" && pwd)
prefix="$build/wineprefix"
run="$build/demo-run"
rm -rf "$run"
mkdir -p "$run/app" "$run/temp" "$run/shots" "$run/site"

# The bundled server, on a free port.
python3 tests/server/vtserver.py --docroot "$run/site" --port-file "$run/ports.json" >"$run/server.log" 2>&1 &
server=$!
trap 'kill $server 2>/dev/null || true' EXIT
for _ in $(seq 100); do [ -s "$run/ports.json" ] && break; sleep 0.1; done
port=$(python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["http"])' "$run/ports.json")
address="http://127.0.0.1:$port"

cp -r demo/site/. "$run/site/"
# Package files of the sizes the catalogue announces (the installation itself is not demonstrated yet).
mkdir -p "$run/site/packages/Manager" "$run/site/packages/OnlineUpdate"
head -c 16777216 /dev/urandom >"$run/site/packages/Manager/setup.exe"
head -c 1048576 /dev/urandom >"$run/site/packages/OnlineUpdate/OnlineUpdate.msi"
printf '[InstallShield Silent]\r\nVersion=v7.00\r\nFile=Response File\r\n' >"$run/site/packages/Manager/setup.iss"
find "$run/site" -type f \( -name '*.xml' -o -name '*.ini' \) -exec sed -i "s#@SERVER@#$address#g" {} +
sed "s#@SERVER@#$address#g" demo/VeltronaInstaller.ini >"$run/app/VeltronaInstaller.ini"
cp "$build/VTInst.exe" "$build/VtSvcOCRHandle_i.dll" "$run/app/"
# The .NET Framework redistributables the installer carries beside itself: stand-ins that succeed.
for redistributable in dotNetFx35setup.exe dotNetFx40_Full_setup.exe dotNetFx45_Full_setup.exe; do
  cp "$build/VtStandInTool.exe" "$run/app/$redistributable"
done
printf '[Answers]\r\nIsSupportedOCREngine=1\r\nIsOCRLangPackInstall=0\r\nIsEnvMultiBytesLang=0\r\n' >"$run/app/OcrSupport.ini"

winpath() { echo "Z:${1//\//\\}"; }
echo "== VTInst.exe from $run/app, catalogue at $address/VTInst.xml"
tools/wine-run.sh "$prefix" "$build/demo/demo_driver.exe" "$(winpath "$run/app/VTInst.exe")" \
  "$(winpath "$run/temp")" "$(winpath "$run/shots")"

for shot in "$run"/shots/*.bmp; do
  [ -e "$shot" ] || continue
  convert "$shot" "${shot%.bmp}.png" && rm -f "$shot"
done
echo
echo "== requests the server received"
python3 - "$run/server.log" "$port" <<'PY'
import json, sys, urllib.request
port = sys.argv[2]
with urllib.request.urlopen(f"http://127.0.0.1:{port}/_control/requests") as answer:
    records = json.load(answer)
for record in records.get("requests", records if isinstance(records, list) else []):
    agent = dict((k.lower(), v) for k, v in record.get("headers", [])).get("user-agent", "")
    print(f'{record.get("method")} {record.get("target")} {record.get("version")} -> {record.get("status")}  (User-Agent: {agent})')
PY
echo
echo "== download folder"
ls -l "$run/app/download" 2>/dev/null || echo "(none)"
echo
echo "== log ($run/temp/VtDownLoadInst.log)"
python3 tools/show-log.py "$run/temp/VtDownLoadInst.log"
echo
echo "screenshots: $run/shots"
