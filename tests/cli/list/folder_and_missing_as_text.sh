# A folder name and a missing file name are hashed as text; an item given twice twice.
mkdir d
"$TARVOLIN" d missing.txt d
