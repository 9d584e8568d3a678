#!/usr/bin/env bash
# Makes docs/report.png, the README's picture of vantrel-report's page: writes the log of an
# everyday desktop that has something for most findings to say, makes its page with the optimised
# native build and photographs it in headless Chromium at 1280 px wide, checking on the way what the
# browser check checks.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset report >/dev/null
cmake --build --preset report -j2 --target vantrel-report
folder=build/report/screenshot
mkdir -p "$folder"
log=$folder/vantrel.txt

# One record as the tool writes it (ISO 8859-1, CR LF): HWND EXE TITLE CLASS ATOM STYLE EXSTYLE
# OWNER WINDOW CLIENT MAXIMIZED MINIMIZED. A top-level owned window's GetParent is its owner.
record() {
    printf '0x%08X: exe=%s\r\ntitle="%s" class="%s" atom = 0x%08X\r\n' "$1" "$2" "$3" "$4" "$5"
    printf 'Style=0x%x exStyle=0x%x parent=0x00010010 owner=0x%08X getparent=0x%08X\r\n' "$6" "$7" "$8" "$8"
    printf 'rcWnd = %s rcClient = %s maximized = %s minimized = %s\r\n\r\n' "$9" "${10}" "${11}" "${12}"
}
frame_host='C:\Windows\System32\ApplicationFrameHost.exe'
outlook='C:\Program Files\Microsoft Office\root\Office16\OUTLOOK.EXE'
# Topmost first, as the tool enumerates them: a primary monitor of 1920 by 1080, a third one far to
# its right that has since been unplugged, and one program minimized.
{
    record 0x000B02A4 'C:\Windows\System32\notepad.exe' '???????.txt - Notepad' Notepad 0xC1B6 \
        0x14cf0000 0x110 0 '320,210 - 1180,820' '0,0 - 844,551' 0 0
    record 0x00060312 'C:\Users\sam\Downloads\PrinterSetup.exe' 'Printer Setup - Step 2 of 4' '#32770' 0x8002 \
        0x94c800cc 0x40101 0x000401B2 '1240,620 - 1740,1000' '0,0 - 494,351' 0 0
    record 0x0003041C "$frame_host" Calculator ApplicationFrameWindow 0xC21A \
        0x16cf0000 0x200100 0 '1560,100 - 1896,644' '0,0 - 336,544' 0 0
    record 0x000503D0 "$frame_host" Settings ApplicationFrameWindow 0xC21A \
        0x16cf0000 0x200100 0 '1200,140 - 1880,900' '0,0 - 680,760' 0 0
    record 0x000C0188 "$outlook" "RE: Caf$(printf '\xe9') opening hours - Message (HTML)" rctrl_renwnd32 0xC0F4 \
        0x16cf0000 0x100 0 '240,150 - 1340,930' '0,0 - 1100,780' 0 0
    record 0x0002013E 'C:\Windows\explorer.exe' Downloads CabinetWClass 0xC0A8 \
        0x16cf0000 0x100 0 '100,80 - 1060,700' '0,0 - 944,601' 0 0
    record 0x000401C6 "$outlook" 'Inbox - sam@example.com - Outlook' rctrl_renwnd32 0xC0F4 \
        0x16cf0000 0x100 0 '40,30 - 1560,1000' '0,0 - 1520,970' 0 0
    record 0x00010274 'C:\Program Files (x86)\Microsoft\Edge\Application\msedge.exe' \
        'Quarterly figures - Microsoft Edge' Chrome_WidgetWin_1 0xC1F0 \
        0x17cf0000 0x100 0 '-8,-8 - 1928,1048' '0,0 - 1920,1040' 1 0
    record 0x0007025A 'C:\Users\sam\AppData\Local\Programs\Microsoft VS Code\Code.exe' \
        'main.cpp - tools - Visual Studio Code' Chrome_WidgetWin_1 0xC1F0 \
        0x16cf0000 0x100 0 '4020,160 - 5300,1000' '0,0 - 1280,840' 0 0
    record 0x000901E8 'C:\Windows\System32\mspaint.exe' 'holiday.png - Paint' MSPaintApp 0xC2C4 \
        0x36cf0000 0x100 0 '-32000,-32000 - -31840,-31972' '0,0 - 0,0' 0 1
} >"$log"
touch -d '2024-05-14 09:41:07 UTC' "$log"
build/report/report/vantrel-report "$log" -o "$folder/vantrel.html" >/dev/null
bash tests/report/browser-check.sh "$folder/vantrel.html" "$(grep -c '^0x[0-9A-F]\{8\}: exe=' "$log")" docs/report.png
echo "docs/report.png: $(stat -c %s docs/report.png) bytes"
