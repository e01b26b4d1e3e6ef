#!/usr/bin/env bash
# The demo: VTInst.exe under Wine against the bundled local web server (demo/site), with the sample
# configuration demo/VeltronaInstaller.ini. Prints what the program showed and its log.
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=$(cd "$build" && pwd)
# Wine honours these: a proxy of the machine's environment must not steer the demo's requests.
unset http_proxy HTTP_PROXY https_proxy HTTPS_PROXY ftp_proxy no_proxy NO_PROXY all_proxy ALL_PROXY
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
# The download-count service answers every report with OK.
python3 - "$port" <<'PY'
import json, sys, urllib.request
answer = '<?xml version="1.0" encoding="utf-8"?><DownloadCount><return_info>OK</return_info></DownloadCount>'
request = urllib.request.Request(f"http://127.0.0.1:{sys.argv[1]}/_control/behaviour", method="POST",
                                 data=json.dumps({"path": "/count/DownloadCount.aspx",
                                                  "behaviour": {"body_text": answer}}).encode())
urllib.request.urlopen(request).read()
PY

cp -r demo/site/. "$run/site/"
# The packages: the Manager's setup program (the stand-in setup, padded to 16 MB so the download
# page can be watched) with its ANSI response file, and the basic guide as a real msi package.
mkdir -p "$run/site/packages/Manager" "$run/site/packages/Manual"
cp "$build/VtStandInSetup.exe" "$run/site/packages/Manager/setup.exe"
head -c 16000000 /dev/urandom >>"$run/site/packages/Manager/setup.exe"
printf '[InstallShield Silent]\r\nVersion=v7.00\r\nFile=Response File\r\n[{6A5D2C10-0F3E-4B8A-9C21-7D4E5F60A1B2}-DlgOrder]\r\nDlg0={6A5D2C10-0F3E-4B8A-9C21-7D4E5F60A1B2}-SdAskDestPath-0\r\nCount=1\r\n[{6A5D2C10-0F3E-4B8A-9C21-7D4E5F60A1B2}-SdAskDestPath-0]\r\nszDir=C:\\Old Destination\r\nResult=1\r\n' \
  >"$run/site/packages/Manager/setup.iss"
cp "$run/site/packages/Manager/setup.iss" "$run/site/packages/Manager/setup_ug.iss"
cp "$build/packages/VeltronaManual.msi" "$run/site/packages/Manual/VeltronaManual.msi"
printf '[InstallShield Silent]\r\n' >"$run/site/packages/Manual/setup.iss"
sed -i -e "s#@MANAGER_SIZE@#$(stat -c %s "$run/site/packages/Manager/setup.exe")#" \
  -e "s#@MANUAL_SIZE@#$(stat -c %s "$run/site/packages/Manual/VeltronaManual.msi")#" "$run/site/VTInst.xml"
find "$run/site" -type f \( -name '*.xml' -o -name '*.ini' \) -exec sed -i "s#@SERVER@#$address#g" {} +
sed "s#@SERVER@#$address#g" demo/VeltronaInstaller.ini >"$run/app/VeltronaInstaller.ini"
cp "$build/VTInst.exe" "$build/VtSvcOCRHandle_i.dll" "$run/app/"
# The .NET Framework redistributables the installer carries beside itself: stand-ins that succeed.
for redistributable in dotNetFx35setup.exe dotNetFx40_Full_setup.exe dotNetFx45_Full_setup.exe; do
  cp "$build/VtStandInTool.exe" "$run/app/$redistributable"
done
printf '[Answers]\r\nIsSupportedOCREngine=1\r\nIsOCRLangPackInstall=0\r\nIsEnvMultiBytesLang=0\r\n' >"$run/app/OcrSupport.ini"

winpath() { echo "Z:${1//\//\\}"; }
# The Manager's own tools, which its setup brings along: the connection wizard the configuration
# asks for (the stand-in tool, which records how it was started).
mkdir -p "$run/manager-tools/VtWizard" "$run/updater"
cp "$build/VtStandInTool.exe" "$run/manager-tools/VtWizard/ZelVtConnectionWizard.exe"
# The online-update program installed earlier on this machine (its folder is registered by the driver).
cp "$build/VtStandInTool.exe" "$run/updater/VeltronaUpdater.exe"
# The stand-in setup records itself as the installed Manager, brings its tools, registers its
# monitor's folder and makes the monitor's settings folder, as the real one would.
printf '[StandInSetup]\r\nProductKey=SOFTWARE\\ZEL\\Veltrona Software\\Veltrona Manager\r\nVersion=2.4.0.1\r\nCompanions=%s\r\nAppPath=ZelVtMon.exe\r\nSettingsFolder=ZEL\\Veltrona\\Driver\r\n' \
  "$(winpath "$run/manager-tools")" >"$run/standin-setup.ini"
export VTINST_STANDIN_SETUP="$(winpath "$run/standin-setup.ini")"
# The driver first takes out what an earlier demo installed, so every run installs afresh.
export VTINST_DEMO_MSI="$(winpath "$build/packages/VeltronaManual.msi")"
export VTINST_DEMO_UPDATER="$(winpath "$run/updater")"
# The stand-in desktop shell the driver starts comes from the build tree.
export VTINST_BIN_DIR="$(winpath "$build")"
# VTINST_DEMO_FULL_LOG=1: the run starts with a log holding 10,000 history entries, as on a machine
# that has run the installer a few times (the benchmarks use it).
if [ "${VTINST_DEMO_FULL_LOG:-0}" = 1 ]; then
  python3 - "$run/temp/VtDownLoadInst.log" <<'PY'
import sys
with open(sys.argv[1], "wb") as log:
    log.write(b"[LOG]\r\nPATH=C:\\VTInst\\VTInst.exe\r\nTIME=2026/12/10 10:00:00\r\nMODULE=\r\nSOURCE=VTInst.cpp\r\n"
              b"LINE=1L\r\nERRNO=0\r\nERRSTR=x\r\nCNT=10000\r\nHIST=L10000\r\n[HIST]\r\n")
    for i in range(1, 10001):
        log.write(b"L%02d=#2026/12/10 10:00:00|INFO||VTInst.cpp|%dL|0|Start:CVTInstApp::Earlier run entry of typical length#\r\n" % (i, i))
PY
fi
counter() {
  [ -f "$run/temp/VtDownLoadInst.log" ] || { echo 0; return; }
  sed -n 's/^CNT=\([0-9]*\).*/\1/p' "$run/temp/VtDownLoadInst.log" | head -1
}
before=$(counter); before=${before:-0}
echo "== VTInst.exe from $run/app, catalogue at $address/VTInst.xml"
started=$(date +%s.%N)
tools/wine-run.sh "$prefix" "$build/demo/demo_driver.exe" "$(winpath "$run/app/VTInst.exe")" \
  "$(winpath "$run/temp")" "$(winpath "$run/shots")"
ended=$(date +%s.%N)
after=$(counter); after=${after:-0}
python3 -c 'import sys; b, a, s, e = int(sys.argv[1]), int(sys.argv[2]), float(sys.argv[3]), float(sys.argv[4]); print("log: %d entries written in a run of %.1f s" % ((a - b) % 10000, e - s))' \
  "$before" "$after" "$started" "$ended"

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
