# Every parameter is an item, hashed as its UTF-8 bytes; the empty text included.
"$TARVOLIN" "" "two words" "grüße"
