[Setup]
Type=Typical
