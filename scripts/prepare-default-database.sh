#!/usr/bin/env bash
# Makes the embedded default database ready for the program in the application folder $1:
# a BaseAgenda.ini naming the user's database file, and that file. Neither is ever overwritten.
set -euo pipefail

app_dir=$(cd "$1" && pwd)
data_dir="${XDG_DATA_HOME:-$HOME/.local/share}/tarvo-agenda"
database="$data_dir/TARVOAGENDA.FDB"
ini="$app_dir/BaseAgenda.ini"

if [ ! -e "$ini" ]; then
    printf '[BANCO]\r\nCAMINHO=%s\r\n' "$database" > "$ini"
    echo "Wrote $ini"
fi

# The database the ini names, when that is a local file we can create.
configured=$(sed -n 's/^[[:space:]]*[Cc][Aa][Mm][Ii][Nn][Hh][Oo][[:space:]]*=[[:space:]]*//p' "$ini" | tr -d '\r' | head -n 1)
if [ "$configured" = "$database" ] && [ ! -e "$database" ]; then
    mkdir -p "$data_dir"
    "$app_dir/tarvo-createdb" "$database"
fi
