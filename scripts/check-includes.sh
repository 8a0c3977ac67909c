#!/usr/bin/env bash
# Checks which folders each folder of the program may include, so that the
# dependency direction of the libraries holds in the headers too (the build
# checks the links). The most specific folder of a file decides.
set -euo pipefail
cd "$(dirname "$0")/.."

# folder: the folders its files may include (a line that starts with blanks
# goes on with the one before). Of the application's folders, app/common holds
# what several forms share and includes no other; only app/mainform includes
# app/mainform, so that no other form depends on the main window.
rules='
src/platform/core: platform/core
src/platform/gui:  platform/core platform/gui
src/engine:        platform/core engine
src/strings:       platform/core strings
src/effects/core:  platform/core effects/core
src/effects/gui:   platform/core platform/gui effects/core effects/gui
src/effects/gui/application: platform/core platform/gui effects/core effects/gui/application
src/effects/gui/drawing:     platform/core platform/gui effects/core effects/gui/drawing
src/effects/gui/bitmaps:     platform/core platform/gui effects/core effects/gui/drawing effects/gui/bitmaps
src/effects/gui/regions:     platform/core platform/gui effects/core effects/gui/application effects/gui/drawing effects/gui/bitmaps effects/gui/regions
src/effects/gui/controls:    platform/core platform/gui effects/core effects/gui
src/console:       platform/core platform/gui strings console
src/dockkit:       platform/core platform/gui dockkit
src/controls:      platform/core platform/gui strings controls
src/app/xml:       platform/core app/xml
src/app/rtf:       platform/core app/rtf
src/app/log:       platform/core platform/gui app/log app/format
src/app/whois:     platform/core app/xml app/whois
src/app/settings:  platform/core platform/gui strings engine app/settings
src/app/format:    platform/core platform/gui strings engine console app/format app/settings
src/app/common:    platform/core platform/gui dockkit controls effects/core effects/gui app/common
src/app/options:   platform/core platform/gui strings engine controls app/common app/dialogs
                   app/settings app/options
src/app/dialogs:   platform/core platform/gui strings engine console controls effects/gui
                   app/common app/dialogs app/settings app/whois
src/app/away:      platform/core platform/gui strings controls dockkit app/common app/format
                   app/settings app/away
src/app/refs:      platform/core platform/gui strings engine dockkit app/common app/dialogs
                   app/format app/rtf app/refs
src/app/mainform:  platform/core platform/gui strings engine console dockkit controls app/common
                   app/away app/dialogs app/format app/log app/options app/refs app/rtf app/settings
                   app/whois app/mainform
src/main.cpp:      platform/core platform/gui dockkit app
tools/chatd:       platform/core engine chatd
tools/screens:     platform/core platform/gui engine dockkit app
'
# One rule per line.
rules=$(printf '%s\n' "$rules" | sed -e ':a' -e 'N' -e '$!ba' -e 's/\n[[:space:]]\+/ /g')

rule_for() {
    local file=$1 best="" allowed="" folder rest
    while IFS=: read -r folder rest; do
        [ -n "$folder" ] || continue
        case "$file" in
        "$folder" | "$folder"/*)
            if [ ${#folder} -gt ${#best} ]; then
                best=$folder
                allowed=$(echo $rest)
            fi
            ;;
        esac
    done <<<"$rules"
    echo "$allowed"
}

status=0
while IFS= read -r file; do
    allowed=$(rule_for "$file")
    if [ -z "$allowed" ]; then
        echo "$file: no rule names its folder"
        status=1
        continue
    fi
    while IFS= read -r inc; do
        ok=0
        for a in $allowed; do
            case "$inc" in "$a"/*) ok=1 ;; esac
        done
        if [ $ok -eq 0 ]; then
            echo "$file includes \"$inc\": allowed are $allowed"
            status=1
        fi
    done < <(sed -n 's/^#include "\([^"]*\/[^"]*\)".*/\1/p' "$file")
done < <(git ls-files 'src/*.cpp' 'src/*.h' 'tools/*.cpp' 'tools/*.h')

[ $status -eq 0 ] && echo "include directions: ok"
exit $status
