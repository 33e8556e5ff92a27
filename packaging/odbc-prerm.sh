# Takes the Tablory ODBC driver out of unixODBC's list (a snippet for the package's prerm).
if [ "$1" = remove ] && command -v odbcinst >/dev/null 2>&1; then
  odbcinst -u -d -n Tablory >/dev/null || true
fi
