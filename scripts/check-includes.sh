#!/usr/bin/env bash
# Checks which folders each folder of the program may include, so that the
# dependency direction of the libraries holds in the headers too (the build
# checks the links). The most specific folder of a file decides. No folders
# may depend on each other in a cycle, neither as the rules allow nor as the
# files include.
set -euo pipefail
cd "$(dirname "$0")/.."

# folder: the folders its files may include (a line that starts with blanks
# goes on with the one before). The toolbar kit stands on its common
# services; the themes paint the items, views and menus; the docks and the
# palettes use the themes, and the bars and the status bar come last. The
# kit's items and menus need each other (an item opens a pop-up window that
# shows a view of items, and a view's tracking runs the menu loop), so the
# kit's own rule holds for both. Of the application's folders, app/common holds
# what several forms share and includes no other; app/settings holds the
# stored values that the dialogs, the options, the formatter and the main
# window read; only app/mainform includes app/mainform, so that no other form
# depends on the main window.
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
src/dockkit/common:    platform/core platform/gui dockkit/common
src/dockkit/themes:    platform/core platform/gui dockkit/common dockkit/items dockkit/menus
                       dockkit/themes
src/dockkit/docking:   platform/core platform/gui dockkit/common dockkit/themes dockkit/docking
src/dockkit/palettes:  platform/core platform/gui dockkit/common dockkit/items dockkit/themes
                       dockkit/palettes
src/dockkit/statusbar: platform/core platform/gui dockkit/common dockkit/docking dockkit/themes
                       dockkit/statusbar
src/dockkit/bars:      platform/core platform/gui dockkit/common dockkit/items dockkit/menus
                       dockkit/docking dockkit/themes dockkit/bars
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

declare -A allowed_in # rule folder -> the folders its files may include
while IFS=: read -r folder rest; do
    [ -n "$folder" ] || continue
    read -ra words <<<"$rest"
    allowed_in[$folder]="${words[*]}"
done <<<"$rules"

# The most specific folder a rule names for a path; empty when none does.
folder_of() {
    local path=$1 best="" folder
    for folder in "${!allowed_in[@]}"; do
        case "$path" in
        "$folder" | "$folder"/*)
            if [ ${#folder} -gt ${#best} ]; then
                best=$folder
            fi
            ;;
        esac
    done
    echo "$best"
}

# Prints each cycle of the folder graph given as "from to" lines, after the
# heading; fails when there is one. A folder may include itself.
report_cycles() {
    local heading=$1 loops
    if ! loops=$(tsort 2>&1 >/dev/null); then
        echo "$heading:"
        printf '%s\n' "$loops" | sed -n 's/^tsort: \([^-][^:]*\)$/    \1/p'
        return 1
    fi
}

status=0
declare -A folder_of_dir # cache: folder of an included file's directory
include_edges=""
while IFS= read -r file; do
    folder=$(folder_of "$file")
    if [ -z "$folder" ]; then
        echo "$file: no rule names its folder"
        status=1
        continue
    fi
    allowed=${allowed_in[$folder]}
    while IFS= read -r inc; do
        ok=0
        for a in $allowed; do
            case "$inc" in "$a"/*) ok=1 ;; esac
        done
        if [ $ok -eq 0 ]; then
            echo "$file includes \"$inc\": allowed are $allowed"
            status=1
        fi
        dir=src/${inc%/*}
        if [ -z "${folder_of_dir[$dir]+set}" ]; then
            folder_of_dir[$dir]=$(folder_of "$dir")
        fi
        if [ -n "${folder_of_dir[$dir]}" ]; then
            include_edges+="$folder ${folder_of_dir[$dir]}"$'\n'
        fi
    done < <(sed -n 's/^#include "\([^"]*\/[^"]*\)".*/\1/p' "$file")
done < <(git ls-files 'src/*.cpp' 'src/*.h' 'tools/*.cpp' 'tools/*.h')

# No two folders depend on each other, not even through others: neither as
# the rules allow (a folder named exactly by another's rule) nor as the files
# include.
rule_edges=""
for folder in "${!allowed_in[@]}"; do
    for a in ${allowed_in[$folder]}; do
        for named in "src/$a" "tools/$a"; do
            if [ -n "${allowed_in[$named]+set}" ]; then
                rule_edges+="$folder $named"$'\n'
            fi
        done
    done
done
printf '%s' "$rule_edges" | report_cycles "the rules let these folders include each other" ||
    status=1
printf '%s' "$include_edges" | report_cycles "these folders include each other" || status=1

[ $status -eq 0 ] && echo "include directions: ok"
exit $status
