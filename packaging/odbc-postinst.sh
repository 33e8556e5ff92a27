# Registers the Tablory ODBC driver with unixODBC (a snippet for the package's postinst).
if command -v odbcinst >/dev/null 2>&1; then
  odbcinst -i -d -f /usr/share/tablory/odbcinst-tablory.ini >/dev/null || true
fi
