# Sourced: install_key_save FILE keeps the prefix's installation key in FILE (or notes that there
# is none); install_key_restore FILE puts it back as it was. For tools that point the key at the
# build folder for a while and must leave the prefix as they found it.
_install_key='HKLM\SOFTWARE\Tavrine KVR-5502'
install_key_save() {
    local file=$1
    rm -f "$file" "$file.none"
    if ! "$TAVRINE_WINE" reg.exe export "$_install_key" "$("$TAVRINE_WINE" winepath.exe -w "$file" 2>/dev/null)" /y \
        >/dev/null 2>&1 || [ ! -s "$file" ]; then
        rm -f "$file"
        : >"$file.none"
    fi
}
install_key_restore() {
    local file=$1
    if [ -f "$file.none" ]; then
        "$TAVRINE_WINE" reg.exe delete "$_install_key" /f >/dev/null 2>&1
        rm -f "$file.none"
    elif [ -s "$file" ]; then
        "$TAVRINE_WINE" reg.exe delete "$_install_key" /f >/dev/null 2>&1
        "$TAVRINE_WINE" reg.exe import "$("$TAVRINE_WINE" winepath.exe -w "$file" 2>/dev/null)" >/dev/null 2>&1
        rm -f "$file"
    fi
}
