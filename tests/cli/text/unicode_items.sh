# Text items and a file name beyond Latin-1, a character outside the BMP (a UTF-16 surrogate
# pair on Windows) included: texts are hashed as their UTF-8 bytes, names written unchanged.
printf x > "日本.txt"
"$TARVOLIN" "日本" "🙂" "日本.txt" "a🙂b"
