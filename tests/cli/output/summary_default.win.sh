# Windows: without a name the summary goes to %TEMP%\#Tarvolin_Summary.TXT. Wine keeps its own
# TEMP (its prefix's user folder), whatever the Linux environment says.
temp="${WINEPREFIX:-$HOME/.wine}/drive_c/users/$(id -un)/Temp"
rm -f "$temp/#Tarvolin_Summary.TXT"
"$TARVOLIN" abc -u
od -c "$temp/#Tarvolin_Summary.TXT"
"$TARVOLIN" abc def -u  # a second run overwrites it
od -c "$temp/#Tarvolin_Summary.TXT"
